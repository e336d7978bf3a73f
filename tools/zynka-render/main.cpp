// zynka-render's entry point: collects the arguments as UTF-8 and runs the tool.
#include <string>
#include <vector>

#include "tools/zynka-render/render.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

int main(int argc, char** argv) {
  std::vector<std::string> args;
#ifdef _WIN32
  // The narrow argv is in the ANSI code page; take the wide command line instead.
  (void)argv;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; wide != nullptr && i < count; ++i) {
    int n = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), n, nullptr, nullptr);
    args.push_back(arg);
  }
  if (wide != nullptr) LocalFree(wide);
  (void)argc;
#else
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
#endif
  return zrender::run(args);
}
