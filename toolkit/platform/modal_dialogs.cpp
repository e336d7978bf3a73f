// startFileDialog and startMessage where the dialogs are modal (the Windows common
// dialogs, which run their own message loop, and the scripted headless ones): start
// shows the dialog to its end, and the first look hands over the answer.
#include <new>

#include "toolkit/platform/file_dialogs.h"

namespace VSTGUI::Platform {

struct ShownDialog {
  DialogState state = DialogState::kCancelled;
  std::filesystem::path chosen;
};

ShownDialog* startFileDialog(const FileDialogRequest& request) {
  auto* shown = new (std::nothrow) ShownDialog;
  if (shown && runFileDialog(request, shown->chosen)) shown->state = DialogState::kAnswered;
  return shown;
}

ShownDialog* startMessage(const MessageRequest& request) {
  auto* shown = new (std::nothrow) ShownDialog;
  if (!shown) return nullptr;
  showMessage(request);
  shown->state = DialogState::kAnswered;
  return shown;
}

DialogState pollDialog(ShownDialog* dialog, std::filesystem::path& chosen) {
  if (!dialog) return DialogState::kCancelled;
  if (dialog->state == DialogState::kAnswered) chosen = dialog->chosen;
  return dialog->state;
}

void endDialog(ShownDialog* dialog) { delete dialog; }

}  // namespace VSTGUI::Platform
