// The platform's file dialogs and message boxes. A request is a plain value that says
// what the user is asked, in the toolkit's terms; each platform shows it its own way
// (the Windows common dialogs, zenity, kdialog, a dialog of the X11 toolkit's own).
// Texts are UTF-8 and become UTF-16 only inside a platform's implementation.
//
// The dialogs here are modal: runFileDialog returns with the answer. A request holds
// everything the dialog needs and nothing of its caller's, so a platform can also
// show it without waiting (start it, look for the answer from the editor's idle pass,
// finish the command when it came) with the same request and answer.
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

}  // namespace VSTGUI::Platform
