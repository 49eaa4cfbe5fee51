// SPDX-License-Identifier: Zlib
// The playing field: the board of cells, the table of piece kinds every
// cell is copied from, the directions, the four special positions of a
// stage, the wrap-around flags and the neighbour rule the water follows.
#pragma once

#include <cstdint>

namespace puzzle {

// Directions of travel, and the exit values a cell can give instead.
constexpr int32_t DirUp = 0;
constexpr int32_t DirRight = 1;
constexpr int32_t DirDown = 2;
constexpr int32_t DirLeft = 3;
constexpr int32_t DirBlocked = -1;  // the water cannot go on (a leak)
constexpr int32_t DirWarp = -2;     // the water entered the warp entrance
constexpr int32_t DirGoal = -3;     // the water entered the drain

// Piece kinds. The system families are 4 x family + direction.
constexpr int CHIP_SOURCE = 0;     // + outlet direction
constexpr int CHIP_DRAIN = 4;      // + side of the opening
constexpr int CHIP_WARP_IN = 8;    // + side of the opening
constexpr int CHIP_WARP_OUT = 12;  // + direction the water leaves in
constexpr int CHIP_BLOCK = 16;
constexpr int CHIP_FIRST_PIECE = 17;  // first kind a player lays
constexpr int CHIP_CROSS = 23;
constexpr int CHIP_LAST_PIECE = 35;  // last kind a player lays
constexpr int CHIP_FAST_V = 36;      // special straights, fixed in the stage
constexpr int CHIP_FAST_H = 37;
constexpr int CHIP_SLOW_V = 38;
constexpr int CHIP_SLOW_H = 39;
constexpr int CHIP_EMPTY = 40;
constexpr int kChipKinds = 65;

// The board has one spare column and row that take no part in play.
constexpr int kBoardColumns = 11;
constexpr int kBoardRows = 9;
constexpr int kPlayColumns = 10;
constexpr int kPlayRows = 8;

// One piece kind, and one cell of the board (a cell is a copy of a kind
// with a few fields changed in play). Booleans are 0 false, -1 true.
struct ChipInfo {
  int16_t Fixed;       // nothing may be laid here
  int16_t OnPath;      // on the traced route ahead of the water
  int16_t System;      // source, drain, warp entrance or exit
  int32_t PassCount;   // times the water has entered
  int32_t Owner;       // player who laid it
  int32_t Exit[4];     // leaving direction for each travel direction in
  int32_t FlowWeight;  // 1 slow, 2 normal, 4 fast
  uint8_t ChipNo;
};

// The four special positions: 0 source, 1 drain, 2 warp entrance, 3 exit.
struct SpecialInfo {
  int32_t X;
  int32_t Y;
  int32_t Dir;
  int32_t Link;  // own index + 1 when linked; only the entrance's is read
};
constexpr int kSpecialSource = 0;
constexpr int kSpecialDrain = 1;
constexpr int kSpecialWarpIn = 2;
constexpr int kSpecialWarpOut = 3;

extern ChipInfo ChipTable[kChipKinds];
extern ChipInfo Board[kBoardColumns][kBoardRows];  // Board[x][y]
extern SpecialInfo SpecialPos[4];
extern int16_t WrapRow[kPlayRows];
extern int16_t WrapColumn[kPlayColumns];

// Fills the piece table; called once at start-up.
void InitChipTable();

// Moves (x, y) one cell in direction dir, wrapping where the row or
// column allows. False when the water would leave the play area; x or y
// then holds -1 or the width / height.
bool MoveOneCell(int32_t& x, int32_t& y, int32_t dir);

// Moves the water one cell along the pipes (see board.cpp).
bool Step(int32_t& x, int32_t& y, int32_t& dir);

// True for kinds a player can lay or replace (pre-laid pieces included).
inline bool IsLaidPiece(int chip) { return chip >= CHIP_FIRST_PIECE && chip <= CHIP_LAST_PIECE; }
inline bool IsSpecialStraight(int chip) { return chip >= CHIP_FAST_V && chip <= CHIP_SLOW_H; }
inline int32_t Opposite(int32_t dir) { return (dir + 2) % 4; }

}  // namespace puzzle
