// The platform's file dialogs and message boxes. A request is a plain value that says
// what the user is asked, in the toolkit's terms; each platform shows it its own way
// (the Windows common dialogs, zenity, kdialog, a dialog of the X11 toolkit's own).
// Texts are UTF-8 and become UTF-16 only inside a platform's implementation.
//
// A dialog is shown in one of two ways. runFileDialog and showMessage are modal: they
// return with the answer. startFileDialog and startMessage return at once with the
// dialog on the screen; the caller looks for the answer with pollDialog from its idle
// pass (the host's GUI thread goes on meanwhile) and ends it with endDialog. Where the
// window system's dialogs are modal (Windows) start shows the dialog to its end, so the
// first look finds the answer.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace VSTGUI::Platform {

/// One entry of a file dialog's type list: what the user reads, and the names it shows.
struct FileFilter {
  std::string label;                  // "Preset Files (*.zyp)"
  std::vector<std::string> patterns;  // "*.zyp"; "*" is every file
};

/// A file dialog as it is to be shown.
struct FileDialogRequest {
  void* owner = nullptr;            // native window that owns the dialog (null: none)
  bool save = false;                // a save dialog; otherwise an open dialog
  std::string title;                // the dialog's title
  std::vector<FileFilter> filters;  // the first is chosen when the dialog opens
  std::string defaultExtension;     // added to a name given without one ("zyp", no dot)
  bool confirmOverwrite = false;    // save: ask before an existing file is replaced
  bool folderMustExist = false;     // save: only a file in an existing folder is an answer
  bool fileMustExist = false;       // open: only an existing file is an answer
};

/// A message box as it is to be shown: the text, a caption and one OK button.
struct MessageRequest {
  enum Icon { kInformation, kError };
  void* owner = nullptr;  // native window that owns the box (null: none)
  std::string caption;
  std::string text;
  Icon icon = kInformation;
};

/// Shows a modal file dialog; true with the chosen path, false when the user cancelled.
bool runFileDialog(const FileDialogRequest& request, std::filesystem::path& chosen);
/// Shows a modal message box and waits until the user closes it.
void showMessage(const MessageRequest& request);

/// A file dialog or message box started without waiting for it.
struct ShownDialog;

enum class DialogState {
  kOpen,       // still on the screen
  kAnswered,   // a file was chosen, or the message box was closed
  kCancelled,  // the file dialog was cancelled (or could not be shown)
};

/// Shows a file dialog and returns without waiting for the answer; null when it cannot (the
/// same as a cancel).
ShownDialog* startFileDialog(const FileDialogRequest& request);
/// Shows a message box and returns without waiting for it to be closed; null when it cannot.
ShownDialog* startMessage(const MessageRequest& request);
/// Looks whether the user answered, without waiting; the dialog's window takes input and is
/// drawn here, so the caller polls it from its idle pass. On kAnswered a file dialog gives the
/// chosen path. A null dialog is kCancelled.
DialogState pollDialog(ShownDialog* dialog, std::filesystem::path& chosen);
/// Ends a dialog (one still open is closed, and a program showing it ended and waited for) and
/// frees it. Null does nothing.
void endDialog(ShownDialog* dialog);

}  // namespace VSTGUI::Platform
