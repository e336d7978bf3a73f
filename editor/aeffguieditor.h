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

  // What the frame asks of its editor.
  std::int32_t getKnobMode() const override;
  void beginEdit(std::int32_t index) override;
  void endEdit(std::int32_t index) override;

 protected:
  AudioEffectX* plugin;
  ERect rect{};
};

}  // namespace zynka
