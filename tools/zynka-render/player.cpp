#include "tools/zynka-render/player.h"

#include <algorithm>
#include <cstddef>
#include <type_traits>

namespace zrender {
namespace {

/// The most events that fall within any span of `frames` frames.
std::size_t busiestSpan(const std::vector<std::int64_t>& frames, std::int64_t span) {
  std::size_t busiest = 0;
  for (std::size_t i = 0, first = 0; i < frames.size(); ++i) {
    while (frames[i] - frames[first] >= span) ++first;
    busiest = std::max(busiest, i - first + 1);
  }
  return busiest;
}

/// Buffers of `frames` samples each, carved from one storage.
template <typename Sample>
std::vector<Sample*> channelsOf(std::vector<Sample>& storage, int channels, int frames) {
  std::vector<Sample*> pointers;
  for (int c = 0; c < channels; ++c) pointers.push_back(storage.data() + static_cast<std::size_t>(c) * frames);
  return pointers;
}

}  // namespace

template <typename Sample>
Player<Sample>::Player(Session& session, const MidiFile& song)
    : host_(session.host()), effect_(session.effect()) {
  const double rate = session.sampleRate();
  const int block = session.blockSize();
  TempoMap tempo(song);
  schedule_.reserve(song.events.size());
  std::vector<std::int64_t> frames;
  for (const MidiEvent& m : song.events) {
    ScheduledEvent s{tempo.frameAt(m.tick, rate), {}};
    s.event.type = kVstMidiType;
    s.event.byteSize = sizeof(VstMidiEvent);
    for (int i = 0; i < 3; ++i) s.event.midiData[i] = static_cast<char>(m.bytes[i]);
    schedule_.push_back(s);
    frames.push_back(s.frame);
  }
  endFrame_ = tempo.frameAt(song.endTick, rate);

  const std::size_t header = offsetof(VstEvents, events) / sizeof(VstIntPtr);
  eventList_.resize(header + std::max<std::size_t>(2, busiestSpan(frames, block)));

  const int outputs = effect_->numOutputs;
  const int inputs = std::max(effect_->numInputs, 1);
  outputStorage_.resize(static_cast<std::size_t>(outputs) * block);
  inputStorage_.resize(static_cast<std::size_t>(inputs) * block);
  outputs_ = channelsOf(outputStorage_, outputs, block);
  inputs_ = channelsOf(inputStorage_, inputs, block);
}

template <typename Sample>
void Player<Sample>::rewind() {
  next_ = 0;
  position_ = 0;
}

template <typename Sample>
void Player<Sample>::play(int frames) {
  handEvents(frames);
  process(frames);
  position_ += frames;
}

template <typename Sample>
void Player<Sample>::handEvents(int frames) {
  auto* list = reinterpret_cast<VstEvents*>(eventList_.data());
  int count = 0;
  for (; next_ < schedule_.size() && schedule_[next_].frame < position_ + frames; ++next_) {
    schedule_[next_].event.deltaFrames = static_cast<VstInt32>(schedule_[next_].frame - position_);
    list->events[count++] = reinterpret_cast<VstEvent*>(&schedule_[next_].event);
  }
  if (count == 0) return;
  list->numEvents = count;
  list->reserved = 0;
  host_.dispatch(effect_, effProcessEvents, 0, 0, list);
}

template <typename Sample>
void Player<Sample>::process(int frames) {
  if constexpr (std::is_same_v<Sample, double>) {
    effect_->processDoubleReplacing(effect_, inputs_.data(), outputs_.data(), frames);
  } else if (effect_->processReplacing != nullptr && (effect_->flags & effFlagsCanReplacing)) {
    effect_->processReplacing(effect_, inputs_.data(), outputs_.data(), frames);
  } else {
    std::fill(outputStorage_.begin(), outputStorage_.end(), 0.0f);  // the legacy call accumulates
    effect_->process(effect_, inputs_.data(), outputs_.data(), frames);
  }
}

template class Player<float>;
template class Player<double>;

}  // namespace zrender
