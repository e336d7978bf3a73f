// The editor base for editors built on the toolkit: the host-facing AEffEditor
// joined with the interface the toolkit's frame calls back through (knob mode,
// gesture brackets), the editor rectangle, key forwarding and drawing on request.
#pragma once

#include <cstdint>

#include "host/aeffeditor.h"
#include "host/audioeffectx.h"
#include "toolkit/cframe.h"

namespace zynka {

class AEffGUIEditor : public AEffEditor, public VSTGUI::VSTGUIEditorInterface {
 public:
  explicit AEffGUIEditor(AudioEffectX* effect);
  ~AEffGUIEditor() override;

  /// Hands out the address of the editor's rectangle, which lives as long as the editor.
  bool getRect(ERect** rect) override;
  bool open(void* ptr) override;
  void idle() override;
  /// A key from the host goes to the frame; true when a view used it.
  bool onKeyDown(VstKeyCode& keyCode) override;
  bool onKeyUp(VstKeyCode& keyCode) override;
  /// The wheel reaches the controls through the frame's window instead.
  bool onWheel(float distance) override;
  /// Sets the knob mode of every editor in the process.
  bool setKnobMode(VstInt32 mode) override;

  /// The plug-in's parameter `index` has this value now.
  virtual void setParameter(VstInt32 index, float value);
  /// Redraws the area (null: the whole frame) at once.
  virtual void draw(ERect* area);

  // For a host format that shows the open window later than it gives the parent, watches the
  // window system's descriptor itself, or has no idle call of its own (CFrame's counterparts).
  /// Shows or hides the open window; false while closed.
  bool setWindowVisible(bool visible);
  /// The descriptor that turns readable when the open window has events for idle(), or -1.
  int getEventDescriptor() const;
  /// Runs idle() from the open window's own timer; false where the window system has none.
  bool startIdleTimer(std::uint32_t periodMs);

  // What the frame asks of its editor.
  std::int32_t getKnobMode() const override;
  void beginEdit(std::int32_t index) override;
  void endEdit(std::int32_t index) override;
  void onIdleTimer() override { idle(); }

 protected:
  AudioEffectX* plugin;
  ERect rect{};
};

}  // namespace zynka
