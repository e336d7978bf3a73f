// Scripting the headless file dialogs and message boxes: tests queue the answer
// of each dialog and read back every dialog and message that was requested.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "toolkit/platform/file_dialogs.h"

namespace VSTGUI::Platform::Headless {

/// Queues the answer of the next file dialog: a path, or std::nullopt for a cancel.
/// A dialog with no answer queued is cancelled.
void queueFileDialogAnswer(std::optional<std::filesystem::path> answer);
/// The file dialogs requested since the last reset, in order.
std::vector<FileDialogRequest> fileDialogRequests();
/// The messages shown since the last reset, in order.
std::vector<MessageRequest> messagesShown();
/// Forgets queued answers and recorded requests.
void resetFileDialogs();

}  // namespace VSTGUI::Platform::Headless
