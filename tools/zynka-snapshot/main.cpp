// zynka-snapshot: writes a PNG of ZYNKA's editor as a host shows it.
//
//   zynka-snapshot [--program N] [--set NAME=VALUE]... [--splash] [--value-box INDEX]
//                  [--menu-pressed] OUTPUT.png
#include <cairo.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/parameters.h"
#include "tools/zynka-snapshot/snapshot.h"

namespace {

using zynka::snapshot::Scene;

constexpr const char* kUsage =
    "usage: zynka-snapshot [options] OUTPUT.png\n"
    "Writes a picture of ZYNKA's editor, drawn as in a host's window.\n"
    "  --program N         select program N (0 to 98) first\n"
    "  --set NAME=VALUE    set a parameter by its name (\"Vib Rate=0.5\"); repeatable\n"
    "  --splash            with the splash screen shown\n"
    "  --value-box INDEX   with the value box of parameter INDEX (0 to 16) shown\n"
    "  --menu-pressed      with the program menu button pressed (its popup open)\n"
    "  --help              this text\n";

bool parseNumber(std::string_view text, float& value) {
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool parseInteger(std::string_view text, int low, int high, int& value) {
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size() && value >= low && value <= high;
}

bool parseSetting(std::string_view text, Scene& scene) {
  const std::size_t equals = text.rfind('=');
  if (equals == std::string_view::npos) return false;
  const std::string_view name = text.substr(0, equals);
  float value = 0.0f;
  if (!parseNumber(text.substr(equals + 1), value)) return false;
  for (const zynka::Parameter& parameter : zynka::kParameters) {
    if (name == parameter.name) {
      scene.values.emplace_back(parameter.index, value);
      return true;
    }
  }
  return false;
}

struct Option {
  const char* name;
  bool takesValue;
  std::function<bool(std::string_view, Scene&)> apply;
  const char* problem;  // what was wrong with its value
};

const Option kOptions[] = {
    {"--program", true, [](std::string_view v, Scene& s) { return parseInteger(v, 0, 98, s.program); },
     "--program wants a program number from 0 to 98"},
    {"--set", true, parseSetting, "--set wants NAME=VALUE with a parameter name such as \"Vib Rate\""},
    {"--splash", false, [](std::string_view, Scene& s) { return s.splash = true; }, ""},
    {"--value-box", true, [](std::string_view v, Scene& s) { return parseInteger(v, 0, 16, s.valueBox); },
     "--value-box wants a parameter index from 0 to 16"},
    {"--menu-pressed", false, [](std::string_view, Scene& s) { return s.menuPressed = true; }, ""},
};

int fail(const std::string& message, int status) {
  std::fprintf(stderr, "zynka-snapshot: %s\n", message.c_str());
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  Scene scene;
  std::string output;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    const Option* option = nullptr;
    for (const Option& candidate : kOptions)
      if (arg == candidate.name) option = &candidate;
    if (option) {
      if (option->takesValue && i + 1 >= argc) return fail(std::string(option->name) + " needs a value", 2);
      const std::string_view value = option->takesValue ? std::string_view(argv[++i]) : std::string_view();
      if (!option->apply(value, scene)) return fail(option->problem, 2);
    } else if (!arg.empty() && arg[0] == '-') {
      return fail("unknown option " + std::string(arg) + " (see --help)", 2);
    } else if (output.empty()) {
      output = arg;
    } else {
      return fail("one output file only (see --help)", 2);
    }
  }
  if (output.empty()) return fail("no output file given (see --help)", 2);

  std::string error;
  cairo_surface_t* pixels = zynka::snapshot::render(scene, error);
  if (!pixels) return fail(error, 1);
  const cairo_status_t status = cairo_surface_write_to_png(pixels, output.c_str());
  cairo_surface_destroy(pixels);
  if (status != CAIRO_STATUS_SUCCESS) return fail("cannot write " + output + ": " + cairo_status_to_string(status), 1);
  return 0;
}
