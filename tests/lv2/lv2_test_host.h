// A small LV2 host for the tests, on lilv (Debian's liblilv): it finds zynka.lv2 by
// LV2_PATH as a host does, maps URIDs, keeps what the plug-in logs, and runs an instance
// with its ports connected to buffers of its own.
#pragma once

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/log/log.h>
#include <lv2/midi/midi.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "lv2/bundle.h"

namespace lv2_test {

/// URIDs and the log, the features every instance gets.
class Features {
 public:
  Features() {
    map_ = {this, [](LV2_URID_Map_Handle h, const char* uri) { return static_cast<Features*>(h)->map(uri); }};
    unmap_ = {this, [](LV2_URID_Unmap_Handle h, LV2_URID urid) { return static_cast<Features*>(h)->unmap(urid); }};
    log_ = {this, &Features::logPrintf, &Features::logVprintf};
    features_[0] = {LV2_URID__map, &map_};
    features_[1] = {LV2_URID__unmap, &unmap_};
    features_[2] = {LV2_LOG__log, &log_};
    list_ = {&features_[0], &features_[1], &features_[2], nullptr};
  }
  Features(const Features&) = delete;
  Features& operator=(const Features&) = delete;

  LV2_URID map(const char* uri) {
    auto [it, added] = ids_.try_emplace(uri, static_cast<LV2_URID>(uris_.size() + 1));
    if (added) uris_.push_back(uri);
    return it->second;
  }
  const char* unmap(LV2_URID urid) const {
    return urid >= 1 && urid <= uris_.size() ? uris_[urid - 1].c_str() : nullptr;
  }
  LV2_URID_Map* mapFeature() { return &map_; }
  LV2_URID_Unmap* unmapFeature() { return &unmap_; }
  /// With urid:map, urid:unmap and log:log; `withoutLog` leaves the log out.
  const LV2_Feature* const* list(bool withoutLog = false) {
    if (withoutLog) {
      noLog_ = {&features_[0], &features_[1], nullptr};
      return noLog_.data();
    }
    return list_.data();
  }
  /// Lines the plug-in logged, as "<type URI>: <text>".
  std::vector<std::string> logged;

 private:
  static int logVprintf(LV2_Log_Handle h, LV2_URID type, const char* format, va_list args) {
    auto* self = static_cast<Features*>(h);
    char text[1024];
    const int n = std::vsnprintf(text, sizeof text, format, args);
    const char* typeUri = self->unmap(type);
    self->logged.push_back(std::string(typeUri ? typeUri : "?") + ": " + text);
    return n;
  }
  static int logPrintf(LV2_Log_Handle h, LV2_URID type, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int n = logVprintf(h, type, format, args);
    va_end(args);
    return n;
  }

  std::map<std::string, LV2_URID> ids_;
  std::vector<std::string> uris_;
  LV2_URID_Map map_;
  LV2_URID_Unmap unmap_;
  LV2_Log_Log log_;
  LV2_Feature features_[3];
  std::vector<const LV2_Feature*> list_;
  std::vector<const LV2_Feature*> noLog_;
};

/// The lilv world with the bundles of LV2_PATH, and ZYNKA in it.
class World {
 public:
  /// Looks for plug-ins on `lv2Path` only (as LV2_PATH), plus the bundles of the LV2 vocabularies in /usr/lib/lv2.
  explicit World(const std::string& lv2Path) {
    const std::string path = lv2Path + ":/usr/lib/lv2";
    setenv("LV2_PATH", path.c_str(), 1);
    world = lilv_world_new();
    lilv_world_load_all(world);
    LilvNode* uri = lilv_new_uri(world, zynka::lv2::kPluginUri);
    plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
    lilv_node_free(uri);
  }
  ~World() { lilv_world_free(world); }
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  LilvNode* newUri(const char* text) const { return lilv_new_uri(world, text); }

  LilvWorld* world = nullptr;
  const LilvPlugin* plugin = nullptr;
};

/// One MIDI message at a frame of a block.
struct Midi {
  std::uint32_t frame;
  unsigned char bytes[3];
  std::uint32_t size = 3;
};

/// An instance with its ports connected to the buffers below.
class Instance {
 public:
  Instance(World& world, Features& features, double rate, bool withoutLog = false) : features_(features) {
    instance = lilv_plugin_instantiate(world.plugin, rate, features.list(withoutLog));
    if (!instance) return;
    for (int i = 0; i < zynka::kNumParams; ++i) {
      // The ports start at their defaults, as a host sets them.
      LilvNode* def = nullptr;
      lilv_port_get_range(world.plugin, lilv_plugin_get_port_by_index(world.plugin, i), &def, nullptr, nullptr);
      controls[i] = def ? lilv_node_as_float(def) : 0.0f;
      lilv_node_free(def);
      lilv_instance_connect_port(instance, i, &controls[i]);
    }
    lilv_instance_connect_port(instance, zynka::lv2::kMidiInPort, midiBuffer.data());
    left.resize(kMaxBlock);
    right.resize(kMaxBlock);
    lilv_instance_connect_port(instance, zynka::lv2::kLeftOutPort, left.data());
    lilv_instance_connect_port(instance, zynka::lv2::kRightOutPort, right.data());
    lilv_instance_connect_port(instance, zynka::lv2::kVoicesPort, &voices);
    lilv_instance_activate(instance);
  }
  ~Instance() {
    if (instance) {
      lilv_instance_deactivate(instance);
      lilv_instance_free(instance);
    }
  }
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  /// One block with these MIDI messages; the output stays in left and right.
  void run(std::uint32_t frames, const std::vector<Midi>& midi = {}) {
    auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(midiBuffer.data());
    sequence->atom.type = features_.map(LV2_ATOM__Sequence);
    sequence->atom.size = sizeof(LV2_Atom_Sequence_Body);
    sequence->body.unit = 0;
    sequence->body.pad = 0;
    const LV2_URID midiType = features_.map(LV2_MIDI__MidiEvent);
    for (const Midi& m : midi) {
      struct {
        LV2_Atom_Event event;
        unsigned char bytes[8];
      } event{};
      event.event.time.frames = m.frame;
      event.event.body.type = midiType;
      event.event.body.size = m.size;
      std::memcpy(event.bytes, m.bytes, m.size);
      lv2_atom_sequence_append_event(
          sequence, static_cast<uint32_t>(midiBuffer.size() * sizeof(std::uint64_t) - sizeof(LV2_Atom)), &event.event);
    }
    lilv_instance_run(instance, frames);
  }

  /// The plug-in's state text, as saved through its state interface.
  std::string savedText() {
    const auto* state =
        static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance, LV2_STATE__interface));
    if (!state) return {};
    struct Saved {
      Features* features;
      std::string text;
    } saved{&features_, {}};
    state->save(
        lilv_instance_get_handle(instance),
        [](LV2_State_Handle h, uint32_t key, const void* value, size_t size, uint32_t type, uint32_t) {
          auto* s = static_cast<Saved*>(h);
          if (key == s->features->map(zynka::lv2::kStateKeyUri) && type == s->features->map(LV2_ATOM__String))
            s->text.assign(static_cast<const char*>(value), strnlen(static_cast<const char*>(value), size));
          return LV2_STATE_SUCCESS;
        },
        &saved, 0, nullptr);
    return saved.text;
  }

  static constexpr std::uint32_t kMaxBlock = 4096;
  LilvInstance* instance = nullptr;
  float controls[zynka::kNumParams] = {};
  float voices = -1;
  std::vector<float> left, right;
  std::vector<std::uint64_t> midiBuffer = std::vector<std::uint64_t>(1024);  // 8 kB, 8-byte aligned

 private:
  Features& features_;
};

}  // namespace lv2_test
