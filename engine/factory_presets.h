#pragma once

#include "engine/config.h"

namespace zynka {

struct FactoryPreset {
  const char* name;
  float values[kNumParams];  // in parameter-index order (kParameters)
};

extern const FactoryPreset kFactoryPresets[kNumFactoryPresets];

}  // namespace zynka
