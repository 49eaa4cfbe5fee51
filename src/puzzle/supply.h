// SPDX-License-Identifier: Zlib
// The shared, shuffled supply of 100 pieces the players draw from.
#pragma once

#include <cstdint>

#include "puzzle/stagerecord.h"

namespace puzzle {

extern int32_t Supply[kSupplySize + 1];  // slots 1..100; slot 0 is unused
extern int32_t SupplyIndex;              // next slot to draw, 1..100

// Fills the supply from the stage's six group counts and shuffles it.
void BuildSupply(const uint8_t counts[6]);
void ShuffleSupply();
// Draws the next piece; after the hundredth the supply is shuffled again.
int32_t NextPiece();

}  // namespace puzzle
