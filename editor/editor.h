// ZYNKA's editor: the 856 x 392 window with five knobs, twelve sliders, their value
// boxes, the display panel and the splash screen, bound to the plug-in's parameters
// in both directions.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "editor/value_box_controls.h"
#include "engine/editor_link.h"
#include "engine/parameters.h"

namespace VSTGUI {
class CKickButton;
class CView;
class CSplashScreen;
namespace Platform {
struct ThreadSetup;
}
}  // namespace VSTGUI

namespace zynka {

class Plugin;
class ShownFileCommand;
enum class FileCommand;
class TextLabel;
class TextEdit;
class OptionMenu;

class Editor : public ValueBoxEditor, public EditorLink {
 public:
  explicit Editor(Plugin* plugin);
  ~Editor() override;
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;

  /// Builds the view tree in the host's window; false when no window could be made there.
  bool open(void* ptr) override;
  /// Destroys the view tree.
  void close() override;
  /// Applies the values the plug-in reported, refreshes the panel and redraws what changed.
  void idle() override;
  /// Keeps the value for the control of parameter `index`; it reaches the control at once on
  /// the editor's own thread while open, else at the next idle. Never touches a view elsewhere.
  void setParameter(VstInt32 index, float value) override;
  void showValueBoxForTag(std::int32_t tag, bool show) override;

  // The listener of every control: each change goes to the plug-in as setParameterAutomated.
  void valueChanged(VSTGUI::CControl* control) override;
  std::int32_t controlModifierClicked(VSTGUI::CControl*, VSTGUI::CButton) override { return 0; }
  void controlBeginEdit(VSTGUI::CControl*) override {}
  void controlEndEdit(VSTGUI::CControl*) override {}

  // What else the plug-in asks of its editor.
  bool getProgramNameText(char* text) override;
  bool savePreset(int program) override;
  bool loadPreset(int program) override;
  bool saveBank() override;
  bool loadBank() override;

  /// The open frame's control of parameter `index`, or null.
  VSTGUI::CControl* getControl(int index) const;
  /// The value box of parameter `index` while the editor is open, or null.
  VSTGUI::CParamDisplay* getValueDisplay(int index) const;
  VSTGUI::CSplashScreen* getSplashScreen() const { return splash; }
  TextLabel* getProgramNumberLabel() const { return programNumber; }
  TextLabel* getVoiceCountLabel() const { return voiceCount; }
  TextEdit* getProgramNameField() const { return programName; }
  OptionMenu* getProgramMenu() const { return programMenu; }

 private:
  /// True on the thread that opened the editor (the host's user-interface thread).
  bool onEditorThread() const;
  /// Moves the values the plug-in reported into the controls and boxes.
  void applyReportedValues();
  /// The program number, name and voice count as the plug-in has them now.
  void refreshPanel();
  /// Starts a file command on the editor's thread while open; true when it ended within the
  /// call (a modal dialog), false when it did not run or its dialog is still open.
  bool runFileCommand(FileCommand command, int program);
  /// Looks at the open file command's dialog; once it is over, tells the plug-in.
  void pollFileCommand();
  /// Clicks, wheel turns and keys go nowhere while a file command's dialog is open, as in a
  /// window under a modal dialog; then they come back.
  void ignoreInput();
  void takeInputAgain();

  Plugin* plugin;
  VSTGUI::Platform::ThreadSetup* threadSetup = nullptr;

  // Views of the open frame (owned by the frame), and the value boxes (owned here).
  VSTGUI::CSplashScreen* splash = nullptr;
  VSTGUI::CControl* controls[kNumParams] = {};
  ValueBoxDisplay* displays[kNumParams] = {};
  TextLabel* programNumber = nullptr;
  TextLabel* voiceCount = nullptr;
  TextEdit* programName = nullptr;
  OptionMenu* programMenu = nullptr;
  VSTGUI::CKickButton* prevButton = nullptr;
  VSTGUI::CKickButton* nextButton = nullptr;

  // The file command whose dialog or message is open (one at a time), and the modal view that
  // takes the frame's input meanwhile.
  std::unique_ptr<ShownFileCommand> fileCommand;
  bool startingFileCommand = false;
  VSTGUI::CView* inputShield = nullptr;

  // The plug-in's latest values, kept for the editor's thread: any thread may report.
  std::atomic<float> reportedValues[kNumParams];
  std::atomic<std::uint32_t> reportedMask{0};
  std::atomic<std::uintptr_t> editorThread{0};
};

/// Makes the plug-in's editor: the EditorFactory the plug-in is made with.
EditorParts createEditor(Plugin* plugin);

}  // namespace zynka
