// The preset-discovery factory: one provider, one location of kind "plug-in" (the programs
// live in the binary, no files), one preset per factory program. Everything it hands the host
// is static, and it needs no plug-in instance.
#include "clap/presets.h"

#include <array>
#include <cstring>
#include <new>

#include "clap/adaptor.h"
#include "engine/config.h"
#include "engine/factory_presets.h"

namespace zynka::clap_adaptor {

namespace {

using Key = std::array<char, 3>;

constexpr std::array<Key, kNumFactoryPresets> makeKeys() {
  std::array<Key, kNumFactoryPresets> keys{};
  for (int i = 0; i < kNumFactoryPresets; ++i) {
    if (i < 10) {
      keys[i] = {static_cast<char>('0' + i), 0, 0};
    } else {
      keys[i] = {static_cast<char>('0' + i / 10), static_cast<char>('0' + i % 10), 0};
    }
  }
  return keys;
}

constexpr std::array<Key, kNumFactoryPresets> kKeys = makeKeys();

const clap_preset_discovery_provider_descriptor_t kProviderDescriptor = {
    CLAP_VERSION, "com.tarnwick.zynka.factory-presets", "ZYNKA factory programs", kVendorName};

const clap_preset_discovery_location_t kFactoryLocation = {CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT, "Factory",
                                                           CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr};

const clap_universal_plugin_id_t kUniversalId = {"clap", kPluginId};

/// A provider and the indexer it was made for.
struct Provider {
  clap_preset_discovery_provider_t record;
  const clap_preset_discovery_indexer_t* indexer;
};

const clap_preset_discovery_indexer_t* indexerOf(const clap_preset_discovery_provider_t* provider) {
  return static_cast<const Provider*>(provider->provider_data)->indexer;
}

bool providerInit(const clap_preset_discovery_provider_t* provider) {
  const clap_preset_discovery_indexer_t* indexer = indexerOf(provider);
  return indexer && indexer->declare_location && indexer->declare_location(indexer, &kFactoryLocation);
}

bool providerMetadata(const clap_preset_discovery_provider_t*, std::uint32_t kind, const char* location,
                      const clap_preset_discovery_metadata_receiver_t* receiver) {
  if (kind != CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN || location || !receiver || !receiver->begin_preset) return false;
  for (int p = 0; p < kNumFactoryPresets; ++p) {
    if (!receiver->begin_preset(receiver, kFactoryPresets[p].name, kKeys[p].data())) break;
    if (receiver->add_plugin_id) receiver->add_plugin_id(receiver, &kUniversalId);
    if (receiver->set_flags) receiver->set_flags(receiver, CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT);
    if (receiver->add_creator) receiver->add_creator(receiver, kVendorName);
  }
  return true;
}

const clap_preset_discovery_provider_t* createProvider(const clap_preset_discovery_factory_t*,
                                                       const clap_preset_discovery_indexer_t* indexer,
                                                       const char* providerId) {
  if (!indexer || !providerId || std::strcmp(providerId, kProviderDescriptor.id) != 0) return nullptr;
  auto* provider = new (std::nothrow) Provider{};
  if (!provider) return nullptr;
  provider->indexer = indexer;
  provider->record.desc = &kProviderDescriptor;
  provider->record.provider_data = provider;
  provider->record.init = providerInit;
  provider->record.destroy = [](const clap_preset_discovery_provider_t* p) {
    delete static_cast<Provider*>(p->provider_data);
  };
  provider->record.get_metadata = providerMetadata;
  provider->record.get_extension = [](const clap_preset_discovery_provider_t*, const char*) -> const void* {
    return nullptr;
  };
  return &provider->record;
}

}  // namespace

const char* factoryPresetKey(int index) {
  return index >= 0 && index < kNumFactoryPresets ? kKeys[index].data() : nullptr;
}

int factoryPresetOfKey(const char* key) {
  if (!key) return -1;
  for (int p = 0; p < kNumFactoryPresets; ++p)
    if (std::strcmp(key, kKeys[p].data()) == 0) return p;
  return -1;
}

const clap_preset_discovery_factory_t kPresetDiscoveryFactory = {
    [](const clap_preset_discovery_factory_t*) -> std::uint32_t { return 1; },
    [](const clap_preset_discovery_factory_t*, std::uint32_t index) {
      return index == 0 ? &kProviderDescriptor : nullptr;
    },
    createProvider,
};

}  // namespace zynka::clap_adaptor
