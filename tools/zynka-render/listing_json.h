// --list --json: the listing as JSON, written by hand.
#pragma once

#include <string>

#include "tools/zynka-render/listing.h"

namespace zrender {

/// The listing as one JSON object: name, vendor, product, outputs, currentProgram, programs
/// (names) and parameters (index, name, value, display).
std::string listingJson(const Listing& listing);

}  // namespace zrender
