// Shared helpers for the engine tests: a Plugin built as a host would build it,
// with a recording host callback and a scriptable stand-in editor.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/plugin.h"

namespace zynka::test {

struct HostCallRecord {
  VstInt32 opcode;
  VstInt32 index;
  float opt;
};

/// Every host call the plug-ins made, in order (tests run on one thread).
std::vector<HostCallRecord>& hostCalls();
VstIntPtr recordingHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

/// The editor the next Plugin gets (null: none). It records what the plug-in asks of it.
struct FakeEditor : AEffEditor, EditorLink {
  std::vector<std::pair<int, float>> parameterCalls;
  std::vector<std::string> fileCalls;
  std::string programNameText = "Renamed";
  void setParameter(int index, float value) override { parameterCalls.emplace_back(index, value); }
  bool getProgramNameText(char* text) override {
    vst_strncpy(text, programNameText.c_str(), 24);
    return true;
  }
  bool savePreset(int program) override { return file("savePreset " + std::to_string(program)); }
  bool loadPreset(int program) override { return file("loadPreset " + std::to_string(program)); }
  bool saveBank() override { return file("saveBank"); }
  bool loadBank() override { return file("loadBank"); }
  bool file(std::string call) {
    fileCalls.push_back(std::move(call));
    return true;
  }

  // What the dispatcher hands the editor.
  ERect rect{0, 0, 392, 856};
  std::vector<std::string> windowCalls;
  VstKeyCode lastKey{};
  VstInt32 knobMode = -1;
  bool getRect(ERect** out) override {
    *out = &rect;
    return true;
  }
  bool open(void* ptr) override {
    windowCalls.push_back("open");
    return AEffEditor::open(ptr);
  }
  void close() override { windowCalls.push_back("close"); }
  void idle() override { windowCalls.push_back("idle"); }
  bool onKeyDown(VstKeyCode& key) override {
    lastKey = key;
    return key.character == 'a';
  }
  bool onKeyUp(VstKeyCode& key) override {
    lastKey = key;
    return false;
  }
  bool setKnobMode(VstInt32 mode) override {
    knobMode = mode;
    return true;
  }
};
/// When set, the next Plugin constructed gets a FakeEditor, stored here (owned by the Plugin).
extern bool giveNextPluginAnEditor;
/// Making the next Plugin's editor fails as when memory runs out.
extern bool nextEditorFails;
extern FakeEditor* lastFakeEditor;

std::unique_ptr<Plugin> makePlugin(float sampleRate = 44100.0f);

/// A MIDI event list that owns its events.
class MidiList {
 public:
  MidiList& add(int offset, unsigned char status, unsigned char data1, unsigned char data2 = 0);
  MidiList& noteOn(int offset, int note, int velocity) { return add(offset, 0x90, note, velocity); }
  MidiList& noteOff(int offset, int note) { return add(offset, 0x80, note, 0); }
  MidiList& cc(int offset, int controller, int value) { return add(offset, 0xB0, controller, value); }
  VstEvents* events();

 private:
  std::vector<VstMidiEvent> midi;
  std::vector<unsigned char> storage;
};

/// Renders `frames` samples in double precision and returns the left channel (checks right == left).
std::vector<double> renderDouble(Plugin& plugin, int frames);
std::vector<float> renderFloat(Plugin& plugin, int frames);

}  // namespace zynka::test
