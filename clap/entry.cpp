// zynka.clap's one exported symbol, clap_entry, and the plug-in factory with its descriptor.
#include <cstring>
#include <mutex>
#include <new>

#include "clap/adaptor.h"
#include "clap/presets.h"
#include "engine/config.h"

namespace zynka::clap_adaptor {

namespace {

const char* const kFeatures[] = {CLAP_PLUGIN_FEATURE_INSTRUMENT, CLAP_PLUGIN_FEATURE_SYNTHESIZER,
                                 CLAP_PLUGIN_FEATURE_STEREO, nullptr};

// Hosts may load, init and deinit the library many times, also init twice before a deinit.
std::mutex gInitLock;
int gInitCount = 0;

bool entryInit(const char* /*pluginPath*/) {
  std::lock_guard<std::mutex> lock(gInitLock);
  ++gInitCount;  // nothing to set up: every table is static
  return true;
}

void entryDeinit() {
  std::lock_guard<std::mutex> lock(gInitLock);
  if (gInitCount > 0) --gInitCount;
}

const clap_plugin_t* createPlugin(const clap_plugin_factory_t*, const clap_host_t* host, const char* pluginId) {
  if (!host || !pluginId || std::strcmp(pluginId, kPluginId) != 0 || !clap_version_is_compatible(host->clap_version))
    return nullptr;
  // Only memory here: the host is asked nothing before init.
  auto* adaptor = new (std::nothrow) Adaptor(host);
  return adaptor ? adaptor->clapPlugin() : nullptr;
}

const clap_plugin_factory_t kPluginFactory = {
    [](const clap_plugin_factory_t*) -> std::uint32_t { return 1; },
    [](const clap_plugin_factory_t*, std::uint32_t index) { return index == 0 ? &kDescriptor : nullptr; },
    createPlugin,
};

const void* entryFactory(const char* id) {
  if (!id) return nullptr;
  if (std::strcmp(id, CLAP_PLUGIN_FACTORY_ID) == 0) return &kPluginFactory;
  if (std::strcmp(id, CLAP_PRESET_DISCOVERY_FACTORY_ID) == 0 ||
      std::strcmp(id, CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT) == 0)
    return &kPresetDiscoveryFactory;
  return nullptr;
}

}  // namespace

const clap_plugin_descriptor_t kDescriptor = {
    CLAP_VERSION, kPluginId, kEffectName, kVendorName, "", "", "", ZYNKA_VERSION, "Polyphonic FM synthesizer",
    kFeatures,
};

}  // namespace zynka::clap_adaptor

#if defined(_WIN32)
#define ZYNKA_CLAP_EXPORT __declspec(dllexport)
#else
#define ZYNKA_CLAP_EXPORT __attribute__((visibility("default")))
#endif

// A data object, not a function: the host reads the record at this symbol.
extern "C" ZYNKA_CLAP_EXPORT const clap_plugin_entry_t clap_entry = {
    CLAP_VERSION,
    zynka::clap_adaptor::entryInit,
    zynka::clap_adaptor::entryDeinit,
    zynka::clap_adaptor::entryFactory,
};
