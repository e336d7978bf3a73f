// The state extension (the plug-in's state text, through the host's streams in pieces of
// any size) and the preset-load extension (a factory program into the current program).
#include <cstring>
#include <string>
#include <thread>

#include "clap/adaptor.h"
#include "clap/presets.h"
#include "engine/factory_presets.h"
#include "engine/plugin.h"

namespace zynka::clap_adaptor {

namespace {

/// Writes all of `text`, however little the stream takes per call; false on an error or a
/// stream that takes nothing.
bool writeAll(const clap_ostream_t* stream, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const std::int64_t written = stream->write(stream, text.data() + done, text.size() - done);
    if (written <= 0 || static_cast<std::uint64_t>(written) > text.size() - done) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

/// Reads to the stream's end, however little it gives per call; false on an error or a
/// stream longer than any state of ours.
bool readAll(const clap_istream_t* stream, std::string& text) {
  char buffer[4096];
  for (;;) {
    const std::int64_t read = stream->read(stream, buffer, sizeof buffer);
    if (read == 0) return true;
    if (read < 0 || static_cast<std::uint64_t>(read) > sizeof buffer) return false;
    text.append(buffer, static_cast<std::size_t>(read));
    if (text.size() > kMaxStateSize) return false;
  }
}

bool sameProgram(const ProgramRecord& a, const ProgramRecord& b) {
  if (std::strcmp(a.name, b.name) != 0) return false;
  for (int slot = 0; slot < kNumParams; ++slot)
    if (!(a.values[slot] == b.values[slot])) return false;
  return true;
}

}  // namespace

bool Adaptor::saveState(const clap_ostream_t* stream) {
  if (!synth || !stream || !stream->write) return false;
  try {
    return writeAll(stream, formatState(currentState()));
  } catch (...) {  // no memory for the text
    return false;
  }
}

bool Adaptor::loadState(const clap_istream_t* stream) {
  if (!synth || !stream || !stream->read) return false;
  try {
    std::string text;
    PluginState state;
    // A stream cut short, or not a state of ours, changes nothing.
    if (!readAll(stream, text) || !readState(text, state)) return false;
    useState(state);
    return true;
  } catch (...) {
    return false;
  }
}

bool Adaptor::loadPreset(std::uint32_t kind, const char* location, const char* key) {
  const int program = kind == CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN && !location ? factoryPresetOfKey(key) : -1;
  if (!synth || program < 0) {
    if (hostPresetLoad && hostPresetLoad->on_error)
      hostPresetLoad->on_error(host, kind, location, key, 0, "ZYNKA has no preset of that key");
    return false;
  }
  // As "Load Preset..." does with a file: the current program takes it and is selected again.
  PluginState state = currentState();
  state.programs[state.currentProgram] = factoryProgramRecord(program);
  noticedFactoryProgram = program;  // the host chose it: no need to tell it back
  useState(state);
  return true;
}

PluginState Adaptor::currentState() {
  while (loadPhase.load(std::memory_order_acquire) == kTaken) std::this_thread::yield();
  if (loadPhase.load(std::memory_order_acquire) == kReady) return pendingState;  // the audio thread only reads it
  return captureState(*synth);
}

void Adaptor::useState(const PluginState& state) {
  if (!active) {
    applyState(*synth, state);
    return;
  }
  // Take back a state the audio thread has not taken yet; wait out one it is applying now
  // (a copy of a few kilobytes), then hand this one over.
  int ready = kReady;
  loadPhase.compare_exchange_strong(ready, kFree, std::memory_order_acq_rel);
  while (loadPhase.load(std::memory_order_acquire) == kTaken) std::this_thread::yield();
  pendingState = state;
  loadPhase.store(kReady, std::memory_order_release);
  if (!processing.load() || sleeping.load()) requestFlush();
}

void Adaptor::applyPendingLoad() {
  int ready = kReady;
  if (!loadPhase.compare_exchange_strong(ready, kTaken, std::memory_order_acq_rel)) return;
  applyState(*synth, pendingState);  // its program change tells the main thread (valuesChanged)
  loadPhase.store(kFree, std::memory_order_release);
}

void Adaptor::noticeFactoryProgram() {
  // The host's preset browser follows a factory program the plug-in itself selected (its
  // editor, a MIDI program change, a loaded state).
  const ProgramRecord* record = synth->getProgramRecord(synth->getProgram());
  int found = -1;
  for (int p = 0; record && p < kNumFactoryPresets && found < 0; ++p)
    if (sameProgram(*record, factoryProgramRecord(p))) found = p;
  if (found >= 0 && found != noticedFactoryProgram && hostPresetLoad && hostPresetLoad->loaded)
    hostPresetLoad->loaded(host, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr, factoryPresetKey(found));
  noticedFactoryProgram = found;
}

const clap_plugin_state_t kStateExtension = {
    [](const clap_plugin_t* plugin, const clap_ostream_t* stream) { return Adaptor::of(plugin)->saveState(stream); },
    [](const clap_plugin_t* plugin, const clap_istream_t* stream) { return Adaptor::of(plugin)->loadState(stream); },
};

const clap_plugin_preset_load_t kPresetLoadExtension = {
    [](const clap_plugin_t* plugin, std::uint32_t kind, const char* location, const char* key) {
      return Adaptor::of(plugin)->loadPreset(kind, location, key);
    },
};

}  // namespace zynka::clap_adaptor
