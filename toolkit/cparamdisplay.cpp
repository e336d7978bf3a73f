#include "toolkit/cparamdisplay.h"

#include <charconv>
#include <cstring>

#include "toolkit/cbitmap.h"
#include "toolkit/cframe.h"
#include "toolkit/textconvert.h"

namespace VSTGUI {

// --- CParamDisplay ---------------------------------------------------------------------

CParamDisplay::CParamDisplay(const CRect& size, CBitmap* background, std::int32_t style)
    : CParamDisplay(size, nullptr, 0, background, style) {}

CParamDisplay::CParamDisplay(const CRect& size, CControlListener* listener, std::int32_t tag,
                             CBitmap* background, std::int32_t style)
    : CControl(size, listener, tag, background), style(style), fontID(kNormalFont) {
  fontID->remember();
  if (style & kNoDrawStyle) setDirty(false);
}

CParamDisplay::CParamDisplay(const CParamDisplay& other)
    : CControl(other),
      stringConvert(other.stringConvert),
      stringConvert2(other.stringConvert2),
      string2FloatConvert(other.string2FloatConvert),
      userData(other.userData),
      horiTxtAlign(other.horiTxtAlign),
      style(other.style),
      fontID(other.fontID),
      fontColor(other.fontColor),
      backColor(other.backColor),
      frameColor(other.frameColor),
      shadowColor(other.shadowColor),
      bTextTransparencyEnabled(other.bTextTransparencyEnabled),
      bAntialias(other.bAntialias) {
  if (fontID) fontID->remember();
}

CParamDisplay::~CParamDisplay() {
  if (fontID) fontID->forget();
}

bool CParamDisplay::isTypeOf(const char* type) const {
  return (type && std::strcmp(type, "CParamDisplay") == 0) || CControl::isTypeOf(type);
}

CView* CParamDisplay::newCopy() const { return new CParamDisplay(*this); }

void CParamDisplay::setFont(CFontRef font) {
  setDirty();
  if (!font) return;
  font->remember();
  if (fontID) fontID->forget();
  fontID = font;
}

void CParamDisplay::setFontColor(CColor color) {
  if (color == fontColor) return;
  fontColor = color;
  setDirty();
}

void CParamDisplay::setBackColor(CColor color) {
  if (color == backColor) return;
  backColor = color;
  setDirty();
}

void CParamDisplay::setFrameColor(CColor color) {
  if (color == frameColor) return;
  frameColor = color;
  setDirty();
}

void CParamDisplay::setShadowColor(CColor color) {
  if (color == shadowColor) return;
  shadowColor = color;
  setDirty();
}

void CParamDisplay::setAntialias(bool state) {
  if (state == bAntialias) return;
  bAntialias = state;
  setDirty();
}

void CParamDisplay::setHoriAlign(CHoriTxtAlign align) {
  if (align == horiTxtAlign) return;
  horiTxtAlign = align;
  setDirty();
}

void CParamDisplay::setStringConvert(StringConvert2 convert, void* data) {
  stringConvert2 = convert;
  userData = data;
}

void CParamDisplay::setStringConvert(StringConvert convert) { stringConvert = convert; }
void CParamDisplay::setString2FloatConvert(String2FloatConvert convert) { string2FloatConvert = convert; }

void CParamDisplay::setStyle(std::int32_t val) {
  if (val == style) return;
  style = val;
  setDirty();
}

void CParamDisplay::setTextTransparency(bool state) { bTextTransparencyEnabled = state; }

void CParamDisplay::valueText(char* text) const {
  text[0] = 0;
  if (stringConvert2) {
    stringConvert2(value, text, userData);
  } else if (stringConvert) {
    stringConvert(value, text);
  } else {
    // "%2.2f", whatever locale the host has set.
    const auto result = std::to_chars(text, text + 255, value, std::chars_format::fixed, 2);
    *(result.ec == std::errc() ? result.ptr : text) = 0;
  }
  text[255] = 0;
}

void CParamDisplay::announceLooseFocus() {
  CView* receiver = pParentView ? pParentView : static_cast<CView*>(pParentFrame);
  for (; receiver; receiver = receiver->getParentView()) {
    if (receiver->notify(this, kMsgLooseFocus) == kMessageNotified) break;
  }
}

void CParamDisplay::draw(CDrawContext* pContext) {
  char text[256];
  valueText(text);
  drawText(pContext, text);
}

void CParamDisplay::drawText(CDrawContext* pContext, const char* string, CBitmap* newBack) {
  setDirty(false);
  if (style & kNoDrawStyle) return;

  if (CBitmap* back = newBack ? newBack : pBackground) {
    drawBitmap(back, pContext, size, backOffset);
  } else if (!bTransparencyEnabled) {
    pContext->setFillColor(backColor);
    pContext->fillRect(size);
    if (!(style & (k3DIn | k3DOut | kNoFrame))) {
      pContext->setFrameColor(frameColor);
      pContext->drawRect(size);
    }
  }

  if (style & (k3DIn | k3DOut)) {
    // Top and left in one colour, bottom and right in the other: sunken or raised.
    const CColor first = (style & k3DIn) ? frameColor : backColor;
    const CColor second = (style & k3DIn) ? backColor : frameColor;
    const CCoord right = size.right - 1;
    const CCoord bottom = size.bottom - 1;
    pContext->setFrameColor(first);
    pContext->moveTo(CPoint(size.left, bottom));
    pContext->lineTo(CPoint(size.left, size.top));
    pContext->lineTo(CPoint(right, size.top));
    pContext->setFrameColor(second);
    pContext->moveTo(CPoint(right, size.top + 1));
    pContext->lineTo(CPoint(right, bottom));
    pContext->lineTo(CPoint(size.left + 1, bottom));
  }

  if ((style & kNoTextStyle) || !string || !*string) return;

  CRect oldClip;
  pContext->getClipRect(oldClip);
  CRect clip(size);
  clip.bound(oldClip);
  pContext->setClipRect(clip);
  pContext->setFont(fontID);
  if (style & kShadowText) {
    CRect shadow(size);
    shadow.offset(1, 1);
    pContext->setFontColor(shadowColor);
    pContext->drawString(string, shadow, horiTxtAlign, bAntialias);
  }
  pContext->setFontColor(fontColor);
  pContext->drawString(string, size, horiTxtAlign, bAntialias);
  pContext->setClipRect(oldClip);
}

// --- CTextLabel ------------------------------------------------------------------------

CTextLabel::CTextLabel(const CRect& size, const char* txt, CBitmap* background, std::int32_t style)
    : CParamDisplay(size, background, style), text(copyString(txt)) {}

CTextLabel::CTextLabel(const CTextLabel& other) : CParamDisplay(other), text(copyString(other.text)) {}

CTextLabel::~CTextLabel() { delete[] text; }

bool CTextLabel::isTypeOf(const char* type) const {
  return (type && std::strcmp(type, "CTextLabel") == 0) || CParamDisplay::isTypeOf(type);
}

CView* CTextLabel::newCopy() const { return new CTextLabel(*this); }

void CTextLabel::setText(const char* txt) {
  if (!text && !txt) return;
  if (text && txt && std::strcmp(text, txt) == 0) return;
  delete[] text;
  text = copyString(txt);
  setDirty();
}

const char* CTextLabel::getText() const { return text; }

void CTextLabel::draw(CDrawContext* pContext) {
  drawText(pContext, text);
  setDirty(false);
}

}  // namespace VSTGUI
