// The pieces of the Linux file dialogs that can be checked alone: the command lines of
// zenity and kdialog for a request, the program search, the default extension, and the
// built-in dialog's window.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/platform/file_dialogs.h"

namespace VSTGUI::Platform::Linux {

/// zenity's arguments (after the program name) for a file dialog.
std::vector<std::string> zenityFileArguments(const FileDialogRequest& request);
/// zenity's arguments for a message box.
std::vector<std::string> zenityMessageArguments(const MessageRequest& request);
/// kdialog's arguments for a file dialog starting in startFolder.
std::vector<std::string> kdialogFileArguments(const FileDialogRequest& request, const std::string& startFolder);
/// kdialog's arguments for a message box.
std::vector<std::string> kdialogMessageArguments(const MessageRequest& request);
/// The chosen path with the request's default extension added when its name has none.
std::filesystem::path withDefaultExtension(const std::filesystem::path& chosen, const FileDialogRequest& request);
/// The full path of an executable program found in PATH, or empty.
std::string findProgram(const std::string& name);

/// A dialog drawn by the toolkit on its own X window (no zenity or kdialog).
struct BuiltInDialog {
  std::string title;
  std::string message;      // shown above the field (or alone in a message box); lines split at '\n'
  bool withField = false;   // a path field
  std::string fieldText;    // its first text; the answer afterwards
  std::vector<std::string> buttons;  // the first is the default (Return), the last answers Escape
  unsigned long owner = 0;  // X window the dialog belongs to (0: none)
  /// Checks the field when the first button is pressed: empty when accepted, else the complaint shown.
  std::string (*check)(const std::string& text, const void* data) = nullptr;
  const void* checkData = nullptr;
};

/// The built-in dialog on the screen. It runs no event loop: pump() handles its pending
/// input and draws it without waiting, so the thread that shows it goes on between looks.
class BuiltInWindow {
 public:
  /// Maps the dialog's window; without a display it is answered at once with its last button.
  explicit BuiltInWindow(BuiltInDialog dialog);
  /// Closes the window.
  ~BuiltInWindow();
  BuiltInWindow(const BuiltInWindow&) = delete;
  BuiltInWindow& operator=(const BuiltInWindow&) = delete;

  /// The index of the button pressed, or -1 while the dialog is open.
  int pump();
  /// The field's text now.
  std::string fieldText() const;
  /// The connection's descriptor, readable when the window has events; -1 without one.
  int descriptor() const;

 private:
  class Shown;
  std::unique_ptr<Shown> shown;
  int answerWithoutDisplay = 0;
};

}  // namespace VSTGUI::Platform::Linux
