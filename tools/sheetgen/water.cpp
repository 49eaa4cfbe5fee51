// SPDX-License-Identifier: Zlib
// The two water sheets: 28 water patterns by 16 fill frames, and the splash.
//
// Everything that is not water stays pure black: the game builds its water
// masks from these sheets, so any other pixel would be drawn over the pipes.
#include <cmath>

#include "channel.h"
#include "draw.h"
#include "sheets.h"

namespace sheetgen {
namespace {

enum class Flow { Normal, Slow, Fast };

struct Pattern {
  int In;   // direction of travel coming in; -1: starts in the middle
  int Out;  // direction of travel going out; -3: ends in the middle
  Flow Kind;
};

// Row order of the water pictures as the water flow numbers them.
constexpr Pattern kPatterns[28] = {
    {1, 1, Flow::Normal},  {3, 3, Flow::Normal},  {0, 0, Flow::Normal},  {2, 2, Flow::Normal},
    {2, 1, Flow::Normal},  {3, 0, Flow::Normal},  {3, 2, Flow::Normal},  {0, 1, Flow::Normal},
    {0, 3, Flow::Normal},  {1, 2, Flow::Normal},  {1, 0, Flow::Normal},  {2, 3, Flow::Normal},
    {-1, 1, Flow::Normal}, {-1, 3, Flow::Normal}, {-1, 0, Flow::Normal}, {-1, 2, Flow::Normal},
    {1, -3, Flow::Normal}, {3, -3, Flow::Normal}, {0, -3, Flow::Normal}, {2, -3, Flow::Normal},
    {1, 1, Flow::Slow},    {3, 3, Flow::Slow},    {0, 0, Flow::Slow},    {2, 2, Flow::Slow},
    {1, 1, Flow::Fast},    {3, 3, Flow::Fast},    {0, 0, Flow::Fast},    {2, 2, Flow::Fast},
};

constexpr uint32_t kWater = 0x2E8CF0;
constexpr uint32_t kFoam = 0xC8F0FF;
constexpr uint32_t kGlint = 0xF4FCFF;

// Two short sparkles on the lit side that drift with the flow from frame to frame.
bool IsGlint(const PathPoint& pt, float length, int frame, int pattern) {
  for (int k = 0; k < 2; ++k) {
    float g = std::fmod(7.0f + k * 15.0f + frame * 1.6f, length);
    // The time gauge stretches the left half of the full right-running
    // picture into a bar: keep that part plain.
    if (pattern == 0 && frame == 15 && g < 18.0f) continue;
    // The lit side is the one towards the top left.
    float side = (pt.Nx + pt.Ny) > 0 ? -1.0f : 1.0f;
    float da = pt.Along - g, dc = std::fabs(pt.Across - side * 2.5f);
    if (da > -1.6f && da < 1.6f && dc < 0.6f) return true;
  }
  return false;
}

// Fast water shows streaks, slow water bubbles; both drift with the frame.
float FlowMark(const PathPoint& pt, int frame, Flow kind) {
  if (kind == Flow::Fast) {
    float lane = std::fabs(std::fabs(pt.Across) - 2.5f);
    float phase = std::fmod(pt.Along - frame * 3.0f + 64.0f, 8.0f);
    return lane < 0.6f && phase < 4.5f ? 0.55f : 0.0f;
  }
  if (kind == Flow::Slow) {
    for (int k = 0; k < 4; ++k) {
      float b = 4.0f + k * 8.0f + frame * 0.5f;
      float c = (k % 2 == 0) ? -2.0f : 2.0f;
      float dx = pt.Along - b, dy = pt.Across - c;
      float d = std::sqrt(dx * dx + dy * dy);
      if (d < 1.8f) return d > 0.9f ? 0.6f : 0.25f;
    }
  }
  return 0.0f;
}

uint32_t WaterColor(const Pattern& pat, int pattern, const PathPoint& pt, float length, float x,
                    float y, int frame, float fill) {
  float across = pt.Across / kChannelHalf, nx = pt.Nx, ny = pt.Ny;
  float dx = x - kCell / 2.0f, dy = y - kCell / 2.0f;
  float r = std::sqrt(dx * dx + dy * dy);
  bool spout = pat.In < 0 || pat.Out < 0;
  if (spout && r < kBasinRadius && r > 1e-3f) {
    // The pool in the basin is a shallow dome.
    across = r / kBasinRadius, nx = dx / r, ny = dy / r;
  }
  uint32_t c = TubeColor(kWater, across * 0.9f, nx, ny, 0.55f);
  c = Shade(c, FlowMark(pt, frame, pat.Kind));
  if (frame < 15 && pt.Along > fill - 2.0f) c = Mix(c, kFoam, 0.6f);
  if (IsGlint(pt, length, frame, pattern)) c = kGlint;
  return c == 0 ? 0x000001 : c;
}

void DrawWaterCell(Canvas& cv, int x0, int y0, int pattern, int frame) {
  const Pattern& pat = kPatterns[pattern];
  Path path = PathOfTravel(pat.In, pat.Out);
  float length = PathLength(path);
  float fill = length * (frame + 1) / 16.0f;
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x < kCell; ++x) {
      float px = x + 0.5f, py = y + 0.5f;
      PathPoint pt = LocateOnPath(path, px, py);
      if (!pt.Inside || pt.Along >= fill) continue;
      Plot(cv, x0 + x, y0 + y, WaterColor(pat, pattern, pt, length, px, py, frame, fill));
    }
}

// A shaded bead of water: an ellipse stretched along (ux, uy).
void DrawDrop(Canvas& cv, int x0, int y0, float bx, float by, float ux, float uy, float length,
              float width) {
  int reach = static_cast<int>(length) + 2;
  for (int y = static_cast<int>(by) - reach; y <= by + reach; ++y)
    for (int x = static_cast<int>(bx) - reach; x <= bx + reach; ++x) {
      if (x < 0 || y < 0 || x >= 80 || y >= 80) continue;
      float dx = x + 0.5f - bx, dy = y + 0.5f - by;
      float u = (dx * ux + dy * uy) / length, v = (dx * -uy + dy * ux) / width;
      float r = std::sqrt(u * u + v * v);
      if (r >= 1.0f) continue;
      float n = std::max(std::sqrt(dx * dx + dy * dy), 1e-3f);
      uint32_t c = TubeColor(kWater, r, dx / n, dy / n, 0.8f);
      Plot(cv, x0 + x, y0 + y, c == 0 ? 0x000001 : c);
    }
}

// The leak splash, 80 x 80: a burst of water with a crown of drops.
void DrawSplash(Canvas& cv, int x0, int y0) {
  const float cx = 40.0f, cy = 40.0f;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 80; ++x) {
      float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
      float r = std::sqrt(dx * dx + dy * dy), a = std::atan2(dy, dx);
      float edge = 17.0f + 3.0f * std::sin(5.0f * a + 0.6f) + 2.0f * std::sin(9.0f * a + 2.0f);
      if (r >= edge) continue;
      float n = std::max(r, 1e-3f);
      uint32_t c = TubeColor(kWater, r / edge, dx / n, dy / n, 0.7f);
      if (r > edge - 2.0f) c = Mix(c, kFoam, 0.45f);
      if (std::fabs(r - edge * 0.55f) < 0.7f && std::sin(5.0f * a) > 0.2f) c = Mix(c, kFoam, 0.5f);
      Plot(cv, x0 + x, y0 + y, c == 0 ? 0x000001 : c);
    }
  // The crown: long drops flung outwards, small beads further out.
  for (int k = 0; k < 10; ++k) {
    float a = k * 0.6283f + 0.35f * Noise(k, 1, 77);
    float ux = std::cos(a), uy = std::sin(a);
    float dist = 24.0f + 4.0f * Noise(k, 2, 77);
    DrawDrop(cv, x0, y0, cx + dist * ux, cy + dist * uy, ux, uy, 4.5f, 2.2f);
    float far = 33.0f + 3.0f * Noise(k, 3, 77);
    float b = a + 0.31f;
    DrawDrop(cv, x0, y0, cx + far * std::cos(b), cy + far * std::sin(b), std::cos(b), std::sin(b),
             1.8f + Noise(k, 4, 77), 1.6f + Noise(k, 4, 77));
  }
}

}  // namespace

Canvas DrawWaterSheet(int sheet) {
  Canvas cv = MakeCanvas(512, 512, 0);
  int first = sheet == 2 ? 12 : 0;
  int count = sheet == 2 ? 16 : 12;
  for (int row = 0; row < count; ++row)
    for (int frame = 0; frame < 16; ++frame)
      DrawWaterCell(cv, frame * kCell, row * kCell, first + row, frame);
  if (sheet != 2) DrawSplash(cv, 0, 384);
  return cv;
}

}  // namespace sheetgen
