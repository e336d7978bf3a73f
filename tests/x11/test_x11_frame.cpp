// The frame's window on X11 as a host shows it: a child of the host's window at the
// frame's size with a fixed size hint, showing exactly the pixels the headless
// platform draws for the same frame; closed and opened again.
#include <gtest/gtest.h>
// After gtest: Xlib defines macros (None, Bool) that gtest's own names would meet.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <cairo.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/x11/scene.h"
#include "tests/x11/x11_test_util.h"

using namespace VSTGUI;
using namespace x11_test;

namespace {

/// The headless drawing of the scene, as 0xRRGGBB pixels.
std::vector<std::uint32_t> referencePixels() {
  const std::string path = ::testing::TempDir() + "x11_reference.png";
  const std::string command = std::string(ZYNKA_X11_REFERENCE) + " '" + path + "'";
  if (std::system(command.c_str()) != 0) return {};
  cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
  std::vector<std::uint32_t> out;
  if (cairo_surface_status(png) == CAIRO_STATUS_SUCCESS) {
    const int w = cairo_image_surface_get_width(png), h = cairo_image_surface_get_height(png);
    const unsigned char* data = cairo_image_surface_get_data(png);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        out.push_back(reinterpret_cast<const std::uint32_t*>(data + y * cairo_image_surface_get_stride(png))[x] &
                      0xFFFFFFu);
  }
  cairo_surface_destroy(png);
  return out;
}

int differences(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

}  // namespace

TEST(X11Frame, ChildWindowShowsTheHeadlessPixelsAndOpensAgain) {
  const std::vector<std::uint32_t> reference = referencePixels();
  ASSERT_EQ(reference.size(), 856u * 392u) << "the headless reference program ran";
  Host host;
  ASSERT_NE(host.display(), nullptr);

  for (int round = 0; round < 2; ++round) {
    Scene scene = buildScene(host.parentHandle(), nullptr, nullptr);
    ASSERT_NE(scene.frame->getPlatformWindow(), nullptr);
    const Window child = host.childWindow();
    ASSERT_NE(child, 0u) << "a child window of the host's window";

    XWindowAttributes attributes{};
    XGetWindowAttributes(host.display(), child, &attributes);
    EXPECT_EQ(attributes.width, 856);
    EXPECT_EQ(attributes.height, 392);
    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(host.display(), child, &hints, &supplied));
    EXPECT_TRUE((hints.flags & PMinSize) && (hints.flags & PMaxSize));
    EXPECT_EQ(hints.min_width, 856);
    EXPECT_EQ(hints.max_width, 856);
    EXPECT_EQ(hints.min_height, 392);
    EXPECT_EQ(hints.max_height, 392);

    std::vector<std::uint32_t> shown;
    idleUntil(scene.frame, [&] {
      shown = host.pixels(child, 856, 392);
      return differences(shown, reference) == 0;
    });
    EXPECT_EQ(differences(shown, reference), 0) << "round " << round;

    scene.frame->forget();
    XSync(host.display(), False);
    EXPECT_EQ(host.childWindow(), 0u) << "closing the frame took its window away";
  }
}

TEST(X11Frame, WithoutADisplayThereIsNoWindowAndNothingBreaks) {
  Host host;  // a real parent id, on the test's display
  ASSERT_NE(host.display(), nullptr);
  const std::string saved = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  unsetenv("DISPLAY");
  Scene scene = buildScene(host.parentHandle(), nullptr, nullptr);
  EXPECT_EQ(scene.frame->getPlatformWindow(), nullptr);
  scene.frame->idle();
  scene.frame->invalid();
  CPoint where;
  EXPECT_FALSE(scene.frame->getCurrentMouseLocation(where));
  scene.frame->forget();
  setenv("DISPLAY", saved.c_str(), 1);

  // A parent the server does not know: the request fails on our connection only.
  Scene orphan = buildScene(reinterpret_cast<void*>(0x3fffff1), nullptr, nullptr);
  EXPECT_EQ(orphan.frame->getPlatformWindow(), nullptr);
  orphan.frame->forget();
}
