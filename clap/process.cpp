// process: the host's events drive the plug-in exactly as a VST2 host's would. The block is
// cut into sub-blocks at the events that act between samples (parameter values, chokes, a
// release by note id); the note and MIDI events of a sub-block go to the plug-in as one
// event list with offsets from its start, then the sub-block is rendered. Without such events
// a block is one event list and one render call, as from a VST2 host, so the samples are the
// VST2 build's bit for bit. A parameter that only notes read (all but Vib Rate, Vib Amt, Wave,
// Thru and Volume) splits nothing when no note event comes before it in the sub-block: it acts
// from the sub-block's start, which no sample can tell from its own time. A sub-block holds at most the 40 note events the plug-in queues
// per list; more are handed over in further lists from the sample where the 41st falls.
// Nothing here allocates, locks or waits.
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "clap/adaptor.h"
#include "engine/plugin.h"

namespace zynka::clap_adaptor {

namespace {

enum class Role {
  kIgnored,
  kGroup,     // a note or MIDI event for the plug-in's event list
  kBoundary,  // acts between two samples: parameter value, choke, release by note id
};

template <typename Event>
const Event* as(const clap_event_header_t* event) {
  return event->size >= sizeof(Event) ? reinterpret_cast<const Event*>(event) : nullptr;
}

bool validNoteOn(const clap_event_note_t& note) {
  return note.port_index >= 0 && note.channel >= 0 && note.channel <= 15 && note.key >= 0 && note.key <= 127;
}

Role roleOf(const clap_event_header_t* event) {
  if (!event || event->space_id != CLAP_CORE_EVENT_SPACE_ID) return Role::kIgnored;
  switch (event->type) {
    case CLAP_EVENT_NOTE_ON: {
      const auto* note = as<clap_event_note_t>(event);
      return note && validNoteOn(*note) ? Role::kGroup : Role::kIgnored;
    }
    case CLAP_EVENT_NOTE_OFF: {
      const auto* note = as<clap_event_note_t>(event);
      if (!note || note->key > 127 || note->channel > 15) return Role::kIgnored;
      // A key names the voices itself; without one, the voices that play the note id are found.
      return note->key >= 0 ? Role::kGroup : Role::kBoundary;
    }
    case CLAP_EVENT_NOTE_CHOKE: return as<clap_event_note_t>(event) ? Role::kBoundary : Role::kIgnored;
    case CLAP_EVENT_PARAM_VALUE: return as<clap_event_param_value_t>(event) ? Role::kBoundary : Role::kIgnored;
    case CLAP_EVENT_MIDI: return as<clap_event_midi_t>(event) ? Role::kGroup : Role::kIgnored;
    default: return Role::kIgnored;  // expressions, modulation, transport, SysEx, MIDI 2
  }
}

/// A parameter value the render loop does not read between note events: it matters only
/// to notes that start or are released after it.
bool actsOnlyOnNotes(const clap_event_header_t* event) {
  if (event->type != CLAP_EVENT_PARAM_VALUE) return false;
  const auto* value = as<clap_event_param_value_t>(event);
  return value && value->param_id < static_cast<clap_id>(kNumParams) &&
         !Plugin::isReadWhileRendering(static_cast<int>(value->param_id));
}

/// The MIDI bytes of a group event, and the note it starts, if it starts one.
void toMidi(const clap_event_header_t* event, VstMidiEvent& midi, NoteIdentity& note, bool& startsNote) {
  unsigned char data[3] = {};
  startsNote = false;
  if (event->type == CLAP_EVENT_MIDI) {
    const auto* e = as<clap_event_midi_t>(event);
    data[0] = e->data[0];
    data[1] = e->data[1];
    data[2] = e->data[2];
    // As the plug-in reads them: a note-on with a velocity other than 0 starts a voice.
    startsNote = (data[0] & 0xF0) == 0x90 && (data[2] & 0x7F) != 0;
    note = {-1, static_cast<std::int16_t>(std::min<int>(e->port_index, INT16_MAX)),
            static_cast<std::int16_t>(data[0] & 0x0F), static_cast<std::int16_t>(data[1] & 0x7F)};
  } else {
    const auto* e = as<clap_event_note_t>(event);
    const int channel = std::max<int>(e->channel, 0);
    if (event->type == CLAP_EVENT_NOTE_ON) {
      data[0] = static_cast<unsigned char>(0x90 | channel);
      data[2] = static_cast<unsigned char>(midiVelocity(e->velocity));
      startsNote = true;
    } else {
      data[0] = static_cast<unsigned char>(0x80 | channel);
    }
    data[1] = static_cast<unsigned char>(e->key);
    note = {e->note_id, e->port_index, e->channel, e->key};
  }
  midi = VstMidiEvent{};
  midi.type = kVstMidiType;
  midi.byteSize = sizeof(VstMidiEvent);
  for (int i = 0; i < 3; ++i) midi.midiData[i] = static_cast<char>(data[i]);
}

/// Whether the plug-in's event list queues this message for its render loop (note on and
/// off, the sustain pedal's release), where at most 40 fit; others act when the list arrives.
bool queuesNoteEvent(const VstMidiEvent& midi) {
  const auto status = static_cast<unsigned char>(midi.midiData[0]) & 0xF0;
  if (status == 0x80 || status == 0x90) return true;
  return status == 0xB0 && midi.midiData[1] == 64 && (midi.midiData[2] & 0x40) == 0;
}

bool matches(const NoteIdentity& note, const clap_event_note_t& event) {
  return (event.port_index < 0 || event.port_index == note.port) &&
         (event.channel < 0 || event.channel == note.channel) && (event.key < 0 || event.key == note.key) &&
         (event.note_id < 0 || event.note_id == note.noteId);
}

void pushNoteEnd(const NoteIdentity& note, std::uint32_t time, const clap_output_events_t* out) {
  if (!out) return;
  clap_event_note_t end{};
  end.header = {sizeof end, time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_NOTE_END, 0};
  end.note_id = note.noteId;
  end.port_index = note.port;
  end.channel = note.channel;
  end.key = note.key;
  out->try_push(out, &end.header);
}

template <typename Sample>
void renderInto(Plugin& synth, Sample** channels, std::uint32_t channelCount, std::uint32_t start,
                std::uint32_t frames) {
  Sample* pair[2] = {channelCount > 0 && channels[0] ? channels[0] + start : nullptr,
                     channelCount > 1 && channels[1] ? channels[1] + start : nullptr};
  if constexpr (sizeof(Sample) == sizeof(double)) {
    synth.processDoubleReplacing(nullptr, pair, static_cast<VstInt32>(frames));
  } else {
    synth.processReplacing(nullptr, pair, static_cast<VstInt32>(frames));
  }
  // Channels beyond the two the plug-in has stay silent.
  for (std::uint32_t c = 2; c < channelCount; ++c)
    if (channels[c]) std::fill(channels[c] + start, channels[c] + start + frames, Sample(0));
}

}  // namespace

float toFloat(double value) {
  if (std::isfinite(value)) value = std::clamp(value, -double{FLT_MAX}, double{FLT_MAX});
  return static_cast<float>(value);
}

clap_process_status Adaptor::process(const clap_process_t* p) {
  if (!synth || !p) return CLAP_PROCESS_ERROR;
  sleeping.store(false);
  applyPendingLoad();
  const clap_output_events_t* out = p->out_events && p->out_events->try_push ? p->out_events : nullptr;
  takeGestures(out);

  const std::uint32_t frames = p->frames_count;
  const std::uint32_t last = frames > 0 ? frames - 1 : 0;
  clap_audio_buffer_t* output = p->audio_outputs_count > 0 ? p->audio_outputs : nullptr;
  const clap_input_events_t* in = p->in_events && p->in_events->size && p->in_events->get ? p->in_events : nullptr;
  const std::uint32_t count = in ? in->size(in) : 0;

  std::uint32_t next = 0;   // the next event of the host's list to look at
  std::uint32_t start = 0;  // the first sample not rendered yet
  bool valuesApplied = false;
  for (;;) {
    // A group: the note and MIDI events from `next` on, until a boundary event, the 41st queued
    // note event, a full list, or the end of the host's list. Times as used: inside the block
    // and never decreasing.
    std::uint32_t n = 0, queued = 0, time = start, i = next, stop = frames;
    bool boundary = false;
    for (; i < count; ++i) {
      const clap_event_header_t* event = in->get(in, i);
      const Role role = roleOf(event);
      if (role == Role::kIgnored) continue;
      time = std::max(time, std::min(event->time, last));
      if (role == Role::kBoundary && n == 0 && actsOnlyOnNotes(event)) {
        // Nothing rendered before the next note event reads this value: it acts from the
        // sub-block's start as it would from its own sample, and the voice loop runs on.
        applyParameterEvent(event);
        valuesApplied = true;
        continue;
      }
      if (role == Role::kBoundary) {
        stop = time;
        boundary = true;
        break;
      }
      if (n == kGroupEvents) {
        stop = time;
        break;
      }
      toMidi(event, groupMidi[n], groupNotes[n], groupStartsNote[n]);
      const bool queues = queuesNoteEvent(groupMidi[n]);
      if (queues && queued == static_cast<std::uint32_t>(kMaxQueuedNoteEvents)) {
        stop = time;
        break;
      }
      groupTimes[n] = time;
      groupSources[n] = i;
      queued += queues ? 1 : 0;
      ++n;
    }

    if (stop > start) {
      // Events at the stopping sample itself belong to the next group.
      std::uint32_t keep = n;
      while (keep > 0 && groupTimes[keep - 1] >= stop) --keep;
      next = keep < n ? groupSources[keep] : i;
      const unsigned base = synth->getEngineState().notesStarted;
      handOverGroup(keep, start);
      renderRange(start, stop - start, output);
      trackVoices(base, keep, stop - 1, out);
      start = stop;
      continue;
    }

    // Everything taken lies on sample `start`: the group's notes act there, then the boundary.
    if (n > 0) {
      const unsigned base = synth->getEngineState().notesStarted;
      handOverGroup(n, start);
      runQueuedNotesNow();
      trackVoices(base, n, std::min(start, last), out);
    }
    next = i;
    if (boundary) {
      const clap_event_header_t* event = in->get(in, i);
      valuesApplied = valuesApplied || event->type == CLAP_EVENT_PARAM_VALUE;
      applyBoundaryEvent(event);
      next = i + 1;
    } else if (n == 0) {
      break;  // the whole block is rendered and every event taken
    }
  }

  if (output) output->constant_mask = 0;
  // An editor without a timer shows new values and the voice count at a main-thread call.
  const int voices = synth->getActiveVoiceCount();
  if (idleOnCallbacks.load() && (valuesApplied || voices != shownVoiceCount) && host->request_callback)
    host->request_callback(host);
  shownVoiceCount = voices;
  const bool quiet = voices == 0;
  sleeping.store(quiet);
  return quiet ? CLAP_PROCESS_SLEEP : CLAP_PROCESS_CONTINUE;
}

void Adaptor::handOverGroup(std::uint32_t count, std::uint32_t start) {
  for (std::uint32_t j = 0; j < count; ++j) groupMidi[j].deltaFrames = static_cast<VstInt32>(groupTimes[j] - start);
  groupList.numEvents = static_cast<VstInt32>(count);
  static_assert(offsetof(GroupList, reserved) == offsetof(VstEvents, reserved) &&
                offsetof(GroupList, events) == offsetof(VstEvents, events));
  synth->processEvents(reinterpret_cast<VstEvents*>(&groupList));
}

void Adaptor::runQueuedNotesNow() {
  // What the render loop does with notes queued at offset 0, without a sample rendered.
  const int* queue = synth->getEngineState().eventQueue;
  for (int p = 0; p < kEventQueueLimit && queue[p] != kEventQueueEnd; p += 3)
    synth->noteOnOff(queue[p + 1], queue[p + 2]);
  synth->processEvents(nullptr);  // an empty list empties the queue
}

void Adaptor::renderRange(std::uint32_t start, std::uint32_t frames, const clap_audio_buffer_t* output) {
  if (output && output->data64)
    renderInto(*synth, output->data64, output->channel_count, start, frames);
  else if (output && output->data32)
    renderInto(*synth, output->data32, output->channel_count, start, frames);
  else
    renderInto<float>(*synth, nullptr, 0, start, frames);  // the notes still play on
}

void Adaptor::applyBoundaryEvent(const clap_event_header_t* event) {
  if (event->type == CLAP_EVENT_PARAM_VALUE)
    applyParameterEvent(event);
  else if (const auto* note = as<clap_event_note_t>(event))
    releaseOrChoke(*note, event->type == CLAP_EVENT_NOTE_CHOKE);
}

void Adaptor::releaseOrChoke(const clap_event_note_t& event, bool choke) {
  for (int v = 0; v < kNumVoices; ++v) {
    if (!tracked[v].sounding || !matches(tracked[v].note, event)) continue;
    if (choke)
      synth->silenceVoice(v);
    else
      synth->noteOnOff(tracked[v].note.key, 0);  // as a note-off of its key would
  }
}

void Adaptor::applyParameterEvent(const clap_event_header_t* event) {
  const auto* value = as<clap_event_param_value_t>(event);
  if (value && value->param_id < static_cast<clap_id>(kNumParams))
    synth->setParameter(static_cast<VstInt32>(value->param_id), toFloat(value->value));
}

void Adaptor::trackVoices(unsigned base, std::uint32_t count, std::uint32_t time, const clap_output_events_t* out) {
  std::uint32_t starts = 0;
  for (std::uint32_t j = 0; j < count; ++j)
    if (groupStartsNote[j]) {
      startPositions[starts] = j;
      startFound[starts++] = false;
    }
  const EngineState& state = synth->getEngineState();
  for (int v = 0; v < kNumVoices; ++v) {
    TrackedVoice& voice = tracked[v];
    if (state.voiceStarts[v] != voice.start) {
      // Another note took the voice (stolen, or it had ended and was chosen again).
      if (voice.sounding) pushNoteEnd(voice.note, time, out);
      voice.start = state.voiceStarts[v];
      const unsigned k = voice.start - base - 1;  // the group's k-th note started it
      voice.sounding = k < starts;
      if (voice.sounding) {
        voice.note = groupNotes[startPositions[k]];
        startFound[k] = true;
      }
    }
    // Retired (or silenced): below the silence threshold the plug-in counts it as ended.
    if (voice.sounding && state.voices[v].ampTarget < kSilenceThreshold) {
      pushNoteEnd(voice.note, time, out);
      voice.sounding = false;
    }
  }
  // Started and taken by a later note of the same group.
  for (std::uint32_t k = 0; k < starts; ++k)
    if (!startFound[k]) pushNoteEnd(groupNotes[startPositions[k]], time, out);
}

void Adaptor::takeGestures(const clap_output_events_t* out) {
  auto valueEvent = [](std::uint32_t param, double v) {
    clap_event_param_value_t value{};
    value.header = {sizeof value, 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, CLAP_EVENT_IS_LIVE};
    value.param_id = param;
    value.note_id = -1;
    value.port_index = value.channel = value.key = -1;
    value.value = v;
    return value;
  };
  Gesture gesture;
  while (gestures.peek(gesture)) {
    bool sent = false;
    if (gesture.kind == Gesture::kValue) {
      synth->setParameter(static_cast<VstInt32>(gesture.param), static_cast<float>(gesture.value));
      const clap_event_param_value_t value = valueEvent(gesture.param, gesture.value);
      sent = out && out->try_push(out, &value.header);
    } else {
      clap_event_param_gesture_t bracket{};
      const std::uint16_t type =
          gesture.kind == Gesture::kBegin ? CLAP_EVENT_PARAM_GESTURE_BEGIN : CLAP_EVENT_PARAM_GESTURE_END;
      bracket.header = {sizeof bracket, 0, CLAP_CORE_EVENT_SPACE_ID, type, 0};
      bracket.param_id = gesture.param;
      sent = out && out->try_push(out, &bracket.header);
    }
    if (!sent) return;  // the host's queue is full: the rest waits for the next call
    gestures.pop();
  }
  // The latest values of parameters the full ring could not take.
  std::uint32_t missed = missedValues.exchange(0);
  for (int index = 0; missed; ++index, missed >>= 1) {
    if (!(missed & 1u)) continue;
    const float v = missedValue[index].load();
    synth->setParameter(index, v);
    const clap_event_param_value_t value = valueEvent(static_cast<std::uint32_t>(index), v);
    if (!out || !out->try_push(out, &value.header)) missedValues.fetch_or(1u << index);
  }
}

}  // namespace zynka::clap_adaptor
