// Reads back the WAV files the tool writes, for tests: the fmt fields and the samples.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct WavFile {
  bool ok = false;
  int format = 0;  // 1 PCM, 3 float
  int channels = 0;
  int sampleRate = 0;
  int byteRate = 0;
  int blockAlign = 0;
  int bits = 0;
  int fmtSize = 0;
  bool hasFact = false;
  std::uint32_t factFrames = 0;
  std::uint32_t riffSize = 0;
  std::uint64_t fileSize = 0;
  std::vector<float> samples;  // interleaved; PCM scaled by 1/32767
  std::vector<std::int16_t> pcm;

  std::size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
  float at(std::size_t frame, int channel = 0) const { return samples[frame * channels + channel]; }
};

inline std::uint32_t le32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

inline WavFile readWav(const std::string& path) {
  WavFile w;
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  w.fileSize = b.size();
  if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0)
    return w;
  w.riffSize = le32(b.data() + 4);
  std::size_t pos = 12;
  while (pos + 8 <= b.size()) {
    const std::uint8_t* c = b.data() + pos;
    std::uint32_t size = le32(c + 4);
    if (pos + 8 + size > b.size()) return w;
    const std::uint8_t* d = c + 8;
    if (std::memcmp(c, "fmt ", 4) == 0) {
      w.fmtSize = static_cast<int>(size);
      w.format = le16(d);
      w.channels = le16(d + 2);
      w.sampleRate = static_cast<int>(le32(d + 4));
      w.byteRate = static_cast<int>(le32(d + 8));
      w.blockAlign = le16(d + 12);
      w.bits = le16(d + 14);
    } else if (std::memcmp(c, "fact", 4) == 0) {
      w.hasFact = true;
      w.factFrames = le32(d);
    } else if (std::memcmp(c, "data", 4) == 0) {
      if (w.format == 3 && w.bits == 32) {
        w.samples.resize(size / 4);
        std::memcpy(w.samples.data(), d, w.samples.size() * 4);
      } else if (w.format == 1 && w.bits == 16) {
        for (std::uint32_t i = 0; i + 1 < size; i += 2) {
          auto v = static_cast<std::int16_t>(le16(d + i));
          w.pcm.push_back(v);
          w.samples.push_back(v / 32767.0f);
        }
      }
      w.ok = true;
    }
    pos += 8 + size + (size & 1);
  }
  return w;
}
