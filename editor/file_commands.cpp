// The program menu's file commands: dialog, file, message.
#include "editor/file_commands.h"

#include <array>
#include <exception>

#include "engine/plugin.h"
#include "engine/program_files.h"

namespace zynka {

namespace {

using VSTGUI::Platform::FileDialogRequest;
using VSTGUI::Platform::MessageRequest;

bool isPreset(FileCommand command) {
  return command == FileCommand::kSavePreset || command == FileCommand::kLoadPreset;
}
bool isSave(FileCommand command) { return command == FileCommand::kSavePreset || command == FileCommand::kSaveBank; }

void showError(void* owner, const char* text) {
  MessageRequest request;
  request.owner = owner;
  request.caption = "Error";
  request.text = text;
  request.icon = MessageRequest::kError;
  VSTGUI::Platform::showMessage(request);
}

void reportRead(void* owner, FileReadResult result, const char* wrongHeaderText) {
  if (result == FileReadResult::kCannotOpen) showError(owner, kMessageCannotOpen);
  if (result == FileReadResult::kWrongHeader) showError(owner, wrongHeaderText);
}

/// True when the command has something to work on.
bool canRun(Plugin* plugin, FileCommand command, int program) {
  return plugin && plugin->getProgramRecord(isPreset(command) ? program : 0);
}

/// Runs a step; nothing may escape into the plug-in's caller, and no file was changed by a
/// step that stopped this way.
template <typename Step>
void guarded(void* owner, FileCommand command, Step step) {
  try {
    step();
  } catch (const std::exception&) {
    try {
      showError(owner, isSave(command) ? kMessageCannotSave : kMessageCannotOpen);
    } catch (const std::exception&) {
    }
  }
}

void finish(Plugin* plugin, void* owner, FileCommand command, int program, const std::filesystem::path& path) {
  switch (command) {
    case FileCommand::kSavePreset:
      if (!writePresetFile(path, *plugin->getProgramRecord(program))) showError(owner, kMessageCannotSave);
      break;
    case FileCommand::kLoadPreset:
      reportRead(owner, readPresetFile(path, *plugin->getProgramRecord(program)), kMessageNotAPreset);
      break;
    case FileCommand::kSaveBank: {
      std::array<ProgramRecord, kNumPrograms> bank;
      for (int i = 0; i < kNumPrograms; ++i) bank[i] = *plugin->getProgramRecord(i);
      if (!writeBankFile(path, bank.data())) showError(owner, kMessageCannotSave);
      break;
    }
    case FileCommand::kLoadBank: {
      std::array<ProgramRecord, kNumPrograms> bank;
      for (int i = 0; i < kNumPrograms; ++i) bank[i] = *plugin->getProgramRecord(i);
      const FileReadResult result = readBankFile(path, bank.data());
      if (result == FileReadResult::kRead)
        for (int i = 0; i < kNumPrograms; ++i) *plugin->getProgramRecord(i) = bank[i];
      reportRead(owner, result, kMessageNotABank);
      break;
    }
  }
}

/// The whole command with a modal dialog.
void run(Plugin* plugin, void* owner, FileCommand command, int program) {
  if (!canRun(plugin, command, program)) return;
  guarded(owner, command, [&] {
    std::filesystem::path path;
    if (!VSTGUI::Platform::runFileDialog(fileDialogFor(command, owner), path)) return;
    finish(plugin, owner, command, program, path);
  });
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

void finishFileCommand(Plugin* plugin, void* owner, FileCommand command, int program,
                       const std::filesystem::path& chosen) {
  if (!canRun(plugin, command, program)) return;
  guarded(owner, command, [&] { finish(plugin, owner, command, program, chosen); });
}

void savePresetFile(Plugin* plugin, void* owner, int program) { run(plugin, owner, FileCommand::kSavePreset, program); }
void loadPresetFile(Plugin* plugin, void* owner, int program) { run(plugin, owner, FileCommand::kLoadPreset, program); }
void saveBankFile(Plugin* plugin, void* owner) { run(plugin, owner, FileCommand::kSaveBank, 0); }
void loadBankFile(Plugin* plugin, void* owner) { run(plugin, owner, FileCommand::kLoadBank, 0); }

}  // namespace zynka
