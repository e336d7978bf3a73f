#include "file_menu_editor.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "editor/file_commands.h"

#if !defined(_WIN32)
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace zynka {
namespace test {

namespace {

/// The editor factory of the plug-ins these tests make.
EditorParts makeFileMenuEditor(Plugin* plugin) {
  auto* editor = new FileMenuEditor(plugin);
  return {editor, editor};
}

}  // namespace

bool FileMenuEditor::savePreset(int program) {
  savePresetFile(plugin, parentWindow, program);
  return true;
}
bool FileMenuEditor::loadPreset(int program) {
  loadPresetFile(plugin, parentWindow, program);
  return true;
}
bool FileMenuEditor::saveBank() {
  saveBankFile(plugin, parentWindow);
  return true;
}
bool FileMenuEditor::loadBank() {
  loadBankFile(plugin, parentWindow);
  return true;
}

namespace {

VstIntPtr host(AEffect* /*effect*/, VstInt32 opcode, VstInt32 /*index*/, VstIntPtr /*value*/, void* /*ptr*/,
               float /*opt*/) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

}  // namespace

void PluginWithFiles::SetUp() {
  VSTGUI::Platform::Headless::resetFileDialogs();
  folder = makeTestFolder();
  AudioEffect* instance = new Plugin(host, makeFileMenuEditor);
  effect = instance->getAeffect();
  effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
  effect->dispatcher(effect, effSetBlockSize, 0, 512, nullptr, 0.0f);
  effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
}

void PluginWithFiles::TearDown() {
  if (effect) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
  std::error_code error;
  std::filesystem::remove_all(folder, error);
  VSTGUI::Platform::Headless::resetFileDialogs();
}

void PluginWithFiles::menu(int command) { effect->setParameter(effect, kTagProgramMenu, static_cast<float>(command)); }

void PluginWithFiles::answer(const std::filesystem::path& path) {
  if (path.empty())
    VSTGUI::Platform::Headless::queueFileDialogAnswer(std::nullopt);
  else
    VSTGUI::Platform::Headless::queueFileDialogAnswer(path);
}

int PluginWithFiles::currentProgram() {
  return static_cast<int>(effect->dispatcher(effect, effGetProgram, 0, 0, nullptr, 0.0f));
}

std::vector<std::string> PluginWithFiles::messages() {
  std::vector<std::string> texts;
  for (const auto& message : VSTGUI::Platform::Headless::messagesShown()) {
    EXPECT_EQ(message.caption, "Error");
    EXPECT_EQ(message.icon, VSTGUI::Platform::MessageRequest::kError);
    EXPECT_EQ(message.owner, editor().parentWindow);
    texts.push_back(message.text);
  }
  return texts;
}

std::string readAll(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void writeAll(const std::filesystem::path& path, const std::string& contents) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << contents;
}

std::filesystem::path makeTestFolder() {
  static std::atomic<int> counter{0};
#if defined(_WIN32)
  const long long process = 0;
#else
  const long long process = ::getpid();
#endif
  std::filesystem::path path = std::filesystem::temp_directory_path() /
                               ("zynka-files-" + std::to_string(process) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path);
  std::filesystem::create_directories(path);
  return path;
}

std::vector<std::string> folderContents(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void limitFileSize(long bytes) {
#if !defined(_WIN32)
  std::signal(SIGXFSZ, SIG_IGN);  // the write fails with an error instead of ending the process
  rlimit limit{};
  limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(bytes);
  ::setrlimit(RLIMIT_FSIZE, &limit);
#else
  (void)bytes;
#endif
}

}  // namespace test
}  // namespace zynka
