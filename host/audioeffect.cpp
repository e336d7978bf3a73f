#include "host/audioeffect.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// The record entries: each finds the effect object in the record's `object` field.
VstIntPtr dispatchEntry(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  auto* effect = e ? static_cast<AudioEffect*>(e->object) : nullptr;
  if (!effect) return 0;
  if (opcode == effClose) {
    effect->dispatcher(opcode, index, value, ptr, opt);
    delete effect;  // the record goes with it
    return 1;
  }
  return effect->dispatcher(opcode, index, value, ptr, opt);
}

void processEntry(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames) {
  if (auto* effect = e ? static_cast<AudioEffect*>(e->object) : nullptr)
    effect->process(inputs, outputs, sampleFrames);
}

void processReplacingEntry(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames) {
  if (auto* effect = e ? static_cast<AudioEffect*>(e->object) : nullptr)
    effect->processReplacing(inputs, outputs, sampleFrames);
}

void processDoubleReplacingEntry(AEffect* e, double** inputs, double** outputs, VstInt32 sampleFrames) {
  if (auto* effect = e ? static_cast<AudioEffect*>(e->object) : nullptr)
    effect->processDoubleReplacing(inputs, outputs, sampleFrames);
}

void setParameterEntry(AEffect* e, VstInt32 index, float value) {
  if (auto* effect = e ? static_cast<AudioEffect*>(e->object) : nullptr) effect->setParameter(index, value);
}

float getParameterEntry(AEffect* e, VstInt32 index) {
  auto* effect = e ? static_cast<AudioEffect*>(e->object) : nullptr;
  return effect ? effect->getParameter(index) : 0.0f;
}

// Writes a number into text with at most maxLen characters, whatever the process locale.
void writeNumber(char* text, VstInt32 maxLen, double value, int precision) {
  if (!text || maxLen <= 0) return;
  char buffer[64];
  std::to_chars_result result;
  if (std::isfinite(value) && std::fabs(value) < 1e15)
    result = std::to_chars(buffer, buffer + sizeof buffer - 1, value, std::chars_format::fixed, precision);
  else
    result = std::to_chars(buffer, buffer + sizeof buffer - 1, value, std::chars_format::general, 3);
  *result.ptr = 0;
  vst_strncpy(text, buffer, maxLen);
}

}  // namespace

void vst_strncpy(char* dst, const char* src, int maxLength) {
  if (!dst || maxLength < 0) return;
  if (!src) {
    *dst = 0;
    return;
  }
  std::strncpy(dst, src, static_cast<std::size_t>(maxLength));
  dst[maxLength] = 0;
}

AudioEffect::AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
    : audioMaster(audioMaster), numPrograms(numPrograms), numParams(numParams) {
  std::memset(&cEffect, 0, sizeof cEffect);
  cEffect.magic = kEffectMagic;
  cEffect.dispatcher = dispatchEntry;
  cEffect.process = processEntry;
  cEffect.setParameter = setParameterEntry;
  cEffect.getParameter = getParameterEntry;
  cEffect.numPrograms = numPrograms;
  cEffect.numParams = numParams;
  cEffect.numInputs = 1;
  cEffect.numOutputs = 2;
  cEffect.flags = effFlagsCanReplacing;
  cEffect.ioRatio = 1.0f;
  cEffect.object = this;
  cEffect.uniqueID = 0x4E6F4566;  // "NoEf" until the plug-in sets its own
  cEffect.version = 1;
  cEffect.processReplacing = processReplacingEntry;
  cEffect.processDoubleReplacing = processDoubleReplacingEntry;
}

AudioEffect::~AudioEffect() { delete editor; }

void AudioEffect::setEditor(AEffEditor* newEditor) {
  if (newEditor != editor) delete editor;
  editor = newEditor;
  setFlag(effFlagsHasEditor, editor != nullptr);
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

void AudioEffect::setFlag(VstInt32 flag, bool state) {
  if (state)
    cEffect.flags |= flag;
  else
    cEffect.flags &= ~flag;
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  switch (opcode) {
    case effOpen: open(); return 0;
    case effClose: close(); return 0;
    case effSetProgram:
      // Any negative value selects the last program, however wide the host made it.
      if (value < numPrograms) setProgram(value < 0 ? -1 : static_cast<VstInt32>(value));
      return 0;
    case effGetProgram: return getProgram();
    case effSetProgramName: if (ptr) setProgramName(static_cast<char*>(ptr)); return 0;
    case effGetProgramName: if (ptr) getProgramName(static_cast<char*>(ptr)); return 0;
    case effGetParamLabel: if (ptr) getParameterLabel(index, static_cast<char*>(ptr)); return 0;
    case effGetParamDisplay: if (ptr) getParameterDisplay(index, static_cast<char*>(ptr)); return 0;
    case effGetParamName: if (ptr) getParameterName(index, static_cast<char*>(ptr)); return 0;
    case effSetSampleRate: setSampleRate(opt); return 0;
    case effSetBlockSize: setBlockSize(static_cast<VstInt32>(value)); return 0;
    case effMainsChanged:
      if (value == 0)
        suspend();
      else
        resume();
      return 0;
    case effEditGetRect:
      if (editor && ptr) return editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
      return 0;
    case effEditOpen: return editor && editor->open(ptr) ? 1 : 0;
    case effEditClose: if (editor) editor->close(); return 0;
    case effEditIdle: if (editor) editor->idle(); return 0;
    case effIdentify: return 0x4E764566;  // "NvEf"
    case effGetChunk: return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk: return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default: return 0;
  }
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
  setParameter(index, value);
  callHost(audioMasterAutomate, index, 0, nullptr, value);
}

VstInt32 AudioEffect::getMasterVersion() {
  VstInt32 version = static_cast<VstInt32>(callHost(audioMasterVersion));
  return version ? version : 1;
}

VstInt32 AudioEffect::getCurrentUniqueId() { return static_cast<VstInt32>(callHost(audioMasterCurrentId)); }
void AudioEffect::masterIdle() { callHost(audioMasterIdle); }
bool AudioEffect::isInputConnected(VstInt32 input) { return callHost(audioMasterPinConnected, input, 0) == 0; }
bool AudioEffect::isOutputConnected(VstInt32 output) { return callHost(audioMasterPinConnected, output, 1) == 0; }

void AudioEffect::dB2string(float value, char* text, VstInt32 maxLen) {
  if (value <= 0) {
    vst_strncpy(text, "-oo", maxLen);
    return;
  }
  writeNumber(text, maxLen, 20.0 * std::log10(static_cast<double>(value)), 2);
}

void AudioEffect::Hz2string(float samples, char* text, VstInt32 maxLen) {
  if (samples == 0) {
    vst_strncpy(text, "0", maxLen);
    return;
  }
  writeNumber(text, maxLen, static_cast<double>(sampleRate) / samples, 2);
}

void AudioEffect::ms2string(float samples, char* text, VstInt32 maxLen) {
  if (sampleRate == 0) {
    vst_strncpy(text, "0", maxLen);
    return;
  }
  writeNumber(text, maxLen, samples * 1000.0 / sampleRate, 2);
}

void AudioEffect::float2string(float value, char* text, VstInt32 maxLen) { writeNumber(text, maxLen, value, 3); }

void AudioEffect::int2string(VstInt32 value, char* text, VstInt32 maxLen) {
  char buffer[16];
  auto result = std::to_chars(buffer, buffer + sizeof buffer - 1, value);
  *result.ptr = 0;
  vst_strncpy(text, buffer, maxLen);
}
