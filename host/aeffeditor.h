// The editor interface the dispatcher drives. The plug-in's editor derives from it.
#pragma once

#include "host/aeffect.h"

class AudioEffect;

/// Base of the plug-in's editor object: lives as long as the effect, owns a window only while open.
class AEffEditor {
 public:
  explicit AEffEditor(AudioEffect* effect = nullptr) : effect(effect) {}
  virtual ~AEffEditor() = default;

  virtual AudioEffect* getEffect() { return effect; }
  /// Stores the address of the editor's rectangle into *rect.
  virtual bool getRect(ERect** rect) {
    if (rect) *rect = nullptr;
    return false;
  }
  /// Builds the window contents inside the host's parent window.
  virtual bool open(void* ptr) {
    systemWindow = ptr;
    return true;
  }
  /// Tears the window contents down; the host's window stays known, as it was given.
  virtual void close() {}
  /// True once the host has given a window.
  virtual bool isOpen() { return systemWindow != nullptr; }
  /// Periodic work while the window is open.
  virtual void idle() {}
  virtual bool onKeyDown(VstKeyCode& /*keyCode*/) { return false; }
  virtual bool onKeyUp(VstKeyCode& /*keyCode*/) { return false; }
  virtual bool onWheel(float /*distance*/) { return false; }
  virtual bool setKnobMode(VstInt32 /*val*/) { return false; }

 protected:
  AudioEffect* effect = nullptr;
  void* systemWindow = nullptr;
};
