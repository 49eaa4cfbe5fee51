// SPDX-License-Identifier: Zlib
// The stage editor's model: what a cell can be made to hold, the fields and
// their limits, the course operations, and the course file both ways.
#include "puzzle/stageedit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "puzzle/board.h"

namespace {

using namespace puzzle;

int Total(const StageInfo& s) {
  int t = 0;
  for (uint8_t n : s.SupplyCount) t += n;
  return t;
}

TEST(StageEditCells, CyclingVisitsEveryKindOnceEachWay) {
  StageInfo s{};
  BlankStage(s);
  std::set<int> seen;
  std::vector<int> forward;
  for (int i = 0; i < kCellKinds; i++) {
    forward.push_back(CellKind(s, 4, 5));
    seen.insert(CellKind(s, 4, 5));
    CycleCell(s, 4, 5, 1);
  }
  EXPECT_EQ(CHIP_EMPTY, CellKind(s, 4, 5)) << "a full cycle comes back to empty";
  EXPECT_EQ(static_cast<size_t>(kCellKinds), seen.size());
  EXPECT_EQ(0, *seen.begin());
  EXPECT_EQ(CHIP_EMPTY, *seen.rbegin());
  for (int i = kCellKinds - 1; i >= 0; i--) {
    CycleCell(s, 4, 5, -1);
    EXPECT_EQ(forward[i], CellKind(s, 4, 5)) << "step back " << i;
  }
  // No other cell changed on the way, and the record stays playable-shaped.
  for (int c = 0; c < 80; c++)
    if (c != 54) {
      EXPECT_EQ(CHIP_EMPTY, s.StageMap[c]);
    }
}

// The record is left as the stage compiler writes it: an empty map cell
// under a special, the warp entrance linked, absent entries all 255, 0, 0, 0.
TEST(StageEditCells, SpecialsMoveAndLeaveTheCompilersForm) {
  StageInfo s{};
  BlankStage(s);
  SetCellKind(s, 0, 0, CHIP_BLOCK);
  SetCellKind(s, 0, 0, CHIP_SOURCE + 2);
  EXPECT_EQ(CHIP_EMPTY, s.StageMap[0]);
  EXPECT_EQ(2, CellKind(s, 0, 0));
  SetCellKind(s, 3, 4, CHIP_SOURCE + 1);  // the one source moves
  EXPECT_EQ(CHIP_EMPTY, CellKind(s, 0, 0));
  EXPECT_EQ((StageSpecial{3, 4, 1, 0}), s.SpecialEntry[0]);
  SetCellKind(s, 5, 5, CHIP_WARP_IN + 3);
  EXPECT_EQ((StageSpecial{5, 5, 3, 1}), s.SpecialEntry[2]);
  SetCellKind(s, 5, 5, 17);  // a piece over the entrance takes it off
  EXPECT_EQ((StageSpecial{kAbsent, 0, 0, 0}), s.SpecialEntry[2]);
  EXPECT_EQ(17, s.StageMap[55]);
  SetCellKind(s, 3, 4, CHIP_DRAIN);  // a drain over the source takes it off
  EXPECT_EQ(kAbsent, s.SpecialEntry[0].X);
  EXPECT_EQ((StageSpecial{3, 4, 0, 0}), s.SpecialEntry[1]);
  // Kinds the editor never offers, and cells off the play area, change nothing.
  const StageInfo before = s;
  SetCellKind(s, 1, 1, 41);
  SetCellKind(s, 10, 1, CHIP_BLOCK);
  CycleCell(s, 1, 8, 1);
  EXPECT_EQ(0, std::memcmp(&before, &s, sizeof s));
  // A cell holding a kind no stage may use cycles on from empty.
  s.StageMap[11] = 200;
  CycleCell(s, 1, 1, 1);
  EXPECT_EQ(CHIP_BLOCK, CellKind(s, 1, 1));
}

TEST(StageEditFields, SharesKeepTheirSumAndFieldsTheirRanges) {
  StageInfo s{};
  BlankStage(s);
  std::mt19937 rng(3);
  for (int n = 0; n < 5000; n++) {
    const int g = static_cast<int>(rng() % 6);
    const int d = static_cast<int>(rng() % 21) - 10;
    ChangeField(s, FieldShare0 + g, d);
    ASSERT_EQ(100, Total(s)) << "after " << n << " changes";
  }
  // All in one group: it cannot grow; taking from it feeds the next group.
  std::memset(s.SupplyCount, 0, 6);
  s.SupplyCount[5] = 100;
  ChangeField(s, FieldShare0 + 5, 1);
  EXPECT_EQ(100, s.SupplyCount[5]);
  ChangeField(s, FieldShare0 + 5, -3);
  EXPECT_EQ(97, s.SupplyCount[5]);
  EXPECT_EQ(3, s.SupplyCount[0]);
  ChangeField(s, FieldShare0 + 1, 2);  // takes from the next non-empty share
  EXPECT_EQ(2, s.SupplyCount[1]);
  EXPECT_EQ(95, s.SupplyCount[5]);
  // A supply that is not 100 (a file made elsewhere) moves towards 100.
  s.SupplyCount[5] = 90;
  ChangeField(s, FieldShare0 + 2, 3);
  EXPECT_EQ(3, s.SupplyCount[2]);
  EXPECT_EQ(98, Total(s));
  ChangeField(s, FieldShare0 + 2, -1);  // away from 100: the next share takes it
  EXPECT_EQ(98, Total(s));
  EXPECT_EQ(2, s.SupplyCount[2]);
  EXPECT_EQ(1, s.SupplyCount[3]);

  struct Range {
    int32_t Field, Low, High;
  };
  for (const Range r : {Range{FieldPipeSet, 0, 4}, Range{FieldRequired, 0, 255},
                        Range{FieldDelay, 1, 255}, Range{FieldSpeed, 0, 255}}) {
    ChangeField(s, r.Field, -1000);
    EXPECT_EQ(r.Low, FieldValue(s, r.Field)) << r.Field;
    ChangeField(s, r.Field, 1);
    EXPECT_EQ(r.Low + 1, FieldValue(s, r.Field)) << r.Field;
    ChangeField(s, r.Field, 1000);
    EXPECT_EQ(r.High, FieldValue(s, r.Field)) << r.Field;
  }
  ToggleRowWrap(s, 7);
  ToggleColumnWrap(s, 9);
  ToggleColumnWrap(s, 0);
  ToggleColumnWrap(s, 10);  // no such column
  ToggleRowWrap(s, -1);
  EXPECT_EQ(0x80, s.RowWrapMask);
  EXPECT_EQ(0x201, s.ColumnWrapMask);
  ToggleColumnWrap(s, 9);
  EXPECT_EQ(0x1, s.ColumnWrapMask);
}

// Stages told apart by their required pipes.
std::vector<int> Order(const EditCourse& c) {
  std::vector<int> v;
  for (int i = 0; i < c.Count; i++) v.push_back(c.Stages[i].RequiredPipes);
  return v;
}

TEST(StageEditCourse, OperationsKeepOrderAndLimits) {
  static EditCourse c;
  BlankCourse(c);
  c.Stages[0].RequiredPipes = 1;
  EXPECT_FALSE(DeleteStage(c)) << "a course keeps one stage";
  EXPECT_FALSE(GoToStage(c, 1));
  EXPECT_FALSE(MoveStage(c, -1));
  ASSERT_TRUE(CopyStage(c));
  c.Stages[1].RequiredPipes = 2;
  ASSERT_TRUE(AddStage(c));
  EXPECT_EQ(2, c.Current);
  EXPECT_EQ(10, c.Stages[2].RequiredPipes) << "a blank stage";
  c.Stages[2].RequiredPipes = 3;
  ASSERT_TRUE(GoToStage(c, -1));
  ASSERT_TRUE(GoToStage(c, -1));
  ASSERT_TRUE(AddStage(c));  // inserted after stage 0
  c.Stages[1].RequiredPipes = 9;
  EXPECT_EQ((std::vector<int>{1, 9, 2, 3}), Order(c));
  ASSERT_TRUE(MoveStage(c, 1));
  ASSERT_TRUE(MoveStage(c, 1));
  EXPECT_FALSE(MoveStage(c, 1));
  EXPECT_EQ(3, c.Current);
  EXPECT_EQ((std::vector<int>{1, 2, 3, 9}), Order(c));
  ASSERT_TRUE(DeleteStage(c));
  EXPECT_EQ(2, c.Current) << "deleting the last stage shows the one before";
  c.Current = 0;
  ASSERT_TRUE(DeleteStage(c));
  EXPECT_EQ((std::vector<int>{2, 3}), Order(c));
  while (c.Count < kMaxCourseStages) ASSERT_TRUE(CopyStage(c));
  EXPECT_FALSE(AddStage(c));
  EXPECT_FALSE(CopyStage(c));
  EXPECT_EQ(3, c.Stages[98].RequiredPipes);
}

TEST(StageEditCourse, CourseFileBothWays) {
  static EditCourse c, back;
  BlankCourse(c);
  SetCellKind(c.Stages[0], 2, 2, CHIP_SOURCE + 1);
  CopyStage(c);
  SetCellKind(c.Stages[1], 7, 2, CHIP_DRAIN + 3);
  c.Stages[1].StartDelay = 0;  // work in progress is kept as it is
  const std::vector<uint8_t> bytes = CourseBytes(c);
  ASSERT_EQ(220u, bytes.size());
  std::string error;
  ASSERT_TRUE(ReadCourseBytes(bytes, back, error)) << error;
  EXPECT_EQ(2, back.Count);
  EXPECT_EQ(0, back.Current);
  EXPECT_EQ(bytes, CourseBytes(back));
  EXPECT_EQ(0, back.Stages[1].StartDelay);

  const struct {
    size_t Size;
    const char* Error;
  } bad[] = {{0, "0 stages, not 1 to 99"},
             {111, "not whole 110-byte stage records"},
             {100 * 110, "100 stages, not 1 to 99"}};
  for (const auto& b : bad) {
    back.Count = 5;
    EXPECT_FALSE(ReadCourseBytes(std::vector<uint8_t>(b.Size, 40), back, error)) << b.Size;
    EXPECT_EQ(b.Error, error);
    EXPECT_EQ(5, back.Count) << "a refused file leaves the course alone";
  }
}

}  // namespace
