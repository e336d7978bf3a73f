// zynka_dsp.so: ZYNKA as an LV2 instrument. The host's ports and atom MIDI become the
// calls a VST2 host makes (setParameter for a changed value at the block start, one
// VstEvents list with the block's MIDI, processReplacing), so the samples are those of
// zynka.so bit for bit. The state is the one state text of engine/program_state.h.
#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/core/lv2.h>
#include <lv2/log/log.h>
#include <lv2/midi/midi.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstddef>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>

#include "editor/editor.h"
#include "engine/program_state.h"
#include "lv2/instance.h"

namespace zynka::lv2 {

static_assert(std::is_standard_layout_v<Instance> && offsetof(Instance, access) == 0,
              "the UI reads the editor access at the handle's address");
static_assert(offsetof(EventList, events) == offsetof(VstEvents, events), "an EventList is a VstEvents");

VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float opt) {
  // Null while the Plugin is being made: nothing is listening yet.
  HostSide* side = effect ? static_cast<HostSide*>(effect->user) : nullptr;
  const UiLink* link = side ? side->link.load(std::memory_order_acquire) : nullptr;
  const bool parameter = index >= 0 && index < kNumParams;
  switch (opcode) {
    case audioMasterVersion: return 2400;
    case audioMasterUpdateDisplay:
      if (side) side->programChanged.store(true, std::memory_order_release);
      return 1;
    case audioMasterAutomate:
      if (link && parameter) link->write(link->ui, index, opt);
      return 1;
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
      if (link && parameter) link->touch(link->ui, index, opcode == audioMasterBeginEdit);
      return 1;
    default: return 0;
  }
}

namespace {

Instance* instanceOf(LV2_Handle handle) { return static_cast<Instance*>(handle); }

const void* feature(const LV2_Feature* const* features, const char* uri) {
  for (; features && *features; ++features)
    if (std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
  return nullptr;
}

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features) {
  const auto* map = static_cast<const LV2_URID_Map*>(feature(features, LV2_URID__map));
  if (!map) return nullptr;  // MIDI events are told apart by their mapped type
  auto* instance = new (std::nothrow) Instance{};
  if (!instance) return nullptr;
  try {
    instance->plugin = new Plugin(hostCallback, createEditor);
  } catch (...) {
    delete instance;
    return nullptr;
  }
  instance->access = &kEditorAccess;
  instance->plugin->getAeffect()->user = &instance->side;
  // What a VST2 host does before switching the plug-in on (effSetSampleRate).
  instance->plugin->setSampleRate(static_cast<float>(rate));

  auto urid = [map](const char* uri) { return map->map(map->handle, uri); };
  instance->midiEventUrid = urid(LV2_MIDI__MidiEvent);
  instance->atomStringUrid = urid(LV2_ATOM__String);
  instance->atomLiteralUrid = urid(LV2_ATOM__Literal);
  instance->stateKeyUrid = urid(kStateKeyUri);
  instance->programNameKeyUrid = urid(kProgramNameKeyUri);
  instance->logErrorUrid = urid(LV2_LOG__Error);
  instance->log = feature(features, LV2_LOG__log);
  return instance;
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) {
  Instance& instance = *instanceOf(handle);
  if (port < static_cast<uint32_t>(kNumParams))
    instance.parameterPorts[port] = static_cast<const float*>(data);
  else if (port == kMidiInPort)
    instance.midiIn = data;
  else if (port == kLeftOutPort)
    instance.leftOut = static_cast<float*>(data);
  else if (port == kRightOutPort)
    instance.rightOut = static_cast<float*>(data);
  else if (port == kVoicesPort)
    instance.voicesOut = static_cast<float*>(data);
}

// effMainsChanged 1 and 0.
void activate(LV2_Handle handle) { instanceOf(handle)->plugin->resume(); }
void deactivate(LV2_Handle handle) { instanceOf(handle)->plugin->suspend(); }

void run(LV2_Handle handle, uint32_t sampleCount) {
  Instance& instance = *instanceOf(handle);
  Plugin& plugin = *instance.plugin;

  // A parameter whose port changed, as a host's setParameter before processReplacing.
  const bool followState = instance.portsFollowState;
  instance.portsFollowState = false;
  for (int i = 0; i < kNumParams; ++i) {
    const float* port = instance.parameterPorts[i];
    if (!port) continue;
    const float value = *port;
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    if (instance.applied[i] && bits == instance.appliedBits[i]) continue;
    instance.applied[i] = true;
    instance.appliedBits[i] = bits;
    if (!followState) plugin.setParameter(i, value);
  }

  // The block's MIDI messages as one event list with their frame offsets.
  if (const auto* sequence = static_cast<const LV2_Atom_Sequence*>(instance.midiIn)) {
    int count = 0;
    LV2_ATOM_SEQUENCE_FOREACH(sequence, event) {
      if (event->body.type != instance.midiEventUrid || event->body.size == 0 || count == kMaxEventsPerRun) continue;
      const auto* bytes = static_cast<const unsigned char*>(LV2_ATOM_BODY_CONST(&event->body));
      if (bytes[0] == 0xF0) continue;  // system exclusive: nothing the synthesizer reads
      VstMidiEvent& midi = instance.midi[count];
      midi = VstMidiEvent{};
      midi.type = kVstMidiType;
      midi.byteSize = sizeof(VstMidiEvent);
      midi.deltaFrames = static_cast<VstInt32>(event->time.frames);
      const uint32_t size = event->body.size < 3 ? event->body.size : 3;
      for (uint32_t b = 0; b < size; ++b) midi.midiData[b] = static_cast<char>(bytes[b]);
      instance.eventList.events[count] = reinterpret_cast<VstEvent*>(&midi);
      ++count;
    }
    if (count > 0) {
      instance.eventList.numEvents = count;
      plugin.processEvents(reinterpret_cast<VstEvents*>(&instance.eventList));
    }
  }

  float* outputs[2] = {instance.leftOut, instance.rightOut};
  plugin.processReplacing(nullptr, outputs, static_cast<VstInt32>(sampleCount));
  if (instance.voicesOut) *instance.voicesOut = static_cast<float>(plugin.getActiveVoiceCount());
}

void cleanup(LV2_Handle handle) {
  Instance* instance = instanceOf(handle);
  delete instance->plugin;  // and its editor
  delete instance;
}

// --- state ---------------------------------------------------------------------------

void logError(const Instance& instance, const char* text) {
  const auto* log = static_cast<const LV2_Log_Log*>(instance.log);
  if (log) log->printf(log->handle, instance.logErrorUrid, "%s\n", text);
}

/// The text of a string value (an atom:String, or an atom:Literal's characters); false for a
/// value of any other type.
bool textOf(const Instance& instance, const void* value, std::size_t size, uint32_t type, std::string_view& text) {
  const char* characters = static_cast<const char*>(value);
  if (type == instance.atomLiteralUrid) {
    if (size < sizeof(LV2_Atom_Literal_Body)) return false;
    characters += sizeof(LV2_Atom_Literal_Body);
    size -= sizeof(LV2_Atom_Literal_Body);
  } else if (type != instance.atomStringUrid) {
    return false;
  }
  // The terminating zero, when the host kept it, is not part of the text.
  text = std::string_view(characters, strnlen(characters, size));
  return true;
}

LV2_State_Status save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state, uint32_t,
                      const LV2_Feature* const*) {
  Instance& instance = *instanceOf(handle);
  try {
    const std::string text = saveState(*instance.plugin);
    return store(state, instance.stateKeyUrid, text.c_str(), text.size() + 1, instance.atomStringUrid,
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
  } catch (...) {  // no memory for the text
    return LV2_STATE_ERR_UNKNOWN;
  }
}

LV2_State_Status restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve, LV2_State_Handle state, uint32_t,
                         const LV2_Feature* const*) {
  Instance& instance = *instanceOf(handle);
  std::size_t size = 0;
  uint32_t type = 0;
  uint32_t flags = 0;

  // The whole state (a saved session or a preset saved by the host) ...
  bool wholeState = false;
  if (const void* value = retrieve(state, instance.stateKeyUrid, &size, &type, &flags)) {
    std::string_view text;
    bool loaded = false;
    try {
      loaded = textOf(instance, value, size, type, text) && loadState(*instance.plugin, text);
    } catch (...) {
    }
    if (!loaded) {
      logError(instance, "ZYNKA: the saved state is not a ZYNKA state this version can read; nothing was changed.");
      return LV2_STATE_ERR_BAD_TYPE;
    }
    wholeState = true;
  }
  // ... or a program's name (a factory preset): the current program takes it.
  if (const void* value = retrieve(state, instance.programNameKeyUrid, &size, &type, &flags)) {
    std::string_view text;
    if (textOf(instance, value, size, type, text)) {
      char name[kProgramNameLength + 1] = {};
      std::memcpy(name, text.data(), text.size() < kProgramNameLength ? text.size() : kProgramNameLength);
      instance.plugin->setProgramName(name);
    }
  }
  // A preset's values come with the ports the host sets: each is handed on at the next block,
  // whatever it was before. A whole state already holds them.
  for (bool& applied : instance.applied) applied = false;
  instance.portsFollowState = wholeState;
  return LV2_STATE_SUCCESS;
}

const LV2_State_Interface kStateInterface = {save, restore};

const void* extensionData(const char* uri) {
  if (std::strcmp(uri, LV2_STATE__interface) == 0) return &kStateInterface;
  if (std::strcmp(uri, kEditorAccessUri) == 0) return &kEditorAccess;
  return nullptr;
}

const LV2_Descriptor kDescriptor = {kPluginUri, instantiate, connectPort, activate,
                                    run,        deactivate,  cleanup,     extensionData};

}  // namespace

}  // namespace zynka::lv2

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return index == 0 ? &zynka::lv2::kDescriptor : nullptr;
}
