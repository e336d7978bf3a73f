// Value types shared by the whole toolkit (pixel geometry, colours, mouse and key
// codes, messages) and CBaseObject, the reference-counted root of toolkit objects.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

namespace VSTGUI {

using CCoord = std::int32_t;

/// A pixel position: h is x, v is y.
struct CPoint {
  CCoord h = 0;
  CCoord v = 0;

  constexpr CPoint() = default;
  constexpr CPoint(CCoord h, CCoord v) : h(h), v(v) {}

  /// Moves the point by (x, y).
  constexpr CPoint& offset(CCoord x, CCoord y) {
    h += x;
    v += y;
    return *this;
  }
  constexpr bool operator==(const CPoint&) const = default;
  constexpr CPoint operator+(const CPoint& o) const { return {h + o.h, v + o.v}; }
  constexpr CPoint operator-(const CPoint& o) const { return {h - o.h, v - o.v}; }
};

/// A rectangle; width = right - left, height = bottom - top.
struct CRect {
  CCoord left = 0;
  CCoord top = 0;
  CCoord right = 0;
  CCoord bottom = 0;

  constexpr CRect() = default;
  constexpr CRect(CCoord left, CCoord top, CCoord right, CCoord bottom)
      : left(left), top(top), right(right), bottom(bottom) {}
  constexpr CRect(const CPoint& origin, const CPoint& extent)
      : left(origin.h), top(origin.v), right(origin.h + extent.h), bottom(origin.v + extent.v) {}

  constexpr CCoord width() const { return right - left; }
  constexpr CCoord height() const { return bottom - top; }
  constexpr CCoord getWidth() const { return width(); }
  constexpr CCoord getHeight() const { return height(); }
  constexpr CPoint getTopLeft() const { return {left, top}; }
  /// True when the rectangle covers no pixel.
  constexpr bool isEmpty() const { return right <= left || bottom <= top; }

  /// Moves the rectangle by (x, y).
  constexpr CRect& offset(CCoord x, CCoord y) {
    left += x;
    right += x;
    top += y;
    bottom += y;
    return *this;
  }
  /// Moves the top-left corner to (x, y), keeping the size.
  constexpr CRect& moveTo(CCoord x, CCoord y) { return offset(x - left, y - top); }
  /// Orders the edges so that left <= right and top <= bottom.
  constexpr CRect& normalize() {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    return *this;
  }
  /// Intersects with r; a rectangle that misses r ends with zero width or height.
  constexpr CRect& bound(const CRect& r) {
    if (left < r.left) left = r.left;
    if (top < r.top) top = r.top;
    if (right > r.right) right = r.right;
    if (bottom > r.bottom) bottom = r.bottom;
    if (right < left) right = left;
    if (bottom < top) bottom = top;
    return *this;
  }
  /// Inclusive test: all four edges count as inside.
  constexpr bool pointInside(const CPoint& p) const {
    return p.h >= left && p.h <= right && p.v >= top && p.v <= bottom;
  }
  /// Inclusive overlap: rectangles that only share an edge overlap.
  constexpr bool rectOverlap(const CRect& r) const {
    return !(r.right < left || r.left > right || r.bottom < top || r.top > bottom);
  }
  constexpr bool operator==(const CRect&) const = default;
};

/// Red, green, blue and alpha bytes; alpha 255 is opaque.
struct CColor {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t alpha = 0;
  constexpr bool operator==(const CColor&) const = default;
};

/// The colour as the platform takes it: alpha << 24 | red << 16 | green << 8 | blue.
constexpr std::uint32_t toArgb(const CColor& c) {
  return (std::uint32_t(c.alpha) << 24) | (std::uint32_t(c.red) << 16) |
         (std::uint32_t(c.green) << 8) | std::uint32_t(c.blue);
}

inline constexpr CColor kTransparentCColor{255, 255, 255, 0};
inline constexpr CColor kBlackCColor{0, 0, 0, 255};
inline constexpr CColor kWhiteCColor{255, 255, 255, 255};
inline constexpr CColor kGreyCColor{127, 127, 127, 255};
inline constexpr CColor kRedCColor{255, 0, 0, 255};
inline constexpr CColor kGreenCColor{0, 255, 0, 255};
inline constexpr CColor kBlueCColor{0, 0, 255, 255};
inline constexpr CColor kYellowCColor{255, 255, 0, 255};
inline constexpr CColor kMagentaCColor{255, 0, 255, 255};
inline constexpr CColor kCyanCColor{0, 255, 255, 255};

/// Mouse buttons and modifier keys held during a mouse event, as a bit set.
using CButton = std::int32_t;
enum : CButton {
  kLButton = 1 << 1,
  kMButton = 1 << 2,
  kRButton = 1 << 3,
  kShift = 1 << 4,
  kControl = 1 << 5,
  kAlt = 1 << 6,
  kApple = 1 << 7,
  kButton4 = 1 << 8,
  kButton5 = 1 << 9,
  kDoubleClick = 1 << 10,
};

enum CMouseEventResult : std::int32_t {
  kMouseEventNotImplemented = 0,
  kMouseEventHandled = 1,
  kMouseEventNotHandled = 2,
  kMouseDownEventHandledButDontNeedMovedOrUpEvents = 3,
};

enum CMouseWheelAxis : std::int32_t { kMouseWheelAxisX = 0, kMouseWheelAxisY = 1 };

/// A key as the host delivers it to the editor: laid out as the VST 2.x key record, so an
/// editor hands on the host's keys field by field.
struct VstKeyCode {
  std::int32_t character = 0;  // the character typed (0 for a virtual key)
  unsigned char virt = 0;      // a virtual key code (VKEY_...), or 0
  unsigned char modifier = 0;  // MODIFIER_... bits
};
static_assert(sizeof(VstKeyCode) == 8 && offsetof(VstKeyCode, virt) == 4 && offsetof(VstKeyCode, modifier) == 5,
              "the VST 2.x key record's layout");

// Virtual key codes and modifier bits of VstKeyCode that the toolkit acts on.
inline constexpr unsigned char VKEY_TAB = 2;
inline constexpr unsigned char VKEY_LEFT = 11;
inline constexpr unsigned char VKEY_UP = 12;
inline constexpr unsigned char VKEY_RIGHT = 13;
inline constexpr unsigned char VKEY_DOWN = 14;
inline constexpr unsigned char MODIFIER_SHIFT = 1;

enum CMessageResult : std::int32_t { kMessageUnknown = 0, kMessageNotified = 1 };

// Notification messages: compared by address, never by text.
extern const char kMsgCheckIfViewContainer[];
extern const char kMsgNewFocusView[];
extern const char kMsgOldFocusView[];
extern const char kMsgLooseFocus[];

enum CCursorType : std::int32_t {
  kCursorDefault = 0,
  kCursorWait,
  kCursorHSize,
  kCursorVSize,
  kCursorSizeAll,
  kCursorNESWSize,
  kCursorNWSESize,
  kCursorCopy,
  kCursorNotAllowed,
  kCursorHand,
};

enum : std::int32_t {
  kAutosizeNone = 0,
  kAutosizeLeft = 1 << 0,
  kAutosizeTop = 1 << 1,
  kAutosizeRight = 1 << 2,
  kAutosizeBottom = 1 << 3,
  kAutosizeColumn = 1 << 4,
  kAutosizeRow = 1 << 5,
  kAutosizeAll = kAutosizeLeft | kAutosizeTop | kAutosizeRight | kAutosizeBottom,
};

/// Root of every toolkit object: created with one reference, deleted by the last forget.
/// The count is plain: toolkit objects live on the GUI thread.
class CBaseObject {
 public:
  CBaseObject() = default;
  CBaseObject(const CBaseObject&) : nbReference(1) {}
  CBaseObject& operator=(const CBaseObject&) { return *this; }
  virtual ~CBaseObject() = default;

  /// Drops one reference; the object deletes itself when it held the last one.
  virtual void forget() {
    if (nbReference > 0) {
      --nbReference;
      if (nbReference == 0) delete this;
    }
  }
  /// Takes one more reference.
  virtual void remember() { ++nbReference; }
  /// Receives a message from sender; the base knows no message.
  virtual CMessageResult notify(CBaseObject* /*sender*/, const char* /*message*/) {
    return kMessageUnknown;
  }
  /// The current reference count.
  std::int32_t getNbReference() const { return nbReference; }

 private:
  std::int32_t nbReference = 1;
};

}  // namespace VSTGUI
