// SPDX-License-Identifier: Zlib
// Review picture of water running through pipes, built from the sheets as
// they are stored (after palette reduction).
#include "preview.h"

#include "draw.h"

namespace sheetgen {
namespace {

// One route per world: cell, piece number and water picture of each step.
struct Step {
  int X, Y, Chip, Pattern;
};
constexpr Step kRoute[] = {
    {0, 0, 1, 12},  {1, 0, 17, 0}, {2, 0, 23, 0}, {3, 0, 37, 24}, {4, 0, 20, 9}, {4, 1, 22, 11},
    {3, 1, 39, 21}, {2, 1, 19, 6}, {2, 2, 21, 4}, {3, 2, 26, 0},  {4, 2, 7, 16},
};
constexpr int kRouteLength = sizeof(kRoute) / sizeof(kRoute[0]);

// Pieces standing beside the route, unlit: player 2's, a block, an empty cell, warps.
constexpr int kBeside[][3] = {{6, 0, 65}, {7, 0, 16}, {6, 1, 91}, {7, 1, 40}, {6, 2, 8},
                              {7, 2, 14}, {5, 0, 0},  {5, 1, 47}, {5, 2, 105}};

void CopyCell(Canvas& dst, int dx, int dy, const Canvas& pipes, int picture) {
  Blit(dst, dx, dy, pipes, (picture % 8) * 32, (picture / 8) * 32, 32, 32, false);
}

// The game's masked copy: where the water picture is not black it replaces the
// picture below; everywhere else the picture below stays.
void DrawWater(Canvas& dst, int dx, int dy, const Canvas& water, int sx, int sy, int w, int h,
               int scale) {
  for (int y = 0; y < h * scale; ++y)
    for (int x = 0; x < w * scale; ++x) {
      uint32_t c = Pixel(water, sx + x / scale, sy + y / scale);
      uint32_t mask = c ? 0 : 0xFFFFFF;
      Plot(dst, dx + x, dy + y, (Pixel(dst, dx + x, dy + y) & mask) | c);
    }
}

void DrawRoute(Canvas& dst, int top, const PreviewSheets& s, int world) {
  const Canvas& pipes = s.Pipes[world];
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 8; ++x) CopyCell(dst, x * 32, top + y * 32, pipes, 40);
  int head = 3 + 2 * world;
  for (int i = 0; i < kRouteLength; ++i) {
    const Step& st = kRoute[i];
    bool system = st.Chip < 16;
    CopyCell(dst, st.X * 32, top + st.Y * 32, pipes, st.Chip + (i >= head && !system ? 24 : 0));
  }
  for (const auto& b : kBeside) CopyCell(dst, b[0] * 32, top + b[1] * 32, pipes, b[2]);
  for (int i = 0; i <= head && i < kRouteLength; ++i) {
    const Step& st = kRoute[i];
    int frame = i == head ? 7 : 15;
    const Canvas& water = st.Pattern < 12 ? s.Water1 : s.Water2;
    int row = st.Pattern < 12 ? st.Pattern : st.Pattern - 12;
    DrawWater(dst, st.X * 32, top + st.Y * 32, water, frame * 32, row * 32, 32, 32, 1);
  }
}

}  // namespace

Canvas ComposePreview(const PreviewSheets& s) {
  Canvas cv = MakeCanvas(256 + 8 + 160, 5 * 104, 0x202020);
  for (int world = 0; world < 5; ++world) DrawRoute(cv, world * 104, s, world);
  // The time gauge bar as the game stretches it, and the leak splash.
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 150; ++x)
      Plot(cv, 268 + x, 8 + y, Pixel(s.Water1, 480 + x * 16 / 150, 11 + y));
  CopyCell(cv, 268, 30, s.Pipes[0], 17);
  CopyCell(cv, 300, 30, s.Pipes[0], 17);
  CopyCell(cv, 332, 30, s.Pipes[0], 17);
  CopyCell(cv, 268, 62, s.Pipes[0], 40);
  CopyCell(cv, 300, 62, s.Pipes[0], 40);
  CopyCell(cv, 332, 62, s.Pipes[0], 40);
  DrawWater(cv, 268, 30, s.Water1, 0, 384, 80, 80, 1);
  DrawWater(cv, 268, 120, s.Water1, 0, 384, 80, 80, 2);
  return cv;
}

}  // namespace sheetgen
