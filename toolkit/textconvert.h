// Conversion between the toolkit's UTF-8 texts and the UTF-16 texts of the window
// system and the graphics library.
#pragma once

#include <string>
#include <string_view>

namespace VSTGUI {

/// UTF-16 form of a UTF-8 text; an ill-formed text gives an empty result.
std::u16string utf8ToUtf16(std::string_view text);
/// UTF-8 form of a UTF-16 text; an ill-formed text gives an empty result.
std::string utf16ToUtf8(std::u16string_view text);

}  // namespace VSTGUI
