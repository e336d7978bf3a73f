// The four file commands of the editor's program menu: save and load a preset
// (one program), save and load a bank (all 99 programs). Each asks for a file in
// the platform's file dialog and reports failures in a message box.
//
// A command is two steps around its dialog: the request it shows, then what it does
// with the answer. savePresetFile and the others run both with a modal dialog.
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

/// Carries the command out on the file the user chose: writes or reads it, and shows a message
/// (owned by `owner`) when that failed. `program` is the program a preset command works on.
void finishFileCommand(Plugin* plugin, void* owner, FileCommand command, int program,
                       const std::filesystem::path& chosen);

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

}  // namespace zynka
