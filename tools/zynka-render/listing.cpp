#include "tools/zynka-render/listing.h"

#include <algorithm>
#include <cstdio>

#include "tools/zynka-render/listing_json.h"
#include "tools/zynka-render/messages.h"
#include "tools/zynka-render/program_file.h"
#include "tools/zynka-render/text.h"

namespace zrender {
namespace {

/// The program names, leaving the current program as it was.
std::vector<std::string> programNames(Session& session) {
  AEffect* effect = session.effect();
  std::vector<std::string> programs;
  bool changedProgram = false;
  const VstIntPtr current = session.host().dispatch(effect, effGetProgram);
  for (int i = 0; i < effect->numPrograms; ++i) programs.push_back(session.programName(i, changedProgram));
  if (changedProgram) session.host().dispatch(effect, effSetProgram, 0, current);
  return programs;
}

std::vector<Listing::Parameter> parameters(Session& session) {
  AEffect* effect = session.effect();
  std::vector<Listing::Parameter> params;
  for (int i = 0; i < effect->numParams; ++i) {
    const float value = effect->getParameter != nullptr ? effect->getParameter(effect, i) : 0.0f;
    params.push_back({session.parameterName(i), session.parameterDisplay(i), value});
  }
  return params;
}

/// A list index right-aligned in five columns.
std::string indexColumn(std::size_t index) {
  const std::string digits = std::to_string(index);
  return std::string(5 - std::min<std::size_t>(5, digits.size()), ' ') + digits;
}

}  // namespace

bool describePlugin(Session& session, const Options& options, Listing& listing, std::string& error) {
  AEffect* effect = session.effect();
  listing.name = session.text(effGetEffectName, 0);
  listing.vendor = session.text(effGetVendorString, 0);
  listing.product = session.text(effGetProductString, 0);
  if (!applyProgramFile(session.host(), effect, options, error)) return false;
  listing.programs = programNames(session);
  if (!session.selectProgram(options.program, error) || !session.setParameters(options.overrides, error))
    return false;
  listing.currentProgram = session.host().dispatch(effect, effGetProgram);
  listing.parameters = parameters(session);
  listing.outputs = effect->numOutputs;
  listing.inputs = effect->numInputs;
  listing.doublePrecision = (effect->flags & effFlagsCanDoubleReplacing) != 0;
  return true;
}

std::string listingText(const Listing& listing, const std::string& plugin) {
  std::string out = "Plug-in: " + (listing.name.empty() ? plugin : listing.name);
  if (!listing.vendor.empty() || !listing.product.empty())
    out += " (" + listing.vendor + (listing.vendor.empty() ? "" : " ") + listing.product + ")";
  out += "\nOutputs: " + std::to_string(listing.outputs) + ", inputs: " + std::to_string(listing.inputs) +
         ", double precision: " + (listing.doublePrecision ? "yes" : "no") + "\n";
  out += "Programs: " + std::to_string(listing.programs.size()) + " (current " +
         std::to_string(listing.currentProgram) + ")\n";
  for (std::size_t i = 0; i < listing.programs.size(); ++i)
    out += indexColumn(i) + "  " + listing.programs[i] + "\n";

  std::size_t width = 4;
  for (const Listing::Parameter& p : listing.parameters) width = std::max(width, p.name.size());
  out += "Parameters: " + std::to_string(listing.parameters.size()) + "\n";
  for (std::size_t i = 0; i < listing.parameters.size(); ++i) {
    const Listing::Parameter& p = listing.parameters[i];
    const std::string value = shortest(p.value);
    out += indexColumn(i) + "  " + p.name + std::string(width - p.name.size(), ' ') + "  " + value +
           std::string(value.size() < 10 ? 10 - value.size() : 1, ' ') + p.display + "\n";
  }
  return out;
}

int listPlugin(const Options& options) {
  std::string error;
  Session session;
  Listing listing;
  if (!session.open(options.plugin, options.sampleRate, options.blockSize, error) ||
      !describePlugin(session, options, listing, error)) {
    report(error);
    return kExitFailure;
  }
  const std::string out = options.json ? listingJson(listing) : listingText(listing, options.plugin);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return kExitOk;
}

}  // namespace zrender
