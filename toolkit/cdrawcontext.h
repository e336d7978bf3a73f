// Drawing contexts (on a window's paint device or on an offscreen image) and font
// descriptors. Coordinates given to a context are moved by its offset before they
// reach the platform; the clip rectangle is kept in device coordinates.
#pragma once

#include <cstdint>

#include "toolkit/platform/platform.h"
#include "toolkit/vstguibase.h"

namespace VSTGUI {

class CFrame;
class CBitmap;

enum CLineStyle : std::int32_t { kLineSolid = 0, kLineOnOffDash };
enum CDrawMode : std::int32_t { kCopyMode = 0, kAntialias };
enum CDrawStyle : std::int32_t { kDrawStroked = 0, kDrawFilled, kDrawFilledAndStroked };
enum CHoriTxtAlign : std::int32_t { kLeftText = 0, kCenterText, kRightText };
enum CTxtFace : std::int32_t {
  kNormalFace = 0,
  kBoldFace = 1 << 0,
  kItalicFace = 1 << 1,
  kUnderlineFace = 1 << 2,
};

/// A font by family name, pixel height and style; its platform font is made on first use.
class CFontDesc : public CBaseObject {
 public:
  CFontDesc(const char* name = nullptr, CCoord size = 0, std::int32_t style = 0);
  ~CFontDesc() override;
  CFontDesc(const CFontDesc&) = delete;
  CFontDesc& operator=(const CFontDesc&) = delete;

  /// The family name (never null).
  const char* getName() const { return name ? name : ""; }
  /// Replaces the name; an equal name changes nothing, another drops the platform font.
  void setName(const char* newName);
  CCoord getSize() const { return size; }
  /// Sets the pixel height and drops the platform font when it changes.
  void setSize(CCoord newSize);
  std::int32_t getStyle() const { return style; }
  /// Sets the style bits and drops the platform font when they change.
  void setStyle(std::int32_t newStyle);
  /// The platform font, created on first use.
  Platform::Font* getPlatformFont();
  /// Destroys the platform font; the next use recreates it.
  void freePlatformFont();

 private:
  char* name = nullptr;
  CCoord size = 0;
  std::int32_t style = 0;
  Platform::Font* platformFont = nullptr;
};

using CFontRef = CFontDesc*;

// The predefined fonts: alive from library load to exit, one reference each.
extern CFontRef const kSystemFont;
extern CFontRef const kNormalFontVeryBig;
extern CFontRef const kNormalFontBig;
extern CFontRef const kNormalFont;
extern CFontRef const kNormalFontSmall;
extern CFontRef const kNormalFontSmaller;
extern CFontRef const kNormalFontVerySmall;
extern CFontRef const kSymbolFont;

/// Drops the platform fonts of the predefined descriptors (they are recreated on next use).
void freePredefinedPlatformFonts();

/// A drawing context bound to a paint device, a window, or nothing (then it draws nothing).
class CDrawContext : public CBaseObject {
 public:
  /// A context on device, or on window's own device when device is null.
  CDrawContext(CFrame* frame, Platform::Device* device, Platform::Window* window = nullptr);
  ~CDrawContext() override;
  CDrawContext(const CDrawContext&) = delete;
  CDrawContext& operator=(const CDrawContext&) = delete;

  /// Moves the pen to point (plus offset).
  void moveTo(const CPoint& point);
  /// Draws a line from the pen to point (plus offset) and moves the pen there.
  void lineTo(const CPoint& point);
  /// The pen position in caller coordinates.
  void getLoc(CPoint& where) const;
  /// Fills and/or outlines a rectangle; the outline lies on its first and last rows and columns.
  void drawRect(const CRect& rect, CDrawStyle drawStyle = kDrawStroked);
  /// Fills a rectangle exactly.
  void fillRect(const CRect& rect);

  void setLineStyle(CLineStyle style);
  CLineStyle getLineStyle() const { return lineStyle; }
  void setLineWidth(CCoord width);
  CCoord getLineWidth() const { return frameWidth; }
  void setDrawMode(CDrawMode mode);
  CDrawMode getDrawMode() const { return drawMode; }

  /// Sets the clip (caller coordinates); an equal clip changes nothing.
  void setClipRect(const CRect& clip);
  /// The clip in caller coordinates.
  CRect& getClipRect(CRect& clip) const;

  void setFillColor(const CColor& color);
  CColor getFillColor() const { return fillColor; }
  void setFrameColor(const CColor& color);
  CColor getFrameColor() const { return frameColor; }
  void setFontColor(const CColor& color);
  CColor getFontColor() const { return fontColor; }

  /// Selects a font; a size or style other than the font's own makes a private copy.
  void setFont(CFontRef newFont, CCoord size = 0, std::int32_t style = -1);
  CFontRef getFont() const { return font; }
  /// Width of a UTF-8 text in the current font, or -1 when it cannot be measured.
  CCoord getStringWidth(const char* text);
  /// Draws a UTF-8 text whose line bottom is at point.v.
  void drawString(const char* text, const CPoint& point, bool antialias = true);
  /// Draws a UTF-8 text centred vertically in rect with the horizontal alignment, clipped to rect.
  void drawString(const char* text, const CRect& rect, std::int32_t hAlign = kCenterText,
                  bool antialias = true);

  /// Offset added to every coordinate passed in.
  void setOffset(const CPoint& newOffset) { offset = newOffset; }
  const CPoint& getOffset() const { return offset; }
  /// The window's screen position (given by the window).
  const CPoint& getOffsetScreen() const { return offsetScreen; }
  Platform::Device* getSystemContext() const { return pSystemContext; }
  Platform::Window* getWindow() const { return pWindow; }
  CFrame* getFrame() const { return pFrame; }
  Platform::Graphics* getGraphics() const { return pGraphics; }

 protected:
  /// Creates the pen and brushes and applies the default colours, width, font and mode.
  void init();

  CPoint offsetScreen;
  CPoint offset;
  Platform::Device* pSystemContext = nullptr;
  Platform::Window* pWindow = nullptr;
  CFrame* pFrame = nullptr;
  CFontRef font = nullptr;
  CColor fontColor{};
  CPoint penLoc;
  CCoord frameWidth = 0;
  CColor frameColor{};
  CColor fillColor{};
  CLineStyle lineStyle = kLineSolid;
  CDrawMode drawMode = kCopyMode;
  CRect clipRect;
  Platform::Graphics* pGraphics = nullptr;
  Platform::Pen* pPen = nullptr;
  Platform::Brush* pBrush = nullptr;
  Platform::Brush* pFontBrush = nullptr;
  bool bOwnsWindowDevice = false;  // the device was taken from pWindow and goes back to it
};

/// A drawing context on an image of its own; copyFrom puts the image onto another context.
class COffscreenContext : public CDrawContext {
 public:
  /// An offscreen image of width x height, fully transparent; backgroundColor is only remembered.
  COffscreenContext(CFrame* frame, CCoord width, CCoord height,
                    const CColor& backgroundColor = kBlackCColor);
  ~COffscreenContext() override;

  /// Draws the image from srcOffset onto destRect of pContext.
  void copyFrom(CDrawContext* pContext, const CRect& destRect, const CPoint& srcOffset = CPoint());
  CCoord getWidth() const { return width; }
  CCoord getHeight() const { return height; }
  CBitmap* getBitmap() const { return pBitmap; }
  CColor getBackgroundColor() const { return backgroundColor; }

 protected:
  CBitmap* pBitmap = nullptr;
  CCoord width = 0;
  CCoord height = 0;
  CColor backgroundColor{};
};

}  // namespace VSTGUI
