// The parameter names, labels and value texts the host shows, from the parameter table.
#include "engine/parameters.h"
#include "engine/plugin.h"

namespace zynka {

void Plugin::getParameterName(VstInt32 index, char* text) {
  if (index < 0 || index >= kNumParams || !text) return;
  vst_strncpy(text, kParameters[index].name, kVstMaxParamStrLen);
}

void Plugin::getParameterLabel(VstInt32 index, char* label) {
  // Every index gets a label, the empty one where there is no parameter.
  vst_strncpy(label, index >= 0 && index < kNumParams ? kParameters[index].label : "", kVstMaxParamStrLen);
}

void Plugin::getParameterDisplay(VstInt32 index, char* text) {
  if (index < 0 || index >= kNumParams) return;
  formatParameterDisplay(index, current().parameter(index), text);
}

}  // namespace zynka
