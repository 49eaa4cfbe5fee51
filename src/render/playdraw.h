// Drawing of the play screen: board frame, cells, water, cursors, queues,
// replacement effects, time gauge and the score line. Each routine draws
// on the surface it is given.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace render {

void BuildStageBackground(plat::Surface& surface);
void DrawBoardFrame(plat::Surface& surface);
void DrawAllCells(plat::Surface& surface);
void DrawCell(plat::Surface& surface, int32_t x, int32_t y);
void DrawTimeGaugeFrame(plat::Surface& surface);
void DrawTimeGauge(plat::Surface& surface);
void RestoreScreen(plat::Surface& surface);
void DrawCursors(plat::Surface& surface);
void DrawNextQueues(plat::Surface& surface);
void DrawWaterHead(plat::Surface& surface);
void DrawReplaceEffects(plat::Surface& surface);
void DrawScorePanel(plat::Surface& surface);

}  // namespace render
