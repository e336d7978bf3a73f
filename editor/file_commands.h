// The four file commands of the editor's program menu: save and load a preset
// (one program), save and load a bank (all 99 programs). Each asks for a file in
// the platform's file dialog and reports failures in a message box.
//
// A command is two steps around its dialog: the request it shows, then what it does
// with the answer. savePresetFile and the others run both with a modal dialog;
// ShownFileCommand runs them without waiting, from the editor's idle pass.
#pragma once

#include <filesystem>

#include "toolkit/platform/file_dialogs.h"

namespace zynka {

class Plugin;

/// Message texts, shown with the caption "Error".
inline constexpr const char* kMessageCannotSave = "The file could not be saved.";
inline constexpr const char* kMessageCannotOpen = "The selected file could not be opened.";
inline constexpr const char* kMessageNotAPreset = "The selected file is not a ZYNKA preset.";
inline constexpr const char* kMessageNotABank = "The selected file is not a ZYNKA preset bank.";

enum class FileCommand { kSavePreset, kLoadPreset, kSaveBank, kLoadBank };

/// The dialog the command asks its file with, owned by `owner` (a native window, or null).
VSTGUI::Platform::FileDialogRequest fileDialogFor(FileCommand command, void* owner);

// `owner` is the native window that owns the dialogs and message boxes (the window the host
// last opened the editor in; null if none). A null `plugin`, a plug-in without a program bank
// or a program outside 0 to 98 does nothing. The caller selects a program afterwards.

/// Saves program `program` of `plugin` as a preset file the user chooses.
void savePresetFile(Plugin* plugin, void* owner, int program);
/// Loads a preset file the user chooses into program `program`.
void loadPresetFile(Plugin* plugin, void* owner, int program);
/// Saves all 99 programs as a bank file the user chooses.
void saveBankFile(Plugin* plugin, void* owner);
/// Loads a bank file the user chooses into programs 0 to 98.
void loadBankFile(Plugin* plugin, void* owner);

/// A file command whose dialog, and then the message of a failure, stay on the screen while
/// the caller goes on: poll() looks for the user's answer without waiting and carries the
/// command out when it came. Where dialogs are modal the first poll finds the command over.
class ShownFileCommand {
 public:
  /// Shows the command's dialog, owned by `owner`. `program` is the program a preset command
  /// works on, chosen now.
  ShownFileCommand(Plugin* plugin, void* owner, FileCommand command, int program);
  /// Ends a dialog or message still shown; nothing more is read or written.
  ~ShownFileCommand();
  ShownFileCommand(const ShownFileCommand&) = delete;
  ShownFileCommand& operator=(const ShownFileCommand&) = delete;

  /// Looks at what is shown without waiting; once the dialog is answered, writes or reads the
  /// file and shows the message of a failure. True when the command is over (done, failed and
  /// its message closed, or cancelled).
  bool poll();
  FileCommand command() const { return which; }

 private:
  Plugin* plugin;
  void* owner;
  FileCommand which;
  int program;
  VSTGUI::Platform::ShownDialog* shown = nullptr;  // the dialog, then the message
  bool showingMessage = false;
};

}  // namespace zynka
