// SPDX-License-Identifier: Zlib
#include "puzzle/board.h"

namespace puzzle {

ChipInfo ChipTable[kChipKinds];
ChipInfo Board[kBoardColumns][kBoardRows];
SpecialInfo SpecialPos[4];
int16_t WrapRow[kPlayRows];
int16_t WrapColumn[kPlayColumns];

namespace {

constexpr int16_t kTrue = -1;
constexpr int32_t B = DirBlocked;

// Kinds 16..40: fixed flag, exits for travel up, right, down, left, weight.
struct KindRow {
  int16_t Fixed;
  int32_t Exit[4];
  int32_t FlowWeight;
};
constexpr KindRow kKinds[] = {
    {kTrue, {B, B, B, B}, 0},                     // 16 block
    {0, {B, DirRight, B, DirLeft}, 2},            // 17 straight, left-right
    {0, {DirUp, B, DirDown, B}, 2},               // 18 straight, top-bottom
    {0, {DirRight, B, B, DirDown}, 2},            // 19 elbow, bottom-right
    {0, {DirLeft, DirDown, B, B}, 2},             // 20 elbow, bottom-left
    {0, {B, B, DirRight, DirUp}, 2},              // 21 elbow, top-right
    {0, {B, DirUp, DirLeft, B}, 2},               // 22 elbow, top-left
    {0, {DirUp, DirRight, DirDown, DirLeft}, 2},  // 23 cross
    {0, {B, B, B, DirLeft}, 2},                   // 24 one-way left
    {0, {B, B, DirDown, B}, 2},                   // 25 one-way down
    {0, {B, DirRight, B, B}, 2},                  // 26 one-way right
    {0, {DirUp, B, B, B}, 2},                     // 27 one-way up
    {0, {DirRight, B, B, B}, 2},                  // 28 in bottom, out right
    {0, {B, DirDown, B, B}, 2},                   // 29 in left, out bottom
    {0, {B, B, B, DirUp}, 2},                     // 30 in right, out top
    {0, {B, B, DirLeft, B}, 2},                   // 31 in top, out left
    {0, {B, B, B, DirDown}, 2},                   // 32 in right, out bottom
    {0, {DirLeft, B, B, B}, 2},                   // 33 in bottom, out left
    {0, {B, B, DirRight, B}, 2},                  // 34 in top, out right
    {0, {B, DirUp, B, B}, 2},                     // 35 in left, out top
    {kTrue, {DirUp, B, DirDown, B}, 4},           // 36 fast, top-bottom
    {kTrue, {B, DirRight, B, DirLeft}, 4},        // 37 fast, left-right
    {kTrue, {DirUp, B, DirDown, B}, 1},           // 38 slow, top-bottom
    {kTrue, {B, DirRight, B, DirLeft}, 1},        // 39 slow, left-right
    {0, {B, B, B, B}, 0},                         // 40 empty
};
static_assert(sizeof(kKinds) / sizeof(kKinds[0]) == CHIP_EMPTY - CHIP_BLOCK + 1);

}  // namespace

void InitChipTable() {
  for (ChipInfo& c : ChipTable) c = ChipInfo{};
  for (int n = 0; n < 16; n++) {
    ChipInfo& c = ChipTable[n];
    c.Fixed = kTrue;
    c.System = kTrue;
    for (int32_t& e : c.Exit) e = DirBlocked;
    c.FlowWeight = 2;
    c.ChipNo = static_cast<uint8_t>(n);
  }
  // A drain or warp entrance opening on side d takes water travelling the
  // opposite way.
  for (int d = 0; d < 4; d++) {
    ChipTable[CHIP_DRAIN + d].Exit[Opposite(d)] = DirGoal;
    ChipTable[CHIP_WARP_IN + d].Exit[Opposite(d)] = DirWarp;
  }
  for (int n = CHIP_BLOCK; n <= CHIP_EMPTY; n++) {
    const KindRow& k = kKinds[n - CHIP_BLOCK];
    ChipInfo& c = ChipTable[n];
    c.Fixed = k.Fixed;
    for (int d = 0; d < 4; d++) c.Exit[d] = k.Exit[d];
    c.FlowWeight = k.FlowWeight;
    c.ChipNo = static_cast<uint8_t>(n);
  }
}

bool MoveOneCell(int32_t& x, int32_t& y, int32_t dir) {
  static constexpr int32_t kDx[4] = {0, 1, 0, -1};
  static constexpr int32_t kDy[4] = {-1, 0, 1, 0};
  x += kDx[dir];
  y += kDy[dir];
  // y is still inside the play area when x leaves it, and the other way
  // round, so each flag lookup is in range.
  if (x < 0 || x >= kPlayColumns) {
    if (WrapRow[y] == 0) return false;
    x = (x + kPlayColumns) % kPlayColumns;
  }
  if (y < 0 || y >= kPlayRows) {
    if (WrapColumn[x] == 0) return false;
    y = (y + kPlayRows) % kPlayRows;
  }
  return true;
}

// On false the position tells where the water stopped: off the edge with
// the old direction, or on the refusing cell with dir -1.
bool Step(int32_t& x, int32_t& y, int32_t& dir) {
  if (dir == DirWarp) {
    const int32_t link = SpecialPos[kSpecialWarpIn].Link;
    // Checked stages always link a present exit; anything else stops the
    // water rather than sending it off the board.
    if (link < 0 || link > 3 || SpecialPos[link].X < 0) {
      dir = DirBlocked;
      return false;
    }
    const SpecialInfo& exit = SpecialPos[link];
    x = exit.X;
    y = exit.Y;
    dir = exit.Dir;
    return true;
  }
  if (dir < 0 || dir > 3) return false;
  if (!MoveOneCell(x, y, dir)) return false;
  dir = Board[x][y].Exit[dir];
  return dir != DirBlocked;
}

}  // namespace puzzle
