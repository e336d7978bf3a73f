// A host callback for tests that watch the plug-in's gestures: it answers the version
// question and writes down each begin-edit, automate and end-edit notice as a line,
// "begin 3", "automate 3 0.5", "end 3", in the order the plug-in sent them.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "host/aeffect.h"
#include "host/opcodes.h"

namespace gesture_host {

/// The notices heard so far (the tests clear it).
inline std::vector<std::string>& log() {
  static std::vector<std::string> lines;
  return lines;
}

inline VstIntPtr callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float opt) {
  char line[64];
  if (opcode == audioMasterAutomate)
    std::snprintf(line, sizeof line, "automate %d %g", index, static_cast<double>(opt));
  else if (opcode == audioMasterBeginEdit)
    std::snprintf(line, sizeof line, "begin %d", index);
  else if (opcode == audioMasterEndEdit)
    std::snprintf(line, sizeof line, "end %d", index);
  else
    return opcode == audioMasterVersion ? 2400 : 0;
  log().push_back(line);
  return 0;
}

}  // namespace gesture_host
