// The plug-in as the program menu meets it: made as its factory makes it, but with an
// editor whose only parts are the four real file commands, and driven through its
// AEffect record. Dialogs and message boxes are the scripted headless ones.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/plugin.h"
#include "toolkit/platform/headless/file_dialogs_headless.h"

namespace zynka::test {

/// Stands in for the editor: it keeps the window the host last opened it in and owns the
/// dialogs and messages of its file commands by it, as the editor does.
struct FileMenuEditor : AEffEditor, EditorLink {
  explicit FileMenuEditor(Plugin* plugin) : AEffEditor(plugin), plugin(plugin) {}
  bool open(void* ptr) override {
    parentWindow = ptr;
    return AEffEditor::open(ptr);
  }
  void setParameter(int /*index*/, float /*value*/) override {}
  bool getProgramNameText(char* text) override {
    text[0] = 0;
    return true;
  }
  bool savePreset(int program) override;
  bool loadPreset(int program) override;
  bool saveBank() override;
  bool loadBank() override;

  Plugin* plugin;
  void* parentWindow = nullptr;
};


/// A plug-in instance loaded as a host loads it, and a folder of its own for files.
class PluginWithFiles : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  /// Chooses a menu entry as the editor does: parameter 105 through the AEffect record.
  void menu(int command);
  /// The next file dialog answers `path` (a cancel when empty).
  void answer(const std::filesystem::path& path);
  Plugin& plugin() { return *static_cast<Plugin*>(effect->object); }
  FileMenuEditor& editor() { return *static_cast<FileMenuEditor*>(plugin().getEditorLink()); }
  ProgramRecord& program(int index) { return *plugin().getProgramRecord(index); }
  int currentProgram();
  std::vector<std::string> messages();
  std::vector<VSTGUI::Platform::FileDialogRequest> dialogs() {
    return VSTGUI::Platform::Headless::fileDialogRequests();
  }

  AEffect* effect = nullptr;
  std::filesystem::path folder;
};

/// The whole contents of a file.
std::string readAll(const std::filesystem::path& path);
/// Writes a file (binary).
void writeAll(const std::filesystem::path& path, const std::string& contents);
/// A fresh, empty folder for one test; removed by the caller.
std::filesystem::path makeTestFolder();
/// The files in a folder, by name.
std::vector<std::string> folderContents(const std::filesystem::path& folder);
/// Makes writes beyond `bytes` fail in this process, as on a full disk (for a child process only).
void limitFileSize(long bytes);

}  // namespace zynka::test
