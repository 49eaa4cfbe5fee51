// SPDX-License-Identifier: Zlib
// The well of the endless mode: 7 columns by 11 rows of pipe chips between
// two walls and a floor. It answers where a falling piece may stand, keeps
// the fixed chips, finds closed circuits and the runs in front of end caps,
// flashes them, removes them and lets the chips above drop.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "render/sprite.h"

namespace endless {

constexpr int32_t kWellColumns = 7;
constexpr int32_t kWellRows = 11;
constexpr int32_t kChipSize = 24;  // pixels, both ways
constexpr int32_t kChipKinds = 12;

// Chip numbers.
constexpr int16_t kEmptyChip = 0;
constexpr int16_t kCornerUpRight = 1;
constexpr int16_t kVertical = 2;
constexpr int16_t kCornerRightDown = 3;
constexpr int16_t kCornerLeftUp = 4;
constexpr int16_t kHorizontal = 5;
constexpr int16_t kCornerDownLeft = 6;
constexpr int16_t kCross = 7;
constexpr int16_t kCapUp = 8;  // 8..11: end caps opening up, right, down, left
constexpr int16_t kCapRight = 9;
constexpr int16_t kCapDown = 10;
constexpr int16_t kCapLeft = 11;
constexpr int16_t kWallChip = -1;

// How a trace passes a chip: the direction of travel after it, by the
// direction of travel on entering (-1: cannot enter that way).
struct HeyLawChip {
  int16_t Exit[4];
  int32_t StartDir;  // where a trace starting on the chip sets off
};

// The chip table as a player knows it from the pictures: where a trace
// moving in direction dir into the chip leaves it (-1: it cannot enter),
// and where a trace starting on it sets off (-1: none). Chips outside
// 0..11 are entered by nothing.
int16_t ChipExit(int32_t no, int32_t dir);
int32_t ChipStartDir(int32_t no);

class HeyLawMap {
 public:
  // Defines the chip pictures on PipePic (which must hold the endless chip
  // sheet whenever the map is drawn) and empties the well.
  HeyLawMap();

  void SetDispPos(int32_t x, int32_t y);
  void InitMapData();
  void InitPassedInfo();
  // Fixes chip no (its low four bits) at a cell of the well; 0 for a cell
  // outside it, which is left alone.
  int16_t SetChipNo(int32_t x, int32_t y, int32_t no);
  // Copies the background onto the screen, then draws every chip on obj.
  void DrawMap(plat::Surface& obj);
  // One chip at a pixel position of the well; chip 0 draws nothing.
  void DrawChip(plat::Surface& obj, int32_t x, int32_t y, int32_t no);
  // Traces from a cell and marks the circuit or cap run found; returns
  // crossings * 256 + cell passes, or 0 when nothing closes. Without a
  // direction the chip's own start is used and a cross that does not close
  // upright is tried again across.
  int32_t CheckClosed(int32_t x, int32_t y);
  int32_t CheckClosed(int32_t x, int32_t y, int32_t toDir);
  // The chip of a cell, walls included (x -1..7, y -2..11).
  int16_t GetChipNo(int32_t x, int32_t y) const;
  // The marked cells blink for about two seconds.
  void CrashPassedPipe();
  // Removes the marked cells; the cells above each drop by the number
  // removed below them. True (-1) when anything was removed.
  int16_t CrashChip();
  // Marks every circuit and cap run of the well; the sum of CheckClosed.
  int32_t CheckAll();
  // Marks the cells right of a marked cell in each row and counts the chips
  // among them. The game does not use it.
  int32_t CheckInside();
  // Whether a chip whose top left corner is at well pixel (x, y) may stand
  // there: walls and chips block.
  int16_t QueryCanMove(int32_t x, int32_t y) const;

  int16_t GetPassedInfo(int32_t x, int32_t y) const;
  int32_t GetColumnTop(int32_t x) const;
  int32_t GetDispX() const { return DispX; }
  int32_t GetDispY() const { return DispY; }

 private:
  // Grid extent: x -1..7, y -2..11.
  static constexpr int32_t kGridLeft = -1;
  static constexpr int32_t kGridTop = -2;
  static constexpr int32_t kGridWidth = kWellColumns + 2;
  static constexpr int32_t kGridHeight = kWellRows + 3;

  int16_t TraceStep(int32_t& x, int32_t& y, int32_t& dir) const;
  int32_t TraceCircuit(int32_t x, int32_t y, int32_t dir, bool dirGiven);
  int16_t& Map(int32_t x, int32_t y) { return MapData[y - kGridTop][x - kGridLeft]; }
  int16_t Map(int32_t x, int32_t y) const { return MapData[y - kGridTop][x - kGridLeft]; }
  int16_t& Passed(int32_t x, int32_t y) { return PassedInfo[y - kGridTop][x - kGridLeft]; }
  static bool InGrid(int32_t x, int32_t y);
  static bool InWell(int32_t x, int32_t y);
  const HeyLawChip& Kind(int16_t no) const;

  int32_t DispX = 0;
  int32_t DispY = 0;
  int16_t MapData[kGridHeight][kGridWidth] = {};
  int16_t PassedInfo[kGridHeight][kGridWidth] = {};
  HeyLawChip HeyLawChips[kChipKinds] = {};
  render::SpriteObject ChipSprite[kChipKinds];
  int32_t ColumnTop[kWellColumns + 1] = {};
};

}  // namespace endless
