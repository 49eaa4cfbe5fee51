// SPDX-License-Identifier: Zlib
// The game's icon: every size is an exact enlargement of one picture, with
// see-through corners and an opaque, many-coloured middle.
#include "platform/app_icon.h"

#include <gtest/gtest.h>

#include <set>

namespace {

uint32_t At(const std::vector<uint32_t>& pixels, int side, int x, int y) {
  return pixels[static_cast<size_t>(y) * side + x];
}

TEST(AppIconTest, EverySizeIsAWholeNumberEnlargementOfThePicture) {
  const std::vector<uint32_t> base = plat::AppIconPixels(1);
  ASSERT_EQ(base.size(), static_cast<size_t>(plat::kAppIconSide * plat::kAppIconSide));
  for (int scale : {2, 3, 4, 6, 8, 16, 32}) {
    const int side = plat::kAppIconSide * scale;
    const std::vector<uint32_t> big = plat::AppIconPixels(scale);
    ASSERT_EQ(big.size(), static_cast<size_t>(side) * side) << "scale " << scale;
    int wrong = 0;
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x)
        wrong += At(big, side, x, y) != At(base, plat::kAppIconSide, x / scale, y / scale);
    EXPECT_EQ(wrong, 0) << "scale " << scale;
  }
}

TEST(AppIconTest, CornersSeeThroughMiddleOpaqueAndColourful) {
  const int side = plat::kAppIconSide;
  const std::vector<uint32_t> p = plat::AppIconPixels(1);
  for (int corner : {0, side - 1, side * (side - 1), side * side - 1})
    EXPECT_EQ(p[corner] >> 24, 0u) << "corner pixel " << corner;
  std::set<uint32_t> colours;
  for (uint32_t c : p) {
    EXPECT_TRUE(c >> 24 == 0 || c >> 24 == 0xFF) << std::hex << c;
    if (c >> 24 == 0xFF) colours.insert(c);
  }
  EXPECT_EQ(At(p, side, side / 2, side / 2) >> 24, 0xFFu);
  EXPECT_GE(colours.size(), 4u);
}

TEST(AppIconTest, ScalesOutsideTheRangeGiveNothing) {
  EXPECT_TRUE(plat::AppIconPixels(0).empty());
  EXPECT_TRUE(plat::AppIconPixels(-3).empty());
  EXPECT_TRUE(plat::AppIconPixels(plat::kAppIconMaxScale + 1).empty());
  EXPECT_EQ(plat::AppIconPixels(plat::kAppIconMaxScale).size(),
            static_cast<size_t>(plat::kAppIconSide * plat::kAppIconMaxScale) *
                (plat::kAppIconSide * plat::kAppIconMaxScale));
}

}  // namespace
