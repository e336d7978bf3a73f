// The four file commands of the editor's program menu: save and load a preset
// (one program), save and load a bank (all 99 programs). Each asks for a file
// in the platform's file dialog and reports failures in a message box.
#pragma once

namespace zynka {

class Plugin;

/// Message texts, shown with the caption "Error".
inline constexpr const char* kMessageCannotSave = "The file could not be saved.";
inline constexpr const char* kMessageCannotOpen = "The selected file could not be opened.";
inline constexpr const char* kMessageNotAPreset = "The selected file is not a ZYNKA preset.";
inline constexpr const char* kMessageNotABank = "The selected file is not a ZYNKA preset bank.";

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
