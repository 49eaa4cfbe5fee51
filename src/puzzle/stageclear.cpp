// SPDX-License-Identifier: Zlib
#include "puzzle/stageclear.h"

#include <algorithm>

#include "audio/midi.h"
#include "audio/wavedef.h"
#include "puzzle/playstage.h"
#include "puzzle/stage.h"
#include "render/font.h"
#include "render/playdraw.h"
#include "render/screen.h"
#include "render/surfaces.h"
#include "shell/gamestate.h"
#include "shell/timer.h"
#include "shell/window.h"

namespace puzzle {

namespace {

constexpr int32_t kFrameMs = 17;
constexpr int32_t kBreakFrames = 32;
constexpr int32_t kBonusLineSound = 3;
constexpr int32_t kBonusLineFrames = 60;
constexpr int32_t kLineX = 32;
constexpr int32_t kFirstLineY = 96;
constexpr int32_t kLineStep = 32;

// Looked up afresh after every event pump: the display-mode key swaps it.
plat::Surface& Screen() { return *game::ScreenPic; }

void PauseFrames(int32_t frames) {
  for (int32_t i = 0; i < frames; ++i) {
    game::DoEvents();
    game::WaitFrame(kFrameMs);
  }
}

// The last picture of play again, but with no cursor frame over the route.
void RedrawWithoutCursors(plat::Surface& screen) {
  render::RestoreScreen(screen);
  DrawQueuesAndCounters(screen);  // the gauge is empty once the drain is reached
}

void Congratulate() {
  audio::StopMusic();
  plat::Surface& screen = Screen();
  SettleScores();
  RedrawWithoutCursors(screen);
  render::TextBand(screen, 160, 112, "WELL DONE !!");
  render::GameFont.FontColor(4);
  render::OutlineText(screen, 160, 112, "WELL DONE !!", 0);
  game::ShowScreen();
  PauseFrames(180);
}

// The piece breaks as a replaced one does, and its owner pays for it. The
// sound scheme is ticked on these frames: left still, it would refuse every
// break sound after the first as a restart of the same effect.
void BreakUnusedPiece(int32_t x, int32_t y) {
  const int32_t owner = std::clamp(Board[x][y].Owner, 0, kPlayerSlots - 1);
  Players[owner].Score += kUnusedPiecePoints;
  audio::PlayEffect(CurrentStage.PipeSet + 10);
  const int32_t cx = render::kBoardLeft + render::kCellSize * x;
  const int32_t cy = render::kBoardTop + render::kCellSize * y;
  for (int32_t t = kBreakFrames; t >= 1; --t) {
    plat::Surface& screen = Screen();
    render::RestoreScreen(screen);
    FinishReplacements();
    SettleScores();
    ClearOverlay(screen);
    render::DrawBreakEffect(screen, cx, cy, (32 - t) / 8, owner, (32 - t) / 4);
    game::ShowScreen();
    audio::EffectTick();
    game::WaitFrame(kFrameMs);
    Board[x][y].ChipNo = CHIP_EMPTY;
    render::DrawCell(render::FirstMap, x, y);
  }
}

void ShowDarkenedBoard() {
  plat::Surface& screen = Screen();
  render::RestoreScreen(screen);
  FinishReplacements();
  SettleScores();
  ClearOverlay(screen);
  game::ShowScreen();
  Darken(screen);
  game::ShowScreen();
  render::DrawScorePanel(screen);
  render::GameFont.FontColor(2);
  render::ShadowText(screen, 128, 64, "BONUS INSPECTION", 1);
  game::ShowScreen();
  PauseFrames(120);
}

// One paid bonus: the line, its sound and the score line with the new score.
void ShowBonusLine(const std::string& text, int32_t& y) {
  plat::Surface& screen = Screen();
  render::TextBand(screen, kLineX, y, text);
  render::GameFont.FontColor(5);
  render::ShadowText(screen, kLineX, y, text, 1);
  audio::PlayEffect(kBonusLineSound);
  render::ClearRect(screen, 0, 0, screen.Width, 32);
  SettleScores();
  render::DrawScorePanel(screen);
  game::ShowScreen();
  for (int32_t i = 0; i < kBonusLineFrames; ++i) {
    audio::EffectTick();
    game::WaitFrame(kFrameMs);
  }
  y += kLineStep;
}

// Black closes in from both sides, as fast as the screen can be shown.
void CloseCurtain() {
  for (int32_t i = 0; i <= Screen().Width / 2; ++i) {
    game::DoEvents();
    plat::Surface& screen = Screen();
    const int32_t w = screen.Width;
    const int32_t h = screen.Height;
    render::ClearRect(screen, 0, 0, i, h);
    render::ClearRect(screen, w - i, 0, w, h);
    SettleScores();
    render::DrawScorePanel(screen);
    game::ShowScreen();
  }
}

}  // namespace

void StartTally(InspectionTally& tally) {
  std::fill(std::begin(tally.Intersect), std::end(tally.Intersect), 0);
  tally.Exhaustive = -1;
}

bool InspectCell(const ChipInfo& cell, InspectionTally& tally) {
  if (cell.Fixed == 0) {
    tally.Exhaustive = 0;
    return cell.ChipNo != CHIP_EMPTY;
  }
  if (cell.ChipNo == CHIP_CROSS) {
    if (cell.PassCount == 2 && cell.Owner >= 0 && cell.Owner < kPlayerSlots)
      tally.Intersect[cell.Owner] += 1;
  } else if ((cell.ChipNo >= CHIP_WARP_IN && cell.ChipNo < CHIP_BLOCK) ||
             IsSpecialStraight(cell.ChipNo)) {
    if (cell.PassCount == 0) tally.Exhaustive = 0;
  }
  return false;
}

int32_t IntersectBonus(int32_t n) { return n < 1 ? 0 : 500 * n * (n + 1); }

int32_t LongRangeBonus(const PlayerInfo& player) {
  const int32_t extra = player.Passed + player.Ahead - player.Required;
  return extra > 0 ? 500 * extra : 0;
}

std::string ExhaustiveLine() {
  return "EXHAUSTIVE BONUS      " + render::RightAligned(kExhaustiveBonus, 6);
}

std::string IntersectLine(int32_t p, int32_t bonus) {
  return "INTERSECT BONUS(" + std::to_string(p + 1) + "P)   " + render::RightAligned(bonus, 6);
}

std::string LongRangeLine(int32_t p, int32_t bonus) {
  return "LONG RANGE BONUS(" + std::to_string(p + 1) + "P)   " + render::RightAligned(bonus, 5);
}

void Darken(plat::Surface& surface) {
  for (uint32_t& c : surface.Pixels)
    if (c != 0) c = (c / 2) & 0x7F7F7F;
  plat::Changed(surface);
}

void InspectBoard(InspectionTally& tally) {
  for (int32_t y = 0; y < kPlayRows; ++y) {
    for (int32_t x = 0; x < kPlayColumns; ++x) {
      game::DoEvents();
      if (InspectCell(Board[x][y], tally)) BreakUnusedPiece(x, y);
    }
  }
}

// Pays the bonuses in order, one line each, or shows that there is none.
void PayBonuses(const InspectionTally& tally) {
  int32_t y = kFirstLineY;
  int32_t lines = 0;
  if (tally.Exhaustive != 0) {
    for (int32_t p = 0; p < ActivePlayers(); ++p) Players[p].Score += kExhaustiveBonus;
    ShowBonusLine(ExhaustiveLine(), y);
    ++lines;
  }
  for (int32_t p = 0; p < ActivePlayers(); ++p) {
    const int32_t b = IntersectBonus(tally.Intersect[p]);
    if (b <= 0) continue;
    Players[p].Score += b;
    ShowBonusLine(IntersectLine(p, b), y);
    ++lines;
  }
  for (int32_t p = 0; p < ActivePlayers(); ++p) {
    const int32_t b = LongRangeBonus(Players[p]);
    if (b <= 0) continue;
    Players[p].Score += b;
    ShowBonusLine(LongRangeLine(p, b), y);
    ++lines;
  }
  if (lines == 0) {
    plat::Surface& screen = Screen();
    render::TextBand(screen, 192, y, "NO BONUS");
    render::GameFont.FontColor(3);
    render::ShadowText(screen, 192, y, "NO BONUS", 1);
    SettleScores();
    render::DrawScorePanel(screen);
    game::ShowScreen();
  }
}

void BonusInspection() {
  Congratulate();
  InspectionTally tally;
  StartTally(tally);
  InspectBoard(tally);
  ShowDarkenedBoard();
  PayBonuses(tally);
  PauseFrames(300);
  CloseCurtain();
}

}  // namespace puzzle
