// The platform's modal file dialogs and message boxes. A request carries every
// field the dialog is shown with; texts are UTF-8 and become UTF-16 only inside
// the platform's implementation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace VSTGUI::Platform {

/// Dialog flags; the values are those of the Windows file dialog record.
inline constexpr std::uint32_t kFileDialogOverwritePrompt = 0x00000002;  // ask before replacing a file
inline constexpr std::uint32_t kFileDialogHideReadOnly = 0x00000004;     // no "read only" check box
inline constexpr std::uint32_t kFileDialogPathMustExist = 0x00000800;    // only existing folders
inline constexpr std::uint32_t kFileDialogFileMustExist = 0x00001000;    // only existing files

/// Message box styles; the values are those of the Windows message box.
inline constexpr std::uint32_t kMessageOkButton = 0x00000000;
inline constexpr std::uint32_t kMessageErrorIcon = 0x00000010;

/// A file dialog as it is to be shown.
struct FileDialogRequest {
  void* owner = nullptr;             // native window that owns the dialog (null: none)
  bool save = false;                 // a save dialog; otherwise an open dialog
  std::string filter;                // "label\0pattern\0" pairs, ending in a second zero
  std::size_t pathCapacity = 260;    // characters the chosen path may take, its zero included
  std::string title;                 // the dialog's title
  std::uint32_t flags = 0;           // kFileDialog... flags
  std::string defaultExtension;      // added to a name typed without one
};

/// A message box as it is to be shown.
struct MessageRequest {
  void* owner = nullptr;  // native window that owns the box (null: none)
  std::string caption;
  std::string text;
  std::uint32_t style = 0;  // kMessage... button and icon
};

/// Shows a modal file dialog; true with the chosen path, false when the user cancelled.
bool runFileDialog(const FileDialogRequest& request, std::filesystem::path& chosen);
/// Shows a modal message box and waits until the user closes it.
void showMessage(const MessageRequest& request);

}  // namespace VSTGUI::Platform
