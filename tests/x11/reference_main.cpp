// Draws the X11 tests' scene on the headless platform and writes it as a PNG:
//   x11_reference OUT.png
#include <cstdio>

#include "tests/x11/scene.h"
#include "toolkit/platform/headless/headless.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: x11_reference OUT.png\n");
    return 2;
  }
  x11_test::Scene scene = x11_test::buildScene(reinterpret_cast<void*>(0x1000), nullptr, nullptr);
  VSTGUI::Platform::Window* window = scene.frame->getPlatformWindow();
  scene.frame->idle();
  VSTGUI::Headless::paint(window, VSTGUI::CRect(0, 0, 856, 392));
  const bool saved = VSTGUI::Headless::savePng(window, argv[1]);
  scene.frame->forget();
  return saved ? 0 : 1;
}
