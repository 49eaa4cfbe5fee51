// SPDX-License-Identifier: Zlib
// Proves a stage clearable: a search for water routes from the source to
// the drain that the players could build with the stage's supply. Used by
// the stage compiler; it works on the board and the special positions.
#pragma once

#include <cstdint>

#include "puzzle/stagerecord.h"

namespace puzzle {

constexpr uint8_t kOffRoute = 255;

// One water route: the kinds it puts on the cells it uses.
struct RouteInfo {
  int32_t Cells;    // cells the water enters after the source, drain included
  int32_t Counted;  // pieces counted towards RequiredPipes (a cross twice)
  int32_t Laid;     // pieces the players must lay
  int32_t Frames;   // frames from the start until the water enters the drain
  uint8_t Map[80];  // kind on each route cell at x + 10 y, kOffRoute elsewhere
};

struct SolveResult {
  bool Found;      // a route that one player and two players can clear with
  bool Exhausted;  // every route was examined (so none exists when !Found)
  int64_t Nodes;   // search steps taken
  RouteInfo Shortest;
  RouteInfo Longest;
};

// Frames the water spends in a cell of flow weight w at the stage's speed.
int32_t FramesPerCell(const StageInfo& s, int32_t weight);

// Searches the (checked) stage within nodeLimit steps. The board, the
// special positions and the wrap flags are left holding the stage.
SolveResult SolveStage(const StageInfo& s, int64_t nodeLimit);

// The same search a slice at a time, for the editor: StartSolve copies the
// stage and sets the search up, each ContinueSolve takes up to steps more
// steps (true once the search is done, when SolveOutcome holds what
// SolveStage would return). The search keeps a board of its own, so the
// game's board, special positions and wraps are left as they were. A new
// StartSolve drops the search before it; StopSolve drops it for good.
void StartSolve(const StageInfo& s, int64_t nodeLimit);
bool ContinueSolve(int64_t steps);
void StopSolve();
bool SolveDone();
const SolveResult& SolveOutcome();
int64_t SolveNodes();

}  // namespace puzzle
