// SPDX-License-Identifier: Zlib
// Stage records: their byte layout, the checks that keep a bad record out
// of play, the set-up on the board and the course files.
#include "puzzle/stage.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "message_capture.h"
#include "puzzle/board.h"
#include "puzzle/stagerecord.h"
#include "puzzle/supply.h"
#include "puzzle/verdict.h"
#include "shell/gamestate.h"

namespace {

using namespace puzzle;
namespace fs = std::filesystem;

// A small playable record: source at (0, 0) flowing right, drain at (9, 7).
StageInfo GoodStage() {
  StageInfo s{};
  s.PipeSet = 2;
  s.SupplyCount[0] = 50;
  s.SupplyCount[1] = 50;
  s.RequiredPipes = 10;
  s.StartDelay = 3;
  s.SpeedByte = 128;
  std::memset(s.StageMap, CHIP_EMPTY, sizeof s.StageMap);
  s.SpecialEntry[0] = StageSpecial{0, 0, DirRight, 0};
  s.SpecialEntry[1] = StageSpecial{9, 7, DirUp, 0};
  s.SpecialEntry[2] = StageSpecial{kAbsent, 0, 0, 0};
  s.SpecialEntry[3] = StageSpecial{kAbsent, 0, 0, 0};
  return s;
}

std::vector<uint8_t> Bytes(const std::vector<StageInfo>& stages) {
  std::vector<uint8_t> b(kStageRecordSize * stages.size());
  for (size_t i = 0; i < stages.size(); i++) EncodeStage(stages[i], &b[i * kStageRecordSize]);
  return b;
}

TEST(StageRecordTest, FieldsSitAtTheirByteOffsets) {
  // Pipe set, six supply counts, required pipes, start delay, speed, the
  // row mask (rows 0 and 7) and the column mask (columns 0 and 9).
  std::vector<uint8_t> b = {3, 10, 11, 12, 13, 14, 15, 31, 4, 140, 0x81, 0x00, 0x01, 0x02};
  b.resize(kStageRecordSize);
  std::fill(b.begin() + 14, b.begin() + 94, CHIP_EMPTY);
  b[14 + 3 + 10 * 5] = 23;  // a cross at (3, 5)
  const uint8_t specials[16] = {1, 2, 1, 0, 8, 6, 3, 0, 4, 4, 2, 1, 255, 0, 0, 0};
  std::memcpy(b.data() + 94, specials, 16);

  StageInfo s{};
  DecodeStage(b.data(), s);
  EXPECT_EQ(3, s.PipeSet);
  EXPECT_EQ(15, s.SupplyCount[5]);
  EXPECT_EQ(31, s.RequiredPipes);
  EXPECT_EQ(4, s.StartDelay);
  EXPECT_EQ(140, s.SpeedByte);
  EXPECT_EQ(0x81, s.RowWrapMask);
  EXPECT_EQ(0x201, s.ColumnWrapMask);
  EXPECT_EQ(23, s.StageMap[3 + 10 * 5]);
  EXPECT_EQ(8, s.SpecialEntry[1].X);
  EXPECT_EQ(3, s.SpecialEntry[1].Dir);
  EXPECT_EQ(1, s.SpecialEntry[2].LinkFlag);
  EXPECT_EQ(kAbsent, s.SpecialEntry[3].X);
  EXPECT_EQ(b, Bytes({s}));
}

TEST(StageRecordTest, WrapMasksAreReadByRepeatedHalving) {
  EXPECT_TRUE(MaskFlag(0x0201, 0));
  EXPECT_FALSE(MaskFlag(0x0201, 1));
  EXPECT_TRUE(MaskFlag(0x0201, 9));
  // A negative mask halves towards zero: -1 gives only its lowest flag.
  EXPECT_TRUE(MaskFlag(-1, 0));
  EXPECT_FALSE(MaskFlag(-1, 1));
  EXPECT_TRUE(MaskFlag(-4, 2));  // -4, -2, -1
  EXPECT_FALSE(MaskFlag(-4, 3));
}

// Each rule refuses its bad record in the loader's sentence and in the
// editor panel's words, and the editor's verdict stops at the same fault.
TEST(StageCheckTest, EachRuleRejectsItsBadRecordWithItsReason) {
  using W = StageSpecial;
  struct Case {
    const char* Reason;
    const char* Label;
    void (*Spoil)(StageInfo&);
  } const cases[] = {
      {"pipe set 5 is not 0 to 4", "PIPE SET 5", [](StageInfo& s) { s.PipeSet = 5; }},
      {"the start delay is 0", "START DELAY 0", [](StageInfo& s) { s.StartDelay = 0; }},
      {"cell (4, 2) holds kind 15", "BAD CELL 4,2", [](StageInfo& s) { s.StageMap[24] = 15; }},
      {"cell (9, 7) holds kind 41", "BAD CELL 9,7", [](StageInfo& s) { s.StageMap[79] = 41; }},
      {"the drain lies outside the play area at (10, 7)", "DRAIN OFF BOARD",
       [](StageInfo& s) { s.SpecialEntry[1].X = 10; }},
      {"the source lies outside the play area at (0, 8)", "SOURCE OFF BOARD",
       [](StageInfo& s) { s.SpecialEntry[0].Y = 8; }},
      {"the source has direction 4", "SOURCE DIRECTION 4",
       [](StageInfo& s) { s.SpecialEntry[0].Dir = 4; }},
      {"there is no source", "NO SOURCE", [](StageInfo& s) { s.SpecialEntry[0].X = kAbsent; }},
      {"there is no drain", "NO DRAIN", [](StageInfo& s) { s.SpecialEntry[1].X = kAbsent; }},
      {"the warp entrance is not linked", "WARP NOT LINKED",
       [](StageInfo& s) {
         s.SpecialEntry[2] = W{3, 3, 0, 0}, s.SpecialEntry[3] = W{6, 6, 0, 0};
       }},
      {"the warp entrance has no warp exit", "NO WARP EXIT",
       [](StageInfo& s) {
         s.SpecialEntry[2] = W{3, 3, 0, 1};
       }},
      {"the warp exit shares cell (3, 3) with the warp entrance", "WARP OUT ON WARP IN",
       [](StageInfo& s) {
         s.SpecialEntry[2] = W{3, 3, 0, 1}, s.SpecialEntry[3] = W{3, 3, 1, 0};
       }},
      {"the drain shares cell (0, 0) with the source", "DRAIN ON SOURCE",
       [](StageInfo& s) {
         s.SpecialEntry[1] = W{0, 0, 1, 0};
       }},
      {"the supply counts add up to 99, not 100", "SUPPLY 99 OF 100",
       [](StageInfo& s) { s.SupplyCount[1] = 49; }},
      {"the supply counts add up to 101, not 100", "SUPPLY 101 OF 100",
       [](StageInfo& s) { s.SupplyCount[5] = 1; }},
      {"speed 124 never lets the water leave a normal cell", "SPEED 124 TOO SLOW",
       [](StageInfo& s) { s.SpeedByte = 124; }},
      {"speed 126 never lets the water leave a slow straight", "SPEED 126 TOO SLOW",
       [](StageInfo& s) { s.SpeedByte = 126, s.StageMap[40] = CHIP_SLOW_H; }},
  };
  for (const Case& c : cases) {
    StageInfo s = GoodStage();
    c.Spoil(s);
    EXPECT_EQ(c.Reason, CheckStage(s));
    StartVerdict(s);
    EXPECT_EQ(VerdictKind::Fault, CurrentVerdict().Kind) << c.Label;
    EXPECT_EQ(c.Label, VerdictLabel(CurrentVerdict()));
    EXPECT_EQ(c.Reason, FaultReason(CurrentVerdict().Fault)) << c.Label;
  }
  // The playable record and the limits themselves are fine.
  StageInfo s = GoodStage();
  EXPECT_EQ("", CheckStage(s));
  s.SpeedByte = 125;
  EXPECT_EQ("", CheckStage(s));
  s.StageMap[40] = CHIP_SLOW_V;
  s.SpeedByte = 127;
  EXPECT_EQ("", CheckStage(s));
  s.SpecialEntry[3] = StageSpecial{5, 5, 2, 0};  // an exit alone is harmless
  EXPECT_EQ("", CheckStage(s));
}

class StageSetUpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitChipTable();
    dir_ = fs::path(testing_support::TempFolder("stage")).parent_path();
    fs::create_directories(dir_ / "stage");
    savedDataPath_ = game::DataPath;
    game::DataPath = dir_.string() + "/";
  }
  void TearDown() override {
    game::DataPath = savedDataPath_;
    fs::remove_all(dir_);
  }
  void WriteCourse(int course, const std::vector<uint8_t>& bytes) {
    std::ofstream f(dir_ / "stage" / ("course" + std::to_string(course) + ".dat"),
                    std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  }
  fs::path dir_;
  std::string savedDataPath_;
};

TEST_F(StageSetUpTest, SetUpLaysOutMapSpecialsWrapsTimingAndSupply) {
  StageInfo s = GoodStage();
  s.StageMap[5 + 10 * 3] = 19;
  s.StageMap[0] = CHIP_BLOCK;  // under the source: the source wins
  s.StageMap[7 + 10 * 1] = CHIP_FAST_H;
  s.SpecialEntry[2] = StageSpecial{2, 6, DirLeft, 1};
  s.SpecialEntry[3] = StageSpecial{7, 2, DirDown, 0};
  s.RowWrapMask = 0x24;
  s.ColumnWrapMask = 0x200;
  s.StartDelay = 2;
  s.SpeedByte = 131;
  CurrentStage = s;
  SetUpStage();
  EXPECT_EQ(2 * 60 + 320, StageStartProgress);
  EXPECT_EQ(-3, FlowSpeedAdjust);
  EXPECT_EQ(CHIP_SOURCE + DirRight, Board[0][0].ChipNo);
  EXPECT_EQ(CHIP_DRAIN + DirUp, Board[9][7].ChipNo);
  EXPECT_EQ(CHIP_WARP_IN + DirLeft, Board[2][6].ChipNo);
  EXPECT_EQ(CHIP_WARP_OUT + DirDown, Board[7][2].ChipNo);
  EXPECT_EQ(19, Board[5][3].ChipNo);
  EXPECT_EQ(CHIP_FAST_H, Board[7][1].ChipNo);
  EXPECT_EQ(-1, Board[7][1].Fixed);
  EXPECT_EQ(CHIP_EMPTY, Board[4][4].ChipNo);
  EXPECT_EQ(3, SpecialPos[kSpecialWarpIn].Link);
  EXPECT_EQ(7, SpecialPos[kSpecialWarpOut].X);
  const int16_t rows[8] = {0, 0, -1, 0, 0, -1, 0, 0};
  for (int r = 0; r < 8; r++) EXPECT_EQ(rows[r], WrapRow[r]) << r;
  for (int c = 0; c < 10; c++) EXPECT_EQ(c == 9 ? -1 : 0, WrapColumn[c]) << c;
  EXPECT_EQ(1, SupplyIndex);

  // The next stage without a warp: the entries go to -1, the old link stays,
  // and the cells under absent entries keep the map's pieces.
  StageInfo t = GoodStage();
  t.StageMap[2 + 10 * 6] = 18;
  CurrentStage = t;
  SetUpStage();
  EXPECT_EQ(-1, SpecialPos[kSpecialWarpIn].X);
  EXPECT_EQ(-1, SpecialPos[kSpecialWarpIn].Dir);
  EXPECT_EQ(3, SpecialPos[kSpecialWarpIn].Link);
  EXPECT_EQ(18, Board[2][6].ChipNo);
  EXPECT_EQ(0, WrapRow[2]);
  EXPECT_EQ(0, FlowSpeedAdjust);
}

TEST_F(StageSetUpTest, ACourseFileOfKRecordsHoldsKStagesAndAFailedReadKeepsTheRecord) {
  std::vector<StageInfo> stages(4, GoodStage());
  for (int k = 0; k < 4; k++) stages[k].RequiredPipes = static_cast<uint8_t>(20 + k);
  WriteCourse(1, Bytes(stages));
  EXPECT_EQ(4, CountStages(1));
  ReadStageRecord(1, 3);
  EXPECT_EQ(23, CurrentStage.RequiredPipes);
  ReadStageRecord(1, 0);
  EXPECT_EQ(20, CurrentStage.RequiredPipes);

  testutil::EventCapture capture;
  ReadStageRecord(1, 4);  // past the end of the file
  ReadStageRecord(2, 0);  // no such file
  const std::vector<std::string> events = capture.Finish();
  ASSERT_EQ(2u, events.size());
  EXPECT_EQ(testutil::Message("stage read error : 61"), events[0]);
  EXPECT_EQ(testutil::Message("stage read error : 2"), events[1]);
  EXPECT_EQ(20, CurrentStage.RequiredPipes);
}

TEST_F(StageSetUpTest, BadCourseFilesEndTheGameWithTheFileAndStage) {
  const std::string path = game::DataPath + "stage/course0.dat";
  std::vector<uint8_t> file = Bytes({GoodStage()});
  file.resize(kStageRecordSize + 50);
  WriteCourse(0, file);
  EXPECT_EXIT(CountStages(0), ::testing::ExitedWithCode(1),
              "stage data error : " + path + ", stage 2: the record is cut short \\(50 of 110");
  WriteCourse(0, {});
  EXPECT_EXIT(CountStages(0), ::testing::ExitedWithCode(1), "stage 1: the file holds no stage");
  EXPECT_EXIT(CountStages(2), ::testing::ExitedWithCode(1), "cannot read the course file");

  StageInfo bad = GoodStage();
  bad.StartDelay = 0;
  WriteCourse(0, Bytes({GoodStage(), bad}));
  EXPECT_EXIT(LoadStage(0, 1), ::testing::ExitedWithCode(1),
              "stage data error : " + path + ", stage 2: the start delay is 0");
}

// What the build compiled from content/stages: whole, checked records, and
// between them every piece and feature the game has.
TEST(ShippedCoursesTest, CoursesAreCheckedAndUseEveryFeature) {
  bool kinds[kChipKinds] = {};
  bool sets[5] = {};
  bool rowWrap = false, columnWrap = false, warp = false;
  for (int course = 0; course < 3; course++) {
    const std::vector<StageInfo> stages = testing_support::ShippedCourse(course);
    EXPECT_GE(stages.size(), 10u) << "course " << course;
    for (size_t i = 0; i < stages.size(); i++) {
      const StageInfo& s = stages[i];
      EXPECT_EQ("", CheckStage(s)) << "course " << course << " stage " << i + 1;
      sets[s.PipeSet] = true;
      rowWrap = rowWrap || s.RowWrapMask != 0;
      columnWrap = columnWrap || s.ColumnWrapMask != 0;
      warp = warp || s.SpecialEntry[kSpecialWarpIn].X != kAbsent;
      for (uint8_t chip : s.StageMap) kinds[chip] = true;
      int32_t perKind[kChipKinds];
      CountSupplyKinds(s.SupplyCount, perKind);
      for (int k = 0; k < kChipKinds; k++) kinds[k] = kinds[k] || perKind[k] > 0;
    }
  }
  for (int k = CHIP_BLOCK; k < CHIP_EMPTY; k++) EXPECT_TRUE(kinds[k]) << "kind " << k;
  for (int set = 0; set < 5; set++) EXPECT_TRUE(sets[set]) << "pipe set " << set;
  EXPECT_TRUE(rowWrap);
  EXPECT_TRUE(columnWrap);
  EXPECT_TRUE(warp);
}

}  // namespace
