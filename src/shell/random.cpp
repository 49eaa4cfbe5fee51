// SPDX-License-Identifier: Zlib
#include "shell/random.h"

#include <random>

#include "platform/platform.h"

namespace game {

namespace {
// mt19937 gives the same sequence on every machine, so a seeded run of the
// headless runner repeats exactly.
std::mt19937 Generator(1);
RandomPlace Place = {1, 0};
bool SeedFixed = false;
uint32_t FixedSeed = 0;
}  // namespace

void Randomize(uint32_t seed) {
  Generator.seed(seed);
  Place = {seed, 0};
}

double Rnd() {
  ++Place.Draws;
  return Generator() / 4294967296.0;
}

RandomPlace CurrentRandomPlace() { return Place; }

void RestoreRandomPlace(const RandomPlace& place) {
  Randomize(place.Seed);
  Generator.discard(place.Draws);
  Place = place;
}

uint32_t GameSeed() { return SeedFixed ? FixedSeed : plat::RandomSeed(); }

void FixGameSeed(bool fixed, uint32_t seed) {
  SeedFixed = fixed;
  FixedSeed = seed;
}

}  // namespace game
