// Standard MIDI File reading: formats 0 and 1, metrical or SMPTE time, merged into
// one list of channel messages with a tempo map that turns ticks into sample frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zrender {

/// One channel message (status 0x80 to 0xEF) at its absolute tick.
struct MidiEvent {
  std::uint64_t tick;
  std::uint8_t bytes[3];  // status, data 1, data 2 (0 for one-data-byte messages)
  std::uint8_t size;      // 2 or 3
  int track;
};

/// A set-tempo meta event: from tick on, a quarter note lasts microsecondsPerQuarter.
struct TempoChange {
  std::uint64_t tick;
  std::uint32_t microsecondsPerQuarter;
};

/// A parsed Standard MIDI File with its tracks merged.
struct MidiFile {
  int format = 0;
  int numTracks = 0;
  int ticksPerQuarter = 0;     // metrical time; 0 for SMPTE time
  double smpteTicksPerSecond = 0;  // SMPTE time; 0 for metrical time
  std::vector<MidiEvent> events;    // sorted by tick, then track, then order in the track
  std::vector<TempoChange> tempos;  // sorted by tick (metrical time only)
  std::uint64_t endTick = 0;        // the latest event or end-of-track of any track
};

/// Parses an SMF; nullopt and a one-line reason when the bytes are not a file we can play.
std::optional<MidiFile> parseMidiFile(const std::uint8_t* data, std::size_t size,
                                      std::string& error);

/// Reads and parses the file at this UTF-8 path; nullopt and a one-line error naming it when
/// it cannot be read or played.
std::optional<MidiFile> readMidiFile(const std::string& path, std::string& error);

/// Turns ticks into seconds through the file's tempo changes (120 BPM until the first).
class TempoMap {
 public:
  explicit TempoMap(const MidiFile& file);
  /// The time of a tick in seconds from the start.
  double secondsAt(std::uint64_t tick) const;
  /// The first sample frame at or after the tick's time, at this sample rate (rounded to nearest).
  std::int64_t frameAt(std::uint64_t tick, double sampleRate) const;

 private:
  struct Segment {
    std::uint64_t tick;
    double seconds;
    double secondsPerTick;
  };
  std::vector<Segment> segments_;
};

}  // namespace zrender
