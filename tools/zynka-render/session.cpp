#include "tools/zynka-render/session.h"

#include <algorithm>
#include <cctype>

#include "tools/zynka-render/text.h"

namespace zrender {
namespace {

// Strings the plug-in writes land in buffers far larger than the VST limits (8 to 64
// characters), so a plug-in that overruns them does not corrupt the host's memory.
constexpr std::size_t kTextBuffer = 256;
constexpr int kMaxChannels = 64;

bool sameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

/// The index of the parameter of this name: the exact name, else the only one that differs
/// just in case; names.size() if there is none.
std::size_t findParameter(const std::vector<std::string>& names, const std::string& name) {
  auto it = std::find(names.begin(), names.end(), name);
  if (it == names.end()) {
    auto same = [&name](const std::string& n) { return sameIgnoringCase(n, name); };
    if (std::count_if(names.begin(), names.end(), same) == 1) it = std::find_if(names.begin(), names.end(), same);
  }
  return static_cast<std::size_t>(it - names.begin());
}

}  // namespace

Session::~Session() {
  if (effect_ != nullptr) host_.close(effect_);
  library_.reset();
}

bool Session::open(const std::string& plugin, int sampleRate, int blockSize, std::string& error) {
  library_ = hostkit::PluginLibrary::load(plugin, error);
  if (library_ == nullptr) return false;
  sampleRate_ = sampleRate;
  blockSize_ = blockSize;
  host_.sampleRate = static_cast<float>(sampleRate);
  host_.blockSize = blockSize;
  host_.recordCalls = false;  // a long render would only fill memory
  effect_ = host_.instantiate(*library_, error);
  if (effect_ == nullptr) return false;
  host_.dispatch(effect_, effOpen);
  if (effect_->numOutputs < 1 || effect_->numOutputs > kMaxChannels) {
    error = plugin + ": the plug-in reports " + std::to_string(effect_->numOutputs) + " audio outputs";
    return false;
  }
  if (effect_->numInputs < 0 || effect_->numInputs > kMaxChannels) {
    error = plugin + ": the plug-in reports " + std::to_string(effect_->numInputs) + " audio inputs";
    return false;
  }
  host_.start(effect_);
  return true;
}

std::string Session::text(VstInt32 opcode, VstInt32 index, VstIntPtr value) {
  char buffer[kTextBuffer] = {};
  host_.dispatch(effect_, opcode, index, value, buffer);
  buffer[kTextBuffer - 1] = '\0';
  return trim(buffer);
}

std::string Session::parameterName(int index) { return text(effGetParamName, index); }

std::string Session::parameterDisplay(int index) {
  std::string display = text(effGetParamDisplay, index);
  std::string label = text(effGetParamLabel, index);
  return label.empty() ? display : display + " " + label;
}

std::string Session::programName(int index, bool& changedProgram) {
  char buffer[kTextBuffer] = {};
  if (host_.dispatch(effect_, effGetProgramNameIndexed, index, -1, buffer) != 0) {
    buffer[kTextBuffer - 1] = '\0';
    return trim(buffer);
  }
  // Older plug-ins name only the current program.
  host_.dispatch(effect_, effSetProgram, 0, index);
  changedProgram = true;
  return text(effGetProgramName, 0);
}

bool Session::selectProgram(int program, std::string& error) {
  if (program < 0) return true;
  const int count = effect_->numPrograms;
  if (program >= count) {
    error = "program " + std::to_string(program) + " does not exist: the plug-in has " +
            (count > 0 ? std::to_string(count) + " programs (0 to " + std::to_string(count - 1) + ")"
                       : std::string("no programs"));
    return false;
  }
  host_.dispatch(effect_, effSetProgram, 0, program);
  return true;
}

bool Session::setParameters(const std::vector<std::pair<std::string, float>>& values, std::string& error) {
  if (values.empty()) return true;
  std::vector<std::string> names;
  for (int i = 0; i < effect_->numParams; ++i) names.push_back(parameterName(i));
  for (const auto& [name, value] : values) {
    const std::size_t index = findParameter(names, name);
    if (index == names.size()) {
      std::string known;
      for (const std::string& n : names) known += (known.empty() ? "" : ", ") + n;
      error = "the plug-in has no parameter named \"" + name + "\" (it has: " + known + ")";
      return false;
    }
    if (effect_->setParameter == nullptr) {
      error = "the plug-in takes no parameter values";
      return false;
    }
    effect_->setParameter(effect_, static_cast<VstInt32>(index), value);
  }
  return true;
}

}  // namespace zrender
