// SPDX-License-Identifier: Zlib
// The endless well: circuits and cap runs, removal and the drop above it,
// where a chip may stand, the drawing of the chips and their sprites.
#include "endless/heylawmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "audio/wavedef.h"
#include "platform/headless/runner.h"
#include "play_fixture.h"
#include "puzzle/board.h"
#include "render/font.h"
#include "render/screen.h"
#include "render/sheets.h"
#include "render/sprite.h"
#include "render/surfaces.h"
#include "shell/gamestate.h"
#include "test_support.h"

namespace {

using endless::HeyLawMap;

// Chip characters: '.' empty, '1'..'7' pipes, caps ^ > v < (8..11).
constexpr char kChipChars[] = ".1234567^>v<";

int ChipOf(char c) {
  for (int i = 0; i < 12; ++i)
    if (kChipChars[i] == c) return i;
  ADD_FAILURE() << "no chip '" << c << "'";
  return 0;
}

// Puts chips into rows from firstRow down; '.' leaves a cell as it is.
void Fill(HeyLawMap& map, int firstRow, const std::vector<std::string>& rows) {
  for (size_t r = 0; r < rows.size(); ++r) {
    ASSERT_EQ(rows[r].size(), 7u) << rows[r];
    for (int x = 0; x < 7; ++x)
      if (rows[r][x] != '.') map.SetChipNo(x, firstRow + static_cast<int>(r), ChipOf(rows[r][x]));
  }
}

// The chips of rows first..last, or with marks set their marks ('x').
std::vector<std::string> Rows(const HeyLawMap& map, int first, int last, bool marks = false) {
  std::vector<std::string> out;
  for (int y = first; y <= last; ++y) {
    std::string row;
    for (int x = 0; x < 7; ++x)
      row += marks ? (map.GetPassedInfo(x, y) == -1 ? 'x' : '.') : kChipChars[map.GetChipNo(x, y)];
    out.push_back(row);
  }
  return out;
}
std::vector<std::string> Marks(const HeyLawMap& map, int first, int last) {
  return Rows(map, first, last, true);
}

class Well : public ::testing::Test {
 protected:
  void SetUp() override { headless::Reset(); }
  void TearDown() override { headless::Reset(); }
  HeyLawMap map_;
};

TEST_F(Well, EmptyWellHasWallsAndFloorAndOpenSpaceAbove) {
  for (int y = -2; y <= 11; ++y)
    for (int x = -1; x <= 7; ++x)
      EXPECT_EQ(map_.GetChipNo(x, y), x < 0 || x > 6 || y == 11 ? -1 : 0) << x << "," << y;
  for (int x = 0; x <= 6; ++x) EXPECT_EQ(map_.GetColumnTop(x), 11);
  Fill(map_, 9, {"1234567", "^>v<..."});
  map_.InitMapData();
  EXPECT_EQ(Rows(map_, 9, 10), (std::vector<std::string>{".......", "......."}));
  EXPECT_EQ(map_.GetColumnTop(3), 11);
}

TEST_F(Well, SetChipNoOnlyInsideTheWell) {
  for (auto [x, y] : {std::pair{7, 0}, {0, 11}, {-1, 5}, {3, -1}})
    EXPECT_EQ(map_.SetChipNo(x, y, 1), 0) << x << "," << y;
  EXPECT_EQ(map_.GetChipNo(7, 0), -1);
  EXPECT_EQ(map_.GetChipNo(0, 11), -1);
  EXPECT_EQ(map_.GetChipNo(3, -1), 0);
  EXPECT_EQ(map_.GetColumnTop(3), 11);

  // Only the low four bits are kept.
  EXPECT_EQ(map_.SetChipNo(0, 4, 16 + 5), -1);
  EXPECT_EQ(map_.GetChipNo(0, 4), 5);
  EXPECT_EQ(map_.GetColumnTop(0), 4);
  map_.SetChipNo(0, 8, 1);  // lower than the top: the bound stays
  EXPECT_EQ(map_.GetColumnTop(0), 4);
}

TEST_F(Well, QueryCanMoveTestsTheRowsTheChipCovers) {
  EXPECT_EQ(map_.QueryCanMove(72, -24), -1);
  // {x, y, free} with a chip at (3, 0): y -46 covers rows -1 and 0, -47 and
  // -48 lie above it, -1 truncates to row 0. Then the walls and the floor.
  map_.SetChipNo(3, 0, 2);
  const int cases[][3] = {{72, -24, 0}, {72, -46, 0}, {72, -47, -1}, {72, -48, -1},
                          {72, -1, 0},  {48, -1, -1}, {0, 240, -1},  {0, 241, 0},
                          {-24, 0, 0},  {144, 0, -1}, {168, 0, 0}};
  for (const auto& c : cases) EXPECT_EQ(map_.QueryCanMove(c[0], c[1]), c[2]) << c[0] << "," << c[1];
  // A chip partly over a filled cell below.
  map_.SetChipNo(5, 6, 1);
  EXPECT_EQ(map_.QueryCanMove(120, 120), -1);
  EXPECT_EQ(map_.QueryCanMove(120, 121), 0);
}

TEST_F(Well, PositionsOutsideTheMapAreReportedNotRead) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(map_.QueryCanMove(200, 0), 0);   // column 8
  EXPECT_EQ(map_.QueryCanMove(-49, 0), 0);   // column -2
  EXPECT_EQ(map_.QueryCanMove(72, -72), 0);  // row -3
  EXPECT_EQ(map_.QueryCanMove(72, 270), 0);  // rows 11 and 12
  EXPECT_EQ(map_.GetChipNo(8, 0), -1);       // reads as a wall
  EXPECT_EQ(map_.GetChipNo(0, -3), -1);
  EXPECT_EQ(map_.CheckClosed(7, 3), 0);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("QueryCanMove: position (200, 0) outside the map"), std::string::npos) << err;
  EXPECT_NE(err.find("QueryCanMove: position (72, -72) outside the map"), std::string::npos);
  EXPECT_NE(err.find("QueryCanMove: position (72, 270) outside the map"), std::string::npos);
  EXPECT_NE(err.find("GetChipNo: cell (8, 0) outside the map"), std::string::npos);
  EXPECT_NE(err.find("CheckClosed: cell (7, 3) outside the well"), std::string::npos);
  // Positions a piece really takes are never reported.
  testing::internal::CaptureStderr();
  for (int x = -24; x <= 168; x += 24)
    for (int y = -48; y <= 264; y += 6) map_.QueryCanMove(x, y);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(Well, RingOfFourCorners) {
  Fill(map_, 9, {"..36...", "..14..."});
  EXPECT_EQ(map_.CheckAll(), 4);
  EXPECT_EQ(Marks(map_, 8, 10), (std::vector<std::string>{".......", "..xx...", "..xx..."}));
  // Traced from any of its cells the ring is the same four passes; a
  // marked cell starts no second trace.
  for (int i = 0; i < 4; ++i) {
    map_.InitPassedInfo();
    EXPECT_EQ(map_.CheckClosed(2 + i % 2, 9 + i / 2), 4) << i;
  }
  EXPECT_EQ(map_.CheckClosed(2, 9), 0);
  // Found at the very top of the well too.
  map_.InitMapData();
  Fill(map_, 0, {"36.....", "14....."});
  EXPECT_EQ(map_.CheckAll(), 4);
}

TEST_F(Well, FigureOfEightCountsTheCrossTwiceAndOneCrossing) {
  Fill(map_, 6, {"....36.", "...374.", "...14.."});
  EXPECT_EQ(map_.CheckAll(), 256 + 8);
  EXPECT_EQ(Marks(map_, 6, 8), (std::vector<std::string>{"....xx.", "...xxx.", "...xx.."}));
  // Started on the cross itself: across once, then back the way it set off.
  map_.InitPassedInfo();
  EXPECT_EQ(map_.CheckClosed(4, 7), 256 + 8);
}

TEST_F(Well, RingsSharingCrossesCountThemAsCrossings) {
  // A tall ring and a lying one cross at (3, 5) and (3, 7). The second ring
  // traced passes both crosses already marked by the first.
  Fill(map_, 3, {".356...", ".2.2...", ".23756.", ".222.2.", ".21754.", ".154..."});
  const int found = map_.CheckAll();
  EXPECT_EQ(found / 256, 2);
  EXPECT_EQ(found & 255, 14 + 10);
  EXPECT_EQ(Marks(map_, 3, 8), (std::vector<std::string>{".xxx...", ".x.x...", ".xxxxx.", ".xxx.x.",
                                                         ".xxxxx.", ".xxx..."}));
}

TEST_F(Well, CrossClosesOnlyAcrossWhenTheUprightLineIsBlocked) {
  Fill(map_, 4, {"...2...", "..376..", "..154.."});
  EXPECT_EQ(map_.CheckClosed(3, 5), 6);
  EXPECT_EQ(Marks(map_, 4, 6), (std::vector<std::string>{".......", "..xxx..", "..xxx.."}));
  // With the direction given there is no second try, and the dead end
  // upright leaves no marks behind.
  map_.InitPassedInfo();
  EXPECT_EQ(map_.CheckClosed(3, 5, puzzle::DirUp), 0);
  EXPECT_EQ(Marks(map_, 4, 6), (std::vector<std::string>{".......", ".......", "......."}));
  EXPECT_EQ(map_.CheckClosed(3, 5, puzzle::DirRight), 6);
}

TEST_F(Well, EndCapFacingNothingUsableIsMarkedForZero) {
  // Facing the wall, an empty cell, another cap (both ways), a pipe it
  // cannot enter that way.
  Fill(map_, 10, {"<.^><>2"});
  EXPECT_EQ(map_.CheckAll(), 0);
  EXPECT_EQ(Marks(map_, 10, 10), std::vector<std::string>{"x.xxxx."});
  EXPECT_EQ(map_.CrashChip(), -1);
  EXPECT_EQ(Rows(map_, 10, 10), std::vector<std::string>{"......2"});
}

TEST_F(Well, EndCapDestroysTheRunItPointsInto) {
  // Three pipes from the cap, then an open end upwards.
  Fill(map_, 9, {".......", ">554..."});
  EXPECT_EQ(map_.CheckAll(), 3);
  EXPECT_EQ(Marks(map_, 9, 10), (std::vector<std::string>{".......", "xxxx..."}));
  // The cap counts for nothing itself, whatever way it faces.
  map_.InitMapData();
  Fill(map_, 6, {"...v...", "...2...", "...2...", "...1..."});
  EXPECT_EQ(map_.CheckAll(), 3);
  EXPECT_EQ(Marks(map_, 6, 9),
            (std::vector<std::string>{"...x...", "...x...", "...x...", "...x..."}));
}

TEST_F(Well, OpenRunsAreNeverMarked) {
  Fill(map_, 8, {"3556...", "2..2...", "1552..."});
  EXPECT_EQ(map_.CheckAll(), 0);
  EXPECT_EQ(Marks(map_, 8, 10), (std::vector<std::string>{".......", ".......", "......."}));
  EXPECT_EQ(map_.CrashChip(), 0);
  EXPECT_EQ(Rows(map_, 8, 10), (std::vector<std::string>{"3556...", "2..2...", "1552..."}));
}

TEST_F(Well, CrashChipDropsTheColumnByTheMarkedCellsBelow) {
  // Column 3 holds chips in rows 5..8; rows 9 and 10 are a cap run.
  Fill(map_, 5, {"...1...", "...3...", "...4...", "...5...", "...2...", "...^..."});
  EXPECT_EQ(map_.CheckAll(), 1);
  EXPECT_EQ(Marks(map_, 9, 10), (std::vector<std::string>{"...x...", "...x..."}));
  EXPECT_EQ(map_.CrashChip(), -1);
  EXPECT_EQ(Rows(map_, 0, 6), std::vector<std::string>(7, "......."));
  EXPECT_EQ(Rows(map_, 7, 10),
            (std::vector<std::string>{"...1...", "...3...", "...4...", "...5..."}));
  EXPECT_EQ(map_.GetColumnTop(3), 2);
  EXPECT_EQ(Marks(map_, 0, 10)[9], ".......");  // the marks are cleared
}

TEST_F(Well, CrashChipKeepsAGapUnderAHangingChip) {
  // A chip in row 8, nothing in row 9, a marked cap in row 10.
  Fill(map_, 8, {"2......", ".......", "<......"});
  EXPECT_EQ(map_.CheckAll(), 0);
  EXPECT_EQ(map_.CrashChip(), -1);
  EXPECT_EQ(Rows(map_, 8, 10), (std::vector<std::string>{".......", "2......", "......."}));
  // Nothing marked: nothing moves.
  EXPECT_EQ(map_.CheckAll(), 0);
  EXPECT_EQ(map_.CrashChip(), 0);
  EXPECT_EQ(Rows(map_, 8, 10), (std::vector<std::string>{".......", "2......", "......."}));
}

TEST_F(Well, CheckInsideMarksRightOfAMarkAndCountsChips) {
  Fill(map_, 10, {"2^.5.7."});
  map_.CheckAll();  // marks the cap at (1, 10)
  EXPECT_EQ(map_.CheckInside(), 2);
  EXPECT_EQ(Marks(map_, 10, 10), std::vector<std::string>{".xxxxxx"});
  EXPECT_EQ(Marks(map_, 9, 9), std::vector<std::string>{"......."});
}

// A pixel of the coded sheet names its own position, so a copied pixel
// tells where it came from.
uint32_t Code(int x, int y) { return 0x800000u | static_cast<uint32_t>(x) << 10 | y; }

class WellDrawing : public Well {
 protected:
  void SetUp() override {
    Well::SetUp();
    render::InitSurfaces();
    game::ScreenPic = &render::Scr;
    plat::Resize(render::PipePic, 256, 48);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 256; ++x) render::PipePic.Pixels[y * 256 + x] = Code(x, y);
    plat::Resize(render::FirstMap, 512, 352);
    plat::FillRect(render::FirstMap, 0, 0, 512, 352, 0x123456);
    // The blinking draws the panel's text with the one game font.
    render::LoadSheet(render::FontPic, "font.bmp");
    render::GameFont.Define(render::FontPic, 16, 16);
    map_.SetDispPos(172, 60);
  }
};

TEST_F(WellDrawing, ChipsComeFromTheirSheetCells) {
  // Pipes 1..7 along the top row of the sheet, the caps under the first four.
  for (int no = 1; no < 12; ++no) {
    plat::FillBlack(render::Scr, 0, 0, 512, 352);
    map_.DrawChip(render::Scr, 24, -24, no);
    const int sx = 24 * (no % 8), sy = no >= 8 ? 24 : 0;
    EXPECT_EQ(plat::GetPixel(render::Scr, 196, 36), Code(sx, sy)) << no;
    EXPECT_EQ(plat::GetPixel(render::Scr, 219, 59), Code(sx + 23, sy + 23)) << no;
    EXPECT_EQ(plat::GetPixel(render::Scr, 220, 36), 0u) << no;
  }
  plat::FillBlack(render::Scr, 0, 0, 512, 352);
  testing::internal::CaptureStderr();
  map_.DrawChip(render::Scr, 0, 0, 0);
  map_.DrawChip(render::Scr, 0, 0, 12);
  map_.DrawChip(render::Scr, 0, 0, -1);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("chip 12 is not a chip"),
            std::string::npos);
  for (uint32_t p : render::Scr.Pixels) ASSERT_EQ(p, 0u);
}

TEST_F(WellDrawing, DrawMapShowsTheBackgroundAndEveryChip) {
  Fill(map_, 0, {"7......"});
  Fill(map_, 10, {"......<"});
  map_.DrawMap(render::Scr);
  EXPECT_EQ(plat::GetPixel(render::Scr, 172, 60), Code(168, 0));              // cell (0, 0)
  EXPECT_EQ(plat::GetPixel(render::Scr, 172 + 144, 60 + 240), Code(72, 24));  // (6, 10)
  EXPECT_EQ(plat::GetPixel(render::Scr, 196, 60), 0x123456u);  // empty cell: background
  EXPECT_EQ(plat::GetPixel(render::Scr, 0, 0), 0x123456u);
}

TEST_F(WellDrawing, MarkedCellsBlinkOffOnOddFrames) {
  const std::string folder = testing_support::TempFolder("well-se");
  game::SoundPath = folder;
  play_fixture::WriteEffects(folder);
  std::string log = testing_support::StartLoggedRun("well-blink");
  audio::LoadEffects();
  Fill(map_, 9, {"..36..2", "..14..2"});
  map_.CheckAll();
  const int64_t start = plat::NowMs();
  const int64_t frame = headless::CurrentFrame();
  map_.CrashPassedPipe();
  // 60 blinking frames of 34 ms, then 16 plain frames.
  EXPECT_EQ(headless::CurrentFrame() - frame, 76);
  EXPECT_GE(plat::NowMs() - start, 60 * 34 + 16 * 17 - 34);
  // The last blink frame (59) shows the marked cells as background.
  const plat::Surface& shown = headless::LastShown();
  EXPECT_EQ(plat::GetPixel(shown, 172 + 48, 60 + 216), 0x123456u);
  EXPECT_EQ(plat::GetPixel(shown, 172 + 72, 60 + 240), 0x123456u);
  EXPECT_EQ(plat::GetPixel(shown, 172 + 144, 60 + 216), Code(48, 0));  // unmarked
  // The marks stay for CrashChip.
  EXPECT_EQ(map_.GetPassedInfo(2, 9), -1);
  const auto lines = testing_support::Lines(testing_support::FinishLoggedRun(log));
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "0 sound 14"), 1);
}

// ---------------------------------------------------------------- sprites

TEST(Sprite, DrawsInFourModes) {
  plat::Surface sheet, mask, dst;
  plat::Resize(sheet, 8, 8);
  plat::Resize(mask, 8, 8);
  plat::FillRect(sheet, 2, 2, 2, 2, 0x00FF00);
  plat::FillRect(mask, 0, 0, 8, 8, 0xFFFFFF);
  plat::FillBlack(mask, 2, 2, 2, 2);
  plat::Resize(dst, 6, 6);
  render::SpriteObject sprite;
  EXPECT_EQ(sprite.Draw(dst, 0, 0, 1), 0);  // not defined: nothing drawn
  // Without a mask the masked modes draw nothing either.
  sprite.Define(sheet, 1, 1, 4, 4, nullptr);
  EXPECT_EQ(sprite.Draw(dst, 0, 0, 0), -1);
  EXPECT_EQ(sprite.Draw(dst, 0, 0, 2), -1);
  for (uint32_t p : dst.Pixels) EXPECT_EQ(p, 0u);

  // From (1, 1) of the sheet: drawn at (0, 0), the green square is at (1, 1).
  sprite.Define(sheet, 1, 1, 4, 4, &mask);
  // Down the diagonal of a blue ground: masked (the square only), a plain
  // copy of the 4 x 4 rectangle, a white silhouette.
  const uint32_t B = 0x0000F0, G = 0x00FF00, W = 0xFFFFFF;
  const std::vector<uint32_t> want[3] = {{B, G, G, B, B}, {0, G, G, 0, B}, {B, W, W, B, B}};
  for (int mode = 0; mode < 3; ++mode) {
    plat::FillRect(dst, 0, 0, 6, 6, B);
    EXPECT_EQ(sprite.Draw(dst, 0, 0, mode), -1) << mode;
    std::vector<uint32_t> diagonal;
    for (int i = 0; i < 5; ++i) diagonal.push_back(plat::GetPixel(dst, i, i));
    EXPECT_EQ(diagonal, want[mode]) << mode;
  }

  plat::FillRect(dst, 0, 0, 6, 6, 0x0000F0);
  const std::vector<uint32_t> before = dst.Pixels;
  sprite.Draw(dst, 0, 0, 3);
  EXPECT_EQ(plat::GetPixel(dst, 1, 1), 0x00FFF0u);
  sprite.Draw(dst, 0, 0, 3);  // inverting twice restores
  EXPECT_EQ(dst.Pixels, before);

  EXPECT_EQ(sprite.Draw(dst, 1, 1, 4), -1);
  EXPECT_EQ(sprite.Draw(dst, 1, 1, -1), -1);
  EXPECT_EQ(dst.Pixels, before);
}

}  // namespace
