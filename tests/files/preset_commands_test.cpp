// The program menu's four file commands as the user meets them: the menu entry
// goes to the plug-in as parameter 105, the editor runs the command with a
// (scripted) file dialog, and the plug-in selects a program afterwards. Checked:
// the dialogs' fields, the files written, the programs loaded, the messages
// shown, and that a failure loses nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <unistd.h>
#endif

#include "engine/factory_presets.h"
#include "file_menu_editor.h"
#include "editor/file_commands.h"
#include "engine/program_text.h"
#include "program_text_checks.h"


namespace zynka::test {
namespace {

using namespace std::string_literals;

const std::string kProgram0Line =
    "0 0.65 0.441 0.842 0.329 0.23 0.8 0.05 0.8 0.9 0 0.5 0.5 0.447 0 0.414 1 Bright E.Piano";
const std::string kEmptyLine = "0 1 0 0 0 0 0 0.5 0 0 0 0.5 0.5 0 0 0 1 Empty";

class FileCommands : public PluginWithFiles {
 protected:
  std::vector<ProgramRecord> snapshot() {
    std::vector<ProgramRecord> all;
    for (int p = 0; p < kNumPrograms; ++p) all.push_back(program(p));
    return all;
  }
  void expectUnchanged(const std::vector<ProgramRecord>& before) {
    for (int p = 0; p < kNumPrograms; ++p) EXPECT_TRUE(sameRecord(program(p), before[p])) << "program " << p;
  }
  /// Plays a note and renders, so there is a voice for a program change to silence.
  void playNote() {
    std::vector<unsigned char> storage(sizeof(VstEvents) + sizeof(VstEvent*));
    VstMidiEvent note{};
    note.type = kVstMidiType;
    note.byteSize = sizeof note;
    note.midiData[0] = static_cast<char>(0x90);
    note.midiData[1] = 60;
    note.midiData[2] = 100;
    auto* events = reinterpret_cast<VstEvents*>(storage.data());
    events->numEvents = 1;
    events->events[0] = reinterpret_cast<VstEvent*>(&note);
    effect->dispatcher(effect, effProcessEvents, 0, 0, events, 0.0f);
    render();
  }
  void render() {
    std::vector<float> left(256), right(256);
    float* outputs[2] = {left.data(), right.data()};
    effect->processReplacing(effect, nullptr, outputs, 256);
  }
};

void* const kHostWindow = reinterpret_cast<void*>(0x5150);

TEST_F(FileCommands, DialogsAreShownAsTheMenuCommandAsks) {
  menu(kMenuSavePreset);  // before the editor was ever opened: no owner
  effect->dispatcher(effect, effEditOpen, 0, 0, kHostWindow, 0.0f);
  menu(kMenuSavePreset);
  menu(kMenuLoadPreset);
  menu(kMenuSaveBank);
  menu(kMenuLoadBank);
  const auto shown = dialogs();
  ASSERT_EQ(shown.size(), 5u);
  EXPECT_EQ(shown[0].owner, nullptr);
  // The filters as "label: patterns" lines.
  auto filters = [](const VSTGUI::Platform::FileDialogRequest& request) {
    std::string text;
    for (const auto& filter : request.filters) {
      text += filter.label + ":";
      for (const std::string& pattern : filter.patterns) text += " " + pattern;
      text += "\n";
    }
    return text;
  };
  const std::string presetFilters = "Preset Files (*.zyp): *.zyp\nAll Files (*.*): *\n";
  const std::string bankFilters = "Preset Banks (*.zyb): *.zyb\nAll Files (*.*): *\n";
  struct Expected {
    bool save;
    const std::string& filters;
    const char* title;
    const char* extension;
  };
  const Expected expected[] = {{true, presetFilters, "Save Preset", "zyp"},
                               {true, presetFilters, "Save Preset", "zyp"},
                               {false, presetFilters, "Load Preset", "zyp"},
                               {true, bankFilters, "Save Bank", "zyb"},
                               {false, bankFilters, "Load Bank", "zyb"}};
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (i > 0) {
      EXPECT_EQ(shown[i].owner, kHostWindow) << i;
    }
    EXPECT_EQ(shown[i].save, expected[i].save) << i;
    EXPECT_EQ(filters(shown[i]), expected[i].filters) << i;
    EXPECT_EQ(shown[i].title, expected[i].title) << i;
    EXPECT_EQ(shown[i].defaultExtension, expected[i].extension) << i;
    // Saving asks before replacing a file and wants an existing folder; loading wants an existing file.
    EXPECT_EQ(shown[i].confirmOverwrite, expected[i].save) << i;
    EXPECT_EQ(shown[i].folderMustExist, expected[i].save) << i;
    EXPECT_EQ(shown[i].fileMustExist, !expected[i].save) << i;
  }
  EXPECT_TRUE(messages().empty());  // every dialog was cancelled
}

TEST_F(FileCommands, SavingProgram0GivesTheHeaderAndItsLine) {
  answer(folder / "bright.zyp");
  menu(kMenuSavePreset);
  EXPECT_EQ(readAll(folder / "bright.zyp"), "ZYNKA Preset\r\n" + kProgram0Line + "\r\n");
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(currentProgram(), 0);
}

TEST_F(FileCommands, ABankFromAFreshInstanceHas100Lines) {
  answer(folder / "fresh.zyb");
  menu(kMenuSaveBank);
  const std::string text = readAll(folder / "fresh.zyb");
  std::vector<std::string> lines;
  MemoryLineReader reader(text);
  for (std::string line; reader.nextLine(line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 100u);
  EXPECT_EQ(lines[0], "ZYNKA Preset Bank");
  EXPECT_EQ(lines[1], kProgram0Line);
  for (int line = 34; line <= 100; ++line) EXPECT_EQ(lines[line - 1], kEmptyLine) << line;
}

TEST_F(FileCommands, AllFactoryProgramsSurviveABankRoundTrip) {
  const auto factory = snapshot();
  answer(folder / "factory.zyb");
  menu(kMenuSaveBank);
  // Overwrite every program with something else, then load the bank back.
  for (int p = 0; p < kNumPrograms; ++p) {
    effect->dispatcher(effect, effSetProgram, 0, p, nullptr, 0.0f);
    for (int i = 0; i < kNumParams; ++i) effect->setParameter(effect, i, 0.123f);
    char name[] = "Scratch";
    effect->dispatcher(effect, effSetProgramName, 0, 0, name, 0.0f);
  }
  effect->dispatcher(effect, effSetProgram, 0, 40, nullptr, 0.0f);
  answer(folder / "factory.zyb");
  menu(kMenuLoadBank);
  expectUnchanged(factory);
  EXPECT_EQ(currentProgram(), 0);
  EXPECT_TRUE(messages().empty());
}

TEST_F(FileCommands, APresetLoadsIntoTheCurrentProgram) {
  effect->dispatcher(effect, effSetProgram, 0, 12, nullptr, 0.0f);  // Harp
  answer(folder / "harp.zyp");
  menu(kMenuSavePreset);
  effect->dispatcher(effect, effSetProgram, 0, 50, nullptr, 0.0f);
  const auto before = snapshot();
  playNote();
  ASSERT_GT(plugin().getActiveVoiceCount(), 0);
  answer(folder / "harp.zyp");
  menu(kMenuLoadPreset);
  EXPECT_EQ(currentProgram(), 50);
  EXPECT_TRUE(sameRecord(program(50), before[12]));
  for (int p = 0; p < kNumPrograms; ++p) {
    if (p == 50) continue;
    EXPECT_TRUE(sameRecord(program(p), before[p])) << p;
  }
  render();
  EXPECT_EQ(plugin().getActiveVoiceCount(), 0);  // the program was selected again
  char name[32];
  effect->dispatcher(effect, effGetProgramName, 0, 0, name, 0.0f);
  EXPECT_STREQ(name, "Harp");
}

TEST_F(FileCommands, NamesWithSpacesTravelThroughAPreset) {
  char name[] = " Two  Spaces";
  effect->dispatcher(effect, effSetProgramName, 0, 0, name, 0.0f);
  answer(folder / "spaces.zyp");
  menu(kMenuSavePreset);
  effect->dispatcher(effect, effSetProgram, 0, 1, nullptr, 0.0f);
  answer(folder / "spaces.zyp");
  menu(kMenuLoadPreset);
  EXPECT_STREQ(program(1).name, " Two  Spaces");

  char trailing[] = "Ends  ";
  effect->dispatcher(effect, effSetProgramName, 0, 0, trailing, 0.0f);
  answer(folder / "trailing.zyp");
  menu(kMenuSavePreset);
  answer(folder / "trailing.zyp");
  menu(kMenuLoadPreset);
  EXPECT_STREQ(program(1).name, "Ends ");
}

TEST_F(FileCommands, AShortBankReplacesItsProgramsAndSelectsProgram0) {
  std::string text = "ZYNKA Preset Bank\r\n";
  for (int p = 0; p < 10; ++p) text += "0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 Loaded " + std::to_string(p) + "\r\n";
  writeAll(folder / "ten.zyb", text);
  effect->dispatcher(effect, effSetProgram, 0, 20, nullptr, 0.0f);
  const auto before = snapshot();
  answer(folder / "ten.zyb");
  menu(kMenuLoadBank);
  for (int p = 0; p < 10; ++p) {
    EXPECT_EQ(program(p).name, "Loaded " + std::to_string(p));
    for (float value : program(p).values) EXPECT_EQ(value, 0.5f);
  }
  for (int p = 10; p < kNumPrograms; ++p) EXPECT_TRUE(sameRecord(program(p), before[p])) << p;
  EXPECT_EQ(currentProgram(), 0);
  EXPECT_EQ(effect->getParameter(effect, 0), 0.5f);
}

TEST_F(FileCommands, CancellingStillSelectsTheProgramAfterwards) {
  effect->dispatcher(effect, effSetProgram, 0, 7, nullptr, 0.0f);
  const auto before = snapshot();
  playNote();
  ASSERT_GT(plugin().getActiveVoiceCount(), 0);
  answer({});
  menu(kMenuLoadPreset);
  render();
  EXPECT_EQ(plugin().getActiveVoiceCount(), 0);
  EXPECT_EQ(currentProgram(), 7);

  answer({});
  menu(kMenuLoadBank);
  EXPECT_EQ(currentProgram(), 0);
  answer({});
  menu(kMenuSaveBank);
  answer({});
  menu(kMenuSavePreset);
  expectUnchanged(before);
  EXPECT_TRUE(messages().empty());
  EXPECT_TRUE(folderContents(folder).empty());
}

TEST_F(FileCommands, LoadingWhatCannotBeReadShowsWhyAndChangesNothing) {
  effect->dispatcher(effect, effEditOpen, 0, 0, kHostWindow, 0.0f);
  writeAll(folder / "empty.zyp", "");
  writeAll(folder / "trailing.zyp", "ZYNKA Preset \r\n" + kProgram0Line + "\r\n");
  writeAll(folder / "case.zyp", "Zynka Preset\r\n" + kProgram0Line + "\r\n");
  writeAll(folder / "junk.zyb", std::string("\0\x01\xff\n\r\x7f", 6) + std::string(70000, '\0'));
  writeAll(folder / "preset.zyp", "ZYNKA Preset\r\n" + kProgram0Line + "\r\n");
  writeAll(folder / "bank.zyb", "ZYNKA Preset Bank\r\n" + kProgram0Line + "\r\n");
  effect->dispatcher(effect, effSetProgram, 0, 30, nullptr, 0.0f);
  const auto before = snapshot();

  const std::vector<std::pair<int, std::filesystem::path>> attempts = {
      {kMenuLoadPreset, folder / "missing.zyp"}, {kMenuLoadBank, folder / "missing.zyb"},
      {kMenuLoadPreset, folder / "empty.zyp"},   {kMenuLoadPreset, folder / "trailing.zyp"},
      {kMenuLoadPreset, folder / "case.zyp"},    {kMenuLoadBank, folder / "junk.zyb"},
      {kMenuLoadBank, folder / "preset.zyp"},    {kMenuLoadPreset, folder / "bank.zyb"},
      {kMenuLoadPreset, folder}};
  for (const auto& [command, path] : attempts) {
    answer(path);
    menu(command);
  }
  EXPECT_EQ(messages(), (std::vector<std::string>{
                            "The selected file could not be opened.", "The selected file could not be opened.",
                            "The selected file is not a ZYNKA preset.", "The selected file is not a ZYNKA preset.",
                            "The selected file is not a ZYNKA preset.", "The selected file is not a ZYNKA preset bank.",
                            "The selected file is not a ZYNKA preset bank.", "The selected file is not a ZYNKA preset.",
                            "The selected file could not be opened."}));
  expectUnchanged(before);
}

TEST_F(FileCommands, AProgramLineThatDoesNotParseIsSkippedSilently) {
  writeAll(folder / "short.zyp", "ZYNKA Preset\r\n0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15\r\n");
  const auto before = snapshot();
  answer(folder / "short.zyp");
  menu(kMenuLoadPreset);
  expectUnchanged(before);
  EXPECT_TRUE(messages().empty());
}

TEST_F(FileCommands, ASaveThatFailsSaysSoAndKeepsTheOldFile) {
  effect->dispatcher(effect, effEditOpen, 0, 0, kHostWindow, 0.0f);
  writeAll(folder / "old.zyb", "the user's old bank");
  std::filesystem::create_directory(folder / "folder.zyp");
  answer(folder / "no such folder" / "bank.zyb");
  menu(kMenuSaveBank);
  answer(folder / "folder.zyp");
  menu(kMenuSavePreset);
  EXPECT_EQ(messages(), (std::vector<std::string>{"The file could not be saved.", "The file could not be saved."}));
  EXPECT_EQ(folderContents(folder), (std::vector<std::string>{"folder.zyp", "old.zyb"}));
  EXPECT_EQ(readAll(folder / "old.zyb"), "the user's old bank");
}

TEST_F(FileCommands, AWriteProtectedFileIsNotReplaced) {
  namespace fs = std::filesystem;
  const fs::path locked = folder / "locked.zyb";
  writeAll(locked, "the user's protected bank");
  fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  answer(locked);
#if defined(_WIN32)
  menu(kMenuSaveBank);
  EXPECT_EQ(messages(), std::vector<std::string>{"The file could not be saved."});
#else
  // Write protection does not hold back the superuser: then the save runs as "nobody", in a
  // child process, with a folder that anyone may write to.
  fs::permissions(folder, fs::perms::all);
  EXPECT_EXIT(
      {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(2);
        menu(kMenuSaveBank);
        const auto shown = VSTGUI::Platform::Headless::messagesShown();
        std::_Exit(shown.size() == 1 && shown[0].text == "The file could not be saved." ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
#endif
  EXPECT_EQ(readAll(locked), "the user's protected bank");
  EXPECT_EQ(folderContents(folder), std::vector<std::string>{"locked.zyb"});
  fs::permissions(locked, fs::perms::owner_write, fs::perm_options::add);
}

#if !defined(_WIN32)
TEST_F(FileCommands, ADiskThatFillsDuringTheSaveKeepsTheOldBank) {
  writeAll(folder / "old.zyb", "the user's old bank");
  answer(folder / "old.zyb");
  // In a child process, whose file size limit stops the write after 2000 bytes.
  EXPECT_EXIT(
      {
        limitFileSize(2000);
        menu(kMenuSaveBank);
        const auto shown = VSTGUI::Platform::Headless::messagesShown();
        std::_Exit(shown.size() == 1 && shown[0].text == "The file could not be saved." ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(readAll(folder / "old.zyb"), "the user's old bank");
  EXPECT_EQ(folderContents(folder), std::vector<std::string>{"old.zyb"});
}
#endif

}  // namespace
}  // namespace zynka::test
