#include "tools/zynka-render/render.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "tools/zynka-render/messages.h"
#include "tools/zynka-render/player.h"
#include "tools/zynka-render/program_file.h"
#include "tools/zynka-render/progress.h"
#include "tools/zynka-render/session.h"
#include "tools/zynka-render/smf.h"
#include "tools/zynka-render/text.h"
#include "tools/zynka-render/wav.h"

namespace zrender {
namespace {

constexpr double kMaxSongSeconds = 3600.0;
// The tail ends once the output has stayed below -80 dBFS for 100 ms.
constexpr double kQuietLevel = 1e-4;
constexpr double kQuietSeconds = 0.1;

/// What a render found in the plug-in's output.
struct Loudness {
  double peak = 0;
  std::uint64_t nonFinite = 0;  // samples written as 0
};

/// The song, unless it cannot be read or lasts too long to render.
std::optional<MidiFile> readSong(const Options& options, double& seconds, std::string& error) {
  std::optional<MidiFile> song = readMidiFile(options.midi, error);
  if (!song) return std::nullopt;
  seconds = TempoMap(*song).secondsAt(song->endTick);
  if (seconds > kMaxSongSeconds) {
    error = options.midi + " lasts " + fixed(seconds, 0) + " s; " + kTool + " renders at most " +
            fixed(kMaxSongSeconds, 0) + " s";
    return std::nullopt;
  }
  return song;
}

/// Opens the plug-in and gives it the options' program, program file and parameter values;
/// useDouble turns false, with a note, when the plug-in cannot process doubles.
bool preparePlugin(Session& session, const Options& options, bool& useDouble, std::string& error) {
  if (!session.open(options.plugin, options.sampleRate, options.blockSize, error)) return false;
  AEffect* effect = session.effect();
  if (effect->processReplacing == nullptr && effect->process == nullptr) {
    error = options.plugin + ": the plug-in has no process function";
    return false;
  }
  useDouble = options.useDouble;
  if (useDouble && !((effect->flags & effFlagsCanDoubleReplacing) && effect->processDoubleReplacing)) {
    report("note: the plug-in cannot process in double precision; rendering in single precision");
    useDouble = false;
  }
  return session.selectProgram(options.program, error) &&
         applyProgramFile(session.host(), effect, options, error) &&
         session.setParameters(options.overrides, error);
}

/// Opens the output for the longest render the song and tail can make.
bool openOutput(WavWriter& writer, const WavLayout& layout, const Options& options, double songSeconds,
                std::string& error) {
  const double longest = songSeconds + options.tailSeconds + 1.0;
  if (longest * options.sampleRate > static_cast<double>(maxWavFrames(layout))) {
    error = "the rendering could exceed the 4 GiB a WAV file can hold; lower the sample rate or the tail";
    return false;
  }
  return writer.open(options.output, layout, error);
}

/// The block's samples interleaved as floats, with what is not a finite number as 0; the
/// block's peak.
template <typename Sample>
double interleave(Sample* const* channels, int channelCount, int frames, std::vector<float>& out,
                  Loudness& loudness) {
  double peak = 0;
  for (int i = 0; i < frames; ++i) {
    for (int c = 0; c < channelCount; ++c) {
      double v = static_cast<double>(channels[c][i]);
      if (!std::isfinite(v)) {
        ++loudness.nonFinite;
        v = 0;
      }
      peak = std::max(peak, std::fabs(v));
      out[static_cast<std::size_t>(i) * channelCount + c] = static_cast<float>(v);
    }
  }
  return peak;
}

/// Plays the song through the session's effect into the writer: to the song's end, then
/// on while the tail sounds, at most options.tailSeconds.
template <typename Sample>
bool renderSong(Session& session, const Options& options, const MidiFile& song, WavWriter& writer,
                Loudness& loudness, std::string& error) {
  Player<Sample> player(session, song);
  const double rate = options.sampleRate;
  const int block = options.blockSize;
  const int channels = session.effect()->numOutputs;
  const std::int64_t songFrames = player.endFrame() + 1;
  const std::int64_t tailFrames = static_cast<std::int64_t>(std::llround(options.tailSeconds * rate));
  const std::int64_t quietNeeded = std::max<std::int64_t>(1, std::llround(kQuietSeconds * rate));
  std::vector<float> interleaved(static_cast<std::size_t>(channels) * block);

  Progress progress(!options.quiet, rate);
  std::int64_t quiet = 0;
  while (player.position() < songFrames ||
         (player.position() < songFrames + tailFrames && quiet < quietNeeded)) {
    player.play(block);
    const double blockPeak = interleave(player.outputs(), channels, block, interleaved, loudness);
    loudness.peak = std::max(loudness.peak, blockPeak);
    quiet = blockPeak < kQuietLevel ? quiet + block : 0;
    if (!writer.write(interleaved.data(), static_cast<std::uint64_t>(block), error)) return false;
    progress.update(player.position(), songFrames);
  }
  progress.done();
  return true;
}

/// Warnings about what the file holds, then "wrote ..." with its shape, length and peak.
void reportResult(const Options& options, const WavLayout& layout, const WavWriter& writer, const Loudness& loudness) {
  if (loudness.nonFinite > 0)
    report("warning: the plug-in produced " + std::to_string(loudness.nonFinite) +
           " samples that were not finite numbers; they were written as 0");
  if (writer.clippedSamples() > 0)
    report("warning: " + std::to_string(writer.clippedSamples()) + " samples were beyond full scale and were clipped");
  const std::string summary =
      "wrote " + options.output + ": " + std::to_string(layout.channels) + " channels, " +
      std::to_string(layout.sampleRate) + " Hz, " +
      (layout.format == SampleFormat::Float32 ? "32-bit float" : "16-bit PCM") + ", " +
      fixed(static_cast<double>(writer.frames()) / layout.sampleRate, 2) + " s, peak " +
      (loudness.peak > 0 ? fixed(20.0 * std::log10(loudness.peak), 1) + " dBFS" : "silent") + "\n";
  std::fputs(summary.c_str(), stdout);
}

}  // namespace

int renderFile(const Options& options) {
  std::string error;
  double seconds = 0;
  std::optional<MidiFile> song = readSong(options, seconds, error);
  Session session;
  bool useDouble = false;
  if (!song || !preparePlugin(session, options, useDouble, error)) {
    report(error);
    return kExitFailure;
  }
  const WavLayout layout{session.effect()->numOutputs, options.sampleRate, options.format};
  WavWriter writer;
  Loudness loudness;
  const bool rendered =
      openOutput(writer, layout, options, seconds, error) &&
      (useDouble ? renderSong<double>(session, options, *song, writer, loudness, error)
                 : renderSong<float>(session, options, *song, writer, loudness, error)) &&
      writer.finish(error);
  if (!rendered) {
    report(error);
    return kExitFailure;
  }
  reportResult(options, layout, writer, loudness);
  return kExitOk;
}

}  // namespace zrender
