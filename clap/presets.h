// The factory programs as CLAP presets: their load keys, and the preset-discovery factory
// through which hosts list them without an instance.
#pragma once

#include "clap/clap_abi.h"

namespace zynka::clap_adaptor {

/// The load key of factory program `index` (0 to 31): its number, "0" to "31", kept forever.
const char* factoryPresetKey(int index);
/// The factory program a load key names, or -1.
int factoryPresetOfKey(const char* key);

extern const clap_preset_discovery_factory_t kPresetDiscoveryFactory;

}  // namespace zynka::clap_adaptor
