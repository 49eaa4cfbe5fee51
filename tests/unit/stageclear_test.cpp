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

  for (const ChipInfo& unused : {Cell(38), Cell(10), Cell(13)}) {
    StartTally(t);
    EXPECT_FALSE(InspectCell(unused, t));
    EXPECT_EQ(t.Exhaustive, 0) << int(unused.ChipNo);
  }
  StartTally(t);
  EXPECT_FALSE(InspectCell(Cell(CHIP_EMPTY), t));
  EXPECT_EQ(t.Exhaustive, 0);
  StartTally(t);
  EXPECT_TRUE(InspectCell(Cell(35, 1), t));  // laid, never reached: it breaks
  EXPECT_EQ(t.Exhaustive, 0);
}

TEST(BonusLines, AmountsAndTheirColumn) {
  EXPECT_EQ(IntersectBonus(0), 0);
  EXPECT_EQ(IntersectBonus(1), 1000);
  EXPECT_EQ(IntersectBonus(3), 6000);
  PlayerInfo p{};
  p.Passed = 9, p.Ahead = 1, p.Required = 6;
  EXPECT_EQ(LongRangeBonus(p), 2000);
  p.Required = 10;
  EXPECT_EQ(LongRangeBonus(p), 0);
  p.Required = 12;
  EXPECT_EQ(LongRangeBonus(p), 0);
  EXPECT_EQ(ExhaustiveLine(), "EXHAUSTIVE BONUS      100000");
  EXPECT_EQ(IntersectLine(1, 6000), "INTERSECT BONUS(2P)     6000");
  EXPECT_EQ(LongRangeLine(0, 2000), "LONG RANGE BONUS(1P)    2000");
  EXPECT_EQ(LongRangeLine(0, 123500), "LONG RANGE BONUS(1P)   23500");  // last digits only
  EXPECT_EQ(IntersectLine(0, 1000).size(), 28u);
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
  // Runs the water to its end as the play loop would, without drawing.
  int32_t RunToEnd() {
    int steps = 0;
    return RunWater(5000, steps);
  }
  int32_t ScoreAfter(int p) { return Players[p].Score; }

  puzzle::StageInfo stage_;
};

TEST_F(Inspection, UnusedPiecesBreakAtTheirOwnersCost) {
  ShortRoute();
  Put(stage_, 5, 5, 18);  // pre-laid: player 1 pays for it
  Begin(2);
  Board[6][6] = Cell(19, 1);  // laid by player 2, never reached
  Players[0].Score = 1000;
  Players[1].Score = 20;
  ASSERT_EQ(RunToEnd(), kWaterCleared);
  const int64_t frame = headless::CurrentFrame();
  InspectionTally t;
  StartTally(t);
  InspectBoard(t);
  EXPECT_EQ(headless::CurrentFrame() - frame, 64);  // 32 frames a piece
  EXPECT_EQ(Players[0].Score, 950);
  EXPECT_EQ(Players[1].Score, 0);  // charged below zero, shown and kept as 0
  EXPECT_EQ(t.Exhaustive, 0);
  EXPECT_EQ(Board[5][5].ChipNo, CHIP_EMPTY);
  EXPECT_EQ(Board[6][6].ChipNo, CHIP_EMPTY);
  EXPECT_EQ(Board[6][6].Owner, 1);  // only the kind changes
  EXPECT_EQ(Board[1][0].ChipNo, 17);
  // The layer now shows each owner's empty cell there.
  for (auto [x, y, n] : {std::tuple{5, 5, 40}, std::tuple{6, 6, 88}})
    for (int dy = 0; dy < 32; ++dy)
      for (int dx = 0; dx < 32; ++dx)
        ASSERT_EQ(plat::GetPixel(render::FirstMap, 96 + 32 * x + dx, 48 + 32 * y + dy),
                  plat::GetPixel(render::PipePic, (n % 8) * 32 + dx, (n / 8) * 32 + dy));
  EXPECT_EQ(SoundsOnly(), (std::vector<int>{12, 12}));
}

TEST_F(Inspection, BoardUsedUpPaysEveryPlayer) {
  std::memset(stage_.StageMap, CHIP_BLOCK, sizeof stage_.StageMap);
  ShortRoute();
  Begin(2);
  ASSERT_EQ(RunToEnd(), kWaterCleared);
  const int64_t frame = headless::CurrentFrame();
  BonusInspection();
  // Player 1 laid (owns) both straights: 2 beyond a requirement of 0.
  EXPECT_EQ(Players[0].Score, 100000 + 1000);
  EXPECT_EQ(Players[1].Score, 100000);
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
  ASSERT_EQ(RunToEnd(), kWaterCleared);
  InspectionTally t;
  StartTally(t);
  InspectBoard(t);
  EXPECT_EQ(t.Exhaustive, 0);
  // Nothing to pay: "NO BONUS" on the first line, and the score line.
  plat::Surface& screen = *game::ScreenPic;
  plat::Surface want = screen;
  render::GameFont.FontColor(3);
  render::ShadowText(want, 192, 96, "NO BONUS", 1);
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
  ASSERT_EQ(RunToEnd(), kWaterCleared);
  EXPECT_EQ(Board[1][1].PassCount, 2);
  InspectionTally t;
  StartTally(t);
  InspectBoard(t);
  EXPECT_EQ(t.Intersect[1], 1);
  plat::Surface& screen = *game::ScreenPic;
  plat::Surface want = screen;
  PayBonuses(t);
  // Player 2: the cross, then the long-range lines of both players in order.
  EXPECT_EQ(Players[0].Score, 1500);
  EXPECT_EQ(Players[1].Score, 1000 + 1000);
  render::GameFont.FontColor(5);
  int y = 96;
  for (const char* line : {"INTERSECT BONUS(2P)     1000", "LONG RANGE BONUS(1P)    1500",
                           "LONG RANGE BONUS(2P)    1000"}) {
    render::ShadowText(want, 32, y, line, 1);
    y += 32;
  }
  render::ClearRect(want, 0, 0, want.Width, 32);
  render::DrawScorePanel(want);
  EXPECT_TRUE(screen.Pixels == want.Pixels);
  EXPECT_EQ(SoundsOnly(), (std::vector<int>{3, 3, 3}));
}

}  // namespace
