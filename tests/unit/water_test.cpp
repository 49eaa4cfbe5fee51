// SPDX-License-Identifier: Zlib
// The water on small stages: its timing per cell and speed, hurrying,
// leaks, wraps, warps, the drain with and without enough pipe, the
// special-pipe bonus and the counts of each player's pipe on the route.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "play_fixture.h"

namespace {

using namespace puzzle;
using play_fixture::BlankStage;
using play_fixture::Put;
using play_fixture::Special;

using WaterFlow = play_fixture::PlayTest;

// The water stepped to its end, hurried on every step if asked: the result,
// the last step, and the step and picture of each cell the head entered.
struct Flow {
  int32_t result = kWaterRunning;
  int steps = 0;
  std::vector<int> entries, patterns;
  std::vector<int> Gaps() const {
    std::vector<int> out;
    for (size_t i = 1; i < entries.size(); ++i) out.push_back(entries[i] - entries[i - 1]);
    return out;
  }
};
Flow Follow(bool hurry = false) {
  Flow f;
  for (f.steps = 1; f.steps < 5000; ++f.steps) {
    const int32_t x = puzzle::Water.HeadX, y = puzzle::Water.HeadY;
    if (hurry) puzzle::Water.Hurry = -1;
    if ((f.result = StepWater()) != kWaterRunning) break;
    if (puzzle::Water.HeadX != x || puzzle::Water.HeadY != y) {
      f.entries.push_back(f.steps);
      f.patterns.push_back(puzzle::Water.Pattern);
    }
  }
  return f;
}

// Source at (0, 0) pointing right, the given kinds after it, drain last.
StageInfo RowStage(const std::vector<int>& kinds) {
  StageInfo s = BlankStage();
  Special(s, kSpecialSource, 0, 0, DirRight);
  for (size_t i = 0; i < kinds.size(); ++i) Put(s, static_cast<int>(i) + 1, 0, kinds[i]);
  Special(s, kSpecialDrain, static_cast<int>(kinds.size()) + 1, 0, DirLeft);
  return s;
}

TEST_F(WaterFlow, StartDelayThenEightyOneFramesANormalCellFortyOneFastAndOneSixtyOneSlow) {
  StageInfo s = RowStage({CHIP_FIRST_PIECE, CHIP_FAST_H, CHIP_SLOW_H, CHIP_FIRST_PIECE});
  s.StartDelay = 2;
  Start(s, 1);
  EXPECT_EQ(puzzle::Water.StartProgress, 440);
  EXPECT_EQ(puzzle::Water.Pattern, 12);  // leaving the source to the right
  EXPECT_EQ(RunWater(120), kWaterRunning);
  EXPECT_EQ(puzzle::Water.Progress, 320);  // the delay has just run out
  StepWater();
  EXPECT_EQ(puzzle::Water.Progress, 316);  // now running in the source

  const Flow f = Follow();
  EXPECT_EQ(f.result, kWaterCleared);
  // Source, normal, fast, slow, normal, drain.
  EXPECT_EQ(f.Gaps(), (std::vector<int>{81, 41, 161, 81}));
  ASSERT_EQ(f.entries.size(), 5u);
  EXPECT_EQ(f.entries[0], 81);                // the source is a normal cell
  EXPECT_EQ(f.steps - f.entries.back(), 81);  // the drain too
  EXPECT_EQ(puzzle::Water.Pattern, 16);       // into the drain from the left
  for (int x = 1; x <= 5; ++x) {
    EXPECT_EQ(Board[x][0].PassCount, 1) << x;
    EXPECT_NE(Board[x][0].Fixed, 0) << x;
  }
}

TEST_F(WaterFlow, FasterStageSpeedShortensEveryCell) {
  StageInfo s = RowStage({CHIP_FIRST_PIECE, CHIP_SLOW_H});
  s.SpeedByte = 160;  // 32 more per frame
  Start(s, 1);
  RunWater(60);
  const Flow f = Follow();
  EXPECT_EQ(f.result, kWaterCleared);
  // 320 falls by 36 a frame in a normal cell and by 34 in a slow one.
  EXPECT_EQ(f.entries.front(), 10);  // the source's first step is from 320
  EXPECT_EQ(f.Gaps(), (std::vector<int>{9, 10}));
}

TEST_F(WaterFlow, HurryPaysEveryPlayerAndStepsEightTimesAsFar) {
  // The hurry button in the delay is played in the player tests.
  Start(RowStage({CHIP_FIRST_PIECE, CHIP_FAST_H}), 2);
  RunWater(60);
  ASSERT_EQ(puzzle::Water.Progress, 320);
  // Running in the source: 32 instead of 4, 20 points to each player.
  puzzle::Water.Hurry = -1;
  StepWater();
  EXPECT_EQ(puzzle::Water.Progress, 288);
  EXPECT_EQ(puzzle::Water.Hurry, 0);
  EXPECT_EQ(std::tie(Players[0].Score, Players[1].Score, Players[2].Score), std::tuple(20, 20, 0));
  StepWater();  // hurry lasts one frame
  EXPECT_EQ(puzzle::Water.Progress, 284);

  // Hurried all the way, a normal cell takes 11 frames instead of 81 and
  // a fast one 6 instead of 41.
  EXPECT_EQ(Follow(true).Gaps(), (std::vector<int>{11, 6}));
}

TEST_F(WaterFlow, LeaksWhereTheNextCellRefusesTheWater) {
  struct Case {
    int Kind;
    const char* What;
  };
  const Case cases[] = {
      {CHIP_EMPTY, "empty cell"},
      {CHIP_BLOCK, "block"},
      {CHIP_FIRST_PIECE + 1, "straight turned the wrong way"},
      {24, "one-way piece from the wrong side"},
      {CHIP_SLOW_V, "special straight across the flow"},
  };
  for (const Case& c : cases) {
    StageInfo s = RowStage({CHIP_FIRST_PIECE, c.Kind});
    Start(s, 1);
    EXPECT_EQ(Players[0].Ahead, 1) << c.What;  // the trace stops before it too
    int steps = 0;
    EXPECT_EQ(RunWater(1000, steps), kWaterLeaked) << c.What;
    EXPECT_EQ(steps, 61 + 81 + 81) << c.What;
    const WaterState& w = puzzle::Water;
    EXPECT_EQ(std::tie(w.HeadX, w.HeadY, w.InDir, w.OutDir), std::tuple(2, 0, DirRight, DirBlocked))
        << c.What;
    const ChipInfo& cell = Board[2][0];
    EXPECT_EQ(std::tie(cell.PassCount, cell.OnPath, cell.Fixed),
              std::tuple(0, 0, ChipTable[c.Kind].Fixed))
        << c.What;
  }
}

TEST_F(WaterFlow, LeaksOffAnEdgeWithoutWrapAndStaysOver) {
  StageInfo s = BlankStage();
  Special(s, kSpecialSource, 9, 3, DirRight);
  Special(s, kSpecialDrain, 0, 7, DirUp);
  s.RowWrapMask = 0x7;  // rows 0..2 wrap, row 3 does not
  Start(s, 1);
  EXPECT_EQ(RunWater(1000), kWaterLeaked);
  // Just outside, where the leak shows.
  EXPECT_EQ(std::tie(puzzle::Water.HeadX, puzzle::Water.HeadY), std::tuple(10, 3));
  // Should it be called again, the water stays over and reads no cell.
  EXPECT_EQ(StepWater(), kWaterLeaked);

  Special(s, kSpecialSource, 4, 0, DirUp);
  Start(s, 1);
  EXPECT_EQ(RunWater(1000), kWaterLeaked);
  EXPECT_EQ(puzzle::Water.HeadY, -1);
}

TEST_F(WaterFlow, WrapsAcrossRowsAndColumns) {
  // Out of the right edge of row 2 and in at its left.
  StageInfo s = BlankStage();
  Special(s, kSpecialSource, 9, 2, DirRight);
  Put(s, 0, 2, CHIP_FIRST_PIECE);
  Special(s, kSpecialDrain, 1, 2, DirLeft);
  s.RowWrapMask = 1 << 2;
  s.RequiredPipes = 1;
  Start(s, 1);
  EXPECT_EQ(Players[0].Ahead, 1);
  EXPECT_NE(Board[0][2].OnPath, 0);
  EXPECT_EQ(RunWater(1000), kWaterCleared);
  EXPECT_EQ(Board[0][2].PassCount, 1);

  // Out of the top of column 3 and in at its bottom.
  s = BlankStage();
  Special(s, kSpecialSource, 3, 0, DirUp);
  Put(s, 3, 7, CHIP_FIRST_PIECE + 1);
  Special(s, kSpecialDrain, 3, 6, DirDown);
  s.ColumnWrapMask = 1 << 3;
  s.RequiredPipes = 1;
  Start(s, 1);
  EXPECT_EQ(RunWater(1000), kWaterCleared);
  EXPECT_EQ(Board[3][7].PassCount, 1);
  EXPECT_EQ(puzzle::Water.Pattern, 18);  // into the drain going up
}

TEST_F(WaterFlow, WarpCarriesTheWaterToTheExitAndOnInItsDirection) {
  StageInfo s = BlankStage();
  Special(s, kSpecialSource, 0, 0, DirRight);
  Special(s, kSpecialWarpIn, 1, 0, DirLeft);
  Special(s, kSpecialWarpOut, 6, 4, DirDown);
  Put(s, 6, 5, CHIP_FIRST_PIECE + 1);
  Special(s, kSpecialDrain, 6, 6, DirUp);
  s.RequiredPipes = 1;
  Start(s, 1);
  // The trace follows the warp; system pieces are marked but not counted.
  EXPECT_EQ(Players[0].Ahead, 1);
  for (auto [x, y] : {std::pair{1, 0}, {6, 4}, {6, 5}, {6, 6}}) EXPECT_NE(Board[x][y].OnPath, 0);
  EXPECT_EQ(Board[0][0].OnPath, 0);  // the head cell is not marked
  TraceRoute(false);
  EXPECT_EQ(Board[6][5].OnPath, 0);
  TraceRoute(true);

  const WaterState& w = puzzle::Water;
  while (w.HeadX != 1) ASSERT_EQ(StepWater(), kWaterRunning);
  EXPECT_EQ(std::tie(w.OutDir, w.Pattern), std::tuple(DirWarp, 16));
  for (int i = 0; i < 81; ++i) ASSERT_EQ(StepWater(), kWaterRunning);
  EXPECT_EQ(std::tie(w.HeadX, w.HeadY, w.InDir, w.OutDir, w.Pattern),
            std::tuple(6, 4, DirWarp, DirDown, 15));
  EXPECT_EQ(Board[6][4].PassCount, 1);
  EXPECT_EQ(RunWater(1000), kWaterCleared);
  EXPECT_EQ(Players[0].Passed, 1);
}

TEST_F(WaterFlow, DrainNeedsEveryPlayersShare) {
  struct Case {
    int Players;
    int Required;
    int Owners[3];  // owner of the pieces at (1, 0), (2, 0), (3, 0)
    int32_t Result;
  };
  const Case cases[] = {
      {1, 3, {0, 0, 0}, kWaterCleared}, {1, 4, {0, 0, 0}, kWaterShort},
      {2, 2, {0, 1, 0}, kWaterCleared}, {2, 2, {0, 0, 0}, kWaterShort},
      {2, 3, {1, 1, 0}, kWaterCleared},  // each needs 3 / 2 = 1
  };
  for (const Case& c : cases) {
    StageInfo s = RowStage({CHIP_EMPTY, CHIP_EMPTY, CHIP_EMPTY});
    s.RequiredPipes = static_cast<uint8_t>(c.Required);
    Start(s, c.Players);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(PlacePiece(i + 1, 0, CHIP_FIRST_PIECE, c.Owners[i]), 100);
    EXPECT_EQ(RunWater(2000), c.Result) << c.Players << " players, " << c.Required;
    EXPECT_EQ(puzzle::Water.HeadX, 4);  // stopped in the drain either way
  }
}

TEST_F(WaterFlow, FastSpecialPipePaysEveryPlayerASlowOneNothing) {
  Start(RowStage({CHIP_FAST_H, CHIP_SLOW_H}), 2);
  Players[1].Score = 5;
  while (puzzle::Water.HeadX != 1) ASSERT_EQ(StepWater(), kWaterRunning);
  EXPECT_EQ(Players[0].Score, 1000);
  EXPECT_EQ(Players[1].Score, 1005);
  EXPECT_EQ(std::tie(puzzle::Water.PopupX, puzzle::Water.PopupY), std::tuple(128, 59));
  // The label is drawn for the rest of its life, then no more.
  EXPECT_EQ(puzzle::Water.PopupTimer, 29);
  for (int i = 0; i < 40; ++i) SpecialPipeBonus(render::Scr, false, -1, -1);
  EXPECT_EQ(puzzle::Water.PopupTimer, 1);
  EXPECT_EQ(RunWater(2000), kWaterCleared);
  EXPECT_EQ(Players[0].Score, 1000);
  EXPECT_EQ(Players[1].Score, 1005);
  const std::vector<int> sounds = SoundsOnly();
  EXPECT_EQ(std::count(sounds.begin(), sounds.end(), 8), 1);
}

TEST_F(WaterFlow, CrossRunThroughTwiceCountsTwice) {
  // Right through the cross, round three elbows, then down through it.
  // The stage lays every piece itself and nobody lays one: they count all
  // the same.
  StageInfo s = BlankStage();
  Special(s, kSpecialSource, 0, 1, DirRight);
  Put(s, 1, 1, CHIP_CROSS);
  Put(s, 2, 1, 22);
  Put(s, 2, 0, 20);
  Put(s, 1, 0, 19);
  Special(s, kSpecialDrain, 1, 2, DirUp);
  s.RequiredPipes = 5;
  Start(s, 1);
  EXPECT_EQ(Players[0].Ahead, 5);
  // The picture of each cell entered: straight right, the three turns,
  // straight down, into the drain from above.
  const Flow f = Follow();
  EXPECT_EQ(f.result, kWaterCleared);
  EXPECT_EQ(f.patterns, (std::vector<int>{0, 10, 8, 6, 3, 19}));
  EXPECT_EQ(Board[1][1].PassCount, 2);
  EXPECT_EQ(Players[0].Passed, 5);
  EXPECT_EQ(Players[0].Ahead, 0);
}

TEST_F(WaterFlow, RouteCountsDoNotDependOnWhenTheBoardWasLastTraced) {
  // A special straight counts for both players, a laid piece for its
  // owner, system pieces for no one. Laying elsewhere while the water is
  // in player 1's piece traces the route again; no total may change.
  StageInfo s = RowStage({CHIP_FAST_H, CHIP_EMPTY});
  s.RequiredPipes = 4;  // 2 each
  Start(s, 2);
  ASSERT_EQ(PlacePiece(2, 0, CHIP_FIRST_PIECE, 1), 100);
  EXPECT_EQ(Players[0].Ahead, 1);
  EXPECT_EQ(Players[1].Ahead, 2);
  while (puzzle::Water.HeadX != 2) ASSERT_EQ(StepWater(), kWaterRunning);
  ASSERT_EQ(PlacePiece(5, 5, CHIP_FIRST_PIECE, 0), 100);  // off the route
  EXPECT_EQ(Players[0].Passed + Players[0].Ahead, 1);
  EXPECT_EQ(Players[1].Passed + Players[1].Ahead, 2);
  EXPECT_EQ(RunWater(2000), kWaterShort);  // player 0 has only 1 of 2
  EXPECT_EQ(Players[0].Passed, 1);
  EXPECT_EQ(Players[1].Passed, 2);
}

}  // namespace
