// Proves the demo's MIDI files: the committed files are exactly what the generator
// writes, and they hold what the demo shows off (a few bars of chords and melody with
// the sustain pedal and a pitch bend, a bass line, about 8 to 10 seconds).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tools/zynka-render/smf.h"

namespace {

std::vector<std::uint8_t> slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

zrender::MidiFile parseFile(const std::string& path) {
  std::vector<std::uint8_t> bytes = slurp(path);
  std::string error;
  auto f = zrender::parseMidiFile(bytes.data(), bytes.size(), error);
  EXPECT_TRUE(f.has_value()) << path << ": " << error;
  return f.value_or(zrender::MidiFile{});
}

}  // namespace

TEST(DemoPhrase, CommittedFilesMatchTheGenerator) {
  const std::string dir = ::testing::TempDir() + "demo_phrase";
  std::string command = "mkdir -p '" + dir + "' && '" DEMO_GENERATOR_PATH "' '" + dir + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const char* name : {"phrase.mid", "melody.mid", "bass.mid"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(slurp(dir + "/" + name), slurp(std::string(DEMO_DIR) + "/" + name))
        << "regenerate with: zynka-demo-phrase resources/demo";
  }
}

TEST(DemoPhrase, HoldsChordsMelodyPedalBendAndBass) {
  zrender::MidiFile phrase = parseFile(std::string(DEMO_DIR) + "/phrase.mid");
  EXPECT_EQ(phrase.format, 1);
  const double seconds = zrender::TempoMap(phrase).secondsAt(phrase.endTick);
  EXPECT_GT(seconds, 8.0);
  EXPECT_LT(seconds, 10.0);
  int pedal = 0, bends = 0, noteOns = 0, zeroVelocity = 0;
  for (const auto& e : phrase.events) {
    const int kind = e.bytes[0] & 0xF0;
    if (kind == 0xB0 && e.bytes[1] == 64) ++pedal;
    if (kind == 0xE0) ++bends;
    if (kind == 0x90 && e.bytes[2] > 0) ++noteOns;
    if (kind == 0x90 && e.bytes[2] == 0) ++zeroVelocity;
  }
  EXPECT_GE(pedal, 6);
  EXPECT_GE(bends, 5);
  EXPECT_GT(noteOns, 30);
  EXPECT_EQ(zeroVelocity, noteOns);
  EXPECT_GE(phrase.tempos.size(), 2u);

  zrender::MidiFile bass = parseFile(std::string(DEMO_DIR) + "/bass.mid");
  for (const auto& e : bass.events)
    if ((e.bytes[0] & 0xF0) == 0x90) {
      // Two octaves above the sounding bass: the bass programs play two octaves down.
      EXPECT_GE(e.bytes[1], 55);
      EXPECT_LE(e.bytes[1], 72);
    }
}
