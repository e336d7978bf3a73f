#include "toolkit/platform/x11/x11util.h"

#include <time.h>

#include <algorithm>
#include <string>

namespace VSTGUI::X11 {

xcb_connection_t* connect(int* screenNumber) {
  // A server busy taking other clients can drop a new connection at once: a few quick
  // tries tell that from a display that is not there.
  for (int attempt = 0; attempt < 4; ++attempt) {
    xcb_connection_t* connection = xcb_connect(nullptr, screenNumber);
    if (!xcb_connection_has_error(connection)) return connection;
    xcb_disconnect(connection);
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return nullptr;
    const timespec pause{0, 5000000};
    nanosleep(&pause, nullptr);
  }
  return nullptr;
}

xcb_screen_t* screenOfRoot(xcb_connection_t* connection, xcb_window_t root) {
  for (auto it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem; xcb_screen_next(&it))
    if (it.data->root == root) return it.data;
  return nullptr;
}

bool findPixelFormat(xcb_connection_t* connection, xcb_screen_t* screen, xcb_visualid_t preferred,
                     PixelFormat& format) {
  const xcb_setup_t* setup = xcb_get_setup(connection);
  auto bitsPerPixel = [setup](std::uint8_t depth) {
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it))
      if (it.data->depth == depth) return static_cast<int>(it.data->bits_per_pixel);
    return 0;
  };
  auto matches = [](const xcb_visualtype_t* v) {
    return v->_class == XCB_VISUAL_CLASS_TRUE_COLOR && v->red_mask == 0xFF0000u &&
           v->green_mask == 0x00FF00u && v->blue_mask == 0x0000FFu;
  };
  xcb_visualid_t found = 0;
  std::uint8_t foundDepth = 0;
  for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d)) {
    if (d.data->depth != 24 || bitsPerPixel(24) != 32) continue;
    for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
      if (!matches(v.data)) continue;
      if (!found || v.data->visual_id == preferred) {
        found = v.data->visual_id;
        foundDepth = d.data->depth;
      }
    }
  }
  if (!found) return false;
  format.visual = found;
  format.depth = foundDepth;
  const std::uint16_t probe = 1;
  const bool littleEndian = *reinterpret_cast<const std::uint8_t*>(&probe) == 1;
  format.swapBytes = (setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST) != littleEndian;
  // Requests stay well below the server's limit (in 4-byte units), a quarter MiB at most.
  const std::uint32_t limit = static_cast<std::uint32_t>(setup->maximum_request_length) * 4u;
  format.maxRequestBytes = std::min<std::uint32_t>(limit > 64 ? limit - 64 : 4096, 256u * 1024u);
  return true;
}

void putImage(xcb_connection_t* connection, xcb_drawable_t window, xcb_gcontext_t gc, const PixelFormat& format,
              cairo_surface_t* image, const CRect& rect, std::vector<std::uint32_t>& scratch) {
  const int width = cairo_image_surface_get_width(image);
  const int height = cairo_image_surface_get_height(image);
  const int left = std::max(0, static_cast<int>(rect.left));
  const int top = std::max(0, static_cast<int>(rect.top));
  const int right = std::min(width, static_cast<int>(rect.right));
  const int bottom = std::min(height, static_cast<int>(rect.bottom));
  if (left >= right || top >= bottom) return;
  cairo_surface_flush(image);
  const unsigned char* data = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  const int w = right - left;
  const int rowsPerRequest = std::max(1, static_cast<int>(format.maxRequestBytes / (4u * w)));
  for (int y = top; y < bottom; y += rowsPerRequest) {
    const int rows = std::min(rowsPerRequest, bottom - y);
    scratch.resize(static_cast<std::size_t>(w) * rows);
    for (int r = 0; r < rows; ++r) {
      const auto* source = reinterpret_cast<const std::uint32_t*>(data + (y + r) * stride) + left;
      std::uint32_t* target = scratch.data() + static_cast<std::size_t>(r) * w;
      if (format.swapBytes)
        std::transform(source, source + w, target, [](std::uint32_t p) { return __builtin_bswap32(p); });
      else
        std::copy(source, source + w, target);
    }
    xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, gc, static_cast<std::uint16_t>(w),
                  static_cast<std::uint16_t>(rows), static_cast<std::int16_t>(left), static_cast<std::int16_t>(y), 0,
                  format.depth, static_cast<std::uint32_t>(scratch.size() * 4),
                  reinterpret_cast<const std::uint8_t*>(scratch.data()));
  }
}

xcb_atom_t atom(xcb_connection_t* connection, std::string_view name) {
  auto answer = reply(xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr));
  return answer ? answer->atom : 0;
}

void setTitle(xcb_connection_t* connection, xcb_window_t window, std::string_view title) {
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                      static_cast<std::uint32_t>(title.size()), title.data());
  const xcb_atom_t netName = atom(connection, "_NET_WM_NAME");
  const xcb_atom_t utf8 = atom(connection, "UTF8_STRING");
  if (netName && utf8)
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, netName, utf8, 8,
                        static_cast<std::uint32_t>(title.size()), title.data());
}

void setFixedSize(xcb_connection_t* connection, xcb_window_t window, int width, int height) {
  // WM_SIZE_HINTS: flags, four obsolete fields, then minimum and maximum size.
  constexpr std::uint32_t kProgramSize = 1u << 3, kMinSize = 1u << 4, kMaxSize = 1u << 5;
  std::uint32_t hints[18] = {};
  hints[0] = kProgramSize | kMinSize | kMaxSize;
  hints[3] = static_cast<std::uint32_t>(width);
  hints[4] = static_cast<std::uint32_t>(height);
  hints[5] = hints[7] = static_cast<std::uint32_t>(width);
  hints[6] = hints[8] = static_cast<std::uint32_t>(height);
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                      XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
}

std::uint32_t monotonicMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                    static_cast<std::uint64_t>(now.tv_nsec) / 1000000u);
}

}  // namespace VSTGUI::X11
