// Construction, the program bank, parameters and the host-facing identity.
#include "engine/plugin.h"

#include <cmath>
#include <cstring>
#include <new>

#include "engine/factory_presets.h"

namespace zynka {

Plugin::Plugin(audioMasterCallback audioMaster) : AudioEffectX(audioMaster, kNumPrograms, kNumParams) {
  setNumInputs(0);
  setNumOutputs(2);
  setUniqueID(kUniqueId);
  canProcessReplacing();
  isSynth();
  canDoubleReplacing();

  programs = new ProgramRecord[kNumPrograms];
  for (int p = 0; p < kNumFactoryPresets; ++p) {
    float slots[kNumParams];
    for (int i = 0; i < kNumParams; ++i) slots[kRecordSlot[i]] = kFactoryPresets[p].values[i];
    setProgramRecord(p, kFactoryPresets[p].name, slots);
  }

  curProgram = 0;
  resetEngine();
  updateCoefficients();
  updateDisplay();

  EditorParts parts = createEditor(this);
  editorLink = parts.link;
  setEditor(parts.editor);
}

Plugin::~Plugin() {
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
  if (index >= 0 && index < kNumParams) {
    programs[curProgram].setParameter(index, value);
  } else if (index == kTagProgramName) {
    if (editorLink) {
      char text[kProgramNameLength + 1] = {};
      editorLink->getProgramNameText(text);
      text[kProgramNameLength] = 0;
      programs[curProgram].setName(text);
      updateDisplay();
    }
  } else if (index == kTagNextProgram) {
    if (value != 0.0f) nextProgram();  // a NaN counts as not equal
  } else if (index == kTagPrevProgram) {
    if (value != 0.0f) previousProgram();
  } else if (index == kTagProgramMenu) {
    // The menu position truncated toward zero. Beyond the int range a value still names
    // a program out of range (and so wraps); a NaN names nothing.
    constexpr float kFar = 1.0e9f;
    const bool isPosition = !std::isnan(value);
    const int command = !isPosition ? -1 : value >= kFar ? 1000000000 : value <= -kFar ? -1000000000
                                                                                       : static_cast<int>(value);
    if (isPosition) switch (command) {
      case 0:
        if (editorLink) editorLink->savePreset(curProgram);
        break;
      case 1:
        if (editorLink) {
          editorLink->loadPreset(curProgram);
          setProgram(curProgram);
        }
        break;
      case 2:
        if (editorLink) editorLink->saveBank();
        break;
      case 3:
        if (editorLink) {
          editorLink->loadBank();
          setProgram(0);
        }
        break;
      default:
        setProgram(command - 5);
        break;
    }
  }

  updateCoefficients();
  if (editorLink)
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

}  // namespace zynka

/// Called by the entry function: the one effect object of this library.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
  return new (std::nothrow) zynka::Plugin(audioMaster);
}
