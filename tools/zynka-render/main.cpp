// zynka-render: a command-line VST2 host that plays a Standard MIDI File through any
// VST2 instrument library and writes what it renders to a WAV file. Its entry point
// collects the arguments as UTF-8, then lists the plug-in or renders with it.
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "tools/zynka-render/listing.h"
#include "tools/zynka-render/messages.h"
#include "tools/zynka-render/options.h"
#include "tools/zynka-render/render.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace {

/// Runs the tool on these arguments (without the program name); the exit status.
int run(const std::vector<std::string>& args) {
  using namespace zrender;
  try {
    Options options;
    std::string error;
    if (!parseArguments(args, options, error)) {
      report(error + " (see --help)");
      return kExitUsage;
    }
    if (options.help) {
      std::fputs(usageText(), stdout);
      return kExitOk;
    }
    return options.list ? listPlugin(options) : renderFile(options);
  } catch (const std::bad_alloc&) {
    report("out of memory");
  } catch (const std::exception& e) {
    report(std::string("unexpected failure: ") + e.what());
  }
  return kExitFailure;
}

}  // namespace

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
  return run(args);
}
