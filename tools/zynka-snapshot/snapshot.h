// The editor as a host shows it, rendered on the in-memory window: the plug-in is
// made by its own factory and driven through its AEffect record (program,
// parameters, effEditOpen, effEditIdle), then the frame paints the whole window
// through the same paint path a real window takes.
#pragma once

#include <cairo.h>

#include <string>
#include <utility>
#include <vector>

namespace zynka::snapshot {

struct Scene {
  int program = -1;                             // program to select (0..98), -1: the first
  std::vector<std::pair<int, float>> values;    // parameters to set first: index, value
  std::vector<std::pair<int, std::string>> names;  // program names to set: program, name
  bool splash = false;                          // the splash screen clicked open
  int valueBox = -1;                            // show this parameter's value box
  bool menuPressed = false;                     // the program menu button while its popup is open
};

/// The editor's pixels after the scene's steps (a new ARGB32 surface the caller destroys),
/// or null with a message in `error`.
cairo_surface_t* render(const Scene& scene, std::string& error);

}  // namespace zynka::snapshot
