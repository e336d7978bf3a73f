// A small CLAP host for tests and benchmarks, written from the CLAP ABI facts sheet: loads a
// .clap library as a host does (dlopen / LoadLibrary, the clap_entry record, init), makes
// instances through the plug-in factory, answers the host extensions a plug-in asks for
// (params, state, timer and descriptor support, preset load) and records what the plug-in
// tells it. Event lists are prepared before a block and recorded without allocating, so an
// audio-thread test can watch the plug-in alone.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "clap/clap_abi.h"

namespace claphost {

/// A .clap library, loaded and initialised; deinitialised and unloaded when destroyed.
class Library {
 public:
  /// Null and a one-line error when it cannot be loaded, has no clap_entry or its init fails.
  static std::unique_ptr<Library> load(const std::string& path, std::string& error);
  ~Library();
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  const clap_plugin_entry_t* entry() const { return entry_; }
  /// The entry's factory for this id, as the type the caller names.
  template <typename Factory>
  const Factory* factory(const char* id) const {
    return static_cast<const Factory*>(entry_->get_factory(id));
  }
  const std::string& path() const { return path_; }

 private:
  Library(void* handle, const clap_plugin_entry_t* entry, std::string path);
  void* handle_;
  const clap_plugin_entry_t* entry_;
  std::string path_;
};

/// Events for one process or flush call, in time order, as the host hands them over.
class InputEvents {
 public:
  InputEvents();
  void clear();
  /// Appends a copy of an event (its header's size).
  void add(const clap_event_header_t& event);
  template <typename Event>
  void add(const Event& event) {
    add(event.header);
  }
  const clap_input_events_t* list() const { return &list_; }
  std::uint32_t size() const { return static_cast<std::uint32_t>(offsets_.size()); }

 private:
  clap_input_events_t list_;
  std::vector<std::uint8_t> bytes_;
  std::vector<std::size_t> offsets_;
};

/// What the plug-in pushes, copied into room reserved beforehand (a full list refuses more).
class OutputEvents {
 public:
  explicit OutputEvents(std::size_t capacityBytes = 1 << 16);
  void clear();
  const clap_output_events_t* list() const { return &list_; }
  std::size_t size() const { return offsets_.size(); }
  const clap_event_header_t& at(std::size_t index) const;
  /// The event at `index` as its concrete record (the test checks the type first).
  template <typename Event>
  const Event& as(std::size_t index) const {
    return *reinterpret_cast<const Event*>(&at(index));
  }

 private:
  static bool push(const clap_output_events_t* list, const clap_event_header_t* event);
  clap_output_events_t list_;
  std::vector<std::uint8_t> bytes_;
  std::vector<std::size_t> offsets_;
};

/// A parameter event the plug-in sent, as a line: "begin 2", "value 2 0.5", "end 2"
/// ("other <type>" for the rest).
std::string describeParameterEvent(const OutputEvents& events, std::size_t index);

// Events as a host makes them.
clap_event_note_t noteEvent(std::uint16_t type, std::uint32_t time, std::int16_t key, double velocity = 0.0,
                            std::int32_t noteId = -1, std::int16_t channel = 0, std::int16_t port = 0);
clap_event_midi_t midiEvent(std::uint32_t time, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
clap_event_param_value_t paramValueEvent(std::uint32_t time, clap_id id, double value);

/// The host: its record and extensions, with what the plug-in asked of it.
class Host {
 public:
  /// Which optional extensions this host offers (set before creating an instance).
  struct Offers {
    bool timerSupport = true;
    bool posixFdSupport = true;
    bool params = true;
    bool presetLoad = true;
  };
  explicit Host(Offers offers);
  Host() : Host(Offers{}) {}
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  const clap_host_t* record() const { return &record_; }

  // What the plug-in asked for (any thread may set them; the test reads and clears them).
  std::atomic<int> callbackRequests{0};
  std::atomic<int> flushRequests{0};
  std::atomic<int> processRequests{0};
  std::atomic<int> restartRequests{0};
  std::atomic<int> valueRescans{0};
  // Main-thread records.
  std::vector<std::string> loadedPresets;  // load keys reported by preset_load.loaded
  std::vector<std::string> presetErrors;   // load keys reported by preset_load.on_error
  struct Timer {
    clap_id id;
    std::uint32_t periodMs;
  };
  std::vector<Timer> timers;
  clap_id nextTimerId = 1;
  std::vector<int> fds;

 private:
  static const void* extension(const clap_host_t* host, const char* id);
  static Host* of(const clap_host_t* host) { return static_cast<Host*>(host->host_data); }
  Offers offers_;
  clap_host_t record_;
};

/// A plug-in instance made through the plug-in factory, initialised, with its extensions.
class Instance {
 public:
  /// Null and an error when the factory or the instance fails.
  static std::unique_ptr<Instance> create(const Library& library, Host& host, const char* pluginId, std::string& error);
  /// Deactivates if active, then destroys.
  ~Instance();
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  const clap_plugin_t* plugin() const { return plugin_; }
  template <typename Ext>
  const Ext* extension(const char* id) const {
    return static_cast<const Ext*>(plugin_->get_extension(plugin_, id));
  }

  /// activate and start_processing, as a host starts the audio.
  bool start(double sampleRate = 44100.0, std::uint32_t maxFrames = 4096);
  /// stop_processing and deactivate.
  void stop();
  bool active() const { return active_; }

  /// One block into float (or double) channels; the plug-in's status.
  clap_process_status process(std::uint32_t frames, const InputEvents& in, OutputEvents& out, float* left,
                              float* right);
  clap_process_status process(std::uint32_t frames, const InputEvents& in, OutputEvents& out, double* left,
                              double* right);
  /// One block into the host's output buffer record as it is.
  clap_process_status process(std::uint32_t frames, const InputEvents& in, OutputEvents& out,
                              clap_audio_buffer_t& output);
  /// What a host does after request_callback: on_main_thread, and a flush when one was asked for.
  void serveRequests(OutputEvents& out);

  // params
  double value(clap_id id) const;
  std::string text(clap_id id, double value) const;

 private:
  Instance(Host& host, const clap_plugin_t* plugin) : host_(host), plugin_(plugin) {}
  Host& host_;
  const clap_plugin_t* plugin_;
  bool active_ = false;
  bool processing_ = false;
  std::int64_t steadyTime_ = 0;
};

/// Streams over memory that move at most `chunk` bytes per call, as a careful test of partial
/// reads and writes wants; `failAfter` bytes, if set, end in an error (-1).
struct MemoryStreams {
  std::string bytes;
  std::size_t readPosition = 0;
  std::size_t chunk = 1;
  std::size_t failAfter = SIZE_MAX;
  clap_ostream_t out();
  clap_istream_t in();
};

}  // namespace claphost
