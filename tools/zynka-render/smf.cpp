#include "tools/zynka-render/smf.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "tools/zynka-render/files.h"

namespace zrender {
namespace {

constexpr std::uint32_t kDefaultTempo = 500000;  // 120 BPM, the SMF default
constexpr int kMaxTracks = 4096;                 // far beyond any real file; bounds the work
constexpr std::size_t kMaxFileBytes = 64u << 20;

/// A bounds-checked reader over the file's bytes; every failure is a sticky error.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::size_t pos() const { return pos_; }
  std::size_t left() const { return size_ - pos_; }
  bool has(std::size_t n) const { return n <= left(); }
  std::uint8_t byte() { return data_[pos_++]; }
  std::uint8_t peek() const { return data_[pos_]; }
  void skip(std::size_t n) { pos_ += n; }
  const std::uint8_t* here() const { return data_ + pos_; }
  std::uint32_t be32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | byte();
    return v;
  }
  std::uint16_t be16() {
    std::uint16_t v = static_cast<std::uint16_t>(byte() << 8);
    return static_cast<std::uint16_t>(v | byte());
  }
  /// A variable-length quantity of at most four bytes (28 bits), as SMF allows.
  bool vlq(std::uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
      if (!has(1)) return false;
      std::uint8_t b = byte();
      value = (value << 7) | (b & 0x7F);
      if ((b & 0x80) == 0) return true;
    }
    return false;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

std::string hex(unsigned v) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s = "0x";
  s += digits[(v >> 4) & 0xF];
  s += digits[v & 0xF];
  return s;
}

bool parseTrack(const std::uint8_t* data, std::size_t size, int track, MidiFile& file,
                std::string& error) {
  Reader in(data, size);
  std::uint64_t tick = 0;
  std::uint8_t running = 0;
  const std::string where = "track " + std::to_string(track + 1);
  while (in.left() > 0) {
    std::uint32_t delta = 0;
    if (!in.vlq(delta)) {
      error = where + ": bad or truncated delta time";
      return false;
    }
    tick += delta;
    file.endTick = std::max(file.endTick, tick);
    if (!in.has(1)) {
      error = where + ": ends after a delta time";
      return false;
    }
    std::uint8_t status = in.peek();
    if (status & 0x80) {
      in.skip(1);
    } else if (running != 0) {
      status = running;  // running status: the byte read next is the first data byte
    } else {
      error = where + ": data byte without a status byte";
      return false;
    }

    if (status == 0xFF) {
      if (!in.has(1)) {
        error = where + ": truncated meta event";
        return false;
      }
      std::uint8_t type = in.byte();
      std::uint32_t length = 0;
      if (!in.vlq(length) || !in.has(length)) {
        error = where + ": meta event longer than its track";
        return false;
      }
      if (type == 0x2F) return true;  // end of track; anything after it is ignored
      if (type == 0x51) {
        if (length != 3) {
          error = where + ": set-tempo event of length " + std::to_string(length);
          return false;
        }
        const std::uint8_t* t = in.here();
        std::uint32_t tempo = (std::uint32_t{t[0]} << 16) | (std::uint32_t{t[1]} << 8) | t[2];
        file.tempos.push_back({tick, tempo});
      }
      in.skip(length);
      continue;
    }
    if (status == 0xF0 || status == 0xF7) {
      std::uint32_t length = 0;
      if (!in.vlq(length) || !in.has(length)) {
        error = where + ": system exclusive event longer than its track";
        return false;
      }
      in.skip(length);  // the plug-in is given channel messages only
      continue;
    }
    if (status >= 0xF0) {
      error = where + ": status byte " + hex(status) + " does not belong in a MIDI file";
      return false;
    }

    running = status;
    const int kind = status & 0xF0;
    const std::uint8_t size3 = (kind == 0xC0 || kind == 0xD0) ? 2 : 3;
    if (!in.has(size3 - 1u)) {
      error = where + ": truncated " + hex(status) + " message";
      return false;
    }
    MidiEvent ev{tick, {status, 0, 0}, size3, track};
    for (int i = 1; i < size3; ++i) {
      std::uint8_t b = in.byte();
      if (b & 0x80) {
        error = where + ": message " + hex(status) + " has status byte " + hex(b) +
                " where a data byte belongs";
        return false;
      }
      ev.bytes[i] = b;
    }
    file.events.push_back(ev);
  }
  return true;  // a track that ends without its end-of-track event is taken as ended
}

}  // namespace

std::optional<MidiFile> parseMidiFile(const std::uint8_t* data, std::size_t size,
                                      std::string& error) {
  Reader in(data, size);
  if (!in.has(14) || std::memcmp(in.here(), "MThd", 4) != 0) {
    error = "not a Standard MIDI File (no MThd header)";
    return std::nullopt;
  }
  in.skip(4);
  std::uint32_t headerLength = in.be32();
  if (headerLength < 6 || !in.has(headerLength)) {
    error = "bad MThd header length " + std::to_string(headerLength);
    return std::nullopt;
  }
  const std::size_t headerEnd = in.pos() + headerLength;
  MidiFile file;
  file.format = in.be16();
  file.numTracks = in.be16();
  std::uint16_t division = in.be16();
  in.skip(headerEnd - in.pos());

  if (file.format > 1) {
    error = "MIDI file format " + std::to_string(file.format) +
            " (independent sequences) is not supported; use format 0 or 1";
    return std::nullopt;
  }
  if (file.numTracks == 0 || file.numTracks > kMaxTracks) {
    error = "MIDI file declares " + std::to_string(file.numTracks) + " tracks";
    return std::nullopt;
  }
  if (division & 0x8000) {
    // SMPTE time: the high byte is minus the frame rate, the low byte ticks per frame.
    int fps = -static_cast<int>(static_cast<std::int8_t>(division >> 8));
    int ticksPerFrame = division & 0xFF;
    double rate = 0;
    switch (fps) {
      case 24: rate = 24; break;
      case 25: rate = 25; break;
      case 29: rate = 30000.0 / 1001.0; break;  // 30 drop-frame
      case 30: rate = 30; break;
      default:
        error = "unknown SMPTE frame rate " + std::to_string(fps);
        return std::nullopt;
    }
    if (ticksPerFrame == 0) {
      error = "SMPTE time with 0 ticks per frame";
      return std::nullopt;
    }
    file.smpteTicksPerSecond = rate * ticksPerFrame;
  } else {
    if (division == 0) {
      error = "MIDI file with 0 ticks per quarter note";
      return std::nullopt;
    }
    file.ticksPerQuarter = division;
  }

  int track = 0;
  while (track < file.numTracks) {
    if (!in.has(8)) {
      error = "file ends before track " + std::to_string(track + 1) + " of " +
              std::to_string(file.numTracks);
      return std::nullopt;
    }
    char type[4];
    std::memcpy(type, in.here(), 4);
    in.skip(4);
    std::uint32_t length = in.be32();
    if (!in.has(length)) {
      error = "chunk of " + std::to_string(length) + " bytes runs past the end of the file (" +
              std::to_string(in.left()) + " bytes left)";
      return std::nullopt;
    }
    if (std::memcmp(type, "MTrk", 4) == 0) {
      if (!parseTrack(in.here(), length, track, file, error)) return std::nullopt;
      ++track;
    }
    in.skip(length);  // chunks of unknown type are skipped, as the format asks
  }

  // Merge: by tick, then track, then position in the track (the sort is stable and the
  // events were appended track by track).
  std::stable_sort(file.events.begin(), file.events.end(),
                   [](const MidiEvent& a, const MidiEvent& b) { return a.tick < b.tick; });
  std::stable_sort(file.tempos.begin(), file.tempos.end(),
                   [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
  if (file.smpteTicksPerSecond > 0) file.tempos.clear();  // tempo has no meaning in SMPTE time
  return file;
}

std::optional<MidiFile> readMidiFile(const std::string& path, std::string& error) {
  std::optional<std::vector<std::uint8_t>> bytes = readFile(path, kMaxFileBytes, "a MIDI file", error);
  if (!bytes) return std::nullopt;
  std::string why;
  std::optional<MidiFile> file = parseMidiFile(bytes->data(), bytes->size(), why);
  if (!file) error = path + ": " + why;
  return file;
}

TempoMap::TempoMap(const MidiFile& file) {
  if (file.smpteTicksPerSecond > 0) {
    segments_.push_back({0, 0.0, 1.0 / file.smpteTicksPerSecond});
    return;
  }
  const double quarter = static_cast<double>(file.ticksPerQuarter);
  segments_.push_back({0, 0.0, kDefaultTempo / 1e6 / quarter});
  for (const TempoChange& t : file.tempos) {
    Segment& last = segments_.back();
    double seconds = last.seconds + static_cast<double>(t.tick - last.tick) * last.secondsPerTick;
    Segment next{t.tick, seconds, t.microsecondsPerQuarter / 1e6 / quarter};
    if (t.tick == last.tick)
      last = next;  // a later change at the same tick wins
    else
      segments_.push_back(next);
  }
}

double TempoMap::secondsAt(std::uint64_t tick) const {
  auto it = std::upper_bound(segments_.begin(), segments_.end(), tick,
                             [](std::uint64_t t, const Segment& s) { return t < s.tick; });
  const Segment& s = *(it - 1);
  return s.seconds + static_cast<double>(tick - s.tick) * s.secondsPerTick;
}

std::int64_t TempoMap::frameAt(std::uint64_t tick, double sampleRate) const {
  return static_cast<std::int64_t>(std::floor(secondsAt(tick) * sampleRate + 0.5));
}

}  // namespace zrender
