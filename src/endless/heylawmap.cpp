// SPDX-License-Identifier: Zlib
#include "endless/heylawmap.h"

#include <cstdio>
#include <cstring>

#include "audio/wavedef.h"
#include "endless/tokoton.h"
#include "puzzle/board.h"
#include "render/playdraw.h"
#include "render/surfaces.h"
#include "shell/gamestate.h"
#include "shell/timer.h"
#include "shell/window.h"

namespace endless {

namespace {

using puzzle::DirDown;
using puzzle::DirLeft;
using puzzle::DirRight;
using puzzle::DirUp;

constexpr int16_t B = -1;  // cannot enter that way

// Exits by entering direction (up, right, down, left) and start direction.
constexpr HeyLawChip kChipTable[kChipKinds] = {
    {{B, B, B, B}, -1},                            // 0 empty
    {{B, B, DirRight, DirUp}, DirRight},           // 1 corner up-right
    {{DirUp, B, DirDown, B}, DirUp},               // 2 vertical
    {{DirRight, B, B, DirDown}, DirRight},         // 3 corner right-down
    {{B, DirUp, DirLeft, B}, DirUp},               // 4 corner left-up
    {{B, DirRight, B, DirLeft}, DirRight},         // 5 horizontal
    {{DirLeft, DirDown, B, B}, DirDown},           // 6 corner down-left
    {{DirUp, DirRight, DirDown, DirLeft}, DirUp},  // 7 cross
    {{B, B, B, B}, DirUp},                         // 8 end cap up
    {{B, B, B, B}, DirRight},                      // 9 end cap right
    {{B, B, B, B}, DirDown},                       // 10 end cap down
    {{B, B, B, B}, DirLeft},                       // 11 end cap left
};

// A chip that nothing can enter and that starts no trace.
constexpr HeyLawChip kNoChip = {{B, B, B, B}, -1};

constexpr int32_t kBlinkFrames = 60;
constexpr int32_t kBlinkFrameMs = 34;
constexpr int32_t kSettleFrames = 16;
constexpr int kFlashEffect = 14;

// Pixel to cell, truncating toward zero as the game always has: the row
// just above the well counts as row 0 for a chip partly inside it.
int32_t CellOf(int32_t pixel) { return pixel / kChipSize; }

}  // namespace

int16_t ChipExit(int32_t no, int32_t dir) {
  if (no < 0 || no >= kChipKinds || dir < DirUp || dir > DirLeft) return B;
  return kChipTable[no].Exit[dir];
}

int32_t ChipStartDir(int32_t no) {
  return no >= 0 && no < kChipKinds ? kChipTable[no].StartDir : -1;
}

HeyLawMap::HeyLawMap() {
  for (int32_t i = 0; i < kChipKinds; ++i) {
    const int32_t left = i < kCapUp ? kChipSize * i : kChipSize * (i - kCapUp);
    const int32_t top = i < kCapUp ? 0 : kChipSize;
    ChipSprite[i].Define(render::PipePic, left, top, kChipSize, kChipSize, nullptr);
  }
  std::memcpy(HeyLawChips, kChipTable, sizeof HeyLawChips);
  InitMapData();
}

void HeyLawMap::SetDispPos(int32_t x, int32_t y) {
  DispX = x;
  DispY = y;
}

void HeyLawMap::InitMapData() {
  std::memset(MapData, 0, sizeof MapData);
  InitPassedInfo();
  for (int32_t y = kGridTop; y <= kWellRows; ++y) {
    Map(-1, y) = kWallChip;
    Map(kWellColumns, y) = kWallChip;
  }
  for (int32_t x = -1; x <= kWellColumns; ++x) Map(x, kWellRows) = kWallChip;
  for (int32_t x = 0; x < kWellColumns; ++x) ColumnTop[x] = kWellRows;
}

void HeyLawMap::InitPassedInfo() { std::memset(PassedInfo, 0, sizeof PassedInfo); }

int16_t HeyLawMap::SetChipNo(int32_t x, int32_t y, int32_t no) {
  if (!InWell(x, y)) return 0;
  Map(x, y) = static_cast<int16_t>(no & 15);
  if (y < ColumnTop[x]) ColumnTop[x] = y;
  return -1;
}

void HeyLawMap::DrawMap(plat::Surface& obj) {
  render::RestoreScreen(*game::ScreenPic);
  for (int32_t y = 0; y < kWellRows; ++y)
    for (int32_t x = 0; x < kWellColumns; ++x)
      DrawChip(obj, kChipSize * x, kChipSize * y, Map(x, y));
}

void HeyLawMap::DrawChip(plat::Surface& obj, int32_t x, int32_t y, int32_t no) {
  if (no == kEmptyChip) return;
  if (no < 0 || no >= kChipKinds) {
    std::fprintf(stderr, "ductora: HeyLawMap::DrawChip: chip %d is not a chip, ignored\n", no);
    return;
  }
  ChipSprite[no].Draw(obj, DispX + x, DispY + y, 1);
}

int32_t HeyLawMap::CheckClosed(int32_t x, int32_t y) { return TraceCircuit(x, y, -1, false); }

int32_t HeyLawMap::CheckClosed(int32_t x, int32_t y, int32_t toDir) {
  return TraceCircuit(x, y, toDir, true);
}

// A pipe chip leads every way in to exactly one way out, so a trace that is
// never blocked comes back to its start; one from an end cap never can and
// ends blocked. The loop therefore always ends.
int32_t HeyLawMap::TraceCircuit(int32_t x, int32_t y, int32_t dir, bool dirGiven) {
  if (!InWell(x, y)) {
    std::fprintf(
        stderr, "ductora: HeyLawMap::CheckClosed: cell (%d, %d) outside the well, ignored\n", x, y);
    return 0;
  }
  if (Passed(x, y) == -1) return 0;
  const int32_t sx = x, sy = y;
  const int16_t chip = Map(sx, sy);
  if (!dirGiven) dir = Kind(chip).StartDir;
  const int32_t startDir = dir;
  int16_t saved[kGridHeight][kGridWidth];
  std::memcpy(saved, PassedInfo, sizeof saved);
  int32_t count = 0, crossings = 0;
  for (;;) {
    game::DoEvents();
    if (TraceStep(x, y, dir) == 0) break;
    ++count;
    if (Passed(x, y) == -1 && Map(x, y) == kCross) ++crossings;
    Passed(x, y) = -1;
    // A cross at the start is passed once across before the trace comes
    // back to it in the direction it set off.
    if (x == sx && y == sy && (chip != kCross || dir == startDir)) return crossings * 256 + count;
  }
  if (chip >= kCapUp) {
    // The run in front of a cap goes, and the cap with it, however short.
    Passed(sx, sy) = -1;
    return crossings * 256 + count;
  }
  std::memcpy(PassedInfo, saved, sizeof saved);
  if (!dirGiven && chip == kCross) return TraceCircuit(sx, sy, DirRight, true);
  return 0;
}

int16_t HeyLawMap::GetChipNo(int32_t x, int32_t y) const {
  if (!InGrid(x, y)) {
    std::fprintf(stderr, "ductora: HeyLawMap::GetChipNo: cell (%d, %d) outside the map, ignored\n",
                 x, y);
    return kWallChip;
  }
  return Map(x, y);
}

void HeyLawMap::CrashPassedPipe() {
  audio::PlayEffect(kFlashEffect);
  for (int32_t frame = 0; frame < kBlinkFrames; ++frame) {
    game::DoEvents();
    render::RestoreScreen(*game::ScreenPic);
    tokoton::HoldEndlessCounters();
    tokoton::DrawEndlessPanel();
    for (int32_t y = 0; y < kWellRows; ++y) {
      for (int32_t x = 0; x < kWellColumns; ++x) {
        const bool hidden = Passed(x, y) != 0 && frame % 2 == 1;
        DrawChip(*game::ScreenPic, kChipSize * x, kChipSize * y, hidden ? 0 : Map(x, y));
      }
    }
    game::WaitFrame(kBlinkFrameMs);
    game::ShowScreen();
    audio::EffectTick();
  }
  audio::StopEffect(kFlashEffect);
  for (int32_t i = 0; i < kSettleFrames; ++i) {
    game::DoEvents();
    game::WaitFrame(17);
    audio::EffectTick();
  }
}

// Empty cells move down with the chips, so a chip that hung over a gap
// still hangs over it: nothing falls into a gap.
int16_t HeyLawMap::CrashChip() {
  int16_t changed = 0;
  for (int32_t x = 0; x < kWellColumns; ++x) {
    int16_t column[kWellRows] = {};
    int32_t ny = kWellRows - 1;
    for (int32_t y = kWellRows - 1; y >= 0; --y) {
      if (Passed(x, y) == 0) column[ny--] = Map(x, y);
    }
    const int32_t removed = ny + 1;
    if (removed > 0) {
      for (int32_t y = 0; y < kWellRows; ++y) Map(x, y) = column[y];
      ColumnTop[x] = removed;
      changed = -1;
    }
  }
  InitPassedInfo();
  return changed;
}

int32_t HeyLawMap::CheckAll() {
  InitPassedInfo();
  int32_t total = 0;
  for (int32_t x = 0; x < kWellColumns; ++x) {
    for (int32_t y = kWellRows - 1; y >= ColumnTop[x]; --y) total += CheckClosed(x, y);
  }
  return total;
}

int32_t HeyLawMap::CheckInside() {
  int32_t count = 0;
  for (int32_t y = 0; y < kWellRows; ++y) {
    int16_t flag = 0;
    for (int32_t x = 0; x < kWellColumns; ++x) {
      if (Passed(x, y) == -1) {
        flag = -1;
        continue;
      }
      if (Map(x, y) != kEmptyChip && flag == -1) ++count;
      Passed(x, y) = flag;
    }
  }
  return count;
}

int16_t HeyLawMap::QueryCanMove(int32_t x, int32_t y) const {
  const int32_t cx = CellOf(x), ya = CellOf(y), yb = CellOf(y + kChipSize - 1);
  if (!InGrid(cx, ya) || !InGrid(cx, yb)) {
    std::fprintf(stderr,
                 "ductora: HeyLawMap::QueryCanMove: position (%d, %d) outside the map, ignored\n",
                 x, y);
    return 0;
  }
  if (Map(cx, ya) != kEmptyChip) return 0;
  if (Map(cx, yb) != kEmptyChip) return 0;
  return -1;
}

int16_t HeyLawMap::GetPassedInfo(int32_t x, int32_t y) const {
  if (!InGrid(x, y)) return 0;
  return PassedInfo[y - kGridTop][x - kGridLeft];
}

int32_t HeyLawMap::GetColumnTop(int32_t x) const {
  return x >= 0 && x < kWellColumns ? ColumnTop[x] : kWellRows;
}

// One step of a trace: into the neighbour in direction dir, if the chip
// there can be entered that way. dir takes the new direction (also -1);
// x and y move only on success.
int16_t HeyLawMap::TraceStep(int32_t& x, int32_t& y, int32_t& dir) const {
  if (dir < DirUp || dir > DirLeft) return 0;
  static constexpr int32_t kDx[4] = {0, 1, 0, -1};
  static constexpr int32_t kDy[4] = {-1, 0, 1, 0};
  const int32_t nx = x + kDx[dir], ny = y + kDy[dir];
  if (!InWell(nx, ny)) return 0;
  dir = Kind(Map(nx, ny)).Exit[dir];
  if (dir == -1) return 0;
  x = nx;
  y = ny;
  return -1;
}

bool HeyLawMap::InGrid(int32_t x, int32_t y) {
  return x >= kGridLeft && x <= kWellColumns && y >= kGridTop && y <= kWellRows;
}

bool HeyLawMap::InWell(int32_t x, int32_t y) {
  return x >= 0 && x < kWellColumns && y >= 0 && y < kWellRows;
}

// SetChipNo keeps four bits, so a cell may hold 12..15; those are no chip
// any trace can use.
const HeyLawChip& HeyLawMap::Kind(int16_t no) const {
  return no >= 0 && no < kChipKinds ? HeyLawChips[no] : kNoChip;
}

}  // namespace endless
