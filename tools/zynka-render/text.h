// Texts the tools read and write: numbers in the same form whatever the locale, and
// texts trimmed of the blanks around them.
#pragma once

#include <string>

namespace zrender {

/// A whole number that is the entire text; false if it is not one.
bool parseInt(const std::string& text, long long& out);
/// A finite decimal number that is the entire text ("0.5", "+1", "2e-3"); false if it is not one.
bool parseDouble(const std::string& text, double& out);
/// The value with this many decimals ("6.25").
std::string fixed(double value, int decimals);
/// The value in the shortest form that reads back exactly.
std::string shortest(float value);
std::string shortest(double value);
/// The text without the spaces and tabs at its ends.
std::string trim(const std::string& text);

}  // namespace zrender
