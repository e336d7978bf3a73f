#include "tests/x11/golden.h"

#include <cairo.h>

#include "editor/layout.h"

namespace x11_test {

std::vector<std::uint32_t> goldenEditorPixels(const std::string& name) {
  constexpr int kWidth = zynka::layout::kWindowWidth;
  constexpr int kHeight = zynka::layout::kWindowHeight;
  std::vector<std::uint32_t> pixels;
  const std::string path = std::string(EDITOR_GOLDEN_DIR) + "/" + name + ".png";
  cairo_surface_t* image = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS && cairo_image_surface_get_width(image) == kWidth &&
      cairo_image_surface_get_height(image) == kHeight) {
    for (int y = 0; y < kHeight; ++y) {
      auto* row = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(image) +
                                                         y * cairo_image_surface_get_stride(image));
      for (int x = 0; x < kWidth; ++x) pixels.push_back(row[x] & 0xFFFFFF);
    }
  }
  cairo_surface_destroy(image);
  return pixels;
}

}  // namespace x11_test
