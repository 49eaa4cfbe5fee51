// SPDX-License-Identifier: Zlib
#include "puzzle/supply.h"

#include <utility>

#include "shell/random.h"

namespace puzzle {

int32_t Supply[kSupplySize + 1];
int32_t SupplyIndex = 1;

void BuildSupply(const uint8_t counts[6]) {
  FillSupply(counts, Supply);
  SupplyIndex = 1;
  ShuffleSupply();
}

void ShuffleSupply() {
  for (int i = 1; i <= kSupplySize; i++) {
    int j = 1 + static_cast<int>(game::Rnd() * kSupplySize);
    // A generator that ever returned 1.0 must not reach past the array.
    if (j > kSupplySize) j = kSupplySize;
    std::swap(Supply[i], Supply[j]);
  }
}

int32_t NextPiece() {
  const int32_t chip = Supply[SupplyIndex];
  SupplyIndex++;
  if (SupplyIndex > kSupplySize) {
    SupplyIndex = 1;
    ShuffleSupply();
  }
  return chip;
}

}  // namespace puzzle
