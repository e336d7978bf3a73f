#include "tools/zynka-render/listing_json.h"

#include "tools/zynka-render/text.h"

namespace zrender {
namespace {

/// The text as a JSON string: quoted, with quotes, backslashes and control characters escaped.
std::string jsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      static const char digits[] = "0123456789abcdef";
      out += "\\u00";
      out += digits[c >> 4];
      out += digits[c & 0xF];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

}  // namespace

std::string listingJson(const Listing& listing) {
  std::string out = "{\n  \"name\": " + jsonString(listing.name) + ",\n  \"vendor\": " + jsonString(listing.vendor) +
                    ",\n  \"product\": " + jsonString(listing.product) +
                    ",\n  \"outputs\": " + std::to_string(listing.outputs) +
                    ",\n  \"currentProgram\": " + std::to_string(listing.currentProgram) + ",\n  \"programs\": [";
  for (std::size_t i = 0; i < listing.programs.size(); ++i) out += (i ? ", " : "") + jsonString(listing.programs[i]);
  out += "],\n  \"parameters\": [";
  for (std::size_t i = 0; i < listing.parameters.size(); ++i) {
    const Listing::Parameter& p = listing.parameters[i];
    out += std::string(i ? "," : "") + "\n    {\"index\": " + std::to_string(i) + ", \"name\": " + jsonString(p.name) +
           ", \"value\": " + shortest(p.value) + ", \"display\": " + jsonString(p.display) + "}";
  }
  out += listing.parameters.empty() ? "]\n}\n" : "\n  ]\n}\n";
  return out;
}

}  // namespace zrender
