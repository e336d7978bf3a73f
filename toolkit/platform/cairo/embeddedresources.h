// Resources compiled into the binary (Linux): the module's "DATA" pictures by name,
// found by every Linux platform (headless and X11) through findResource.
// The CMake function vstgui_embed_resources generates a table and registers it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace VSTGUI::Platform {

/// One resource: its type ("DATA"), its name or integer identifier, and its bytes.
struct EmbeddedResource {
  const char* type;
  const char* name;  // null when the resource has only an identifier
  int id;
  const unsigned char* data;
  std::uint32_t size;
};

/// Adds a table of resources (which must live until exit); returns true.
bool registerEmbeddedResources(const EmbeddedResource* table, std::size_t count);

}  // namespace VSTGUI::Platform
