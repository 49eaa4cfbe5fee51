// SPDX-License-Identifier: Zlib
// The stage compiler's proof that a stage can be cleared: known routes on
// small crafted boards, and boards on which no route can exist.
#include "puzzle/solver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "puzzle/board.h"
#include "puzzle/stagerecord.h"
#include "test_support.h"

namespace {

using namespace puzzle;

// Map characters as in the designers' stage files; missing cells are blocks.
const std::string kKinds = "#-|r7LJ+<v>^esnwSWEN!=:~.";
const std::string kSpecials = "@X()";

struct Dirs {
  int Source, Drain, WarpIn = 0, WarpOut = 0;
};

StageInfo Make(const std::vector<std::string>& rows, Dirs dirs, int required,
               std::vector<int> supply = {50, 50, 0, 0, 0, 0}) {
  StageInfo s{};
  s.RequiredPipes = static_cast<uint8_t>(required);
  s.StartDelay = 1;
  s.SpeedByte = 128;
  for (int g = 0; g < 6; g++) s.SupplyCount[g] = static_cast<uint8_t>(supply[g]);
  for (StageSpecial& e : s.SpecialEntry) e = StageSpecial{kAbsent, 0, 0, 0};
  const int specialDir[4] = {dirs.Source, dirs.Drain, dirs.WarpIn, dirs.WarpOut};
  for (int y = 0; y < 8; y++) {
    std::string row = y < static_cast<int>(rows.size()) ? rows[y] : "";
    row.resize(10, '#');
    for (int x = 0; x < 10; x++) {
      const size_t special = kSpecials.find(row[x]);
      s.StageMap[x + 10 * y] = static_cast<uint8_t>(
          special != std::string::npos ? CHIP_EMPTY : CHIP_BLOCK + kKinds.find(row[x]));
      if (special != std::string::npos)
        s.SpecialEntry[special] = StageSpecial{static_cast<uint8_t>(x), static_cast<uint8_t>(y),
                                               static_cast<uint8_t>(specialDir[special]),
                                               static_cast<uint8_t>(special == 2 ? 1 : 0)};
    }
  }
  EXPECT_EQ("", CheckStage(s));
  return s;
}

// Lays a route's pieces on the stage and lets the water run it with the
// game's Step: it must reach the drain through the route's cells, with no
// more pieces of a kind than the supply holds.
void ExpectWaterRuns(const StageInfo& s, const RouteInfo& r) {
  InitChipTable();
  LayOutBoard(s);
  int32_t left[kChipKinds];
  CountSupplyKinds(s.SupplyCount, left);
  for (int c = 0; c < 80; c++) {
    const int kind = r.Map[c];
    if (kind == kOffRoute || !IsLaidPiece(kind) || kind == s.StageMap[c]) continue;
    left[kind]--;
    Board[c % 10][c / 10] = ChipTable[kind];
  }
  for (int k = 0; k < kChipKinds; k++) EXPECT_GE(left[k], 0) << "kind " << k;
  const SpecialInfo& src = SpecialPos[kSpecialSource];
  int32_t x = src.X, y = src.Y, d = src.Dir;
  int cells = 0, counted = 0;
  while (cells < 200 && d != DirGoal && Step(x, y, d)) {
    cells++;
    const int chip = Board[x][y].ChipNo;
    if (d != DirWarp && (IsLaidPiece(chip) || IsSpecialStraight(chip))) counted++;
    EXPECT_NE(kOffRoute, r.Map[x + 10 * y]) << "off the route at " << x << ", " << y;
  }
  EXPECT_EQ(DirGoal, d);
  EXPECT_EQ(r.Cells, cells);
  EXPECT_EQ(r.Counted, counted);
  EXPECT_GE(counted, s.RequiredPipes);
}

SolveResult Solve(const StageInfo& s) {
  const SolveResult r = SolveStage(s, 200000);
  if (r.Found) {
    ExpectWaterRuns(s, r.Shortest);
    ExpectWaterRuns(s, r.Longest);
  }
  return r;
}

int MapAt(const RouteInfo& r, int x, int y) { return r.Map[x + 10 * y]; }

// A search that ran to the end without a route.
void ExpectNoRoute(const StageInfo& s) {
  const SolveResult r = Solve(s);
  EXPECT_FALSE(r.Found);
  EXPECT_TRUE(r.Exhausted);
}

// The shortest route, which must exist.
RouteInfo Shortest(const StageInfo& s) {
  const SolveResult r = Solve(s);
  EXPECT_TRUE(r.Found);
  return r.Shortest;
}

TEST(SolverTest, FindsTheOnlyRouteAlongACorridorAndTimesItButNotOnePieceShort) {
  const SolveResult r = Solve(Make({"@........X"}, {DirRight, DirLeft}, 8));
  ASSERT_TRUE(r.Found);
  EXPECT_TRUE(r.Exhausted);
  EXPECT_EQ(9, r.Shortest.Cells);  // eight pieces and the drain
  EXPECT_EQ(8, r.Shortest.Counted);
  EXPECT_EQ(8, r.Shortest.Laid);
  EXPECT_EQ(9, r.Longest.Cells);
  for (int x = 1; x <= 8; x++) EXPECT_EQ(17, MapAt(r.Shortest, x, 0)) << x;
  EXPECT_EQ(CHIP_SOURCE + DirRight, MapAt(r.Shortest, 0, 0));
  EXPECT_EQ(CHIP_DRAIN + DirLeft, MapAt(r.Shortest, 9, 0));
  EXPECT_EQ(kOffRoute, MapAt(r.Shortest, 0, 1));
  // One second of delay, then the source and eight pieces at 81 frames each.
  EXPECT_EQ(60 + 9 * 81, r.Shortest.Frames);
  ExpectNoRoute(Make({"@........X"}, {DirRight, DirLeft}, 9));
}

TEST(SolverTest, AWalledInDrainIsRejected) {
  ExpectNoRoute(Make({"@.........", "..........", "....###...", "....#X#...", "..........",
                      "..........", "..........", ".........."},
                     {DirRight, DirUp}, 1));
  // The same drain opening sideways onto free cells is reachable.
  Shortest(Make({"@.........", "..........", "....###...", "....#X....", "....###...", "..........",
                 "..........", ".........."},
                {DirRight, DirRight}, 1));
}

TEST(SolverTest, KindsAreLimitedToWhatTheSupplyHolds) {
  // A staircase: three turns right-to-down (kind 20), three down-to-right (21).
  const std::vector<std::string> stairs = {"@.########", "#..#######", "##..######", "###.X#####"};
  const Dirs dirs{DirRight, DirLeft};
  // Four elbows are one of each kind: not enough. Twelve give three of each.
  ExpectNoRoute(Make(stairs, dirs, 6, {96, 4, 0, 0, 0, 0}));
  RouteInfo r = Shortest(Make(stairs, dirs, 6, {88, 12, 0, 0, 0, 0}));
  EXPECT_EQ(20, MapAt(r, 1, 0));
  EXPECT_EQ(21, MapAt(r, 1, 1));
  // One-way elbows turning the same ways stand in for the missing third.
  r = Shortest(Make(stairs, dirs, 6, {84, 8, 0, 0, 4, 4}));
  int oneWay = 0;
  for (uint8_t chip : r.Map) oneWay += chip == 29 || chip == 34;
  EXPECT_EQ(2, oneWay);
  // With no elbows in the supply the pre-laid ones must do; the second
  // player's one straight is his share of a requirement of 2, not of 6.
  const std::vector<std::string> laid = {"@7########", "#L7#######", "##L7######", "###L.X####"};
  EXPECT_FALSE(Solve(Make(laid, dirs, 6, {100, 0, 0, 0, 0, 0})).Found);
  r = Shortest(Make(laid, dirs, 2, {100, 0, 0, 0, 0, 0}));
  EXPECT_EQ(1, r.Laid);
  EXPECT_EQ(7, r.Counted);
}

TEST(SolverTest, RowAndColumnWrapsCarryTheRoute) {
  StageInfo s = Make({".X#####@.."}, {DirRight, DirLeft}, 3);
  EXPECT_FALSE(Solve(s).Found);
  s.RowWrapMask = 1;
  EXPECT_EQ(17, MapAt(Shortest(s), 0, 0));
  StageInfo c = Make({"#@########", "##########", "##########", "##########", "##########",
                      "##########", "#X########", "#.########"},
                     {DirUp, DirDown}, 1);
  EXPECT_FALSE(Solve(c).Found);
  c.ColumnWrapMask = 2;
  EXPECT_EQ(18, MapAt(Shortest(c), 1, 7));
}

TEST(SolverTest, WarpsAndOneWayPiecesAreFollowedAsTheWaterDoes) {
  // Left half: source into the warp. Right half: warp exit to the drain.
  const Dirs dirs{DirRight, DirLeft, DirLeft, DirRight};
  RouteInfo r = Shortest(Make({"@..(#)..X#"}, dirs, 4));
  EXPECT_EQ(7, r.Cells);  // 2 pieces, entrance, exit, 2 pieces, drain
  EXPECT_EQ(4, r.Counted);
  // A pre-laid one-way piece pointing back must be replaced...
  r = Shortest(Make({"@--(#)<-X#"}, dirs, 4));
  EXPECT_EQ(1, r.Laid);
  EXPECT_EQ(17, MapAt(r, 6, 0));
  // ...and cannot be when the supply has nothing that runs right.
  ExpectNoRoute(Make({"@--(#)<-X#"}, dirs, 4, {0, 100, 0, 0, 0, 0}));
}

TEST(SolverTest, ACrossPassedTwiceCountsTwice) {
  // Right through (3, 1), round the loop below it, then up through it again.
  const std::vector<std::string> rows = {"###X######", "#@...#####", "###..#####"};
  const Dirs dirs{DirRight, DirDown};
  RouteInfo r = Shortest(Make(rows, dirs, 6, {40, 50, 10, 0, 0, 0}));
  EXPECT_EQ(6, r.Counted);
  EXPECT_EQ(5, r.Laid);
  EXPECT_EQ(CHIP_CROSS, MapAt(r, 3, 1));
  ExpectNoRoute(Make(rows, dirs, 6));  // without crosses the loop cannot be closed
  EXPECT_EQ(4, Shortest(Make({"###X######", "#@.+.#####", "###..#####"}, dirs, 6)).Laid);
}

TEST(SolverTest, TwoPlayersNeedHalfTheRequirementEach) {
  // Pre-laid straights belong to player 0; player 1 can have two of them
  // only by laying straights over them.
  const std::vector<std::string> rows = {"@----X"};
  const Dirs dirs{DirRight, DirLeft};
  EXPECT_EQ(0, Shortest(Make(rows, dirs, 4)).Laid);
  EXPECT_FALSE(Solve(Make(rows, dirs, 4, {0, 100, 0, 0, 0, 0})).Found);
  EXPECT_TRUE(Solve(Make(rows, dirs, 1, {0, 100, 0, 0, 0, 0})).Found);
  // Special straights are not credited to the second player.
  EXPECT_FALSE(Solve(Make({"@===.X"}, dirs, 4)).Found);
  EXPECT_TRUE(Solve(Make({"@==..X"}, dirs, 4)).Found);
}

TEST(SolverTest, WaterTimeFollowsFlowWeightAndSpeed) {
  StageInfo s = Make({"@=~.X"}, {DirRight, DirLeft}, 3);
  EXPECT_EQ(81, FramesPerCell(s, 2));
  EXPECT_EQ(41, FramesPerCell(s, 4));
  EXPECT_EQ(161, FramesPerCell(s, 1));
  EXPECT_EQ(60 + 81 + 41 + 161 + 81, Shortest(s).Frames);
  s.SpeedByte = 130;  // two more each frame
  EXPECT_EQ(54, FramesPerCell(s, 2));
  s.StartDelay = 3;
  EXPECT_EQ(180 + 33 + 81 + 54 + 54, Shortest(s).Frames);
}

// Every stage the build shipped has routes the water really runs.
TEST(SolverTest, ShippedStagesHaveRoutesTheWaterRuns) {
  for (int course = 0; course < 3; course++) {
    const std::vector<StageInfo> stages = testing_support::ShippedCourse(course);
    for (size_t i = 0; i < stages.size(); i++) {
      const SolveResult r = SolveStage(stages[i], 20000);
      ASSERT_TRUE(r.Found) << "course " << course << " stage " << i + 1;
      ExpectWaterRuns(stages[i], r.Shortest);
      ExpectWaterRuns(stages[i], r.Longest);
    }
  }
}

}  // namespace
