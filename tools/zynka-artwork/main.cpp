// zynka-artwork: draws the editor's nine pictures, or composes a preview of them.
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/zynka-artwork/artwork.h"

namespace {

int usage(FILE* to) {
  std::fputs(
      "usage: zynka-artwork OUTPUT-FOLDER\n"
      "         writes the editor's nine PNG pictures into the folder\n"
      "       zynka-artwork --preview FOLDER OUT.png [--value-boxes]\n"
      "         composes the editor from the pictures in FOLDER\n"
      "       zynka-artwork --closeup FOLDER OUT.png\n"
      "         enlarges knob frames, fader and display buttons on the panel\n",
      to);
  return to == stdout ? 0 : 2;
}

struct Picture {
  const char* file;
  int width, height;
  std::function<std::unique_ptr<zart::Canvas>()> draw;
};

int writeAll(const std::string& folder) {
  using namespace zart;
  const std::vector<Picture> pictures{
      {"background.png", kWindowWidth, kWindowHeight, drawBackground},
      {"splashscreen.png", kWindowWidth, kWindowHeight, drawSplash},
      {"knob.png", kKnobSize, kKnobSize * kKnobFrames, drawKnobStrip},
      {"next.png", kButtonSize, 2 * kButtonSize, [] { return drawArrowButton(true); }},
      {"prev.png", kButtonSize, 2 * kButtonSize, [] { return drawArrowButton(false); }},
      {"menuinactive.png", kButtonSize, kButtonSize, [] { return drawMenuButton(false); }},
      {"menuactive.png", kButtonSize, kButtonSize, [] { return drawMenuButton(true); }},
      {"sliderhandle.png", kSliderWidth, kHandleHeight, drawSliderHandle},
      {"sliderback.png", kSliderWidth, kSliderHeight, drawSliderBack},
  };
  for (const Picture& p : pictures) {
    const std::unique_ptr<Canvas> canvas = p.draw();
    const std::string path = folder + "/" + p.file;
    // A wrong size would put the editor's controls off their pictures.
    if (canvas->width() != p.width || canvas->height() != p.height) {
      std::fprintf(stderr, "zynka-artwork: %s came out %d x %d, not %d x %d\n", p.file,
                   canvas->width(), canvas->height(), p.width, p.height);
      return 1;
    }
    if (!canvas->writePng(path)) {
      std::fprintf(stderr, "zynka-artwork: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) return usage(stdout);
  if (args.size() == 1 && !args[0].starts_with("-")) return writeAll(args[0]);
  if ((args.size() == 3 || args.size() == 4) && args[0] == "--preview") {
    const bool boxes = args.size() == 4 && args[3] == "--value-boxes";
    if (args.size() == 4 && !boxes) return usage(stderr);
    return zart::writePreview(args[1], args[2], boxes) ? 0 : 1;
  }
  if (args.size() == 3 && args[0] == "--closeup")
    return zart::writeCloseup(args[1], args[2]) ? 0 : 1;
  return usage(stderr);
}
