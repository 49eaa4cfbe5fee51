// SPDX-License-Identifier: Zlib
// The endless mode on the headless back end: scripted keys, the well set up
// by hand, and the sounds, music and saves read from the event log.
#include "endless/tokoton.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "audio/wavedef.h"
#include "endless/heylawmap.h"
#include "platform/headless/runner.h"
#include "play_fixture.h"
#include "render/font.h"
#include "render/sheets.h"
#include "render/surfaces.h"
#include "shell/gamestate.h"
#include "shell/savedata.h"
#include "shell/window.h"
#include "test_support.h"

namespace {

using namespace testing_support;
using tokoton::EndlessMap;
using tokoton::Piece;

// Chip characters: '.' empty, '1'..'7' pipes, caps ^ > v < (8..11).
constexpr char kChipChars[] = ".1234567^>v<";

// A Standard MIDI file that plays for exactly one second.
const unsigned char kOneSecondMidi[] = {
    'M',  'T',  'h',  'd',  0,    0,    0,    6,  0, 0, 0, 1, 0, 96,  // format 0, 96 ticks a beat
    'M',  'T',  'r',  'k',  0,    0,    0,    12,                     //
    0,    0xFF, 0x51, 3,    0x07, 0xA1, 0x20,                         // 120 beats a minute
    0x81, 0x40, 0xFF, 0x2F, 0};                                       // end after two beats

class Endless : public ::testing::Test {
 protected:
  // A fresh program folder with sounds and the tune, the game started as
  // the main module starts it, and a new endless game set up.
  void Start(const std::string& script = "") {
    root_ = TempFolder("endless");
    play_fixture::WriteEffects(root_ + "sound/");
    Make("sound/music");
    Make("data");
    std::ofstream(root_ + "sound/music/Cheerful Street.MID", std::ios::binary)
        .write(reinterpret_cast<const char*>(kOneSecondMidi), sizeof kOneSecondMidi);
    headless::Reset();
    std::string err;
    ASSERT_TRUE(headless::LoadScript(script, err)) << err;
    headless::Options o;
    o.Root = root_;
    o.EventsFile = root_ + "events.txt";
    ASSERT_TRUE(headless::Configure(o, err)) << err;
    game::Form1_Load();
    game::Form2_Load();
    game::LoadSaveData();
    render::LoadImages();
    // Whatever an earlier game left holding has run out.
    for (int i = 0; i < 50; ++i) audio::EffectTick();
    tokoton::InitEndless();
  }
  void TearDown() override { headless::Reset(); }

  void Make(const std::string& folder) { std::filesystem::create_directories(root_ + folder); }

  // Puts chips into the well from row firstRow down; '.' leaves a cell.
  void Fill(int firstRow, const std::vector<std::string>& rows) {
    for (size_t r = 0; r < rows.size(); ++r) {
      ASSERT_EQ(rows[r].size(), 7u);
      for (int x = 0; x < 7; ++x) {
        const char* c = std::strchr(kChipChars, rows[r][x]);
        ASSERT_NE(c, nullptr) << rows[r];
        if (*c != '.') EndlessMap->SetChipNo(x, firstRow + static_cast<int>(r), c - kChipChars);
      }
    }
  }

  std::string Column(int x) {
    std::string out;
    for (int y = 0; y <= 10; ++y) out += kChipChars[EndlessMap->GetChipNo(x, y)];
    return out;
  }
  std::string Row(int y) {
    std::string out;
    for (int x = 0; x <= 6; ++x) out += kChipChars[EndlessMap->GetChipNo(x, y)];
    return out;
  }
  // Column 3 filled with upright pipes from row `top` down.
  void FillMiddle(int top) {
    for (int y = top; y <= 10; ++y) EndlessMap->SetChipNo(3, y, 2);
  }

  // Plays n frames; false when the game ended on one of them.
  bool Frames(int n) {
    for (int i = 0; i < n; ++i)
      if (!tokoton::EndlessFrame()) return false;
    return true;
  }

  // The event log so far; the run ends here.
  std::vector<std::string> Events() { return Lines(FinishLoggedRun(root_ + "events.txt")); }

  static std::vector<std::string> Matching(const std::vector<std::string>& lines,
                                           const std::string& what) {
    std::vector<std::string> out;
    for (const std::string& l : lines)
      if (l.find(what) != std::string::npos) out.push_back(l);
    return out;
  }

  static void ExpectPiece(int first, int second) {
    EXPECT_EQ(Piece.CurPiece[0], first);
    EXPECT_EQ(Piece.CurPiece[1], second);
  }

  std::string root_;
};

// The 24 x 24 picture at (x, y) of the screen last shown is chip `no`.
::testing::AssertionResult ShowsChip(int x, int y, int no) {
  const plat::Surface& shown = headless::LastShown();
  const int sx = no < 8 ? 24 * no : 24 * (no - 8), sy = no < 8 ? 0 : 24;
  for (int dy = 0; dy < 24; ++dy)
    for (int dx = 0; dx < 24; ++dx)
      if (plat::GetPixel(shown, x + dx, y + dy) !=
          plat::GetPixel(render::PipePic, sx + dx, sy + dy))
        return ::testing::AssertionFailure() << "pixel (" << x + dx << ", " << y + dy << ")";
  return ::testing::AssertionSuccess();
}

// The piece under NEXT: its first chip below its second in the two-chip box,
// a one-chip piece in the middle of it, so that it never reads as a pair.
void ExpectNext(int first, int second) {
  if (second == endless::kEmptyChip) {
    EXPECT_TRUE(ShowsChip(404, 128, first));
    return;
  }
  EXPECT_TRUE(ShowsChip(404, 140, first));
  EXPECT_TRUE(ShowsChip(404, 116, second));
}

TEST_F(Endless, FirstPieceFallsFromTheMiddleRestsAndIsFixed) {
  Start();
  tokoton::StartEndlessGame();
  ExpectPiece(2, 2);
  EXPECT_EQ(std::tie(Piece.PieceX, Piece.PieceY, Piece.PieceRot), std::tuple(72, -24, 0));
  EXPECT_EQ(tokoton::PieceCount, 1);
  const int next0 = tokoton::EndlessNext[0], next1 = tokoton::EndlessNext[1];

  ASSERT_TRUE(Frames(1));
  // Column 3, first chip one row above the well, second chip two rows.
  EXPECT_TRUE(ShowsChip(172 + 72, 60 - 24, 2));
  EXPECT_TRUE(ShowsChip(172 + 72, 60 - 48, 2));
  ExpectNext(next0, next1);

  // 44 steps of 21 frames down to the floor: it lands on frame 923.
  ASSERT_TRUE(Frames(922));
  EXPECT_EQ(Piece.LockTimer, -1);
  ASSERT_TRUE(Frames(1));
  EXPECT_EQ(std::tie(Piece.PieceY, Piece.LockTimer), std::tuple(240, 30));
  // It rests 30 frames, held on its row, and is fixed on the next one.
  ASSERT_TRUE(Frames(30));
  EXPECT_EQ(std::tie(Piece.PieceY, Piece.LockTimer), std::tuple(240, 0));
  EXPECT_EQ(Column(3), "...........");
  ASSERT_TRUE(Frames(1));
  EXPECT_EQ(Column(3), ".........22");
  ExpectPiece(next0, next1);
  EXPECT_EQ(std::tie(Piece.PieceY, Piece.LockTimer), std::tuple(-24, -1));
  // The fixing frame pauses 11 frames more.
  EXPECT_EQ(headless::CurrentFrame(), 955 + 11);
  EXPECT_EQ(Matching(Events(), "sound 16"), std::vector<std::string>{"923 sound 16"});
  for (const auto& [first, second] : {std::pair(endless::kCapUp, endless::kEmptyChip),
                                      std::pair(endless::kCornerLeftUp, endless::kCross)}) {
    tokoton::EndlessNext[0] = first;
    tokoton::EndlessNext[1] = second;
    ASSERT_TRUE(Frames(1));
    ExpectNext(first, second);
  }
}

TEST_F(Endless, FallSpeedFollowsTheLevel) {
  // Frames per six-pixel step: the table's wait plus one. Level 10 is a
  // breather, slower than level 9.
  const std::pair<int, int> cases[] = {{1, 21},  {2, 19}, {8, 7}, {9, 4},
                                       {10, 16}, {15, 3}, {16, 1}};
  for (const auto& [level, frames] : cases) {
    Start();
    tokoton::EndlessLevel = level;
    tokoton::StartEndlessGame();
    std::vector<int> steps;
    for (int f = 1, y = Piece.PieceY; f <= 3 * frames + 1; y = Piece.PieceY, ++f) {
      ASSERT_TRUE(Frames(1));
      if (Piece.PieceY != y) steps.push_back(f);
    }
    ASSERT_GE(steps.size(), 3u) << "level " << level;
    EXPECT_EQ(steps[2] - steps[1], frames) << "level " << level;
    EXPECT_EQ(steps[1] - steps[0], frames) << "level " << level;
  }
}

TEST_F(Endless, HoldingDownFallsEveryFrameAndScoresOnlyWhileFalling) {
  // 43 falling frames pay 430; landing, resting and fixing pay nothing.
  Start("0 Down down\n");
  tokoton::StartEndlessGame();
  ASSERT_TRUE(Frames(75));
  EXPECT_EQ(Column(3), ".........22");
  EXPECT_EQ(tokoton::EndlessScore, 430);
  ASSERT_TRUE(Frames(1));  // the next piece falls and scores again
  EXPECT_EQ(tokoton::EndlessScore, 440);
}

TEST_F(Endless, AtTheWallOnlyAOneChipPieceTurnsBothWays) {
  // Against the left wall Z then X: counter-clockwise would put the second
  // chip of a two-chip piece in the wall, clockwise has room.
  const char* script = "0 Left tap\n2 Left tap\n4 Left tap\n6 Z tap\n8 X tap\n10 Left tap\n";
  Start(script);
  tokoton::StartEndlessGame();
  ASSERT_TRUE(Frames(7));
  EXPECT_EQ(Piece.PieceX, 0);
  EXPECT_EQ(Piece.PieceRot, 0);
  ExpectPiece(2, 2);
  ASSERT_TRUE(Frames(2));
  EXPECT_EQ(Piece.PieceRot, 1);
  ExpectPiece(5, 5);
  EXPECT_TRUE(ShowsChip(172 + 24, 60 - 24, 5));
  // A tick for each shift, a click for the turn made; nothing for the turn
  // refused or the push against the wall.
  ASSERT_TRUE(Frames(3));
  const std::vector<std::string> feedback = {"0 sound 17", "2 sound 17", "4 sound 17",
                                             "8 sound 18"};
  EXPECT_EQ(Matching(Events(), " sound 1"), feedback);

  Start(script);
  tokoton::EndlessNext[0] = endless::kCornerRightDown;
  tokoton::EndlessNext[1] = 0;
  tokoton::StartEndlessGame();
  ASSERT_TRUE(Frames(7));
  EXPECT_EQ(Piece.PieceRot, 3);
  ExpectPiece(1, 0);
  ASSERT_TRUE(Frames(2));
  EXPECT_EQ(Piece.PieceRot, 0);
  ExpectPiece(3, 0);
  EXPECT_EQ(Matching(Events(), " sound 18"),
            (std::vector<std::string>{"6 sound 18", "8 sound 18"}));
}

TEST_F(Endless, TurnIsRefusedAgainstChipsWhileResting) {
  Start("0 Down down\n50 Z tap\n52 X tap\n");
  Fill(10, {"..2.2.."});
  tokoton::StartEndlessGame();
  ASSERT_TRUE(Frames(51));
  EXPECT_EQ(Piece.LockTimer, 30 - 7);
  EXPECT_EQ(Piece.PieceRot, 0);
  ASSERT_TRUE(Frames(2));
  EXPECT_EQ(Piece.PieceRot, 0);
  ExpectPiece(2, 2);
  ASSERT_TRUE(Frames(75 - 53));
  EXPECT_EQ(Row(9), "...2...");
  EXPECT_EQ(Row(10), "..222..");
}

TEST_F(Endless, TurnAndShiftInTheFixingFrameNeverOverwriteAChip) {
  // A shift in the fixing frame is ignored: the piece is fixed where it
  // rested. A turn there that would put the second chip on the chip at
  // (2, 10) is taken back too.
  for (const char* keys : {"74 Right tap\n", "74 Right tap\n74 Z tap\n"}) {
    Start(std::string("0 Down down\n") + keys);
    Fill(10, {"..2...."});
    tokoton::StartEndlessGame();
    ASSERT_TRUE(Frames(74));
    EXPECT_EQ(Piece.LockTimer, 0);
    ASSERT_TRUE(Frames(1));
    EXPECT_EQ(Row(9), "...2...") << keys;
    EXPECT_EQ(Row(10), "..22...") << keys;
    EXPECT_EQ(Piece.PieceX, 72);  // the new piece starts in the middle
  }
}

TEST_F(Endless, PieceTouchingGroundAboveTheWellEndsTheGameAtOnce) {
  Start();
  FillMiddle(1);
  tokoton::StartEndlessGame();
  // The first chip reaches row 0 on the fourth step; the second is above.
  ASSERT_TRUE(Frames(83));
  EXPECT_FALSE(tokoton::EndlessFrame());
  EXPECT_EQ(Piece.PieceY, 0);
  EXPECT_EQ(Column(3), ".2222222222");  // nothing was fixed
  EXPECT_EQ(Matching(Events(), "sound 16"), std::vector<std::string>{"83 sound 16"});

  // With row 0 full too, the very first frame ends the game.
  Start();
  FillMiddle(0);
  tokoton::StartEndlessGame();
  EXPECT_FALSE(tokoton::EndlessFrame());
  EXPECT_EQ(Matching(Events(), "sound 16"), std::vector<std::string>{"0 sound 16"});
}

TEST_F(Endless, PieceTurnedOutOfTheWellWhileRestingEndsTheGame) {
  // Landed lying in row 0 and turned upright while resting, the piece
  // sticks out above the well: that ends the game instead of losing a chip.
  Start("0 X tap\n0 Down down\n10 Z tap\n");
  FillMiddle(1);
  for (int y = 1; y <= 10; ++y) EndlessMap->SetChipNo(4, y, 2);
  tokoton::StartEndlessGame();
  ASSERT_TRUE(Frames(4));
  EXPECT_EQ(std::tie(Piece.PieceY, Piece.LockTimer), std::tuple(0, 30));
  ASSERT_TRUE(Frames(7));
  EXPECT_EQ(Piece.PieceRot, 0);
  ExpectPiece(2, 2);
  ASSERT_TRUE(Frames(34 - 11));
  EXPECT_EQ(Piece.LockTimer, 0);
  EXPECT_FALSE(tokoton::EndlessFrame());
  EXPECT_EQ(Row(0), ".......");
}

TEST_F(Endless, EveryFiftiethPieceIsAnEndCapAnnouncedBySound4) {
  Start();
  int current[2] = {0, 0};
  int dealt[7] = {};
  for (int n = 1; n <= 7000; ++n) {
    audio::EffectTick();  // one tick a piece: each cap's sound has long ended
    const int before[2] = {tokoton::EndlessNext[0], tokoton::EndlessNext[1]};
    tokoton::TakeNextPiece(current, tokoton::EndlessNext);
    EXPECT_EQ(current[0], before[0]);
    EXPECT_EQ(current[1], before[1]);
    EXPECT_EQ(tokoton::PieceCount, n);
    const int first = tokoton::EndlessNext[0], second = tokoton::EndlessNext[1];
    if (n % 50 == 0) {
      ASSERT_EQ(first, endless::kCapUp) << n;
      ASSERT_EQ(second, 0) << n;
      continue;
    }
    const int pieces[7][2] = {{1, 2}, {4, 2}, {7, 0}, {2, 0}, {7, 6}, {7, 3}, {3, 0}};
    int r = 0;
    while (r < 7 && (pieces[r][0] != first || pieces[r][1] != second)) ++r;
    ASSERT_LT(r, 7) << first << "," << second;
    ++dealt[r];
  }
  // 6860 ordinary pieces, about 980 of each.
  for (int r = 0; r < 7; ++r) {
    EXPECT_GT(dealt[r], 880) << r;
    EXPECT_LT(dealt[r], 1080) << r;
  }
  EXPECT_EQ(Matching(Events(), "sound 4").size(), 140u);
}

TEST_F(Endless, EndCapFacingNothingClearsItselfWithoutPointsOrAnimation) {
  Start("0 Down down\n");
  tokoton::PieceCount = 48;
  tokoton::StartEndlessGame();  // the 49th piece goes under NEXT, the 50th on frame 74
  int guard = 0;
  while (Piece.CurPiece[0] != endless::kCapUp && guard++ < 200) ASSERT_TRUE(Frames(1));
  ExpectPiece(endless::kCapUp, 0);
  const std::string stack = Column(3);
  while (Piece.CurPiece[0] == endless::kCapUp && guard++ < 400) {
    const int score = tokoton::EndlessScore;
    ASSERT_TRUE(Frames(1));
    if (Piece.CurPiece[0] != endless::kCapUp) {
      EXPECT_EQ(tokoton::EndlessScore, score);
    }
  }
  EXPECT_EQ(Column(3), stack);  // the cap is gone, nothing else moved
  EXPECT_EQ(tokoton::EndlessBlocks, 0);
  const auto events = Events();
  EXPECT_EQ(Matching(events, "sound 4"), std::vector<std::string>{"74 sound 4"});
  EXPECT_TRUE(Matching(events, "sound 14").empty());
}

// A ring round the whole well, rows 1 to 10, open at (3, 1) and (4, 1); the
// first piece, laid flat, closes it. Columns 3 and 4 are propped up.
const std::vector<std::string> kBigRing = {"355..56", "2..22.2", "2..22.2", "2..22.2", "2..22.2",
                                           "2..22.2", "2..22.2", "2..22.2", "2..22.2", "1555554"};

TEST_F(Endless, LevelRisesOnceMoreThanThirtyCellsAreClearedUpToSixteen) {
  struct Case {
    bool cap;  // a cap with one pipe in front: the 31st cell
    int level, blocks, levelAfter, levelBlocks;
    const char* rise;
  };
  for (const Case& c : {Case{true, 1, 31, 2, 1, "125 sound 8"}, Case{false, 1, 30, 1, 30, nullptr},
                        Case{true, 16, 31, 16, 1, "125 sound 8"}}) {
    Start("0 X tap\n0 Down down\n");
    Fill(1, kBigRing);
    if (c.cap) Fill(9, {".>5...."});
    tokoton::EndlessLevel = c.level;
    tokoton::StartEndlessGame();
    ASSERT_TRUE(Frames(39));
    EXPECT_EQ(tokoton::EndlessBlocks, c.blocks);
    EXPECT_EQ(tokoton::EndlessScore, 70 + 100 * c.blocks);
    EXPECT_EQ(tokoton::EndlessLevel, c.levelAfter);
    EXPECT_EQ(tokoton::LevelBlocks, c.levelBlocks);
    // The props dropped one row; the rest of the well is empty.
    EXPECT_EQ(Row(2), ".......");
    EXPECT_EQ(Row(3), "...22..");
    EXPECT_EQ(Column(0), "...........");
    // Landing, the flashing removal, then after it and the pause the rise.
    const auto events = Events();
    EXPECT_EQ(Matching(events, "sound 16"), std::vector<std::string>{"7 sound 16"});
    EXPECT_EQ(Matching(events, "sound 14"), std::vector<std::string>{"38 sound 14"});
    EXPECT_EQ(Matching(events, "sound 8"),
              c.rise ? std::vector<std::string>{c.rise} : std::vector<std::string>{});
  }
}

TEST_F(Endless, ChainedCircuitScoresWithTheSquareOfThePass) {
  // A single corner closes a ring of four; its removal drops column 4 by two
  // rows and closes a figure of eight through the cross at (5, 7).
  Start("0 Down down\n");
  Fill(5, {"....3..", "....136", ".....74", ".....4.", "....6..", "...14.."});
  tokoton::EndlessNext[0] = endless::kCornerRightDown;
  tokoton::EndlessNext[1] = 0;
  tokoton::StartEndlessGame();
  ASSERT_TRUE(Frames(70));
  EXPECT_EQ(tokoton::EndlessScore, 390);
  ASSERT_TRUE(Frames(1));
  EXPECT_EQ(std::tie(tokoton::EndlessScore, Piece.Chain, tokoton::EndlessBlocks),
            std::tuple(390 + 400 + 12800, 2, 4 + 8));
  for (int y = 0; y <= 10; ++y) EXPECT_EQ(Row(y), ".......") << y;
  const auto events = Events();
  EXPECT_EQ(Matching(events, "sound 14"),
            (std::vector<std::string>{"70 sound 14", "146 sound 14"}));
}

TEST_F(Endless, CircuitScore) {
  Start();
  // Passes one and two, and the cleared-cell counts, show in the chain and
  // level cases.
  EXPECT_EQ(tokoton::CircuitScore(2 * 256 + 24, 3), 9 * 9 * 24 * 100);
  // Far past the 32-bit range the points hold at the largest value.
  EXPECT_EQ(tokoton::CircuitScore(40 * 256 + 150, 20), 2147483647);
}

TEST_F(Endless, TurnsComeRoundAndUndoEachOther) {
  Start();
  for (int chip = 0; chip < 12; ++chip) {
    int piece[2] = {chip, 11 - chip};
    tokoton::RotatePieceChips(1, piece);
    const int turned = piece[0];
    tokoton::RotatePieceChips(-1, piece);
    EXPECT_EQ(piece[0], chip);
    EXPECT_EQ(piece[1], 11 - chip);
    for (int i = 0; i < 4; ++i) tokoton::RotatePieceChips(1, piece);
    EXPECT_EQ(piece[0], chip);
    // Only the empty chip and the cross look the same turned.
    EXPECT_EQ(turned == chip, chip == 0 || chip == 7) << chip;
  }
}

TEST_F(Endless, PanelHoldsItsNumbersInSevenCharacters) {
  Start();
  tokoton::EndlessScore = 12345678;
  tokoton::EndlessLevel = 1000;
  tokoton::EndlessBlocks = 100000;
  tokoton::EndlessHiScore = 500;
  tokoton::HoldEndlessCounters();
  EXPECT_EQ(std::tie(tokoton::EndlessScore, tokoton::EndlessLevel, tokoton::EndlessBlocks,
                     tokoton::EndlessHiScore),
            std::tuple(9999990, 999, 99999, 9999990));

  // The value right-aligned in its field: "   1234" at (40, 144) draws
  // exactly what the panel draws there.
  tokoton::EndlessScore = 1234;
  plat::FillBlack(*game::ScreenPic, 0, 0, 512, 352);
  tokoton::DrawEndlessPanel();
  plat::Surface expected;
  plat::Resize(expected, 512, 352);
  render::GameFont.FontColor(6);
  render::ShadowText(expected, 24, 128, "SCORE", 1);  // its shadow reaches row 145
  render::GameFont.FontColor(5);
  render::ShadowText(expected, 40, 144, "   1234", 1);
  bool any = false;
  for (int y = 144; y < 144 + 18; ++y) {
    for (int x = 40; x < 40 + 7 * 16 + 2; ++x) {
      ASSERT_EQ(plat::GetPixel(*game::ScreenPic, x, y), plat::GetPixel(expected, x, y))
          << x << "," << y;
      any = any || plat::GetPixel(expected, x, y) != 0;
    }
  }
  EXPECT_TRUE(any);
}

TEST_F(Endless, MusicStartsAgainWheneverItHasEnded) {
  Start();
  tokoton::StartEndlessGame();
  ASSERT_TRUE(Frames(150));
  // The tune lasts one second: 59 frames of 17 ms.
  EXPECT_EQ(Matching(Events(), "music-play"),
            (std::vector<std::string>{"1 music-play Cheerful Street.MID",
                                      "60 music-play Cheerful Street.MID",
                                      "119 music-play Cheerful Street.MID"}));
}

// Column 3 is filled to row 2: the first piece rests on it and the second
// lands above the well. A best is saved only when beaten, not when equalled.
TEST_F(Endless, GameOverSavesOnlyANewBest) {
  for (const int32_t best : {50, 70}) {
    Start("0 Down down\n");
    game::SaveData.HiScore[0][3] = best;
    tokoton::InitEndless();
    FillMiddle(2);
    tokoton::StartEndlessGame();
    ASSERT_TRUE(Frames(10));
    EXPECT_EQ(tokoton::EndlessHiScore, std::max(best, 70));  // shown at once
    while (tokoton::EndlessFrame()) {
    }
    const int64_t over = headless::CurrentFrame();
    tokoton::EndEndlessGame();
    EXPECT_EQ(tokoton::EndlessScore, 70);
    // The dissolve leaves the screen black.
    for (uint32_t p : game::ScreenPic->Pixels) ASSERT_EQ(p, 0u);
    const auto events = Events();
    EXPECT_EQ(Matching(events, "music-stop").back(), std::to_string(over) + " music-stop");
    game::SaveData.HiScore[0][3] = 0;
    game::LoadSaveData();
    if (best < 70) {
      // The game-over picture holds 300 frames before the save.
      EXPECT_EQ(Matching(events, " save"),
                std::vector<std::string>{std::to_string(over + 300) + " save"});
      EXPECT_EQ(game::SaveData.HiScore[0][3], 70);
    } else {
      EXPECT_TRUE(Matching(events, " save").empty());
      EXPECT_FALSE(plat::FileExists(root_ + "data/ductora.dat"));
    }
  }
}

}  // namespace
