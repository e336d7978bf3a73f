// A plug-in session as a host holds one: the library loaded, its effect opened and
// switched on; closed and unloaded on every path out.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/aeffect.h"
#include "tools/hostkit/hostkit.h"

namespace zrender {

class Session {
 public:
  Session() = default;
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  /// Loads the library, opens its effect and switches it on at this rate and block size;
  /// false and a one-line error if it cannot.
  bool open(const std::string& plugin, int sampleRate, int blockSize, std::string& error);

  AEffect* effect() const { return effect_; }
  hostkit::Host& host() { return host_; }
  int sampleRate() const { return sampleRate_; }
  int blockSize() const { return blockSize_; }

  /// A text the plug-in writes into a host buffer, cut at the buffer's end and trimmed.
  std::string text(VstInt32 opcode, VstInt32 index, VstIntPtr value = 0);
  std::string parameterName(int index);
  /// The parameter's display text with its label ("6.25 Hz").
  std::string parameterDisplay(int index);
  /// The program's name without changing the current program when the plug-in can;
  /// changedProgram is set when it could not.
  std::string programName(int index, bool& changedProgram);

  /// Selects the program (-1 leaves the current one); false and an error if it does not exist.
  bool selectProgram(int program, std::string& error);
  /// Sets parameters by their names (the case forgiven when that leaves no doubt);
  /// false and an error at the first the plug-in does not have.
  bool setParameters(const std::vector<std::pair<std::string, float>>& values, std::string& error);

 private:
  hostkit::Host host_;
  std::unique_ptr<hostkit::PluginLibrary> library_;
  AEffect* effect_ = nullptr;
  int sampleRate_ = 0;
  int blockSize_ = 0;
};

}  // namespace zrender
