// Files on disk: a save replaces the old file only once the new one is complete,
// so a failure at any step leaves the old file and no stray file behind; reading
// refuses what is not a readable file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/factory_presets.h"
#include "file_menu_editor.h"
#include "engine/program_files.h"
#include "program_text_checks.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zynka::test {
namespace {

class ProgramFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = makeTestFolder();
    for (int p = 0; p < kNumFactoryPresets; ++p) {
      for (int i = 0; i < kNumParams; ++i) bank[p].setParameter(i, kFactoryPresets[p].values[i]);
      bank[p].setName(kFactoryPresets[p].name);
    }
  }
  void TearDown() override {
    std::error_code error;
    std::filesystem::remove_all(folder, error);
  }

  std::filesystem::path folder;
  ProgramRecord bank[kNumPrograms];
};

TEST_F(ProgramFiles, SavedFilesReadBackUnderAnyName) {
  const std::filesystem::path bankPath = folder / std::filesystem::u8path(u8"Klänge – ñame 音.zyb");
  ASSERT_TRUE(writeBankFile(bankPath, bank));
  EXPECT_EQ(readAll(bankPath), formatBank(bank));
  std::vector<ProgramRecord> reread(kNumPrograms);
  ASSERT_EQ(readBankFile(bankPath, reread.data()), FileReadResult::kRead);
  for (int p = 0; p < kNumPrograms; ++p) EXPECT_TRUE(sameRecord(reread[p], bank[p])) << p;

  const std::filesystem::path presetPath = folder / "preset.zyp";
  ASSERT_TRUE(writePresetFile(presetPath, bank[7]));
  ProgramRecord record;
  ASSERT_EQ(readPresetFile(presetPath, record), FileReadResult::kRead);
  EXPECT_TRUE(sameRecord(record, bank[7]));
  EXPECT_EQ(folderContents(folder), (std::vector<std::string>{bankPath.filename().string(), "preset.zyp"}));
}

TEST_F(ProgramFiles, TheFactoryBankIsWrittenByteForByteAsKept) {
  // data/factory.zyb is the bank of a fresh instance; a change of format shows here first.
  const std::string kept = readAll(std::filesystem::path(FILES_TEST_DATA) / "factory.zyb");
  ASSERT_FALSE(kept.empty());
  ASSERT_TRUE(writeBankFile(folder / "factory.zyb", bank));
  EXPECT_TRUE(readAll(folder / "factory.zyb") == kept);
  std::vector<ProgramRecord> reread(kNumPrograms);
  bool parsed[kNumPrograms];
  ASSERT_EQ(readBankFile(std::filesystem::path(FILES_TEST_DATA) / "factory.zyb", reread.data(), parsed), FileReadResult::kRead);
  for (int p = 0; p < kNumPrograms; ++p) {
    EXPECT_TRUE(parsed[p]);
    EXPECT_TRUE(sameRecord(reread[p], bank[p])) << p;
  }
}

TEST_F(ProgramFiles, SavingReplacesAnOldFileWhole) {
  const std::filesystem::path path = folder / "bank.zyb";
  writeAll(path, std::string(100000, 'x'));  // longer than the new contents
  ASSERT_TRUE(writeBankFile(path, bank));
  EXPECT_EQ(readAll(path), formatBank(bank));
  EXPECT_EQ(folderContents(folder), std::vector<std::string>{"bank.zyb"});
}

TEST_F(ProgramFiles, FilesWrittenElsewhereLoadUnchanged) {
  // LF line ends, no final line end, the values in other spellings.
  const std::filesystem::path path = folder / "other.zyp";
  writeAll(path, "ZYNKA Preset\n1.0e-1 +0.65 0.441000 .842 0.329 0.23 0.8 0.05 0.8 0.9 0 0.5 0.5 0.447 0 0.414 1 From elsewhere");
  ProgramRecord record;
  ASSERT_EQ(readPresetFile(path, record), FileReadResult::kRead);
  EXPECT_EQ(record.values[0], 0.1f);
  EXPECT_EQ(record.values[3], 0.842f);
  EXPECT_STREQ(record.name, "From elsewhere");
}

TEST_F(ProgramFiles, ReadingRefusesWhatIsNotAReadableFile) {
  ProgramRecord record;
  record.setName("Kept");
  std::vector<ProgramRecord> reread(kNumPrograms, record);
  EXPECT_EQ(readPresetFile(folder / "missing.zyp", record), FileReadResult::kCannotOpen);
  EXPECT_EQ(readBankFile(folder / "missing.zyb", reread.data()), FileReadResult::kCannotOpen);
  // A folder opens on some systems but cannot be read.
  EXPECT_EQ(readPresetFile(folder, record), FileReadResult::kCannotOpen);
  EXPECT_EQ(readBankFile(folder, reread.data()), FileReadResult::kCannotOpen);
  EXPECT_STREQ(record.name, "Kept");
  for (const ProgramRecord& r : reread) EXPECT_STREQ(r.name, "Kept");
}

TEST_F(ProgramFiles, ASaveThatCannotStartChangesNothing) {
  EXPECT_FALSE(writeBankFile(folder / "missing folder" / "bank.zyb", bank));
  writeAll(folder / "plain file", "contents");
  EXPECT_FALSE(writeBankFile(folder / "plain file" / "bank.zyb", bank));
  // A folder where the file should go cannot be replaced.
  std::filesystem::create_directory(folder / "taken.zyb");
  EXPECT_FALSE(writeBankFile(folder / "taken.zyb", bank));
  EXPECT_TRUE(std::filesystem::is_directory(folder / "taken.zyb"));
  EXPECT_FALSE(writePresetFile(folder / "", bank[0]));
  EXPECT_EQ(folderContents(folder), (std::vector<std::string>{"plain file", "taken.zyb"}));
  EXPECT_EQ(readAll(folder / "plain file"), "contents");
}

#if defined(_WIN32)

TEST_F(ProgramFiles, AFileNearTheLengthLimitIsSaved) {
  // The new file's name is longer than "a.zyp", so its path passes the 260-character limit.
  std::filesystem::path deep = std::filesystem::absolute(folder);
  while (deep.native().size() < 230) deep /= "abcdefghij";
  deep /= std::wstring(244 - deep.native().size(), L'd');
  std::filesystem::create_directories(deep);
  const std::filesystem::path path = deep / (std::wstring(253 - deep.native().size(), L'n') + L"a.zyp");
  ASSERT_EQ(path.native().size(), 259u);
  ASSERT_TRUE(writePresetFile(path, bank[5]));
  ProgramRecord record;
  ASSERT_EQ(readPresetFile(path, record), FileReadResult::kRead);
  EXPECT_TRUE(sameRecord(record, bank[5]));
  EXPECT_EQ(folderContents(deep).size(), 1u);
}

#else

TEST_F(ProgramFiles, AFolderWithoutWritePermissionKeepsItsFile) {
  const std::filesystem::path path = folder / "bank.zyb";
  writeAll(path, "old contents");
  ::chmod(folder.c_str(), 0555);
  // Permissions do not bind the superuser: the save then runs as "nobody", in a child process.
  EXPECT_EXIT(
      {
        if (::geteuid() == 0 && ::setuid(65534) != 0) std::_Exit(2);
        std::_Exit(writeBankFile(path, bank) ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
  ::chmod(folder.c_str(), 0755);
  EXPECT_EQ(readAll(path), "old contents");
  EXPECT_EQ(folderContents(folder), std::vector<std::string>{"bank.zyb"});
}

TEST_F(ProgramFiles, AWritableFileInAFolderThatTakesNoNewFileIsWrittenInPlace) {
  const std::filesystem::path path = folder / "bank.zyb";
  writeAll(path, "old contents");
  ::chmod(path.c_str(), 0666);
  ::chmod(folder.c_str(), 0555);
  EXPECT_EXIT(
      {
        if (::geteuid() == 0 && ::setuid(65534) != 0) std::_Exit(2);
        std::_Exit(writeBankFile(path, bank) ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  ::chmod(folder.c_str(), 0755);
  EXPECT_EQ(readAll(path), formatBank(bank));
  EXPECT_EQ(folderContents(folder), std::vector<std::string>{"bank.zyb"});
}

TEST_F(ProgramFiles, AWriteFailurePartWayKeepsTheOldFile) {
  // The disk fills after 1000 bytes: the file size limit makes the write fail part-way, as
  // a full disk does. It runs in a child process, so the limit stays there.
  const std::filesystem::path path = folder / "bank.zyb";
  const std::string old = "ZYNKA Preset Bank\r\nthe user's old bank\r\n";
  writeAll(path, old);
  EXPECT_EXIT(
      {
        limitFileSize(1000);
        std::_Exit(writeBankFile(path, bank) ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(readAll(path), old);
  EXPECT_EQ(folderContents(folder), std::vector<std::string>{"bank.zyb"});
}

TEST_F(ProgramFiles, ReplacingKeepsPermissionsAndFollowsLinks) {
  const std::filesystem::path real = folder / "real.zyb";
  writeAll(real, "old");
  ::chmod(real.c_str(), 0640);
  std::filesystem::create_symlink("real.zyb", folder / "link.zyb");
  ASSERT_TRUE(writeBankFile(folder / "link.zyb", bank));
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.zyb"));
  EXPECT_EQ(readAll(real), formatBank(bank));
  struct stat info {};
  ASSERT_EQ(::stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(folderContents(folder), (std::vector<std::string>{"link.zyb", "real.zyb"}));
}

#endif

}  // namespace
}  // namespace zynka::test
