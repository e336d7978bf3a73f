// Proves the Standard MIDI File reader on hand-made byte arrays: both formats, running
// status, merging, tempo changes to the sample, SMPTE time, what is skipped, and that
// broken files give an error, never a crash (with a randomized mutation loop).
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "tools/zynka-render/smf.h"

using zrender::MidiFile;
using zrender::parseMidiFile;
using zrender::TempoMap;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes header(int format, int tracks, std::uint16_t division) {
  return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, static_cast<std::uint8_t>(format),
          static_cast<std::uint8_t>(tracks >> 8), static_cast<std::uint8_t>(tracks),
          static_cast<std::uint8_t>(division >> 8), static_cast<std::uint8_t>(division)};
}

Bytes track(const Bytes& body) {
  Bytes out{'M', 'T', 'r', 'k', 0, 0, static_cast<std::uint8_t>(body.size() >> 8),
            static_cast<std::uint8_t>(body.size())};
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

Bytes join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

std::optional<MidiFile> parse(const Bytes& bytes, std::string& error) {
  return parseMidiFile(bytes.data(), bytes.size(), error);
}

MidiFile mustParse(const Bytes& bytes) {
  std::string error;
  auto file = parse(bytes, error);
  EXPECT_TRUE(file.has_value()) << error;
  return file.value_or(MidiFile{});
}

const Bytes kEnd{0x00, 0xFF, 0x2F, 0x00};

}  // namespace

TEST(Smf, FormatZeroWithRunningStatusAndVelocityZeroNoteOff) {
  Bytes body{0x00, 0x90, 60, 100,    // note on
             0x60, 62, 90,           // running status: another note on, 96 ticks later
             0x60, 60, 0,            // running status note-on velocity 0: a note-off
             0x81, 0x00, 0xB0, 64, 127,  // delta 128 (two-byte VLQ), sustain pedal
             0x00, 0xC0, 5,          // program change: one data byte
             0x00, 0xE0, 0x00, 0x40};  // pitch bend centre
  body.insert(body.end(), kEnd.begin(), kEnd.end());
  MidiFile f = mustParse(join({header(0, 1, 96), track(body)}));
  EXPECT_EQ(f.format, 0);
  EXPECT_EQ(f.ticksPerQuarter, 96);
  ASSERT_EQ(f.events.size(), 6u);
  EXPECT_EQ(f.events[1].tick, 96u);
  EXPECT_EQ(f.events[1].bytes[0], 0x90);
  EXPECT_EQ(f.events[1].bytes[1], 62);
  EXPECT_EQ(f.events[2].tick, 192u);
  EXPECT_EQ(f.events[2].bytes[0], 0x90);  // passed on as it came: velocity 0
  EXPECT_EQ(f.events[2].bytes[2], 0);
  EXPECT_EQ(f.events[3].tick, 320u);
  EXPECT_EQ(f.events[3].bytes[0], 0xB0);
  EXPECT_EQ(f.events[4].size, 2);
  EXPECT_EQ(f.events[4].bytes[1], 5);
  EXPECT_EQ(f.events[5].size, 3);
  EXPECT_EQ(f.endTick, 320u);
}

TEST(Smf, FormatOneMergesByTickThenTrack) {
  Bytes t0{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // tempo at 0
           0x00, 0x90, 1, 1, 0x64, 0x90, 4, 1};      // ticks 0, 100
  t0.insert(t0.end(), kEnd.begin(), kEnd.end());
  Bytes t1{0x00, 0x91, 2, 1, 0x32, 3, 1, 0x32, 5, 1, 0x83, 0x60, 0xFF, 0x2F, 0x00};  // 0, 50, 100; end 580
  MidiFile f = mustParse(join({header(1, 2, 480), track(t0), track(t1)}));
  ASSERT_EQ(f.events.size(), 5u);
  int order[5];
  for (int i = 0; i < 5; ++i) order[i] = f.events[i].bytes[1];
  EXPECT_EQ(std::vector<int>(order, order + 5), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(f.events[1].track, 1);
  EXPECT_EQ(f.endTick, 580u);  // the end-of-track tick counts toward the song's end
  ASSERT_EQ(f.tempos.size(), 1u);
  EXPECT_EQ(f.tempos[0].microsecondsPerQuarter, 500000u);
}

TEST(Smf, TempoChangesApplyAcrossTracksToTheSample) {
  // 96 ticks per quarter; 120 BPM (a tick is 250 frames at 48 kHz), then from tick 96
  // in the conductor track 240 BPM (125 frames per tick).
  Bytes t0{0x60, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90};
  t0.insert(t0.end(), kEnd.begin(), kEnd.end());
  Bytes t1{0x30, 0x90, 60, 100,         // tick 48: before the change
           0x81, 0x10, 0x80, 60, 0,     // tick 192: 96 ticks after it
           0x00, 0xFF, 0x2F, 0x00};
  MidiFile f = mustParse(join({header(1, 2, 96), track(t0), track(t1)}));
  TempoMap map(f);
  ASSERT_EQ(f.events.size(), 2u);
  EXPECT_EQ(map.frameAt(f.events[0].tick, 48000), 12000);
  EXPECT_EQ(map.frameAt(96, 48000), 24000);
  EXPECT_EQ(map.frameAt(f.events[1].tick, 48000), 36000);
  EXPECT_DOUBLE_EQ(map.secondsAt(192), 0.75);
  EXPECT_EQ(map.frameAt(f.events[1].tick, 44100), 33075);
}

TEST(Smf, TempoAtTickZeroReplacesTheDefaultAndLaterOneWins) {
  Bytes t0{0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,   // 1 s per quarter
           0x00, 0xFF, 0x51, 0x03, 0x1E, 0x84, 0x80,   // then 2 s, same tick: this one wins
           0x83, 0x60, 0x90, 60, 1};                   // tick 480
  t0.insert(t0.end(), kEnd.begin(), kEnd.end());
  MidiFile f = mustParse(join({header(0, 1, 480), track(t0)}));
  EXPECT_DOUBLE_EQ(TempoMap(f).secondsAt(480), 2.0);
}

TEST(Smf, SmpteTimeIgnoresTempo) {
  // 25 frames per second, 40 ticks per frame: 1000 ticks per second.
  Bytes t0{0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, 0x83, 0x74, 0x90, 60, 1};  // tick 500
  t0.insert(t0.end(), kEnd.begin(), kEnd.end());
  MidiFile f = mustParse(join({header(0, 1, static_cast<std::uint16_t>((0xE7 << 8) | 40)), track(t0)}));
  EXPECT_EQ(f.ticksPerQuarter, 0);
  EXPECT_DOUBLE_EQ(f.smpteTicksPerSecond, 1000.0);
  EXPECT_EQ(TempoMap(f).frameAt(500, 44100), 22050);
}

TEST(Smf, SkipsMetaSysexUnknownChunksAndWhatFollowsEndOfTrack) {
  Bytes body{0x00, 0xFF, 0x03, 0x04, 'N', 'a', 'm', 'e',     // track name
             0x00, 0xF0, 0x03, 0x7E, 0x7F, 0xF7,             // sysex
             0x00, 0xF7, 0x02, 0x01, 0x02,                   // escaped sysex
             0x00, 0x90, 60, 100,
             0x00, 0xFF, 0x7F, 0x00,                          // sequencer-specific, empty
             0x10, 60, 0,                                     // running status survives the metas
             0x00, 0xFF, 0x2F, 0x00,
             0x00, 0x90, 61, 100};                            // after the end: ignored
  Bytes alien{'X', 'Y', 'Z', 'W', 0, 0, 0, 3, 1, 2, 3};
  MidiFile f = mustParse(join({header(0, 1, 96), alien, track(body)}));
  ASSERT_EQ(f.events.size(), 2u);
  EXPECT_EQ(f.events[1].tick, 16u);
  EXPECT_EQ(f.events[1].bytes[1], 60);
}

TEST(Smf, BrokenFilesAreRefusedWithAReason) {
  Bytes good{0x00, 0x90, 60, 100};
  good.insert(good.end(), kEnd.begin(), kEnd.end());
  struct Case {
    const char* what;
    Bytes bytes;
    const char* reason;
  };
  Bytes header3{'M', 'T', 'h', 'd', 0, 0, 0, 3, 0, 0, 0, 1, 0, 96};
  Bytes tooLong = join({header(0, 1, 96), track(good)});
  tooLong[21] = 0x40;  // chunk length far beyond the file
  const Case cases[] = {
      {"empty", {}, "MThd"},
      {"text", Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!', '!', '!'}, "MThd"},
      {"short header", header3, "header length"},
      {"format 2", join({header(2, 1, 96), track(good)}), "format 2"},
      {"no tracks", header(0, 0, 96), "tracks"},
      {"division 0", join({header(0, 1, 0), track(good)}), "0 ticks"},
      {"bad SMPTE rate", join({header(0, 1, 0xE6 << 8 | 4), track(good)}), "SMPTE"},
      {"missing track", join({header(1, 2, 96), track(good)}), "track 2 of 2"},
      {"chunk past end", tooLong, "past the end"},
      {"data without status", join({header(0, 1, 96), track({0x00, 60, 100})}), "without a status"},
      {"five-byte delta", join({header(0, 1, 96), track({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 1, 1})}), "delta"},
      {"meta past track", join({header(0, 1, 96), track({0x00, 0xFF, 0x01, 0x7F, 'a'})}), "meta"},
      {"sysex past track", join({header(0, 1, 96), track({0x00, 0xF0, 0x8F, 0x7F})}), "exclusive"},
      {"system common", join({header(0, 1, 96), track({0x00, 0xF3, 0x01})}), "0xF3"},
      {"status as data", join({header(0, 1, 96), track({0x00, 0x90, 60, 0x91})}), "data byte"},
      {"cut message", join({header(0, 1, 96), track({0x00, 0x90, 60})}), "truncated"},
      {"short tempo", join({header(0, 1, 96), track({0x00, 0xFF, 0x51, 0x02, 1, 2})}), "tempo"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(parse(c.bytes, error).has_value()) << c.what;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
  }
}

TEST(Smf, MutatedFilesNeverCrashAndParsedOnesAreSound) {
  // Seeds: a hand-made two-track file and the demo phrase.
  Bytes t0{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xF0, 0x02, 0x01, 0xF7,
           0x10, 0x90, 60, 100, 0x10, 60, 0, 0x00, 0xE0, 0, 64};
  t0.insert(t0.end(), kEnd.begin(), kEnd.end());
  std::vector<Bytes> seeds{join({header(1, 2, 96), track(t0), track(t0)})};
  std::ifstream demo(DEMO_PHRASE_PATH, std::ios::binary);
  seeds.emplace_back(std::istreambuf_iterator<char>(demo), std::istreambuf_iterator<char>());
  ASSERT_GT(seeds.back().size(), 100u);

  std::mt19937 rng(20240611);
  int parsed = 0;
  for (int round = 0; round < 20000; ++round) {
    Bytes b = seeds[round % seeds.size()];
    const int mutations = 1 + static_cast<int>(rng() % 6);
    for (int m = 0; m < mutations && !b.empty(); ++m) {
      std::size_t at = rng() % b.size();
      switch (rng() % 5) {
        case 0: b[at] = static_cast<std::uint8_t>(rng()); break;
        case 1: b[at] ^= static_cast<std::uint8_t>(1u << (rng() % 8)); break;
        case 2: b.resize(at); break;
        case 3: b.insert(b.begin() + static_cast<std::ptrdiff_t>(at), static_cast<std::uint8_t>(rng())); break;
        case 4: b[at] = (rng() & 1) ? 0xFF : 0x80; break;
      }
    }
    std::string error;
    auto f = parse(b, error);
    if (!f) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    ++parsed;
    std::uint64_t last = 0;
    for (const auto& e : f->events) {
      ASSERT_GE(e.tick, last);
      last = e.tick;
      ASSERT_TRUE(e.bytes[0] >= 0x80 && e.bytes[0] <= 0xEF);
      ASSERT_TRUE(e.bytes[1] < 0x80 && e.bytes[2] < 0x80);
      ASSERT_TRUE(e.size == 2 || e.size == 3);
      ASSERT_LE(e.tick, f->endTick);
    }
    TempoMap map(*f);
    ASSERT_LE(map.secondsAt(0), map.secondsAt(f->endTick));
  }
  EXPECT_GT(parsed, 100);  // the loop reached the track parser, not just the header check
}
