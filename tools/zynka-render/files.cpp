#include "tools/zynka-render/files.h"

#include <cerrno>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace zrender {

std::filesystem::path pathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::FILE* openFile(const std::string& path, const char* mode) {
#ifdef _WIN32
  auto widen = [](const std::string& s) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, w.data(), n);
    return w;
  };
  return _wfopen(widen(path).c_str(), widen(mode).c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

std::optional<std::vector<std::uint8_t>> readFile(const std::string& path, std::size_t maxBytes,
                                                  const char* kind, std::string& error) {
  std::FILE* f = openFile(path, "rb");
  if (f == nullptr) {
    error = "cannot read " + path + ": " + std::generic_category().message(errno);
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[65536];
  std::size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
    bytes.insert(bytes.end(), chunk, chunk + n);
    if (bytes.size() > maxBytes) break;
  }
  const bool readError = std::ferror(f) != 0;
  std::fclose(f);
  if (readError) {
    error = "cannot read " + path;
    return std::nullopt;
  }
  if (bytes.size() > maxBytes) {
    error = path + " is larger than " + kind + " can sensibly be (" + std::to_string(maxBytes >> 20) + " MiB)";
    return std::nullopt;
  }
  return bytes;
}

}  // namespace zrender
