#include "tools/zynka-render/render.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <system_error>
#include <type_traits>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "tools/hostkit/hostkit.h"
#include "tools/zynka-render/program_file.h"
#include "tools/zynka-render/smf.h"

namespace zrender {
namespace {

constexpr const char* kTool = "zynka-render";
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Strings the plug-in writes land in buffers far larger than the VST limits (8 to 64
// characters), so a plug-in that overruns them does not corrupt the host's memory.
constexpr std::size_t kTextBuffer = 256;
constexpr std::size_t kMaxMidiFileBytes = 64u << 20;
constexpr double kMaxSongSeconds = 3600.0;
constexpr double kMaxTailSeconds = 600.0;
constexpr int kMaxChannels = 64;
// The tail ends once the output has stayed below -80 dBFS for 100 ms.
constexpr double kQuietLevel = 1e-4;
constexpr double kQuietSeconds = 0.1;

// ---------------------------------------------------------------------------
// Locale-independent numbers

bool parseInt(const std::string& text, long long& out) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && ptr == end && !text.empty();
}

bool parseDouble(const std::string& text, double& out) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  auto [ptr, ec] = std::from_chars(begin, end, out, std::chars_format::general);
  return ec == std::errc() && ptr == end && begin != end && std::isfinite(out);
}

std::string fixed(double value, int decimals) {
  char buffer[64];
  auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                 decimals);
  return ec == std::errc() ? std::string(buffer, ptr) : std::string("?");
}

std::string shortest(float value) {
  char buffer[64];
  auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return ec == std::errc() ? std::string(buffer, ptr) : std::string("?");
}

std::string trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  std::size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

/// One line on stderr, whatever line breaks a file name or argument inside it holds.
void fail(std::string message) {
  std::replace(message.begin(), message.end(), '\n', ' ');
  std::replace(message.begin(), message.end(), '\r', ' ');
  std::fprintf(stderr, "%s: %s\n", kTool, message.c_str());
}

// ---------------------------------------------------------------------------
// Arguments

bool takeValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
               std::string& inlineValue, bool hasInline, std::string& value, std::string& error) {
  if (hasInline) {
    value = inlineValue;
    return true;
  }
  if (i + 1 >= args.size()) {
    error = name + " needs a value";
    return false;
  }
  value = args[++i];
  return true;
}

bool rangedInt(const std::string& name, const std::string& text, long long lo, long long hi,
               int& out, std::string& error) {
  long long v = 0;
  if (!parseInt(text, v) || v < lo || v > hi) {
    error = name + " takes a whole number from " + std::to_string(lo) + " to " +
            std::to_string(hi) + ", not \"" + text + "\"";
    return false;
  }
  out = static_cast<int>(v);
  return true;
}

bool parseOverride(const std::string& text, Options& options, std::string& error) {
  std::size_t eq = text.find('=');
  if (eq == std::string::npos) {
    error = "--set takes NAME=VALUE, not \"" + text + "\"";
    return false;
  }
  std::string name = trim(text.substr(0, eq));
  std::string valueText = trim(text.substr(eq + 1));
  double value = 0;
  if (name.empty()) {
    error = "--set \"" + text + "\" names no parameter";
    return false;
  }
  if (!parseDouble(valueText, value)) {
    error = "--set " + name + ": \"" + valueText + "\" is not a number";
    return false;
  }
  if (value < 0.0 || value > 1.0) {
    error = "--set " + name + ": " + valueText + " is outside the parameter range 0 to 1";
    return false;
  }
  options.overrides.emplace_back(name, static_cast<float>(value));
  return true;
}

// ---------------------------------------------------------------------------
// The plug-in session: load, instantiate, start; closed and unloaded on every path.

class Session {
 public:
  ~Session() {
    if (effect_ != nullptr) host_.close(effect_);
    library_.reset();
  }

  bool open(const Options& options, std::string& error) {
    library_ = hostkit::PluginLibrary::load(options.plugin, error);
    if (library_ == nullptr) return false;
    host_.sampleRate = static_cast<float>(options.sampleRate);
    host_.blockSize = options.blockSize;
    host_.recordCalls = false;  // a long render would only fill memory
    effect_ = host_.instantiate(*library_, error);
    if (effect_ == nullptr) return false;
    host_.dispatch(effect_, effOpen);
    if (effect_->numOutputs < 1 || effect_->numOutputs > kMaxChannels) {
      error = options.plugin + ": the plug-in reports " + std::to_string(effect_->numOutputs) +
              " audio outputs";
      return false;
    }
    if (effect_->numInputs < 0 || effect_->numInputs > kMaxChannels) {
      error = options.plugin + ": the plug-in reports " + std::to_string(effect_->numInputs) +
              " audio inputs";
      return false;
    }
    host_.start(effect_);
    return true;
  }

  AEffect* effect() const { return effect_; }
  hostkit::Host& host() { return host_; }

  /// A text the plug-in writes into a host buffer, cut at the buffer's end and trimmed.
  std::string text(VstInt32 opcode, VstInt32 index, VstIntPtr value = 0) {
    char buffer[kTextBuffer] = {};
    host_.dispatch(effect_, opcode, index, value, buffer);
    buffer[kTextBuffer - 1] = '\0';
    return trim(buffer);
  }

  std::string parameterName(int index) { return text(effGetParamName, index); }

  std::string parameterDisplay(int index) {
    std::string display = text(effGetParamDisplay, index);
    std::string label = text(effGetParamLabel, index);
    return label.empty() ? display : display + " " + label;
  }

  /// The program's name without changing the current program when the plug-in can.
  std::string programName(int index, bool& changedProgram) {
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

 private:
  hostkit::Host host_;
  std::unique_ptr<hostkit::PluginLibrary> library_;
  AEffect* effect_ = nullptr;
};

bool selectProgram(Session& session, const Options& options, std::string& error) {
  if (options.program < 0) return true;
  const int count = session.effect()->numPrograms;
  if (options.program >= count) {
    error = "program " + std::to_string(options.program) + " does not exist: the plug-in has " +
            (count > 0 ? std::to_string(count) + " programs (0 to " + std::to_string(count - 1) + ")"
                       : std::string("no programs"));
    return false;
  }
  session.host().dispatch(session.effect(), effSetProgram, 0, options.program);
  return true;
}

bool applyOverrides(Session& session, const Options& options, std::string& error) {
  if (options.overrides.empty()) return true;
  AEffect* effect = session.effect();
  std::vector<std::string> names;
  for (int i = 0; i < effect->numParams; ++i) names.push_back(session.parameterName(i));
  for (const auto& [name, value] : options.overrides) {
    auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end()) {
      // Forgive the case when it leaves no doubt.
      auto same = [&name](const std::string& n) {
        return n.size() == name.size() &&
               std::equal(n.begin(), n.end(), name.begin(), [](char a, char b) {
                 return std::tolower(static_cast<unsigned char>(a)) ==
                        std::tolower(static_cast<unsigned char>(b));
               });
      };
      if (std::count_if(names.begin(), names.end(), same) == 1)
        it = std::find_if(names.begin(), names.end(), same);
    }
    if (it == names.end()) {
      std::string known;
      for (const std::string& n : names) known += (known.empty() ? "" : ", ") + n;
      error = "the plug-in has no parameter named \"" + name + "\" (it has: " + known + ")";
      return false;
    }
    if (effect->setParameter == nullptr) {
      error = "the plug-in takes no parameter values";
      return false;
    }
    effect->setParameter(effect, static_cast<VstInt32>(it - names.begin()), value);
  }
  return true;
}

// ---------------------------------------------------------------------------
// --list

std::string jsonString(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      static const char digits[] = "0123456789abcdef";
      out += "\\u00";
      out += digits[c >> 4];
      out += digits[c & 0xF];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

int listPlugin(Session& session, const Options& options) {
  AEffect* effect = session.effect();
  std::string error;
  const std::string name = session.text(effGetEffectName, 0);
  const std::string vendor = session.text(effGetVendorString, 0);
  const std::string product = session.text(effGetProductString, 0);

  if (!applyProgramFile(session.host(), effect, options, error)) {
    fail(error);
    return kExitFailure;
  }
  std::vector<std::string> programs;
  bool changedProgram = false;
  const VstIntPtr current = session.host().dispatch(effect, effGetProgram);
  for (int i = 0; i < effect->numPrograms; ++i) programs.push_back(session.programName(i, changedProgram));
  if (changedProgram) session.host().dispatch(effect, effSetProgram, 0, current);

  if (!selectProgram(session, options, error) || !applyOverrides(session, options, error)) {
    fail(error);
    return kExitFailure;
  }
  const VstIntPtr program = session.host().dispatch(effect, effGetProgram);

  struct Param {
    std::string name, display;
    float value;
  };
  std::vector<Param> params;
  std::size_t width = 4;
  for (int i = 0; i < effect->numParams; ++i) {
    float value = effect->getParameter != nullptr ? effect->getParameter(effect, i) : 0.0f;
    params.push_back({session.parameterName(i), session.parameterDisplay(i), value});
    width = std::max(width, params.back().name.size());
  }

  std::string out;
  if (options.json) {
    out += "{\n  \"name\": " + jsonString(name) + ",\n  \"vendor\": " + jsonString(vendor) +
           ",\n  \"product\": " + jsonString(product) +
           ",\n  \"outputs\": " + std::to_string(effect->numOutputs) +
           ",\n  \"currentProgram\": " + std::to_string(program) + ",\n  \"programs\": [";
    for (std::size_t i = 0; i < programs.size(); ++i)
      out += (i ? ", " : "") + jsonString(programs[i]);
    out += "],\n  \"parameters\": [";
    for (std::size_t i = 0; i < params.size(); ++i) {
      out += std::string(i ? "," : "") + "\n    {\"index\": " + std::to_string(i) +
             ", \"name\": " + jsonString(params[i].name) + ", \"value\": " +
             shortest(params[i].value) + ", \"display\": " + jsonString(params[i].display) + "}";
    }
    out += params.empty() ? "]\n}\n" : "\n  ]\n}\n";
  } else {
    out += "Plug-in: " + (name.empty() ? options.plugin : name);
    if (!vendor.empty() || !product.empty()) out += " (" + vendor + (vendor.empty() ? "" : " ") + product + ")";
    out += "\nOutputs: " + std::to_string(effect->numOutputs) + ", inputs: " +
           std::to_string(effect->numInputs) + ", double precision: " +
           ((effect->flags & effFlagsCanDoubleReplacing) ? "yes" : "no") + "\n";
    out += "Programs: " + std::to_string(programs.size()) + " (current " + std::to_string(program) + ")\n";
    for (std::size_t i = 0; i < programs.size(); ++i) {
      std::string index = std::to_string(i);
      out += std::string(5 - std::min<std::size_t>(5, index.size()), ' ') + index + "  " + programs[i] + "\n";
    }
    out += "Parameters: " + std::to_string(params.size()) + "\n";
    for (std::size_t i = 0; i < params.size(); ++i) {
      std::string index = std::to_string(i);
      std::string value = shortest(params[i].value);
      out += std::string(5 - std::min<std::size_t>(5, index.size()), ' ') + index + "  " +
             params[i].name + std::string(width - params[i].name.size(), ' ') + "  " + value +
             std::string(value.size() < 10 ? 10 - value.size() : 1, ' ') + params[i].display + "\n";
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return kExitOk;
}

// ---------------------------------------------------------------------------
// Rendering

struct ScheduledEvent {
  std::int64_t frame;
  VstMidiEvent event;
};

class Progress {
 public:
  explicit Progress(bool enabled, double sampleRate) : enabled_(enabled), rate_(sampleRate) {}
  /// Redraws the bar at most ten times a second, or now when forced.
  void update(std::int64_t frame, std::int64_t songFrames, bool force = false) {
    if (!enabled_) return;
    frame_ = frame;
    songFrames_ = songFrames;
    auto now = std::chrono::steady_clock::now();
    if (!force && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    constexpr int kWidth = 30;
    double part = songFrames > 0 ? std::min(1.0, static_cast<double>(frame) / songFrames) : 1.0;
    int filled = static_cast<int>(part * kWidth);
    std::string bar = "\r" + std::string(kTool) + ": [" + std::string(filled, '#') +
                      std::string(kWidth - filled, ' ') + "] " +
                      fixed(part * 100.0, 0) + "%  " + fixed(frame / rate_, 1) + " s";
    if (frame > songFrames) bar += " (tail)";
    bar += "   ";
    std::fputs(bar.c_str(), stderr);
  }
  /// Shows where the render ended and leaves the line.
  void done() {
    if (!enabled_) return;
    update(frame_, songFrames_, true);
    std::fputs("\n", stderr);
  }

 private:
  bool enabled_;
  double rate_;
  std::int64_t frame_ = 0;
  std::int64_t songFrames_ = 0;
  std::chrono::steady_clock::time_point last_{};
};

bool stderrIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(fileno(stderr)) != 0;
#endif
}

std::optional<MidiFile> readMidi(const std::string& path, std::string& error) {
  std::FILE* f = openFile(path, "rb");
  if (f == nullptr) {
    error = "cannot read " + path + ": " + std::generic_category().message(errno);
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[65536];
  std::size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
    bytes.insert(bytes.end(), chunk, chunk + n);
    if (bytes.size() > kMaxMidiFileBytes) break;
  }
  bool readError = std::ferror(f) != 0;
  std::fclose(f);
  if (readError) {
    error = "cannot read " + path;
    return std::nullopt;
  }
  if (bytes.size() > kMaxMidiFileBytes) {
    error = path + " is larger than a MIDI file can sensibly be (" +
            std::to_string(kMaxMidiFileBytes >> 20) + " MiB)";
    return std::nullopt;
  }
  std::string why;
  auto file = parseMidiFile(bytes.data(), bytes.size(), why);
  if (!file) error = path + ": " + why;
  return file;
}

/// Plays the file through the session's effect into the writer.
template <typename Sample>
bool renderSong(Session& session, const Options& options, const MidiFile& song, WavWriter& writer,
                double& peak, std::uint64_t& nonFinite, std::string& error) {
  AEffect* effect = session.effect();
  const double rate = options.sampleRate;
  const int block = options.blockSize;
  const int outputs = effect->numOutputs;
  const int inputs = effect->numInputs;

  // The schedule: every channel message at its sample frame, in file order.
  TempoMap tempo(song);
  std::vector<ScheduledEvent> schedule;
  schedule.reserve(song.events.size());
  for (const MidiEvent& m : song.events) {
    ScheduledEvent s{tempo.frameAt(m.tick, rate), {}};
    s.event.type = kVstMidiType;
    s.event.byteSize = sizeof(VstMidiEvent);
    for (int i = 0; i < 3; ++i) s.event.midiData[i] = static_cast<char>(m.bytes[i]);
    schedule.push_back(s);
  }
  const std::int64_t songFrames = tempo.frameAt(song.endTick, rate) + 1;
  const std::int64_t tailFrames = static_cast<std::int64_t>(std::llround(options.tailSeconds * rate));
  const std::int64_t quietNeeded = std::max<std::int64_t>(1, std::llround(kQuietSeconds * rate));

  // Room for the busiest block's events, allocated once.
  std::size_t busiest = 0;
  for (std::size_t i = 0, first = 0; i < schedule.size(); ++i) {
    while (schedule[i].frame / block != schedule[first].frame / block) ++first;
    busiest = std::max(busiest, i - first + 1);
  }
  std::vector<VstIntPtr> eventStorage(3 + busiest + 2);
  auto* events = reinterpret_cast<VstEvents*>(eventStorage.data());

  std::vector<Sample> outStorage(static_cast<std::size_t>(outputs) * block);
  std::vector<Sample> inStorage(static_cast<std::size_t>(std::max(inputs, 1)) * block, Sample(0));
  std::vector<Sample*> outPtrs, inPtrs;
  for (int c = 0; c < outputs; ++c) outPtrs.push_back(outStorage.data() + static_cast<std::size_t>(c) * block);
  for (int c = 0; c < std::max(inputs, 1); ++c) inPtrs.push_back(inStorage.data() + static_cast<std::size_t>(c) * block);
  std::vector<float> interleaved(static_cast<std::size_t>(outputs) * block);

  Progress progress(!options.quiet && stderrIsTerminal(), rate);
  std::size_t next = 0;
  std::int64_t pos = 0;
  std::int64_t quiet = 0;
  while (pos < songFrames || (pos < songFrames + tailFrames && quiet < quietNeeded)) {
    // This block's events, with their offsets inside it.
    int count = 0;
    while (next < schedule.size() && schedule[next].frame < pos + block) {
      schedule[next].event.deltaFrames = static_cast<VstInt32>(schedule[next].frame - pos);
      events->events[count++] = reinterpret_cast<VstEvent*>(&schedule[next].event);
      ++next;
    }
    if (count > 0) {
      events->numEvents = count;
      events->reserved = 0;
      session.host().dispatch(effect, effProcessEvents, 0, 0, events);
    }

    if constexpr (std::is_same_v<Sample, double>) {
      effect->processDoubleReplacing(effect, inPtrs.data(), outPtrs.data(), block);
    } else if (effect->processReplacing != nullptr && (effect->flags & effFlagsCanReplacing)) {
      effect->processReplacing(effect, inPtrs.data(), outPtrs.data(), block);
    } else {
      std::fill(outStorage.begin(), outStorage.end(), 0.0f);  // the legacy call accumulates
      effect->process(effect, inPtrs.data(), outPtrs.data(), block);
    }

    double blockPeak = 0;
    for (int i = 0; i < block; ++i) {
      for (int c = 0; c < outputs; ++c) {
        double v = static_cast<double>(outPtrs[c][i]);
        if (!std::isfinite(v)) {
          ++nonFinite;
          v = 0;
        }
        blockPeak = std::max(blockPeak, std::fabs(v));
        interleaved[static_cast<std::size_t>(i) * outputs + c] = static_cast<float>(v);
      }
    }
    peak = std::max(peak, blockPeak);
    quiet = blockPeak < kQuietLevel ? quiet + block : 0;
    if (!writer.write(interleaved.data(), static_cast<std::uint64_t>(block), error)) return false;
    pos += block;
    progress.update(pos, songFrames);
  }
  progress.done();
  return true;
}

int renderFile(const Options& options) {
  std::string error;
  std::optional<MidiFile> song = readMidi(options.midi, error);
  if (!song) {
    fail(error);
    return kExitFailure;
  }
  const double seconds = TempoMap(*song).secondsAt(song->endTick);
  if (seconds > kMaxSongSeconds) {
    fail(options.midi + " lasts " + fixed(seconds, 0) + " s; " + kTool + " renders at most " +
         fixed(kMaxSongSeconds, 0) + " s");
    return kExitFailure;
  }

  Session session;
  if (!session.open(options, error)) {
    fail(error);
    return kExitFailure;
  }
  AEffect* effect = session.effect();
  if (effect->processReplacing == nullptr && effect->process == nullptr) {
    fail(options.plugin + ": the plug-in has no process function");
    return kExitFailure;
  }
  bool useDouble = options.useDouble;
  if (useDouble && !((effect->flags & effFlagsCanDoubleReplacing) && effect->processDoubleReplacing)) {
    fail("note: the plug-in cannot process in double precision; rendering in single precision");
    useDouble = false;
  }
  if (!selectProgram(session, options, error) ||
      !applyProgramFile(session.host(), effect, options, error) || !applyOverrides(session, options, error)) {
    fail(error);
    return kExitFailure;
  }

  WavLayout layout{effect->numOutputs, options.sampleRate, options.format};
  const double longest = seconds + options.tailSeconds + 1.0;
  if (longest * options.sampleRate > static_cast<double>(maxWavFrames(layout))) {
    fail("the rendering could exceed the 4 GiB a WAV file can hold; lower the sample rate or the tail");
    return kExitFailure;
  }
  WavWriter writer;
  if (!writer.open(options.output, layout, error)) {
    fail(error);
    return kExitFailure;
  }
  double peak = 0;
  std::uint64_t nonFinite = 0;
  bool ok = useDouble ? renderSong<double>(session, options, *song, writer, peak, nonFinite, error)
                      : renderSong<float>(session, options, *song, writer, peak, nonFinite, error);
  if (!ok || !writer.finish(error)) {
    fail(error);
    return kExitFailure;
  }

  if (nonFinite > 0)
    fail("warning: the plug-in produced " + std::to_string(nonFinite) +
         " samples that were not finite numbers; they were written as 0");
  if (writer.clippedSamples() > 0)
    fail("warning: " + std::to_string(writer.clippedSamples()) +
         " samples were beyond full scale and were clipped");
  std::string summary = "wrote " + options.output + ": " + std::to_string(layout.channels) +
                        " channels, " + std::to_string(layout.sampleRate) + " Hz, " +
                        (layout.format == SampleFormat::Float32 ? "32-bit float" : "16-bit PCM") +
                        ", " + fixed(static_cast<double>(writer.frames()) / layout.sampleRate, 2) +
                        " s, peak " +
                        (peak > 0 ? fixed(20.0 * std::log10(peak), 1) + " dBFS" : "silent") + "\n";
  std::fputs(summary.c_str(), stdout);
  return kExitOk;
}

}  // namespace

const char* usageText() {
  return "Usage: zynka-render [options] PLUGIN MIDI-FILE OUTPUT.wav\n"
         "       zynka-render --list [--json] [--program N] [--preset FILE | --bank FILE]\n"
         "                    [--set NAME=VALUE] PLUGIN\n"
         "\n"
         "Plays a Standard MIDI File (format 0 or 1) through a VST2 instrument library\n"
         "(.so or .dll, loaded through its entry function as a DAW loads it) and writes\n"
         "the plug-in's output to a WAV file. After the last event it renders on until the\n"
         "output has stayed below -80 dBFS for 100 ms, at most --tail seconds.\n"
         "\n"
         "Options:\n"
         "  --program N          select program N before rendering\n"
         "  --preset FILE.zyp    load a ZYNKA preset into program N (or the current one)\n"
         "  --bank FILE.zyb      load a ZYNKA bank into the programs, then select\n"
         "                       program N (default 0)\n"
         "  --set NAME=VALUE     set the parameter NAME (as the plug-in names it) to\n"
         "                       VALUE, a number from 0 to 1; may be given several times\n"
         "  --list               print the plug-in's programs and parameters with their\n"
         "                       display texts (after --program and --set) and exit\n"
         "  --json               with --list: print the same as JSON\n"
         "  --samplerate HZ      sample rate, 8000 to 384000 (default 44100)\n"
         "  --blocksize N        frames per processing block, 1 to 8192 (default 512)\n"
         "  --format float|pcm16 32-bit float or 16-bit PCM samples (default float)\n"
         "  --double             process in double precision when the plug-in can\n"
         "  --tail SECONDS       longest tail after the last event, 0 to 600 (default 10)\n"
         "  --quiet              no progress bar (it is shown only on a terminal anyway)\n"
         "  --help               show this text\n"
         "\n"
         "Exit status: 0 on success, 1 when rendering fails, 2 for a wrong command line.\n";
}

bool parseArguments(const std::vector<std::string>& args, Options& options, std::string& error) {
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::string name = arg, inlineValue;
    std::size_t eq = arg.find('=');
    bool hasInline = eq != std::string::npos;
    if (hasInline) {
      name = arg.substr(0, eq);
      inlineValue = arg.substr(eq + 1);
    }
    std::string value;
    auto flag = [&](bool& target) {
      if (hasInline) {
        error = name + " takes no value";
        return false;
      }
      target = true;
      return true;
    };
    auto take = [&]() { return takeValue(args, i, name, inlineValue, hasInline, value, error); };
    if (name == "--help") {
      if (!flag(options.help)) return false;
    } else if (name == "--list") {
      if (!flag(options.list)) return false;
    } else if (name == "--json") {
      if (!flag(options.json)) return false;
    } else if (name == "--double") {
      if (!flag(options.useDouble)) return false;
    } else if (name == "--quiet") {
      if (!flag(options.quiet)) return false;
    } else if (name == "--program") {
      if (!take() || !rangedInt(name, value, 0, 1 << 20, options.program, error)) return false;
    } else if (name == "--samplerate") {
      if (!take() || !rangedInt(name, value, 8000, 384000, options.sampleRate, error)) return false;
    } else if (name == "--blocksize") {
      if (!take() || !rangedInt(name, value, 1, 8192, options.blockSize, error)) return false;
    } else if (name == "--format") {
      if (!take()) return false;
      if (value == "float") {
        options.format = SampleFormat::Float32;
      } else if (value == "pcm16") {
        options.format = SampleFormat::Pcm16;
      } else {
        error = "--format takes float or pcm16, not \"" + value + "\"";
        return false;
      }
    } else if (name == "--tail") {
      if (!take()) return false;
      double tail = 0;
      if (!parseDouble(value, tail) || tail < 0 || tail > kMaxTailSeconds) {
        error = "--tail takes seconds from 0 to " + fixed(kMaxTailSeconds, 0) + ", not \"" + value + "\"";
        return false;
      }
      options.tailSeconds = tail;
    } else if (name == "--preset" || name == "--bank") {
      if (!take()) return false;
      if (value.empty()) {
        error = name + " needs a file";
        return false;
      }
      (name == "--preset" ? options.presetFile : options.bankFile) = value;
      if (!options.presetFile.empty() && !options.bankFile.empty()) {
        error = "--preset and --bank exclude each other";
        return false;
      }
    } else if (name == "--set") {
      if (!take() || !parseOverride(value, options, error)) return false;
    } else {
      error = "unknown option " + name;
      return false;
    }
  }
  if (options.help) return true;
  if (options.json && !options.list) {
    error = "--json goes with --list";
    return false;
  }
  const std::size_t wanted = options.list ? 1 : 3;
  if (positional.size() != wanted) {
    error = options.list ? "--list takes one argument, the plug-in library"
                         : "expected PLUGIN MIDI-FILE OUTPUT.wav, got " +
                               std::to_string(positional.size()) + " argument" +
                               (positional.size() == 1 ? "" : "s");
    return false;
  }
  options.plugin = positional[0];
  if (!options.list) {
    options.midi = positional[1];
    options.output = positional[2];
  }
  return true;
}

int run(const std::vector<std::string>& args) {
  try {
    Options options;
    std::string error;
    if (!parseArguments(args, options, error)) {
      fail(error + " (see --help)");
      return kExitUsage;
    }
    if (options.help) {
      std::fputs(usageText(), stdout);
      return kExitOk;
    }
    if (options.list) {
      Session session;
      if (!session.open(options, error)) {
        fail(error);
        return kExitFailure;
      }
      return listPlugin(session, options);
    }
    return renderFile(options);
  } catch (const std::bad_alloc&) {
    fail("out of memory");
  } catch (const std::exception& e) {
    fail(std::string("unexpected failure: ") + e.what());
  }
  return kExitFailure;
}

}  // namespace zrender
