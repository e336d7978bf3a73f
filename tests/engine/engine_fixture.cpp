#include "engine_fixture.h"

#include <cstring>
#include <new>

namespace zynka {

namespace test {

namespace {

/// The editor factory of the plug-ins the tests make.
EditorParts makeFakeEditor(Plugin* /*plugin*/) {
  if (nextEditorFails) throw std::bad_alloc();
  if (!giveNextPluginAnEditor) return {};
  auto* editor = new FakeEditor;
  lastFakeEditor = editor;
  return {editor, editor};
}

}  // namespace

bool giveNextPluginAnEditor = false;
bool nextEditorFails = false;
FakeEditor* lastFakeEditor = nullptr;

std::vector<HostCallRecord>& hostCalls() {
  static std::vector<HostCallRecord> calls;
  return calls;
}

VstIntPtr recordingHost(AEffect* /*effect*/, VstInt32 opcode, VstInt32 index, VstIntPtr /*value*/, void* /*ptr*/,
                        float opt) {
  hostCalls().push_back({opcode, index, opt});
  return opcode == audioMasterVersion ? 2400 : 0;
}

std::unique_ptr<Plugin> makePlugin(float sampleRate) {
  auto plugin = std::make_unique<Plugin>(recordingHost, makeFakeEditor);
  plugin->setSampleRate(sampleRate);
  plugin->setBlockSize(512);
  plugin->resume();
  return plugin;
}

MidiList& MidiList::add(int offset, unsigned char status, unsigned char data1, unsigned char data2) {
  VstMidiEvent event{};
  event.type = kVstMidiType;
  event.byteSize = sizeof(VstMidiEvent);
  event.deltaFrames = offset;
  event.midiData[0] = static_cast<char>(status);
  event.midiData[1] = static_cast<char>(data1);
  event.midiData[2] = static_cast<char>(data2);
  midi.push_back(event);
  return *this;
}

VstEvents* MidiList::events() {
  storage.assign(sizeof(VstEvents) + midi.size() * sizeof(VstEvent*), 0);
  auto* list = reinterpret_cast<VstEvents*>(storage.data());
  list->numEvents = static_cast<VstInt32>(midi.size());
  for (std::size_t i = 0; i < midi.size(); ++i) list->events[i] = reinterpret_cast<VstEvent*>(&midi[i]);
  return list;
}

std::vector<double> renderDouble(Plugin& plugin, int frames) {
  std::vector<double> left(frames, -1.0), right(frames, -2.0);
  double* outputs[2] = {left.data(), right.data()};
  plugin.processDoubleReplacing(nullptr, outputs, frames);
  EXPECT_EQ(left, right);
  return left;
}

std::vector<float> renderFloat(Plugin& plugin, int frames) {
  std::vector<float> left(frames, -1.0f), right(frames, -2.0f);
  float* outputs[2] = {left.data(), right.data()};
  plugin.processReplacing(nullptr, outputs, frames);
  EXPECT_EQ(left, right);
  return left;
}

}  // namespace test
}  // namespace zynka
