#include "toolkit/textconvert.h"

#include <cstdint>
#include <cstring>

namespace VSTGUI {

namespace {

/// The code point of the well-formed UTF-8 sequence at text[i] and its length; 0 when ill-formed.
int decodeUtf8(std::string_view text, std::size_t i, std::uint32_t& cp) {
  const auto b0 = static_cast<unsigned char>(text[i]);
  int extra = 0;
  std::uint32_t minimum = 0;
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  if ((b0 & 0xE0) == 0xC0) {
    cp = b0 & 0x1F;
    extra = 1;
    minimum = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    cp = b0 & 0x0F;
    extra = 2;
    minimum = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    cp = b0 & 0x07;
    extra = 3;
    minimum = 0x10000;
  } else {
    return 0;
  }
  if (i + extra >= text.size()) return 0;
  for (int k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(text[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return 1 + extra;
}

std::u16string toUtf16(std::string_view text, bool lossy) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    std::uint32_t cp = 0;
    const int length = decodeUtf8(text, i, cp);
    if (length == 0) {
      if (!lossy) return {};
      out.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += static_cast<std::size_t>(length);
  }
  return out;
}

}  // namespace

char* copyString(const char* text) {
  if (!text) return nullptr;
  const std::size_t n = std::strlen(text);
  char* copy = new char[n + 1];
  std::memcpy(copy, text, n + 1);
  return copy;
}

std::u16string utf8ToUtf16(std::string_view text) { return toUtf16(text, false); }

std::u16string utf8ToUtf16Lossy(std::string_view text) { return toUtf16(text, true); }

std::size_t utf8PrefixLength(std::string_view text, std::size_t maxBytes) {
  std::size_t i = 0;
  while (i < text.size()) {
    std::uint32_t cp = 0;
    const int length = decodeUtf8(text, i, cp);
    const std::size_t step = length > 0 ? static_cast<std::size_t>(length) : 1;
    if (i + step > maxBytes) break;
    i += step;
  }
  return i;
}

std::string utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return {};
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
      return {};
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

}  // namespace VSTGUI
