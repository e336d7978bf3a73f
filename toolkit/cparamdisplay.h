// Text boxes: CParamDisplay shows a control value as text, CTextLabel a fixed text.
// Both draw a background (bitmap, or colour and border), an optional bevel and one
// line of text in their font, colour and alignment.
#pragma once

#include "toolkit/ccontrol.h"
#include "toolkit/cdrawcontext.h"

namespace VSTGUI {

// Drawing style bits shared by the text controls.
enum : std::int32_t {
  kShadowText = 1 << 2,
  k3DIn = 1 << 7,
  k3DOut = 1 << 8,
  kPopupStyle = 1 << 9,
  kCheckStyle = 1 << 10,
  kNoTextStyle = 1 << 11,
  kNoDrawStyle = 1 << 12,
  kDoubleClickStyle = 1 << 13,
  kNoFrame = 1 << 14,
};

/// A value shown as text: by a conversion function, or "%2.2f".
class CParamDisplay : public CControl {
 public:
  using StringConvert = void (*)(float value, char* text);
  using StringConvert2 = void (*)(float value, char* text, void* userData);
  using String2FloatConvert = void (*)(char* text, float& value);

  explicit CParamDisplay(const CRect& size, CBitmap* background = nullptr, std::int32_t style = 0);
  CParamDisplay(const CParamDisplay& other);
  ~CParamDisplay() override;

  void draw(CDrawContext* pContext) override;
  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override;

  /// Takes a reference on the font (null keeps the current one).
  virtual void setFont(CFontRef font);
  virtual void setFontColor(CColor color);
  virtual void setBackColor(CColor color);
  virtual void setFrameColor(CColor color);
  virtual void setShadowColor(CColor color);
  virtual void setAntialias(bool state);
  virtual void setHoriAlign(CHoriTxtAlign align);
  virtual void setStringConvert(StringConvert2 convert, void* userData);
  virtual void setStringConvert(StringConvert convert);
  virtual void setString2FloatConvert(String2FloatConvert convert);
  virtual void setStyle(std::int32_t val);
  virtual void setTextTransparency(bool state);
  /// Draws the box and text (a null or empty text draws the box only); bitmap replaces the background.
  virtual void drawText(CDrawContext* pContext, const char* string, CBitmap* newBack = nullptr);

  CFontRef getFont() const { return fontID; }
  CColor getFontColor() const { return fontColor; }
  CColor getBackColor() const { return backColor; }
  CColor getFrameColor() const { return frameColor; }
  CColor getShadowColor() const { return shadowColor; }
  CHoriTxtAlign getHoriAlign() const { return horiTxtAlign; }
  std::int32_t getStyle() const { return style; }
  bool getTextTransparency() const { return bTextTransparencyEnabled; }

 protected:
  CParamDisplay(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                std::int32_t style);
  /// The value as the display shows it, into a 256-byte buffer.
  void valueText(char* text) const;
  /// Tells the parents, nearest first, that the focus is gone, until one takes note.
  void announceLooseFocus();

  StringConvert stringConvert = nullptr;
  StringConvert2 stringConvert2 = nullptr;
  String2FloatConvert string2FloatConvert = nullptr;
  void* userData = nullptr;
  CHoriTxtAlign horiTxtAlign = kCenterText;
  std::int32_t style = 0;
  CFontRef fontID = nullptr;
  CColor fontColor = kWhiteCColor;
  CColor backColor = kBlackCColor;
  CColor frameColor = kBlackCColor;
  CColor shadowColor = kRedCColor;
  bool bTextTransparencyEnabled = true;
  bool bAntialias = true;
};

/// A fixed line of text.
class CTextLabel : public CParamDisplay {
 public:
  explicit CTextLabel(const CRect& size, const char* text = nullptr, CBitmap* background = nullptr,
                      std::int32_t style = 0);
  CTextLabel(const CTextLabel& other);
  ~CTextLabel() override;

  void draw(CDrawContext* pContext) override;
  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override;

  /// Stores a copy of text (null: none); marks the view for redraw only when the text changed.
  virtual void setText(const char* text);
  virtual const char* getText() const;

 protected:
  char* text = nullptr;
};

}  // namespace VSTGUI
