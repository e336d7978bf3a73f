// The library's exported entry function, under its two names.
#include <new>

#include "host/audioeffect.h"

/// Defined by the plug-in: creates its one effect object.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster);

namespace {

AEffect* createEffect(audioMasterCallback audioMaster) {
  // A host that does not answer with a version gets no plug-in.
  if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  try {
    AudioEffect* effect = createEffectInstance(audioMaster);
    return effect ? effect->getAeffect() : nullptr;
  } catch (...) {  // no exception may cross into the host
    return nullptr;
  }
}

}  // namespace

#if defined(_WIN32)
#define ZYNKA_EXPORT extern "C" __declspec(dllexport)
#else
#define ZYNKA_EXPORT extern "C" __attribute__((visibility("default")))
#endif

ZYNKA_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster) { return createEffect(audioMaster); }

#if defined(_WIN32)
// The same code under the older name; "main" is an ordinary exported name in a DLL.
ZYNKA_EXPORT AEffect* VSTPluginMain_main(audioMasterCallback audioMaster) __asm__("main");
AEffect* VSTPluginMain_main(audioMasterCallback audioMaster) { return createEffect(audioMaster); }
#else
// "main" cannot be defined as an ordinary C++ function, so it gets its name from the assembler.
ZYNKA_EXPORT AEffect* VSTPluginMain_main(audioMasterCallback audioMaster) __asm__("main");
AEffect* VSTPluginMain_main(audioMasterCallback audioMaster) { return createEffect(audioMaster); }
#endif
