// SPDX-License-Identifier: Zlib
// The play-screen drawing, read back from sheets whose every pixel names its
// own position, and the score line against texts written out by hand.
#include "render/playdraw.h"

#include <gtest/gtest.h>

#include <vector>

#include "play_fixture.h"
#include "puzzle/playstage.h"
#include "render/font.h"
#include "render/screen.h"
#include "render/sheets.h"
#include "shell/savedata.h"

namespace {

using namespace render;
using puzzle::Board;
using puzzle::Players;
using puzzle::Water;

// A coded sheet's pixel holds its own position (0x800000 keeps it non-black).
uint32_t Code(int x, int y) { return 0x800000u | static_cast<uint32_t>(x) << 10 | y; }
constexpr uint32_t kSecondSheet = 0x400000;  // marks a second coded sheet
int CodeX(uint32_t c) { return static_cast<int>((c >> 10) & 0x1FF); }
int CodeY(uint32_t c) { return static_cast<int>(c & 0x3FF); }

void FillCoded(plat::Surface& s, int w, int h) {
  plat::Resize(s, w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s.Pixels[static_cast<size_t>(y) * w + x] = Code(x, y);
}

// Where on its sheet the pixel at (x, y) came from.
std::pair<int, int> From(const plat::Surface& s, int x, int y) {
  const uint32_t c = plat::GetPixel(s, x, y);
  return {CodeX(c), CodeY(c)};
}
std::pair<int, int> PipeCell(int n) { return {(n % 8) * 32, (n / 8) * 32}; }
// The middle of pipe picture n.
std::pair<int, int> Inside(int n) { return {(n % 8) * 32 + 16, (n / 8) * 32 + 16}; }

class PlayDraw : public play_fixture::PlayTest {
 protected:
  void SetUp() override {
    PlayTest::SetUp();
    puzzle::StageInfo s = play_fixture::BlankStage();
    play_fixture::Special(s, 0, 0, 0, 1);
    play_fixture::Special(s, 1, 9, 7, 3);
    Start(s, 1);
    FillCoded(PipePic, 256, 512);
    FillCoded(SysPic, 256, 256);
    plat::Resize(screen_, kScreenWidth, kScreenHeight);
  }
  // Black masks make a masked copy show its picture exactly.
  void BlackMask(int x, int y, int w, int h) { plat::FillBlack(SysPic, x, y, w, h); }

  plat::Surface screen_;
};

TEST_F(PlayDraw, CellPictureFollowsOwnerRouteAndWater) {
  auto put = [](int x, int chip, int owner, int onPath, int passes) {
    Board[x][3] = puzzle::ChipTable[chip];
    Board[x][3].Owner = owner, Board[x][3].OnPath = onPath, Board[x][3].PassCount = passes;
  };
  put(2, 19, 0, 0, 0);
  put(3, 19, 1, 0, 0);
  put(4, 19, 1, -1, 0);
  put(5, 5, 0, -1, 0);  // a drain on the route is never lit
  put(6, 23, 0, 0, 1);
  plat::FillRect(screen_, 0, 0, kScreenWidth, kScreenHeight, 0x123456);
  for (int x = 2; x <= 6; ++x) DrawCell(screen_, x, 3);
  const int y = 48 + 96;
  EXPECT_EQ(From(screen_, 96 + 64, y), PipeCell(19));
  EXPECT_EQ(From(screen_, 96 + 96, y), PipeCell(48 + 19));
  EXPECT_EQ(From(screen_, 96 + 128, y), PipeCell(48 + 19 + 24));
  EXPECT_EQ(From(screen_, 96 + 160, y), PipeCell(5));
  // Water has entered: the water picture already in the layer stays.
  EXPECT_EQ(plat::GetPixel(screen_, 96 + 192 + 5, y), 0x123456u);
  // Positions off the board draw nothing and read nothing.
  DrawCell(screen_, -1, 0);
  DrawCell(screen_, 11, 9);
}

TEST_F(PlayDraw, FrameMarksWrapsAndDrawsBothPanels) {
  puzzle::WrapColumn[3] = -1;
  puzzle::WrapRow[6] = -1;
  DrawBoardFrame(screen_);
  // Above and below wrapping column 3 and plain column 4, left and right of
  // wrapping row 6 and plain row 5; the bottom-right corner.
  const int wx = 96 + 32 * 3, px = wx + 32, wy = 48 + 32 * 6, py = wy - 32;
  const int at[][4] = {{wx, 32, 64, 32},  {wx, 304, 64, 48},  {px, 32, 32, 32},
                       {px, 304, 32, 48}, {80, wy, 128, 32},  {416, wy, 144, 32},
                       {80, py, 96, 32},  {416, py, 112, 32}, {431, 319, 31, 63}};
  for (const auto& a : at)
    EXPECT_EQ(From(screen_, a[0], a[1]), std::pair(a[2], a[3])) << a[0] << "," << a[1];
  // Both side panels with one player: queue tiles, NEXT plates, boxes, plates.
  for (int x0 : {8, 440}) {
    EXPECT_EQ(From(screen_, x0 + 16, 48 + 128), PipeCell(40)) << x0;
    EXPECT_EQ(From(screen_, x0, 208), std::make_pair(176, 0)) << x0;
    EXPECT_EQ(From(screen_, x0 + 63, 319), std::make_pair(63, 175)) << x0;
    EXPECT_EQ(From(screen_, x0 + 48, 32), std::make_pair(16, 32)) << x0;
  }
  EXPECT_EQ(From(screen_, 8, 320), std::make_pair(64, 112));
  EXPECT_EQ(From(screen_, 440, 320), std::make_pair(64, 144));
  DrawTimeGaugeFrame(screen_);
  EXPECT_EQ(From(screen_, 96, 320), std::make_pair(160, 32));
  EXPECT_EQ(From(screen_, 383, 351), std::make_pair(223, 63));
  EXPECT_EQ(From(screen_, 415, 320), std::make_pair(255, 32));
}

TEST_F(PlayDraw, BackgroundLightsTheRouteAheadOfTheWater) {
  Board[1][0] = puzzle::ChipTable[17];
  Board[2][0] = puzzle::ChipTable[17];
  BuildStageBackground(FirstMap);
  EXPECT_EQ(From(FirstMap, 96 + 32, 48), PipeCell(17 + 24));
  EXPECT_EQ(From(FirstMap, 96 + 64, 48), PipeCell(17 + 24));
  EXPECT_EQ(From(FirstMap, 96, 48), PipeCell(1));  // the source itself
  EXPECT_EQ(Players[0].Ahead, 2);
  // Everything left of and under the board is cleared first.
  EXPECT_EQ(plat::GetPixel(FirstMap, 300, 10), 0u);
}

TEST_F(PlayDraw, QueuesAndCursorsOnlyForPlayersInTheGame) {
  BlackMask(32, 0, 32, 32);
  Players[0].QueueIndex = 3;
  const uint8_t q0[6] = {17, 18, 19, 20, 21, 22};
  std::copy(q0, q0 + 6, Players[0].Queue);
  const uint8_t q1[6] = {23, 24, 25, 26, 27, 28};
  std::copy(q1, q1 + 6, Players[1].Queue);
  Players[0].CursorX = 2, Players[0].CursorY = 1;
  Players[1].CursorX = 7, Players[1].CursorY = 6;
  DrawNextQueues(screen_);
  DrawCursors(screen_);
  // The current piece stands just above the NEXT plate, the rest above it
  // (read in the middle of each slot, away from its shaded edges and frame).
  EXPECT_EQ(From(screen_, 24 + 16, 176 + 16), Inside(20));
  EXPECT_EQ(From(screen_, 24 + 16, 144 + 16), Inside(21));
  EXPECT_EQ(From(screen_, 24 + 16, 48 + 16), Inside(19));
  EXPECT_EQ(From(screen_, 96 + 64, 48 + 32), std::make_pair(64, 0));
  EXPECT_EQ(plat::GetPixel(screen_, 456, 176), 0u);
  EXPECT_EQ(plat::GetPixel(screen_, 96 + 224, 48 + 192), 0u);

  game::PlayerCount = 2;
  DrawNextQueues(screen_);
  DrawCursors(screen_);
  EXPECT_EQ(From(screen_, 456 + 16, 176 + 16), Inside(23 + 48));
  EXPECT_EQ(From(screen_, 456 + 16, 48 + 16), Inside(27 + 48));
  EXPECT_EQ(From(screen_, 96 + 224 + 31, 48 + 192 + 31), std::make_pair(127, 31));
}

int Brightness(uint32_t c) { return ((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF); }

// A world where every piece is a straight up-down pipe on a plain floor,
// with the pipe's drop shadow beside it.
constexpr uint32_t kFloor = 0x60A048, kPipe = 0xE04020;
constexpr int kPipeLeft = 11, kPipeRight = 21, kShadowX = 22;
void PlainWorld(plat::Surface& pipes) {
  plat::Resize(pipes, 256, 512);
  plat::FillRect(pipes, 0, 0, 256, 512, kFloor);
  const uint32_t shadow = 0x3B6330;  // the floor at 0.62
  for (int n : {17, 17 + 48}) {
    const auto [x0, y0] = PipeCell(n);
    plat::FillRect(pipes, x0 + kPipeLeft, y0, kPipeRight - kPipeLeft, 32, kPipe);
    plat::FillRect(pipes, x0 + kShadowX, y0, 2, 32, shadow);
  }
}

TEST_F(PlayDraw, QueuedPiecesStandApartAndTheNextOneIsFramed) {
  PlainWorld(PipePic);
  game::PlayerCount = 2;
  for (auto& pl : Players) std::fill(pl.Queue, pl.Queue + 6, uint8_t{17});
  plat::FillRect(screen_, 0, 0, kScreenWidth, kScreenHeight, 0x123456);
  DrawNextQueues(screen_);
  for (int qx : {24, 456}) {
    for (int i = 0; i < 5; ++i) {
      const int y = 48 + 32 * (4 - i) + 16;
      // The piece keeps its colour in the middle of every slot; the floor is
      // dimmed, shadow included, except under the piece laid next.
      EXPECT_EQ(plat::GetPixel(screen_, qx + 16, y), kPipe) << qx << " slot " << i;
      for (int x : {4, kShadowX}) {
        const uint32_t c = plat::GetPixel(screen_, qx + x, y);
        if (i == 0)
          EXPECT_EQ(c, plat::GetPixel(PipePic, 32 + x, 64 + 16)) << qx << " x " << x;
        else
          EXPECT_LT(Brightness(c), Brightness(kFloor) * 2 / 3) << qx << " slot " << i << " x " << x;
      }
    }
    // Between two slots the pipe is cut: a dark row in each, the shelf between.
    for (int top = 48 + 32; top < 176; top += 32) {
      EXPECT_LT(Brightness(plat::GetPixel(screen_, qx + 16, top)), Brightness(kPipe) / 8) << top;
      EXPECT_LT(Brightness(plat::GetPixel(screen_, qx + 16, top - 2)), Brightness(kPipe) / 3);
      EXPECT_NE(plat::GetPixel(screen_, qx + 16, top - 1), kPipe) << top;
      EXPECT_EQ(plat::GetPixel(screen_, qx + 4, top - 1),
                plat::GetPixel(screen_, qx + 16, top - 1));
    }
    // The next piece's frame runs round the whole slot, brighter than the
    // pipe and the floor.
    const uint32_t frame = plat::GetPixel(screen_, qx, 176);
    EXPECT_GT(Brightness(frame), Brightness(kFloor) + 150);
    for (int k = 0; k < 32; ++k) {
      EXPECT_EQ(plat::GetPixel(screen_, qx + k, 176), frame) << k;
      EXPECT_EQ(plat::GetPixel(screen_, qx + k, 207), frame) << k;
      EXPECT_EQ(plat::GetPixel(screen_, qx, 176 + k), frame) << k;
      EXPECT_EQ(plat::GetPixel(screen_, qx + 31, 176 + k), frame) << k;
    }
    // Nothing outside the column is touched.
    EXPECT_EQ(plat::GetPixel(screen_, qx - 1, 100), 0x123456u);
    EXPECT_EQ(plat::GetPixel(screen_, qx + 32, 100), 0x123456u);
    EXPECT_EQ(plat::GetPixel(screen_, qx + 16, 47), 0x123456u);
    EXPECT_EQ(plat::GetPixel(screen_, qx + 16, 208), 0x123456u);
  }
  // Drawn at the surface's edge, a slot clips.
  plat::Surface small;
  plat::Resize(small, 20, 20);
  DrawQueueSlot(small, 4, -10, true);
  DrawQueueSlot(small, -12, 8, false);
}

// A slot shades the same picture by a copy of its last shading: what it
// shows must still follow the piece laid into it and the world's sheet.
TEST_F(PlayDraw, QueuedSlotsFollowTheirPiecesAndTheSheet) {
  PlainWorld(PipePic);
  auto column = [&] {
    std::vector<uint32_t> c;
    for (int y = 48; y < 208; ++y)
      for (int x = 24; x < 56; ++x) c.push_back(plat::GetPixel(screen_, x, y));
    return c;
  };
  auto queue = [&](uint8_t piece) {
    std::fill(Players[0].Queue, Players[0].Queue + 6, piece);
    plat::FillRect(screen_, 0, 0, kScreenWidth, kScreenHeight, 0x123456);
    DrawNextQueues(screen_);
    return column();
  };
  const std::vector<uint32_t> straights = queue(17), crosses = queue(20);
  EXPECT_NE(straights, crosses);
  EXPECT_EQ(queue(17), straights);
  EXPECT_EQ(queue(20), crosses);
  // The same piece on a sheet whose bare floor (picture 40) is another
  // colour: the piece's own floor no longer counts as floor, so it is no
  // longer dimmed, though the slot is given the same picture as before.
  plat::FillRect(PipePic, 0, 160, 32, 32, 0x2040E0);
  const std::vector<uint32_t> undimmed = queue(17);
  EXPECT_NE(undimmed, straights);
  EXPECT_EQ(undimmed[5 * 32 + 4], kFloor);  // the top slot, row 5, x 4
  PlainWorld(PipePic);
  EXPECT_EQ(queue(17), straights);
}

// On every world's own sheet a queued piece's outline stands out from the
// floor of its slot with at least half the contrast it has on the board:
// the dimmed slot floor must not swallow the iron world's dark pipes.
TEST_F(PlayDraw, QueuedPiecesKeepTheirContrastOnEveryWorld) {
  auto band = [](const plat::Surface& s, int x0, int y0, int from, int to) {
    int sum = 0, n = 0;
    for (int x = from; x <= to; ++x)
      for (int y = 8; y < 24; ++y, ++n) sum += Brightness(plat::GetPixel(s, x0 + x, y0 + y));
    return sum / n;
  };
  // The larger of the rim's and the wall's difference from the floor.
  auto contrast = [&](const plat::Surface& s, int x0, int y0) {
    const int floor = band(s, x0, y0, 1, 3);
    return std::max(std::abs(band(s, x0, y0, 6, 6) - floor),
                    std::abs(band(s, x0, y0, 7, 10) - floor));
  };
  constexpr int kStraight = 18;  // upright
  for (int world = 0; world < 5; ++world) {
    LoadSheet(PipePic, "pipe" + std::to_string(world) + ".bmp");
    std::fill(Players[0].Queue, Players[0].Queue + 6, uint8_t{kStraight});
    DrawNextQueues(screen_);
    const int board = contrast(PipePic, (kStraight % 8) * 32, (kStraight / 8) * 32);
    EXPECT_GE(2 * contrast(screen_, 24, 48 + 32 * 2), board) << "world " << world;
  }
}

// Sound 9 at the end of the delay, once a stage, is timed by the bonus
// course scenario.
TEST_F(PlayDraw, GaugeShrinksWithTheDelay) {
  plat::Surface bar;
  plat::Resize(bar, 512, 32);
  plat::FillRect(bar, 480, 11, 16, 10, 0x0000FF);
  WaterPic = bar;
  auto width = [&](int32_t progress) {
    plat::Resize(screen_, kScreenWidth, kScreenHeight);
    Water.Progress = progress;
    DrawTimeGauge(screen_);
    int n = 0;
    for (int x = 0; x < kScreenWidth; ++x) n += plat::GetPixel(screen_, x, 331) != 0;
    EXPECT_EQ(plat::GetPixel(screen_, 127, 331), 0u);
    return n;
  };
  Water.StartProgress = 320 + 600;
  EXPECT_EQ(width(920), 256);
  EXPECT_EQ(width(620), 128);
  EXPECT_EQ(width(320), 0);
  EXPECT_EQ(width(200), 0);
  // Halves go to the even width; no delay at all draws no bar.
  EXPECT_EQ(TimeGaugeWidth(321, 320 + 512), 0);
  EXPECT_EQ(TimeGaugeWidth(323, 320 + 512), 2);
  EXPECT_EQ(TimeGaugeWidth(325, 320 + 512), 2);
  EXPECT_EQ(TimeGaugeWidth(400, 320), 0);
}

TEST_F(PlayDraw, WaterHeadFillsFromFrameZeroToFifteen) {
  FillCoded(WaterPic, 512, 512);
  FillCoded(WaterPic2, 512, 512);
  for (uint32_t& c : WaterPic2.Pixels) c |= kSecondSheet;
  plat::Resize(WaterMaskPic, 512, 512);
  plat::Resize(WaterMaskPic2, 512, 512);
  Water.HeadX = 4, Water.HeadY = 2;
  const int cx = 96 + 128, cy = 48 + 64;
  auto frame = [&](int32_t progress, int32_t pattern) {
    plat::Resize(screen_, kScreenWidth, kScreenHeight);
    Water.Progress = progress;
    Water.Pattern = pattern;
    DrawWaterHead(screen_);
    return From(screen_, cx, cy);
  };
  EXPECT_EQ(frame(319, 3), std::make_pair(0, 96));
  EXPECT_EQ(frame(300, 3), std::make_pair(0, 96));
  EXPECT_EQ(frame(299, 3), std::make_pair(32, 96));
  EXPECT_EQ(frame(0, 11), std::make_pair(480, 352));
  EXPECT_EQ(frame(-40, 0), std::make_pair(480, 0));
  EXPECT_EQ(plat::GetPixel(screen_, cx, cy) & kSecondSheet, 0u);
  EXPECT_EQ(frame(160, 13), std::make_pair(32 * 7, 32));
  EXPECT_NE(plat::GetPixel(screen_, cx, cy) & kSecondSheet, 0u);
  frame(320, 0);
  EXPECT_EQ(plat::GetPixel(screen_, cx, cy), 0u);
}

TEST_F(PlayDraw, ReplacementBreaksThenDropsTheNewPieceIn) {
  BlackMask(128, 64, 128, 32);
  BlackMask(128, 16, 16, 8);
  game::PlayerCount = 2;
  Players[1].PendingX = 5, Players[1].PendingY = 4;
  Players[1].PendingChip = 21;
  const int cx = 96 + 160, cy = 48 + 128;
  auto draw = [&](int32_t wait) {
    plat::Resize(screen_, kScreenWidth, kScreenHeight);
    Players[1].Wait = wait;
    DrawReplaceEffects(screen_);
  };
  draw(38);
  EXPECT_EQ(From(screen_, cx, cy), std::make_pair(0, 64));
  EXPECT_EQ(From(screen_, cx + 8, cy - 8), std::make_pair(128, 8));
  draw(15);  // (38 - 15) / 8 = 2, lifted by 5
  EXPECT_EQ(From(screen_, cx, cy), std::make_pair(64, 64));
  EXPECT_EQ(From(screen_, cx + 8, cy - 13), std::make_pair(128, 8));
  draw(7);
  EXPECT_EQ(From(screen_, cx + 31, cy + 31), std::make_pair(127, 95));
  draw(6);
  for (uint32_t c : screen_.Pixels) ASSERT_EQ(c, 0u);
  EXPECT_EQ(Board[5][4].ChipNo, puzzle::CHIP_EMPTY);
  draw(0);
  puzzle::FinishReplacements();  // the drop-in completes it, and earns nothing
  EXPECT_EQ(std::tuple(+Board[5][4].ChipNo, +Board[5][4].Owner, +Players[1].PendingChip,
                       Players[1].Wait, Players[1].Score),
            std::tuple(21, 1, 0, puzzle::kLayWait, 0));
}

// The score line, against the texts it must show written out by hand.
class ScorePanel : public PlayDraw {
 protected:
  void SetUp() override {
    PlayDraw::SetUp();
    LoadSheet(FontPic, "font.bmp");
    GameFont.Define(FontPic, 16, 16);
    game::CourseNo = 1;
    game::SaveData.HiScore[0][1] = 5000;
    game::SaveData.HiScore[1][1] = 90000;
  }
  plat::Surface Expected(std::initializer_list<std::tuple<int, const char*, int>> texts) {
    plat::Surface s;
    plat::Resize(s, kScreenWidth, kScreenHeight);
    for (const auto& [x, text, color] : texts) {
      GameFont.FontColor(color);
      ShadowText(s, x, 8, text, 1);
    }
    return s;
  }
};

TEST_F(ScorePanel, NegativeScoreShowsAndStaysZero) {
  Players[0].Score = -120;
  Players[1].Score = 777;  // not in the game: neither drawn nor counted
  puzzle::SettleScores();
  DrawScorePanel(screen_);
  EXPECT_EQ(Players[0].Score, 0);
  EXPECT_EQ(game::TotalScore, 0);
  EXPECT_EQ(GameFont.FontColor(), 5);
  plat::Surface want =
      Expected({{16, "1P", 3}, {48, "      0", 5}, {184, "HI", 6}, {216, "   5000", 5}});
  EXPECT_TRUE(screen_.Pixels == want.Pixels);
}

TEST_F(ScorePanel, HiShowsTheTotalOnceItIsHigher) {
  game::PlayerCount = 2;
  Players[0].Score = 61000;
  Players[1].Score = 123456789;  // too wide: its last seven digits
  puzzle::SettleScores();
  DrawScorePanel(screen_);
  EXPECT_EQ(game::TotalScore, 61000 + 123456789);
  EXPECT_EQ(game::SaveData.HiScore[1][1], 90000);
  plat::Surface want = Expected({{16, "1P", 3},
                                 {48, "  61000", 5},
                                 {352, "2P", 4},
                                 {384, "3456789", 5},
                                 {184, "HI", 6},
                                 {216, "3517789", 5}});
  EXPECT_TRUE(screen_.Pixels == want.Pixels);
}

TEST_F(ScorePanel, PipeCountersShowTwoCharacters) {
  game::PlayerCount = 1;
  Players[0].Passed = 3, Players[0].Ahead = 4, Players[0].Required = 123;
  Players[1].Passed = 9;
  puzzle::DrawPipeCounters(screen_);
  plat::Surface want;
  plat::Resize(want, kScreenWidth, kScreenHeight);
  GameFont.FontColor(5);
  ShadowText(want, 24, 276, " 7", 1);
  ShadowText(want, 24, 304, "23", 1);
  EXPECT_TRUE(screen_.Pixels == want.Pixels);
  game::PlayerCount = 2;
  puzzle::DrawPipeCounters(screen_);
  ShadowText(want, 456, 276, " 9", 1);
  ShadowText(want, 456, 304, " 0", 1);
  EXPECT_TRUE(screen_.Pixels == want.Pixels);
}

TEST(StageSlide, RowsSlideTogetherFromBothSides) {
  plat::Surface s;
  FillCoded(s, 512, 352);
  const plat::Surface before = s;
  SlideRows(s, 0);
  EXPECT_EQ(From(s, 30, 1), std::make_pair(0, 1));  // odd rows from the right
  EXPECT_EQ(From(s, 0, 2), std::make_pair(30, 2));  // even rows from the left
  EXPECT_EQ(From(s, 5, 1), std::make_pair(5, 1));   // the vacated strip keeps its picture
  EXPECT_EQ(From(s, 500, 2), std::make_pair(500, 2));
  s = before;
  SlideRows(s, 30);
  EXPECT_TRUE(s.Pixels == before.Pixels);
}

}  // namespace
