// How zynka-render speaks to its user: one line on stderr for each error, warning and
// note, and the exit status.
#pragma once

#include <string>

namespace zrender {

constexpr const char* kTool = "zynka-render";
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

/// "zynka-render: message" as one line on stderr, whatever line breaks a file name or
/// argument inside it holds.
void report(std::string message);

}  // namespace zrender
