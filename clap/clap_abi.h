// The CLAP 1.2 binary interface as ZYNKA uses it: records, constants and identifiers,
// declared from the ABI facts sheet (../shared/clap-abi.md), with every record's size,
// alignment and field offsets checked against the sheet's figures for x86-64 (Linux and
// Windows lay them out alike). Plain C records with natural alignment: no packing, no
// alignas. Function pointers carry no calling-convention keyword (x86-64 has one).
//
// Only the CLAP adaptor (clap/) and the CLAP test host include this header.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

// --- scalars -------------------------------------------------------------------------
using clap_id = std::uint32_t;
using clap_process_status = std::int32_t;
using clap_param_info_flags = std::uint32_t;
using clap_param_rescan_flags = std::uint32_t;
using clap_param_clear_flags = std::uint32_t;
using clap_note_expression = std::int32_t;
using clap_beattime = std::int64_t;
using clap_sectime = std::int64_t;
using clap_timestamp = std::uint64_t;
using clap_posix_fd_flags_t = std::uint32_t;
using clap_plugin_render_mode = std::int32_t;
using clap_log_severity = std::int32_t;
using clap_hwnd = void*;
using clap_nsview = void*;
using clap_uiview = void*;
using clap_xwnd = unsigned long;

inline constexpr std::uint32_t CLAP_NAME_SIZE = 256;
inline constexpr std::uint32_t CLAP_PATH_SIZE = 1024;
inline constexpr clap_id CLAP_INVALID_ID = UINT32_MAX;

// --- version -------------------------------------------------------------------------
struct clap_version_t {
  std::uint32_t major;
  std::uint32_t minor;
  std::uint32_t revision;
};

inline constexpr clap_version_t CLAP_VERSION = {1, 2, 10};

/// Any 1.x peer works with any other.
inline bool clap_version_is_compatible(clap_version_t v) { return v.major >= 1; }

// --- entry and factories -------------------------------------------------------------
struct clap_plugin_entry_t {
  clap_version_t clap_version;
  bool (*init)(const char* plugin_path);
  void (*deinit)(void);
  const void* (*get_factory)(const char* factory_id);
};

inline constexpr const char* CLAP_PLUGIN_FACTORY_ID = "clap.plugin-factory";
inline constexpr const char* CLAP_PRESET_DISCOVERY_FACTORY_ID = "clap.preset-discovery-factory/2";
inline constexpr const char* CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT = "clap.preset-discovery-factory/draft-2";

struct clap_plugin_descriptor_t {
  clap_version_t clap_version;
  const char* id;
  const char* name;
  const char* vendor;
  const char* url;
  const char* manual_url;
  const char* support_url;
  const char* version;
  const char* description;
  const char* const* features;
};

inline constexpr const char* CLAP_PLUGIN_FEATURE_INSTRUMENT = "instrument";
inline constexpr const char* CLAP_PLUGIN_FEATURE_SYNTHESIZER = "synthesizer";
inline constexpr const char* CLAP_PLUGIN_FEATURE_STEREO = "stereo";

struct clap_host_t;
struct clap_process_t;

struct clap_plugin_t {
  const clap_plugin_descriptor_t* desc;
  void* plugin_data;
  bool (*init)(const clap_plugin_t* plugin);
  void (*destroy)(const clap_plugin_t* plugin);
  bool (*activate)(const clap_plugin_t* plugin, double sample_rate, std::uint32_t min_frames_count,
                   std::uint32_t max_frames_count);
  void (*deactivate)(const clap_plugin_t* plugin);
  bool (*start_processing)(const clap_plugin_t* plugin);
  void (*stop_processing)(const clap_plugin_t* plugin);
  void (*reset)(const clap_plugin_t* plugin);
  clap_process_status (*process)(const clap_plugin_t* plugin, const clap_process_t* process);
  const void* (*get_extension)(const clap_plugin_t* plugin, const char* id);
  void (*on_main_thread)(const clap_plugin_t* plugin);
};

struct clap_plugin_factory_t {
  std::uint32_t (*get_plugin_count)(const clap_plugin_factory_t* factory);
  const clap_plugin_descriptor_t* (*get_plugin_descriptor)(const clap_plugin_factory_t* factory, std::uint32_t index);
  const clap_plugin_t* (*create_plugin)(const clap_plugin_factory_t* factory, const clap_host_t* host,
                                        const char* plugin_id);
};

struct clap_host_t {
  clap_version_t clap_version;
  void* host_data;
  const char* name;
  const char* vendor;
  const char* url;
  const char* version;
  const void* (*get_extension)(const clap_host_t* host, const char* extension_id);
  void (*request_restart)(const clap_host_t* host);
  void (*request_process)(const clap_host_t* host);
  void (*request_callback)(const clap_host_t* host);
};

// --- events --------------------------------------------------------------------------
struct clap_event_header_t {
  std::uint32_t size;
  std::uint32_t time;
  std::uint16_t space_id;
  std::uint16_t type;
  std::uint32_t flags;
};

inline constexpr std::uint16_t CLAP_CORE_EVENT_SPACE_ID = 0;
inline constexpr std::uint32_t CLAP_EVENT_IS_LIVE = 1u << 0;
inline constexpr std::uint32_t CLAP_EVENT_DONT_RECORD = 1u << 1;

inline constexpr std::uint16_t CLAP_EVENT_NOTE_ON = 0;
inline constexpr std::uint16_t CLAP_EVENT_NOTE_OFF = 1;
inline constexpr std::uint16_t CLAP_EVENT_NOTE_CHOKE = 2;
inline constexpr std::uint16_t CLAP_EVENT_NOTE_END = 3;
inline constexpr std::uint16_t CLAP_EVENT_NOTE_EXPRESSION = 4;
inline constexpr std::uint16_t CLAP_EVENT_PARAM_VALUE = 5;
inline constexpr std::uint16_t CLAP_EVENT_PARAM_MOD = 6;
inline constexpr std::uint16_t CLAP_EVENT_PARAM_GESTURE_BEGIN = 7;
inline constexpr std::uint16_t CLAP_EVENT_PARAM_GESTURE_END = 8;
inline constexpr std::uint16_t CLAP_EVENT_TRANSPORT = 9;
inline constexpr std::uint16_t CLAP_EVENT_MIDI = 10;
inline constexpr std::uint16_t CLAP_EVENT_MIDI_SYSEX = 11;
inline constexpr std::uint16_t CLAP_EVENT_MIDI2 = 12;

struct clap_event_note_t {
  clap_event_header_t header;
  std::int32_t note_id;
  std::int16_t port_index;
  std::int16_t channel;
  std::int16_t key;
  double velocity;
};

struct clap_event_note_expression_t {
  clap_event_header_t header;
  clap_note_expression expression_id;
  std::int32_t note_id;
  std::int16_t port_index;
  std::int16_t channel;
  std::int16_t key;
  double value;
};

struct clap_event_param_value_t {
  clap_event_header_t header;
  clap_id param_id;
  void* cookie;
  std::int32_t note_id;
  std::int16_t port_index;
  std::int16_t channel;
  std::int16_t key;
  double value;
};

struct clap_event_param_mod_t {
  clap_event_header_t header;
  clap_id param_id;
  void* cookie;
  std::int32_t note_id;
  std::int16_t port_index;
  std::int16_t channel;
  std::int16_t key;
  double amount;
};

struct clap_event_param_gesture_t {
  clap_event_header_t header;
  clap_id param_id;
};

struct clap_event_transport_t {
  clap_event_header_t header;
  std::uint32_t flags;
  clap_beattime song_pos_beats;
  clap_sectime song_pos_seconds;
  double tempo;
  double tempo_inc;
  clap_beattime loop_start_beats;
  clap_beattime loop_end_beats;
  clap_sectime loop_start_seconds;
  clap_sectime loop_end_seconds;
  clap_beattime bar_start;
  std::int32_t bar_number;
  std::uint16_t tsig_num;
  std::uint16_t tsig_denom;
};

struct clap_event_midi_t {
  clap_event_header_t header;
  std::uint16_t port_index;
  std::uint8_t data[3];
};

struct clap_event_midi_sysex_t {
  clap_event_header_t header;
  std::uint16_t port_index;
  const std::uint8_t* buffer;
  std::uint32_t size;
};

struct clap_event_midi2_t {
  clap_event_header_t header;
  std::uint16_t port_index;
  std::uint32_t data[4];
};

struct clap_input_events_t {
  void* ctx;
  std::uint32_t (*size)(const clap_input_events_t* list);
  const clap_event_header_t* (*get)(const clap_input_events_t* list, std::uint32_t index);
};

struct clap_output_events_t {
  void* ctx;
  bool (*try_push)(const clap_output_events_t* list, const clap_event_header_t* event);
};

// --- processing ----------------------------------------------------------------------
struct clap_audio_buffer_t {
  float** data32;
  double** data64;
  std::uint32_t channel_count;
  std::uint32_t latency;
  std::uint64_t constant_mask;
};

struct clap_process_t {
  std::int64_t steady_time;
  std::uint32_t frames_count;
  const clap_event_transport_t* transport;
  const clap_audio_buffer_t* audio_inputs;
  clap_audio_buffer_t* audio_outputs;
  std::uint32_t audio_inputs_count;
  std::uint32_t audio_outputs_count;
  const clap_input_events_t* in_events;
  const clap_output_events_t* out_events;
};

inline constexpr clap_process_status CLAP_PROCESS_ERROR = 0;
inline constexpr clap_process_status CLAP_PROCESS_CONTINUE = 1;
inline constexpr clap_process_status CLAP_PROCESS_CONTINUE_IF_NOT_QUIET = 2;
inline constexpr clap_process_status CLAP_PROCESS_TAIL = 3;
inline constexpr clap_process_status CLAP_PROCESS_SLEEP = 4;

// --- extension identifiers ------------------------------------------------------------
inline constexpr const char* CLAP_EXT_PARAMS = "clap.params";
inline constexpr const char* CLAP_EXT_STATE = "clap.state";
inline constexpr const char* CLAP_EXT_AUDIO_PORTS = "clap.audio-ports";
inline constexpr const char* CLAP_EXT_NOTE_PORTS = "clap.note-ports";
inline constexpr const char* CLAP_EXT_GUI = "clap.gui";
inline constexpr const char* CLAP_EXT_TIMER_SUPPORT = "clap.timer-support";
inline constexpr const char* CLAP_EXT_POSIX_FD_SUPPORT = "clap.posix-fd-support";
inline constexpr const char* CLAP_EXT_LATENCY = "clap.latency";
inline constexpr const char* CLAP_EXT_TAIL = "clap.tail";
inline constexpr const char* CLAP_EXT_RENDER = "clap.render";
inline constexpr const char* CLAP_EXT_VOICE_INFO = "clap.voice-info";
inline constexpr const char* CLAP_EXT_THREAD_CHECK = "clap.thread-check";
inline constexpr const char* CLAP_EXT_LOG = "clap.log";
inline constexpr const char* CLAP_EXT_NOTE_NAME = "clap.note-name";
inline constexpr const char* CLAP_EXT_PRESET_LOAD = "clap.preset-load/2";
inline constexpr const char* CLAP_EXT_PRESET_LOAD_COMPAT = "clap.preset-load.draft/2";

// --- params --------------------------------------------------------------------------
inline constexpr clap_param_info_flags CLAP_PARAM_IS_STEPPED = 1u << 0;
inline constexpr clap_param_info_flags CLAP_PARAM_IS_PERIODIC = 1u << 1;
inline constexpr clap_param_info_flags CLAP_PARAM_IS_HIDDEN = 1u << 2;
inline constexpr clap_param_info_flags CLAP_PARAM_IS_READONLY = 1u << 3;
inline constexpr clap_param_info_flags CLAP_PARAM_IS_BYPASS = 1u << 4;
inline constexpr clap_param_info_flags CLAP_PARAM_IS_AUTOMATABLE = 1u << 5;
inline constexpr clap_param_info_flags CLAP_PARAM_IS_MODULATABLE = 1u << 10;
inline constexpr clap_param_info_flags CLAP_PARAM_REQUIRES_PROCESS = 1u << 15;
inline constexpr clap_param_info_flags CLAP_PARAM_IS_ENUM = 1u << 16;

inline constexpr clap_param_rescan_flags CLAP_PARAM_RESCAN_VALUES = 1u << 0;
inline constexpr clap_param_rescan_flags CLAP_PARAM_RESCAN_TEXT = 1u << 1;
inline constexpr clap_param_rescan_flags CLAP_PARAM_RESCAN_INFO = 1u << 2;
inline constexpr clap_param_rescan_flags CLAP_PARAM_RESCAN_ALL = 1u << 3;

inline constexpr clap_param_clear_flags CLAP_PARAM_CLEAR_ALL = 1u << 0;
inline constexpr clap_param_clear_flags CLAP_PARAM_CLEAR_AUTOMATIONS = 1u << 1;
inline constexpr clap_param_clear_flags CLAP_PARAM_CLEAR_MODULATIONS = 1u << 2;

struct clap_param_info_t {
  clap_id id;
  clap_param_info_flags flags;
  void* cookie;
  char name[CLAP_NAME_SIZE];
  char module[CLAP_PATH_SIZE];
  double min_value;
  double max_value;
  double default_value;
};

struct clap_plugin_params_t {
  std::uint32_t (*count)(const clap_plugin_t* plugin);
  bool (*get_info)(const clap_plugin_t* plugin, std::uint32_t param_index, clap_param_info_t* param_info);
  bool (*get_value)(const clap_plugin_t* plugin, clap_id param_id, double* out_value);
  bool (*value_to_text)(const clap_plugin_t* plugin, clap_id param_id, double value, char* out_buffer,
                        std::uint32_t out_buffer_capacity);
  bool (*text_to_value)(const clap_plugin_t* plugin, clap_id param_id, const char* param_value_text, double* out_value);
  void (*flush)(const clap_plugin_t* plugin, const clap_input_events_t* in, const clap_output_events_t* out);
};

struct clap_host_params_t {
  void (*rescan)(const clap_host_t* host, clap_param_rescan_flags flags);
  void (*clear)(const clap_host_t* host, clap_id param_id, clap_param_clear_flags flags);
  void (*request_flush)(const clap_host_t* host);
};

// --- state ---------------------------------------------------------------------------
struct clap_istream_t {
  void* ctx;
  std::int64_t (*read)(const clap_istream_t* stream, void* buffer, std::uint64_t size);
};

struct clap_ostream_t {
  void* ctx;
  std::int64_t (*write)(const clap_ostream_t* stream, const void* buffer, std::uint64_t size);
};

struct clap_plugin_state_t {
  bool (*save)(const clap_plugin_t* plugin, const clap_ostream_t* stream);
  bool (*load)(const clap_plugin_t* plugin, const clap_istream_t* stream);
};

struct clap_host_state_t {
  void (*mark_dirty)(const clap_host_t* host);
};

// --- audio ports ---------------------------------------------------------------------
inline constexpr const char* CLAP_PORT_MONO = "mono";
inline constexpr const char* CLAP_PORT_STEREO = "stereo";

inline constexpr std::uint32_t CLAP_AUDIO_PORT_IS_MAIN = 1u << 0;
inline constexpr std::uint32_t CLAP_AUDIO_PORT_SUPPORTS_64BITS = 1u << 1;
inline constexpr std::uint32_t CLAP_AUDIO_PORT_PREFERS_64BITS = 1u << 2;
inline constexpr std::uint32_t CLAP_AUDIO_PORT_REQUIRES_COMMON_SAMPLE_SIZE = 1u << 3;

struct clap_audio_port_info_t {
  clap_id id;
  char name[CLAP_NAME_SIZE];
  std::uint32_t flags;
  std::uint32_t channel_count;
  const char* port_type;
  clap_id in_place_pair;
};

struct clap_plugin_audio_ports_t {
  std::uint32_t (*count)(const clap_plugin_t* plugin, bool is_input);
  bool (*get)(const clap_plugin_t* plugin, std::uint32_t index, bool is_input, clap_audio_port_info_t* info);
};

struct clap_host_audio_ports_t {
  bool (*is_rescan_flag_supported)(const clap_host_t* host, std::uint32_t flag);
  void (*rescan)(const clap_host_t* host, std::uint32_t flags);
};

// --- note ports ----------------------------------------------------------------------
inline constexpr std::uint32_t CLAP_NOTE_DIALECT_CLAP = 1u << 0;
inline constexpr std::uint32_t CLAP_NOTE_DIALECT_MIDI = 1u << 1;
inline constexpr std::uint32_t CLAP_NOTE_DIALECT_MIDI_MPE = 1u << 2;
inline constexpr std::uint32_t CLAP_NOTE_DIALECT_MIDI2 = 1u << 3;

struct clap_note_port_info_t {
  clap_id id;
  std::uint32_t supported_dialects;
  std::uint32_t preferred_dialect;
  char name[CLAP_NAME_SIZE];
};

struct clap_plugin_note_ports_t {
  std::uint32_t (*count)(const clap_plugin_t* plugin, bool is_input);
  bool (*get)(const clap_plugin_t* plugin, std::uint32_t index, bool is_input, clap_note_port_info_t* info);
};

struct clap_host_note_ports_t {
  std::uint32_t (*supported_dialects)(const clap_host_t* host);
  void (*rescan)(const clap_host_t* host, std::uint32_t flags);
};

// --- gui -----------------------------------------------------------------------------
inline constexpr const char* CLAP_WINDOW_API_WIN32 = "win32";
inline constexpr const char* CLAP_WINDOW_API_X11 = "x11";
inline constexpr const char* CLAP_WINDOW_API_WAYLAND = "wayland";
inline constexpr const char* CLAP_WINDOW_API_COCOA = "cocoa";

struct clap_window_t {
  const char* api;
  union {
    clap_nsview cocoa;
    clap_uiview uikit;
    clap_xwnd x11;
    clap_hwnd win32;
    void* ptr;
  };
};

struct clap_gui_resize_hints_t {
  bool can_resize_horizontally;
  bool can_resize_vertically;
  bool preserve_aspect_ratio;
  std::uint32_t aspect_ratio_width;
  std::uint32_t aspect_ratio_height;
};

struct clap_plugin_gui_t {
  bool (*is_api_supported)(const clap_plugin_t* plugin, const char* api, bool is_floating);
  bool (*get_preferred_api)(const clap_plugin_t* plugin, const char** api, bool* is_floating);
  bool (*create)(const clap_plugin_t* plugin, const char* api, bool is_floating);
  void (*destroy)(const clap_plugin_t* plugin);
  bool (*set_scale)(const clap_plugin_t* plugin, double scale);
  bool (*get_size)(const clap_plugin_t* plugin, std::uint32_t* width, std::uint32_t* height);
  bool (*can_resize)(const clap_plugin_t* plugin);
  bool (*get_resize_hints)(const clap_plugin_t* plugin, clap_gui_resize_hints_t* hints);
  bool (*adjust_size)(const clap_plugin_t* plugin, std::uint32_t* width, std::uint32_t* height);
  bool (*set_size)(const clap_plugin_t* plugin, std::uint32_t width, std::uint32_t height);
  bool (*set_parent)(const clap_plugin_t* plugin, const clap_window_t* window);
  bool (*set_transient)(const clap_plugin_t* plugin, const clap_window_t* window);
  void (*suggest_title)(const clap_plugin_t* plugin, const char* title);
  bool (*show)(const clap_plugin_t* plugin);
  bool (*hide)(const clap_plugin_t* plugin);
};

struct clap_host_gui_t {
  void (*resize_hints_changed)(const clap_host_t* host);
  bool (*request_resize)(const clap_host_t* host, std::uint32_t width, std::uint32_t height);
  bool (*request_show)(const clap_host_t* host);
  bool (*request_hide)(const clap_host_t* host);
  void (*closed)(const clap_host_t* host, bool was_destroyed);
};

// --- timer and file-descriptor support -----------------------------------------------
struct clap_plugin_timer_support_t {
  void (*on_timer)(const clap_plugin_t* plugin, clap_id timer_id);
};

struct clap_host_timer_support_t {
  bool (*register_timer)(const clap_host_t* host, std::uint32_t period_ms, clap_id* timer_id);
  bool (*unregister_timer)(const clap_host_t* host, clap_id timer_id);
};

inline constexpr clap_posix_fd_flags_t CLAP_POSIX_FD_READ = 1u << 0;
inline constexpr clap_posix_fd_flags_t CLAP_POSIX_FD_WRITE = 1u << 1;
inline constexpr clap_posix_fd_flags_t CLAP_POSIX_FD_ERROR = 1u << 2;

struct clap_plugin_posix_fd_support_t {
  void (*on_fd)(const clap_plugin_t* plugin, int fd, clap_posix_fd_flags_t flags);
};

struct clap_host_posix_fd_support_t {
  bool (*register_fd)(const clap_host_t* host, int fd, clap_posix_fd_flags_t flags);
  bool (*modify_fd)(const clap_host_t* host, int fd, clap_posix_fd_flags_t flags);
  bool (*unregister_fd)(const clap_host_t* host, int fd);
};

// --- latency, tail, render, voice info ----------------------------------------------
struct clap_plugin_latency_t {
  std::uint32_t (*get)(const clap_plugin_t* plugin);
};

struct clap_host_latency_t {
  void (*changed)(const clap_host_t* host);
};

struct clap_plugin_tail_t {
  std::uint32_t (*get)(const clap_plugin_t* plugin);
};

struct clap_host_tail_t {
  void (*changed)(const clap_host_t* host);
};

inline constexpr clap_plugin_render_mode CLAP_RENDER_REALTIME = 0;
inline constexpr clap_plugin_render_mode CLAP_RENDER_OFFLINE = 1;

struct clap_plugin_render_t {
  bool (*has_hard_realtime_requirement)(const clap_plugin_t* plugin);
  bool (*set)(const clap_plugin_t* plugin, clap_plugin_render_mode mode);
};

inline constexpr std::uint64_t CLAP_VOICE_INFO_SUPPORTS_OVERLAPPING_NOTES = 1u << 0;

struct clap_voice_info_t {
  std::uint32_t voice_count;
  std::uint32_t voice_capacity;
  std::uint64_t flags;
};

struct clap_plugin_voice_info_t {
  bool (*get)(const clap_plugin_t* plugin, clap_voice_info_t* info);
};

struct clap_host_voice_info_t {
  void (*changed)(const clap_host_t* host);
};

// --- host-side helpers: thread check, log --------------------------------------------
struct clap_host_thread_check_t {
  bool (*is_main_thread)(const clap_host_t* host);
  bool (*is_audio_thread)(const clap_host_t* host);
};

inline constexpr clap_log_severity CLAP_LOG_DEBUG = 0;
inline constexpr clap_log_severity CLAP_LOG_INFO = 1;
inline constexpr clap_log_severity CLAP_LOG_WARNING = 2;
inline constexpr clap_log_severity CLAP_LOG_ERROR = 3;
inline constexpr clap_log_severity CLAP_LOG_FATAL = 4;
inline constexpr clap_log_severity CLAP_LOG_HOST_MISBEHAVING = 5;
inline constexpr clap_log_severity CLAP_LOG_PLUGIN_MISBEHAVING = 6;

struct clap_host_log_t {
  void (*log)(const clap_host_t* host, clap_log_severity severity, const char* msg);
};

// --- note names ----------------------------------------------------------------------
struct clap_note_name_t {
  char name[CLAP_NAME_SIZE];
  std::int16_t port;
  std::int16_t key;
  std::int16_t channel;
};

struct clap_plugin_note_name_t {
  std::uint32_t (*count)(const clap_plugin_t* plugin);
  bool (*get)(const clap_plugin_t* plugin, std::uint32_t index, clap_note_name_t* note_name);
};

struct clap_host_note_name_t {
  void (*changed)(const clap_host_t* host);
};

// --- preset load and discovery -------------------------------------------------------
inline constexpr std::uint32_t CLAP_PRESET_DISCOVERY_LOCATION_FILE = 0;
inline constexpr std::uint32_t CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN = 1;

inline constexpr std::uint32_t CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT = 1u << 0;
inline constexpr std::uint32_t CLAP_PRESET_DISCOVERY_IS_USER_CONTENT = 1u << 1;
inline constexpr std::uint32_t CLAP_PRESET_DISCOVERY_IS_DEMO_CONTENT = 1u << 2;
inline constexpr std::uint32_t CLAP_PRESET_DISCOVERY_IS_FAVORITE = 1u << 3;

inline constexpr clap_timestamp CLAP_TIMESTAMP_UNKNOWN = 0;

struct clap_plugin_preset_load_t {
  bool (*from_location)(const clap_plugin_t* plugin, std::uint32_t location_kind, const char* location,
                        const char* load_key);
};

struct clap_host_preset_load_t {
  void (*on_error)(const clap_host_t* host, std::uint32_t location_kind, const char* location, const char* load_key,
                   std::int32_t os_error, const char* msg);
  void (*loaded)(const clap_host_t* host, std::uint32_t location_kind, const char* location, const char* load_key);
};

struct clap_universal_plugin_id_t {
  const char* abi;
  const char* id;
};

struct clap_preset_discovery_provider_descriptor_t {
  clap_version_t clap_version;
  const char* id;
  const char* name;
  const char* vendor;
};

struct clap_preset_discovery_location_t {
  std::uint32_t flags;
  const char* name;
  std::uint32_t kind;
  const char* location;
};

struct clap_preset_discovery_filetype_t {
  const char* name;
  const char* description;
  const char* file_extension;
};

struct clap_preset_discovery_soundpack_t {
  std::uint32_t flags;
  const char* id;
  const char* name;
  const char* description;
  const char* homepage_url;
  const char* vendor;
  const char* image_path;
  clap_timestamp release_timestamp;
};

struct clap_preset_discovery_metadata_receiver_t {
  void* receiver_data;
  void (*on_error)(const clap_preset_discovery_metadata_receiver_t* receiver, std::int32_t os_error,
                   const char* error_message);
  bool (*begin_preset)(const clap_preset_discovery_metadata_receiver_t* receiver, const char* name,
                       const char* load_key);
  void (*add_plugin_id)(const clap_preset_discovery_metadata_receiver_t* receiver,
                        const clap_universal_plugin_id_t* plugin_id);
  void (*set_soundpack_id)(const clap_preset_discovery_metadata_receiver_t* receiver, const char* soundpack_id);
  void (*set_flags)(const clap_preset_discovery_metadata_receiver_t* receiver, std::uint32_t flags);
  void (*add_creator)(const clap_preset_discovery_metadata_receiver_t* receiver, const char* creator);
  void (*set_description)(const clap_preset_discovery_metadata_receiver_t* receiver, const char* description);
  void (*set_timestamps)(const clap_preset_discovery_metadata_receiver_t* receiver, clap_timestamp creation_time,
                         clap_timestamp modification_time);
  void (*add_feature)(const clap_preset_discovery_metadata_receiver_t* receiver, const char* feature);
  void (*add_extra_info)(const clap_preset_discovery_metadata_receiver_t* receiver, const char* key, const char* value);
};

struct clap_preset_discovery_indexer_t {
  clap_version_t clap_version;
  const char* name;
  const char* vendor;
  const char* url;
  const char* version;
  void* indexer_data;
  bool (*declare_filetype)(const clap_preset_discovery_indexer_t* indexer,
                           const clap_preset_discovery_filetype_t* filetype);
  bool (*declare_location)(const clap_preset_discovery_indexer_t* indexer,
                           const clap_preset_discovery_location_t* location);
  bool (*declare_soundpack)(const clap_preset_discovery_indexer_t* indexer,
                            const clap_preset_discovery_soundpack_t* soundpack);
  const void* (*get_extension)(const clap_preset_discovery_indexer_t* indexer, const char* extension_id);
};

struct clap_preset_discovery_provider_t {
  const clap_preset_discovery_provider_descriptor_t* desc;
  void* provider_data;
  bool (*init)(const clap_preset_discovery_provider_t* provider);
  void (*destroy)(const clap_preset_discovery_provider_t* provider);
  bool (*get_metadata)(const clap_preset_discovery_provider_t* provider, std::uint32_t location_kind,
                       const char* location, const clap_preset_discovery_metadata_receiver_t* metadata_receiver);
  const void* (*get_extension)(const clap_preset_discovery_provider_t* provider, const char* extension_id);
};

struct clap_preset_discovery_factory_t {
  std::uint32_t (*count)(const clap_preset_discovery_factory_t* factory);
  const clap_preset_discovery_provider_descriptor_t* (*get_descriptor)(const clap_preset_discovery_factory_t* factory,
                                                                       std::uint32_t index);
  const clap_preset_discovery_provider_t* (*create)(const clap_preset_discovery_factory_t* factory,
                                                    const clap_preset_discovery_indexer_t* indexer,
                                                    const char* provider_id);
};

}  // extern "C"

// --- the sheet's sizes, alignments and offsets ------------------------------------------
#define ZYNKA_CLAP_RECORD(type, size, align) \
  static_assert(sizeof(type) == (size) && alignof(type) == (align), #type " size or alignment")
#define ZYNKA_CLAP_FIELD(type, field, offset) \
  static_assert(offsetof(type, field) == (offset), #type "." #field " offset")

ZYNKA_CLAP_RECORD(clap_version_t, 12, 4);
ZYNKA_CLAP_FIELD(clap_version_t, major, 0);
ZYNKA_CLAP_FIELD(clap_version_t, minor, 4);
ZYNKA_CLAP_FIELD(clap_version_t, revision, 8);

ZYNKA_CLAP_RECORD(clap_plugin_entry_t, 40, 8);
ZYNKA_CLAP_FIELD(clap_plugin_entry_t, clap_version, 0);
ZYNKA_CLAP_FIELD(clap_plugin_entry_t, init, 16);
ZYNKA_CLAP_FIELD(clap_plugin_entry_t, deinit, 24);
ZYNKA_CLAP_FIELD(clap_plugin_entry_t, get_factory, 32);

ZYNKA_CLAP_RECORD(clap_plugin_factory_t, 24, 8);
ZYNKA_CLAP_FIELD(clap_plugin_factory_t, get_plugin_count, 0);
ZYNKA_CLAP_FIELD(clap_plugin_factory_t, get_plugin_descriptor, 8);
ZYNKA_CLAP_FIELD(clap_plugin_factory_t, create_plugin, 16);

ZYNKA_CLAP_RECORD(clap_plugin_descriptor_t, 88, 8);
ZYNKA_CLAP_FIELD(clap_plugin_descriptor_t, clap_version, 0);
ZYNKA_CLAP_FIELD(clap_plugin_descriptor_t, id, 16);
ZYNKA_CLAP_FIELD(clap_plugin_descriptor_t, name, 24);
ZYNKA_CLAP_FIELD(clap_plugin_descriptor_t, vendor, 32);
ZYNKA_CLAP_FIELD(clap_plugin_descriptor_t, url, 40);
ZYNKA_CLAP_FIELD(clap_plugin_descriptor_t, manual_url, 48);
ZYNKA_CLAP_FIELD(clap_plugin_descriptor_t, support_url, 56);
ZYNKA_CLAP_FIELD(clap_plugin_descriptor_t, version, 64);
ZYNKA_CLAP_FIELD(clap_plugin_descriptor_t, description, 72);
ZYNKA_CLAP_FIELD(clap_plugin_descriptor_t, features, 80);

ZYNKA_CLAP_RECORD(clap_plugin_t, 96, 8);
ZYNKA_CLAP_FIELD(clap_plugin_t, desc, 0);
ZYNKA_CLAP_FIELD(clap_plugin_t, plugin_data, 8);
ZYNKA_CLAP_FIELD(clap_plugin_t, init, 16);
ZYNKA_CLAP_FIELD(clap_plugin_t, destroy, 24);
ZYNKA_CLAP_FIELD(clap_plugin_t, activate, 32);
ZYNKA_CLAP_FIELD(clap_plugin_t, deactivate, 40);
ZYNKA_CLAP_FIELD(clap_plugin_t, start_processing, 48);
ZYNKA_CLAP_FIELD(clap_plugin_t, stop_processing, 56);
ZYNKA_CLAP_FIELD(clap_plugin_t, reset, 64);
ZYNKA_CLAP_FIELD(clap_plugin_t, process, 72);
ZYNKA_CLAP_FIELD(clap_plugin_t, get_extension, 80);
ZYNKA_CLAP_FIELD(clap_plugin_t, on_main_thread, 88);

ZYNKA_CLAP_RECORD(clap_host_t, 88, 8);
ZYNKA_CLAP_FIELD(clap_host_t, clap_version, 0);
ZYNKA_CLAP_FIELD(clap_host_t, host_data, 16);
ZYNKA_CLAP_FIELD(clap_host_t, name, 24);
ZYNKA_CLAP_FIELD(clap_host_t, vendor, 32);
ZYNKA_CLAP_FIELD(clap_host_t, url, 40);
ZYNKA_CLAP_FIELD(clap_host_t, version, 48);
ZYNKA_CLAP_FIELD(clap_host_t, get_extension, 56);
ZYNKA_CLAP_FIELD(clap_host_t, request_restart, 64);
ZYNKA_CLAP_FIELD(clap_host_t, request_process, 72);
ZYNKA_CLAP_FIELD(clap_host_t, request_callback, 80);

ZYNKA_CLAP_RECORD(clap_process_t, 64, 8);
ZYNKA_CLAP_FIELD(clap_process_t, steady_time, 0);
ZYNKA_CLAP_FIELD(clap_process_t, frames_count, 8);
ZYNKA_CLAP_FIELD(clap_process_t, transport, 16);
ZYNKA_CLAP_FIELD(clap_process_t, audio_inputs, 24);
ZYNKA_CLAP_FIELD(clap_process_t, audio_outputs, 32);
ZYNKA_CLAP_FIELD(clap_process_t, audio_inputs_count, 40);
ZYNKA_CLAP_FIELD(clap_process_t, audio_outputs_count, 44);
ZYNKA_CLAP_FIELD(clap_process_t, in_events, 48);
ZYNKA_CLAP_FIELD(clap_process_t, out_events, 56);

ZYNKA_CLAP_RECORD(clap_audio_buffer_t, 32, 8);
ZYNKA_CLAP_FIELD(clap_audio_buffer_t, data32, 0);
ZYNKA_CLAP_FIELD(clap_audio_buffer_t, data64, 8);
ZYNKA_CLAP_FIELD(clap_audio_buffer_t, channel_count, 16);
ZYNKA_CLAP_FIELD(clap_audio_buffer_t, latency, 20);
ZYNKA_CLAP_FIELD(clap_audio_buffer_t, constant_mask, 24);

ZYNKA_CLAP_RECORD(clap_input_events_t, 24, 8);
ZYNKA_CLAP_FIELD(clap_input_events_t, ctx, 0);
ZYNKA_CLAP_FIELD(clap_input_events_t, size, 8);
ZYNKA_CLAP_FIELD(clap_input_events_t, get, 16);
ZYNKA_CLAP_RECORD(clap_output_events_t, 16, 8);
ZYNKA_CLAP_FIELD(clap_output_events_t, ctx, 0);
ZYNKA_CLAP_FIELD(clap_output_events_t, try_push, 8);

ZYNKA_CLAP_RECORD(clap_event_header_t, 16, 4);
ZYNKA_CLAP_FIELD(clap_event_header_t, size, 0);
ZYNKA_CLAP_FIELD(clap_event_header_t, time, 4);
ZYNKA_CLAP_FIELD(clap_event_header_t, space_id, 8);
ZYNKA_CLAP_FIELD(clap_event_header_t, type, 10);
ZYNKA_CLAP_FIELD(clap_event_header_t, flags, 12);

ZYNKA_CLAP_RECORD(clap_event_note_t, 40, 8);
ZYNKA_CLAP_FIELD(clap_event_note_t, header, 0);
ZYNKA_CLAP_FIELD(clap_event_note_t, note_id, 16);
ZYNKA_CLAP_FIELD(clap_event_note_t, port_index, 20);
ZYNKA_CLAP_FIELD(clap_event_note_t, channel, 22);
ZYNKA_CLAP_FIELD(clap_event_note_t, key, 24);
ZYNKA_CLAP_FIELD(clap_event_note_t, velocity, 32);

ZYNKA_CLAP_RECORD(clap_event_note_expression_t, 40, 8);
ZYNKA_CLAP_FIELD(clap_event_note_expression_t, expression_id, 16);
ZYNKA_CLAP_FIELD(clap_event_note_expression_t, note_id, 20);
ZYNKA_CLAP_FIELD(clap_event_note_expression_t, port_index, 24);
ZYNKA_CLAP_FIELD(clap_event_note_expression_t, channel, 26);
ZYNKA_CLAP_FIELD(clap_event_note_expression_t, key, 28);
ZYNKA_CLAP_FIELD(clap_event_note_expression_t, value, 32);

ZYNKA_CLAP_RECORD(clap_event_param_value_t, 56, 8);
ZYNKA_CLAP_FIELD(clap_event_param_value_t, param_id, 16);
ZYNKA_CLAP_FIELD(clap_event_param_value_t, cookie, 24);
ZYNKA_CLAP_FIELD(clap_event_param_value_t, note_id, 32);
ZYNKA_CLAP_FIELD(clap_event_param_value_t, port_index, 36);
ZYNKA_CLAP_FIELD(clap_event_param_value_t, channel, 38);
ZYNKA_CLAP_FIELD(clap_event_param_value_t, key, 40);
ZYNKA_CLAP_FIELD(clap_event_param_value_t, value, 48);

ZYNKA_CLAP_RECORD(clap_event_param_mod_t, 56, 8);
ZYNKA_CLAP_FIELD(clap_event_param_mod_t, param_id, 16);
ZYNKA_CLAP_FIELD(clap_event_param_mod_t, cookie, 24);
ZYNKA_CLAP_FIELD(clap_event_param_mod_t, note_id, 32);
ZYNKA_CLAP_FIELD(clap_event_param_mod_t, port_index, 36);
ZYNKA_CLAP_FIELD(clap_event_param_mod_t, channel, 38);
ZYNKA_CLAP_FIELD(clap_event_param_mod_t, key, 40);
ZYNKA_CLAP_FIELD(clap_event_param_mod_t, amount, 48);

ZYNKA_CLAP_RECORD(clap_event_param_gesture_t, 20, 4);
ZYNKA_CLAP_FIELD(clap_event_param_gesture_t, param_id, 16);

ZYNKA_CLAP_RECORD(clap_event_transport_t, 104, 8);
ZYNKA_CLAP_FIELD(clap_event_transport_t, flags, 16);
ZYNKA_CLAP_FIELD(clap_event_transport_t, song_pos_beats, 24);
ZYNKA_CLAP_FIELD(clap_event_transport_t, song_pos_seconds, 32);
ZYNKA_CLAP_FIELD(clap_event_transport_t, tempo, 40);
ZYNKA_CLAP_FIELD(clap_event_transport_t, tempo_inc, 48);
ZYNKA_CLAP_FIELD(clap_event_transport_t, loop_start_beats, 56);
ZYNKA_CLAP_FIELD(clap_event_transport_t, loop_end_beats, 64);
ZYNKA_CLAP_FIELD(clap_event_transport_t, loop_start_seconds, 72);
ZYNKA_CLAP_FIELD(clap_event_transport_t, loop_end_seconds, 80);
ZYNKA_CLAP_FIELD(clap_event_transport_t, bar_start, 88);
ZYNKA_CLAP_FIELD(clap_event_transport_t, bar_number, 96);
ZYNKA_CLAP_FIELD(clap_event_transport_t, tsig_num, 100);
ZYNKA_CLAP_FIELD(clap_event_transport_t, tsig_denom, 102);

ZYNKA_CLAP_RECORD(clap_event_midi_t, 24, 4);
ZYNKA_CLAP_FIELD(clap_event_midi_t, port_index, 16);
ZYNKA_CLAP_FIELD(clap_event_midi_t, data, 18);

ZYNKA_CLAP_RECORD(clap_event_midi_sysex_t, 40, 8);
ZYNKA_CLAP_FIELD(clap_event_midi_sysex_t, port_index, 16);
ZYNKA_CLAP_FIELD(clap_event_midi_sysex_t, buffer, 24);
ZYNKA_CLAP_FIELD(clap_event_midi_sysex_t, size, 32);

ZYNKA_CLAP_RECORD(clap_event_midi2_t, 36, 4);
ZYNKA_CLAP_FIELD(clap_event_midi2_t, port_index, 16);
ZYNKA_CLAP_FIELD(clap_event_midi2_t, data, 20);

ZYNKA_CLAP_RECORD(clap_istream_t, 16, 8);
ZYNKA_CLAP_FIELD(clap_istream_t, read, 8);
ZYNKA_CLAP_RECORD(clap_ostream_t, 16, 8);
ZYNKA_CLAP_FIELD(clap_ostream_t, write, 8);

ZYNKA_CLAP_RECORD(clap_param_info_t, 1320, 8);
ZYNKA_CLAP_FIELD(clap_param_info_t, id, 0);
ZYNKA_CLAP_FIELD(clap_param_info_t, flags, 4);
ZYNKA_CLAP_FIELD(clap_param_info_t, cookie, 8);
ZYNKA_CLAP_FIELD(clap_param_info_t, name, 16);
ZYNKA_CLAP_FIELD(clap_param_info_t, module, 272);
ZYNKA_CLAP_FIELD(clap_param_info_t, min_value, 1296);
ZYNKA_CLAP_FIELD(clap_param_info_t, max_value, 1304);
ZYNKA_CLAP_FIELD(clap_param_info_t, default_value, 1312);

ZYNKA_CLAP_RECORD(clap_plugin_params_t, 48, 8);
ZYNKA_CLAP_FIELD(clap_plugin_params_t, count, 0);
ZYNKA_CLAP_FIELD(clap_plugin_params_t, get_info, 8);
ZYNKA_CLAP_FIELD(clap_plugin_params_t, get_value, 16);
ZYNKA_CLAP_FIELD(clap_plugin_params_t, value_to_text, 24);
ZYNKA_CLAP_FIELD(clap_plugin_params_t, text_to_value, 32);
ZYNKA_CLAP_FIELD(clap_plugin_params_t, flush, 40);
ZYNKA_CLAP_RECORD(clap_host_params_t, 24, 8);
ZYNKA_CLAP_FIELD(clap_host_params_t, rescan, 0);
ZYNKA_CLAP_FIELD(clap_host_params_t, clear, 8);
ZYNKA_CLAP_FIELD(clap_host_params_t, request_flush, 16);

ZYNKA_CLAP_RECORD(clap_plugin_state_t, 16, 8);
ZYNKA_CLAP_FIELD(clap_plugin_state_t, save, 0);
ZYNKA_CLAP_FIELD(clap_plugin_state_t, load, 8);
ZYNKA_CLAP_RECORD(clap_host_state_t, 8, 8);

ZYNKA_CLAP_RECORD(clap_audio_port_info_t, 288, 8);
ZYNKA_CLAP_FIELD(clap_audio_port_info_t, id, 0);
ZYNKA_CLAP_FIELD(clap_audio_port_info_t, name, 4);
ZYNKA_CLAP_FIELD(clap_audio_port_info_t, flags, 260);
ZYNKA_CLAP_FIELD(clap_audio_port_info_t, channel_count, 264);
ZYNKA_CLAP_FIELD(clap_audio_port_info_t, port_type, 272);
ZYNKA_CLAP_FIELD(clap_audio_port_info_t, in_place_pair, 280);
ZYNKA_CLAP_RECORD(clap_plugin_audio_ports_t, 16, 8);
ZYNKA_CLAP_FIELD(clap_plugin_audio_ports_t, get, 8);
ZYNKA_CLAP_RECORD(clap_host_audio_ports_t, 16, 8);

ZYNKA_CLAP_RECORD(clap_note_port_info_t, 268, 4);
ZYNKA_CLAP_FIELD(clap_note_port_info_t, id, 0);
ZYNKA_CLAP_FIELD(clap_note_port_info_t, supported_dialects, 4);
ZYNKA_CLAP_FIELD(clap_note_port_info_t, preferred_dialect, 8);
ZYNKA_CLAP_FIELD(clap_note_port_info_t, name, 12);
ZYNKA_CLAP_RECORD(clap_plugin_note_ports_t, 16, 8);
ZYNKA_CLAP_FIELD(clap_plugin_note_ports_t, get, 8);
ZYNKA_CLAP_RECORD(clap_host_note_ports_t, 16, 8);

ZYNKA_CLAP_RECORD(clap_window_t, 16, 8);
ZYNKA_CLAP_FIELD(clap_window_t, api, 0);
ZYNKA_CLAP_FIELD(clap_window_t, cocoa, 8);
ZYNKA_CLAP_FIELD(clap_window_t, x11, 8);
ZYNKA_CLAP_FIELD(clap_window_t, win32, 8);
ZYNKA_CLAP_FIELD(clap_window_t, ptr, 8);

ZYNKA_CLAP_RECORD(clap_gui_resize_hints_t, 12, 4);
ZYNKA_CLAP_FIELD(clap_gui_resize_hints_t, can_resize_vertically, 1);
ZYNKA_CLAP_FIELD(clap_gui_resize_hints_t, preserve_aspect_ratio, 2);
ZYNKA_CLAP_FIELD(clap_gui_resize_hints_t, aspect_ratio_width, 4);
ZYNKA_CLAP_FIELD(clap_gui_resize_hints_t, aspect_ratio_height, 8);

ZYNKA_CLAP_RECORD(clap_plugin_gui_t, 120, 8);
ZYNKA_CLAP_FIELD(clap_plugin_gui_t, is_api_supported, 0);
ZYNKA_CLAP_FIELD(clap_plugin_gui_t, get_preferred_api, 8);
ZYNKA_CLAP_FIELD(clap_plugin_gui_t, create, 16);
ZYNKA_CLAP_FIELD(clap_plugin_gui_t, destroy, 24);
ZYNKA_CLAP_FIELD(clap_plugin_gui_t, set_scale, 32);
ZYNKA_CLAP_FIELD(clap_plugin_gui_t, get_size, 40);
ZYNKA_CLAP_FIELD(clap_plugin_gui_t, can_resize, 48);
ZYNKA_CLAP_FIELD(clap_plugin_gui_t, get_resize_hints, 56);
ZYNKA_CLAP_FIELD(clap_plugin_gui_t, adjust_size, 64);
ZYNKA_CLAP_FIELD(clap_plugin_gui_t, set_size, 72);
ZYNKA_CLAP_FIELD(clap_plugin_gui_t, set_parent, 80);
ZYNKA_CLAP_FIELD(clap_plugin_gui_t, set_transient, 88);
ZYNKA_CLAP_FIELD(clap_plugin_gui_t, suggest_title, 96);
ZYNKA_CLAP_FIELD(clap_plugin_gui_t, show, 104);
ZYNKA_CLAP_FIELD(clap_plugin_gui_t, hide, 112);
ZYNKA_CLAP_RECORD(clap_host_gui_t, 40, 8);
ZYNKA_CLAP_FIELD(clap_host_gui_t, closed, 32);

ZYNKA_CLAP_RECORD(clap_plugin_timer_support_t, 8, 8);
ZYNKA_CLAP_RECORD(clap_host_timer_support_t, 16, 8);
ZYNKA_CLAP_FIELD(clap_host_timer_support_t, unregister_timer, 8);
ZYNKA_CLAP_RECORD(clap_plugin_posix_fd_support_t, 8, 8);
ZYNKA_CLAP_RECORD(clap_host_posix_fd_support_t, 24, 8);
ZYNKA_CLAP_FIELD(clap_host_posix_fd_support_t, modify_fd, 8);
ZYNKA_CLAP_FIELD(clap_host_posix_fd_support_t, unregister_fd, 16);

ZYNKA_CLAP_RECORD(clap_plugin_latency_t, 8, 8);
ZYNKA_CLAP_RECORD(clap_host_latency_t, 8, 8);
ZYNKA_CLAP_RECORD(clap_plugin_tail_t, 8, 8);
ZYNKA_CLAP_RECORD(clap_host_tail_t, 8, 8);
ZYNKA_CLAP_RECORD(clap_plugin_render_t, 16, 8);
ZYNKA_CLAP_FIELD(clap_plugin_render_t, set, 8);
ZYNKA_CLAP_RECORD(clap_voice_info_t, 16, 8);
ZYNKA_CLAP_FIELD(clap_voice_info_t, voice_capacity, 4);
ZYNKA_CLAP_FIELD(clap_voice_info_t, flags, 8);
ZYNKA_CLAP_RECORD(clap_plugin_voice_info_t, 8, 8);
ZYNKA_CLAP_RECORD(clap_host_voice_info_t, 8, 8);
ZYNKA_CLAP_RECORD(clap_host_thread_check_t, 16, 8);
ZYNKA_CLAP_FIELD(clap_host_thread_check_t, is_audio_thread, 8);
ZYNKA_CLAP_RECORD(clap_host_log_t, 8, 8);

ZYNKA_CLAP_RECORD(clap_note_name_t, 262, 2);
ZYNKA_CLAP_FIELD(clap_note_name_t, port, 256);
ZYNKA_CLAP_FIELD(clap_note_name_t, key, 258);
ZYNKA_CLAP_FIELD(clap_note_name_t, channel, 260);
ZYNKA_CLAP_RECORD(clap_plugin_note_name_t, 16, 8);
ZYNKA_CLAP_RECORD(clap_host_note_name_t, 8, 8);

ZYNKA_CLAP_RECORD(clap_plugin_preset_load_t, 8, 8);
ZYNKA_CLAP_RECORD(clap_host_preset_load_t, 16, 8);
ZYNKA_CLAP_FIELD(clap_host_preset_load_t, loaded, 8);

ZYNKA_CLAP_RECORD(clap_preset_discovery_factory_t, 24, 8);
ZYNKA_CLAP_FIELD(clap_preset_discovery_factory_t, get_descriptor, 8);
ZYNKA_CLAP_FIELD(clap_preset_discovery_factory_t, create, 16);

ZYNKA_CLAP_RECORD(clap_preset_discovery_provider_descriptor_t, 40, 8);
ZYNKA_CLAP_FIELD(clap_preset_discovery_provider_descriptor_t, id, 16);
ZYNKA_CLAP_FIELD(clap_preset_discovery_provider_descriptor_t, name, 24);
ZYNKA_CLAP_FIELD(clap_preset_discovery_provider_descriptor_t, vendor, 32);

ZYNKA_CLAP_RECORD(clap_preset_discovery_provider_t, 48, 8);
ZYNKA_CLAP_FIELD(clap_preset_discovery_provider_t, provider_data, 8);
ZYNKA_CLAP_FIELD(clap_preset_discovery_provider_t, init, 16);
ZYNKA_CLAP_FIELD(clap_preset_discovery_provider_t, destroy, 24);
ZYNKA_CLAP_FIELD(clap_preset_discovery_provider_t, get_metadata, 32);
ZYNKA_CLAP_FIELD(clap_preset_discovery_provider_t, get_extension, 40);

ZYNKA_CLAP_RECORD(clap_preset_discovery_indexer_t, 88, 8);
ZYNKA_CLAP_FIELD(clap_preset_discovery_indexer_t, name, 16);
ZYNKA_CLAP_FIELD(clap_preset_discovery_indexer_t, vendor, 24);
ZYNKA_CLAP_FIELD(clap_preset_discovery_indexer_t, url, 32);
ZYNKA_CLAP_FIELD(clap_preset_discovery_indexer_t, version, 40);
ZYNKA_CLAP_FIELD(clap_preset_discovery_indexer_t, indexer_data, 48);
ZYNKA_CLAP_FIELD(clap_preset_discovery_indexer_t, declare_filetype, 56);
ZYNKA_CLAP_FIELD(clap_preset_discovery_indexer_t, declare_location, 64);
ZYNKA_CLAP_FIELD(clap_preset_discovery_indexer_t, declare_soundpack, 72);
ZYNKA_CLAP_FIELD(clap_preset_discovery_indexer_t, get_extension, 80);

ZYNKA_CLAP_RECORD(clap_preset_discovery_location_t, 32, 8);
ZYNKA_CLAP_FIELD(clap_preset_discovery_location_t, flags, 0);
ZYNKA_CLAP_FIELD(clap_preset_discovery_location_t, name, 8);
ZYNKA_CLAP_FIELD(clap_preset_discovery_location_t, kind, 16);
ZYNKA_CLAP_FIELD(clap_preset_discovery_location_t, location, 24);

ZYNKA_CLAP_RECORD(clap_preset_discovery_filetype_t, 24, 8);
ZYNKA_CLAP_FIELD(clap_preset_discovery_filetype_t, file_extension, 16);

ZYNKA_CLAP_RECORD(clap_preset_discovery_soundpack_t, 64, 8);
ZYNKA_CLAP_FIELD(clap_preset_discovery_soundpack_t, id, 8);
ZYNKA_CLAP_FIELD(clap_preset_discovery_soundpack_t, name, 16);
ZYNKA_CLAP_FIELD(clap_preset_discovery_soundpack_t, description, 24);
ZYNKA_CLAP_FIELD(clap_preset_discovery_soundpack_t, homepage_url, 32);
ZYNKA_CLAP_FIELD(clap_preset_discovery_soundpack_t, vendor, 40);
ZYNKA_CLAP_FIELD(clap_preset_discovery_soundpack_t, image_path, 48);
ZYNKA_CLAP_FIELD(clap_preset_discovery_soundpack_t, release_timestamp, 56);

ZYNKA_CLAP_RECORD(clap_preset_discovery_metadata_receiver_t, 88, 8);
ZYNKA_CLAP_FIELD(clap_preset_discovery_metadata_receiver_t, on_error, 8);
ZYNKA_CLAP_FIELD(clap_preset_discovery_metadata_receiver_t, begin_preset, 16);
ZYNKA_CLAP_FIELD(clap_preset_discovery_metadata_receiver_t, add_plugin_id, 24);
ZYNKA_CLAP_FIELD(clap_preset_discovery_metadata_receiver_t, set_soundpack_id, 32);
ZYNKA_CLAP_FIELD(clap_preset_discovery_metadata_receiver_t, set_flags, 40);
ZYNKA_CLAP_FIELD(clap_preset_discovery_metadata_receiver_t, add_creator, 48);
ZYNKA_CLAP_FIELD(clap_preset_discovery_metadata_receiver_t, set_description, 56);
ZYNKA_CLAP_FIELD(clap_preset_discovery_metadata_receiver_t, set_timestamps, 64);
ZYNKA_CLAP_FIELD(clap_preset_discovery_metadata_receiver_t, add_feature, 72);
ZYNKA_CLAP_FIELD(clap_preset_discovery_metadata_receiver_t, add_extra_info, 80);

ZYNKA_CLAP_RECORD(clap_universal_plugin_id_t, 16, 8);
ZYNKA_CLAP_FIELD(clap_universal_plugin_id_t, id, 8);

#undef ZYNKA_CLAP_RECORD
#undef ZYNKA_CLAP_FIELD
