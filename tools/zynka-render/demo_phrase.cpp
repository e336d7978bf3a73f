// Writes the demo's MIDI phrase: four bars in C at 108 BPM with a slight slowing at
// the end, as three format-1 Standard MIDI Files in the folder given:
//   phrase.mid  chords (with sustain pedal) and the melody (with a pitch-bend scoop)
//   melody.mid  the melody alone, an octave lower, for lead sounds (the trumpet and
//               violin programs sound an octave above the keys)
//   bass.mid    the bass line, written two octaves up (the bass programs sound two
//               octaves below the keys, so it is heard from G1 to C3)
// The files in resources/demo/ were written by this program; a test checks that they
// still match it byte for byte.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kTicksPerQuarter = 480;

struct Note {
  double beat;
  double length;
  int key;
  int velocity;
};

struct Event {
  std::uint32_t tick;
  int order;  // at the same tick: controllers and bends (0), note-offs (1), note-ons (2)
  std::vector<std::uint8_t> bytes;
};

std::uint32_t ticks(double beats) { return static_cast<std::uint32_t>(beats * kTicksPerQuarter + 0.5); }

class Track {
 public:
  void add(double beat, int order, std::vector<std::uint8_t> bytes) {
    events_.push_back({ticks(beat), order, std::move(bytes)});
  }
  void notes(int channel, const std::vector<Note>& notes) {
    for (const Note& n : notes) {
      add(n.beat, 2, {static_cast<std::uint8_t>(0x90 | channel), static_cast<std::uint8_t>(n.key),
                      static_cast<std::uint8_t>(n.velocity)});
      // Note-offs as note-on with velocity 0, as many keyboards send them.
      add(n.beat + n.length, 1, {static_cast<std::uint8_t>(0x90 | channel),
                                 static_cast<std::uint8_t>(n.key), 0});
    }
  }
  void controller(int channel, double beat, int number, int value) {
    add(beat, 0, {static_cast<std::uint8_t>(0xB0 | channel), static_cast<std::uint8_t>(number),
                  static_cast<std::uint8_t>(value)});
  }
  void bend(int channel, double beat, int value) {  // value 0..16383, centre 8192
    add(beat, 0, {static_cast<std::uint8_t>(0xE0 | channel), static_cast<std::uint8_t>(value & 0x7F),
                  static_cast<std::uint8_t>(value >> 7)});
  }
  void tempo(double beat, double bpm) {
    std::uint32_t us = static_cast<std::uint32_t>(60000000.0 / bpm + 0.5);
    add(beat, 0, {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(us >> 16),
                  static_cast<std::uint8_t>(us >> 8), static_cast<std::uint8_t>(us)});
  }
  void meta(double beat, std::uint8_t type, const std::string& text) {
    std::vector<std::uint8_t> bytes{0xFF, type, static_cast<std::uint8_t>(text.size())};
    bytes.insert(bytes.end(), text.begin(), text.end());
    add(beat, 0, bytes);
  }

  /// The MTrk chunk, with running status where a status repeats and an end-of-track at endBeat.
  std::vector<std::uint8_t> chunk(double endBeat) const {
    std::vector<Event> sorted = events_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Event& a, const Event& b) {
      return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    std::vector<std::uint8_t> body;
    std::uint32_t now = 0;
    std::uint8_t running = 0;
    for (const Event& e : sorted) {
      vlq(body, e.tick - now);
      now = e.tick;
      std::size_t skip = 0;
      if (e.bytes[0] < 0xF0) {
        if (e.bytes[0] == running) skip = 1;
        running = e.bytes[0];
      }
      body.insert(body.end(), e.bytes.begin() + static_cast<std::ptrdiff_t>(skip), e.bytes.end());
    }
    vlq(body, ticks(endBeat) - now);
    body.insert(body.end(), {0xFF, 0x2F, 0x00});
    std::vector<std::uint8_t> out{'M', 'T', 'r', 'k'};
    be32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
  }

  static void vlq(std::vector<std::uint8_t>& out, std::uint32_t v) {
    std::uint8_t groups[5];
    int n = 0;
    do {
      groups[n++] = v & 0x7F;
      v >>= 7;
    } while (v != 0);
    while (n > 1) out.push_back(groups[--n] | 0x80);
    out.push_back(groups[0]);
  }
  static void be32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
  }

 private:
  std::vector<Event> events_;
};

constexpr double kEndBeat = 16.0;

Track conductor() {
  Track t;
  t.meta(0, 0x03, "ZYNKA demo");
  t.add(0, 0, {0xFF, 0x58, 0x04, 4, 2, 24, 8});  // 4/4
  t.tempo(0, 108);
  t.tempo(14, 96);  // a little broader into the last chord
  t.tempo(15, 84);
  return t;
}

Track chords() {
  Track t;
  t.meta(0, 0x03, "Chords");
  const int channel = 0;
  struct Chord {
    double beat, length;
    std::vector<int> keys;
  };
  const std::vector<Chord> progression = {
      {0, 2, {48, 52, 55, 59}},  {2.5, 1.5, {52, 55, 59, 62}},  // Cmaj7, Em7 colour
      {4, 2, {45, 52, 55, 60}},  {6, 2, {45, 52, 57, 60}},      // Am7
      {8, 2, {50, 53, 57, 60}},  {10, 2, {43, 53, 55, 59}},     // Dm7, G7
      {12, 4, {48, 52, 55, 59, 62}},                           // Cmaj9
  };
  for (const Chord& c : progression) {
    std::vector<Note> notes;
    for (std::size_t i = 0; i < c.keys.size(); ++i)
      notes.push_back({c.beat + 0.02 * static_cast<double>(i), c.length * 0.5, c.keys[i], 62 + 3 * static_cast<int>(i)});
    t.notes(channel, notes);
  }
  // The pedal holds each chord to the next: up just before a change, down just after.
  for (double change : {0.0, 4.0, 8.0, 10.0, 12.0}) {
    if (change > 0) t.controller(channel, change - 0.05, 64, 0);
    t.controller(channel, change + 0.1, 64, 127);
  }
  t.controller(channel, kEndBeat - 0.05, 64, 0);
  return t;
}

std::vector<Note> melodyNotes() {
  return {
      {0, 1, 67, 92},     {1, 0.5, 71, 88},   {1.5, 0.5, 74, 90}, {2, 2, 76, 100},
      {4, 0.5, 76, 96},   {4.5, 0.5, 74, 88}, {5, 1, 72, 92},     {6, 1, 69, 86},
      {7, 1, 72, 90},     {8, 1.5, 74, 96},   {9.5, 0.5, 77, 90}, {10, 1, 79, 102},
      {11, 1, 77, 90},    {12, 3.75, 76, 104},
  };
}

Track melody(int channel, int transpose) {
  Track t;
  t.meta(0, 0x03, "Melody");
  std::vector<Note> notes = melodyNotes();
  for (Note& n : notes) n.key += transpose;
  t.notes(channel, notes);
  // A scoop into the last note: from a semitone below (two-semitone range) up to pitch.
  for (int step = 0; step <= 8; ++step)
    t.bend(channel, 12.0 + step * 0.0625, 8192 - 4096 + step * 512);
  t.bend(channel, kEndBeat - 0.01, 8192);
  return t;
}

Track bass(int channel) {
  Track t;
  t.meta(0, 0x03, "Bass");
  std::vector<Note> notes{
                       {0, 0.9, 36, 110},   {1, 0.45, 36, 90},   {1.5, 0.45, 43, 96},
                       {2, 0.9, 48, 104},   {3, 0.9, 47, 96},    {4, 0.9, 33, 110},
                       {5, 0.9, 45, 96},    {6, 0.9, 40, 100},   {7, 0.9, 43, 96},
                       {8, 0.9, 38, 110},   {9, 0.9, 45, 96},    {10, 0.9, 31, 108},
                       {11, 0.9, 35, 100},  {12, 3.5, 36, 112},
                   };
  for (Note& n : notes) n.key += 24;
  t.notes(channel, notes);
  return t;
}

bool writeFile(const std::string& path, const std::vector<Track>& tracks) {
  std::vector<std::uint8_t> out{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
  out.push_back(0);
  out.push_back(static_cast<std::uint8_t>(tracks.size()));
  out.push_back(kTicksPerQuarter >> 8);
  out.push_back(kTicksPerQuarter & 0xFF);
  for (const Track& t : tracks) {
    std::vector<std::uint8_t> chunk = t.chunk(kEndBeat);
    out.insert(out.end(), chunk.begin(), chunk.end());
  }
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zynka-demo-phrase OUTPUT-FOLDER\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = writeFile(dir + "/phrase.mid", {conductor(), chords(), melody(1, 0)}) &&
            writeFile(dir + "/melody.mid", {conductor(), melody(1, -12)}) &&
            writeFile(dir + "/bass.mid", {conductor(), bass(2)});
  if (!ok) {
    std::fprintf(stderr, "zynka-demo-phrase: cannot write into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
