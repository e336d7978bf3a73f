// Drawing with GDI+ (flat API): no smoothing, pixel units, low-quality
// interpolation, one-to-one image copies; PNG pictures decoded from "DATA"
// resources through a read-only stream over the module's bytes.
#include <atomic>
#include <string>

#include "toolkit/cbitmap.h"
#include "toolkit/platform/win32/win32types.h"
#include "toolkit/textconvert.h"

namespace VSTGUI::Platform {

namespace {

using namespace Gdiplus;

void prepare(GpGraphics* graphics) {
  Gdip::GdipSetInterpolationMode(graphics, InterpolationModeLowQuality);
  Gdip::GdipSetPageUnit(graphics, UnitPixel);
  Gdip::GdipSetPixelOffsetMode(graphics, PixelOffsetModeNone);
  Gdip::GdipSetSmoothingMode(graphics, SmoothingModeNone);
}

std::wstring wide(const char* text) {
  const std::u16string u16 = utf8ToUtf16(text ? text : "");
  return std::wstring(u16.begin(), u16.end());
}

/// The platform stream view of a ResourceStream: IStream over the resource's bytes.
class ResourceIStream final : public IStream {
 public:
  explicit ResourceIStream(ResourceStream* stream) : stream(stream) { stream->addRef(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ISequentialStream || iid == IID_IStream) {
      *object = static_cast<IStream*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refCount; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refCount;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG n, ULONG* read) override {
    std::uint32_t got = 0;
    const auto status = stream->read(buffer, n, &got);
    if (read) *read = got;
    return status == ResourceStream::kOk ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override {
    std::uint64_t newPosition = 0;
    const int from = origin == STREAM_SEEK_SET ? ResourceStream::kFromStart
                     : origin == STREAM_SEEK_CUR ? ResourceStream::kFromCurrent
                     : origin == STREAM_SEEK_END ? ResourceStream::kFromEnd
                                                 : -1;
    switch (stream->seek(move.QuadPart, from, &newPosition)) {
      case ResourceStream::kOk:
        if (position) position->QuadPart = newPosition;
        return S_OK;
      case ResourceStream::kInvalidFunction:
        return STG_E_INVALIDFUNCTION;
      default:
        return S_FALSE;
    }
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
    if (!stat) return STG_E_INVALIDPOINTER;
    ZeroMemory(stat, sizeof *stat);
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = stream->getSize();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Revert() override {
    stream->revert();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

 private:
  ~ResourceIStream() { stream->release(); }

  ResourceStream* stream;
  std::atomic<ULONG> refCount{1};
};

GpFontFamily* familyByName(const wchar_t* name) {
  GpFontFamily* family = nullptr;
  if (Gdip::GdipCreateFontFamilyFromName(name, nullptr, &family) != Ok) return nullptr;
  return family;
}

// Families tried when the named one is missing and the platform has no generic
// sans-serif family either (Wine without Windows fonts).
constexpr const wchar_t* kFallbackFamilies[] = {L"Arial", L"Liberation Sans", L"DejaVu Sans",
                                                L"Tahoma", L"Microsoft Sans Serif", L"Segoe UI"};

GpFontFamily* findFamily(const wchar_t* name) {
  if (GpFontFamily* family = familyByName(name)) return family;
  // The generic family is a shared object: take its name and make a family of our own.
  GpFontFamily* generic = nullptr;
  if (Gdip::GdipGetGenericFontFamilySansSerif(&generic) == Ok && generic) {
    WCHAR genericName[LF_FACESIZE] = {};
    if (Gdip::GdipGetFamilyName(generic, genericName, LANG_NEUTRAL) == Ok)
      if (GpFontFamily* family = familyByName(genericName)) return family;
  }
  for (const wchar_t* fallback : kFallbackFamilies)
    if (GpFontFamily* family = familyByName(fallback)) return family;
  return nullptr;
}

}  // namespace

namespace {

/// GDI+'s start-up token while the library runs (0: not started).
ULONG_PTR gGdiplusToken = 0;

}  // namespace

bool startGraphics() {
  GdiplusStartupInput input;
  input.GdiplusVersion = 1;
  input.DebugEventCallback = nullptr;
  input.SuppressBackgroundThread = FALSE;
  input.SuppressExternalCodecs = FALSE;
  ULONG_PTR token = 0;
  if (GdiplusStartup(&token, &input, nullptr) != Ok || token == 0) return false;
  gGdiplusToken = token;
  return true;
}

void stopGraphics() {
  GdiplusShutdown(gGdiplusToken);
  gGdiplusToken = 0;
}

Graphics* createGraphics(Device* device) {
  if (!device || !device->dc) return nullptr;
  GpGraphics* graphics = nullptr;
  if (Gdip::GdipCreateFromHDC(device->dc, &graphics) != Ok || !graphics) return nullptr;
  prepare(graphics);
  return new Graphics{graphics};
}

Graphics* createImageGraphics(Image* image) {
  if (!image || !image->bitmap) return nullptr;
  GpGraphics* graphics = nullptr;
  if (Gdip::GdipGetImageGraphicsContext(image->bitmap, &graphics) != Ok || !graphics) return nullptr;
  prepare(graphics);
  return new Graphics{graphics};
}

void deleteGraphics(Graphics* graphics) {
  if (!graphics) return;
  Gdip::GdipDeleteGraphics(graphics->graphics);
  delete graphics;
}

void setSmoothing(Graphics* graphics, bool on) {
  if (graphics)
    Gdip::GdipSetSmoothingMode(graphics->graphics, on ? SmoothingModeAntiAlias : SmoothingModeNone);
}

void setClip(Graphics* graphics, const CRect& rect) {
  if (graphics)
    Gdip::GdipSetClipRectI(graphics->graphics, rect.left, rect.top, rect.width(), rect.height(),
                           CombineModeReplace);
}

void fillRect(Graphics* graphics, Brush* brush, float x, float y, float w, float h) {
  if (graphics && brush) Gdip::GdipFillRectangle(graphics->graphics, brush->brush, x, y, w, h);
}

void strokeRect(Graphics* graphics, Pen* pen, float x, float y, float w, float h) {
  if (graphics && pen) Gdip::GdipDrawRectangle(graphics->graphics, pen->pen, x, y, w, h);
}

void drawLine(Graphics* graphics, Pen* pen, int x1, int y1, int x2, int y2) {
  if (graphics && pen) Gdip::GdipDrawLineI(graphics->graphics, pen->pen, x1, y1, x2, y2);
}

Pen* createPen(std::uint32_t argb, float width) {
  GpPen* pen = nullptr;
  if (Gdip::GdipCreatePen1(argb, width, UnitPixel, &pen) != Ok) return nullptr;
  return new Pen{pen};
}
void setPenColor(Pen* pen, std::uint32_t argb) {
  if (pen) Gdip::GdipSetPenColor(pen->pen, argb);
}
void setPenWidth(Pen* pen, float width) {
  if (pen) Gdip::GdipSetPenWidth(pen->pen, width);
}
void setPenDashed(Pen* pen, bool dashed) {
  if (pen) Gdip::GdipSetPenDashStyle(pen->pen, dashed ? DashStyleDot : DashStyleSolid);
}
void deletePen(Pen* pen) {
  if (!pen) return;
  Gdip::GdipDeletePen(pen->pen);
  delete pen;
}

Brush* createBrush(std::uint32_t argb) {
  GpSolidFill* brush = nullptr;
  if (Gdip::GdipCreateSolidFill(argb, &brush) != Ok) return nullptr;
  return new Brush{brush};
}
void setBrushColor(Brush* brush, std::uint32_t argb) {
  if (brush) Gdip::GdipSetSolidFillColor(brush->brush, argb);
}
void deleteBrush(Brush* brush) {
  if (!brush) return;
  Gdip::GdipDeleteBrush(brush->brush);
  delete brush;
}

Font* createFont(const char16_t* family, float pixelSize, int style) {
  const std::wstring name = family ? std::wstring(family, family + std::char_traits<char16_t>::length(family))
                                   : std::wstring();
  GpFontFamily* fontFamily = findFamily(name.c_str());
  if (!fontFamily) return nullptr;
  GpFont* font = nullptr;
  const GpStatus status = Gdip::GdipCreateFont(fontFamily, pixelSize, style, UnitPixel, &font);
  Gdip::GdipDeleteFontFamily(fontFamily);
  if (status != Ok || !font) return nullptr;
  return new Font{font};
}

void deleteFont(Font* font) {
  if (!font) return;
  Gdip::GdipDeleteFont(font->font);
  delete font;
}

float getFontLineHeight(Font* font, Graphics* graphics) {
  if (!font || !graphics) return 0.f;
  REAL dpi = 96.f;
  Gdip::GdipGetDpiY(graphics->graphics, &dpi);
  REAL height = 0.f;
  Gdip::GdipGetFontHeightGivenDPI(font->font, dpi, &height);
  return height;
}

bool measureString(Graphics* graphics, Font* font, const char16_t* text, int length, float& width) {
  if (!graphics || !font || !text) return false;
  const RectF layout(0.f, 0.f, 0.f, 0.f);
  RectF box;
  const std::wstring w(text, text + length);
  if (Gdip::GdipMeasureString(graphics->graphics, w.c_str(), length, font->font, &layout, nullptr,
                              &box, nullptr, nullptr) != Ok)
    return false;
  width = box.Width;
  return true;
}

void drawString(Graphics* graphics, Font* font, Brush* brush, const char16_t* text, int length,
                float x, float y, bool antialias) {
  if (!graphics || !font || !brush || !text) return;
  Gdip::GdipSetTextRenderingHint(graphics->graphics, antialias ? TextRenderingHintClearTypeGridFit
                                                               : TextRenderingHintSystemDefault);
  const RectF origin(x, y, 0.f, 0.f);
  const std::wstring w(text, text + length);
  Gdip::GdipDrawString(graphics->graphics, w.c_str(), length, font->font, &origin, nullptr,
                       brush->brush);
}

Image* decodeImage(ResourceStream* stream) {
  if (!stream) return nullptr;
  auto* istream = new ResourceIStream(stream);
  GpBitmap* bitmap = nullptr;
  const GpStatus status = Gdip::GdipCreateBitmapFromStreamICM(istream, &bitmap);
  istream->Release();
  if (status != Ok || !bitmap) return nullptr;
  return new Image{bitmap};
}

Image* loadBitmapResource(const char* name, int id) {
  GpBitmap* bitmap = nullptr;
  const std::wstring w = wide(name);
  const WCHAR* resource = name ? w.c_str() : MAKEINTRESOURCEW(id);
  if (Gdip::GdipCreateBitmapFromResource(moduleHandle(), resource, &bitmap) != Ok || !bitmap)
    return nullptr;
  return new Image{bitmap};
}

Image* createImage(int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  GpBitmap* bitmap = nullptr;
  if (Gdip::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppPARGB, nullptr, &bitmap) != Ok ||
      !bitmap)
    return nullptr;
  // Start fully transparent whatever the library leaves in new memory.
  GpGraphics* graphics = nullptr;
  if (Gdip::GdipGetImageGraphicsContext(bitmap, &graphics) == Ok && graphics) {
    Gdip::GdipGraphicsClear(graphics, 0);
    Gdip::GdipDeleteGraphics(graphics);
  }
  return new Image{bitmap};
}

bool isPremultipliedArgb(Image* image) {
  PixelFormat format = 0;
  return image && Gdip::GdipGetImagePixelFormat(image->bitmap, &format) == Ok &&
         format == PixelFormat32bppPARGB;
}

void getImageSize(Image* image, int& width, int& height) {
  UINT w = 0, h = 0;
  if (image) {
    Gdip::GdipGetImageWidth(image->bitmap, &w);
    Gdip::GdipGetImageHeight(image->bitmap, &h);
  }
  width = static_cast<int>(w);
  height = static_cast<int>(h);
}

void deleteImage(Image* image) {
  if (!image) return;
  Gdip::GdipDisposeImage(image->bitmap);
  delete image;
}

void drawImage(Graphics* graphics, Image* image, const CRect& dest, const CPoint& src, float alpha) {
  if (!graphics || !image || dest.isEmpty()) return;
  GpImageAttributes* attributes = nullptr;
  if (alpha < 1.f && Gdip::GdipCreateImageAttributes(&attributes) == Ok) {
    ColorMatrix matrix = {{{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, alpha, 0},
                           {0, 0, 0, 0, 1}}};
    Gdip::GdipSetImageAttributesColorMatrix(attributes, ColorAdjustTypeDefault, TRUE, &matrix,
                                            nullptr, ColorMatrixFlagsDefault);
  }
  Gdip::GdipDrawImageRectRectI(graphics->graphics, image->bitmap, dest.left, dest.top, dest.width(),
                               dest.height(), src.h, src.v, dest.width(), dest.height(), UnitPixel,
                               attributes, nullptr, nullptr);
  if (attributes) Gdip::GdipDisposeImageAttributes(attributes);
}

bool findResource(const char* name, int id, const char* type, const void*& data, std::uint32_t& size) {
  if (!type) return false;
  const std::wstring wname = wide(name);
  const std::wstring wtype = wide(type);
  HRSRC resource = FindResourceW(moduleHandle(), name ? wname.c_str() : MAKEINTRESOURCEW(id), wtype.c_str());
  if (!resource) return false;
  HGLOBAL loaded = LoadResource(moduleHandle(), resource);
  if (!loaded) return false;
  data = LockResource(loaded);
  size = SizeofResource(moduleHandle(), resource);
  return data != nullptr;
}

}  // namespace VSTGUI::Platform
