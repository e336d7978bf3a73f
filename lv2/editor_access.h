// Between the bundle's two libraries: how the UI library (zynka_ui.so) reaches the editor,
// which lives in the plug-in library (zynka_dsp.so) with the plug-in it edits, as in zynka.so.
// The UI gets this table from the plug-in instance it is given (instance-access: the
// instance's first member points to it) or, in a host without that feature, from the
// plug-in library's extension data (kEditorAccessUri), and then edits a plug-in of its own.
// Both libraries are built together, so the table has no versions.
#pragma once

#include <cstdint>

namespace zynka::lv2 {

/// What the UI passes on to its host: the parameter values and gestures of its editor.
/// Called on the UI's thread.
struct UiLink {
  void* ui;
  /// Parameter `index` (0 to 16, also its port index) has this value now.
  void (*write)(void* ui, int index, float value);
  /// A gesture on parameter `index` starts (true) or ends (false).
  void (*touch)(void* ui, int index, bool grabbed);
};

/// One editor opened for the UI: on the instance's plug-in, or on a private one.
struct EditorSession;

struct EditorAccess {
  /// kEditorAccessMagic, so the UI knows the instance it was given is ours.
  const char* magic;
  /// A session on the plug-in instance `instance` (an instance-access handle), or on a private
  /// plug-in of the session's own when `instance` is null; null when none could be made.
  EditorSession* (*attach)(void* instance, const UiLink* link);
  /// Closes the editor and ends the session.
  void (*detach)(EditorSession* session);
  /// The editor's fixed size in pixels.
  void (*getSize)(EditorSession* session, int* width, int* height);
  /// Opens the editor in the host's window; the editor's own window (an X11 window id), or 0
  /// when it could not open.
  std::uintptr_t (*open)(EditorSession* session, void* parent);
  /// The host's idle call: the editor's events and drawing, and the values of a program the
  /// plug-in changed to written to the ports. Non-zero once the editor's window is gone.
  int (*idle)(EditorSession* session);
  /// A port's value as the host reports it (control ports only).
  void (*portEvent)(EditorSession* session, std::uint32_t port, float value);
};

inline constexpr const char* kEditorAccessMagic = "ZYNKA editor access";

}  // namespace zynka::lv2
