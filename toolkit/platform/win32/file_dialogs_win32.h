// How a file dialog request becomes the Windows common dialog's record: its flags,
// its zero-separated filter list and the room for the chosen path.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "toolkit/platform/file_dialogs.h"

namespace VSTGUI::Platform::Win32 {

/// The chosen path's room in characters, its zero included: the system's MAX_PATH.
inline constexpr std::size_t kFileDialogPathCapacity = MAX_PATH;

/// The record's OFN_ flags for a request. An open dialog never offers "open as read-only".
DWORD fileDialogFlags(const FileDialogRequest& request);

/// The record's filter list: each label and its patterns (";"-separated, "*" written "*.*"),
/// each followed by a zero, and one more zero at the end.
std::wstring fileDialogFilter(const FileDialogRequest& request);

}  // namespace VSTGUI::Platform::Win32
