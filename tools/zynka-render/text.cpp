#include "tools/zynka-render/text.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace zrender {
namespace {

template <typename... Form>
std::string written(Form... form) {
  char buffer[64];
  auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, form...);
  return ec == std::errc() ? std::string(buffer, ptr) : std::string("?");
}

}  // namespace

bool parseInt(const std::string& text, long long& out) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && ptr == end && !text.empty();
}

bool parseDouble(const std::string& text, double& out) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  auto [ptr, ec] = std::from_chars(begin, end, out, std::chars_format::general);
  return ec == std::errc() && ptr == end && begin != end && std::isfinite(out);
}

std::string fixed(double value, int decimals) { return written(value, std::chars_format::fixed, decimals); }

std::string shortest(float value) { return written(value); }

std::string shortest(double value) { return written(value); }

std::string trim(const std::string& text) {
  std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return {};
  std::size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

}  // namespace zrender
