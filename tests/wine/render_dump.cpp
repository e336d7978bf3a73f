// zynka-render-dump: plays a MIDI file through a VST2 instrument's double-precision
// path and writes every sample as a raw 64-bit float, so that renders of the same
// file by the Windows DLL under Wine and by the Linux library can be compared far
// below the resolution of a 32-bit WAV file. It also compares two such dumps, or
// two 32-bit float WAV files, sample by sample.
//
//   zynka-render-dump PLUGIN MIDI-FILE OUTPUT [PROGRAMS]
//       renders the file once for each of the programs 0 .. PROGRAMS-1 (default 1),
//       44100 Hz, blocks of 512, one second of tail; writes interleaved
//       little-endian doubles
//   zynka-render-dump --compare A B TOLERANCE
//   zynka-render-dump --compare-wav A.wav B.wav TOLERANCE
//       exit status 0 when both hold the same number of samples, none is NaN or
//       infinite, A is not silent, and no two samples differ by more than TOLERANCE
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "tools/hostkit/hostkit.h"
#include "tools/zynka-render/smf.h"
#include "tools/zynka-render/wav.h"

namespace {

constexpr int kSampleRate = 44100;
constexpr int kBlockSize = 512;
constexpr int kMaxChannels = 64;
constexpr int kMaxEventsPerBlock = 256;
constexpr std::size_t kMaxFileBytes = 256u << 20;
// A render whose loudest sample stays below this proves nothing when compared.
constexpr double kAudibleLevel = 1e-3;

int fail(const std::string& message) {
  std::fprintf(stderr, "zynka-render-dump: %s\n", message.c_str());
  return 1;
}

bool readFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
  std::FILE* f = zrender::openFile(path, "rb");
  if (f == nullptr) {
    error = "cannot read " + path;
    return false;
  }
  bytes.clear();
  std::uint8_t chunk[65536];
  std::size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
    bytes.insert(bytes.end(), chunk, chunk + n);
    if (bytes.size() > kMaxFileBytes) {
      std::fclose(f);
      error = path + " is larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB";
      return false;
    }
  }
  bool ok = std::ferror(f) == 0;
  std::fclose(f);
  if (!ok) error = "cannot read " + path;
  return ok;
}

bool writeFile(const std::string& path, const std::vector<double>& samples, std::string& error) {
  std::FILE* f = zrender::openFile(path, "wb");
  if (f == nullptr) {
    error = "cannot write " + path;
    return false;
  }
  // Both targets are little-endian x86-64, so the bytes of a double are its file form.
  bool ok = std::fwrite(samples.data(), sizeof(double), samples.size(), f) == samples.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok) error = "cannot write " + path;
  return ok;
}

/// A number as text in its shortest exact form, whatever the locale.
std::string number(double value) {
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return ec == std::errc() ? std::string(buffer, end) : std::string("?");
}

bool parseNumber(const std::string& text, double& out) {
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && ptr == text.data() + text.size() && !text.empty();
}

// The event list handed to processEvents: the published header followed by room for
// kMaxEventsPerBlock pointers.
struct EventList {
  VstInt32 numEvents;
  VstIntPtr reserved;
  VstEvent* events[kMaxEventsPerBlock];
};
static_assert(offsetof(EventList, events) == offsetof(VstEvents, events));

struct TimedEvent {
  std::int64_t frame;
  std::uint8_t bytes[3];
};

int render(const std::string& pluginPath, const std::string& midiPath, const std::string& outPath,
           int programs) {
  std::string error;
  std::vector<std::uint8_t> midiBytes;
  if (!readFile(midiPath, midiBytes, error)) return fail(error);
  std::optional<zrender::MidiFile> midi = zrender::parseMidiFile(midiBytes.data(), midiBytes.size(), error);
  if (!midi) return fail(midiPath + ": " + error);
  zrender::TempoMap tempo(*midi);
  std::vector<TimedEvent> events;
  for (const zrender::MidiEvent& e : midi->events)
    events.push_back({tempo.frameAt(e.tick, kSampleRate), {e.bytes[0], e.bytes[1], e.bytes[2]}});
  const std::int64_t songFrames = tempo.frameAt(midi->endTick, kSampleRate) + kSampleRate;

  std::unique_ptr<hostkit::PluginLibrary> library = hostkit::PluginLibrary::load(pluginPath, error);
  if (!library) return fail(error);
  hostkit::Host host;
  host.recordCalls = false;
  host.sampleRate = static_cast<float>(kSampleRate);
  host.blockSize = kBlockSize;
  AEffect* effect = host.instantiate(*library, error);
  if (effect == nullptr) return fail(error);
  const int channels = effect->numOutputs;
  if (channels < 1 || channels > kMaxChannels || effect->processDoubleReplacing == nullptr ||
      effect->numPrograms < programs) {
    host.close(effect);
    return fail(pluginPath + " has no double-precision stereo path with " + std::to_string(programs) +
                " programs");
  }
  host.start(effect);

  // The plug-in replaces every sample; NaN in what it hands back marks one it left out.
  std::vector<std::vector<double>> buffers(static_cast<std::size_t>(channels),
                                           std::vector<double>(kBlockSize));
  std::vector<double*> outputs;
  for (auto& b : buffers) outputs.push_back(b.data());
  std::vector<double> silentInput(kBlockSize, 0.0);
  double* inputs[2] = {silentInput.data(), silentInput.data()};
  std::vector<VstMidiEvent> midiEvents(kMaxEventsPerBlock);
  EventList list{};

  std::vector<double> samples;
  samples.reserve(static_cast<std::size_t>(songFrames * channels * programs));
  for (int program = 0; program < programs; ++program) {
    host.dispatch(effect, effSetProgram, 0, program);
    std::size_t next = 0;
    for (std::int64_t start = 0; start < songFrames; start += kBlockSize) {
      const int frames = static_cast<int>(std::min<std::int64_t>(kBlockSize, songFrames - start));
      list.numEvents = 0;
      for (; next < events.size() && events[next].frame < start + frames; ++next) {
        if (list.numEvents == kMaxEventsPerBlock) {
          host.close(effect);
          return fail(midiPath + " has more than " + std::to_string(kMaxEventsPerBlock) +
                      " events in one block");
        }
        VstMidiEvent& m = midiEvents[static_cast<std::size_t>(list.numEvents)];
        m = VstMidiEvent{};
        m.type = kVstMidiType;
        m.byteSize = sizeof(VstMidiEvent);
        m.deltaFrames = static_cast<VstInt32>(std::max<std::int64_t>(0, events[next].frame - start));
        std::memcpy(m.midiData, events[next].bytes, 3);
        list.events[list.numEvents++] = reinterpret_cast<VstEvent*>(&m);
      }
      if (list.numEvents > 0) host.dispatch(effect, effProcessEvents, 0, 0, &list);
      for (auto& b : buffers) std::fill(b.begin(), b.end(), std::numeric_limits<double>::quiet_NaN());
      effect->processDoubleReplacing(effect, inputs, outputs.data(), frames);
      for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) samples.push_back(buffers[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)]);
    }
  }
  host.close(effect);
  if (!writeFile(outPath, samples, error)) return fail(error);
  std::printf("%s: %d program(s), %lld frames of %d channels\n", outPath.c_str(), programs,
              static_cast<long long>(songFrames) * programs, channels);
  return 0;
}

bool readDump(const std::string& path, std::vector<double>& samples, std::string& error) {
  std::vector<std::uint8_t> bytes;
  if (!readFile(path, bytes, error)) return false;
  if (bytes.size() % sizeof(double) != 0) {
    error = path + " is not a dump of doubles (" + std::to_string(bytes.size()) + " bytes)";
    return false;
  }
  samples.resize(bytes.size() / sizeof(double));
  std::memcpy(samples.data(), bytes.data(), bytes.size());
  return true;
}

std::uint32_t le32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

/// The samples of a 32-bit float WAV file (format 3, or extensible with the float subformat).
bool readFloatWav(const std::string& path, std::vector<double>& samples, std::string& error) {
  std::vector<std::uint8_t> bytes;
  if (!readFile(path, bytes, error)) return false;
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
    error = path + " is not a WAV file";
    return false;
  }
  bool isFloat = false;
  for (std::size_t at = 12; at + 8 <= bytes.size();) {
    const std::uint32_t size = le32(&bytes[at + 4]);
    const std::size_t body = at + 8;
    if (size > bytes.size() - body) break;
    if (std::memcmp(&bytes[at], "fmt ", 4) == 0 && size >= 16) {
      const unsigned format = bytes[body] | (bytes[body + 1] << 8);
      const unsigned bits = bytes[body + 14] | (bytes[body + 15] << 8);
      // WAVE_FORMAT_EXTENSIBLE keeps the real format in the first two bytes of its subformat.
      const unsigned real = format == 0xFFFE && size >= 26 ? (bytes[body + 24] | (bytes[body + 25] << 8)) : format;
      isFloat = real == 3 && bits == 32;
    } else if (std::memcmp(&bytes[at], "data", 4) == 0) {
      if (!isFloat) break;
      samples.resize(size / 4);
      for (std::size_t i = 0; i < samples.size(); ++i) {
        float f;
        std::memcpy(&f, &bytes[body + 4 * i], 4);
        samples[i] = f;
      }
      return true;
    }
    at = body + size + (size & 1);
  }
  error = path + " holds no 32-bit float samples";
  return false;
}

int compare(const std::vector<double>& a, const std::vector<double>& b, const std::string& nameA,
            const std::string& nameB, double tolerance) {
  if (a.size() != b.size())
    return fail(nameA + " has " + std::to_string(a.size()) + " samples, " + nameB + " " + std::to_string(b.size()));
  if (a.empty()) return fail(nameA + " holds no samples");
  double peak = 0.0;
  double largest = 0.0;
  std::size_t worst = 0;
  std::size_t over = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!std::isfinite(a[i]) || !std::isfinite(b[i]))
      return fail("sample " + std::to_string(i) + " is not a finite number (" + number(a[i]) + ", " + number(b[i]) +
                  ")");
    peak = std::max(peak, std::fabs(a[i]));
    const double d = std::fabs(a[i] - b[i]);
    if (d > tolerance) ++over;
    if (d > largest) {
      largest = d;
      worst = i;
    }
  }
  std::printf("%zu samples, peak %s, largest difference %s at sample %zu, tolerance %s\n", a.size(),
              number(peak).c_str(), number(largest).c_str(), worst, number(tolerance).c_str());
  if (peak < kAudibleLevel) return fail(nameA + " is silent, so the comparison proves nothing");
  if (over > 0)
    return fail(std::to_string(over) + " samples differ by more than " + number(tolerance) + "; the largest at sample " +
                std::to_string(worst) + ": " + number(a[worst]) + " in " + nameA + ", " + number(b[worst]) + " in " +
                nameB);
  return 0;
}

const char* kUsage =
    "usage: zynka-render-dump PLUGIN MIDI-FILE OUTPUT [PROGRAMS]\n"
    "       zynka-render-dump --compare A B TOLERANCE\n"
    "       zynka-render-dump --compare-wav A.wav B.wav TOLERANCE\n";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 4 && (args[0] == "--compare" || args[0] == "--compare-wav")) {
    double tolerance = 0.0;
    if (!parseNumber(args[3], tolerance) || !(tolerance >= 0.0)) return fail("bad tolerance \"" + args[3] + "\"");
    std::vector<double> a, b;
    std::string error;
    const bool wav = args[0] == "--compare-wav";
    if (!(wav ? readFloatWav(args[1], a, error) : readDump(args[1], a, error))) return fail(error);
    if (!(wav ? readFloatWav(args[2], b, error) : readDump(args[2], b, error))) return fail(error);
    return compare(a, b, args[1], args[2], tolerance);
  }
  if ((args.size() == 3 || args.size() == 4) && args[0].compare(0, 2, "--") != 0) {
    int programs = 1;
    if (args.size() == 4) {
      auto [ptr, ec] = std::from_chars(args[3].data(), args[3].data() + args[3].size(), programs);
      if (ec != std::errc() || ptr != args[3].data() + args[3].size() || programs < 1 || programs > 1000)
        return fail("PROGRAMS must be a count from 1 to 1000, not \"" + args[3] + "\"");
    }
    return render(args[0], args[1], args[2], programs);
  }
  std::fputs(kUsage, stderr);
  return 2;
}
