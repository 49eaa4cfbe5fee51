// SPDX-License-Identifier: Zlib
// The game's icon: one small pixel-art picture (a toy-world cross piece with
// water in it). The window shows it, and the desktop's icon files are the
// same picture enlarged by whole numbers (tools/sheetgen writes them).
#pragma once

#include <cstdint>
#include <vector>

namespace plat {

// The picture is this many pixels square; 8 divides every desktop icon size
// (16, 24, 32, 48, 64, 128 and 256 px), so each is an exact enlargement.
constexpr int kAppIconSide = 8;
constexpr int kAppIconMaxScale = 64;

// The picture enlarged scale times (nearest neighbour): kAppIconSide * scale
// pixels square, row by row, as 0xAARRGGBB (alpha 0: see-through). Empty
// when scale is below 1 or above kAppIconMaxScale.
std::vector<uint32_t> AppIconPixels(int scale);

}  // namespace plat
