#include "toolkit/cbitmap.h"

#include <cstring>

#include "toolkit/cdrawcontext.h"

namespace VSTGUI {

// --- CBitmap ---------------------------------------------------------------------

CBitmap::CBitmap(const CResourceDescription& desc) : resourceDesc(desc) {
  GDIPlusGlobals::enter();
  loadFromResource(desc);
}

CBitmap::CBitmap(CFrame* /*frame*/, CCoord width, CCoord height) {
  GDIPlusGlobals::enter();
  if (width > 0 && height > 0) {
    pImage = Platform::createImage(width, height);
    if (pImage) {
      this->width = width;
      this->height = height;
    }
  }
}

CBitmap::~CBitmap() {
  CBitmap::dispose();
  GDIPlusGlobals::exit();
}

void CBitmap::dispose() {
  if (pImage) {
    Platform::deleteImage(pImage);
    pImage = nullptr;
  }
  width = 0;
  height = 0;
}

bool CBitmap::loadFromResource(const CResourceDescription& desc) {
  dispose();
  resourceDesc = desc;

  ResourceStream* stream = new ResourceStream;
  if (stream->open(desc, "DATA")) pImage = Platform::decodeImage(stream);
  stream->release();

  if (!pImage && desc.type != CResourceDescription::kUnknownType)
    pImage = Platform::loadBitmapResource(
        desc.type == CResourceDescription::kStringType ? desc.name.c_str() : nullptr, desc.id);
  if (!pImage) return false;

  int w = 0;
  int h = 0;
  Platform::getImageSize(pImage, w, h);
  // Every later draw is a plain copy: keep only premultiplied 32-bit ARGB.
  if (!Platform::isPremultipliedArgb(pImage)) {
    Platform::Image* converted = Platform::createImage(w, h);
    Platform::Graphics* graphics = converted ? Platform::createImageGraphics(converted) : nullptr;
    if (graphics) {
      Platform::drawImage(graphics, pImage, CRect(0, 0, w, h), CPoint(0, 0), 1.f);
      Platform::deleteGraphics(graphics);
      Platform::deleteImage(pImage);
      pImage = converted;
    } else if (converted) {
      Platform::deleteImage(converted);
    }
  }
  width = w;
  height = h;
  return true;
}

bool CBitmap::loadFromPath(const void* /*platformPath*/) {
  dispose();
  return false;
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset) {
  drawAlphaBlend(context, rect, offset, 255);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& offset) {
  drawAlphaBlend(context, rect, offset, 255);
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const CRect& rect, const CPoint& offset,
                             std::uint8_t alpha) {
  if (!pImage || !context || !context->getGraphics()) return;
  if (rect.width() <= 0 || rect.height() <= 0) return;
  CRect dest(rect);
  dest.offset(context->getOffset().h, context->getOffset().v);
  if (alpha == 255) {
    Platform::drawImage(context->getGraphics(), pImage, dest, offset, 1.f);
    return;
  }
  // The area goes through an image of the rectangle's size, drawn with scaled alpha.
  Platform::Image* area = Platform::createImage(rect.width(), rect.height());
  if (!area) return;
  if (Platform::Graphics* graphics = Platform::createImageGraphics(area)) {
    Platform::drawImage(graphics, pImage, CRect(0, 0, rect.width(), rect.height()), offset, 1.f);
    Platform::deleteGraphics(graphics);
    Platform::drawImage(context->getGraphics(), area, dest, CPoint(0, 0), alpha / 255.f);
  }
  Platform::deleteImage(area);
}

bool CBitmap::getResourceImageSize(const CResourceDescription& desc, CCoord& width, CCoord& height) {
  ResourceStream* stream = new ResourceStream;
  // The signature, then the first chunk, IHDR: length, type, width and height (big-endian).
  std::uint8_t header[24] = {};
  std::uint32_t read = 0;
  const bool found = stream->open(desc, "DATA") && stream->read(header, sizeof header, &read) == ResourceStream::kOk;
  stream->release();
  static const std::uint8_t kSignature[12] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13};
  if (!found || std::memcmp(header, kSignature, sizeof kSignature) != 0 || std::memcmp(header + 12, "IHDR", 4) != 0)
    return false;
  auto bigEndian = [&](int at) {
    return (std::uint32_t(header[at]) << 24) | (std::uint32_t(header[at + 1]) << 16) |
           (std::uint32_t(header[at + 2]) << 8) | std::uint32_t(header[at + 3]);
  };
  const std::uint32_t w = bigEndian(16);
  const std::uint32_t h = bigEndian(20);
  if (w == 0 || h == 0 || w > 0x7FFF || h > 0x7FFF) return false;
  width = static_cast<CCoord>(w);
  height = static_cast<CCoord>(h);
  return true;
}

// --- ResourceStream -----------------------------------------------------------------

bool ResourceStream::open(const CResourceDescription& desc, const char* type) {
  if (desc.type == CResourceDescription::kUnknownType) return false;
  const void* bytes = nullptr;
  std::uint32_t length = 0;
  const char* name = desc.type == CResourceDescription::kStringType ? desc.name.c_str() : nullptr;
  if (!Platform::findResource(name, desc.id, type, bytes, length) || !bytes) return false;
  data = static_cast<const std::uint8_t*>(bytes);
  size = length;
  position = 0;
  return true;
}

ResourceStream::Status ResourceStream::read(void* buffer, std::uint32_t n,
                                            std::uint32_t* bytesRead) {
  if (std::uint64_t(position) + n > size || (n > 0 && !buffer)) {
    if (bytesRead) *bytesRead = 0;
    return kFalse;
  }
  if (n > 0) std::memcpy(buffer, data + position, n);
  position += n;
  if (bytesRead) *bytesRead = n;
  return kOk;
}

ResourceStream::Status ResourceStream::seek(std::int64_t move, int origin,
                                            std::uint64_t* newPosition) {
  std::int64_t target = 0;
  switch (origin) {
    case kFromStart:
      target = move;
      break;
    case kFromCurrent:
      target = std::int64_t(position) + move;
      break;
    case kFromEnd:
      return kFalse;
    default:
      return kInvalidFunction;
  }
  // A negative target is refused as well: the position never leaves the data.
  if (target < 0 || target >= std::int64_t(size)) return kFalse;
  position = static_cast<std::uint32_t>(target);
  if (newPosition) *newPosition = position;
  return kOk;
}

// --- GDIPlusGlobals ---------------------------------------------------------------

GDIPlusGlobals* GDIPlusGlobals::gGDIPlusGlobals = nullptr;

GDIPlusGlobals::GDIPlusGlobals() : graphicsStarted(Platform::startGraphics()) {}

GDIPlusGlobals::~GDIPlusGlobals() {
  // Platform fonts must not outlive the library that made them.
  freePredefinedPlatformFonts();
  if (graphicsStarted) Platform::stopGraphics();
}

void GDIPlusGlobals::enter() {
  if (gGDIPlusGlobals)
    gGDIPlusGlobals->remember();
  else
    gGDIPlusGlobals = new GDIPlusGlobals;
}

void GDIPlusGlobals::exit() {
  if (!gGDIPlusGlobals) return;
  const bool last = gGDIPlusGlobals->getNbReference() == 1;
  gGDIPlusGlobals->forget();
  if (last) gGDIPlusGlobals = nullptr;
}

}  // namespace VSTGUI
