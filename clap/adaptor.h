// ZYNKA as a CLAP plug-in: one Adaptor per instance owns one zynka::Plugin and drives it
// through the plug-in's own VST2-style methods, as a VST2 host would, with a host callback
// of its own that turns the editor's gestures and the plug-in's display notices into CLAP
// events and host calls. (The Plugin is made with one override: a value the editor sets goes
// to the adaptor, see editorValue.)
//
// Threads. The host's main thread runs init, activation, parameters' info and texts, state,
// presets, the editor and on_main_thread; the audio thread runs process (and params.flush
// while active). Between them:
// - the editor's gestures go through a fixed ring to process or flush (GestureRing), which set
//   the values on the plug-in and send the host the gesture's events;
// - a state or preset loaded while active is parsed on the main thread and handed to the
//   audio thread whole, which applies it at the start of its next call (pendingState);
// - the plug-in's notice that its values or program changed (audioMasterUpdateDisplay, from
//   either thread) becomes an on_main_thread call, which tells the host to read the values
//   again and the editor to show them.
// What the editor's program commands (program buttons, menu, name) change is shared as the
// plug-in shares it with a VST2 host: plain stores the audio thread picks up at its next block.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "clap/clap_abi.h"
#include "clap/gesture_ring.h"
#include "engine/config.h"
#include "engine/program_state.h"
#include "host/aeffect.h"

namespace zynka {
class Plugin;
class AEffGUIEditor;
}  // namespace zynka

namespace zynka::clap_adaptor {

/// The plug-in's CLAP identity, fixed forever.
inline constexpr const char* kPluginId = "com.tarnwick.zynka";
extern const clap_plugin_descriptor_t kDescriptor;

/// CLAP note velocity (0 to 1) as a MIDI velocity: round(127 * v), at least 1 (a CLAP note-on
/// of velocity 0 is a note, not a release) and at most 127; a velocity that is not a number is 1.
int midiVelocity(double velocity);

/// A host's double as the plug-in's float; a finite value beyond the float range is held at
/// its end (the conversion would be undefined).
float toFloat(double value);

/// The note a voice plays, as the NOTE_ON (or MIDI note-on) that started it named it.
struct NoteIdentity {
  std::int32_t noteId = -1;
  std::int16_t port = -1;
  std::int16_t channel = -1;
  std::int16_t key = -1;
};

class Adaptor {
 public:
  explicit Adaptor(const clap_host_t* host);
  ~Adaptor();
  Adaptor(const Adaptor&) = delete;
  Adaptor& operator=(const Adaptor&) = delete;

  const clap_plugin_t* clapPlugin() const { return &record; }
  static Adaptor* of(const clap_plugin_t* plugin) {
    return plugin ? static_cast<Adaptor*>(plugin->plugin_data) : nullptr;
  }

  // clap_plugin_t (adaptor.cpp, process.cpp)
  bool init();
  bool activate(double sampleRate, std::uint32_t maxFrames);
  void deactivate();
  bool startProcessing();
  void stopProcessing();
  void reset();
  clap_process_status process(const clap_process_t* process);
  void onMainThread();

  // params (params.cpp)
  bool parameterValue(clap_id id, double& value);
  void flush(const clap_input_events_t* in, const clap_output_events_t* out);

  // state and presets (state.cpp)
  bool saveState(const clap_ostream_t* stream);
  bool loadState(const clap_istream_t* stream);
  bool loadPreset(std::uint32_t kind, const char* location, const char* key);

  /// The editor moved or set parameter `index` (its thread): the value goes to the audio thread
  /// and to the host as a gesture event, instead of being set on the editor's thread.
  void editorValue(VstInt32 index, float value) { editorGesture(Gesture::kValue, index, value); }

  // gui (gui.cpp)
  bool guiCreate(const char* api, bool floating);
  void guiDestroy();
  bool guiSize(std::uint32_t& width, std::uint32_t& height);
  bool guiSetParent(const clap_window_t* window);
  bool guiShow();
  bool guiHide();
  void guiPump();
  void onTimer(clap_id id);
  void onFd(int fd);

 private:
  // The plug-in's host callback: the record's `user` field leads back to the adaptor.
  static VstIntPtr pluginCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt);
  void editorGesture(Gesture::Kind kind, VstInt32 index, float value);
  void valuesChanged();
  /// Asks for a process or flush call, so waiting gestures or a pending load get through.
  void requestFlush();

  // process.cpp
  void renderRange(std::uint32_t start, std::uint32_t frames, const clap_audio_buffer_t* output);
  void handOverGroup(std::uint32_t count, std::uint32_t start);
  void runQueuedNotesNow();
  void applyBoundaryEvent(const clap_event_header_t* event);
  void releaseOrChoke(const clap_event_note_t& event, bool choke);
  /// After the group's events ran (`base`: the engine's start count before them): sends
  /// NOTE_END for every note whose voice ended or was taken by another note.
  void trackVoices(unsigned base, std::uint32_t count, std::uint32_t time, const clap_output_events_t* out);
  /// The editor's gestures that waited: their values set on the plug-in, their events sent.
  void takeGestures(const clap_output_events_t* out);
  void applyParameterEvent(const clap_event_header_t* event);

  // state.cpp
  /// The state as the plug-in has it now, or as it will once a pending load is applied.
  PluginState currentState();
  /// Makes `state` the plug-in's: at once while inactive, else at the audio thread's next call.
  void useState(const PluginState& state);
  void applyPendingLoad();
  void noticeFactoryProgram();

  // gui.cpp
  AEffGUIEditor* editor() const;
  void startPumping();
  void stopPumping();

  clap_plugin_t record{};
  const clap_host_t* host;
  const clap_host_params_t* hostParams = nullptr;
  const clap_host_timer_support_t* hostTimers = nullptr;
  const clap_host_posix_fd_support_t* hostFds = nullptr;
  const clap_host_preset_load_t* hostPresetLoad = nullptr;
  std::unique_ptr<Plugin> synth;

  bool active = false;  // main thread's
  std::atomic<bool> processing{false};
  std::atomic<bool> sleeping{false};
  std::atomic<bool> valuesChangedNotice{false};
  int shownVoiceCount = 0;  // the audio thread's
  std::atomic<float> sampleRateNow{44100.0f};
  std::atomic<std::int32_t> blockSizeNow{1024};

  // The editor's gestures, and the parameters whose last value the full ring could not take.
  GestureRing gestures;
  std::atomic<std::uint32_t> missedValues{0};
  std::atomic<float> missedValue[kNumParams] = {};

  // A state handed to the audio thread: kFree (main may write it), kReady (audio may take it),
  // kTaken (audio applies it).
  enum LoadPhase : int { kFree, kReady, kTaken };
  std::atomic<int> loadPhase{kFree};
  PluginState pendingState;
  int noticedFactoryProgram = -1;  // the factory program the host last heard of (main thread)

  // process: one group of the block's note and MIDI events, as the plug-in's event list.
  static constexpr std::uint32_t kGroupEvents = 256;
  struct GroupList {
    VstInt32 numEvents = 0;
    VstIntPtr reserved = 0;
    VstEvent* events[kGroupEvents] = {};
  } groupList;
  VstMidiEvent groupMidi[kGroupEvents] = {};
  std::uint32_t groupTimes[kGroupEvents] = {};
  std::uint32_t groupSources[kGroupEvents] = {};  // index in the host's event list
  NoteIdentity groupNotes[kGroupEvents] = {};
  bool groupStartsNote[kGroupEvents] = {};
  // The notes the group started, in the order the engine starts them (positions in the
  // group), and whether a voice was found playing each.
  std::uint32_t startPositions[kGroupEvents] = {};
  bool startFound[kGroupEvents] = {};

  // The note each voice plays as far as the host knows it.
  struct TrackedVoice {
    bool sounding = false;
    unsigned start = 0;  // the engine's start count of the voice at the last look
    NoteIdentity note;
  };
  TrackedVoice tracked[kNumVoices];

  // gui
  bool guiCreated = false;
  bool guiOpen = false;
  bool guiVisible = false;
  clap_id timer = CLAP_INVALID_ID;
  int watchedFd = -1;
  std::atomic<bool> idleOnCallbacks{false};  // the editor is open and no timer runs its idle pass
};

// The extensions' tables, each defined beside the adaptor's functions it calls.
extern const clap_plugin_params_t kParamsExtension;
extern const clap_plugin_state_t kStateExtension;
extern const clap_plugin_preset_load_t kPresetLoadExtension;
extern const clap_plugin_gui_t kGuiExtension;
extern const clap_plugin_timer_support_t kTimerExtension;
extern const clap_plugin_posix_fd_support_t kFdExtension;

}  // namespace zynka::clap_adaptor
