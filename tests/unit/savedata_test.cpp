// The save file: its exact bytes, the defaults, and every way the file can
// be missing, damaged or out of reach without losing what can be kept.
#include "shell/savedata.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "message_capture.h"
#include "shell/gamestate.h"

namespace {

using namespace game;
namespace fs = std::filesystem;

const char kBroken[] = "データファイルが壊れています。処理は続行します。";
const char kReadFail[] = "データファイルの読み込みに失敗しました。";
const char kWriteFail[] = "データファイルの書き込みに失敗しました。";

void PutInt32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; i++) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

class SaveDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("ductora-save-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "data");
    savedPath_ = DataPath;
    savedFull_ = FullScreen;
    const char* xdg = std::getenv("XDG_DATA_HOME");
    hadXdg_ = xdg != nullptr;
    if (hadXdg_) savedXdg_ = xdg;
    DataPath = (root_ / "data").string() + "/";
    ::setenv("XDG_DATA_HOME", (root_ / "xdg").c_str(), 1);
    FullScreen = 0;
    std::memset(&SaveData, 0, sizeof SaveData);
  }
  void TearDown() override {
    DataPath = savedPath_;
    FullScreen = savedFull_;
    if (hadXdg_)
      ::setenv("XDG_DATA_HOME", savedXdg_.c_str(), 1);
    else
      ::unsetenv("XDG_DATA_HOME");
    fs::remove_all(root_);
  }
  std::string FilePath() const { return DataPath + "ductora.dat"; }
  void WriteRaw(const std::vector<uint8_t>& bytes) {
    std::ofstream f(FilePath(), std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  }
  std::vector<uint8_t> ReadRaw(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
  }
  // A record with a value in every field, unlike the defaults.
  static void FillDistinct(SaveRecord& r) {
    SetDefaultSaveData(r);
    for (int p = 0; p < 3; p++)
      for (int c = 0; c < 4; c++) r.HiScore[p][c] = 1000 * (p + 1) + 10 * c + 7;
    r.ClearedMask = 5;
  }
  static void ExpectSameScores(const SaveRecord& a, const SaveRecord& b) {
    for (int p = 0; p < 3; p++)
      for (int c = 0; c < 4; c++) EXPECT_EQ(a.HiScore[p][c], b.HiScore[p][c]) << p << "," << c;
  }

  fs::path root_;
  std::string savedPath_, savedXdg_;
  bool hadXdg_ = false;
  int32_t savedFull_ = 0;
};

TEST_F(SaveDataTest, WritesTheSixtyNineBytesWithTheCourseScoresScrambled) {
  FillDistinct(SaveData);
  SaveData.StartFullScreen = 0;
  FullScreen = 1;
  testutil::EventCapture capture;
  WriteSaveData();
  EXPECT_EQ(std::vector<std::string>{"save"}, capture.Finish());

  std::vector<uint8_t> expected(69, 0);
  std::memcpy(expected.data(), "Ductora Fiesta  ", 16);
  for (int c = 0; c < 4; c++) {
    for (int p = 0; p < 3; p++) {
      uint32_t v = static_cast<uint32_t>(1000 * (p + 1) + 10 * c + 7);
      if (p <= 1 && c <= 2) v ^= 0x6B1F3A95u;
      PutInt32(expected, 16 + 4 * (p + 3 * c), v);
    }
  }
  expected[64] = 5;
  PutInt32(expected, 65, 1);  // the display mode at the moment of writing
  EXPECT_EQ(expected, ReadRaw(FilePath()));
  EXPECT_EQ(0, SaveData.StartFullScreen);  // the record itself is unchanged
  EXPECT_EQ(1007, SaveData.HiScore[0][0]);
}

TEST_F(SaveDataTest, WhatIsWrittenReadsBackTheSame) {
  FillDistinct(SaveData);
  SaveData.HiScore[1][2] = -5;  // scrambling a negative value is no problem
  FullScreen = 1;
  const SaveRecord written = SaveData;
  WriteSaveData();
  std::memset(&SaveData, 0, sizeof SaveData);
  testutil::EventCapture capture;
  LoadSaveData();
  EXPECT_TRUE(capture.Finish().empty());
  ExpectSameScores(written, SaveData);
  EXPECT_EQ(5, SaveData.ClearedMask);
  EXPECT_EQ(1, SaveData.StartFullScreen);
  EXPECT_EQ(0, std::memcmp(SaveData.Header, "Ductora Fiesta  ", 16));
}

TEST_F(SaveDataTest, AFirstStartGetsTheDefaultsAndCreatesNoFile) {
  testutil::EventCapture capture;
  LoadSaveData();
  EXPECT_TRUE(capture.Finish().empty());
  const int32_t expected[3][4] = {
      {100000, 200000, 300000, 80000}, {200000, 400000, 600000, 0}, {0, 0, 0, 0}};
  for (int p = 0; p < 3; p++)
    for (int c = 0; c < 4; c++) EXPECT_EQ(expected[p][c], SaveData.HiScore[p][c]);
  EXPECT_EQ(0, SaveData.ClearedMask);
  EXPECT_EQ(0, SaveData.StartFullScreen);
  EXPECT_FALSE(fs::exists(FilePath()));
  WriteSaveData();
  EXPECT_EQ(69u, fs::file_size(FilePath()));
}

TEST_F(SaveDataTest, AWrongHeaderShowsBothMessagesAndTheNextSaveHealsTheFile) {
  FillDistinct(SaveData);
  WriteSaveData();
  std::vector<uint8_t> bytes = ReadRaw(FilePath());
  bytes[0] = 'd';
  WriteRaw(bytes);
  testutil::EventCapture capture;
  LoadSaveData();
  const std::vector<std::string> events = capture.Finish();
  ASSERT_EQ(2u, events.size());
  EXPECT_EQ(testutil::Message("ductora Fiesta  :Ductora Fiesta  "), events[0]);
  EXPECT_EQ(testutil::Message(kBroken), events[1]);
  EXPECT_EQ(100000, SaveData.HiScore[0][0]);  // the defaults, not scrambled garbage
  WriteSaveData();
  testutil::EventCapture again;
  LoadSaveData();
  EXPECT_TRUE(again.Finish().empty());
}

TEST_F(SaveDataTest, AShortFileKeepsEveryWholeFieldAndSaysTheReadFailed) {
  FillDistinct(SaveData);
  WriteSaveData();
  std::vector<uint8_t> bytes = ReadRaw(FilePath());
  bytes.resize(42);  // the header and six hi-scores, half of the seventh
  WriteRaw(bytes);
  std::memset(&SaveData, 0, sizeof SaveData);
  testutil::EventCapture capture;
  LoadSaveData();
  EXPECT_EQ(std::vector<std::string>{testutil::Message(kReadFail)}, capture.Finish());
  EXPECT_EQ(1007, SaveData.HiScore[0][0]);
  EXPECT_EQ(3017, SaveData.HiScore[2][1]);
  EXPECT_EQ(300000, SaveData.HiScore[0][2]);  // cut off: the default
  EXPECT_EQ(0, SaveData.ClearedMask);
  EXPECT_EQ(0, std::memcmp(SaveData.Header, "Ductora Fiesta  ", 16));

  WriteRaw({'D', 'u', 'c'});  // not even a header
  testutil::EventCapture tiny;
  LoadSaveData();
  EXPECT_EQ(std::vector<std::string>{testutil::Message(kReadFail)}, tiny.Finish());
  EXPECT_EQ(100000, SaveData.HiScore[0][0]);
}

TEST_F(SaveDataTest, ALongerFileIsReadFromItsStartAndNotShortenedBySaving) {
  FillDistinct(SaveData);
  WriteSaveData();
  std::vector<uint8_t> bytes = ReadRaw(FilePath());
  bytes.insert(bytes.end(), {1, 2, 3});
  WriteRaw(bytes);
  std::memset(&SaveData, 0, sizeof SaveData);
  testutil::EventCapture capture;
  LoadSaveData();
  EXPECT_TRUE(capture.Finish().empty());
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
  testutil::EventCapture capture;
  LoadSaveData();
  EXPECT_EQ(std::vector<std::string>{testutil::Message(kReadFail)}, capture.Finish());
  EXPECT_EQ(0, std::memcmp(SaveData.Header, "Ductora Fiesta  ", 16));
  EXPECT_EQ(200000, SaveData.HiScore[0][1]);
}

TEST_F(SaveDataTest, AReadOnlyDataFolderMovesTheFileToTheUserFolder) {
  // A data path under a plain file can never be written, even by root.
  std::ofstream(root_ / "plain") << "x";
  FillDistinct(SaveData);
  DataPath = (root_ / "plain" / "data").string() + "/";
  const std::string user = (root_ / "xdg" / "ductora-fiesta" / "ductora.dat").string();

  SaveData.ClearedMask = 3;
  WriteSaveData();
  ASSERT_TRUE(fs::exists(user));
  EXPECT_EQ(3, ReadRaw(user)[64]);
  std::memset(&SaveData, 0, sizeof SaveData);
  LoadSaveData();
  EXPECT_EQ(3, SaveData.ClearedMask);
  EXPECT_EQ(1007, SaveData.HiScore[0][0]);
}

TEST_F(SaveDataTest, AFailedWriteSaysSoAndChangesNothing) {
  std::ofstream(root_ / "plain") << "x";
  DataPath = (root_ / "plain" / "data").string() + "/";
  ::setenv("XDG_DATA_HOME", (root_ / "plain" / "xdg").c_str(), 1);
  FillDistinct(SaveData);
  const SaveRecord before = SaveData;
  testutil::EventCapture capture;
  WriteSaveData();
  EXPECT_EQ(std::vector<std::string>{testutil::Message(kWriteFail)}, capture.Finish());
  ExpectSameScores(before, SaveData);
  EXPECT_EQ(before.ClearedMask, SaveData.ClearedMask);
  EXPECT_EQ(before.StartFullScreen, SaveData.StartFullScreen);

  // A file the data folder cannot take (a folder in its place) fails too.
  DataPath = (root_ / "data").string() + "/";
  fs::create_directories(FilePath());
  fs::create_directories(FilePath() + "/inside");
  testutil::EventCapture second;
  WriteSaveData();
  EXPECT_EQ(std::vector<std::string>{testutil::Message(kWriteFail)}, second.Finish());
}

}  // namespace
