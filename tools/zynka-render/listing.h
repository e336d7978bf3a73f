// --list: what a plug-in says about itself, its programs and its parameters (after
// --program, --preset or --bank, and --set), printed as text or JSON.
#pragma once

#include <string>
#include <vector>

#include "host/aeffect.h"
#include "tools/zynka-render/options.h"
#include "tools/zynka-render/session.h"

namespace zrender {

struct Listing {
  struct Parameter {
    std::string name;
    std::string display;  // with its label
    float value;
  };
  std::string name;
  std::string vendor;
  std::string product;
  int outputs = 0;
  int inputs = 0;
  bool doublePrecision = false;
  VstIntPtr currentProgram = 0;
  std::vector<std::string> programs;
  std::vector<Parameter> parameters;
};

/// Asks the session's plug-in, after applying the options' program, program file and
/// parameter values; false and an error if one of those fails.
bool describePlugin(Session& session, const Options& options, Listing& listing, std::string& error);

/// The listing as aligned text; a plug-in without a name goes by its library's path.
std::string listingText(const Listing& listing, const std::string& plugin);

/// Runs --list: prints the listing of options.plugin; the exit status.
int listPlugin(const Options& options);

}  // namespace zrender
