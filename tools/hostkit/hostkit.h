// A small VST 2.x host for tools and tests: loads a plug-in library as a DAW
// does, instantiates its effect through the entry function, answers the host
// callback and records every call the plug-in makes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/aeffect.h"
#include "host/opcodes.h"

namespace hostkit {

/// A VST2 library loaded as a DAW loads it (dlopen on Linux, LoadLibraryW on Windows).
class PluginLibrary {
 public:
  /// Loads the library at path (UTF-8); null and a one-line error when it cannot be loaded.
  static std::unique_ptr<PluginLibrary> load(const std::string& path, std::string& error);
  /// Unloads the library; every effect created from it must be closed before.
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  using EntryProc = AEffect* (*)(audioMasterCallback);
  /// The entry function: "VSTPluginMain", else "main"; null if the library exports neither.
  EntryProc entry() const;
  /// Any exported symbol of the library, or null.
  void* symbol(const char* name) const;
  /// The path the library was loaded from.
  const std::string& path() const { return path_; }

 private:
  PluginLibrary(void* handle, std::string path);
  void* handle_;
  std::string path_;
};

/// One call the plug-in made into the host callback.
struct HostCall {
  VstInt32 opcode;
  VstInt32 index;
  VstIntPtr value;
  void* ptr;  // as passed; may no longer be valid when the record is read
  float opt;
  bool effectWasNull;
};

/// A recording host: answers the callback like a simple offline host and records every call.
///
/// Calls made while the entry function runs (the effect not yet known to the host) go to
/// the Host that is instantiating on that thread; later calls are routed through the
/// effect's `user` field, which the host owns. A Host must outlive the effects it created.
class Host {
 public:
  /// A host with room reserved for recorded calls, so recording does not allocate per block.
  Host();
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  VstIntPtr versionAnswer = 2400;  // what audioMasterVersion returns (0 refuses every plug-in)
  float sampleRate = 44100.0f;     // audioMasterGetSampleRate, and what start() sets
  VstInt32 blockSize = 512;        // audioMasterGetBlockSize, and what start() sets
  bool recordCalls = true;         // false stops recording (long renders)

  /// Calls the library's entry with this host's callback and checks the record; null + error.
  AEffect* instantiate(const PluginLibrary& lib, std::string& error);

  /// Every callback made by effects of this host, in order, as far as the reserved room goes.
  const std::vector<HostCall>& calls() const { return calls_; }
  /// Callbacks not recorded because the reserved room was full (recording never allocates,
  /// as the plug-in may call back from its audio thread).
  std::size_t droppedCalls() const { return droppedCalls_; }
  /// Forgets the recorded calls (keeps the reserved room).
  void clearCalls() {
    calls_.clear();
    droppedCalls_ = 0;
  }
  /// How many recorded calls have this opcode.
  std::size_t countCalls(VstInt32 opcode) const;

  /// The host callback handed to every entry function.
  static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                            void* ptr, float opt);

  /// Calls the effect's dispatcher; 0 for a null effect.
  VstIntPtr dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                     void* ptr = nullptr, float opt = 0.0f);
  /// Sets this host's sample rate and block size on the effect and switches it on.
  void start(AEffect* effect);
  /// Switches the effect off and closes it; the record is gone afterwards.
  void close(AEffect* effect);

 private:
  std::vector<HostCall> calls_;
  std::size_t droppedCalls_ = 0;
};

/// What a simple offline host answers to audioMasterCanDo for this text: 1, -1, or 0 if unknown.
VstIntPtr hostCanDo(const char* text);

}  // namespace hostkit
