// The plug-in as its library delivers it: the Plugin with this editor. The entry
// function (host/entry.cpp) calls this factory.
#include <new>

#include "editor/editor.h"
#include "engine/plugin.h"

/// The one effect object of this library.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
  return new (std::nothrow) zynka::Plugin(audioMaster, zynka::createEditor);
}
