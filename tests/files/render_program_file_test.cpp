// zynka-render's --preset and --bank, run as a user runs the tool: a sound saved
// in the editor's file format plays from the command line exactly as the same
// values set one by one would play, and bad files are refused with a reason.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/factory_presets.h"
#include "file_menu_editor.h"
#include "engine/program_files.h"
#include "tests/tools/json_reader.h"

namespace zynka::test {
namespace {

struct ToolRun {
  int exitCode = -1;
  std::string out, err;
};

std::string quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

class RenderProgramFile : public ::testing::Test {
 protected:
  void SetUp() override { folder = makeTestFolder(); }
  void TearDown() override {
    std::error_code error;
    std::filesystem::remove_all(folder, error);
  }

  ToolRun render(const std::vector<std::string>& args) {
    std::string command = quote(ZYNKA_RENDER_PATH);
    for (const std::string& arg : args) command += " " + quote(arg);
    command += " >" + quote((folder / "out.txt").string()) + " 2>" + quote((folder / "err.txt").string()) + " </dev/null";
    const int status = std::system(command.c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readAll(folder / "out.txt");
    run.err = readAll(folder / "err.txt");
    return run;
  }

  /// One second of a C major chord at 96 ticks per quarter and 120 BPM.
  std::string chord() {
    const std::string path = (folder / "chord.mid").string();
    const std::string track = std::string("\x00\x90\x3c\x64\x00\x90\x40\x64\x00\x90\x43\x64", 12) +
                              std::string("\x81\x40\x80\x3c\x00\x00\x80\x40\x00\x00\x80\x43\x00\x00\xff\x2f\x00", 17);
    std::string file = std::string("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60", 14) + "MTrk";
    file += std::string{'\0', '\0', '\0', static_cast<char>(track.size())} + track;
    writeAll(path, file);
    return path;
  }

  std::filesystem::path folder;
};

ProgramRecord designedSound() {
  ProgramRecord record;
  const float slots[kNumParams] = {0.05f, 0.8f, 0.3f, 0.25f, 0.1f, 0.6f, 0.4f, 0.3f, 0.7f,
                                   0.5f,  0.3f, 0.5f, 0.55f, 0.35f, 0.2f, 0.6f, 0.9f};
  for (int slot = 0; slot < kNumParams; ++slot) record.values[slot] = slots[slot];
  record.setName("Designed Bell");
  return record;
}

TEST_F(RenderProgramFile, APresetPlaysAsItsValuesSetOneByOne) {
  const ProgramRecord sound = designedSound();
  ASSERT_TRUE(writePresetFile(folder / "bell.zyp", sound));
  const std::string midi = chord();
  const ToolRun fromFile = render({"--quiet", "--program", "4", "--preset", (folder / "bell.zyp").string(),
                               ZYNKA_PLUGIN_PATH, midi, (folder / "file.wav").string()});
  ASSERT_EQ(fromFile.exitCode, 0) << fromFile.err;

  // The same sound through --set, by parameter name.
  std::vector<std::string> args = {"--quiet", "--program", "4"};
  for (int i = 0; i < kNumParams; ++i) {
    char value[32];
    std::snprintf(value, sizeof value, "%.9g", static_cast<double>(sound.parameter(i)));
    args.insert(args.end(), {"--set", std::string(kParameters[i].name) + "=" + value});
  }
  args.insert(args.end(), {ZYNKA_PLUGIN_PATH, midi, (folder / "set.wav").string()});
  const ToolRun bySet = render(args);
  ASSERT_EQ(bySet.exitCode, 0) << bySet.err;

  const std::string fileWav = readAll(folder / "file.wav");
  EXPECT_GT(fileWav.size(), 44100u);
  EXPECT_TRUE(fileWav == readAll(folder / "set.wav")) << "the preset sounds different from its values";
  // And differently from the program it replaced.
  ASSERT_EQ(render({"--quiet", "--program", "4", ZYNKA_PLUGIN_PATH, midi, (folder / "plain.wav").string()}).exitCode, 0);
  EXPECT_FALSE(fileWav == readAll(folder / "plain.wav"));

  const ToolRun list = render({"--list", "--json", "--program", "4", "--preset", (folder / "bell.zyp").string(), ZYNKA_PLUGIN_PATH});
  ASSERT_EQ(list.exitCode, 0) << list.err;
  const std::optional<Json> listing = JsonReader::parse(list.out);
  ASSERT_TRUE(listing) << list.out;
  EXPECT_EQ((*listing)["currentProgram"].number, 4);
  const std::vector<std::string> programs = (*listing)["programs"].strings();
  ASSERT_EQ(programs.size(), static_cast<std::size_t>(kNumPrograms));
  EXPECT_EQ(std::vector<std::string>(programs.begin() + 3, programs.begin() + 6),
            (std::vector<std::string>{"Fuzzy E.Piano", "Designed Bell", "Harpsichord"}));
  for (int i = 0; i < kNumParams; ++i)
    EXPECT_EQ(static_cast<float>((*listing)["parameters"][i]["value"].number), sound.parameter(i)) << kParameters[i].name;
}

TEST_F(RenderProgramFile, ABankReplacesTheProgramsAndSelectsTheOneAsked) {
  ProgramRecord bank[kNumPrograms];
  for (int p = 0; p < kNumPrograms; ++p) bank[p].setName(("Bank " + std::to_string(p)).c_str());
  bank[7] = designedSound();
  ASSERT_TRUE(writeBankFile(folder / "mine.zyb", bank));

  const ToolRun list = render({"--list", "--json", "--program", "7", "--bank", (folder / "mine.zyb").string(), ZYNKA_PLUGIN_PATH});
  ASSERT_EQ(list.exitCode, 0) << list.err;
  const std::optional<Json> listing = JsonReader::parse(list.out);
  ASSERT_TRUE(listing) << list.out;
  EXPECT_EQ((*listing)["currentProgram"].number, 7);
  std::vector<std::string> names;
  for (const ProgramRecord& program : bank) names.push_back(program.name);
  EXPECT_EQ((*listing)["programs"].strings(), names);
  EXPECT_EQ(static_cast<float>((*listing)["parameters"][kVolume]["value"].number), 0.9f);

  const ToolRun first = render({"--list", "--json", "--bank", (folder / "mine.zyb").string(), ZYNKA_PLUGIN_PATH});
  const std::optional<Json> firstListing = JsonReader::parse(first.out);
  ASSERT_TRUE(firstListing) << first.out;
  EXPECT_EQ((*firstListing)["currentProgram"].number, 0);
}

TEST_F(RenderProgramFile, FilesThatAreNotZynkaProgramsAreRefused) {
  writeAll(folder / "preset.zyp", "ZYNKA Preset\r\n0 1 2\r\n");
  ProgramRecord bank[kNumPrograms];
  ASSERT_TRUE(writeBankFile(folder / "bank.zyb", bank));
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--preset", (folder / "bank.zyb").string()}, "is not a ZYNKA preset file"},
      {{"--bank", (folder / "preset.zyp").string()}, "is not a ZYNKA bank file"},
      {{"--preset", (folder / "preset.zyp").string()}, "holds no program"},
      {{"--preset", (folder / "missing.zyp").string()}, "cannot read"}};
  for (const auto& [options, reason] : cases) {
    std::vector<std::string> args = options;
    args.insert(args.begin(), "--list");
    args.push_back(ZYNKA_PLUGIN_PATH);
    const ToolRun run = render(args);
    EXPECT_EQ(run.exitCode, 1) << reason;
    EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
  }
  const ToolRun both = render({"--list", "--preset", "a.zyp", "--bank", "b.zyb", ZYNKA_PLUGIN_PATH});
  EXPECT_EQ(both.exitCode, 2);
  EXPECT_NE(both.err.find("--preset and --bank exclude each other"), std::string::npos) << both.err;
}

}  // namespace
}  // namespace zynka::test
