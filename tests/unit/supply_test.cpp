// SPDX-License-Identifier: Zlib
// The shared piece supply: what a stage's counts put in it, and the
// reshuffle after the hundredth draw.
#include "puzzle/supply.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>

#include "shell/random.h"

namespace {

using namespace puzzle;

std::map<int, int> CountKinds() {
  std::map<int, int> n;
  for (int i = 1; i <= kSupplySize; i++) n[Supply[i]]++;
  return n;
}

std::array<int32_t, kSupplySize> Order() {
  std::array<int32_t, kSupplySize> a{};
  std::copy(Supply + 1, Supply + kSupplySize + 1, a.begin());
  return a;
}

TEST(SupplyTest, GroupsAreSpreadEvenlyOverTheirKindsLowestFirst) {
  game::Randomize(7);
  const uint8_t counts[6] = {50, 50, 0, 0, 0, 0};
  BuildSupply(counts);
  const std::map<int, int> expected = {{17, 25}, {18, 25}, {19, 13}, {20, 13}, {21, 12}, {22, 12}};
  EXPECT_EQ(expected, CountKinds());

  const uint8_t mixed[6] = {5, 6, 7, 9, 33, 40};
  BuildSupply(mixed);
  const std::map<int, int> spread = {
      {17, 3}, {18, 2}, {19, 2}, {20, 2}, {21, 1}, {22, 1},  {23, 7},  {24, 3},  {25, 2}, {26, 2},
      {27, 2}, {28, 9}, {29, 8}, {30, 8}, {31, 8}, {32, 10}, {33, 10}, {34, 10}, {35, 10}};
  EXPECT_EQ(spread, CountKinds());
  EXPECT_EQ(1, SupplyIndex);
}

TEST(SupplyTest, BuildingShufflesTheGroupOrder) {
  game::Randomize(11);
  const uint8_t counts[6] = {50, 50, 0, 0, 0, 0};
  BuildSupply(counts);
  // Unshuffled, all straights would come before every elbow.
  int straightsInFirstHalf = 0;
  for (int i = 1; i <= 50; i++) straightsInFirstHalf += Supply[i] <= 18;
  EXPECT_LT(straightsInFirstHalf, 45);
  EXPECT_GT(straightsInFirstHalf, 5);
}

TEST(SupplyTest, DrawsRunThroughTheSupplyThenReshuffleAndStartAgain) {
  game::Randomize(3);
  const uint8_t counts[6] = {10, 20, 10, 20, 20, 20};
  BuildSupply(counts);
  const auto before = Order();
  const auto kinds = CountKinds();
  for (int i = 0; i < kSupplySize - 1; i++) EXPECT_EQ(before[i], NextPiece()) << i;
  EXPECT_EQ(kSupplySize, SupplyIndex);
  EXPECT_EQ(before[kSupplySize - 1], NextPiece());  // the hundredth
  EXPECT_EQ(1, SupplyIndex);
  const auto after = Order();
  EXPECT_NE(before, after);        // shuffled again at once
  EXPECT_EQ(kinds, CountKinds());  // the same pieces
  EXPECT_EQ(after[0], NextPiece());
  EXPECT_EQ(2, SupplyIndex);
}

TEST(SupplyTest, CountsThatMissOrPassAHundredReuseTheOtherSlots) {
  int32_t supply[kSupplySize + 1];
  std::fill(supply, supply + kSupplySize + 1, 99);
  const uint8_t few[6] = {0, 0, 3, 0, 0, 0};
  FillSupply(few, supply);
  EXPECT_EQ(23, supply[3]);
  EXPECT_EQ(99, supply[4]);  // never written: keeps what it held

  const uint8_t many[6] = {100, 4, 0, 0, 0, 0};
  FillSupply(many, supply);
  // The elbows go round to the first slots again.
  EXPECT_EQ(19, supply[1]);
  EXPECT_EQ(22, supply[4]);
  EXPECT_EQ(17, supply[5]);
  EXPECT_EQ(18, supply[100]);
}

}  // namespace
