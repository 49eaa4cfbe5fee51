// SPDX-License-Identifier: Zlib
// Drawing of the play screen: board frame, cells, water, cursors, queues,
// replacement effects, time gauge and the score line. Each routine draws
// on the surface it is given.
//
// The play screen has two layers: FirstMap keeps the frame, the cells and
// the water as it has run so far; the screen is rebuilt from it every frame
// and the moving parts are drawn over it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace render {

// Cell (x, y) of the play area lies at (kBoardLeft + 32x, kBoardTop + 32y).
constexpr int32_t kBoardLeft = 96;
constexpr int32_t kBoardTop = 48;
constexpr int32_t kCellSize = 32;

// Left edge of player p's side panel and queue column.
inline int32_t PanelX(int32_t p) { return p == 0 ? 8 : 440; }
inline int32_t QueueX(int32_t p) { return PanelX(p) + 16; }

void BuildStageBackground(plat::Surface& surface);
void DrawBoardFrame(plat::Surface& surface);
// The frame round the play area alone, its wrap arrows read from the board.
void DrawPlayAreaFrame(plat::Surface& surface);
void DrawAllCells(plat::Surface& surface);
void DrawCell(plat::Surface& surface, int32_t x, int32_t y);
void DrawTimeGaugeFrame(plat::Surface& surface);
// The start-delay bar; plays sound 9 once when the water starts.
void DrawTimeGauge(plat::Surface& surface);
void RestoreScreen(plat::Surface& surface);
void DrawCursors(plat::Surface& surface);
void DrawNextQueues(plat::Surface& surface);
// Over a queued piece at (x0, y0): its floor dimmed, its top and bottom
// shaded off from the next slot, and a frame when it is the one laid next.
void DrawQueueSlot(plat::Surface& surface, int32_t x0, int32_t y0, bool next);
void DrawWaterHead(plat::Surface& surface);
// Breaking pieces with their labels; completes replacements that are due.
void DrawReplaceEffects(plat::Surface& surface);
void DrawScorePanel(plat::Surface& surface);

// The breaking piece at pixel (cx, cy): explosion frame f (0..3) and the
// -50 label of player p lifted by lift pixels.
void DrawBreakEffect(plat::Surface& surface, int32_t cx, int32_t cy, int32_t f, int32_t p,
                     int32_t lift);

// Width of the start-delay bar for the water's progress and start value.
int32_t TimeGaugeWidth(int32_t progress, int32_t startProgress);

}  // namespace render
