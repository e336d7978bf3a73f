// Conversion between the toolkit's UTF-8 texts and the UTF-16 texts of the window
// system and the graphics library.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace VSTGUI {

/// A copy of a zero-terminated text made with new[] (null for null).
char* copyString(const char* text);
/// UTF-16 form of a UTF-8 text; an ill-formed text gives an empty result.
std::u16string utf8ToUtf16(std::string_view text);
/// UTF-16 form of a UTF-8 text; each byte of an ill-formed sequence shows as U+FFFD.
std::u16string utf8ToUtf16Lossy(std::string_view text);
/// The length of the longest start of text within maxBytes that splits no character
/// (a byte of an ill-formed sequence counts as a character of its own).
std::size_t utf8PrefixLength(std::string_view text, std::size_t maxBytes);
/// UTF-8 form of a UTF-16 text; an ill-formed text gives an empty result.
std::string utf16ToUtf8(std::u16string_view text);

}  // namespace VSTGUI
