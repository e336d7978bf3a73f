// WAV output: 32-bit float (format 3, with its fact chunk) or 16-bit PCM, written
// to "<path>.part" and renamed into place only when complete, so a failed render
// never leaves a half file under the requested name.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace zrender {

enum class SampleFormat { Float32, Pcm16 };

struct WavLayout {
  int channels = 2;
  int sampleRate = 44100;
  SampleFormat format = SampleFormat::Float32;
};

/// The bytes of a complete WAV header for this many frames of interleaved samples.
std::vector<std::uint8_t> wavHeader(const WavLayout& layout, std::uint64_t frames);

/// A float sample as 16-bit PCM: clipped to full scale, rounded half away from zero; NaN gives 0.
std::int16_t toPcm16(float sample);

/// The largest number of frames a WAV file of this shape can hold (its sizes are 32-bit).
std::uint64_t maxWavFrames(const WavLayout& layout);

/// Streams interleaved frames into a WAV file.
class WavWriter {
 public:
  WavWriter() = default;
  /// Removes the unfinished file when finish() did not succeed.
  ~WavWriter();
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  /// Creates "<path>.part" and writes a provisional header; false and an error if it cannot.
  bool open(const std::string& path, const WavLayout& layout, std::string& error);
  /// Appends frames of interleaved samples (channels per frame); false and an error on failure.
  bool write(const float* interleaved, std::uint64_t frames, std::string& error);
  /// Writes the final header and renames the file to its path; false and an error on failure.
  bool finish(std::string& error);

  std::uint64_t frames() const { return frames_; }
  /// Samples that were beyond full scale and were clipped (16-bit PCM only).
  std::uint64_t clippedSamples() const { return clipped_; }

 private:
  void discard();
  std::FILE* file_ = nullptr;
  std::string path_;
  std::string partPath_;
  WavLayout layout_;
  std::uint64_t frames_ = 0;
  std::uint64_t clipped_ = 0;
  std::vector<std::uint8_t> buffer_;
};

}  // namespace zrender
