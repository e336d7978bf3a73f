// The gui extension: the plug-in's editor embedded in the host's window (x11 on Linux, win32
// on Windows), 856 x 392, fixed. set_parent opens it as effEditOpen does; show and hide map
// and unmap its window; destroy closes it; any order works. On Linux the editor's X11 events
// are pumped (its idle pass) from the host's timer and from the connection's descriptor,
// whichever the host offers, or else from the host's main-thread calls; on Windows the
// window's own timer runs the idle pass through the host's message loop.
#include <cstdint>
#include <cstring>

#include "clap/adaptor.h"
#include "editor/aeffguieditor.h"
#include "engine/plugin.h"

namespace zynka::clap_adaptor {

namespace {

#if defined(_WIN32)
constexpr const char* kWindowApi = CLAP_WINDOW_API_WIN32;
#else
constexpr const char* kWindowApi = CLAP_WINDOW_API_X11;
#endif

/// The idle pass about 60 times a second, as hosts idle VST2 editors.
constexpr std::uint32_t kIdlePeriodMs = 16;

bool supported(const char* api, bool floating) { return api && !floating && std::strcmp(api, kWindowApi) == 0; }

Adaptor* self(const clap_plugin_t* plugin) { return Adaptor::of(plugin); }

}  // namespace

AEffGUIEditor* Adaptor::editor() const { return synth ? dynamic_cast<AEffGUIEditor*>(synth->getEditor()) : nullptr; }

bool Adaptor::guiCreate(const char* api, bool floating) {
  if (!supported(api, floating) || !editor()) return false;
  guiDestroy();  // a second create starts afresh
  guiCreated = true;
  return true;
}

void Adaptor::guiDestroy() {
  if (!guiCreated) return;
  stopPumping();
  if (guiOpen) synth->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
  guiCreated = guiOpen = guiVisible = false;
}

bool Adaptor::guiSize(std::uint32_t& width, std::uint32_t& height) {
  ERect* rect = nullptr;
  AEffGUIEditor* gui = editor();
  if (!guiCreated || !gui || !gui->getRect(&rect) || !rect) return false;
  width = static_cast<std::uint32_t>(rect->right - rect->left);
  height = static_cast<std::uint32_t>(rect->bottom - rect->top);
  return true;
}

bool Adaptor::guiSetParent(const clap_window_t* window) {
  if (!guiCreated || !window || !window->api || std::strcmp(window->api, kWindowApi) != 0) return false;
#if defined(_WIN32)
  void* parent = window->win32;
#else
  void* parent = reinterpret_cast<void*>(static_cast<std::uintptr_t>(window->x11));
#endif
  if (!parent) return false;
  if (guiOpen) {  // another parent: the editor moves there
    stopPumping();
    synth->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    guiOpen = false;
  }
  try {
    if (synth->dispatcher(effEditOpen, 0, 0, parent, 0.0f) == 0) return false;
  } catch (...) {  // no memory for the editor's views: no editor, and nothing thrown at the host
    return false;
  }
  guiOpen = true;
  editor()->setWindowVisible(guiVisible);  // the host shows it when it chooses
  startPumping();
  guiPump();
  return true;
}

bool Adaptor::guiShow() {
  if (!guiCreated) return false;
  guiVisible = true;
  if (guiOpen) {
    editor()->setWindowVisible(true);
    guiPump();
  }
  return true;
}

bool Adaptor::guiHide() {
  if (!guiCreated) return false;
  guiVisible = false;
  if (guiOpen) editor()->setWindowVisible(false);
  return true;
}

void Adaptor::guiPump() {
  if (!guiOpen) return;
  try {
    synth->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
  } catch (...) {  // the idle pass is tried again at the next call
  }
}

void Adaptor::startPumping() {
#if defined(_WIN32)
  const bool timed = editor()->startIdleTimer(kIdlePeriodMs);
#else
  clap_id id = CLAP_INVALID_ID;
  if (timer == CLAP_INVALID_ID && hostTimers && hostTimers->register_timer &&
      hostTimers->register_timer(host, kIdlePeriodMs, &id))
    timer = id;
  const int fd = editor()->getEventDescriptor();
  if (watchedFd < 0 && fd >= 0 && hostFds && hostFds->register_fd && hostFds->register_fd(host, fd, CLAP_POSIX_FD_READ))
    watchedFd = fd;
  const bool timed = timer != CLAP_INVALID_ID;
#endif
  // Without a timer, what the host or the notes change asks for a main-thread call, which
  // runs the idle pass.
  idleOnCallbacks.store(!timed);
}

void Adaptor::stopPumping() {
  idleOnCallbacks.store(false);
  if (timer != CLAP_INVALID_ID && hostTimers && hostTimers->unregister_timer) hostTimers->unregister_timer(host, timer);
  timer = CLAP_INVALID_ID;
  if (watchedFd >= 0 && hostFds && hostFds->unregister_fd) hostFds->unregister_fd(host, watchedFd);
  watchedFd = -1;
}

void Adaptor::onTimer(clap_id id) {
  if (id == timer && timer != CLAP_INVALID_ID) guiPump();
}

void Adaptor::onFd(int fd) {
  if (fd != watchedFd || watchedFd < 0) return;
  // The first pass takes the events; the second shows what they changed (no timer may come).
  guiPump();
  guiPump();
  // A connection that broke (the X server went away) keeps its descriptor readable: let go.
  AEffGUIEditor* gui = editor();
  if ((!gui || gui->getEventDescriptor() != watchedFd) && hostFds && hostFds->unregister_fd) {
    hostFds->unregister_fd(host, watchedFd);
    watchedFd = -1;
  }
}

const clap_plugin_gui_t kGuiExtension = {
    [](const clap_plugin_t*, const char* api, bool floating) { return supported(api, floating); },
    [](const clap_plugin_t*, const char** api, bool* floating) {
      if (!api || !floating) return false;
      *api = kWindowApi;
      *floating = false;
      return true;
    },
    [](const clap_plugin_t* p, const char* api, bool floating) { return self(p)->guiCreate(api, floating); },
    [](const clap_plugin_t* p) { self(p)->guiDestroy(); },
    [](const clap_plugin_t*, double) { return false; },  // the editor has one size
    [](const clap_plugin_t* p, std::uint32_t* width, std::uint32_t* height) {
      return width && height && self(p)->guiSize(*width, *height);
    },
    [](const clap_plugin_t*) { return false; },
    [](const clap_plugin_t*, clap_gui_resize_hints_t*) { return false; },
    [](const clap_plugin_t*, std::uint32_t*, std::uint32_t*) { return false; },
    [](const clap_plugin_t* p, std::uint32_t width, std::uint32_t height) {
      std::uint32_t w = 0, h = 0;
      return self(p)->guiSize(w, h) && w == width && h == height;
    },
    [](const clap_plugin_t* p, const clap_window_t* window) { return self(p)->guiSetParent(window); },
    [](const clap_plugin_t*, const clap_window_t*) { return false; },  // embedded only
    [](const clap_plugin_t*, const char*) {},
    [](const clap_plugin_t* p) { return self(p)->guiShow(); },
    [](const clap_plugin_t* p) { return self(p)->guiHide(); },
};

const clap_plugin_timer_support_t kTimerExtension = {[](const clap_plugin_t* p, clap_id id) { self(p)->onTimer(id); }};

const clap_plugin_posix_fd_support_t kFdExtension = {
    [](const clap_plugin_t* p, int fd, clap_posix_fd_flags_t) { self(p)->onFd(fd); }};

}  // namespace zynka::clap_adaptor
