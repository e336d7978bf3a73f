// The X11 tests run on the display of the test run's Xvfb (tests/x11/xvfb.sh), never on
// a desktop the developer happens to have: DISPLAY is set from it before any test.
#include <gtest/gtest.h>
// After gtest: Xlib defines macros (None, Bool) that gtest's own names would meet.
#include <X11/Xlib.h>

#include <cstdlib>
#include <string>

#include "tests/x11/x11_test_util.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const std::string display = x11_test::testDisplayName();
  if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
  // Without XAUTHORITY, libXau names the default file in a buffer of its own that two threads
  // connecting at once (a test and its "hand") may both allocate, leaking one. The same file,
  // named here, spares that.
  if (!std::getenv("XAUTHORITY") && std::getenv("HOME"))
    setenv("XAUTHORITY", (std::string(std::getenv("HOME")) + "/.Xauthority").c_str(), 1);
  // The test program is the host here: its own connections look at windows that may
  // go away meanwhile, which is no reason to end the run.
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  return RUN_ALL_TESTS();
}
