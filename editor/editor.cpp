#include "editor/editor.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

#include "editor/layout.h"
#include "editor/panel_controls.h"
#include "engine/plugin.h"
#include "editor/file_commands.h"
#include "toolkit/cbitmap.h"
#include "toolkit/ckickbutton.h"
#include "toolkit/csplashscreen.h"
#include "toolkit/textconvert.h"

namespace zynka {

using namespace VSTGUI;

namespace {

CRect toCRect(const layout::Rect& r) { return CRect(r.left, r.top, r.right, r.bottom); }

/// Shift divides a drag's movement by this much.
constexpr float kControlZoomFactor = 20.0f;

enum BitmapIndex { kBackground, kSplashscreen, kKnob, kNext, kPrev, kMenuInactive, kMenuActive, kSliderHandle, kSliderBack, kBitmapCount };
constexpr const char* kBitmapNames[kBitmapCount] = {"Background", "Splashscreen", "Knob", "Next", "Prev",
                                                     "MenuInactive", "MenuActive", "SliderHandle", "SliderBack"};

/// Adds a view to the frame, which then holds it alone.
template <typename View>
View* place(CFrame* frame, View* view) {
  frame->addView(view);
  view->forget();
  return view;
}

}  // namespace

Editor::Editor(Plugin* owner) : ValueBoxEditor(owner), plugin(owner) {
  for (auto& value : reportedValues) value.store(0.0f, std::memory_order_relaxed);
  setKnobMode(kLinearMode);
  // The thread that makes the editor is set up for its windows and dialogs for the editor's
  // whole life (the host makes the plug-in on its user-interface thread).
  threadSetup = Platform::setUpThread();
  // Hosts size their window from the rectangle before they open the editor.
  // The size the background is drawn at, when it cannot be read.
  CCoord width = layout::kWindowWidth;
  CCoord height = layout::kWindowHeight;
  CBitmap::getResourceImageSize(CResourceDescription(kBitmapNames[kBackground]), width, height);
  rect = ERect{0, 0, static_cast<VstInt16>(height), static_cast<VstInt16>(width)};
}

Editor::~Editor() {
  close();
  if (inputShield) inputShield->forget();
  Platform::endThreadSetup(threadSetup);
}

bool Editor::onEditorThread() const {
  const std::uintptr_t thread = editorThread.load(std::memory_order_acquire);
  return thread != 0 && thread == Platform::currentThreadId();
}

bool Editor::open(void* ptr) {
  if (frame) close();  // a second open without a close: one frame, one window
  editorThread.store(Platform::currentThreadId(), std::memory_order_release);

  CBitmap* bitmaps[kBitmapCount];
  for (int i = 0; i < kBitmapCount; ++i) bitmaps[i] = new CBitmap(CResourceDescription(kBitmapNames[i]));
  CBitmap* background = bitmaps[kBackground];

  systemWindow = ptr;
  rect = ERect{0, 0, static_cast<VstInt16>(background->getHeight()), static_cast<VstInt16>(background->getWidth())};
  const CCoord width = background->getWidth() / 8 * 8;
  const CCoord height = background->getHeight() / 8 * 8;
  auto* tree = new CFrame(CRect(0, 0, width, height), ptr, this);
  if (!tree->getPlatformWindow()) {
    // No window could be made in the host's (no display, or no parent given).
    tree->forget();
    for (CBitmap* bitmap : bitmaps) bitmap->forget();
    return false;
  }
  tree->setBackground(background);

  splash = place(tree, new CSplashScreen(toCRect(layout::kSplashArea), this, kTagSplash, bitmaps[kSplashscreen],
                                         CRect(0, 0, width, height), CPoint(0, 0)));

  // From here on values the plug-in reports are kept for the controls made now.
  reportedMask.store(0, std::memory_order_relaxed);
  for (const layout::ControlPlace& where : layout::kControlPlaces) {
    const Parameter& parameter = kParameters[where.tag];
    const float value = plugin->getParameter(where.tag);
    CControl* control;
    if (where.knob)
      control = new ValueBoxKnob(toCRect(where.rect), this, where.tag, layout::kKnobImages, layout::kKnobSize,
                                bitmaps[kKnob], CPoint(0, 0));
    else
      control = new ValueBoxSlider(toCRect(where.rect), this, where.tag, layout::sliderTravelStart(where),
                                  layout::sliderTravelEnd(where), bitmaps[kSliderHandle], bitmaps[kSliderBack],
                                  CPoint(0, 0), kBottom);
    control->setDefaultValue(parameter.editorDefault);
    control->setValue(value);
    if (where.knob)
      static_cast<CKnob*>(control)->setZoomFactor(kControlZoomFactor);
    else
      static_cast<CSlider*>(control)->setZoomFactor(kControlZoomFactor);
    controls[where.tag] = place(tree, control);

    auto* display = new ValueBoxDisplay(toCRect(layout::valueBoxRect(where)));
    display->setValue(value);
    display->setStringConvert(parameter.display);
    displays[where.tag] = display;  // attached only while it shows
  }

  programNumber = place(tree, new TextLabel(toCRect(layout::kProgramNumber)));
  programName = place(tree, new TextEdit(toCRect(layout::kProgramName), this));
  programMenu = place(tree, new OptionMenu(toCRect(layout::kProgramMenu), this, bitmaps[kMenuInactive],
                                           bitmaps[kMenuActive], plugin));
  programMenu->setNbItemsPerColumn(layout::kMenuItemsPerColumn);
  prevButton = place(tree, new CKickButton(toCRect(layout::kPrevButton), this, kTagPrevProgram, layout::kButtonSize,
                                           bitmaps[kPrev], CPoint(0, 0)));
  nextButton = place(tree, new CKickButton(toCRect(layout::kNextButton), this, kTagNextProgram, layout::kButtonSize,
                                           bitmaps[kNext], CPoint(0, 0)));
  voiceCount = place(tree, new TextLabel(toCRect(layout::kVoiceCount)));

  for (CBitmap* bitmap : bitmaps) bitmap->forget();  // the views hold theirs
  refreshPanel();
  frame = tree;  // only now do reported values reach the controls directly
  return true;
}

void Editor::close() {
  // A dialog still open goes with the window it belongs to: its program is ended, and the
  // command does nothing more (nothing is read or written, no program is selected).
  fileCommand.reset();
  if (!frame) return;
  CFrame* closing = frame;
  frame = nullptr;
  // The boxes are the editor's: a shown one leaves the frame without being released by it.
  for (ValueBoxDisplay* display : displays)
    if (display && display->isAttached()) closing->removeView(display, false);
  closing->forget();
  for (ValueBoxDisplay*& display : displays) {
    if (display) display->forget();
    display = nullptr;
  }
  for (CControl*& control : controls) control = nullptr;
  splash = nullptr;
  programNumber = voiceCount = nullptr;
  programName = nullptr;
  programMenu = nullptr;
  prevButton = nextButton = nullptr;
}

void Editor::idle() {
  if (!frame) return;
  pollFileCommand();
  if (!frame) return;  // the host closed the editor when the command's end reached it
  applyReportedValues();
  refreshPanel();
  frame->idle();
}

void Editor::setParameter(VstInt32 index, float value) {
  if (index < 0 || index >= kNumParams) return;
  reportedValues[index].store(value, std::memory_order_relaxed);
  reportedMask.fetch_or(1u << index, std::memory_order_release);
  if (onEditorThread() && frame) applyReportedValues();
}

void Editor::applyReportedValues() {
  std::uint32_t mask = reportedMask.exchange(0, std::memory_order_acquire);
  for (int index = 0; mask; ++index, mask >>= 1) {
    if (!(mask & 1u)) continue;
    const float value = reportedValues[index].load(std::memory_order_relaxed);
    if (controls[index]) controls[index]->setValue(value);
    if (displays[index]) displays[index]->setValue(value);
  }
}

void Editor::refreshPanel() {
  char text[128];
  std::snprintf(text, sizeof text, "%02d", static_cast<int>(plugin->getProgram()) + 1);
  programNumber->setText(text);
  char name[kProgramNameLength + 1] = {};
  plugin->getProgramName(name);
  std::snprintf(text, sizeof text, "%s", name);
  programName->setText(text);
  std::snprintf(text, sizeof text, "Voices %02d", plugin->getActiveVoiceCount());
  voiceCount->setText(text);
}

void Editor::showValueBoxForTag(std::int32_t tag, bool show) {
  if (!frame || tag < 0 || tag >= kNumParams || !displays[tag]) return;
  ValueBoxDisplay* display = displays[tag];
  if (show && !display->isAttached())
    frame->addView(display);
  else if (!show && display->isAttached())
    frame->removeView(display, false);
}

void Editor::valueChanged(CControl* control) {
  // A file command may run dialogs in which the host closes the editor and its controls.
  CView::LifeWatch watch(control);
  plugin->setParameterAutomated(control->getTag(), control->getValue());
  if (watch.alive()) control->setDirty(true);
}

CControl* Editor::getControl(int index) const {
  return frame && index >= 0 && index < kNumParams ? controls[index] : nullptr;
}

CParamDisplay* Editor::getValueDisplay(int index) const {
  return frame && index >= 0 && index < kNumParams ? displays[index] : nullptr;
}

bool Editor::getProgramNameText(char* text) {
  if (!text || !frame || !onEditorThread() || !programName) return false;
  // At most 24 bytes, never half a character.
  const char* field = programName->getText();
  const std::size_t length = utf8PrefixLength(field, kProgramNameLength);
  std::memcpy(text, field, length);
  text[length] = 0;
  return true;
}

bool Editor::runFileCommand(FileCommand command, int program) {
  // Dialogs belong to the open editor's window and thread: never from a host's automation
  // with the editor closed, nor from its audio thread. One command at a time: another, which
  // only the host can ask for while the editor takes no clicks, is refused.
  if (!frame || !onEditorThread() || fileCommand || startingFileCommand) return false;
  std::unique_ptr<ShownFileCommand> shown;
  bool over = true;
  startingFileCommand = true;  // a modal dialog runs the host's idle meanwhile
  try {
    shown = std::make_unique<ShownFileCommand>(plugin, systemWindow, command, program);
    over = shown->poll();
  } catch (const std::exception&) {  // no memory: the command ends as if cancelled
  }
  startingFileCommand = false;
  if (over) return true;
  fileCommand = std::move(shown);
  ignoreInput();
  return false;
}

void Editor::pollFileCommand() {
  if (!fileCommand) return;
  if (!fileCommand->poll()) {
    ignoreInput();  // again, should a splash screen have held the frame's modal place
    return;
  }
  const FileCommand command = fileCommand->command();
  fileCommand.reset();
  takeInputAgain();
  int position = kMenuSavePreset;
  switch (command) {
    case FileCommand::kSavePreset: position = kMenuSavePreset; break;
    case FileCommand::kLoadPreset: position = kMenuLoadPreset; break;
    case FileCommand::kSaveBank: position = kMenuSaveBank; break;
    case FileCommand::kLoadBank: position = kMenuLoadBank; break;
  }
  plugin->fileCommandFinished(position);
}

void Editor::ignoreInput() {
  // An empty modal view: the frame gives it every click, wheel turn and key, and it uses none.
  if (!inputShield) inputShield = new CView(CRect(0, 0, 0, 0));
  if (frame && !frame->getModalView()) frame->setModalView(inputShield);
}

void Editor::takeInputAgain() {
  if (frame && inputShield && frame->getModalView() == inputShield) frame->setModalView(nullptr);
}

bool Editor::savePreset(int program) { return runFileCommand(FileCommand::kSavePreset, program); }
bool Editor::loadPreset(int program) { return runFileCommand(FileCommand::kLoadPreset, program); }
bool Editor::saveBank() { return runFileCommand(FileCommand::kSaveBank, 0); }
bool Editor::loadBank() { return runFileCommand(FileCommand::kLoadBank, 0); }

EditorParts createEditor(Plugin* plugin) {
  try {
    auto* editor = new Editor(plugin);
    return {editor, editor};
  } catch (...) {  // no memory: the plug-in carries on without an editor
    return {};
  }
}

}  // namespace zynka
