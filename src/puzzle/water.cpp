// SPDX-License-Identifier: Zlib
#include "puzzle/water.h"

#include "audio/wavedef.h"
#include "puzzle/board.h"
#include "puzzle/players.h"
#include "puzzle/stage.h"
#include "render/mask.h"
#include "render/playdraw.h"
#include "render/surfaces.h"
#include "shell/gamestate.h"

namespace puzzle {

WaterState Water;

namespace {

constexpr int kSoundSpecialPipe = 8;
constexpr int32_t kHurryDelayStep = 8;  // delay frames skipped per hurried frame
constexpr int32_t kHurryFactor = 8;     // hurry makes each running step this much larger
constexpr int32_t kPopupFrames = 30;
// Longest possible route: every cell entered from every side, plus a warp.
constexpr int kRouteLimit = kPlayColumns * kPlayRows * 4 + 1;

void PayEveryPlayer(int32_t points) {
  for (int32_t p = 0; p < ActivePlayers(); p++) Players[p].Score += points;
}

plat::Surface& Screen() { return game::ScreenPic != nullptr ? *game::ScreenPic : render::Scr; }

// Which players a cell on the route counts for: special straights for
// everyone, a laid piece for its owner, system pieces for no one.
template <typename Action>
void ForCreditedPlayers(const ChipInfo& cell, Action act) {
  if (IsSpecialStraight(cell.ChipNo)) {
    for (int32_t p = 0; p < ActivePlayers(); p++) act(Players[p]);
  } else if (cell.ChipNo >= CHIP_BLOCK && cell.Owner >= 0 && cell.Owner < kPlayerSlots) {
    act(Players[cell.Owner]);
  }
}

bool HeadInPlayArea() {
  return Water.HeadX >= 0 && Water.HeadX < kPlayColumns && Water.HeadY >= 0 &&
         Water.HeadY < kPlayRows;
}

int32_t StraightPattern(int32_t dir) {
  const uint8_t chip = HeadInPlayArea() ? Board[Water.HeadX][Water.HeadY].ChipNo : CHIP_EMPTY;
  const bool vertical = dir == DirUp || dir == DirDown;
  const int fast = vertical ? CHIP_FAST_V : CHIP_FAST_H;
  const int slow = vertical ? CHIP_SLOW_V : CHIP_SLOW_H;
  static constexpr int32_t kFast[4] = {26, 24, 27, 25};
  static constexpr int32_t kSlow[4] = {22, 20, 23, 21};
  static constexpr int32_t kNormal[4] = {2, 0, 3, 1};
  if (chip == fast) return kFast[dir];
  if (chip == slow) return kSlow[dir];
  return kNormal[dir];
}

// The step with which Progress falls this frame. A stage whose speed
// would stop the water in a cell is refused when loaded; should one get
// here all the same, the water still creeps on rather than stand for ever.
int32_t RunningStep(int32_t weight, bool hurry) {
  const int32_t step = (hurry ? 2 * kHurryFactor : 2) * weight - FlowSpeedAdjust;
  return step < 1 ? 1 : step;
}

int32_t RunInCell() {
  const int32_t weight = Board[Water.HeadX][Water.HeadY].FlowWeight;
  const bool hurry = Water.Hurry != 0;
  Water.Progress -= RunningStep(weight, hurry);
  if (hurry) PayEveryPlayer(kHurryRunPoints);
  Water.Hurry = 0;
  return kWaterRunning;
}

int32_t RunDelay() {
  if (Water.Hurry != 0) {
    PayEveryPlayer(kHurryDelayPoints);
    Water.Progress -= kHurryDelayStep;
    Water.Hurry = 0;
  } else {
    Water.Progress--;
  }
  return kWaterRunning;
}

// The cell the water has just entered moves from the count ahead to the
// count passed, for the same players the route trace credited it to. The
// trace leaves the head cell out, so crediting on entry keeps every
// player's Passed + Ahead the same whenever the route is traced again.
void CreditEnteredCell() {
  const ChipInfo& cell = Board[Water.HeadX][Water.HeadY];
  ForCreditedPlayers(cell, [](PlayerInfo& pl) {
    pl.Passed++;
    pl.Ahead--;
  });
}

// Returns kWaterRunning when the water has entered the next cell.
int32_t FinishCell() {
  if (AtDrain()) return AllRequired() ? kWaterCleared : kWaterShort;
  Water.InDir = Water.OutDir;
  if (!Step(Water.HeadX, Water.HeadY, Water.OutDir)) return kWaterLeaked;
  Water.Pattern = WaterPattern(Water.InDir, Water.OutDir);
  render::DrawCell(render::FirstMap, Water.HeadX, Water.HeadY);
  ChipInfo& cell = Board[Water.HeadX][Water.HeadY];
  cell.Fixed = -1;
  cell.PassCount++;
  CreditEnteredCell();
  if (cell.ChipNo == CHIP_FAST_V || cell.ChipNo == CHIP_FAST_H)
    SpecialPipeBonus(Screen(), true, Water.HeadX, Water.HeadY);
  Water.Progress = kCellProgress;
  return kWaterRunning;
}

}  // namespace

void ResetWater() {
  const SpecialInfo& source = SpecialPos[kSpecialSource];
  Water.HeadX = source.X;
  Water.HeadY = source.Y;
  Water.InDir = DirBlocked;
  Water.OutDir = source.Dir;
  Water.Pattern = WaterPattern(Water.InDir, Water.OutDir);
  Water.Hurry = 0;
  Water.PopupTimer = 0;
  Water.Progress = StageStartProgress;
  Water.StartProgress = StageStartProgress;
}

int32_t StepWater() {
  if (Water.Progress > kCellProgress) return RunDelay();
  // After a leak the head may stand outside the board; the water is over.
  if (!HeadInPlayArea()) return kWaterLeaked;
  if (Water.Progress < 0) {
    const int32_t result = FinishCell();
    if (result != kWaterRunning) return result;
  }
  return RunInCell();
}

void TraceRoute(bool mark) {
  Players[0].Ahead = 0;
  Players[1].Ahead = 0;
  int32_t x = Water.HeadX;
  int32_t y = Water.HeadY;
  int32_t dir = Water.OutDir;
  // No route can run in a circle (no piece leads into a source or a warp
  // exit, and no two entries share an exit); the limit only makes sure.
  for (int n = 0; n < kRouteLimit && Step(x, y, dir); n++) {
    ChipInfo& cell = Board[x][y];
    cell.OnPath = mark ? -1 : 0;
    render::DrawCell(render::FirstMap, x, y);
    ForCreditedPlayers(cell, [](PlayerInfo& pl) { pl.Ahead++; });
  }
}

bool AtDrain() {
  const SpecialInfo& drain = SpecialPos[kSpecialDrain];
  return Water.HeadX == drain.X && Water.HeadY == drain.Y;
}

bool AllRequired() {
  for (int32_t p = 0; p < ActivePlayers(); p++) {
    const PlayerInfo& pl = Players[p];
    if (pl.Passed + pl.Ahead < pl.Required) return false;
  }
  return true;
}

int32_t WaterPattern(int32_t in, int32_t out) {
  static constexpr int32_t kFromStart[4] = {14, 12, 15, 13};
  static constexpr int32_t kIntoEnd[4] = {18, 16, 19, 17};
  // Turns by (in, out); -1 where in and out are straight or opposite.
  static constexpr int32_t kTurn[4][4] = {
      {-1, 7, -1, 8}, {10, -1, 9, -1}, {-1, 4, -1, 11}, {5, -1, 6, -1}};
  const bool inValid = in >= 0 && in <= 3;
  const bool outValid = out >= 0 && out <= 3;
  if ((in == DirBlocked || in == DirWarp) && outValid) return kFromStart[out];
  if (out < 0 && inValid) return kIntoEnd[in];
  if (!inValid || !outValid) return 0;
  if (in == out) return StraightPattern(in);
  return kTurn[in][out] < 0 ? 0 : kTurn[in][out];
}

void SpecialPipeBonus(plat::Surface& surface, bool show, int32_t x, int32_t y) {
  if (show) {
    PayEveryPlayer(kSpecialPipePoints);
    Water.PopupTimer = kPopupFrames;
    audio::PlayEffect(kSoundSpecialPipe);
    Water.PopupX = 32 * x + 96;
    Water.PopupY = 32 * y + 59;
  }
  if (Water.PopupTimer < 2) return;
  render::DrawMasked(surface, Water.PopupX, Water.PopupY + Water.PopupTimer / 2 - 15, 32, 10,
                     render::SysPic, 144, 0, render::SysPic, 144, 10);
  Water.PopupTimer--;
}

}  // namespace puzzle
