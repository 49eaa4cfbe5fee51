// SPDX-License-Identifier: Zlib
#include "shell/random.h"

#include <random>

namespace game {

namespace {
// mt19937 gives the same sequence on every machine, so a seeded run of the
// headless runner repeats exactly.
std::mt19937 Generator(1);
}  // namespace

void Randomize(uint32_t seed) { Generator.seed(seed); }

double Rnd() { return Generator() / 4294967296.0; }

}  // namespace game
