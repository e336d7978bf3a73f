// The payload of a drag-and-drop gesture, as the views see it.
#pragma once

#include <cstdint>

#include "toolkit/vstguibase.h"

namespace VSTGUI {

/// The items being dragged: texts or file paths, handed out as UTF-8.
class CDragContainer : public CBaseObject {
 public:
  enum Type : std::int32_t { kFile = 0, kText = 1, kUnicodeText = 2, kUnknown = -1, kError = -2 };

  /// Restarts and returns the first item (see next).
  virtual void* first(std::int32_t& size, std::int32_t& type) = 0;
  /// The next item as zero-terminated UTF-8 (size in bytes, type one of Type), or null after the last.
  virtual void* next(std::int32_t& size, std::int32_t& type) = 0;
  /// The type of the item at index.
  virtual std::int32_t getType(std::int32_t index) const = 0;
  /// The number of items.
  virtual std::int32_t getCount() const = 0;
};

}  // namespace VSTGUI
