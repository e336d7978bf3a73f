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
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "tools/zynka-render/files.h"
#include "tools/zynka-render/player.h"
#include "tools/zynka-render/session.h"
#include "tools/zynka-render/smf.h"
#include "tools/zynka-render/text.h"

namespace {

using zrender::shortest;

constexpr int kSampleRate = 44100;
constexpr int kBlockSize = 512;
constexpr std::size_t kMaxFileBytes = 256u << 20;
// A render whose loudest sample stays below this proves nothing when compared.
constexpr double kAudibleLevel = 1e-3;

int fail(const std::string& message) {
  std::fprintf(stderr, "zynka-render-dump: %s\n", message.c_str());
  return 1;
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

/// Plays the song once for each program into samples, interleaved.
void renderPrograms(zrender::Session& session, const zrender::MidiFile& song, int programs,
                    std::vector<double>& samples) {
  zrender::Player<double> player(session, song);
  const int channels = session.effect()->numOutputs;
  const std::int64_t songFrames = player.endFrame() + kSampleRate;
  samples.reserve(static_cast<std::size_t>(songFrames * channels * programs));
  for (int program = 0; program < programs; ++program) {
    session.host().dispatch(session.effect(), effSetProgram, 0, program);
    player.rewind();
    while (player.position() < songFrames) {
      const int frames = static_cast<int>(std::min<std::int64_t>(kBlockSize, songFrames - player.position()));
      // The plug-in replaces every sample; NaN in what it hands back marks one it left out.
      for (int c = 0; c < channels; ++c)
        std::fill_n(player.outputs()[c], frames, std::numeric_limits<double>::quiet_NaN());
      player.play(frames);
      for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) samples.push_back(player.outputs()[c][i]);
    }
  }
}

int render(const std::string& pluginPath, const std::string& midiPath, const std::string& outPath,
           int programs) {
  std::string error;
  std::optional<zrender::MidiFile> song = zrender::readMidiFile(midiPath, error);
  if (!song) return fail(error);
  zrender::Session session;
  if (!session.open(pluginPath, kSampleRate, kBlockSize, error)) return fail(error);
  if (session.effect()->processDoubleReplacing == nullptr || session.effect()->numPrograms < programs)
    return fail(pluginPath + " has no double-precision path with " + std::to_string(programs) + " programs");
  std::vector<double> samples;
  renderPrograms(session, *song, programs, samples);
  if (!writeFile(outPath, samples, error)) return fail(error);
  const int channels = session.effect()->numOutputs;
  std::printf("%s: %d program(s), %lld frames of %d channels\n", outPath.c_str(), programs,
              static_cast<long long>(samples.size() / static_cast<std::size_t>(channels)), channels);
  return 0;
}

bool readDump(const std::string& path, std::vector<double>& samples, std::string& error) {
  std::optional<std::vector<std::uint8_t>> bytes = zrender::readFile(path, kMaxFileBytes, "a render", error);
  if (!bytes) return false;
  if (bytes->size() % sizeof(double) != 0) {
    error = path + " is not a dump of doubles (" + std::to_string(bytes->size()) + " bytes)";
    return false;
  }
  samples.resize(bytes->size() / sizeof(double));
  std::memcpy(samples.data(), bytes->data(), bytes->size());
  return true;
}

std::uint32_t le32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

/// The samples of a 32-bit float WAV file (format 3, or extensible with the float subformat).
bool readFloatWav(const std::string& path, std::vector<double>& samples, std::string& error) {
  std::optional<std::vector<std::uint8_t>> file = zrender::readFile(path, kMaxFileBytes, "a render", error);
  if (!file) return false;
  const std::vector<std::uint8_t>& bytes = *file;
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
      return fail("sample " + std::to_string(i) + " is not a finite number (" + shortest(a[i]) + ", " + shortest(b[i]) +
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
              shortest(peak).c_str(), shortest(largest).c_str(), worst, shortest(tolerance).c_str());
  if (peak < kAudibleLevel) return fail(nameA + " is silent, so the comparison proves nothing");
  if (over > 0)
    return fail(std::to_string(over) + " samples differ by more than " + shortest(tolerance) + "; the largest at sample " +
                std::to_string(worst) + ": " + shortest(a[worst]) + " in " + nameA + ", " + shortest(b[worst]) + " in " +
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
    if (!zrender::parseDouble(args[3], tolerance) || !(tolerance >= 0.0))
      return fail("bad tolerance \"" + args[3] + "\"");
    std::vector<double> a, b;
    std::string error;
    const bool wav = args[0] == "--compare-wav";
    if (!(wav ? readFloatWav(args[1], a, error) : readDump(args[1], a, error))) return fail(error);
    if (!(wav ? readFloatWav(args[2], b, error) : readDump(args[2], b, error))) return fail(error);
    return compare(a, b, args[1], args[2], tolerance);
  }
  if ((args.size() == 3 || args.size() == 4) && args[0].compare(0, 2, "--") != 0) {
    long long programs = 1;
    if (args.size() == 4 && (!zrender::parseInt(args[3], programs) || programs < 1 || programs > 1000))
      return fail("PROGRAMS must be a count from 1 to 1000, not \"" + args[3] + "\"");
    return render(args[0], args[1], args[2], static_cast<int>(programs));
  }
  std::fputs(kUsage, stderr);
  return 2;
}
