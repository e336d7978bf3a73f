// zynka-lv2-ttl: writes the Turtle files of the LV2 bundle (manifest.ttl, zynka.ttl,
// presets.ttl) from the one parameter table and the factory programs, at build time.
//
//   zynka-lv2-ttl OUT_DIR VERSION      (VERSION: major.minor.micro, the project's)
#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/config.h"
#include "engine/factory_presets.h"
#include "engine/parameters.h"
#include "lv2/bundle.h"

namespace {

using namespace zynka;
using namespace zynka::lv2;

constexpr const char* kPrefixes =
    "@prefix atom:  <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix log:   <http://lv2plug.in/ns/ext/log#> .\n"
    "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi:  <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix owl:   <http://www.w3.org/2002/07/owl#> .\n"
    "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui:    <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n"
    "@prefix xsd:   <http://www.w3.org/2001/XMLSchema#> .\n\n";

std::string uri(const char* text) { return std::string("<") + text + ">"; }

/// A Turtle string literal.
std::string quoted(const char* text) {
  std::string out = "\"";
  for (const char* c = text; *c; ++c) {
    if (*c == '"' || *c == '\\') out += '\\';
    out += *c;
  }
  return out + "\"";
}

/// A float as a Turtle decimal that reads back as the same float: the shortest such digits,
/// always with a point, never in the locale's form.
std::string decimal(float value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  std::string text(buffer, result.ptr);
  if (text.find('.') == std::string::npos) text += ".0";
  return text;
}

std::string presetUri(int program) {
  char number[16];  // room for any int, which the compiler cannot rule out
  std::snprintf(number, sizeof number, "%02d", program + 1);
  return uri((std::string(kPresetUriPrefix) + number).c_str());
}

std::string manifest() {
  std::ostringstream out;
  out << kPrefixes;
  out << uri(kPluginUri) << "\n    a lv2:Plugin ;\n    lv2:binary <" << kDspBinary
      << "> ;\n    rdfs:seeAlso <zynka.ttl> .\n\n";
  out << uri(kUiUri) << "\n    a ui:X11UI ;\n    ui:binary <" << kUiBinary << "> ;\n    rdfs:seeAlso <zynka.ttl> .\n";
  for (int p = 0; p < kNumFactoryPresets; ++p)
    out << "\n"
        << presetUri(p) << "\n    a pset:Preset ;\n    lv2:appliesTo " << uri(kPluginUri)
        << " ;\n    rdfs:seeAlso <presets.ttl> .\n";
  return out.str();
}

void port(std::ostringstream& out, bool first, const char* types, int index, const char* symbol, const char* name,
          const std::string& more) {
  out << (first ? "    lv2:port [\n" : " , [\n") << "        a " << types << " ;\n        lv2:index " << index
      << " ;\n        lv2:symbol \"" << symbol << "\" ;\n        lv2:name " << quoted(name) << " ;\n"
      << more << "    ]";
}

std::string description(int minor, int micro) {
  std::ostringstream out;
  out << kPrefixes;
  out << uri(kProjectUri) << "\n    a doap:Project ;\n    doap:name \"ZYNKA\" ;\n"
      << "    doap:maintainer [\n        a foaf:Person ;\n        foaf:name \"" << kVendorName << "\"\n    ] .\n\n";

  out << uri(kPluginUri) << "\n    a lv2:Plugin , lv2:InstrumentPlugin ;\n"
      << "    lv2:project " << uri(kProjectUri) << " ;\n"
      << "    doap:name \"" << kEffectName << "\" ;\n"
      << "    lv2:minorVersion " << minor << " ;\n    lv2:microVersion " << micro << " ;\n"
      << "    lv2:requiredFeature urid:map ;\n"
      << "    lv2:optionalFeature lv2:hardRTCapable , log:log ;\n"
      << "    lv2:extensionData state:interface ;\n"
      << "    ui:ui " << uri(kUiUri) << " ;\n";
  // The 17 parameters start at the first factory program's values, as the plug-in does.
  for (int i = 0; i < kNumParams; ++i) {
    const std::string range = "        lv2:default " + decimal(kFactoryPresets[0].values[i]) +
                              " ;\n        lv2:minimum 0.0 ;\n        lv2:maximum 1.0 ;\n";
    port(out, i == 0, "lv2:InputPort , lv2:ControlPort", kFirstParameterPort + i, parameterSymbol(i).data(),
         kParameters[i].name, range);
  }
  port(out, false, "lv2:InputPort , atom:AtomPort", kMidiInPort, kMidiInSymbol, "MIDI In",
       "        atom:bufferType atom:Sequence ;\n        atom:supports midi:MidiEvent ;\n"
       "        lv2:designation lv2:control ;\n");
  port(out, false, "lv2:OutputPort , lv2:AudioPort", kLeftOutPort, kLeftOutSymbol, "Left", "");
  port(out, false, "lv2:OutputPort , lv2:AudioPort", kRightOutPort, kRightOutSymbol, "Right", "");
  port(out, false, "lv2:OutputPort , lv2:ControlPort", kVoicesPort, kVoicesSymbol, "Voices",
       "        lv2:portProperty lv2:integer ;\n        lv2:default 0 ;\n        lv2:minimum 0 ;\n"
       "        lv2:maximum " +
           std::to_string(kNumVoices) + " ;\n");
  out << " .\n\n";

  // The key under which a preset carries its program's name (restoring it names the program).
  out << uri(kProgramNameKeyUri) << "\n    a rdf:Property , owl:DatatypeProperty ;\n"
      << "    rdfs:label \"program name\" ;\n    rdfs:comment \"The name the current program takes.\" ;\n"
      << "    rdfs:range xsd:string .\n\n";

  out << uri(kUiUri) << "\n    a ui:X11UI ;\n"
      << "    lv2:requiredFeature ui:parent , ui:idleInterface ;\n"
      << "    lv2:optionalFeature ui:resize , ui:touch , ui:noUserResize , ui:fixedSize ,\n"
      << "        <http://lv2plug.in/ns/ext/instance-access> ;\n"
      << "    lv2:extensionData ui:idleInterface ;\n"
      << "    ui:portNotification [\n        ui:plugin " << uri(kPluginUri) << " ;\n        lv2:symbol \""
      << kVoicesSymbol << "\" ;\n        ui:protocol ui:floatProtocol\n    ] .\n";
  return out.str();
}

std::string presets() {
  std::ostringstream out;
  out << kPrefixes;
  for (int p = 0; p < kNumFactoryPresets; ++p) {
    const FactoryPreset& preset = kFactoryPresets[p];
    out << presetUri(p) << "\n    a pset:Preset ;\n    lv2:appliesTo " << uri(kPluginUri) << " ;\n"
        << "    rdfs:label " << quoted(preset.name) << " ;\n";
    for (int i = 0; i < kNumParams; ++i)
      out << (i == 0 ? "    lv2:port [\n" : " , [\n") << "        lv2:symbol \"" << parameterSymbol(i).data()
          << "\" ;\n        pset:value " << decimal(preset.values[i]) << "\n    ]";
    out << " ;\n    state:state [\n        " << uri(kProgramNameKeyUri) << " " << quoted(preset.name)
        << "\n    ] .\n\n";
  }
  return out.str();
}

bool writeFile(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  file << text;
  file.close();
  if (!file) std::fprintf(stderr, "zynka-lv2-ttl: cannot write %s\n", path.c_str());
  return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
  int major = 0, minor = -1, micro = -1;
  if (argc != 3 || std::sscanf(argv[2], "%d.%d.%d", &major, &minor, &micro) != 3 || minor < 0 || micro < 0) {
    std::fprintf(stderr, "usage: zynka-lv2-ttl OUT_DIR MAJOR.MINOR.MICRO\n");
    return 2;
  }
  const std::string dir = argv[1];
  return writeFile(dir + "/manifest.ttl", manifest()) && writeFile(dir + "/zynka.ttl", description(minor, micro)) &&
                 writeFile(dir + "/presets.ttl", presets())
             ? 0
             : 1;
}
