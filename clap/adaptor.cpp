// The instance's life, the plug-in's host callback, the main-thread callback and the small
// extensions (ports, latency, voice info, render).
#include "clap/adaptor.h"

#include <cmath>
#include <cstring>
#include <new>

#include "editor/editor.h"
#include "engine/plugin.h"
#include "host/opcodes.h"

namespace zynka::clap_adaptor {

namespace {

/// What the plug-in hears when it asks for the host's VST version.
constexpr VstIntPtr kHostVersion = 2400;

template <typename Ext>
const Ext* hostExtension(const clap_host_t* host, const char* id) {
  return host && host->get_extension ? static_cast<const Ext*>(host->get_extension(host, id)) : nullptr;
}

void copyName(char* out, const char* text) {
  std::strncpy(out, text, CLAP_NAME_SIZE - 1);
  out[CLAP_NAME_SIZE - 1] = 0;
}

const clap_plugin_audio_ports_t kAudioPortsExtension = {
    [](const clap_plugin_t*, bool isInput) -> std::uint32_t { return isInput ? 0 : 1; },
    [](const clap_plugin_t*, std::uint32_t index, bool isInput, clap_audio_port_info_t* info) {
      if (isInput || index != 0 || !info) return false;
      // The two outputs carry the same signal, in float or double as the host gives buffers.
      info->id = 0;
      copyName(info->name, "Output");
      info->flags = CLAP_AUDIO_PORT_IS_MAIN | CLAP_AUDIO_PORT_SUPPORTS_64BITS;
      info->channel_count = 2;
      info->port_type = CLAP_PORT_STEREO;
      info->in_place_pair = CLAP_INVALID_ID;
      return true;
    },
};

const clap_plugin_note_ports_t kNotePortsExtension = {
    [](const clap_plugin_t*, bool isInput) -> std::uint32_t { return isInput ? 1 : 0; },
    [](const clap_plugin_t*, std::uint32_t index, bool isInput, clap_note_port_info_t* info) {
      if (!isInput || index != 0 || !info) return false;
      info->id = 0;
      info->supported_dialects = CLAP_NOTE_DIALECT_CLAP | CLAP_NOTE_DIALECT_MIDI;
      info->preferred_dialect = CLAP_NOTE_DIALECT_CLAP;
      copyName(info->name, "Notes");
      return true;
    },
};

const clap_plugin_latency_t kLatencyExtension = {[](const clap_plugin_t*) -> std::uint32_t { return 0; }};

const clap_plugin_voice_info_t kVoiceInfoExtension = {[](const clap_plugin_t*, clap_voice_info_t* info) {
  if (!info) return false;
  info->voice_count = kNumVoices;
  info->voice_capacity = kNumVoices;
  info->flags = 0;
  return true;
}};

// Offline rendering is the same rendering: every mode is fine, nothing needs hardware.
const clap_plugin_render_t kRenderExtension = {
    [](const clap_plugin_t*) { return false; },
    [](const clap_plugin_t*, clap_plugin_render_mode mode) {
      return mode == CLAP_RENDER_REALTIME || mode == CLAP_RENDER_OFFLINE;
    },
};

/// The plug-in as the adaptor hosts it: a parameter value from the editor goes to the adaptor.
class HostedPlugin final : public Plugin {
 public:
  HostedPlugin(audioMasterCallback callback, Adaptor& owner) : Plugin(callback, createEditor), adaptor(owner) {}
  void setParameterAutomated(VstInt32 index, float value) override {
    if (index >= 0 && index < kNumParams)
      adaptor.editorValue(index, value);
    else
      Plugin::setParameterAutomated(index, value);  // the editor's commands run at once, as in VST2
  }

 private:
  Adaptor& adaptor;
};

struct ExtensionEntry {
  const char* id;
  const void* table;
};

const ExtensionEntry kExtensions[] = {
    {CLAP_EXT_AUDIO_PORTS, &kAudioPortsExtension},
    {CLAP_EXT_NOTE_PORTS, &kNotePortsExtension},
    {CLAP_EXT_PARAMS, &kParamsExtension},
    {CLAP_EXT_STATE, &kStateExtension},
    {CLAP_EXT_PRESET_LOAD, &kPresetLoadExtension},
    {CLAP_EXT_PRESET_LOAD_COMPAT, &kPresetLoadExtension},
    {CLAP_EXT_GUI, &kGuiExtension},
#if !defined(_WIN32)
    // The X11 editor is pumped from the host's loop; on Windows the window's own timer runs it.
    {CLAP_EXT_TIMER_SUPPORT, &kTimerExtension},
    {CLAP_EXT_POSIX_FD_SUPPORT, &kFdExtension},
#endif
    {CLAP_EXT_LATENCY, &kLatencyExtension},
    {CLAP_EXT_VOICE_INFO, &kVoiceInfoExtension},
    {CLAP_EXT_RENDER, &kRenderExtension},
};

}  // namespace

int midiVelocity(double velocity) {
  if (!(velocity == velocity)) return 1;
  const double scaled = std::round(velocity * 127.0);
  return scaled < 1.0 ? 1 : scaled > 127.0 ? 127 : static_cast<int>(scaled);
}

Adaptor::Adaptor(const clap_host_t* clapHost) : host(clapHost) {
  record.desc = &kDescriptor;
  record.plugin_data = this;
  record.init = [](const clap_plugin_t* p) { return of(p)->init(); };
  record.destroy = [](const clap_plugin_t* p) { delete of(p); };
  record.activate = [](const clap_plugin_t* p, double rate, std::uint32_t, std::uint32_t maxFrames) {
    return of(p)->activate(rate, maxFrames);
  };
  record.deactivate = [](const clap_plugin_t* p) { of(p)->deactivate(); };
  record.start_processing = [](const clap_plugin_t* p) { return of(p)->startProcessing(); };
  record.stop_processing = [](const clap_plugin_t* p) { of(p)->stopProcessing(); };
  record.reset = [](const clap_plugin_t* p) { of(p)->reset(); };
  record.process = [](const clap_plugin_t* p, const clap_process_t* process) { return of(p)->process(process); };
  record.get_extension = [](const clap_plugin_t*, const char* id) -> const void* {
    if (!id) return nullptr;
    for (const ExtensionEntry& entry : kExtensions)
      if (std::strcmp(id, entry.id) == 0) return entry.table;
    return nullptr;
  };
  record.on_main_thread = [](const clap_plugin_t* p) { of(p)->onMainThread(); };
  for (std::uint32_t i = 0; i < kGroupEvents; ++i) groupList.events[i] = reinterpret_cast<VstEvent*>(&groupMidi[i]);
}

Adaptor::~Adaptor() {
  guiDestroy();
  synth.reset();
}

bool Adaptor::init() {
  if (synth) return true;
  hostParams = hostExtension<clap_host_params_t>(host, CLAP_EXT_PARAMS);
  hostTimers = hostExtension<clap_host_timer_support_t>(host, CLAP_EXT_TIMER_SUPPORT);
  hostFds = hostExtension<clap_host_posix_fd_support_t>(host, CLAP_EXT_POSIX_FD_SUPPORT);
  hostPresetLoad = hostExtension<clap_host_preset_load_t>(host, CLAP_EXT_PRESET_LOAD);
  if (!hostPresetLoad) hostPresetLoad = hostExtension<clap_host_preset_load_t>(host, CLAP_EXT_PRESET_LOAD_COMPAT);
  try {
    synth = std::make_unique<HostedPlugin>(&Adaptor::pluginCallback, *this);
  } catch (...) {
    return false;
  }
  // From now on the plug-in's calls find this adaptor; the constructor's went unanswered.
  synth->getAeffect()->user = this;
  noticedFactoryProgram = 0;  // a fresh plug-in plays factory program 0: nothing to tell the host
  return true;
}

bool Adaptor::activate(double sampleRate, std::uint32_t maxFrames) {
  if (!synth || !(sampleRate > 0) || !std::isfinite(sampleRate)) return false;
  sampleRateNow.store(static_cast<float>(sampleRate));
  blockSizeNow.store(static_cast<std::int32_t>(std::min<std::uint32_t>(maxFrames, INT32_MAX)));
  // As a VST2 host starts the plug-in: rate, block size, switched on.
  synth->dispatcher(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  synth->dispatcher(effSetBlockSize, 0, blockSizeNow.load(), nullptr, 0.0f);
  synth->dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
  for (TrackedVoice& voice : tracked) voice = TrackedVoice{};
  for (int v = 0; v < kNumVoices; ++v) tracked[v].start = synth->getEngineState().voiceStarts[v];
  active = true;
  return true;
}

void Adaptor::deactivate() {
  if (!synth || !active) return;
  active = false;
  applyPendingLoad();  // no audio thread runs now to take it
  synth->dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
}

bool Adaptor::startProcessing() {
  processing.store(true);
  return true;
}

void Adaptor::stopProcessing() {
  processing.store(false);
  // Gestures that came too late for the last block wait for a flush, which only the main
  // thread may ask for.
  if (!gestures.empty() && host && host->request_callback) host->request_callback(host);
}

void Adaptor::reset() {
  if (!synth) return;
  synth->resetEngine();
  synth->updateCoefficients();
}

void Adaptor::onMainThread() {
  if (!synth) return;
  if (valuesChangedNotice.exchange(false)) {
    synth->showParametersInEditor();
    if (hostParams && hostParams->rescan) hostParams->rescan(host, CLAP_PARAM_RESCAN_VALUES);
    noticeFactoryProgram();
  }
  if ((!gestures.empty() || missedValues.load()) && (!processing.load() || sleeping.load())) requestFlush();
  if (idleOnCallbacks.load()) guiPump();
}

VstIntPtr Adaptor::pluginCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
  if (opcode == audioMasterVersion) return kHostVersion;
  Adaptor* self = effect ? static_cast<Adaptor*>(effect->user) : nullptr;
  if (!self) return 0;  // the plug-in's constructor: nothing to tell anyone yet
  switch (opcode) {
    case audioMasterBeginEdit: self->editorGesture(Gesture::kBegin, index, 0.0f); return 1;
    case audioMasterEndEdit: self->editorGesture(Gesture::kEnd, index, 0.0f); return 1;
    case audioMasterUpdateDisplay: self->valuesChanged(); return 1;
    case audioMasterGetSampleRate: return static_cast<VstIntPtr>(self->sampleRateNow.load());
    case audioMasterGetBlockSize: return self->blockSizeNow.load();
    default: return 0;
  }
}

void Adaptor::editorGesture(Gesture::Kind kind, VstInt32 index, float value) {
  // The editor's commands (program buttons, menu, name) use tags beyond the parameters.
  if (index < 0 || index >= kNumParams) return;
  if (!gestures.push(Gesture{kind, static_cast<std::uint32_t>(index), value}) && kind == Gesture::kValue) {
    missedValue[index].store(value);  // the full ring's reader takes the latest value from here
    missedValues.fetch_or(1u << index);
  }
  if (!processing.load() || sleeping.load()) requestFlush();
}

void Adaptor::valuesChanged() {
  // From the audio thread too (a MIDI program change): only a callback may follow.
  valuesChangedNotice.store(true);
  if (host && host->request_callback) host->request_callback(host);
}

void Adaptor::requestFlush() {
  if (hostParams && hostParams->request_flush)
    hostParams->request_flush(host);
  else if (host && host->request_process)
    host->request_process(host);
}

}  // namespace zynka::clap_adaptor
