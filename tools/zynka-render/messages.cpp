#include "tools/zynka-render/messages.h"

#include <algorithm>
#include <cstdio>

namespace zrender {

void report(std::string message) {
  std::replace(message.begin(), message.end(), '\n', ' ');
  std::replace(message.begin(), message.end(), '\r', ' ');
  std::fprintf(stderr, "%s: %s\n", kTool, message.c_str());
}

}  // namespace zrender
