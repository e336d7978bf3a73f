#include "toolkit/platform/x11/lineedit.h"

#include <algorithm>
#include <cmath>

#define XK_MISCELLANY
#define XK_XKB_KEYS
#define XK_LATIN1
#include <X11/keysymdef.h>
#include <xcb/xproto.h>

#include "toolkit/platform/x11/x11keys.h"

namespace VSTGUI::X11 {

namespace {

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

/// The selection colours of a focused Windows edit box.
constexpr std::uint32_t kSelectionBack = 0xFF0078D7u;
constexpr std::uint32_t kSelectionText = 0xFFFFFFFFu;

}  // namespace

void LineEdit::setText(std::u16string_view text) {
  content.clear();
  caret = anchor = 0;
  insert(text);
}

void LineEdit::selectAll() {
  anchor = 0;
  caret = content.size();
}

void LineEdit::eraseSelection() {
  const std::size_t start = selectionStart();
  content.erase(start, selectionEnd() - start);
  caret = anchor = start;
}

void LineEdit::insert(std::u16string_view text) {
  eraseSelection();
  std::size_t room = limit > content.size() ? limit - content.size() : 0;
  std::size_t take = std::min(room, text.size());
  // Never half a character at the limit.
  if (take > 0 && take < text.size() && isHighSurrogate(text[take - 1])) --take;
  content.insert(caret, text.substr(0, take));
  caret = anchor = caret + take;
}

std::size_t LineEdit::previousBoundary(std::size_t index) const {
  if (index == 0) return 0;
  --index;
  if (index > 0 && isLowSurrogate(content[index]) && isHighSurrogate(content[index - 1])) --index;
  return index;
}

std::size_t LineEdit::nextBoundary(std::size_t index) const {
  if (index >= content.size()) return content.size();
  ++index;
  if (index < content.size() && isLowSurrogate(content[index]) && isHighSurrogate(content[index - 1])) ++index;
  return index;
}

LineEdit::Outcome LineEdit::key(std::uint32_t keysym, std::uint16_t state) {
  const bool shift = (state & XCB_MOD_MASK_SHIFT) != 0;
  const bool control = (state & XCB_MOD_MASK_CONTROL) != 0;
  auto moveTo = [&](std::size_t index) {
    caret = index;
    if (!shift) anchor = caret;
    return Outcome::kMoved;
  };
  auto wordLeft = [&](std::size_t i) {
    while (i > 0 && content[i - 1] == u' ') --i;
    while (i > 0 && content[i - 1] != u' ') --i;
    return i;
  };
  auto wordRight = [&](std::size_t i) {
    while (i < content.size() && content[i] != u' ') ++i;
    while (i < content.size() && content[i] == u' ') ++i;
    return i;
  };
  switch (keysym) {
    case XK_Return:
    case XK_KP_Enter:
      return Outcome::kReturn;
    case XK_Left:
    case XK_KP_Left:
      if (!shift && caret != anchor) return moveTo(selectionStart());
      return moveTo(control ? wordLeft(caret) : previousBoundary(caret));
    case XK_Right:
    case XK_KP_Right:
      if (!shift && caret != anchor) return moveTo(selectionEnd());
      return moveTo(control ? wordRight(caret) : nextBoundary(caret));
    case XK_Home:
    case XK_KP_Home:
      return moveTo(0);
    case XK_End:
    case XK_KP_End:
      return moveTo(content.size());
    case XK_BackSpace:
      if (caret == anchor) anchor = previousBoundary(caret);
      eraseSelection();
      return Outcome::kEdited;
    case XK_Delete:
    case XK_KP_Delete:
      if (caret == anchor) anchor = nextBoundary(caret);
      eraseSelection();
      return Outcome::kEdited;
    case XK_Escape:
    case XK_Tab:
    case XK_ISO_Left_Tab:
      return Outcome::kIgnored;  // the box's own keys: they end nothing, as on Windows
    default:
      break;
  }
  if (control) {
    if (keysym == XK_a || keysym == XK_A) {
      selectAll();
      return Outcome::kMoved;
    }
    return Outcome::kIgnored;
  }
  const char32_t c = keysymToUnicode(keysym);
  if (c < 0x20 || c == 0x7F) return Outcome::kIgnored;
  std::u16string unit;
  if (c >= 0x10000) {
    unit.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
    unit.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
  } else {
    unit.push_back(static_cast<char16_t>(c));
  }
  insert(unit);
  return Outcome::kEdited;
}

std::size_t LineEdit::indexAt(float x) const {
  if (offsets.empty()) return 0;
  std::size_t best = 0;
  float bestDistance = std::fabs(offsets[0] - x);
  for (std::size_t i = 1; i < offsets.size(); ++i) {
    if (i < content.size() && isLowSurrogate(content[i])) continue;
    const float d = std::fabs(offsets[i] - x);
    if (d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return best;
}

void LineEdit::press(float x, bool extend) {
  caret = indexAt(x);
  if (!extend) anchor = caret;
}

void LineEdit::drag(float x) { caret = indexAt(x); }

void LineEdit::draw(Platform::Graphics* graphics, Platform::Font* font, const Look& look) {
  if (!graphics) return;
  const CRect& box = look.box;
  Platform::Brush* brush = Platform::createBrush(look.backArgb);
  Platform::setClip(graphics, box);
  Platform::fillRect(graphics, brush, box.left, box.top, box.width(), box.height());

  // Where each caret position lies relative to the text's start.
  offsets.assign(content.size() + 1, 0.f);
  for (std::size_t i = 1; i <= content.size(); ++i) {
    float width = offsets[i - 1];
    if (font) Platform::measureString(graphics, font, content.data(), static_cast<int>(i), width);
    offsets[i] = width;
  }
  const float textWidth = offsets.back();
  const float inner = static_cast<float>(box.width()) - 2.f;
  float start = static_cast<float>(box.left) + 1.f;
  if (textWidth <= inner) {
    scroll = 0.f;
    if (look.align == 1) start += std::floor((inner - textWidth) / 2.f);
    if (look.align == 2) start += inner - textWidth;
  } else {
    // Scrolled so the caret stays inside the box, as an auto-scrolling edit box does.
    const float caretX = offsets[caret];
    if (caretX - scroll > inner) scroll = caretX - inner;
    if (caretX - scroll < 0.f) scroll = caretX;
    scroll = std::clamp(scroll, 0.f, textWidth - inner);
    start -= scroll;
  }
  origin = start;
  for (float& offset : offsets) offset += start;

  const float lineHeight = font ? Platform::getFontLineHeight(font, graphics) : 0.f;
  const float top = static_cast<float>(box.top) + std::floor((static_cast<float>(box.height()) - lineHeight) / 2.f);
  if (font && !content.empty()) {
    Platform::setBrushColor(brush, look.textArgb);
    Platform::drawString(graphics, font, brush, content.data(), static_cast<int>(content.size()), start, top, true);
    if (caret != anchor) {
      // The selection: its own background, its text drawn again over it.
      const float left = offsets[selectionStart()];
      const float right = offsets[selectionEnd()];
      Platform::setBrushColor(brush, kSelectionBack);
      Platform::fillRect(graphics, brush, left, top, right - left, lineHeight);
      CRect selection(static_cast<CCoord>(std::floor(left)), box.top, static_cast<CCoord>(std::ceil(right)),
                      box.bottom);
      selection.bound(box);
      Platform::setClip(graphics, selection);
      Platform::setBrushColor(brush, kSelectionText);
      Platform::drawString(graphics, font, brush, content.data(), static_cast<int>(content.size()), start, top,
                           true);
      Platform::setClip(graphics, box);
    }
  }
  if (look.caretShown && caret == anchor) {
    Platform::setBrushColor(brush, look.textArgb);
    Platform::fillRect(graphics, brush, std::floor(offsets[caret]), top, 1.f, lineHeight);
  }
  Platform::deleteBrush(brush);
}

}  // namespace VSTGUI::X11
