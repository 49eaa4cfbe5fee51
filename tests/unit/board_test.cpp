// The neighbour rule the water and the route trace follow.
#include "puzzle/board.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace puzzle;

class StepTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitChipTable();
    for (int x = 0; x < kPlayColumns; x++)
      for (int y = 0; y < kPlayRows; y++) Board[x][y] = ChipTable[CHIP_EMPTY];
    for (int16_t& f : WrapRow) f = 0;
    for (int16_t& f : WrapColumn) f = 0;
    for (SpecialInfo& s : SpecialPos) s = SpecialInfo{-1, -1, -1, 0};
  }
  static void Put(int x, int y, int chip) { Board[x][y] = ChipTable[chip]; }
  // Steps from (x, y) in dir; returns the result and the new position.
  static bool StepFrom(int32_t x, int32_t y, int32_t dir, int32_t& nx, int32_t& ny, int32_t& nd) {
    nx = x;
    ny = y;
    nd = dir;
    return Step(nx, ny, nd);
  }
};

TEST_F(StepTest, EdgesStopTheWaterUnlessTheRowOrColumnWraps) {
  int32_t x, y, d;
  Put(0, 3, 17);
  EXPECT_FALSE(StepFrom(9, 3, DirRight, x, y, d));
  EXPECT_EQ(10, x);
  EXPECT_EQ(3, y);
  EXPECT_EQ(DirRight, d);

  WrapRow[3] = -1;
  EXPECT_TRUE(StepFrom(9, 3, DirRight, x, y, d));
  EXPECT_EQ(0, x);
  EXPECT_EQ(3, y);
  EXPECT_EQ(DirRight, d);
  Put(9, 3, 17);
  EXPECT_TRUE(StepFrom(0, 3, DirLeft, x, y, d));
  EXPECT_EQ(9, x);

  // A row flag does nothing for the columns.
  EXPECT_FALSE(StepFrom(4, 0, DirUp, x, y, d));
  EXPECT_EQ(-1, y);
  EXPECT_EQ(4, x);
  EXPECT_EQ(DirUp, d);

  WrapColumn[4] = -1;
  Put(4, 7, 18);
  Put(4, 0, 18);
  EXPECT_TRUE(StepFrom(4, 0, DirUp, x, y, d));
  EXPECT_EQ(7, y);
  EXPECT_EQ(DirUp, d);
  EXPECT_TRUE(StepFrom(4, 7, DirDown, x, y, d));
  EXPECT_EQ(0, y);
  EXPECT_FALSE(StepFrom(5, 7, DirDown, x, y, d));
  EXPECT_EQ(8, y);
}

TEST_F(StepTest, ElbowsJoinTheirTwoSidesBothWays) {
  struct Case {
    int Chip, InA, OutA;
  } const cases[] = {
      {19, DirUp, DirRight},    // bottom and right
      {20, DirUp, DirLeft},     // bottom and left
      {21, DirDown, DirRight},  // top and right
      {22, DirDown, DirLeft},   // top and left
  };
  for (const Case& c : cases) {
    Put(5, 4, c.Chip);
    for (int in = 0; in < 4; in++) {
      // Water travelling `in` towards (5, 4) comes from the opposite neighbour.
      const int32_t fx = 5 - (in == DirRight) + (in == DirLeft);
      const int32_t fy = 4 + (in == DirUp) - (in == DirDown);
      int32_t x, y, d;
      const bool ok = StepFrom(fx, fy, in, x, y, d);
      int32_t expected = DirBlocked;
      if (in == c.InA) expected = c.OutA;
      if (in == Opposite(c.OutA)) expected = Opposite(c.InA);
      EXPECT_EQ(expected != DirBlocked, ok) << "chip " << c.Chip << " in " << in;
      EXPECT_EQ(expected, d) << "chip " << c.Chip << " in " << in;
      EXPECT_EQ(5, x);
      EXPECT_EQ(4, y);
    }
  }
}

TEST_F(StepTest, CrossPassesStraightOnBothAxesSoARouteCanUseItTwice) {
  Put(5, 4, CHIP_CROSS);
  for (int in = 0; in < 4; in++) {
    int32_t x = 5 - (in == DirRight) + (in == DirLeft), y = 4 + (in == DirUp) - (in == DirDown);
    int32_t d = in;
    ASSERT_TRUE(Step(x, y, d));
    EXPECT_EQ(in, d);
  }
  // A loop: right through the cross, round three elbows, up through it.
  Put(4, 4, 17);
  Put(6, 4, 22);  // top and left: right -> up
  Put(6, 3, 20);  // bottom and left: up -> left
  Put(5, 3, 19);  // bottom and right: left -> down
  Put(5, 5, 18);
  int32_t x = 3, y = 4, d = DirRight;
  int passes = 0;
  for (int i = 0; i < 20 && Step(x, y, d); i++) passes += x == 5 && y == 4;
  EXPECT_EQ(2, passes);
  EXPECT_EQ(5, x);
  EXPECT_EQ(6, y);  // left the loop downwards and leaked below
  EXPECT_EQ(DirBlocked, d);
}

TEST_F(StepTest, OneWayPiecesTakeWaterFromOneSideOnly) {
  // Straights keep the direction; 28..31 turn clockwise, 32..35 the other way.
  const int accepted[] = {DirLeft, DirDown, DirRight, DirUp, DirUp,   DirRight,
                          DirLeft, DirDown, DirLeft,  DirUp, DirDown, DirRight};
  for (int chip = 24; chip <= 35; chip++) {
    Put(5, 4, chip);
    const int turn = chip < 28 ? 0 : chip < 32 ? 1 : 3;
    for (int in = 0; in < 4; in++) {
      int32_t x = 5 - (in == DirRight) + (in == DirLeft);
      int32_t y = 4 + (in == DirUp) - (in == DirDown);
      int32_t d = in;
      const bool ok = Step(x, y, d);
      if (in == accepted[chip - 24]) {
        EXPECT_TRUE(ok) << chip;
        EXPECT_EQ((in + turn) % 4, d) << chip;
      } else {
        // Refused exactly like an empty cell: on the cell, direction -1.
        EXPECT_FALSE(ok) << chip << " in " << in;
        EXPECT_EQ(DirBlocked, d);
        EXPECT_EQ(5, x);
        EXPECT_EQ(4, y);
      }
    }
  }
}

TEST_F(StepTest, DrainTakesWaterThroughItsOpeningAndEndsTheRoute) {
  for (int open = 0; open < 4; open++) {
    Put(5, 4, CHIP_DRAIN + open);
    for (int in = 0; in < 4; in++) {
      int32_t x = 5 - (in == DirRight) + (in == DirLeft);
      int32_t y = 4 + (in == DirUp) - (in == DirDown);
      int32_t d = in;
      const bool ok = Step(x, y, d);
      if (in == Opposite(open)) {
        ASSERT_TRUE(ok);
        EXPECT_EQ(DirGoal, d);
        EXPECT_FALSE(Step(x, y, d));  // nothing comes after the drain
        EXPECT_EQ(5, x);
        EXPECT_EQ(4, y);
        EXPECT_EQ(DirGoal, d);
      } else {
        EXPECT_FALSE(ok);
        EXPECT_EQ(DirBlocked, d);
      }
    }
  }
}

TEST_F(StepTest, WarpMovesTheWaterToTheExitWithoutLookingAtAnyCell) {
  Put(2, 2, CHIP_WARP_IN + DirUp);  // opens upwards: water travelling down
  Put(8, 6, CHIP_WARP_OUT + DirLeft);
  SpecialPos[kSpecialWarpIn] = SpecialInfo{2, 2, DirUp, 3};
  SpecialPos[kSpecialWarpOut] = SpecialInfo{8, 6, DirLeft, 0};
  int32_t x = 2, y = 1, d = DirDown;
  ASSERT_TRUE(Step(x, y, d));
  EXPECT_EQ(DirWarp, d);
  ASSERT_TRUE(Step(x, y, d));
  EXPECT_EQ(8, x);
  EXPECT_EQ(6, y);
  EXPECT_EQ(DirLeft, d);
  Put(7, 6, 17);
  EXPECT_TRUE(Step(x, y, d));
  EXPECT_EQ(7, x);
  EXPECT_EQ(DirLeft, d);
  // A warp whose exit is missing stops the water instead of leaving the board.
  SpecialPos[kSpecialWarpOut] = SpecialInfo{-1, -1, -1, 0};
  x = 2, y = 2, d = DirWarp;
  EXPECT_FALSE(Step(x, y, d));
  EXPECT_EQ(DirBlocked, d);
}

TEST_F(StepTest, SourcesExitsBlocksAndEmptyCellsRefuseEveryDirection) {
  std::vector<int> refusing = {CHIP_BLOCK, CHIP_EMPTY};
  for (int d = 0; d < 4; d++) {
    refusing.push_back(CHIP_SOURCE + d);
    refusing.push_back(CHIP_WARP_OUT + d);
  }
  for (int chip : refusing) {
    Put(5, 4, chip);
    for (int in = 0; in < 4; in++) {
      int32_t x = 5 - (in == DirRight) + (in == DirLeft);
      int32_t y = 4 + (in == DirUp) - (in == DirDown);
      int32_t d = in;
      EXPECT_FALSE(Step(x, y, d)) << chip << " in " << in;
      EXPECT_EQ(DirBlocked, d);
    }
  }
  // Blocked and drained water goes nowhere.
  int32_t x = 5, y = 4, d = DirBlocked;
  EXPECT_FALSE(Step(x, y, d));
  EXPECT_EQ(5, x);
}

TEST_F(StepTest, SpecialStraightsRunAlongTheirAxisOnly) {
  const int vertical[] = {CHIP_FAST_V, CHIP_SLOW_V};
  const int horizontal[] = {CHIP_FAST_H, CHIP_SLOW_H};
  for (int k = 0; k < 2; k++) {
    for (int in = 0; in < 4; in++) {
      for (int chip : {vertical[k], horizontal[k]}) {
        Put(5, 4, chip);
        int32_t x = 5 - (in == DirRight) + (in == DirLeft);
        int32_t y = 4 + (in == DirUp) - (in == DirDown);
        int32_t d = in;
        const bool along = (chip == vertical[k]) == (in % 2 == 0);
        EXPECT_EQ(along, Step(x, y, d)) << chip << " in " << in;
        EXPECT_EQ(along ? in : DirBlocked, d);
      }
    }
  }
}

TEST(ChipTableTest, OnlyThePiecesPlayersLayAndTheEmptyCellAreOpenToLaying) {
  InitChipTable();
  for (int chip = 0; chip <= CHIP_EMPTY; chip++) {
    const bool open = IsLaidPiece(chip) || chip == CHIP_EMPTY;
    EXPECT_EQ(open ? 0 : -1, ChipTable[chip].Fixed) << chip;
    EXPECT_EQ(chip < 16 ? -1 : 0, ChipTable[chip].System) << chip;
    EXPECT_EQ(chip, ChipTable[chip].ChipNo);
    EXPECT_EQ(0, ChipTable[chip].Owner);
  }
}

}  // namespace
