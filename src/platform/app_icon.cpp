// SPDX-License-Identifier: Zlib
#include "platform/app_icon.h"

#include <cstddef>

namespace plat {

namespace {

// One letter a pixel: '.' see-through, g grass, o and r the lit and shaded
// pipe walls, b water, w a glint on the water.
constexpr const char* kRows[kAppIconSide] = {
    ".gobbrg.", "ggobbrgg", "ooobbooo", "bbbwbbbb", "bbbbbbbb", "rrrbbrrr", "ggobbrgg", ".gobbrg.",
};

uint32_t Colour(char letter) {
  switch (letter) {
    case 'g':
      return 0xFF3FA34Du;
    case 'o':
      return 0xFFF2B233u;
    case 'r':
      return 0xFFC0502Au;
    case 'b':
      return 0xFF2F8FEFu;
    case 'w':
      return 0xFFDDF4FFu;
    default:
      return 0;
  }
}

}  // namespace

std::vector<uint32_t> AppIconPixels(int scale) {
  if (scale < 1 || scale > kAppIconMaxScale) return {};
  const int side = kAppIconSide * scale;
  std::vector<uint32_t> pixels(static_cast<size_t>(side) * side);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x)
      pixels[static_cast<size_t>(y) * side + x] = Colour(kRows[y / scale][x / scale]);
  return pixels;
}

}  // namespace plat
