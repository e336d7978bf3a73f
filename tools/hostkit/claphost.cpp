#include "tools/hostkit/claphost.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace claphost {

namespace {

/// Events keep the alignment of their records (a double inside needs 8).
constexpr std::size_t kEventAlignment = 8;

std::size_t aligned(std::size_t offset) { return (offset + kEventAlignment - 1) / kEventAlignment * kEventAlignment; }

#ifdef _WIN32
std::wstring widen(const std::string& text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), n);
  out.resize(out.size() - 1);
  return out;
}
void* openLibrary(const std::string& path) { return LoadLibraryW(widen(path).c_str()); }
void* findSymbol(void* handle, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void closeLibrary(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }
#else
void* openLibrary(const std::string& path) {
  const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  return dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
}
void* findSymbol(void* handle, const char* name) { return dlsym(handle, name); }
void closeLibrary(void* handle) { dlclose(handle); }
#endif

}  // namespace

// --- Library --------------------------------------------------------------------------

Library::Library(void* handle, const clap_plugin_entry_t* entry, std::string path)
    : handle_(handle), entry_(entry), path_(std::move(path)) {}

std::unique_ptr<Library> Library::load(const std::string& path, std::string& error) {
  void* handle = openLibrary(path);
  if (!handle) {
    error = "cannot load " + path;
    return nullptr;
  }
  // clap_entry is a data symbol: the record itself lies at its address.
  const auto* entry = static_cast<const clap_plugin_entry_t*>(findSymbol(handle, "clap_entry"));
  if (!entry || !clap_version_is_compatible(entry->clap_version) || !entry->init || !entry->deinit ||
      !entry->get_factory) {
    error = path + " has no usable clap_entry";
    closeLibrary(handle);
    return nullptr;
  }
  if (!entry->init(path.c_str())) {
    error = path + ": clap_entry.init failed";
    closeLibrary(handle);
    return nullptr;
  }
  return std::unique_ptr<Library>(new Library(handle, entry, path));
}

Library::~Library() {
  entry_->deinit();
  closeLibrary(handle_);
}

// --- event lists ----------------------------------------------------------------------

InputEvents::InputEvents() {
  list_.ctx = this;
  list_.size = [](const clap_input_events_t* list) { return static_cast<InputEvents*>(list->ctx)->size(); };
  list_.get = [](const clap_input_events_t* list, std::uint32_t index) -> const clap_event_header_t* {
    auto* self = static_cast<InputEvents*>(list->ctx);
    if (index >= self->offsets_.size()) return nullptr;
    return reinterpret_cast<const clap_event_header_t*>(self->bytes_.data() + self->offsets_[index]);
  };
}

void InputEvents::clear() {
  bytes_.clear();
  offsets_.clear();
}

void InputEvents::add(const clap_event_header_t& event) {
  const std::size_t offset = aligned(bytes_.size());
  bytes_.resize(offset + event.size);
  std::memcpy(bytes_.data() + offset, &event, event.size);
  offsets_.push_back(offset);
}

OutputEvents::OutputEvents(std::size_t capacityBytes) {
  bytes_.reserve(capacityBytes);
  offsets_.reserve(capacityBytes / 16);
  list_.ctx = this;
  list_.try_push = push;
}

void OutputEvents::clear() {
  bytes_.clear();
  offsets_.clear();
}

bool OutputEvents::push(const clap_output_events_t* list, const clap_event_header_t* event) {
  auto* self = static_cast<OutputEvents*>(list->ctx);
  if (!event || event->size < sizeof(clap_event_header_t)) return false;
  // Only into the room reserved: the audio thread's push never allocates.
  const std::size_t offset = aligned(self->bytes_.size());
  if (offset + event->size > self->bytes_.capacity() || self->offsets_.size() == self->offsets_.capacity())
    return false;
  self->bytes_.resize(offset + event->size);
  std::memcpy(self->bytes_.data() + offset, event, event->size);
  self->offsets_.push_back(offset);
  return true;
}

const clap_event_header_t& OutputEvents::at(std::size_t index) const {
  return *reinterpret_cast<const clap_event_header_t*>(bytes_.data() + offsets_.at(index));
}

std::string describeParameterEvent(const OutputEvents& events, std::size_t index) {
  const clap_event_header_t& e = events.at(index);
  char text[64];
  if (e.type == CLAP_EVENT_PARAM_GESTURE_BEGIN || e.type == CLAP_EVENT_PARAM_GESTURE_END)
    std::snprintf(text, sizeof text, "%s %u", e.type == CLAP_EVENT_PARAM_GESTURE_BEGIN ? "begin" : "end",
                  events.as<clap_event_param_gesture_t>(index).param_id);
  else if (e.type == CLAP_EVENT_PARAM_VALUE)
    std::snprintf(text, sizeof text, "value %u %g", events.as<clap_event_param_value_t>(index).param_id,
                  events.as<clap_event_param_value_t>(index).value);
  else
    std::snprintf(text, sizeof text, "other %u", static_cast<unsigned>(e.type));
  return text;
}

clap_event_note_t noteEvent(std::uint16_t type, std::uint32_t time, std::int16_t key, double velocity,
                            std::int32_t noteId, std::int16_t channel, std::int16_t port) {
  clap_event_note_t e{};
  e.header = {sizeof e, time, CLAP_CORE_EVENT_SPACE_ID, type, 0};
  e.note_id = noteId;
  e.port_index = port;
  e.channel = channel;
  e.key = key;
  e.velocity = velocity;
  return e;
}

clap_event_midi_t midiEvent(std::uint32_t time, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  clap_event_midi_t e{};
  e.header = {sizeof e, time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_MIDI, 0};
  e.port_index = 0;
  e.data[0] = status;
  e.data[1] = data1;
  e.data[2] = data2;
  return e;
}

clap_event_param_value_t paramValueEvent(std::uint32_t time, clap_id id, double value) {
  clap_event_param_value_t e{};
  e.header = {sizeof e, time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
  e.param_id = id;
  e.note_id = -1;
  e.port_index = e.channel = e.key = -1;
  e.value = value;
  return e;
}

// --- Host -----------------------------------------------------------------------------

namespace {

const clap_host_params_t kParams = {
    [](const clap_host_t* host, clap_param_rescan_flags flags) {
      if (flags & CLAP_PARAM_RESCAN_VALUES) static_cast<Host*>(host->host_data)->valueRescans++;
    },
    [](const clap_host_t*, clap_id, clap_param_clear_flags) {},
    [](const clap_host_t* host) { static_cast<Host*>(host->host_data)->flushRequests++; },
};

const clap_host_state_t kState = {[](const clap_host_t*) {}};

const clap_host_timer_support_t kTimers = {
    [](const clap_host_t* host, std::uint32_t period, clap_id* id) {
      auto* self = static_cast<Host*>(host->host_data);
      *id = self->nextTimerId++;
      self->timers.push_back({*id, period});
      return true;
    },
    [](const clap_host_t* host, clap_id id) {
      auto& timers = static_cast<Host*>(host->host_data)->timers;
      for (auto it = timers.begin(); it != timers.end(); ++it)
        if (it->id == id) {
          timers.erase(it);
          return true;
        }
      return false;
    },
};

const clap_host_posix_fd_support_t kFds = {
    [](const clap_host_t* host, int fd, clap_posix_fd_flags_t) {
      static_cast<Host*>(host->host_data)->fds.push_back(fd);
      return true;
    },
    [](const clap_host_t*, int, clap_posix_fd_flags_t) { return true; },
    [](const clap_host_t* host, int fd) {
      auto& fds = static_cast<Host*>(host->host_data)->fds;
      for (auto it = fds.begin(); it != fds.end(); ++it)
        if (*it == fd) {
          fds.erase(it);
          return true;
        }
      return false;
    },
};

const clap_host_preset_load_t kPresetLoad = {
    [](const clap_host_t* host, std::uint32_t, const char*, const char* key, std::int32_t, const char*) {
      static_cast<Host*>(host->host_data)->presetErrors.push_back(key ? key : "");
    },
    [](const clap_host_t* host, std::uint32_t, const char*, const char* key) {
      static_cast<Host*>(host->host_data)->loadedPresets.push_back(key ? key : "");
    },
};

}  // namespace

Host::Host(Offers offers) : offers_(offers) {
  record_ = clap_host_t{};
  record_.clap_version = CLAP_VERSION;
  record_.host_data = this;
  record_.name = "ZYNKA test host";
  record_.vendor = "Tarnwick";
  record_.url = "";
  record_.version = "1.0";
  record_.get_extension = extension;
  record_.request_restart = [](const clap_host_t* host) { of(host)->restartRequests++; };
  record_.request_process = [](const clap_host_t* host) { of(host)->processRequests++; };
  record_.request_callback = [](const clap_host_t* host) { of(host)->callbackRequests++; };
}

Host::~Host() = default;

const void* Host::extension(const clap_host_t* host, const char* id) {
  const Offers& offers = of(host)->offers_;
  if (!id) return nullptr;
  if (offers.params && std::strcmp(id, CLAP_EXT_PARAMS) == 0) return &kParams;
  if (std::strcmp(id, CLAP_EXT_STATE) == 0) return &kState;
  if (offers.timerSupport && std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0) return &kTimers;
  if (offers.posixFdSupport && std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT) == 0) return &kFds;
  if (offers.presetLoad && std::strcmp(id, CLAP_EXT_PRESET_LOAD) == 0) return &kPresetLoad;
  return nullptr;
}

// --- Instance -------------------------------------------------------------------------

std::unique_ptr<Instance> Instance::create(const Library& library, Host& host, const char* pluginId,
                                           std::string& error) {
  const auto* factory = library.factory<clap_plugin_factory_t>(CLAP_PLUGIN_FACTORY_ID);
  if (!factory) {
    error = library.path() + " has no plug-in factory";
    return nullptr;
  }
  const clap_plugin_t* plugin = factory->create_plugin(factory, host.record(), pluginId);
  if (!plugin) {
    error = library.path() + ": create_plugin failed";
    return nullptr;
  }
  if (!plugin->init(plugin)) {
    plugin->destroy(plugin);
    error = library.path() + ": init failed";
    return nullptr;
  }
  return std::unique_ptr<Instance>(new Instance(host, plugin));
}

Instance::~Instance() {
  stop();
  plugin_->destroy(plugin_);
}

bool Instance::start(double sampleRate, std::uint32_t maxFrames) {
  if (!active_ && !plugin_->activate(plugin_, sampleRate, 1, maxFrames)) return false;
  active_ = true;
  if (!processing_ && !plugin_->start_processing(plugin_)) return false;
  processing_ = true;
  return true;
}

void Instance::stop() {
  if (processing_) plugin_->stop_processing(plugin_);
  processing_ = false;
  if (active_) plugin_->deactivate(plugin_);
  active_ = false;
}

clap_process_status Instance::process(std::uint32_t frames, const InputEvents& in, OutputEvents& out, float* left,
                                      float* right) {
  float* channels[2] = {left, right};
  clap_audio_buffer_t output{channels, nullptr, 2, 0, 0};
  return process(frames, in, out, output);
}

clap_process_status Instance::process(std::uint32_t frames, const InputEvents& in, OutputEvents& out, double* left,
                                      double* right) {
  double* channels[2] = {left, right};
  clap_audio_buffer_t output{nullptr, channels, 2, 0, 0};
  return process(frames, in, out, output);
}

clap_process_status Instance::process(std::uint32_t frames, const InputEvents& in, OutputEvents& out,
                                      clap_audio_buffer_t& output) {
  clap_process_t process{steadyTime_, frames, nullptr, nullptr, &output, 0, 1, in.list(), out.list()};
  steadyTime_ += frames;
  return plugin_->process(plugin_, &process);
}

void Instance::serveRequests(OutputEvents& out) {
  for (int round = 0; round < 8; ++round) {
    const bool callback = host_.callbackRequests.exchange(0) > 0;
    const bool flush = host_.flushRequests.exchange(0) + host_.processRequests.exchange(0) > 0;
    if (!callback && !flush) return;
    if (callback) plugin_->on_main_thread(plugin_);
    if (flush && !processing_) {
      const auto* params = extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
      InputEvents none;
      if (params) params->flush(plugin_, none.list(), out.list());
    }
  }
}

double Instance::value(clap_id id) const {
  const auto* params = extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
  double v = -1;
  if (!params || !params->get_value(plugin_, id, &v)) return -1;
  return v;
}

std::string Instance::text(clap_id id, double value) const {
  const auto* params = extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
  char buffer[CLAP_NAME_SIZE] = {};
  if (!params || !params->value_to_text(plugin_, id, value, buffer, sizeof buffer)) return "(none)";
  return buffer;
}

// --- streams --------------------------------------------------------------------------

clap_ostream_t MemoryStreams::out() {
  clap_ostream_t stream{};
  stream.ctx = this;
  stream.write = [](const clap_ostream_t* s, const void* buffer, std::uint64_t size) -> std::int64_t {
    auto* self = static_cast<MemoryStreams*>(s->ctx);
    if (self->bytes.size() >= self->failAfter) return -1;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, self->chunk));
    self->bytes.append(static_cast<const char*>(buffer), n);
    return static_cast<std::int64_t>(n);
  };
  return stream;
}

clap_istream_t MemoryStreams::in() {
  clap_istream_t stream{};
  stream.ctx = this;
  stream.read = [](const clap_istream_t* s, void* buffer, std::uint64_t size) -> std::int64_t {
    auto* self = static_cast<MemoryStreams*>(s->ctx);
    if (self->readPosition >= self->failAfter) return -1;
    const std::size_t left = self->bytes.size() - self->readPosition;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>({size, self->chunk, left}));
    std::memcpy(buffer, self->bytes.data() + self->readPosition, n);
    self->readPosition += n;
    return static_cast<std::int64_t>(n);
  };
  return stream;
}

}  // namespace claphost
