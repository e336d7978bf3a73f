// Construction, the program bank, parameters and the host-facing identity.
#include "engine/plugin.h"

#include <cmath>
#include <cstring>
#include <new>

#include "engine/factory_presets.h"

namespace zynka {

Plugin::Plugin(audioMasterCallback audioMaster, EditorFactory makeEditor)
    : AudioEffectX(audioMaster, kNumPrograms, kNumParams) {
  setNumInputs(0);
  setNumOutputs(2);
  setUniqueID(kUniqueId);
  canProcessReplacing();
  isSynth();
  canDoubleReplacing();

  programs = new ProgramRecord[kNumPrograms];
  for (int p = 0; p < kNumFactoryPresets; ++p) programs[p] = factoryProgramRecord(p);

  curProgram = 0;
  resetEngine();
  updateCoefficients();
  updateDisplay();

  // Without an editor the plug-in still plays in full; the host sees no editor flag.
  EditorParts parts;
  try {
    if (makeEditor) parts = makeEditor(this);
  } catch (...) {
    parts = {};
  }
  editorLink = parts.link;
  setEditor(parts.editor);
}

Plugin::~Plugin() {
  // The editor goes first: closing it may still report to the plug-in.
  editorLink = nullptr;
  setEditor(nullptr);
  delete[] programs;
  programs = nullptr;
}

void Plugin::setProgramRecord(int index, const char* name, const float values[kNumParams]) {
  ProgramRecord* record = getProgramRecord(index);
  if (!record) return;
  record->setName(name);
  if (values) std::memcpy(record->values, values, sizeof record->values);
}

ProgramRecord* Plugin::getProgramRecord(int index) {
  return programs && index >= 0 && index < kNumPrograms ? &programs[index] : nullptr;
}

void Plugin::setParameter(VstInt32 index, float value) {
  if (index >= 0 && index < kNumParams)
    programs[curProgram].setParameter(index, value);
  else
    runCommand(index, value);
  updateCoefficients();
  showParametersInEditor();
}

void Plugin::runCommand(VstInt32 tag, float value) {
  switch (tag) {
    case kTagProgramName: renameFromEditor(); break;
    case kTagNextProgram:
      if (value != 0.0f) nextProgram();  // 1 on release over the button, then 0; NaN counts as pressed
      break;
    case kTagPrevProgram:
      if (value != 0.0f) previousProgram();
      break;
    case kTagProgramMenu: runMenuChoice(value); break;
    default: break;  // the splash screen, and tags nobody sends
  }
}

void Plugin::renameFromEditor() {
  char text[kProgramNameLength + 1] = {};
  if (!editorLink || !editorLink->getProgramNameText(text)) return;
  text[kProgramNameLength] = 0;
  programs[curProgram].setName(text);
  updateDisplay();
}

void Plugin::runMenuChoice(float value) {
  // The menu position truncated toward zero. Beyond the int range a value still names
  // a program out of range (and so wraps); a NaN names nothing.
  if (std::isnan(value)) return;
  constexpr float kFar = 1.0e9f;
  const int position = value >= kFar ? 1000000000 : value <= -kFar ? -1000000000 : static_cast<int>(value);
  switch (position) {
    // A command whose dialog is still open when the call returns is followed up in
    // fileCommandFinished.
    case kMenuSavePreset:
      if (editorLink) editorLink->savePreset(curProgram);
      break;
    case kMenuLoadPreset:
      if (editorLink && editorLink->loadPreset(curProgram)) afterFileCommand(position);
      break;
    case kMenuSaveBank:
      if (editorLink) editorLink->saveBank();
      break;
    case kMenuLoadBank:
      if (editorLink && editorLink->loadBank()) afterFileCommand(position);
      break;
    default: setProgram(position - kMenuFirstProgram); break;
  }
}

void Plugin::afterFileCommand(int menuPosition) {
  // A cancelled or failed load selects its program too: the voices fall silent either way.
  if (menuPosition == kMenuLoadPreset) setProgram(curProgram);
  if (menuPosition == kMenuLoadBank) setProgram(0);
}

void Plugin::fileCommandFinished(int menuPosition) {
  if (menuPosition < kMenuSavePreset || menuPosition > kMenuLoadBank) return;
  afterFileCommand(menuPosition);
  // As setParameter ends after every command.
  updateCoefficients();
  showParametersInEditor();
}

void Plugin::showParametersInEditor() {
  if (!editorLink) return;
  for (int i = 0; i < kNumParams; ++i) editorLink->setParameter(i, current().parameter(i));
}

float Plugin::getParameter(VstInt32 index) {
  return index >= 0 && index < kNumParams ? current().parameter(index) : 0.0f;
}

bool Plugin::canParameterBeAutomated(VstInt32 index) { return index >= 0 && index < kNumParams; }

void Plugin::setProgram(VstInt32 program) {
  if (program > kNumPrograms - 1) program = 0;
  if (program < 0) program = kNumPrograms - 1;
  curProgram = program;
  resetEngine();
  updateCoefficients();
  updateDisplay();
}

void Plugin::nextProgram() { setProgram(curProgram + 1); }
void Plugin::previousProgram() { setProgram(curProgram - 1); }

void Plugin::setProgramName(char* name) {
  if (name) programs[curProgram].setName(name);
}

void Plugin::getProgramName(char* name) { vst_strncpy(name, current().name, kProgramNameLength); }

bool Plugin::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) {
  if (index < 0 || index >= kNumPrograms || !text) return false;
  vst_strncpy(text, programs[index].name, kProgramNameLength);
  return true;
}

void Plugin::suspend() { resetEngine(); }
void Plugin::resume() { setProgram(curProgram); }

bool Plugin::getOutputProperties(VstInt32 index, VstPinProperties* properties) {
  if (index < 0 || index >= 2 || !properties) return false;
  properties->flags = kVstPinIsActive | kVstPinIsStereo;
  return true;
}

bool Plugin::getEffectName(char* name) {
  vst_strncpy(name, kEffectName, kVstMaxEffectNameLen);
  return true;
}

bool Plugin::getVendorString(char* text) {
  vst_strncpy(text, kVendorName, kVstMaxVendorStrLen);
  return true;
}

bool Plugin::getProductString(char* text) {
  vst_strncpy(text, kProductName, kVstMaxProductStrLen);
  return true;
}

VstInt32 Plugin::getVendorVersion() { return kVendorVersion; }

VstInt32 Plugin::canDo(char* text) {
  if (!text) return -1;
  return std::strcmp(text, "receiveVstEvents") == 0 || std::strcmp(text, "receiveVstMidiEvent") == 0 ? 1 : -1;
}

int Plugin::getActiveVoiceCount() { return engine.activeVoices; }

void Plugin::silenceVoice(int index) {
  if (index < 0 || index >= kNumVoices) return;
  // Below the silence threshold it is no longer rendered; the block's end retires it.
  Voice& voice = engine.voices[index];
  voice.ampTarget = 0;
  voice.ampLevel = 0;
  voice.modTarget = 0;
  voice.modLevel = 0;
}

}  // namespace zynka
