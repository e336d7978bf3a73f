// The plug-in instance a host makes from zynka_dsp.so: one Plugin, driven through its own
// methods as a VST2 host drives it, with the host callback answered here.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/plugin.h"
#include "lv2/bundle.h"
#include "lv2/editor_access.h"

namespace zynka::lv2 {

/// What the plug-in's host callback reaches (the effect record's `user`, which belongs to the
/// host, and the host is this adaptor).
struct HostSide {
  /// The open editor's session, told of gestures and values (set and read on the UI's thread;
  /// only the editor sends gestures and values).
  std::atomic<const UiLink*> link{nullptr};
  /// The plug-in asked the host to show its programs and parameters anew (a program was
  /// chosen, on any thread): the UI writes the new values to the ports at its next idle.
  std::atomic<bool> programChanged{false};
};

/// The host callback every Plugin of this library is made with.
VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

/// Note and controller messages of one run() call; a block's further ones are dropped (an
/// event port of the usual 8 kB size holds about 340).
inline constexpr int kMaxEventsPerRun = 1024;

/// A VstEvents list with room for kMaxEventsPerRun pointers, made once.
struct EventList {
  VstInt32 numEvents;
  VstIntPtr reserved;
  VstEvent* events[kMaxEventsPerRun];
};

struct Instance {
  /// First, at the handle's address: the UI finds the editor through it (instance-access).
  const EditorAccess* access;
  HostSide side;
  Plugin* plugin;

  // Ports, as the host connected them.
  const float* parameterPorts[kNumParams];
  const void* midiIn;
  float* leftOut;
  float* rightOut;
  float* voicesOut;

  /// The value each parameter port had when it was last handed to the plug-in; a port is handed
  /// on when its bits differ, or when `applied` is false (at the start, after a preset).
  std::uint32_t appliedBits[kNumParams];
  bool applied[kNumParams];
  /// A whole state was restored: the next block takes the ports' values as handed on without
  /// handing them on, so the restored programs sound as saved (the host restores the ports with
  /// the values the state has, unless the plug-in changed program by MIDI and no UI told the host).
  bool portsFollowState;

  // Mapped once at instantiation.
  std::uint32_t midiEventUrid;
  std::uint32_t atomStringUrid;
  std::uint32_t atomLiteralUrid;
  std::uint32_t stateKeyUrid;
  std::uint32_t programNameKeyUrid;
  std::uint32_t logErrorUrid;
  const void* log;  // the host's LV2_Log_Log, or null

  VstMidiEvent midi[kMaxEventsPerRun];
  EventList eventList;
};

/// The table the UI library reaches the editor through.
extern const EditorAccess kEditorAccess;

}  // namespace zynka::lv2
