// Proves the WAV writer: header fields of both formats, 16-bit clipping and rounding,
// samples read back, and that a failed or abandoned write leaves no file behind and
// never touches an existing file of the same name.
#include "test_paths.h"
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

#include "tests/tools/wav_reader.h"
#include "tools/zynka-render/wav.h"

using zrender::SampleFormat;
using zrender::WavLayout;
using zrender::WavWriter;

namespace {

std::string tempPath(const std::string& name) { return testTemp(name); }

}  // namespace

TEST(Wav, HeaderFieldsForFloatAndPcm16) {
  auto f = zrender::wavHeader(WavLayout{2, 48000, SampleFormat::Float32}, 1000);
  ASSERT_EQ(f.size(), 58u);
  EXPECT_EQ(std::memcmp(f.data(), "RIFF", 4), 0);
  EXPECT_EQ(le32(&f[4]), 58u - 8 + 8000);
  EXPECT_EQ(std::memcmp(&f[8], "WAVEfmt ", 8), 0);
  EXPECT_EQ(le32(&f[16]), 18u);
  EXPECT_EQ(le16(&f[20]), 3);       // IEEE float
  EXPECT_EQ(le16(&f[22]), 2);       // channels
  EXPECT_EQ(le32(&f[24]), 48000u);  // rate
  EXPECT_EQ(le32(&f[28]), 384000u); // bytes per second
  EXPECT_EQ(le16(&f[32]), 8);       // block align
  EXPECT_EQ(le16(&f[34]), 32);      // bits
  EXPECT_EQ(le16(&f[36]), 0);       // cbSize
  EXPECT_EQ(std::memcmp(&f[38], "fact", 4), 0);
  EXPECT_EQ(le32(&f[46]), 1000u);
  EXPECT_EQ(std::memcmp(&f[50], "data", 4), 0);
  EXPECT_EQ(le32(&f[54]), 8000u);

  auto p = zrender::wavHeader(WavLayout{1, 44100, SampleFormat::Pcm16}, 10);
  ASSERT_EQ(p.size(), 44u);
  EXPECT_EQ(le32(&p[4]), 36u + 20);
  EXPECT_EQ(le32(&p[16]), 16u);
  EXPECT_EQ(le16(&p[20]), 1);
  EXPECT_EQ(le32(&p[28]), 88200u);
  EXPECT_EQ(le16(&p[32]), 2);
  EXPECT_EQ(le16(&p[34]), 16);
  EXPECT_EQ(std::memcmp(&p[36], "data", 4), 0);
  EXPECT_EQ(le32(&p[40]), 20u);
}

TEST(Wav, Pcm16ClipsAndRounds) {
  EXPECT_EQ(zrender::toPcm16(0.0f), 0);
  EXPECT_EQ(zrender::toPcm16(1.0f), 32767);
  EXPECT_EQ(zrender::toPcm16(-1.0f), -32767);
  EXPECT_EQ(zrender::toPcm16(3.5f), 32767);
  EXPECT_EQ(zrender::toPcm16(-1e30f), -32767);
  EXPECT_EQ(zrender::toPcm16(std::numeric_limits<float>::infinity()), 32767);
  EXPECT_EQ(zrender::toPcm16(-std::numeric_limits<float>::infinity()), -32767);
  EXPECT_EQ(zrender::toPcm16(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(zrender::toPcm16(0.5f), 16384);   // 16383.5 rounds away from zero
  EXPECT_EQ(zrender::toPcm16(-0.5f), -16384);
  EXPECT_EQ(zrender::toPcm16(1.0f / 32767.0f), 1);
}

TEST(Wav, WritesReadableFilesInBothFormats) {
  const float frames[] = {0.0f, 0.25f, -0.5f, 1.5f, 1e-3f, -2.0f};
  for (SampleFormat format : {SampleFormat::Float32, SampleFormat::Pcm16}) {
    const std::string path = tempPath(format == SampleFormat::Float32 ? "w_float.wav" : "w_pcm.wav");
    std::filesystem::remove(path);
    WavWriter writer;
    std::string error;
    ASSERT_TRUE(writer.open(path, WavLayout{2, 22050, format}, error)) << error;
    ASSERT_TRUE(writer.write(frames, 2, error)) << error;
    ASSERT_TRUE(writer.write(frames + 4, 1, error)) << error;
    EXPECT_FALSE(std::filesystem::exists(path));  // only the .part file until finished
    ASSERT_TRUE(writer.finish(error)) << error;
    EXPECT_FALSE(std::filesystem::exists(path + ".part"));

    WavFile w = readWav(path);
    ASSERT_TRUE(w.ok);
    EXPECT_EQ(w.channels, 2);
    EXPECT_EQ(w.sampleRate, 22050);
    EXPECT_EQ(w.riffSize + 8, w.fileSize);
    ASSERT_EQ(w.frames(), 3u);
    if (format == SampleFormat::Float32) {
      EXPECT_EQ(w.format, 3);
      EXPECT_TRUE(w.hasFact);
      EXPECT_EQ(w.factFrames, 3u);
      for (int i = 0; i < 6; ++i) EXPECT_EQ(w.samples[i], frames[i]);  // bit-exact, not clipped
      EXPECT_EQ(writer.clippedSamples(), 0u);
    } else {
      EXPECT_EQ(w.format, 1);
      EXPECT_EQ(w.pcm, (std::vector<std::int16_t>{0, 8192, -16384, 32767, 33, -32767}));
      EXPECT_EQ(writer.clippedSamples(), 2u);
    }
  }
}

TEST(Wav, FailuresLeaveNothingAndLoseNothing) {
  WavWriter writer;
  std::string error;
  EXPECT_FALSE(writer.open("/nonexistent-folder/out.wav", WavLayout{}, error));
  EXPECT_NE(error.find("/nonexistent-folder/out.wav"), std::string::npos);

  error.clear();
  EXPECT_FALSE(writer.open(::testing::TempDir(), WavLayout{}, error));
  EXPECT_NE(error.find("directory"), std::string::npos);

  // An abandoned render keeps the earlier file of that name as it was.
  const std::string path = tempPath("w_keep.wav");
  { std::ofstream(path) << "precious"; }
  {
    WavWriter abandoned;
    const float silence[2] = {0, 0};
    ASSERT_TRUE(abandoned.open(path, WavLayout{}, error)) << error;
    ASSERT_TRUE(abandoned.write(silence, 1, error));
  }
  EXPECT_FALSE(std::filesystem::exists(path + ".part"));
  std::ifstream in(path);
  std::string content;
  in >> content;
  EXPECT_EQ(content, "precious");
}
