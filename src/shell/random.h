// SPDX-License-Identifier: Zlib
// The game's one random generator: uniform draws in [0, 1).
#pragma once

#include <cstdint>

namespace game {

void Randomize(uint32_t seed);
double Rnd();

// Where the generator stands: its last seed and the draws made since. A
// replay starts its game from the place the recorded game started from.
struct RandomPlace {
  uint32_t Seed = 0;
  uint64_t Draws = 0;
};
RandomPlace CurrentRandomPlace();
void RestoreRandomPlace(const RandomPlace& place);

// The seed a game reseeds with when it starts afresh (the endless mode):
// the platform's, unless a replay fixed it.
uint32_t GameSeed();
void FixGameSeed(bool fixed, uint32_t seed = 0);

}  // namespace game
