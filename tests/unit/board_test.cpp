// SPDX-License-Identifier: Zlib
// The neighbour rule the water and the route trace follow.
#include "puzzle/board.h"

#include <gtest/gtest.h>

#include <string>

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
  // Steps from (x, y) in dir; expects `ok` and the new position and direction.
  static void ExpectStep(int32_t x, int32_t y, int32_t d, bool ok, int32_t nx, int32_t ny,
                         int32_t nd) {
    EXPECT_EQ(ok, Step(x, y, d));
    EXPECT_EQ(nx, x);
    EXPECT_EQ(ny, y);
    EXPECT_EQ(nd, d);
  }
};

TEST_F(StepTest, EdgesStopTheWaterUnlessTheRowOrColumnWraps) {
  Put(0, 3, 17);
  ExpectStep(9, 3, DirRight, false, 10, 3, DirRight);
  WrapRow[3] = -1;
  ExpectStep(9, 3, DirRight, true, 0, 3, DirRight);
  Put(9, 3, 17);
  ExpectStep(0, 3, DirLeft, true, 9, 3, DirLeft);
  ExpectStep(4, 0, DirUp, false, 4, -1, DirUp);  // a row flag does nothing for the columns
  WrapColumn[4] = -1;
  Put(4, 7, 18);
  Put(4, 0, 18);
  ExpectStep(4, 0, DirUp, true, 4, 7, DirUp);
  ExpectStep(4, 7, DirDown, true, 4, 0, DirDown);
  ExpectStep(5, 7, DirDown, false, 5, 8, DirDown);
}

TEST_F(StepTest, EveryKindTakesWaterOnlyFromItsOwnSides) {
  // For water travelling up, right, down and left onto the cell: the direction
  // it leaves in, '.' for refused, G for the drain and W for the warp entrance.
  const struct {
    int Chip;
    const char* Exits;
  } kinds[] = {
      {17, ".R.L"}, {18, "U.D."}, {19, "R..D"}, {20, "LD.."}, {21, "..RU"}, {22, ".UL."},
      {23, "URDL"}, {24, "...L"}, {25, "..D."}, {26, ".R.."}, {27, "U..."}, {28, "R..."},
      {29, ".D.."}, {30, "...U"}, {31, "..L."}, {32, "...D"}, {33, "L..."}, {34, "..R."},
      {35, ".U.."}, {36, "U.D."}, {37, ".R.L"}, {38, "U.D."}, {39, ".R.L"}, {4, "..G."},
      {5, "...G"},  {6, "G..."},  {7, ".G.."},  {8, "..W."},  {9, "...W"},  {10, "W..."},
      {11, ".W.."}, {0, "...."},  {1, "...."},  {2, "...."},  {3, "...."},  {12, "...."},
      {13, "...."}, {14, "...."}, {15, "...."}, {16, "...."}, {40, "...."},
  };
  const std::string letters = "URDL";
  for (const auto& k : kinds) {
    Put(5, 4, k.Chip);
    for (int in = 0; in < 4; in++) {
      const char e = k.Exits[in];
      const int32_t want = e == '.'   ? DirBlocked
                           : e == 'G' ? DirGoal
                           : e == 'W' ? DirWarp
                                      : static_cast<int32_t>(letters.find(e));
      SCOPED_TRACE(testing::Message() << "chip " << k.Chip << " in " << in);
      // Refused water stays on the cell, like water leaking into an empty one.
      ExpectStep(5 - (in == DirRight) + (in == DirLeft), 4 + (in == DirUp) - (in == DirDown), in,
                 want != DirBlocked, 5, 4, want);
    }
  }
  // Nothing comes after the drain, and blocked water goes nowhere.
  ExpectStep(5, 4, DirGoal, false, 5, 4, DirGoal);
  ExpectStep(5, 4, DirBlocked, false, 5, 4, DirBlocked);
}

TEST_F(StepTest, CrossCarriesALoopThroughItTwice) {
  Put(5, 4, CHIP_CROSS);
  Put(4, 4, 17);
  Put(6, 4, 22);  // right -> up
  Put(6, 3, 20);  // up -> left
  Put(5, 3, 19);  // left -> down
  Put(5, 5, 18);
  int32_t x = 3, y = 4, d = DirRight;
  int passes = 0;
  for (int i = 0; i < 20 && Step(x, y, d); i++) passes += x == 5 && y == 4;
  EXPECT_EQ(2, passes);
  EXPECT_EQ(5, x);
  EXPECT_EQ(6, y);  // left the loop downwards and leaked below
  EXPECT_EQ(DirBlocked, d);
}

TEST_F(StepTest, WarpMovesTheWaterToTheExitWithoutLookingAtAnyCell) {
  Put(2, 2, CHIP_WARP_IN + DirUp);
  Put(8, 6, CHIP_WARP_OUT + DirLeft);
  SpecialPos[kSpecialWarpIn] = SpecialInfo{2, 2, DirUp, 3};
  SpecialPos[kSpecialWarpOut] = SpecialInfo{8, 6, DirLeft, 0};
  ExpectStep(2, 2, DirWarp, true, 8, 6, DirLeft);
  Put(7, 6, 17);
  ExpectStep(8, 6, DirLeft, true, 7, 6, DirLeft);
  // A warp whose exit is missing stops the water instead of leaving the board.
  SpecialPos[kSpecialWarpOut] = SpecialInfo{-1, -1, -1, 0};
  ExpectStep(2, 2, DirWarp, false, 2, 2, DirBlocked);
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
