// SPDX-License-Identifier: Zlib
// The players on small stages, driven through the runner's input script:
// set-up, cursor moves, two cursors, laying, replacing and hurrying.
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

using PlayerPlay = play_fixture::PlayTest;

PlayerInfo& P(int p) { return puzzle::Players[p]; }

StageInfo TwoEnds(int sx, int sy, int dx, int dy) {
  StageInfo s = BlankStage();
  Special(s, kSpecialSource, sx, sy, DirRight);
  Special(s, kSpecialDrain, dx, dy, DirLeft);
  return s;
}

TEST_F(PlayerPlay, SetUpPlacesCursorsDealsQueuesAndSharesTheRequirement) {
  StageInfo s = TwoEnds(2, 3, 7, 5);
  s.RequiredPipes = 31;
  P(0).ButtonsPrev = 0x400000;  // carried over from the last stage
  P(1).PendingX = 4;
  Start(s, 2);
  EXPECT_EQ(std::tie(P(0).CursorX, P(0).CursorY, P(0).Required), std::tuple(2, 3, 15));
  EXPECT_EQ(std::tie(P(1).CursorX, P(1).CursorY, P(1).Required), std::tuple(7, 5, 15));
  // Player 0 draws its six pieces first.
  for (int i = 0; i < kQueueSlots; ++i) {
    EXPECT_EQ(P(0).Queue[i], Supply[1 + i]);
    EXPECT_EQ(P(1).Queue[i], Supply[7 + i]);
  }
  EXPECT_EQ(SupplyIndex, 13);
  EXPECT_EQ(std::tie(P(0).ButtonsPrev, P(1).PendingX), std::tuple(0x400000, 4));
  // Without a second joystick the keyboard and the first joystick split.
  EXPECT_EQ(std::tie(P(0).DeviceMask, P(1).DeviceMask), std::tuple(1, 2));
  Start(s, 2, "0 J1 connect\n");
  EXPECT_EQ(std::tie(P(0).DeviceMask, P(1).DeviceMask), std::tuple(3, 4));
  Start(s, 1, "0 J1 connect\n");
  EXPECT_EQ(std::tie(P(0).DeviceMask, P(0).Required), std::tuple(3, 31));
}

TEST_F(PlayerPlay, HeldDirectionRepeatsAfterTwentyFourFramesThenEverySixAndStopsAtTheEdge) {
  Start(TwoEnds(0, 3, 9, 7), 1, "0 Right down\n");
  std::vector<int64_t> moves;
  for (int f = 0; f < 90; ++f) {
    const int32_t x = P(0).CursorX;
    Frame();
    if (P(0).CursorX != x) moves.push_back(f);
  }
  // Frame 0 here is the first frame of the hold.
  EXPECT_EQ(moves, (std::vector<int64_t>{0, 24, 30, 36, 42, 48, 54, 60, 66}));
  EXPECT_EQ(P(0).CursorX, 9);
  // The move sound only for real moves (a quick restart may be swallowed).
  const std::vector<int64_t> sounds = FramesOf(0);
  EXPECT_FALSE(sounds.empty());
  for (int64_t f : sounds) EXPECT_NE(std::find(moves.begin(), moves.end(), f), moves.end()) << f;
}

TEST_F(PlayerPlay, OnlyTheFirstDirectionCountsAndAnEdgeStopsIt) {
  // Up beats right; at the top row up does nothing and right is not tried.
  Start(TwoEnds(4, 1, 9, 7), 1, "0 Up down\n0 Right down\n");
  RunTo(60);
  EXPECT_EQ(std::tie(P(0).CursorX, P(0).CursorY), std::tuple(4, 0));
  // Down beats right and left.
  Start(TwoEnds(4, 1, 9, 7), 1, "0 Down down\n0 Left down\n0 Right down\n");
  RunTo(1);
  EXPECT_EQ(std::tie(P(0).CursorX, P(0).CursorY), std::tuple(4, 2));
}

TEST_F(PlayerPlay, TwoCursorsNeverShareACell) {
  // Player 0 on the keyboard at (2, 0), player 1 on the first joystick at
  // (4, 0); both step onto (3, 0) in the same frame.
  const char* script =
      "0 Right tap\n0 J0.Left tap\n"
      "20 Right tap\n"    // onto player 1: refused
      "40 J0.Down tap\n"  // player 1 to (4, 1)
      "60 Right tap\n"    // player 0 to (4, 0)
      "80 J0.Up tap\n";   // onto player 0: refused
  Start(TwoEnds(2, 0, 4, 0), 2, script);
  RunTo(1);
  EXPECT_EQ(P(0).CursorX, 3);
  EXPECT_EQ(P(1).CursorX, 4);
  RunTo(21);
  EXPECT_EQ(P(0).CursorX, 3);
  RunTo(41);
  EXPECT_EQ(P(1).CursorY, 1);
  RunTo(61);
  EXPECT_EQ(P(0).CursorX, 4);
  RunTo(81);
  EXPECT_EQ(std::tie(P(1).CursorX, P(1).CursorY), std::tuple(4, 1));
  EXPECT_EQ(FramesOf(0), (std::vector<int64_t>{0, 40, 60}));
}

TEST_F(PlayerPlay, LayingPaysAHundredAdvancesTheQueueAndNeedsAFreshPress) {
  StageInfo s = TwoEnds(0, 0, 3, 0);
  s.RequiredPipes = 1;
  const char* script =
      "0 Right tap\n2 Z tap\n"
      "5 Right tap\n6 Z tap\n"  // too soon: the player still waits
      "10 Z down\n40 Z up\n"    // held on the new piece: no replacing
      "45 Right tap\n47 Z tap\n";
  Start(s, 1, script);
  P(0).Queue[0] = CHIP_FIRST_PIECE;  // a straight that carries the water on
  const uint8_t second = P(0).Queue[1];
  RunTo(3);
  EXPECT_EQ(Board[1][0].ChipNo, CHIP_FIRST_PIECE);
  EXPECT_EQ(Board[1][0].Owner, 0);
  EXPECT_NE(Board[1][0].OnPath, 0);
  // Paid, the route traced again, the slot refilled at once, a wait set.
  EXPECT_EQ(std::tie(P(0).Score, P(0).Ahead, P(0).QueueIndex, P(0).Wait), std::tuple(100, 1, 1, 6));
  EXPECT_EQ(P(0).Queue[0], Supply[7]);
  RunTo(10);
  EXPECT_EQ(Board[2][0].ChipNo, CHIP_EMPTY);
  EXPECT_EQ(P(0).Score, 100);
  RunTo(44);
  EXPECT_EQ(Board[2][0].ChipNo, second);
  EXPECT_EQ(Board[3][0].ChipNo, CHIP_DRAIN + DirLeft);
  EXPECT_EQ(std::tie(P(0).Score, P(0).QueueIndex), std::tuple(200, 2));
  RunTo(48);  // the cursor is on the drain now: nothing happens, nothing is paid
  EXPECT_EQ(std::tie(P(0).Score, P(0).QueueIndex), std::tuple(200, 2));
  EXPECT_EQ(FramesOf(1), (std::vector<int64_t>{2, 10}));
}

TEST_F(PlayerPlay, FixedCellsTakeNoPieceAndCostNothing) {
  StageInfo s = TwoEnds(0, 0, 9, 7);
  Special(s, kSpecialWarpIn, 5, 5, DirLeft);
  Special(s, kSpecialWarpOut, 7, 7, DirUp);
  Put(s, 3, 3, CHIP_BLOCK);
  for (int k = CHIP_FAST_V; k <= CHIP_SLOW_H; ++k) Put(s, k - CHIP_FAST_V, 6, k);
  Put(s, 1, 0, CHIP_FIRST_PIECE);
  Start(s, 1);
  int steps = 0;
  while (Water.HeadX != 1) ASSERT_EQ(RunWater(1, steps), kWaterRunning);  // water in (1, 0)
  const std::pair<int, int> cells[] = {{0, 0}, {9, 7}, {5, 5}, {7, 7}, {3, 3},
                                       {0, 6}, {1, 6}, {2, 6}, {3, 6}, {1, 0}};
  auto cell = [](int x, int y) {
    const ChipInfo& c = Board[x][y];
    return std::tuple(c.ChipNo, c.Owner, c.OnPath, c.PassCount);
  };
  auto player = [] {
    return std::tuple(P(0).Score, P(0).QueueIndex, P(0).Wait, P(0).PendingChip, P(0).Ahead);
  };
  const auto before = player();
  for (auto [x, y] : cells) {
    const auto was = cell(x, y);
    EXPECT_EQ(PlacePiece(x, y, CHIP_CROSS, 0), 0) << x << "," << y;
    EXPECT_EQ(cell(x, y), was) << x << "," << y;
  }
  EXPECT_EQ(player(), before);
  // Out of the play area or out of the piece table: refused the same way.
  EXPECT_EQ(PlacePiece(10, 0, CHIP_CROSS, 0), 0);
  EXPECT_EQ(PlacePiece(2, 2, kChipKinds, 0), 0);
  EXPECT_EQ(Board[2][2].ChipNo, CHIP_EMPTY);
  EXPECT_TRUE(Sounds().empty());
}

TEST_F(PlayerPlay, ReplacingBreaksThePieceAndDropsTheNewOneInThirtyEightFramesLater) {
  StageInfo s = TwoEnds(0, 0, 3, 0);
  s.PipeSet = 2;
  Put(s, 1, 0, CHIP_FIRST_PIECE + 1);  // turned across the flow
  s.RequiredPipes = 1;
  Start(s, 1, "0 Right tap\n2 Z tap\n20 Z tap\n");
  P(0).Queue[0] = CHIP_FIRST_PIECE;
  P(0).Score = 120;  // the break's cost shows above 0
  EXPECT_EQ(P(0).Ahead, 0);
  RunTo(3);
  EXPECT_EQ(P(0).Score, 70);
  EXPECT_EQ(Board[1][0].ChipNo, CHIP_EMPTY);
  EXPECT_EQ(std::tie(P(0).PendingX, P(0).PendingY, P(0).PendingChip, P(0).Wait),
            std::tuple(1, 0, CHIP_FIRST_PIECE, 38));
  EXPECT_EQ(P(0).QueueIndex, 0);  // the queue waits for the drop-in
  RunTo(40);
  EXPECT_EQ(Board[1][0].ChipNo, CHIP_EMPTY);  // the press at 20 was ignored
  EXPECT_EQ(P(0).Wait, 1);
  RunTo(41);
  // Frame 40, 38 frames after the break: the piece drops in, for no points.
  EXPECT_EQ(Board[1][0].ChipNo, CHIP_FIRST_PIECE);
  EXPECT_EQ(Board[1][0].Owner, 0);
  EXPECT_EQ(std::tie(P(0).Score, P(0).QueueIndex, P(0).PendingChip, P(0).Wait, P(0).Ahead),
            std::tuple(70, 1, 0, 6, 1));
  EXPECT_EQ(FramesOf(12), (std::vector<int64_t>{2}));  // break sound of pipe set 2
}

TEST_F(PlayerPlay, HurryButtonHeldSpeedsTheDelayEveryFrame) {
  // Keyboard X for player 0, joystick button 4 for player 1.
  Start(TwoEnds(0, 0, 9, 7), 2, "3 X down\n6 X up\n8 J0.B4 tap\n");
  RunTo(3);
  EXPECT_EQ(Water.Progress, 377);
  RunTo(6);
  EXPECT_EQ(Water.Progress, 353);
  RunTo(10);
  EXPECT_EQ(Water.Progress, 353 - 2 - 8 - 1);
  EXPECT_EQ(P(0).Score, 200);
  EXPECT_EQ(P(1).Score, 200);
}

TEST(RepeatKeys, EndlessTimingAndTheChangedBits) {
  KeyRepeat k{};
  k.FirstDelay = 20;
  k.Interval = 1;
  k.Counter = 20;
  std::vector<int> acted;
  for (int f = 0; f < 25; ++f) {
    k.Current = 0x2000;
    if (RepeatKeys(k) != 0) acted.push_back(f);
    EXPECT_EQ(k.Changed, f == 0 ? 0x2000 : 0) << f;
  }
  EXPECT_EQ(acted, (std::vector<int>{0, 20, 21, 22, 23, 24}));
  k.Current = 0x2400;  // a button joins: acts at once with the whole word
  EXPECT_EQ(RepeatKeys(k), 0x2400);
  EXPECT_EQ(k.Changed, 0x400);
  EXPECT_EQ(k.Counter, 20);
  k.Current = 0;
  EXPECT_EQ(RepeatKeys(k), 0);
  EXPECT_EQ(k.Changed, 0x2400);
}

}  // namespace
