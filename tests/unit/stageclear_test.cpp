// SPDX-License-Identifier: Zlib
// The bonus inspection after a cleared stage: what breaks and who pays,
// which boards and routes earn which bonus, and the lines it shows.
#include "puzzle/stageclear.h"

#include <gtest/gtest.h>

#include "play_fixture.h"
#include "puzzle/playstage.h"
#include "render/font.h"
#include "render/playdraw.h"
#include "render/screen.h"
#include "render/sheets.h"

namespace {

using namespace puzzle;
using play_fixture::Put;
using play_fixture::Special;

ChipInfo Cell(int chip, int owner = 0, int passes = 0) {
  ChipInfo c = ChipTable[chip];
  c.Owner = owner;
  c.PassCount = passes;
  if (passes > 0) c.Fixed = -1;
  return c;
}

TEST(InspectCell, WhatBreaksWhatCountsAndWhatSpoilsTheFullBoard) {
  InitChipTable();
  InspectionTally t;
  StartTally(t);
  // Used pipe, sources, drains, blocks and passed specials leave the board full.
  for (const ChipInfo& c : {Cell(17, 1, 1), Cell(1), Cell(7, 0, 1), Cell(16), Cell(36, 0, 1),
                            Cell(9, 0, 1), Cell(14, 0, 1), Cell(23, 0, 1)})
    EXPECT_FALSE(InspectCell(c, t));
  EXPECT_NE(t.Exhaustive, 0);
  EXPECT_EQ(t.Intersect[0], 0);  // a cross passed once pays nothing

  // A cross passed on both axes counts for the one who laid it.
  InspectCell(Cell(23, 1, 2), t);
  InspectCell(Cell(23, 1, 2), t);
  InspectCell(Cell(23, 0, 2), t);
  EXPECT_EQ(t.Intersect[0], 1);
  EXPECT_EQ(t.Intersect[1], 2);
  EXPECT_NE(t.Exhaustive, 0);

  // Unpassed specials and empty cells spoil it; a laid piece never reached
  // spoils it and breaks.
  for (const ChipInfo& unused : {Cell(38), Cell(10), Cell(13), Cell(CHIP_EMPTY), Cell(35, 1)}) {
    StartTally(t);
    EXPECT_EQ(InspectCell(unused, t), unused.ChipNo == 35) << int(unused.ChipNo);
    EXPECT_EQ(t.Exhaustive, 0) << int(unused.ChipNo);
  }
}

TEST(BonusLines, AmountsAndTheirColumn) {
  // One cross and its line are paid and drawn in the inspection below.
  EXPECT_EQ(IntersectBonus(0), 0);
  EXPECT_EQ(IntersectBonus(3), 6000);
  PlayerInfo p{};
  p.Passed = 9, p.Ahead = 1, p.Required = 6;
  EXPECT_EQ(LongRangeBonus(p), 2000);
  p.Required = 10;  // exactly enough, and too few
  EXPECT_EQ(LongRangeBonus(p), 0);
  p.Required = 12;
  EXPECT_EQ(LongRangeBonus(p), 0);
  EXPECT_EQ(ExhaustiveLine(), "EXHAUSTIVE BONUS      100000");
  EXPECT_EQ(LongRangeLine(0, 123500), "LONG RANGE BONUS(1P)   23500");  // last digits only
}

TEST(Darken, HalvesEachChannelAndKeepsBlack) {
  plat::Surface s;
  plat::Resize(s, 4, 1);
  s.Pixels = {0x000000, 0xFFFFFF, 0x010101, 0x80FF03};
  Darken(s);
  EXPECT_EQ(s.Pixels, (std::vector<uint32_t>{0x000000, 0x7F7F7F, 0x000000, 0x407F01}));
}

// A stage cleared on the real board, with the real sheets and font.
class Inspection : public play_fixture::PlayTest {
 protected:
  void SetUp() override {
    PlayTest::SetUp();
    render::LoadImages();
    stage_ = play_fixture::BlankStage();
    stage_.PipeSet = 2;
  }
  // Source at (0, 0), two straights, the drain at (3, 0).
  void ShortRoute() {
    Special(stage_, 0, 0, 0, DirRight);
    Special(stage_, 1, 3, 0, DirLeft);
    Put(stage_, 1, 0, 17);
    Put(stage_, 2, 0, 17);
  }
  void Begin(int players) {
    Start(stage_, players);
    render::BuildStageBackground(render::FirstMap);
  }
  // The tally of the board, once the water has run to its end.
  InspectionTally Inspect() {
    EXPECT_EQ(RunWater(), kWaterCleared);
    InspectionTally t;
    StartTally(t);
    InspectBoard(t);
    return t;
  }

  puzzle::StageInfo stage_;
};

TEST_F(Inspection, UnusedPiecesBreakAtTheirOwnersCost) {
  ShortRoute();
  Put(stage_, 5, 5, 18);  // pre-laid: player 1 pays for it
  Begin(2);
  Board[6][6] = Cell(19, 1);  // laid by player 2, never reached
  Players[0].Score = 1000;
  Players[1].Score = 20;
  const int64_t frame = headless::CurrentFrame();  // the water takes no frames
  const InspectionTally t = Inspect();
  EXPECT_EQ(headless::CurrentFrame() - frame, 64);  // 32 frames a piece
  // Player 2, charged below zero, is shown and kept at 0.
  EXPECT_EQ(std::tie(Players[0].Score, Players[1].Score), std::tuple(950, 0));
  EXPECT_EQ(t.Exhaustive, 0);
  // Only the kind of a broken cell changes.
  EXPECT_EQ(
      std::tuple(+Board[5][5].ChipNo, +Board[6][6].ChipNo, +Board[6][6].Owner, +Board[1][0].ChipNo),
      std::tuple(CHIP_EMPTY, CHIP_EMPTY, 1, 17));
  // The layer now shows each owner's empty cell there.
  for (auto [x, y, n] : {std::tuple{5, 5, 40}, {6, 6, 88}})
    for (int d = 0; d < 32 * 32; ++d)
      ASSERT_EQ(plat::GetPixel(render::FirstMap, 96 + 32 * x + d % 32, 48 + 32 * y + d / 32),
                plat::GetPixel(render::PipePic, (n % 8) * 32 + d % 32, (n / 8) * 32 + d / 32));
  EXPECT_EQ(SoundsOnly(), (std::vector<int>{12, 12}));
}

TEST_F(Inspection, BoardUsedUpPaysEveryPlayer) {
  std::memset(stage_.StageMap, CHIP_BLOCK, sizeof stage_.StageMap);
  ShortRoute();
  Begin(2);
  ASSERT_EQ(RunWater(), kWaterCleared);
  const int64_t frame = headless::CurrentFrame();
  BonusInspection();
  // Player 1 laid (owns) both straights: 2 beyond a requirement of 0.
  EXPECT_EQ(std::tie(Players[0].Score, Players[1].Score), std::tuple(100000 + 1000, 100000));
  EXPECT_EQ(game::TotalScore, 201000);
  // Congratulation, darkened board, two lines and the last pause.
  EXPECT_EQ(headless::CurrentFrame() - frame, 180 + 120 + 2 * 60 + 300);
  EXPECT_EQ(SoundsOnly(), (std::vector<int>{3, 3}));
  // The curtain has closed over everything but the score line.
  const plat::Surface& shown = headless::LastShown();
  for (int y = 32; y < shown.Height; ++y)
    for (int x = 0; x < shown.Width; ++x) ASSERT_EQ(plat::GetPixel(shown, x, y), 0u);
}

TEST_F(Inspection, OneEmptyCellSpoilsTheFullBoard) {
  std::memset(stage_.StageMap, CHIP_BLOCK, sizeof stage_.StageMap);
  Put(stage_, 9, 7, CHIP_EMPTY);
  ShortRoute();
  stage_.RequiredPipes = 2;
  Begin(1);
  const InspectionTally t = Inspect();
  EXPECT_EQ(t.Exhaustive, 0);
  // Nothing to pay: "NO BONUS" on the first line, and the score line.
  plat::Surface& screen = *game::ScreenPic;
  plat::Surface want = screen;
  render::GameFont.FontColor(3);
  render::ShadowText(want, 192, 96, "NO BONUS", 1);
  puzzle::SettleScores();
  render::DrawScorePanel(want);
  PayBonuses(t);
  EXPECT_TRUE(screen.Pixels == want.Pixels);
  EXPECT_EQ(Players[0].Score, 0);
  EXPECT_EQ(SoundsOnly(), std::vector<int>{});
}

TEST_F(Inspection, CrossPassedTwicePaysItsOwnerLineByLine) {
  // Down through the cross, round three elbows, left through it to the drain.
  Special(stage_, 0, 1, 0, DirDown);
  Put(stage_, 1, 1, CHIP_CROSS);
  Put(stage_, 1, 2, 21);
  Put(stage_, 2, 2, 22);
  Put(stage_, 2, 1, 20);
  Special(stage_, 1, 0, 1, DirRight);
  Begin(2);
  Board[1][1].Owner = 1;
  TraceRoute(false);
  TraceRoute(true);
  const InspectionTally t = Inspect();
  EXPECT_EQ(Board[1][1].PassCount, 2);
  EXPECT_EQ(t.Intersect[1], 1);
  plat::Surface& screen = *game::ScreenPic;
  plat::Surface want = screen;
  PayBonuses(t);
  // Player 2: the cross, then the long-range lines of both players in order.
  EXPECT_EQ(std::tie(Players[0].Score, Players[1].Score), std::tuple(1500, 1000 + 1000));
  render::GameFont.FontColor(5);
  int y = 96;
  for (const char* line : {"INTERSECT BONUS(2P)     1000", "LONG RANGE BONUS(1P)    1500",
                           "LONG RANGE BONUS(2P)    1000"}) {
    render::ShadowText(want, 32, y, line, 1);
    y += 32;
  }
  render::ClearRect(want, 0, 0, want.Width, 32);
  puzzle::SettleScores();
  render::DrawScorePanel(want);
  EXPECT_TRUE(screen.Pixels == want.Pixels);
  EXPECT_EQ(SoundsOnly(), (std::vector<int>{3, 3, 3}));
}

}  // namespace
