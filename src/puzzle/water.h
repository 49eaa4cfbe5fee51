// SPDX-License-Identifier: Zlib
// The water: the start delay, the run through the pipes cell by cell, the
// hurry button, the special-pipe bonus and the route trace ahead of the
// water that counts each player's pieces.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace puzzle {

// Progress above this is the start delay; from here down to 0 the water
// fills the head cell.
constexpr int32_t kCellProgress = 320;

// What StepWater returns.
constexpr int32_t kWaterRunning = 0;
constexpr int32_t kWaterCleared = 1;
constexpr int32_t kWaterLeaked = 2;
constexpr int32_t kWaterShort = 3;

// Points for hurrying during the delay and while the water runs, and for
// water entering a fast special straight.
constexpr int32_t kHurryDelayPoints = 50;
constexpr int32_t kHurryRunPoints = 20;
constexpr int32_t kSpecialPipePoints = 1000;

struct WaterState {
  int32_t HeadX;  // the cell the water is running in
  int32_t HeadY;
  int32_t InDir;          // entry direction; -1 in the source, -2 after a warp
  int32_t OutDir;         // leaving direction; -3 drain, -2 warp entrance, -1 refused
  int32_t Progress;       // counts down: > 320 delay, 320..0 running, < 0 done
  int32_t StartProgress;  // Progress at stage set-up, for the delay gauge
  int32_t Pattern;        // water picture 0..27 of the head cell
  int16_t Hurry;          // hurry held this frame (0 / -1)
  int32_t PopupTimer;     // special-pipe bonus label: frames left
  int32_t PopupX;         // and its screen position
  int32_t PopupY;
};

extern WaterState Water;

// Start of every attempt, after stage set-up: the water waits in the source.
void ResetWater();

// Once per frame: kWaterRunning, kWaterCleared, kWaterLeaked or kWaterShort.
int32_t StepWater();

// Walks the route ahead of the water, setting OnPath to mark on its cells
// and redrawing them, and recounts every player's Ahead.
void TraceRoute(bool mark);

bool AtDrain();
// Every player's Passed + Ahead reaches Required.
bool AllRequired();

// Water picture for entry direction in and exit direction out, looked up
// with the head cell already moved.
int32_t WaterPattern(int32_t in, int32_t out);

// With show, pays the bonus and starts the label at cell (x, y); every
// call draws the rising label while it lasts.
void SpecialPipeBonus(plat::Surface& surface, bool show, int32_t x, int32_t y);

}  // namespace puzzle
