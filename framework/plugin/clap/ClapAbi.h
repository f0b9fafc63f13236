/* The CLAP 1.2 binary interface: the records, constants and function types a
 * host and a plug-in module exchange, as far as Velmora uses them. Plain C so
 * that either side may use it; the names are the customary ones, at global
 * scope. Every size and offset is checked at compile time for 64-bit Linux and
 * 64-bit Windows, the two targets we build (both lay these records out alike;
 * only clap_window's X11 member is narrower on Windows, inside a union of
 * pointers). */
#ifndef VELMORA_CLAP_ABI_H
#define VELMORA_CLAP_ABI_H
// The binary interface keeps its own names.
// NOLINTBEGIN(readability-identifier-naming)

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32) || defined(__CYGWIN__)
#define CLAP_ABI __cdecl
#else
#define CLAP_ABI
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- versions, ids, names ------------------------------------------------ */

typedef struct clap_version {
  uint32_t major; /* 0: a development version no stable host accepts */
  uint32_t minor;
  uint32_t revision;
} clap_version_t;

#define CLAP_VERSION_MAJOR 1
#define CLAP_VERSION_MINOR 2
#define CLAP_VERSION_REVISION 10
#define CLAP_VERSION_INIT {CLAP_VERSION_MAJOR, CLAP_VERSION_MINOR, CLAP_VERSION_REVISION}

/* A host or plug-in of major version 1 or later speaks the stable interface. */
static inline bool clap_version_is_compatible(clap_version_t v) { return v.major >= 1; }

#define CLAP_NAME_SIZE 256
#define CLAP_PATH_SIZE 1024

typedef uint32_t clap_id;
#define CLAP_INVALID_ID UINT32_MAX

typedef int64_t clap_beattime;
typedef int64_t clap_sectime;
#define CLAP_BEATTIME_FACTOR (1LL << 31)
#define CLAP_SECTIME_FACTOR (1LL << 31)

/* ---- events --------------------------------------------------------------- */

typedef struct clap_event_header {
  uint32_t size; /* the whole event, header included */
  uint32_t time; /* frames from the start of the block */
  uint16_t space_id;
  uint16_t type;
  uint32_t flags;
} clap_event_header_t;

#define CLAP_CORE_EVENT_SPACE_ID 0
#define CLAP_EVENT_IS_LIVE (1u << 0)
#define CLAP_EVENT_DONT_RECORD (1u << 1)

enum {
  CLAP_EVENT_NOTE_ON = 0,
  CLAP_EVENT_NOTE_OFF = 1,
  CLAP_EVENT_NOTE_CHOKE = 2,
  CLAP_EVENT_NOTE_END = 3,
  CLAP_EVENT_NOTE_EXPRESSION = 4,
  CLAP_EVENT_PARAM_VALUE = 5,
  CLAP_EVENT_PARAM_MOD = 6,
  CLAP_EVENT_PARAM_GESTURE_BEGIN = 7,
  CLAP_EVENT_PARAM_GESTURE_END = 8,
  CLAP_EVENT_TRANSPORT = 9,
  CLAP_EVENT_MIDI = 10,
  CLAP_EVENT_MIDI_SYSEX = 11,
  CLAP_EVENT_MIDI2 = 12,
};

typedef struct clap_event_note {
  clap_event_header_t header;
  int32_t note_id; /* -1: any */
  int16_t port_index;
  int16_t channel;
  int16_t key;
  double velocity; /* 0..1 */
} clap_event_note_t;

typedef struct clap_event_note_expression {
  clap_event_header_t header;
  int32_t expression_id;
  int32_t note_id;
  int16_t port_index;
  int16_t channel;
  int16_t key;
  double value;
} clap_event_note_expression_t;

typedef struct clap_event_param_value {
  clap_event_header_t header;
  clap_id param_id;
  void* cookie;
  int32_t note_id;
  int16_t port_index;
  int16_t channel;
  int16_t key;
  double value; /* plain, not normalised */
} clap_event_param_value_t;

typedef struct clap_event_param_mod {
  clap_event_header_t header;
  clap_id param_id;
  void* cookie;
  int32_t note_id;
  int16_t port_index;
  int16_t channel;
  int16_t key;
  double amount;
} clap_event_param_mod_t;

typedef struct clap_event_param_gesture {
  clap_event_header_t header;
  clap_id param_id;
} clap_event_param_gesture_t;

enum {
  CLAP_TRANSPORT_HAS_TEMPO = 1 << 0,
  CLAP_TRANSPORT_HAS_BEATS_TIMELINE = 1 << 1,
  CLAP_TRANSPORT_HAS_SECONDS_TIMELINE = 1 << 2,
  CLAP_TRANSPORT_HAS_TIME_SIGNATURE = 1 << 3,
  CLAP_TRANSPORT_IS_PLAYING = 1 << 4,
  CLAP_TRANSPORT_IS_RECORDING = 1 << 5,
  CLAP_TRANSPORT_IS_LOOP_ACTIVE = 1 << 6,
  CLAP_TRANSPORT_IS_WITHIN_PRE_ROLL = 1 << 7,
};

typedef struct clap_event_transport {
  clap_event_header_t header;
  uint32_t flags;
  clap_beattime song_pos_beats;
  clap_sectime song_pos_seconds;
  double tempo; /* beats per minute */
  double tempo_inc;
  clap_beattime loop_start_beats;
  clap_beattime loop_end_beats;
  clap_sectime loop_start_seconds;
  clap_sectime loop_end_seconds;
  clap_beattime bar_start;
  int32_t bar_number;
  uint16_t tsig_num;
  uint16_t tsig_denom;
} clap_event_transport_t;

typedef struct clap_event_midi {
  clap_event_header_t header;
  uint16_t port_index;
  uint8_t data[3];
} clap_event_midi_t;

typedef struct clap_event_midi_sysex {
  clap_event_header_t header;
  uint16_t port_index;
  const uint8_t* buffer; /* valid for the call only */
  uint32_t size;
} clap_event_midi_sysex_t;

typedef struct clap_event_midi2 {
  clap_event_header_t header;
  uint16_t port_index;
  uint32_t data[4];
} clap_event_midi2_t;

typedef struct clap_input_events {
  void* ctx;
  uint32_t(CLAP_ABI* size)(const struct clap_input_events* list);
  const clap_event_header_t*(CLAP_ABI* get)(const struct clap_input_events* list, uint32_t index);
} clap_input_events_t;

typedef struct clap_output_events {
  void* ctx;
  /* The host copies the event; false when it could not be queued. */
  bool(CLAP_ABI* try_push)(const struct clap_output_events* list, const clap_event_header_t* event);
} clap_output_events_t;

/* ---- processing ----------------------------------------------------------- */

typedef struct clap_audio_buffer {
  float** data32;
  double** data64;
  uint32_t channel_count;
  uint32_t latency;
  uint64_t constant_mask;
} clap_audio_buffer_t;

enum {
  CLAP_PROCESS_ERROR = 0,
  CLAP_PROCESS_CONTINUE = 1,
  CLAP_PROCESS_CONTINUE_IF_NOT_QUIET = 2,
  CLAP_PROCESS_TAIL = 3,
  CLAP_PROCESS_SLEEP = 4,
};
typedef int32_t clap_process_status;

typedef struct clap_process {
  int64_t steady_time;
  uint32_t frames_count;
  const clap_event_transport_t* transport; /* null: no transport */
  const clap_audio_buffer_t* audio_inputs;
  clap_audio_buffer_t* audio_outputs;
  uint32_t audio_inputs_count;
  uint32_t audio_outputs_count;
  const clap_input_events_t* in_events;
  const clap_output_events_t* out_events;
} clap_process_t;

/* ---- host, plug-in, factory, entry ---------------------------------------- */

typedef struct clap_host {
  clap_version_t clap_version;
  void* host_data;
  const char* name;
  const char* vendor;
  const char* url;
  const char* version;
  const void*(CLAP_ABI* get_extension)(const struct clap_host* host, const char* extension_id);
  void(CLAP_ABI* request_restart)(const struct clap_host* host);
  void(CLAP_ABI* request_process)(const struct clap_host* host);
  void(CLAP_ABI* request_callback)(const struct clap_host* host);
} clap_host_t;

typedef struct clap_plugin_descriptor {
  clap_version_t clap_version;
  const char* id;
  const char* name;
  const char* vendor;
  const char* url;
  const char* manual_url;
  const char* support_url;
  const char* version;
  const char* description;
  const char* const* features; /* null-terminated */
} clap_plugin_descriptor_t;

typedef struct clap_plugin {
  const clap_plugin_descriptor_t* desc;
  void* plugin_data;
  bool(CLAP_ABI* init)(const struct clap_plugin* plugin);
  void(CLAP_ABI* destroy)(const struct clap_plugin* plugin);
  bool(CLAP_ABI* activate)(const struct clap_plugin* plugin, double sample_rate, uint32_t min_frames_count,
                           uint32_t max_frames_count);
  void(CLAP_ABI* deactivate)(const struct clap_plugin* plugin);
  bool(CLAP_ABI* start_processing)(const struct clap_plugin* plugin);
  void(CLAP_ABI* stop_processing)(const struct clap_plugin* plugin);
  void(CLAP_ABI* reset)(const struct clap_plugin* plugin);
  clap_process_status(CLAP_ABI* process)(const struct clap_plugin* plugin, const clap_process_t* process);
  const void*(CLAP_ABI* get_extension)(const struct clap_plugin* plugin, const char* id);
  void(CLAP_ABI* on_main_thread)(const struct clap_plugin* plugin);
} clap_plugin_t;

#define CLAP_PLUGIN_FACTORY_ID "clap.plugin-factory"

typedef struct clap_plugin_factory {
  uint32_t(CLAP_ABI* get_plugin_count)(const struct clap_plugin_factory* factory);
  const clap_plugin_descriptor_t*(CLAP_ABI* get_plugin_descriptor)(const struct clap_plugin_factory* factory,
                                                                   uint32_t index);
  const clap_plugin_t*(CLAP_ABI* create_plugin)(const struct clap_plugin_factory* factory,
                                                const clap_host_t* host, const char* plugin_id);
} clap_plugin_factory_t;

typedef struct clap_plugin_entry {
  clap_version_t clap_version;
  bool(CLAP_ABI* init)(const char* plugin_path);
  void(CLAP_ABI* deinit)(void);
  const void*(CLAP_ABI* get_factory)(const char* factory_id);
} clap_plugin_entry_t;

/* ---- extensions: ids ------------------------------------------------------ */

#define CLAP_EXT_PARAMS "clap.params"
#define CLAP_EXT_STATE "clap.state"
#define CLAP_EXT_NOTE_PORTS "clap.note-ports"
#define CLAP_EXT_AUDIO_PORTS "clap.audio-ports"
#define CLAP_EXT_GUI "clap.gui"
#define CLAP_EXT_TIMER_SUPPORT "clap.timer-support"
#define CLAP_EXT_POSIX_FD_SUPPORT "clap.posix-fd-support"
#define CLAP_EXT_NOTE_NAME "clap.note-name"
#define CLAP_EXT_LATENCY "clap.latency"
#define CLAP_EXT_TAIL "clap.tail"
#define CLAP_EXT_THREAD_CHECK "clap.thread-check"
#define CLAP_EXT_LOG "clap.log"
#define CLAP_EXT_RENDER "clap.render"

/* ---- params --------------------------------------------------------------- */

enum {
  CLAP_PARAM_IS_STEPPED = 1 << 0,
  CLAP_PARAM_IS_PERIODIC = 1 << 1,
  CLAP_PARAM_IS_HIDDEN = 1 << 2,
  CLAP_PARAM_IS_READONLY = 1 << 3,
  CLAP_PARAM_IS_BYPASS = 1 << 4,
  CLAP_PARAM_IS_AUTOMATABLE = 1 << 5,
  CLAP_PARAM_IS_AUTOMATABLE_PER_NOTE_ID = 1 << 6,
  CLAP_PARAM_IS_AUTOMATABLE_PER_KEY = 1 << 7,
  CLAP_PARAM_IS_AUTOMATABLE_PER_CHANNEL = 1 << 8,
  CLAP_PARAM_IS_AUTOMATABLE_PER_PORT = 1 << 9,
  CLAP_PARAM_IS_MODULATABLE = 1 << 10,
  CLAP_PARAM_IS_MODULATABLE_PER_NOTE_ID = 1 << 11,
  CLAP_PARAM_IS_MODULATABLE_PER_KEY = 1 << 12,
  CLAP_PARAM_IS_MODULATABLE_PER_CHANNEL = 1 << 13,
  CLAP_PARAM_IS_MODULATABLE_PER_PORT = 1 << 14,
  CLAP_PARAM_REQUIRES_PROCESS = 1 << 15,
  CLAP_PARAM_IS_ENUM = 1 << 16,
};

enum {
  CLAP_PARAM_RESCAN_VALUES = 1 << 0,
  CLAP_PARAM_RESCAN_TEXT = 1 << 1,
  CLAP_PARAM_RESCAN_INFO = 1 << 2,
  CLAP_PARAM_RESCAN_ALL = 1 << 3,
};

enum {
  CLAP_PARAM_CLEAR_ALL = 1 << 0,
  CLAP_PARAM_CLEAR_AUTOMATIONS = 1 << 1,
  CLAP_PARAM_CLEAR_MODULATIONS = 1 << 2,
};

typedef struct clap_param_info {
  clap_id id;
  uint32_t flags;
  void* cookie;
  char name[CLAP_NAME_SIZE];
  char module[CLAP_PATH_SIZE];
  double min_value;
  double max_value;
  double default_value;
} clap_param_info_t;

typedef struct clap_plugin_params {
  uint32_t(CLAP_ABI* count)(const clap_plugin_t* plugin);
  bool(CLAP_ABI* get_info)(const clap_plugin_t* plugin, uint32_t param_index, clap_param_info_t* info);
  bool(CLAP_ABI* get_value)(const clap_plugin_t* plugin, clap_id param_id, double* out_value);
  bool(CLAP_ABI* value_to_text)(const clap_plugin_t* plugin, clap_id param_id, double value, char* out_buffer,
                                uint32_t out_buffer_capacity);
  bool(CLAP_ABI* text_to_value)(const clap_plugin_t* plugin, clap_id param_id, const char* param_value_text,
                                double* out_value);
  void(CLAP_ABI* flush)(const clap_plugin_t* plugin, const clap_input_events_t* in,
                        const clap_output_events_t* out);
} clap_plugin_params_t;

typedef struct clap_host_params {
  void(CLAP_ABI* rescan)(const clap_host_t* host, uint32_t flags);
  void(CLAP_ABI* clear)(const clap_host_t* host, clap_id param_id, uint32_t flags);
  void(CLAP_ABI* request_flush)(const clap_host_t* host);
} clap_host_params_t;

/* ---- state ---------------------------------------------------------------- */

typedef struct clap_istream {
  void* ctx;
  /* Bytes read (may be fewer than asked), 0 at the end, -1 on error. */
  int64_t(CLAP_ABI* read)(const struct clap_istream* stream, void* buffer, uint64_t size);
} clap_istream_t;

typedef struct clap_ostream {
  void* ctx;
  /* Bytes written (may be fewer than given), -1 on error. */
  int64_t(CLAP_ABI* write)(const struct clap_ostream* stream, const void* buffer, uint64_t size);
} clap_ostream_t;

typedef struct clap_plugin_state {
  bool(CLAP_ABI* save)(const clap_plugin_t* plugin, const clap_ostream_t* stream);
  bool(CLAP_ABI* load)(const clap_plugin_t* plugin, const clap_istream_t* stream);
} clap_plugin_state_t;

typedef struct clap_host_state {
  void(CLAP_ABI* mark_dirty)(const clap_host_t* host);
} clap_host_state_t;

/* ---- note ports ----------------------------------------------------------- */

enum {
  CLAP_NOTE_DIALECT_CLAP = 1 << 0,
  CLAP_NOTE_DIALECT_MIDI = 1 << 1,
  CLAP_NOTE_DIALECT_MIDI_MPE = 1 << 2,
  CLAP_NOTE_DIALECT_MIDI2 = 1 << 3,
};

enum {
  CLAP_NOTE_PORTS_RESCAN_ALL = 1 << 0,
  CLAP_NOTE_PORTS_RESCAN_NAMES = 1 << 1,
};

typedef struct clap_note_port_info {
  clap_id id;
  uint32_t supported_dialects;
  uint32_t preferred_dialect;
  char name[CLAP_NAME_SIZE];
} clap_note_port_info_t;

typedef struct clap_plugin_note_ports {
  uint32_t(CLAP_ABI* count)(const clap_plugin_t* plugin, bool is_input);
  bool(CLAP_ABI* get)(const clap_plugin_t* plugin, uint32_t index, bool is_input, clap_note_port_info_t* info);
} clap_plugin_note_ports_t;

typedef struct clap_host_note_ports {
  uint32_t(CLAP_ABI* supported_dialects)(const clap_host_t* host);
  void(CLAP_ABI* rescan)(const clap_host_t* host, uint32_t flags);
} clap_host_note_ports_t;

/* ---- audio ports (answered as none) --------------------------------------- */

typedef struct clap_audio_port_info {
  clap_id id;
  char name[CLAP_NAME_SIZE];
  uint32_t flags;
  uint32_t channel_count;
  const char* port_type;
  clap_id in_place_pair;
} clap_audio_port_info_t;

typedef struct clap_plugin_audio_ports {
  uint32_t(CLAP_ABI* count)(const clap_plugin_t* plugin, bool is_input);
  bool(CLAP_ABI* get)(const clap_plugin_t* plugin, uint32_t index, bool is_input, clap_audio_port_info_t* info);
} clap_plugin_audio_ports_t;

/* ---- gui ------------------------------------------------------------------ */

#define CLAP_WINDOW_API_WIN32 "win32"
#define CLAP_WINDOW_API_X11 "x11"
#define CLAP_WINDOW_API_COCOA "cocoa"
#define CLAP_WINDOW_API_WAYLAND "wayland"

typedef struct clap_window {
  const char* api;
  union {
    void* cocoa;
    unsigned long x11; /* an X window id; 4 bytes on Windows, where it is unused */
    void* win32;
    void* ptr;
  };
} clap_window_t;

typedef struct clap_gui_resize_hints {
  bool can_resize_horizontally;
  bool can_resize_vertically;
  bool preserve_aspect_ratio;
  uint32_t aspect_ratio_width;
  uint32_t aspect_ratio_height;
} clap_gui_resize_hints_t;

typedef struct clap_plugin_gui {
  bool(CLAP_ABI* is_api_supported)(const clap_plugin_t* plugin, const char* api, bool is_floating);
  bool(CLAP_ABI* get_preferred_api)(const clap_plugin_t* plugin, const char** api, bool* is_floating);
  bool(CLAP_ABI* create)(const clap_plugin_t* plugin, const char* api, bool is_floating);
  void(CLAP_ABI* destroy)(const clap_plugin_t* plugin);
  bool(CLAP_ABI* set_scale)(const clap_plugin_t* plugin, double scale);
  bool(CLAP_ABI* get_size)(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height);
  bool(CLAP_ABI* can_resize)(const clap_plugin_t* plugin);
  bool(CLAP_ABI* get_resize_hints)(const clap_plugin_t* plugin, clap_gui_resize_hints_t* hints);
  bool(CLAP_ABI* adjust_size)(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height);
  bool(CLAP_ABI* set_size)(const clap_plugin_t* plugin, uint32_t width, uint32_t height);
  bool(CLAP_ABI* set_parent)(const clap_plugin_t* plugin, const clap_window_t* window);
  bool(CLAP_ABI* set_transient)(const clap_plugin_t* plugin, const clap_window_t* window);
  void(CLAP_ABI* suggest_title)(const clap_plugin_t* plugin, const char* title);
  bool(CLAP_ABI* show)(const clap_plugin_t* plugin);
  bool(CLAP_ABI* hide)(const clap_plugin_t* plugin);
} clap_plugin_gui_t;

typedef struct clap_host_gui {
  void(CLAP_ABI* resize_hints_changed)(const clap_host_t* host);
  bool(CLAP_ABI* request_resize)(const clap_host_t* host, uint32_t width, uint32_t height);
  bool(CLAP_ABI* request_show)(const clap_host_t* host);
  bool(CLAP_ABI* request_hide)(const clap_host_t* host);
  void(CLAP_ABI* closed)(const clap_host_t* host, bool was_destroyed);
} clap_host_gui_t;

/* ---- timer and descriptor support ----------------------------------------- */

typedef struct clap_plugin_timer_support {
  void(CLAP_ABI* on_timer)(const clap_plugin_t* plugin, clap_id timer_id);
} clap_plugin_timer_support_t;

typedef struct clap_host_timer_support {
  bool(CLAP_ABI* register_timer)(const clap_host_t* host, uint32_t period_ms, clap_id* timer_id);
  bool(CLAP_ABI* unregister_timer)(const clap_host_t* host, clap_id timer_id);
} clap_host_timer_support_t;

enum {
  CLAP_POSIX_FD_READ = 1 << 0,
  CLAP_POSIX_FD_WRITE = 1 << 1,
  CLAP_POSIX_FD_ERROR = 1 << 2,
};
typedef uint32_t clap_posix_fd_flags_t;

typedef struct clap_plugin_posix_fd_support {
  void(CLAP_ABI* on_fd)(const clap_plugin_t* plugin, int fd, clap_posix_fd_flags_t flags);
} clap_plugin_posix_fd_support_t;

typedef struct clap_host_posix_fd_support {
  bool(CLAP_ABI* register_fd)(const clap_host_t* host, int fd, clap_posix_fd_flags_t flags);
  bool(CLAP_ABI* modify_fd)(const clap_host_t* host, int fd, clap_posix_fd_flags_t flags);
  bool(CLAP_ABI* unregister_fd)(const clap_host_t* host, int fd);
} clap_host_posix_fd_support_t;

/* ---- note names ----------------------------------------------------------- */

typedef struct clap_note_name {
  char name[CLAP_NAME_SIZE];
  int16_t port; /* -1: every one */
  int16_t key;
  int16_t channel;
} clap_note_name_t;

typedef struct clap_plugin_note_name {
  uint32_t(CLAP_ABI* count)(const clap_plugin_t* plugin);
  bool(CLAP_ABI* get)(const clap_plugin_t* plugin, uint32_t index, clap_note_name_t* note_name);
} clap_plugin_note_name_t;

typedef struct clap_host_note_name {
  void(CLAP_ABI* changed)(const clap_host_t* host);
} clap_host_note_name_t;

/* ---- host services -------------------------------------------------------- */

typedef struct clap_host_thread_check {
  bool(CLAP_ABI* is_main_thread)(const clap_host_t* host);
  bool(CLAP_ABI* is_audio_thread)(const clap_host_t* host);
} clap_host_thread_check_t;

enum {
  CLAP_LOG_DEBUG = 0,
  CLAP_LOG_INFO = 1,
  CLAP_LOG_WARNING = 2,
  CLAP_LOG_ERROR = 3,
  CLAP_LOG_FATAL = 4,
  CLAP_LOG_HOST_MISBEHAVING = 5,
  CLAP_LOG_PLUGIN_MISBEHAVING = 6,
};
typedef int32_t clap_log_severity;

typedef struct clap_host_log {
  void(CLAP_ABI* log)(const clap_host_t* host, clap_log_severity severity, const char* msg);
} clap_host_log_t;

#ifdef __cplusplus
}
#endif

/* ---- layout checks -------------------------------------------------------- */

#ifdef __cplusplus
#define CLAP_ABI_ASSERT(condition) static_assert(condition, #condition)
#else
#define CLAP_ABI_ASSERT(condition) _Static_assert(condition, #condition)
#endif

/* Only the 64-bit layouts are ours to check; nothing else is built. */
CLAP_ABI_ASSERT(sizeof(void*) == 8);
CLAP_ABI_ASSERT(sizeof(bool) == 1);

CLAP_ABI_ASSERT(sizeof(clap_version_t) == 12);
CLAP_ABI_ASSERT(offsetof(clap_version_t, revision) == 8);

CLAP_ABI_ASSERT(offsetof(clap_plugin_entry_t, init) == 16);
CLAP_ABI_ASSERT(offsetof(clap_plugin_entry_t, deinit) == 24);
CLAP_ABI_ASSERT(offsetof(clap_plugin_entry_t, get_factory) == 32);
CLAP_ABI_ASSERT(sizeof(clap_plugin_entry_t) == 40);

CLAP_ABI_ASSERT(offsetof(clap_plugin_factory_t, get_plugin_descriptor) == 8);
CLAP_ABI_ASSERT(offsetof(clap_plugin_factory_t, create_plugin) == 16);
CLAP_ABI_ASSERT(sizeof(clap_plugin_factory_t) == 24);

CLAP_ABI_ASSERT(offsetof(clap_plugin_descriptor_t, id) == 16);
CLAP_ABI_ASSERT(offsetof(clap_plugin_descriptor_t, name) == 24);
CLAP_ABI_ASSERT(offsetof(clap_plugin_descriptor_t, vendor) == 32);
CLAP_ABI_ASSERT(offsetof(clap_plugin_descriptor_t, url) == 40);
CLAP_ABI_ASSERT(offsetof(clap_plugin_descriptor_t, manual_url) == 48);
CLAP_ABI_ASSERT(offsetof(clap_plugin_descriptor_t, support_url) == 56);
CLAP_ABI_ASSERT(offsetof(clap_plugin_descriptor_t, version) == 64);
CLAP_ABI_ASSERT(offsetof(clap_plugin_descriptor_t, description) == 72);
CLAP_ABI_ASSERT(offsetof(clap_plugin_descriptor_t, features) == 80);
CLAP_ABI_ASSERT(sizeof(clap_plugin_descriptor_t) == 88);

CLAP_ABI_ASSERT(offsetof(clap_plugin_t, plugin_data) == 8);
CLAP_ABI_ASSERT(offsetof(clap_plugin_t, init) == 16);
CLAP_ABI_ASSERT(offsetof(clap_plugin_t, destroy) == 24);
CLAP_ABI_ASSERT(offsetof(clap_plugin_t, activate) == 32);
CLAP_ABI_ASSERT(offsetof(clap_plugin_t, deactivate) == 40);
CLAP_ABI_ASSERT(offsetof(clap_plugin_t, start_processing) == 48);
CLAP_ABI_ASSERT(offsetof(clap_plugin_t, stop_processing) == 56);
CLAP_ABI_ASSERT(offsetof(clap_plugin_t, reset) == 64);
CLAP_ABI_ASSERT(offsetof(clap_plugin_t, process) == 72);
CLAP_ABI_ASSERT(offsetof(clap_plugin_t, get_extension) == 80);
CLAP_ABI_ASSERT(offsetof(clap_plugin_t, on_main_thread) == 88);
CLAP_ABI_ASSERT(sizeof(clap_plugin_t) == 96);

CLAP_ABI_ASSERT(offsetof(clap_process_t, frames_count) == 8);
CLAP_ABI_ASSERT(offsetof(clap_process_t, transport) == 16);
CLAP_ABI_ASSERT(offsetof(clap_process_t, audio_inputs) == 24);
CLAP_ABI_ASSERT(offsetof(clap_process_t, audio_outputs) == 32);
CLAP_ABI_ASSERT(offsetof(clap_process_t, audio_inputs_count) == 40);
CLAP_ABI_ASSERT(offsetof(clap_process_t, audio_outputs_count) == 44);
CLAP_ABI_ASSERT(offsetof(clap_process_t, in_events) == 48);
CLAP_ABI_ASSERT(offsetof(clap_process_t, out_events) == 56);
CLAP_ABI_ASSERT(sizeof(clap_process_t) == 64);

CLAP_ABI_ASSERT(offsetof(clap_audio_buffer_t, data64) == 8);
CLAP_ABI_ASSERT(offsetof(clap_audio_buffer_t, channel_count) == 16);
CLAP_ABI_ASSERT(offsetof(clap_audio_buffer_t, latency) == 20);
CLAP_ABI_ASSERT(offsetof(clap_audio_buffer_t, constant_mask) == 24);
CLAP_ABI_ASSERT(sizeof(clap_audio_buffer_t) == 32);

CLAP_ABI_ASSERT(offsetof(clap_host_t, host_data) == 16);
CLAP_ABI_ASSERT(offsetof(clap_host_t, name) == 24);
CLAP_ABI_ASSERT(offsetof(clap_host_t, vendor) == 32);
CLAP_ABI_ASSERT(offsetof(clap_host_t, url) == 40);
CLAP_ABI_ASSERT(offsetof(clap_host_t, version) == 48);
CLAP_ABI_ASSERT(offsetof(clap_host_t, get_extension) == 56);
CLAP_ABI_ASSERT(offsetof(clap_host_t, request_restart) == 64);
CLAP_ABI_ASSERT(offsetof(clap_host_t, request_process) == 72);
CLAP_ABI_ASSERT(offsetof(clap_host_t, request_callback) == 80);
CLAP_ABI_ASSERT(sizeof(clap_host_t) == 88);

CLAP_ABI_ASSERT(offsetof(clap_event_header_t, time) == 4);
CLAP_ABI_ASSERT(offsetof(clap_event_header_t, space_id) == 8);
CLAP_ABI_ASSERT(offsetof(clap_event_header_t, type) == 10);
CLAP_ABI_ASSERT(offsetof(clap_event_header_t, flags) == 12);
CLAP_ABI_ASSERT(sizeof(clap_event_header_t) == 16);

CLAP_ABI_ASSERT(offsetof(clap_event_note_t, note_id) == 16);
CLAP_ABI_ASSERT(offsetof(clap_event_note_t, port_index) == 20);
CLAP_ABI_ASSERT(offsetof(clap_event_note_t, channel) == 22);
CLAP_ABI_ASSERT(offsetof(clap_event_note_t, key) == 24);
CLAP_ABI_ASSERT(offsetof(clap_event_note_t, velocity) == 32);
CLAP_ABI_ASSERT(sizeof(clap_event_note_t) == 40);

CLAP_ABI_ASSERT(offsetof(clap_event_note_expression_t, expression_id) == 16);
CLAP_ABI_ASSERT(offsetof(clap_event_note_expression_t, note_id) == 20);
CLAP_ABI_ASSERT(offsetof(clap_event_note_expression_t, port_index) == 24);
CLAP_ABI_ASSERT(offsetof(clap_event_note_expression_t, channel) == 26);
CLAP_ABI_ASSERT(offsetof(clap_event_note_expression_t, key) == 28);
CLAP_ABI_ASSERT(offsetof(clap_event_note_expression_t, value) == 32);
CLAP_ABI_ASSERT(sizeof(clap_event_note_expression_t) == 40);

CLAP_ABI_ASSERT(offsetof(clap_event_param_value_t, param_id) == 16);
CLAP_ABI_ASSERT(offsetof(clap_event_param_value_t, cookie) == 24);
CLAP_ABI_ASSERT(offsetof(clap_event_param_value_t, note_id) == 32);
CLAP_ABI_ASSERT(offsetof(clap_event_param_value_t, port_index) == 36);
CLAP_ABI_ASSERT(offsetof(clap_event_param_value_t, channel) == 38);
CLAP_ABI_ASSERT(offsetof(clap_event_param_value_t, key) == 40);
CLAP_ABI_ASSERT(offsetof(clap_event_param_value_t, value) == 48);
CLAP_ABI_ASSERT(sizeof(clap_event_param_value_t) == 56);
CLAP_ABI_ASSERT(offsetof(clap_event_param_mod_t, amount) == 48);
CLAP_ABI_ASSERT(sizeof(clap_event_param_mod_t) == 56);

CLAP_ABI_ASSERT(offsetof(clap_event_param_gesture_t, param_id) == 16);
CLAP_ABI_ASSERT(sizeof(clap_event_param_gesture_t) == 20);

CLAP_ABI_ASSERT(offsetof(clap_event_transport_t, flags) == 16);
CLAP_ABI_ASSERT(offsetof(clap_event_transport_t, song_pos_beats) == 24);
CLAP_ABI_ASSERT(offsetof(clap_event_transport_t, song_pos_seconds) == 32);
CLAP_ABI_ASSERT(offsetof(clap_event_transport_t, tempo) == 40);
CLAP_ABI_ASSERT(offsetof(clap_event_transport_t, tempo_inc) == 48);
CLAP_ABI_ASSERT(offsetof(clap_event_transport_t, loop_start_beats) == 56);
CLAP_ABI_ASSERT(offsetof(clap_event_transport_t, loop_end_beats) == 64);
CLAP_ABI_ASSERT(offsetof(clap_event_transport_t, loop_start_seconds) == 72);
CLAP_ABI_ASSERT(offsetof(clap_event_transport_t, loop_end_seconds) == 80);
CLAP_ABI_ASSERT(offsetof(clap_event_transport_t, bar_start) == 88);
CLAP_ABI_ASSERT(offsetof(clap_event_transport_t, bar_number) == 96);
CLAP_ABI_ASSERT(offsetof(clap_event_transport_t, tsig_num) == 100);
CLAP_ABI_ASSERT(offsetof(clap_event_transport_t, tsig_denom) == 102);
CLAP_ABI_ASSERT(sizeof(clap_event_transport_t) == 104);

CLAP_ABI_ASSERT(offsetof(clap_event_midi_t, port_index) == 16);
CLAP_ABI_ASSERT(offsetof(clap_event_midi_t, data) == 18);
CLAP_ABI_ASSERT(sizeof(clap_event_midi_t) == 24);
CLAP_ABI_ASSERT(offsetof(clap_event_midi_sysex_t, buffer) == 24);
CLAP_ABI_ASSERT(offsetof(clap_event_midi_sysex_t, size) == 32);
CLAP_ABI_ASSERT(sizeof(clap_event_midi_sysex_t) == 40);
CLAP_ABI_ASSERT(offsetof(clap_event_midi2_t, data) == 20);
CLAP_ABI_ASSERT(sizeof(clap_event_midi2_t) == 36);

CLAP_ABI_ASSERT(offsetof(clap_input_events_t, size) == 8);
CLAP_ABI_ASSERT(offsetof(clap_input_events_t, get) == 16);
CLAP_ABI_ASSERT(sizeof(clap_input_events_t) == 24);
CLAP_ABI_ASSERT(offsetof(clap_output_events_t, try_push) == 8);
CLAP_ABI_ASSERT(sizeof(clap_output_events_t) == 16);

CLAP_ABI_ASSERT(offsetof(clap_param_info_t, flags) == 4);
CLAP_ABI_ASSERT(offsetof(clap_param_info_t, cookie) == 8);
CLAP_ABI_ASSERT(offsetof(clap_param_info_t, name) == 16);
CLAP_ABI_ASSERT(offsetof(clap_param_info_t, module) == 272);
CLAP_ABI_ASSERT(offsetof(clap_param_info_t, min_value) == 1296);
CLAP_ABI_ASSERT(offsetof(clap_param_info_t, max_value) == 1304);
CLAP_ABI_ASSERT(offsetof(clap_param_info_t, default_value) == 1312);
CLAP_ABI_ASSERT(sizeof(clap_param_info_t) == 1320);

CLAP_ABI_ASSERT(offsetof(clap_plugin_params_t, get_info) == 8);
CLAP_ABI_ASSERT(offsetof(clap_plugin_params_t, get_value) == 16);
CLAP_ABI_ASSERT(offsetof(clap_plugin_params_t, value_to_text) == 24);
CLAP_ABI_ASSERT(offsetof(clap_plugin_params_t, text_to_value) == 32);
CLAP_ABI_ASSERT(offsetof(clap_plugin_params_t, flush) == 40);
CLAP_ABI_ASSERT(sizeof(clap_plugin_params_t) == 48);
CLAP_ABI_ASSERT(offsetof(clap_host_params_t, clear) == 8);
CLAP_ABI_ASSERT(offsetof(clap_host_params_t, request_flush) == 16);
CLAP_ABI_ASSERT(sizeof(clap_host_params_t) == 24);

CLAP_ABI_ASSERT(offsetof(clap_plugin_state_t, load) == 8);
CLAP_ABI_ASSERT(sizeof(clap_plugin_state_t) == 16);
CLAP_ABI_ASSERT(sizeof(clap_host_state_t) == 8);
CLAP_ABI_ASSERT(offsetof(clap_istream_t, read) == 8);
CLAP_ABI_ASSERT(sizeof(clap_istream_t) == 16);
CLAP_ABI_ASSERT(offsetof(clap_ostream_t, write) == 8);
CLAP_ABI_ASSERT(sizeof(clap_ostream_t) == 16);

CLAP_ABI_ASSERT(offsetof(clap_note_port_info_t, supported_dialects) == 4);
CLAP_ABI_ASSERT(offsetof(clap_note_port_info_t, preferred_dialect) == 8);
CLAP_ABI_ASSERT(offsetof(clap_note_port_info_t, name) == 12);
CLAP_ABI_ASSERT(sizeof(clap_note_port_info_t) == 268);
CLAP_ABI_ASSERT(offsetof(clap_plugin_note_ports_t, get) == 8);
CLAP_ABI_ASSERT(sizeof(clap_plugin_note_ports_t) == 16);
CLAP_ABI_ASSERT(offsetof(clap_host_note_ports_t, rescan) == 8);
CLAP_ABI_ASSERT(sizeof(clap_host_note_ports_t) == 16);

CLAP_ABI_ASSERT(offsetof(clap_audio_port_info_t, name) == 4);
CLAP_ABI_ASSERT(offsetof(clap_audio_port_info_t, flags) == 260);
CLAP_ABI_ASSERT(offsetof(clap_audio_port_info_t, channel_count) == 264);
CLAP_ABI_ASSERT(offsetof(clap_audio_port_info_t, port_type) == 272);
CLAP_ABI_ASSERT(offsetof(clap_audio_port_info_t, in_place_pair) == 280);
CLAP_ABI_ASSERT(sizeof(clap_audio_port_info_t) == 288);
CLAP_ABI_ASSERT(offsetof(clap_plugin_audio_ports_t, get) == 8);
CLAP_ABI_ASSERT(sizeof(clap_plugin_audio_ports_t) == 16);

CLAP_ABI_ASSERT(offsetof(clap_window_t, x11) == 8);
CLAP_ABI_ASSERT(offsetof(clap_window_t, win32) == 8);
CLAP_ABI_ASSERT(sizeof(clap_window_t) == 16);
CLAP_ABI_ASSERT(offsetof(clap_gui_resize_hints_t, can_resize_vertically) == 1);
CLAP_ABI_ASSERT(offsetof(clap_gui_resize_hints_t, preserve_aspect_ratio) == 2);
CLAP_ABI_ASSERT(offsetof(clap_gui_resize_hints_t, aspect_ratio_width) == 4);
CLAP_ABI_ASSERT(offsetof(clap_gui_resize_hints_t, aspect_ratio_height) == 8);
CLAP_ABI_ASSERT(sizeof(clap_gui_resize_hints_t) == 12);

CLAP_ABI_ASSERT(offsetof(clap_plugin_gui_t, get_preferred_api) == 8);
CLAP_ABI_ASSERT(offsetof(clap_plugin_gui_t, create) == 16);
CLAP_ABI_ASSERT(offsetof(clap_plugin_gui_t, destroy) == 24);
CLAP_ABI_ASSERT(offsetof(clap_plugin_gui_t, set_scale) == 32);
CLAP_ABI_ASSERT(offsetof(clap_plugin_gui_t, get_size) == 40);
CLAP_ABI_ASSERT(offsetof(clap_plugin_gui_t, can_resize) == 48);
CLAP_ABI_ASSERT(offsetof(clap_plugin_gui_t, get_resize_hints) == 56);
CLAP_ABI_ASSERT(offsetof(clap_plugin_gui_t, adjust_size) == 64);
CLAP_ABI_ASSERT(offsetof(clap_plugin_gui_t, set_size) == 72);
CLAP_ABI_ASSERT(offsetof(clap_plugin_gui_t, set_parent) == 80);
CLAP_ABI_ASSERT(offsetof(clap_plugin_gui_t, set_transient) == 88);
CLAP_ABI_ASSERT(offsetof(clap_plugin_gui_t, suggest_title) == 96);
CLAP_ABI_ASSERT(offsetof(clap_plugin_gui_t, show) == 104);
CLAP_ABI_ASSERT(offsetof(clap_plugin_gui_t, hide) == 112);
CLAP_ABI_ASSERT(sizeof(clap_plugin_gui_t) == 120);
CLAP_ABI_ASSERT(offsetof(clap_host_gui_t, request_resize) == 8);
CLAP_ABI_ASSERT(offsetof(clap_host_gui_t, request_show) == 16);
CLAP_ABI_ASSERT(offsetof(clap_host_gui_t, request_hide) == 24);
CLAP_ABI_ASSERT(offsetof(clap_host_gui_t, closed) == 32);
CLAP_ABI_ASSERT(sizeof(clap_host_gui_t) == 40);

CLAP_ABI_ASSERT(sizeof(clap_plugin_timer_support_t) == 8);
CLAP_ABI_ASSERT(offsetof(clap_host_timer_support_t, unregister_timer) == 8);
CLAP_ABI_ASSERT(sizeof(clap_host_timer_support_t) == 16);
CLAP_ABI_ASSERT(sizeof(clap_plugin_posix_fd_support_t) == 8);
CLAP_ABI_ASSERT(offsetof(clap_host_posix_fd_support_t, modify_fd) == 8);
CLAP_ABI_ASSERT(offsetof(clap_host_posix_fd_support_t, unregister_fd) == 16);
CLAP_ABI_ASSERT(sizeof(clap_host_posix_fd_support_t) == 24);

CLAP_ABI_ASSERT(offsetof(clap_note_name_t, port) == 256);
CLAP_ABI_ASSERT(offsetof(clap_note_name_t, key) == 258);
CLAP_ABI_ASSERT(offsetof(clap_note_name_t, channel) == 260);
CLAP_ABI_ASSERT(sizeof(clap_note_name_t) == 262);
CLAP_ABI_ASSERT(offsetof(clap_plugin_note_name_t, get) == 8);
CLAP_ABI_ASSERT(sizeof(clap_plugin_note_name_t) == 16);
CLAP_ABI_ASSERT(sizeof(clap_host_note_name_t) == 8);

CLAP_ABI_ASSERT(offsetof(clap_host_thread_check_t, is_audio_thread) == 8);
CLAP_ABI_ASSERT(sizeof(clap_host_thread_check_t) == 16);
CLAP_ABI_ASSERT(sizeof(clap_host_log_t) == 8);

#undef CLAP_ABI_ASSERT

// NOLINTEND(readability-identifier-naming)
#endif /* VELMORA_CLAP_ABI_H */
