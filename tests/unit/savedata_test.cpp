// SPDX-License-Identifier: Zlib
// The save file: its exact bytes, the defaults, and every way the file can
// be missing, damaged or out of reach without losing what can be kept.
#include "shell/savedata.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "message_capture.h"
#include "shell/gamestate.h"

namespace {

using namespace game;
namespace fs = std::filesystem;
using Events = std::vector<std::string>;

const char kBroken[] = "データファイルが壊れています。処理は続行します。";
const char kReadFail[] = "データファイルの読み込みに失敗しました。";
const char kWriteFail[] = "データファイルの書き込みに失敗しました。";
const char kHeader[] = "Ductora Fiesta  ";

class SaveDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::path(testing_support::TempFolder("save")).parent_path();
    fs::create_directories(root_ / "data");
    savedPath_ = DataPath;
    savedFull_ = FullScreen;
    if (const char* xdg = std::getenv("XDG_DATA_HOME")) savedXdg_ = xdg;
    DataPath = (root_ / "data").string() + "/";
    ::setenv("XDG_DATA_HOME", (root_ / "xdg").c_str(), 1);
    FullScreen = 0;
    // A record with a value in every field, unlike the defaults.
    SetDefaultSaveData(SaveData);
    for (int p = 0; p < 3; p++)
      for (int c = 0; c < 4; c++) SaveData.HiScore[p][c] = 1000 * (p + 1) + 10 * c + 7;
    SaveData.ClearedMask = 5;
  }
  void TearDown() override {
    DataPath = savedPath_;
    FullScreen = savedFull_;
    savedXdg_ ? ::setenv("XDG_DATA_HOME", savedXdg_->c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
    fs::remove_all(root_);
  }
  std::string FilePath() const { return DataPath + "ductora.dat"; }
  void WriteRaw(const std::vector<uint8_t>& bytes) {
    std::ofstream(FilePath(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  static std::vector<uint8_t> ReadRaw(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
  }
  // Runs a load or a save; the messages it showed.
  static Events Capture(void (*action)()) {
    testutil::EventCapture capture;
    action();
    return capture.Finish();
  }
  // Loads into a cleared record; the messages shown.
  static Events Reload() {
    std::memset(&SaveData, 0, sizeof SaveData);
    return Capture(LoadSaveData);
  }
  static void ExpectSame(const SaveRecord& a, const SaveRecord& b) {
    EXPECT_EQ(0, std::memcmp(a.Header, b.Header, 16));
    for (int p = 0; p < 3; p++)
      for (int c = 0; c < 4; c++) EXPECT_EQ(a.HiScore[p][c], b.HiScore[p][c]) << p << "," << c;
    EXPECT_EQ(a.ClearedMask, b.ClearedMask);
    EXPECT_EQ(a.StartFullScreen, b.StartFullScreen);
  }
  static SaveRecord Defaults() {
    SaveRecord d;
    SetDefaultSaveData(d);
    return d;
  }

  fs::path root_;
  std::string savedPath_;
  std::optional<std::string> savedXdg_;
  int32_t savedFull_ = 0;
};

TEST_F(SaveDataTest, WritesTheSixtyNineBytesWithTheCourseScoresScrambledAndReadsThemBack) {
  SaveData.StartFullScreen = 0;
  SaveData.HiScore[1][2] = -5;  // scrambling a negative value is no problem
  FullScreen = 1;
  const SaveRecord written = SaveData;
  EXPECT_EQ(Events{"save"}, Capture(WriteSaveData));

  std::vector<uint8_t> expected(69, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++) expected[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  std::memcpy(expected.data(), kHeader, 16);
  for (int c = 0; c < 4; c++) {
    for (int p = 0; p < 3; p++) {
      uint32_t v = static_cast<uint32_t>(written.HiScore[p][c]);
      if (p <= 1 && c <= 2) v ^= 0x6B1F3A95u;  // the six course entries
      put32(16 + 4 * (p + 3 * c), v);
    }
  }
  expected[64] = 5;
  put32(65, 1);  // the display mode at the moment of writing
  EXPECT_EQ(expected, ReadRaw(FilePath()));
  ExpectSame(written, SaveData);  // the record itself is unchanged

  EXPECT_TRUE(Reload().empty());
  SaveRecord back = written;
  back.StartFullScreen = 1;
  ExpectSame(back, SaveData);
}

TEST_F(SaveDataTest, AFirstStartGetsTheDefaultsAndCreatesNoFile) {
  EXPECT_TRUE(Reload().empty());
  ExpectSame(Defaults(), SaveData);
  EXPECT_EQ(100000, SaveData.HiScore[0][0]);
  EXPECT_FALSE(fs::exists(FilePath()));
  WriteSaveData();
  EXPECT_EQ(69u, fs::file_size(FilePath()));
}

TEST_F(SaveDataTest, AWrongHeaderShowsBothMessagesAndTheNextSaveHealsTheFile) {
  WriteSaveData();
  std::vector<uint8_t> bytes = ReadRaw(FilePath());
  bytes[0] = 'd';
  WriteRaw(bytes);
  EXPECT_EQ(
      (Events{testutil::Message("ductora Fiesta  :Ductora Fiesta  "), testutil::Message(kBroken)}),
      Reload());
  ExpectSame(Defaults(), SaveData);  // not scrambled garbage
  WriteSaveData();
  EXPECT_TRUE(Reload().empty());
}

TEST_F(SaveDataTest, AShortFileKeepsEveryWholeFieldAndSaysTheReadFailed) {
  WriteSaveData();
  std::vector<uint8_t> bytes = ReadRaw(FilePath());
  bytes.resize(42);  // the header and six hi-scores, half of the seventh
  WriteRaw(bytes);
  EXPECT_EQ(Events{testutil::Message(kReadFail)}, Reload());
  EXPECT_EQ(1007, SaveData.HiScore[0][0]);
  EXPECT_EQ(3017, SaveData.HiScore[2][1]);
  EXPECT_EQ(Defaults().HiScore[0][2], SaveData.HiScore[0][2]);  // cut off: the default
  EXPECT_EQ(0, SaveData.ClearedMask);
  EXPECT_EQ(0, std::memcmp(SaveData.Header, kHeader, 16));

  WriteRaw({'D', 'u', 'c'});  // not even a header
  EXPECT_EQ(Events{testutil::Message(kReadFail)}, Reload());
  ExpectSame(Defaults(), SaveData);
}

TEST_F(SaveDataTest, ALongerFileIsReadFromItsStartAndNotShortenedBySaving) {
  WriteSaveData();
  std::vector<uint8_t> bytes = ReadRaw(FilePath());
  bytes.insert(bytes.end(), {1, 2, 3});
  WriteRaw(bytes);
  EXPECT_TRUE(Reload().empty());
  EXPECT_EQ(5, SaveData.ClearedMask);
  SaveData.ClearedMask = 7;
  WriteSaveData();
  const std::vector<uint8_t> after = ReadRaw(FilePath());
  ASSERT_EQ(72u, after.size());
  EXPECT_EQ(7, after[64]);
  EXPECT_EQ(3, after[71]);
}

TEST_F(SaveDataTest, AnUnreadableFileSaysSoAndLeavesUsableDefaults) {
  // Reading /proc/self/mem from its start fails with an I/O error, even for
  // root (whom file permissions would not stop).
  fs::create_symlink("/proc/self/mem", FilePath());
  EXPECT_EQ(Events{testutil::Message(kReadFail)}, Reload());
  ExpectSame(Defaults(), SaveData);
}

TEST_F(SaveDataTest, AReadOnlyDataFolderMovesTheFileToTheUserFolder) {
  // A data path under a plain file can never be written, even by root.
  std::ofstream(root_ / "plain") << "x";
  DataPath = (root_ / "plain" / "data").string() + "/";
  SaveData.ClearedMask = 3;
  const SaveRecord written = SaveData;
  WriteSaveData();
  const std::vector<uint8_t> user =
      ReadRaw((root_ / "xdg" / "ductora-fiesta" / "ductora.dat").string());
  ASSERT_EQ(69u, user.size());
  EXPECT_EQ(3, user[64]);
  EXPECT_TRUE(Reload().empty());
  ExpectSame(written, SaveData);
}

TEST_F(SaveDataTest, AFailedWriteSaysSoAndChangesNothing) {
  std::ofstream(root_ / "plain") << "x";
  DataPath = (root_ / "plain" / "data").string() + "/";
  ::setenv("XDG_DATA_HOME", (root_ / "plain" / "xdg").c_str(), 1);
  const SaveRecord before = SaveData;
  EXPECT_EQ(Events{testutil::Message(kWriteFail)}, Capture(WriteSaveData));
  ExpectSame(before, SaveData);

  // A file the data folder cannot take (a folder in its place) fails too.
  DataPath = (root_ / "data").string() + "/";
  fs::create_directories(FilePath() + "/inside");
  EXPECT_EQ(Events{testutil::Message(kWriteFail)}, Capture(WriteSaveData));
}

}  // namespace
