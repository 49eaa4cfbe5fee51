// SPDX-License-Identifier: Zlib
// The editor's verdict: the record checks in the panel's words, and the
// route search a slice at a time, which must find exactly what the stage
// compiler finds while leaving the game's board alone.
#include "puzzle/verdict.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "puzzle/board.h"
#include "puzzle/stageedit.h"
#include "test_support.h"

namespace {

using namespace puzzle;

// Source at (1, 3) flowing right, drain at (8, 3) taking water running right.
StageInfo OpenStage() {
  StageInfo s{};
  BlankStage(s);
  SetCellKind(s, 1, 3, CHIP_SOURCE + DirRight);
  SetCellKind(s, 8, 3, CHIP_DRAIN + DirLeft);
  s.RequiredPipes = 6;
  return s;
}

Verdict Settle(const StageInfo& s, int64_t slice = kVerdictSlice) {
  StartVerdict(s);
  for (int frame = 0; frame < 100000 && CurrentVerdict().Kind == VerdictKind::Looking; frame++)
    StepVerdict(slice);
  return CurrentVerdict();
}

TEST(VerdictTest, RoutesAndTheirAbsence) {
  StageInfo s = OpenStage();
  Verdict v = Settle(s);
  ASSERT_EQ(VerdictKind::Clearable, v.Kind);
  // Six pieces in a straight line and the drain; at speed 128 a cell takes
  // 81 frames, after the delay of 20 x 60 frames.
  EXPECT_EQ(7, v.Route.Cells);
  EXPECT_EQ(20 * 60 + 7 * 81, v.Route.Frames);
  EXPECT_EQ("CLEARABLE 7 CELLS 30.0 S", VerdictLabel(v));

  // The drain walled in on its three open sides and its own.
  for (int x : {7, 9}) SetCellKind(s, x, 3, CHIP_BLOCK);
  for (int y : {2, 4}) SetCellKind(s, 8, y, CHIP_BLOCK);
  v = Settle(s);
  EXPECT_EQ(VerdictKind::NoRoute, v.Kind);
  EXPECT_EQ("NO ROUTE", VerdictLabel(v));

  // A row that wraps opens the wall: the water leaves on the left.
  s = OpenStage();
  SetCellKind(s, 1, 3, CHIP_SOURCE + DirLeft);
  SetCellKind(s, 8, 3, CHIP_DRAIN + DirRight);
  for (int y : {2, 4}) SetCellKind(s, 8, y, CHIP_BLOCK);
  SetCellKind(s, 7, 3, CHIP_BLOCK);
  s.RequiredPipes = 1;
  EXPECT_EQ(VerdictKind::Clearable, Settle(s).Kind);
  ToggleRowWrap(s, 3);
  v = Settle(s);
  ASSERT_EQ(VerdictKind::Clearable, v.Kind);
  EXPECT_EQ(3, v.Route.Cells) << "(0, 3), (9, 3) and the drain";
}

TEST(VerdictTest, SearchRunsInSlicesAndANewStageDropsTheOldSearch) {
  // An open board with every kind dealt and a requirement near the most
  // the board holds keeps the search busy for many slices.
  StageInfo s = OpenStage();
  for (int g = 0; g < 6; g++) s.SupplyCount[g] = g == 0 ? 15 : 17;
  s.RequiredPipes = 60;
  StartVerdict(s);
  EXPECT_EQ("STILL LOOKING", VerdictLabel(CurrentVerdict()));
  // The game's board is the game's between slices.
  InitChipTable();
  for (int x = 0; x < kBoardColumns; x++)
    for (int y = 0; y < kBoardRows; y++) Board[x][y] = ChipTable[CHIP_BLOCK];
  StepVerdict(50);
  EXPECT_EQ(VerdictKind::Looking, CurrentVerdict().Kind);
  const int64_t first = SolveNodes();
  EXPECT_LE(first, 51);
  StepVerdict(50);
  EXPECT_GT(SolveNodes(), first);
  for (int x = 0; x < kBoardColumns; x++)
    for (int y = 0; y < kBoardRows; y++) ASSERT_EQ(CHIP_BLOCK, Board[x][y].ChipNo);
  // A change starts again: the answer is the new stage's.
  StageInfo broken = s;
  broken.SupplyCount[0] = 10;
  StartVerdict(broken);
  EXPECT_EQ("SUPPLY 95 OF 100", VerdictLabel(CurrentVerdict()));
  StepVerdict();
  EXPECT_EQ(VerdictKind::Fault, CurrentVerdict().Kind);
  const Verdict small = Settle(OpenStage(), 3);
  EXPECT_EQ(7, small.Route.Cells);
}

bool SameRoute(const RouteInfo& a, const RouteInfo& b) {
  return a.Cells == b.Cells && a.Counted == b.Counted && a.Laid == b.Laid && a.Frames == b.Frames &&
         std::memcmp(a.Map, b.Map, sizeof a.Map) == 0;
}

// Every shipped stage: the search a slice at a time ends exactly where the
// compiler's search in one go ends, step for step (with fewer steps than
// the compiler's, so that both searches are cut short on the hard stages).
TEST(VerdictTest, SlicedSearchMatchesTheWholeSearchOnShippedStages) {
  int stages = 0;
  for (int course = 0; course < 3; course++) {
    const std::vector<StageInfo> records = testing_support::ShippedCourse(course);
    for (size_t i = 0; i < records.size(); i++) {
      const StageInfo& s = records[i];
      const SolveResult whole = SolveStage(s, 40000);
      StartSolve(s, 40000);
      int slices = 0;
      while (!ContinueSolve(997)) slices++;
      const SolveResult& sliced = SolveOutcome();
      const std::string where =
          "course " + std::to_string(course) + " stage " + std::to_string(i + 1);
      EXPECT_EQ(whole.Found, sliced.Found) << where;
      EXPECT_EQ(whole.Exhausted, sliced.Exhausted) << where;
      EXPECT_EQ(whole.Nodes, sliced.Nodes) << where;
      EXPECT_GE(slices, static_cast<int>(whole.Nodes / 997) - 1) << where;
      EXPECT_TRUE(SameRoute(whole.Shortest, sliced.Shortest)) << where;
      EXPECT_TRUE(SameRoute(whole.Longest, sliced.Longest)) << where;
      stages++;
    }
  }
  EXPECT_GE(stages, 30);
}

}  // namespace
