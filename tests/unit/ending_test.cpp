// SPDX-License-Identifier: Zlib
// The ending: its pages, their timing in frames, the dissolve and the save.
#include "shell/ending.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/platform.h"
#include "render/font.h"
#include "render/sheets.h"
#include "render/surfaces.h"
#include "shell/credits.h"
#include "shell/gamestate.h"
#include "shell/savedata.h"
#include "shell/window.h"
#include "test_support.h"

namespace {

using namespace testing_support;

TEST(Credits, PagesTakeTheirNamesInOrder) {
  game::CreditPages c = game::ParseCredits(
      "# the roll\n[3]\nA PERSON\r\n\n[5]\nONE\nTWO\nTHREE\nFOUR\n[99]\nLOST\n[21]\nR1\nR2\nR3\n");
  auto page3 = game::RollPage(3, c, 352);
  ASSERT_EQ(page3.size(), 2u);
  EXPECT_EQ(page3[1].Text, "A PERSON");
  EXPECT_EQ(page3[1].Y, 168);
  auto page5 = game::RollPage(5, c, 352);
  ASSERT_EQ(page5.size(), 3u);  // a fourth name has no place on the page
  EXPECT_EQ(page5[2].Text, "THREE");
  auto page21 = game::RollPage(21, c, 352);
  ASSERT_EQ(page21.size(), 4u);
  EXPECT_EQ(page21[3].Color, 3);
  EXPECT_EQ(page21[3].Y, 216);
  // Missing names leave their lines out; headings sit in the middle.
  EXPECT_EQ(game::RollPage(7, c, 352).size(), 3u);
  for (int n : {1, 2, 4, 6, 8, 10, 14, 16, 18, 20}) {
    auto page = game::RollPage(n, c, 352);
    ASSERT_EQ(page.size(), 1u) << n;
    EXPECT_EQ(page[0].Y, 168) << n;
  }
}

// The roll the game ships: every slot of every page has its own line, each
// in the font's codes and at least one character clear of either edge.
TEST(Credits, ShippedRollFillsEveryPageWithinTheMargin) {
  game::CreditPages full(game::kRollPages, std::vector<std::string>(10, "X"));
  game::CreditPages shipped = game::ParseCredits(game::CreditsText());
  std::set<std::string> seen;
  for (int n = 0; n < game::kRollPages; ++n) {
    EXPECT_EQ(game::RollPage(n, shipped, 352).size(), game::RollPage(n, full, 352).size()) << n;
    for (const std::string& line : shipped[n]) {
      EXPECT_LE(line.size(), 30u) << line;  // 32 characters across the screen
      EXPECT_TRUE(seen.insert(line).second) << "repeated: " << line;
      for (char c : line) EXPECT_TRUE(c == ' ' || (c >= 33 && c <= 90)) << line;
    }
  }
}

class EndingRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    headless::Reset();
    game::Form1_Load();
    game::Form2_Load();
    game::ScreenPic = &render::Scr;
    render::LoadImages();
  }
};

TEST_F(EndingRun, CenterTextClipsLongLines) {
  plat::Surface pic;
  plat::Resize(pic, 64, 16);
  game::CenterText(pic, 0, 0, "ABCDEFGH");  // 128 pixels wide: starts at -32
  plat::Surface ref;
  plat::Resize(ref, 128, 16);
  render::GameFont.FontColor(0);
  render::GameFont.PutCstring(ref, 0, 0, "ABCDEFGH");
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 64; ++x)
      ASSERT_EQ(plat::GetPixel(pic, x, y), plat::GetPixel(ref, x + 32, y)) << x << "," << y;
}

TEST_F(EndingRun, DissolveBlackensPartialTilesToo) {
  plat::Surface pic;
  plat::Resize(pic, 100, 70);  // not a multiple of 32 either way
  plat::FillRect(pic, 0, 0, 100, 70, 0xFFFFFF);
  game::DissolveOut(pic);
  for (uint32_t p : pic.Pixels) ASSERT_EQ(p, 0u);
}

TEST_F(EndingRun, PagesHoldTheirFramesThenSave) {
  std::string folder = TempFolder("ending");
  game::DataPath = folder;
  game::SoundPath = folder;  // no ending music: the last page holds 181 frames
  game::PlayerCount = 2;
  game::CourseNo = 1;
  game::TotalScore = 4321;
  game::SaveData.HiScore[1][1] = 4000;
  game::SaveData.HiScore[0][1] = 9999;
  std::string log = StartLoggedRun("ending-log");
  std::string shots = folder;
  headless::Options o;
  o.Shots = {{61 + 961 - 1, shots + "page0.png"}, {61 + 961 + 65 + 2, shots + "page1.png"}};
  std::string err;
  headless::Configure(o, err);
  const int64_t start = headless::CurrentFrame();
  game::Ending();
  // Holds and pauses of 8363 frames, 22 dissolves of 4 steps and 61 frames.
  EXPECT_EQ(headless::CurrentFrame() - start, 8363 + 22 * 65);
  std::vector<std::string> lines = Lines(FinishLoggedRun(log));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], std::to_string(start + 8363 + 21 * 65) + " save");
  EXPECT_EQ(game::SaveData.HiScore[1][1], 4321);  // the two-player entry of the course
  EXPECT_EQ(game::SaveData.HiScore[0][1], 9999);
  EXPECT_TRUE(plat::FileExists(shots + "page1.png"));
}

}  // namespace
