// The resource tables compiled into the binary and the lookup of platform.h's
// findResource over them, shared by the Linux platforms.
#include "toolkit/platform/cairo/embeddedresources.h"

#include <cctype>
#include <utility>
#include <vector>

#include "toolkit/platform/platform.h"

namespace VSTGUI::Platform {

namespace {

std::vector<std::pair<const EmbeddedResource*, std::size_t>>& resourceTables() {
  static std::vector<std::pair<const EmbeddedResource*, std::size_t>> tables;
  return tables;
}

bool equalsIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
      return false;
  return *a == *b;
}

}  // namespace

bool registerEmbeddedResources(const EmbeddedResource* table, std::size_t count) {
  resourceTables().emplace_back(table, count);
  return true;
}

bool findResource(const char* name, int id, const char* type, const void*& data, std::uint32_t& size) {
  if (!type) return false;
  for (const auto& [table, count] : resourceTables()) {
    for (std::size_t i = 0; i < count; ++i) {
      const EmbeddedResource& r = table[i];
      if (!equalsIgnoringCase(r.type, type)) continue;
      const bool match = name ? (r.name && equalsIgnoringCase(r.name, name)) : (!r.name && r.id == id);
      if (!match) continue;
      data = r.data;
      size = r.size;
      return true;
    }
  }
  return false;
}

}  // namespace VSTGUI::Platform
