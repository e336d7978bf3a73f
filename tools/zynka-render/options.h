// zynka-render's command line: what it asks for, and its help text.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tools/zynka-render/wav.h"

namespace zrender {

/// What the command line asks for.
struct Options {
  std::string plugin;
  std::string midi;
  std::string output;
  bool help = false;
  bool list = false;
  bool json = false;
  bool useDouble = false;
  bool quiet = false;
  int program = -1;  // -1: leave the plug-in's current program
  std::string presetFile;  // --preset: a ZYNKA preset file for that program
  std::string bankFile;    // --bank: a ZYNKA bank file for all programs
  std::vector<std::pair<std::string, float>> overrides;  // parameter name, normalised value
  int sampleRate = 44100;
  int blockSize = 512;
  SampleFormat format = SampleFormat::Float32;
  double tailSeconds = 10.0;
};

/// The help text printed by --help.
const char* usageText();

/// Reads the arguments (without the program name); false and a one-line error if they are wrong.
bool parseArguments(const std::vector<std::string>& args, Options& options, std::string& error);

}  // namespace zrender
