#include "editor/aeffguieditor.h"

#include <atomic>

#include "toolkit/cdrawcontext.h"
#include "toolkit/cknob.h"

namespace zynka {

namespace {

/// The knob mode shared by all editors of the process; hosts may change it at any time.
std::atomic<std::int32_t> gKnobMode{VSTGUI::kLinearMode};

/// The host's key as the toolkit takes it.
VSTGUI::VstKeyCode toolkitKey(const ::VstKeyCode& key) { return {key.character, key.virt, key.modifier}; }

}  // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffectX* effect) : AEffEditor(effect), plugin(effect) {}

AEffGUIEditor::~AEffGUIEditor() = default;

bool AEffGUIEditor::getRect(ERect** out) {
  if (!out) return false;
  *out = &rect;
  return true;
}

bool AEffGUIEditor::open(void* ptr) {
  systemWindow = ptr;
  return true;
}

void AEffGUIEditor::idle() {
  if (frame) frame->idle();
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode) {
  VSTGUI::VstKeyCode key = toolkitKey(keyCode);
  return frame && frame->onKeyDown(key) > 0;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode) {
  VSTGUI::VstKeyCode key = toolkitKey(keyCode);
  return frame && frame->onKeyUp(key) > 0;
}
bool AEffGUIEditor::onWheel(float) { return false; }

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
  gKnobMode.store(mode, std::memory_order_relaxed);
  return true;
}

std::int32_t AEffGUIEditor::getKnobMode() const { return gKnobMode.load(std::memory_order_relaxed); }

void AEffGUIEditor::setParameter(VstInt32, float) {}

void AEffGUIEditor::draw(ERect* area) {
  if (!frame) return;
  VSTGUI::CRect r = frame->getViewSize();
  if (area) r = VSTGUI::CRect(area->left, area->top, area->right, area->bottom).normalize();
  auto* context = new VSTGUI::CDrawContext(frame, nullptr, frame->getPlatformWindow());
  frame->drawRect(context, r);
  context->forget();
}

bool AEffGUIEditor::setWindowVisible(bool visible) { return frame && frame->setWindowVisible(visible); }

int AEffGUIEditor::getEventDescriptor() const { return frame ? frame->getEventDescriptor() : -1; }

bool AEffGUIEditor::startIdleTimer(std::uint32_t periodMs) { return frame && frame->startIdleTimer(periodMs); }

void AEffGUIEditor::beginEdit(std::int32_t index) {
  if (plugin) plugin->beginEdit(index);
}

void AEffGUIEditor::endEdit(std::int32_t index) {
  if (plugin) plugin->endEdit(index);
}

}  // namespace zynka
