#include "toolkit/cdrawcontext.h"

#include <cstring>
#include <string>

#include "toolkit/cbitmap.h"
#include "toolkit/cframe.h"
#include "toolkit/textconvert.h"

namespace VSTGUI {

// --- CFontDesc ------------------------------------------------------------------

namespace {

// The family name reaches the platform as at most 200 UTF-16 units.
constexpr std::size_t kMaxFamilyNameLength = 200;

}  // namespace

CFontDesc::CFontDesc(const char* name, CCoord size, std::int32_t style)
    : name(copyString(name)), size(size), style(style) {}

CFontDesc::~CFontDesc() {
  freePlatformFont();
  delete[] name;
}

void CFontDesc::setName(const char* newName) {
  if (name && newName && std::strcmp(name, newName) == 0) return;
  if (!name && !newName) return;
  delete[] name;
  name = copyString(newName);
  freePlatformFont();
}

void CFontDesc::setSize(CCoord newSize) {
  if (newSize == size) return;
  size = newSize;
  freePlatformFont();
}

void CFontDesc::setStyle(std::int32_t newStyle) {
  if (newStyle == style) return;
  style = newStyle;
  freePlatformFont();
}

Platform::Font* CFontDesc::getPlatformFont() {
  if (platformFont) return platformFont;
  std::u16string family = utf8ToUtf16(getName());
  if (family.size() > kMaxFamilyNameLength) family.resize(kMaxFamilyNameLength);
  // One platform style: underline wins over italic, italic over bold.
  int platformStyle = 0;
  if (style & kUnderlineFace)
    platformStyle = 4;
  else if (style & kItalicFace)
    platformStyle = 2;
  else if (style & kBoldFace)
    platformStyle = 1;
  platformFont = Platform::createFont(family.c_str(), static_cast<float>(size), platformStyle);
  return platformFont;
}

void CFontDesc::freePlatformFont() {
  if (platformFont) {
    Platform::deleteFont(platformFont);
    platformFont = nullptr;
  }
}

// Made once at load: contexts and views refer to them for as long as the module lives.
CFontRef const kSystemFont = new CFontDesc("Arial", 12, 0);
CFontRef const kNormalFontVeryBig = new CFontDesc("Arial", 18, 0);
CFontRef const kNormalFontBig = new CFontDesc("Arial", 14, 0);
CFontRef const kNormalFont = new CFontDesc("Arial", 12, 0);
CFontRef const kNormalFontSmall = new CFontDesc("Arial", 11, 0);
CFontRef const kNormalFontSmaller = new CFontDesc("Arial", 10, 0);
CFontRef const kNormalFontVerySmall = new CFontDesc("Arial", 9, 0);
CFontRef const kSymbolFont = new CFontDesc("Symbol", 13, 0);

void freePredefinedPlatformFonts() {
  for (CFontRef f : {kSystemFont, kNormalFontVeryBig, kNormalFontBig, kNormalFont, kNormalFontSmall,
                     kNormalFontSmaller, kNormalFontVerySmall, kSymbolFont})
    f->freePlatformFont();
}

namespace {

/// A host unloads and reloads a plug-in many times: the fonts go with the module. While a
/// frame or bitmap still lives (a host that quit with the editor open) they stay, as the
/// graphics library their platform fonts belong to may already be gone.
struct PredefinedFontsRelease {
  ~PredefinedFontsRelease() {
    if (GDIPlusGlobals::get()) return;
    for (CFontRef f : {kSystemFont, kNormalFontVeryBig, kNormalFontBig, kNormalFont, kNormalFontSmall,
                       kNormalFontSmaller, kNormalFontVerySmall, kSymbolFont})
      delete f;
  }
} gPredefinedFontsRelease;

}  // namespace

// --- CDrawContext ------------------------------------------------------------------

CDrawContext::CDrawContext(CFrame* frame, Platform::Device* device, Platform::Window* window)
    : pSystemContext(device), pWindow(window), pFrame(frame) {
  clipRect = frame ? frame->getViewSize() : CRect(0, 0, 1000, 1000);
  if (window && !device) {
    pSystemContext = Platform::getWindowDevice(window);
    bOwnsWindowDevice = pSystemContext != nullptr;
  }
  if (pSystemContext) pGraphics = Platform::createGraphics(pSystemContext);
  if (window) offsetScreen = Platform::getScreenOrigin(window);
  init();
}

void CDrawContext::init() {
  pPen = Platform::createPen(toArgb(kBlackCColor), 1.f);
  pBrush = Platform::createBrush(toArgb(kBlackCColor));
  pFontBrush = Platform::createBrush(toArgb(kBlackCColor));
  setFrameColor(kWhiteCColor);
  setLineStyle(kLineSolid);
  setLineWidth(1);
  setFillColor(kBlackCColor);
  setFontColor(kWhiteCColor);
  setFont(kSystemFont);
  setDrawMode(kCopyMode);
}

CDrawContext::~CDrawContext() {
  if (font) font->forget();
  if (pPen) Platform::deletePen(pPen);
  if (pBrush) Platform::deleteBrush(pBrush);
  if (pFontBrush) Platform::deleteBrush(pFontBrush);
  if (pGraphics) Platform::deleteGraphics(pGraphics);
  if (bOwnsWindowDevice) Platform::releaseWindowDevice(pWindow, pSystemContext);
}

void CDrawContext::moveTo(const CPoint& point) { penLoc = point + offset; }

void CDrawContext::lineTo(const CPoint& point) {
  const CPoint to = point + offset;
  if (pGraphics && pPen) Platform::drawLine(pGraphics, pPen, penLoc.h, penLoc.v, to.h, to.v);
  penLoc = to;
}

void CDrawContext::getLoc(CPoint& where) const { where = penLoc - offset; }

void CDrawContext::drawRect(const CRect& rect, CDrawStyle drawStyle) {
  if (!pGraphics) return;
  CRect r(rect);
  r.normalize();
  r.offset(offset.h, offset.v);
  if ((drawStyle == kDrawFilled || drawStyle == kDrawFilledAndStroked) && pBrush)
    Platform::fillRect(pGraphics, pBrush, float(r.left), float(r.top), float(r.width()),
                       float(r.height()));
  if ((drawStyle == kDrawStroked || drawStyle == kDrawFilledAndStroked) && pPen)
    Platform::strokeRect(pGraphics, pPen, float(r.left), float(r.top), float(r.width() - 1),
                         float(r.height() - 1));
}

void CDrawContext::fillRect(const CRect& rect) { drawRect(rect, kDrawFilled); }

void CDrawContext::setLineStyle(CLineStyle style) {
  if (style == lineStyle) return;
  lineStyle = style;
  if (pPen) Platform::setPenDashed(pPen, style != kLineSolid);
}

void CDrawContext::setLineWidth(CCoord width) {
  if (width == frameWidth) return;
  frameWidth = width;
  if (pPen) Platform::setPenWidth(pPen, float(width));
}

void CDrawContext::setDrawMode(CDrawMode mode) {
  if (mode == drawMode) return;
  drawMode = mode;
  if (pGraphics) Platform::setSmoothing(pGraphics, mode == kAntialias);
}

void CDrawContext::setClipRect(const CRect& clip) {
  CRect r(clip);
  r.offset(offset.h, offset.v);
  if (r == clipRect) return;
  clipRect = r;
  if (pGraphics) Platform::setClip(pGraphics, clipRect);
}

CRect& CDrawContext::getClipRect(CRect& clip) const {
  clip = clipRect;
  clip.offset(-offset.h, -offset.v);
  return clip;
}

void CDrawContext::setFillColor(const CColor& color) {
  if (color == fillColor) return;
  fillColor = color;
  if (pBrush) Platform::setBrushColor(pBrush, toArgb(color));
}

void CDrawContext::setFrameColor(const CColor& color) {
  if (color == frameColor) return;
  frameColor = color;
  if (pPen) Platform::setPenColor(pPen, toArgb(color));
}

void CDrawContext::setFontColor(const CColor& color) {
  fontColor = color;
  if (pFontBrush) Platform::setBrushColor(pFontBrush, toArgb(color));
}

void CDrawContext::setFont(CFontRef newFont, CCoord size, std::int32_t style) {
  if (!newFont) return;
  CFontRef old = font;
  if ((size <= 0 || size == newFont->getSize()) && (style == -1 || style == newFont->getStyle())) {
    newFont->remember();
    font = newFont;
  } else {
    font = new CFontDesc(newFont->getName(), size > 0 ? size : newFont->getSize(),
                         style != -1 ? style : newFont->getStyle());
  }
  if (old) old->forget();
}

CCoord CDrawContext::getStringWidth(const char* text) {
  if (!text || !font || !pGraphics) return -1;
  Platform::Font* platformFont = font->getPlatformFont();
  if (!platformFont) return -1;
  const std::u16string wide = utf8ToUtf16Lossy(text);
  float width = 0.f;
  if (!Platform::measureString(pGraphics, platformFont, wide.c_str(), int(wide.size()), width))
    return -1;
  return static_cast<CCoord>(width);
}

void CDrawContext::drawString(const char* text, const CPoint& point, bool antialias) {
  if (!text || !font || !pGraphics || !pFontBrush) return;
  Platform::Font* platformFont = font->getPlatformFont();
  if (!platformFont) return;
  const std::u16string wide = utf8ToUtf16Lossy(text);
  // point.v is the bottom of the line box.
  const float lineHeight = Platform::getFontLineHeight(platformFont, pGraphics);
  const float x = float(point.h + offset.h);
  const float y = float(point.v + offset.v) + 1.f - lineHeight;
  Platform::drawString(pGraphics, platformFont, pFontBrush, wide.c_str(), int(wide.size()), x, y,
                       antialias);
}

void CDrawContext::drawString(const char* text, const CRect& rect, std::int32_t hAlign,
                              bool antialias) {
  if (!text || !font) return;
  CCoord x = rect.left;
  if (hAlign == kRightText) {
    x = rect.right - getStringWidth(text);
  } else if (hAlign == kCenterText) {
    const double width = getStringWidth(text);
    x = static_cast<CCoord>((rect.right - rect.left) * 0.5 + rect.left - width * 0.5);
  }
  // One line, centred vertically: its bottom sits half a font size below the middle.
  const CCoord y = rect.bottom + font->getSize() / 2 - (rect.bottom - rect.top) / 2 - 1;

  CRect oldClip;
  getClipRect(oldClip);
  CRect newClip(rect);
  newClip.bound(oldClip);
  setClipRect(newClip);
  drawString(text, CPoint(x, y), antialias);
  setClipRect(oldClip);
}

// --- COffscreenContext ---------------------------------------------------------------

COffscreenContext::COffscreenContext(CFrame* frame, CCoord width, CCoord height,
                                     const CColor& backgroundColor)
    : CDrawContext(frame, nullptr, nullptr),
      width(width),
      height(height),
      backgroundColor(backgroundColor) {
  clipRect = CRect(0, 0, width, height);
  pBitmap = new CBitmap(frame, width, height);
  if (pBitmap->getPlatformImage())
    pGraphics = Platform::createImageGraphics(pBitmap->getPlatformImage());
}

COffscreenContext::~COffscreenContext() {
  // The surface goes before the image it draws into.
  if (pGraphics) {
    Platform::deleteGraphics(pGraphics);
    pGraphics = nullptr;
  }
  if (pBitmap) pBitmap->forget();
}

void COffscreenContext::copyFrom(CDrawContext* pContext, const CRect& destRect,
                                 const CPoint& srcOffset) {
  if (pBitmap && pContext) pBitmap->draw(pContext, destRect, srcOffset);
}

}  // namespace VSTGUI
