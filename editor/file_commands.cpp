// The program menu's file commands: dialog, file, message.
#include "editor/file_commands.h"

#include <array>
#include <exception>

#include "engine/plugin.h"
#include "engine/program_files.h"

namespace zynka {

namespace {

using VSTGUI::Platform::DialogState;
using VSTGUI::Platform::FileDialogRequest;
using VSTGUI::Platform::MessageRequest;

bool isPreset(FileCommand command) {
  return command == FileCommand::kSavePreset || command == FileCommand::kLoadPreset;
}
bool isSave(FileCommand command) { return command == FileCommand::kSavePreset || command == FileCommand::kSaveBank; }

/// The message of a read that failed, or null.
const char* failureText(FileReadResult result, const char* wrongHeaderText) {
  if (result == FileReadResult::kCannotOpen) return kMessageCannotOpen;
  if (result == FileReadResult::kWrongHeader) return wrongHeaderText;
  return nullptr;
}

/// True when the command has something to work on.
bool canRun(Plugin* plugin, FileCommand command, int program) {
  return plugin && plugin->getProgramRecord(isPreset(command) ? program : 0);
}

/// Writes or reads the chosen file; the message to show when that failed, else null. Nothing
/// escapes into the plug-in's caller, and no file was changed by a step that stopped that way.
const char* carryOut(Plugin* plugin, FileCommand command, int program, const std::filesystem::path& path) {
  try {
    switch (command) {
      case FileCommand::kSavePreset:
        return writePresetFile(path, *plugin->getProgramRecord(program)) ? nullptr : kMessageCannotSave;
      case FileCommand::kLoadPreset:
        return failureText(readPresetFile(path, *plugin->getProgramRecord(program)), kMessageNotAPreset);
      case FileCommand::kSaveBank: {
        std::array<ProgramRecord, kNumPrograms> bank;
        for (int i = 0; i < kNumPrograms; ++i) bank[i] = *plugin->getProgramRecord(i);
        return writeBankFile(path, bank.data()) ? nullptr : kMessageCannotSave;
      }
      case FileCommand::kLoadBank: {
        std::array<ProgramRecord, kNumPrograms> bank;
        for (int i = 0; i < kNumPrograms; ++i) bank[i] = *plugin->getProgramRecord(i);
        const FileReadResult result = readBankFile(path, bank.data());
        if (result == FileReadResult::kRead)
          for (int i = 0; i < kNumPrograms; ++i) *plugin->getProgramRecord(i) = bank[i];
        return failureText(result, kMessageNotABank);
      }
    }
  } catch (const std::exception&) {
    return isSave(command) ? kMessageCannotSave : kMessageCannotOpen;
  }
  return nullptr;
}

MessageRequest errorMessage(void* owner, const char* text) {
  MessageRequest request;
  request.owner = owner;
  request.caption = "Error";
  request.text = text;
  request.icon = MessageRequest::kError;
  return request;
}

void showError(void* owner, const char* text) {
  try {
    VSTGUI::Platform::showMessage(errorMessage(owner, text));
  } catch (const std::exception&) {
  }
}

/// The whole command with a modal dialog.
void run(Plugin* plugin, void* owner, FileCommand command, int program) {
  if (!canRun(plugin, command, program)) return;
  std::filesystem::path path;
  try {
    if (!VSTGUI::Platform::runFileDialog(fileDialogFor(command, owner), path)) return;
  } catch (const std::exception&) {
    return showError(owner, isSave(command) ? kMessageCannotSave : kMessageCannotOpen);
  }
  if (const char* failure = carryOut(plugin, command, program, path)) showError(owner, failure);
}

}  // namespace

FileDialogRequest fileDialogFor(FileCommand command, void* owner) {
  const bool preset = isPreset(command);
  FileDialogRequest request;
  request.owner = owner;
  request.save = isSave(command);
  request.title = preset ? (request.save ? "Save Preset" : "Load Preset") : (request.save ? "Save Bank" : "Load Bank");
  request.filters = {preset ? VSTGUI::Platform::FileFilter{"Preset Files (*.zyp)", {"*.zyp"}}
                            : VSTGUI::Platform::FileFilter{"Preset Banks (*.zyb)", {"*.zyb"}},
                     {"All Files (*.*)", {"*"}}};
  request.defaultExtension = preset ? "zyp" : "zyb";
  request.confirmOverwrite = request.save;
  request.folderMustExist = request.save;
  request.fileMustExist = !request.save;
  return request;
}

void savePresetFile(Plugin* plugin, void* owner, int program) { run(plugin, owner, FileCommand::kSavePreset, program); }
void loadPresetFile(Plugin* plugin, void* owner, int program) { run(plugin, owner, FileCommand::kLoadPreset, program); }
void saveBankFile(Plugin* plugin, void* owner) { run(plugin, owner, FileCommand::kSaveBank, 0); }
void loadBankFile(Plugin* plugin, void* owner) { run(plugin, owner, FileCommand::kLoadBank, 0); }

ShownFileCommand::ShownFileCommand(Plugin* plugin, void* owner, FileCommand command, int program)
    : plugin(plugin), owner(owner), which(command), program(program) {
  if (!canRun(plugin, command, program)) return;
  try {
    shown = VSTGUI::Platform::startFileDialog(fileDialogFor(command, owner));
  } catch (const std::exception&) {
    shown = nullptr;  // no memory for the request: as if cancelled
  }
}

ShownFileCommand::~ShownFileCommand() { VSTGUI::Platform::endDialog(shown); }

bool ShownFileCommand::poll() {
  if (!shown) return true;
  std::filesystem::path chosen;
  const DialogState state = VSTGUI::Platform::pollDialog(shown, chosen);
  if (state == DialogState::kOpen) return false;
  VSTGUI::Platform::endDialog(shown);
  shown = nullptr;
  if (showingMessage || state == DialogState::kCancelled) return true;
  const char* failure = carryOut(plugin, which, program, chosen);
  if (!failure) return true;
  try {
    shown = VSTGUI::Platform::startMessage(errorMessage(owner, failure));
  } catch (const std::exception&) {
    return true;
  }
  showingMessage = true;
  return poll();  // a modal message box was closed already
}

}  // namespace zynka
