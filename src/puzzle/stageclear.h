// SPDX-License-Identifier: Zlib
// The bonus inspection after a cleared stage: unused pieces are broken at
// a cost to their owners, then the exhaustive, intersect and long-range
// bonuses are paid one line at a time, and a curtain closes the screen.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "puzzle/board.h"
#include "puzzle/players.h"

namespace puzzle {

constexpr int32_t kUnusedPiecePoints = -50;
constexpr int32_t kExhaustiveBonus = 100000;

// What the walk over the board has found so far.
struct InspectionTally {
  int32_t Intersect[kPlayerSlots];  // crosses passed on both axes, per owner
  int16_t Exhaustive;               // every cell used (0 / -1)
};

void BonusInspection();

// Step by step, as BonusInspection runs them: the walk over the play area
// that breaks every unused piece, and the bonus lines (or "NO BONUS")
// over the darkened screen.
void InspectBoard(InspectionTally& tally);
void PayBonuses(const InspectionTally& tally);

// Starts a walk: no crosses counted, the board still counted as used up.
void StartTally(InspectionTally& tally);
// Looks at one cell: true when it holds a piece the water never used (the
// caller breaks it); otherwise counts a twice-passed cross, and clears the
// exhaustive flag for an unused cell, warp piece or special straight.
bool InspectCell(const ChipInfo& cell, InspectionTally& tally);

// 1000 x (1 + 2 + ... + n) for n crosses.
int32_t IntersectBonus(int32_t n);
// Pipe beyond the requirement: 500 per piece, 0 when there is none.
int32_t LongRangeBonus(const PlayerInfo& player);

// The bonus lines, 28 characters each with the amounts in one column.
std::string ExhaustiveLine();
std::string IntersectLine(int32_t p, int32_t bonus);
std::string LongRangeLine(int32_t p, int32_t bonus);

// Halves red, green and blue of every pixel that is not black.
void Darken(plat::Surface& surface);

}  // namespace puzzle
