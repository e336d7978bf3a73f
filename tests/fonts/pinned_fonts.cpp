// Linked into the Linux test programs that draw text: fontconfig reads the test run's
// own configuration (fonts.conf beside this file), set before main and so before
// fontconfig first looks, and inherited by the programs they start.
#include <cstdlib>

namespace {
struct PinFonts {
  PinFonts() { setenv("FONTCONFIG_FILE", ZYNKA_TEST_FONTS_CONF, 0); }
} pinFonts;
}  // namespace
