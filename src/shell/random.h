// SPDX-License-Identifier: Zlib
// The game's one random generator: uniform draws in [0, 1).
#pragma once

#include <cstdint>

namespace game {

void Randomize(uint32_t seed);
double Rnd();

}  // namespace game
