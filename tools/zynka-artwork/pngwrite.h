// A PNG writer that tries every row filter and keeps the smallest file, since
// the pictures are compiled into the plug-in.
#pragma once

#include <cairo.h>

#include <string>

namespace zart {

// Writes an ARGB32 cairo image as 8-bit RGBA. False if it cannot be written.
bool writeCompactPng(cairo_surface_t* image, const std::string& path);

}  // namespace zart
