// Plays a song through a plug-in block by block, as a host's transport does: each
// block's MIDI events handed over at their own sample frames, then the block processed.
// zynka-render and zynka-render-dump both render through it.
#pragma once

#include <cstdint>
#include <vector>

#include "host/aeffect.h"
#include "tools/zynka-render/session.h"
#include "tools/zynka-render/smf.h"

namespace zrender {

/// Sample is float (processReplacing, or the legacy accumulating process) or double
/// (processDoubleReplacing, which the caller has seen the plug-in offer).
template <typename Sample>
class Player {
 public:
  /// Schedules the song at the session's sample rate, with room for blocks of the session's
  /// block size and for the events of the busiest one, allocated once.
  Player(Session& session, const MidiFile& song);

  /// The frame of the song's end: its last event or the end of its longest track.
  std::int64_t endFrame() const { return endFrame_; }
  /// The frame the next block starts at.
  std::int64_t position() const { return position_; }
  /// Back to the song's start; the plug-in keeps its state.
  void rewind();
  /// One buffer per output channel, a block long, holding what the last block rendered.
  Sample* const* outputs() const { return outputs_.data(); }
  /// Hands over the events of the next `frames` frames (at most a block), then processes them.
  void play(int frames);

 private:
  struct ScheduledEvent {
    std::int64_t frame;
    VstMidiEvent event;
  };
  void handEvents(int frames);
  void process(int frames);

  hostkit::Host& host_;
  AEffect* effect_;
  std::vector<ScheduledEvent> schedule_;  // every channel message at its frame, in file order
  std::int64_t endFrame_ = 0;
  std::vector<VstIntPtr> eventList_;  // a VstEvents with room for the busiest block
  std::vector<Sample> outputStorage_;
  std::vector<Sample> inputStorage_;  // silence
  std::vector<Sample*> outputs_;
  std::vector<Sample*> inputs_;
  std::size_t next_ = 0;
  std::int64_t position_ = 0;
};

extern template class Player<float>;
extern template class Player<double>;

}  // namespace zrender
