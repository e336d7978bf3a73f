// Bitmaps decoded once from the module's PNG resources (type "DATA") into 32-bit
// premultiplied ARGB and drawn one pixel to one pixel; the read-only stream over a
// resource's bytes; and the guard that keeps the graphics library started.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "toolkit/platform/platform.h"
#include "toolkit/vstguibase.h"

namespace VSTGUI {

class CDrawContext;
class CFrame;

/// Names a module resource by integer identifier or by name.
struct CResourceDescription {
  enum Type : std::int32_t { kIntegerType = 0, kStringType = 1, kUnknownType = 2 };

  CResourceDescription() = default;
  CResourceDescription(int id) : type(kIntegerType), id(static_cast<std::int16_t>(id)) {}
  CResourceDescription(const char* name)
      : type(name ? kStringType : kUnknownType), name(name ? name : "") {}

  Type type = kUnknownType;
  std::int16_t id = 0;
  std::string name;
};

/// A picture with its alpha channel; shared by reference among the views that show it.
class CBitmap : public CBaseObject {
 public:
  /// Loads the resource (an empty 0 x 0 bitmap when it is missing).
  explicit CBitmap(const CResourceDescription& desc);
  /// An empty, fully transparent image of width x height.
  CBitmap(CFrame* frame, CCoord width, CCoord height);
  ~CBitmap() override;
  CBitmap(const CBitmap&) = delete;
  CBitmap& operator=(const CBitmap&) = delete;

  /// Draws the area at offset of rect's size onto rect, with the image's alpha.
  virtual void draw(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint());
  /// Same as draw.
  virtual void drawTransparent(CDrawContext* context, const CRect& rect,
                               const CPoint& offset = CPoint());
  /// Draws like draw with the image's alpha further scaled by alpha / 255.
  virtual void drawAlphaBlend(CDrawContext* context, const CRect& rect,
                              const CPoint& offset = CPoint(), std::uint8_t alpha = 128);
  /// Releases the image; width and height become 0.
  virtual void dispose();
  /// Loads a "DATA" resource (or a standard bitmap resource); false when neither exists.
  virtual bool loadFromResource(const CResourceDescription& desc);
  /// Files are not supported: disposes and returns false.
  virtual bool loadFromPath(const void* platformPath);

  /// The pixel size of a PNG "DATA" resource, read from its header without decoding it;
  /// false when there is no such PNG.
  static bool getResourceImageSize(const CResourceDescription& desc, CCoord& width, CCoord& height);

  CCoord getWidth() const { return width; }
  CCoord getHeight() const { return height; }
  const CResourceDescription& getResourceDescription() const { return resourceDesc; }
  /// The decoded image, or null.
  Platform::Image* getPlatformImage() const { return pImage; }

 protected:
  CResourceDescription resourceDesc;
  CCoord width = 0;
  CCoord height = 0;
  Platform::Image* pImage = nullptr;
};

/// A read-only stream over the bytes of one module resource.
class ResourceStream {
 public:
  /// Stream answers, in the platform stream's terms.
  enum Status { kOk, kFalse, kInvalidFunction, kNotImplemented };
  enum Origin { kFromStart = 0, kFromCurrent = 1, kFromEnd = 2 };

  ResourceStream() = default;
  ResourceStream(const ResourceStream&) = delete;
  ResourceStream& operator=(const ResourceStream&) = delete;

  /// Finds the resource of that type and takes its bytes; false when not found.
  bool open(const CResourceDescription& desc, const char* type);
  /// Copies n bytes; past the end it reads nothing and answers kFalse.
  Status read(void* buffer, std::uint32_t n, std::uint32_t* bytesRead);
  /// Moves the position from the start or the current position; out-of-range targets answer kFalse.
  Status seek(std::int64_t move, int origin, std::uint64_t* newPosition);
  /// Back to position 0.
  void revert() { position = 0; }
  std::uint32_t getSize() const { return size; }
  std::uint32_t getPosition() const { return position; }
  const std::uint8_t* getData() const { return data; }

  /// Takes one reference (thread-safe).
  std::int32_t addRef() { return ++refCount; }
  /// Drops one reference and deletes the stream after the last one (thread-safe).
  std::int32_t release() {
    std::int32_t left = --refCount;
    if (left == 0) delete this;
    return left;
  }

 private:
  ~ResourceStream() = default;

  const std::uint8_t* data = nullptr;
  std::uint32_t position = 0;
  std::uint32_t size = 0;
  std::atomic<std::int32_t> refCount{1};
};

/// Keeps the platform graphics library started while any frame or bitmap lives.
class GDIPlusGlobals : public CBaseObject {
 public:
  /// Takes a reference on the guard, creating it (and starting the library) when there is none.
  static void enter();
  /// Drops a reference; the last one stops the library.
  static void exit();
  /// The live guard, or null.
  static GDIPlusGlobals* get() { return gGDIPlusGlobals; }

 protected:
  GDIPlusGlobals();
  ~GDIPlusGlobals() override;

  bool graphicsStarted = false;
  static GDIPlusGlobals* gGDIPlusGlobals;
};

}  // namespace VSTGUI
