// The program menu's file commands: dialog, file, message.
#include "host/preset_files.h"

#include <array>
#include <exception>
#include <filesystem>
#include <string_view>

#include "engine/plugin.h"
#include "host/program_files.h"
#include "toolkit/platform/file_dialogs.h"

namespace zynka {

namespace {

using namespace std::string_view_literals;
using VSTGUI::Platform::FileDialogRequest;

// The filter lists hold their zero separators and the closing second zero.
constexpr std::string_view kPresetFilter = "Preset Files (*.zyp)\0*.zyp\0All Files (*.*)\0*.*\0\0"sv;
constexpr std::string_view kBankFilter = "Preset Banks (*.zyb)\0*.zyb\0All Files (*.*)\0*.*\0\0"sv;

constexpr std::uint32_t kSaveFlags = VSTGUI::Platform::kFileDialogOverwritePrompt | VSTGUI::Platform::kFileDialogPathMustExist;
constexpr std::uint32_t kLoadFlags = VSTGUI::Platform::kFileDialogFileMustExist | VSTGUI::Platform::kFileDialogHideReadOnly;
/// Room for the chosen path, as the system's MAX_PATH.
constexpr std::size_t kPathCapacity = 260;

enum class Kind { kPreset, kBank };

/// Asks for a file; false when the user cancelled.
bool chooseFile(void* owner, Kind kind, bool save, std::filesystem::path& path) {
  FileDialogRequest request;
  request.owner = owner;
  request.save = save;
  request.filter = kind == Kind::kPreset ? kPresetFilter : kBankFilter;
  request.pathCapacity = kPathCapacity;
  request.title = kind == Kind::kPreset ? (save ? "Save Preset" : "Load Preset") : (save ? "Save Bank" : "Load Bank");
  request.flags = save ? kSaveFlags : kLoadFlags;
  request.defaultExtension = kind == Kind::kPreset ? "zyp" : "zyb";
  return VSTGUI::Platform::runFileDialog(request, path);
}

void showError(void* owner, const char* text) {
  VSTGUI::Platform::MessageRequest request;
  request.owner = owner;
  request.caption = "Error";
  request.text = text;
  request.style = VSTGUI::Platform::kMessageErrorIcon | VSTGUI::Platform::kMessageOkButton;
  VSTGUI::Platform::showMessage(request);
}

void reportRead(void* owner, FileReadResult result, const char* wrongHeaderText) {
  if (result == FileReadResult::kCannotOpen) showError(owner, kMessageCannotOpen);
  if (result == FileReadResult::kWrongHeader) showError(owner, wrongHeaderText);
}

/// Runs a command; nothing may escape into the plug-in's caller, and no file was changed
/// by a command that stopped this way.
template <typename Command>
void guarded(void* owner, const char* failureText, Command command) {
  try {
    command();
  } catch (const std::exception&) {
    try {
      showError(owner, failureText);
    } catch (const std::exception&) {
    }
  }
}

}  // namespace

void savePresetFile(Plugin* plugin, void* owner, int program) {
  const ProgramRecord* record = plugin ? plugin->getProgramRecord(program) : nullptr;
  if (!record) return;
  guarded(owner, kMessageCannotSave, [&] {
    std::filesystem::path path;
    if (!chooseFile(owner, Kind::kPreset, true, path)) return;
    if (!writePresetFile(path, *record)) showError(owner, kMessageCannotSave);
  });
}

void loadPresetFile(Plugin* plugin, void* owner, int program) {
  ProgramRecord* record = plugin ? plugin->getProgramRecord(program) : nullptr;
  if (!record) return;
  guarded(owner, kMessageCannotOpen, [&] {
    std::filesystem::path path;
    if (!chooseFile(owner, Kind::kPreset, false, path)) return;
    reportRead(owner, readPresetFile(path, *record), kMessageNotAPreset);
  });
}

void saveBankFile(Plugin* plugin, void* owner) {
  if (!plugin || !plugin->getProgramRecord(0)) return;
  guarded(owner, kMessageCannotSave, [&] {
    std::filesystem::path path;
    if (!chooseFile(owner, Kind::kBank, true, path)) return;
    std::array<ProgramRecord, kNumPrograms> bank;
    for (int i = 0; i < kNumPrograms; ++i) bank[i] = *plugin->getProgramRecord(i);
    if (!writeBankFile(path, bank.data())) showError(owner, kMessageCannotSave);
  });
}

void loadBankFile(Plugin* plugin, void* owner) {
  if (!plugin || !plugin->getProgramRecord(0)) return;
  guarded(owner, kMessageCannotOpen, [&] {
    std::filesystem::path path;
    if (!chooseFile(owner, Kind::kBank, false, path)) return;
    std::array<ProgramRecord, kNumPrograms> bank;
    for (int i = 0; i < kNumPrograms; ++i) bank[i] = *plugin->getProgramRecord(i);
    const FileReadResult result = readBankFile(path, bank.data());
    if (result == FileReadResult::kRead)
      for (int i = 0; i < kNumPrograms; ++i) *plugin->getProgramRecord(i) = bank[i];
    reportRead(owner, result, kMessageNotABank);
  });
}

}  // namespace zynka
