#pragma once

#include "engine/config.h"
#include "engine/program.h"

namespace zynka {

struct FactoryPreset {
  const char* name;
  float values[kNumParams];  // in parameter-index order (kParameters)
};

extern const FactoryPreset kFactoryPresets[kNumFactoryPresets];

/// Factory program `index` (0 to 31) as a program record: its name, its values by record slot.
ProgramRecord factoryProgramRecord(int index);

}  // namespace zynka
