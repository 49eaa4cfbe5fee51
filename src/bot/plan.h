// SPDX-License-Identifier: Zlib
// The bot's route planning for stage play: from what a player sees (the
// board, the water, the queued pieces) it works out which cells the water
// will still run through and a route from there to the drain long enough
// for the requirement.
#pragma once

#include <cstdint>

#include "puzzle/board.h"

namespace bot {

constexpr int kMaxPlan = puzzle::kPlayColumns * puzzle::kPlayRows;
constexpr int kLaidKinds = puzzle::CHIP_LAST_PIECE - puzzle::CHIP_FIRST_PIECE + 1;

// A copy of the play area the planner may change to try a move out.
struct Grid {
  puzzle::ChipInfo Cell[puzzle::kPlayColumns][puzzle::kPlayRows];
};

// One cell of a route: where the water enters it (travel direction In) and
// where it leaves (Out). Act: a piece must still be laid here (Replace: the
// piece there must be broken first).
struct PlanCell {
  int8_t X, Y, In, Out;
  bool Act;
  bool Replace;
};

// Where the water's route stops being decided: the first cell ahead of the
// water that a player can still build on, entered in direction Dir.
struct Frontier {
  int32_t X = -1, Y = -1, Dir = -1;
  bool Open = false;      // there is such a cell
  bool Complete = false;  // the decided route already ends in the drain
  int32_t Counted = 0;    // special straights on the decided route ahead
  bool Used[puzzle::kPlayColumns][puzzle::kPlayRows] = {};
};

// The pipe each player still needs through their own pieces (special
// straights count for everyone, a piece already laid for its owner only).
struct Needs {
  int32_t Own[2] = {};
  int32_t Players = 1;
};

struct Plan {
  PlanCell Cells[kMaxPlan];
  int32_t Length = 0;   // cells from the frontier to the drain
  int32_t Counted = 0;  // of them, cells that count towards someone's need
  // Of each player's need, what the route's laid pieces and special
  // straights already give; the new pieces must bring the rest.
  int32_t Given[2] = {};
  double Cost = 0;       // expected effort; lower is better
  bool Reaches = false;  // ends in the drain with enough pipe
};

// How likely each laid kind is to come (weights of kinds 17..35), and
// the kinds in the queue now.
struct Expectation {
  double Weight[kLaidKinds] = {};
  int32_t Queued[5] = {};
  int32_t QueuedCount = 0;
};

// The board as it stands, with every replacement in progress shown as done.
void SnapshotBoard(Grid& g);

// Follows the water's decided route from its head through cells nobody can
// change any more (the head, special straights, system pieces, warps).
Frontier FindFrontier(const Grid& g);

// True when the piece kind lets water travelling in `in` leave by `out`.
bool KindFits(int32_t kind, int32_t in, int32_t out);

// A route from the frontier to the drain that meets every player's need,
// cheapest found within the search budget; none of its first
// noBreakBefore cells is a piece to break. salt varies the order of equal
// choices. Without a whole route: the start of one that gets nearest.
Plan MakePlan(const Grid& g, const Frontier& f, const Needs& need, int32_t noBreakBefore,
              const Expectation& e, uint32_t salt);

}  // namespace bot
