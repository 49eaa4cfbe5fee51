// SPDX-License-Identifier: Zlib
// The endless mode's pictures: the 24 x 24 chips of the falling pieces and
// the background with the well, the score plate and the NEXT box.
//
// A chip is copied over the well as it is, so each chip carries the well's
// own empty tile behind its pipe; the background draws the same tile in
// every cell of the well, and a chip and an empty cell line up seamlessly.
#include <algorithm>
#include <cmath>
#include <string>

#include "draw.h"
#include "glyphs.h"

namespace sheetgen {
namespace {

constexpr int kChip = 24;
constexpr int kWellX = 172, kWellY = 60, kWellCols = 7, kWellRows = 11;
constexpr uint32_t kPipeColor = 0x30D8A8;  // glossy sea green
constexpr uint32_t kCapColor = 0xF03838;   // the red end caps
constexpr float kPipeRadius = 5.5f;

// ------------------------------------------------------------ chips

// The empty well tile: a dark blue square with a soft bevel and a faint
// rivet in each corner.
uint32_t TileColor(int x, int y) {
  if (x == 0 || y == 0) return 0x2A3A64;
  if (x == kChip - 1 || y == kChip - 1) return 0x080C1C;
  bool rivet = (x == 2 || x == kChip - 3) && (y == 2 || y == kChip - 3);
  if (rivet) return 0x34467A;
  float t = (x + y) / (2.0f * kChip);
  return Mix(0x1A2648, 0x121A36, t);
}

void DrawTile(Canvas& cv, int x0, int y0) {
  for (int y = 0; y < kChip; ++y)
    for (int x = 0; x < kChip; ++x) Plot(cv, x0 + x, y0 + y, TileColor(x, y));
}

// Openings of a chip as bits: 1 up, 2 right, 4 down, 8 left.
int Openings(int chip) {
  static const int kOpen[12] = {0, 1 | 2, 1 | 4, 2 | 4, 8 | 1, 8 | 2, 4 | 8, 15, 1, 2, 4, 8};
  return kOpen[chip];
}

// How far a point is across the pipe(s) of a bend or a straight chip, with
// the direction in which "across" grows. Bends are quarter circles round the
// cell corner between their two openings.
bool PipeAt(int open, float px, float py, float& across, float& nx, float& ny) {
  const float c = kChip / 2.0f;
  auto straight = [&](float offset, float dirX, float dirY) {
    if (std::fabs(offset) > kPipeRadius) return false;
    across = std::fabs(offset) / kPipeRadius;
    nx = offset < 0 ? -dirX : dirX;
    ny = offset < 0 ? -dirY : dirY;
    return true;
  };
  if (open == (1 | 4)) return straight(px - c, 1, 0);
  if (open == (2 | 8)) return straight(py - c, 0, 1);
  // A bend: the corner shared by its two openings is the arc's centre.
  float cx = (open & 2) ? kChip : 0, cy = (open & 4) ? kChip : 0;
  float dx = px - cx, dy = py - cy, r = std::hypot(dx, dy);
  float offset = r - c;
  if (std::fabs(offset) > kPipeRadius || r == 0) return false;
  across = std::fabs(offset) / kPipeRadius;
  nx = (offset < 0 ? -dx : dx) / r;
  ny = (offset < 0 ? -dy : dy) / r;
  return true;
}

// A collar where the pipe leaves the chip, so pieces join visibly.
bool CollarAt(int open, float px, float py) {
  const float c = kChip / 2.0f, grow = kPipeRadius + 1.5f;
  if ((open & 1) && py < 3 && std::fabs(px - c) <= grow) return true;
  if ((open & 4) && py > kChip - 3 && std::fabs(px - c) <= grow) return true;
  if ((open & 8) && px < 3 && std::fabs(py - c) <= grow) return true;
  if ((open & 2) && px > kChip - 3 && std::fabs(py - c) <= grow) return true;
  return false;
}

uint32_t CollarColor(int open, float px, float py) {
  const float c = kChip / 2.0f;
  bool vertical = (open & 5) && (py < 3 || py > kChip - 3);
  float a = vertical ? (px - c) / (kPipeRadius + 1.5f) : (py - c) / (kPipeRadius + 1.5f);
  return TubeColor(0xC8D4DC, std::fabs(a), vertical ? (a < 0 ? -1 : 1) : 0,
                   vertical ? 0 : (a < 0 ? -1 : 1), 1.0f);
}

// One pipe layer of a chip over what is already there.
void DrawPipeLayer(Canvas& cv, int x0, int y0, int open) {
  for (int y = 0; y < kChip; ++y)
    for (int x = 0; x < kChip; ++x) {
      float px = x + 0.5f, py = y + 0.5f, across, nx, ny;
      if (CollarAt(open, px, py)) {
        Plot(cv, x0 + x, y0 + y, CollarColor(open, px, py));
      } else if (PipeAt(open, px, py, across, nx, ny)) {
        uint32_t c = TubeColor(kPipeColor, across, nx, ny, 0.9f);
        Plot(cv, x0 + x, y0 + y, across > 0.86f ? Shade(c, -0.5f) : c);
      }
    }
}

// An end cap: a stub from the opening to the middle, closed by a red dome.
void DrawCapChip(Canvas& cv, int x0, int y0, int open) {
  const float c = kChip / 2.0f;
  for (int y = 0; y < kChip; ++y)
    for (int x = 0; x < kChip; ++x) {
      float px = x + 0.5f, py = y + 0.5f, across, nx, ny;
      bool towardOpening = ((open & 1) && py < c) || ((open & 4) && py > c) ||
                           ((open & 8) && px < c) || ((open & 2) && px > c);
      int axis = (open & 5) ? (1 | 4) : (2 | 8);
      if (CollarAt(open, px, py)) {
        Plot(cv, x0 + x, y0 + y, CollarColor(open, px, py));
      } else if (towardOpening && PipeAt(axis, px, py, across, nx, ny)) {
        Plot(cv, x0 + x, y0 + y, TubeColor(kPipeColor, across, nx, ny, 0.9f));
      }
    }
  for (int y = 0; y < kChip; ++y)
    for (int x = 0; x < kChip; ++x) {
      float dx = x + 0.5f - c, dy = y + 0.5f - c, r = std::hypot(dx, dy);
      if (r > 8.0f) continue;
      uint32_t dome = TubeColor(kCapColor, r / 8.0f, r > 0 ? dx / r : 0, r > 0 ? dy / r : 0, 0.4f);
      Plot(cv, x0 + x, y0 + y, r > 7.0f ? 0x300808 : dome);
    }
  // A white arrow on the dome points out through the opening: the run of
  // pipe in front of the cap is what it takes away.
  static const char* kArrow[7] = {"...#...", "..###..", ".#####.", "#######",
                                  "..###..", "..###..", "..###.."};
  auto lit = [&](int ax, int ay) {
    return ax >= -3 && ax <= 3 && ay >= -3 && ay <= 3 && kArrow[ay + 3][ax + 3] == '#';
  };
  for (int ay = -4; ay <= 4; ++ay)
    for (int ax = -4; ax <= 4; ++ax) {
      bool on = lit(ax, ay);
      bool edge = !on && (lit(ax - 1, ay) || lit(ax + 1, ay) || lit(ax, ay - 1) || lit(ax, ay + 1));
      if (!on && !edge) continue;
      // The arrow is drawn pointing up and turned towards the opening.
      int qx = (open & 2) ? -ay : (open & 8) ? ay : (open & 4) ? -ax : ax;
      int qy = (open & 2) ? ax : (open & 8) ? -ax : (open & 4) ? -ay : ay;
      Plot(cv, x0 + 12 + qx, y0 + 12 + qy, on ? 0xFFF4E8 : 0x580C0C);
    }
}

void DrawChip(Canvas& cv, int chip) {
  int x0 = chip < 8 ? kChip * chip : kChip * (chip - 8), y0 = chip < 8 ? 0 : kChip;
  DrawTile(cv, x0, y0);
  if (chip == 0) return;
  if (chip >= 8) {
    DrawCapChip(cv, x0, y0, Openings(chip));
  } else if (chip == 7) {
    // The cross: the vertical pipe passes over the horizontal one and casts
    // a shadow on it either side.
    DrawPipeLayer(cv, x0, y0, 2 | 8);
    for (int y = 0; y < kChip; ++y)
      for (int x = 0; x < kChip; ++x)
        if (std::fabs(x + 0.5f - 12.0f) <= kPipeRadius + 2.0f &&
            std::fabs(y + 0.5f - 12.0f) <= kPipeRadius)
          Plot(cv, x0 + x, y0 + y, Shade(Pixel(cv, x0 + x, y0 + y), -0.6f));
    DrawPipeLayer(cv, x0, y0, 1 | 4);
  } else {
    DrawPipeLayer(cv, x0, y0, Openings(chip));
  }
}

// ------------------------------------------------------------ background

// A deep night-blue backdrop with a faint lattice of pipes behind everything.
uint32_t BackdropColor(int x, int y) {
  uint32_t base = Mix(0x24104A, 0x0A2446, std::min(1.0f, y / 352.0f));
  int gx = (x + 20) % 64, gy = (y + 4) % 64;
  bool lattice = (gx >= 26 && gx < 34) || (gy >= 26 && gy < 34);
  if (lattice) {
    int o = (gx >= 26 && gx < 34) ? gx - 26 : gy - 26;
    float k = 0.10f + 0.06f * std::sin((o + 0.5f) / 8.0f * 3.14159f);
    base = Mix(base, 0x6080C0, k);
  }
  if (Hash(x, y, 3) % 900 == 0) base = Mix(base, 0xFFE870, 0.7f);  // confetti glints
  return base;
}

// An eight-pixel steel frame round a rectangle, drawn as a rounded tube.
void SteelFrame(Canvas& cv, int x, int y, int w, int h) {
  static const uint32_t kProfile[8] = {0x101A2E, 0x5A7AAA, 0xA2BEE4, 0xD4E6FA,
                                       0x88A6D2, 0x5878A8, 0x3A5480, 0x0C1220};
  for (int yy = y - 8; yy < y + h + 8; ++yy)
    for (int xx = x - 8; xx < x + w + 8; ++xx) {
      if (xx >= x && xx < x + w && yy >= y && yy < y + h) continue;
      float dx = std::max({0.0f, x - (xx + 0.5f), (xx + 0.5f) - (x + w)});
      float dy = std::max({0.0f, y - (yy + 0.5f), (yy + 0.5f) - (y + h)});
      float d = std::hypot(dx, dy);
      if (d > 8.0f) continue;
      Plot(cv, xx, yy, kProfile[std::clamp(static_cast<int>(8.0f - d), 0, 7)]);
    }
}

// A dark panel with a light edge, for text to sit on.
void Panel(Canvas& cv, int x, int y, int w, int h) {
  FillRoundRect(cv, x, y, w, h, 6, 0x4A68A0);
  FillRoundRect(cv, x + 1, y + 1, w - 2, h - 2, 5, 0x101830);
  FillRoundRect(cv, x + 3, y + 3, w - 6, h - 6, 4, 0x182444);
}

void BigWord(Canvas& cv, int x, int y, const std::string& word, uint32_t top, uint32_t bottom) {
  for (char ch : word) {
    const char* const* g = BigGlyph(ch);
    for (int r = 0; g && r < kGlyphHeight; ++r)
      for (int c = 0; c < kGlyphWidth; ++c) {
        if (g[r][c] != '#') continue;
        Plot(cv, x + c + 2, y + r + 2, 0x080410);
        Plot(cv, x + c, y + r, Mix(top, bottom, r / (kGlyphHeight - 1.0f)));
      }
    x += 15;
  }
}

}  // namespace

Canvas DrawHeylawSheet() {
  Canvas cv = MakeCanvas(256, 48);
  for (int chip = 0; chip < 12; ++chip) DrawChip(cv, chip);
  return cv;
}

Canvas DrawEndlessBackground() {
  Canvas cv = MakeCanvas(512, 384);
  for (int y = 0; y < cv.Height; ++y)
    for (int x = 0; x < cv.Width; ++x) Plot(cv, x, y, BackdropColor(x, y));
  // The well: empty tiles inside a steel frame.
  SteelFrame(cv, kWellX, kWellY, kWellCols * kChip, kWellRows * kChip);
  for (int r = 0; r < kWellRows; ++r)
    for (int c = 0; c < kWellCols; ++c) DrawTile(cv, kWellX + c * kChip, kWellY + r * kChip);
  // The score plate (HISCORE, SCORE, LEVEL, BLOCKS are written on it).
  Panel(cv, 12, 70, 150, 194);
  // The NEXT box with a dark slot where the coming piece stands.
  Panel(cv, 372, 70, 88, 108);
  SteelFrame(cv, 404, 116, kChip, 2 * kChip);
  FillRect(cv, 404, 116, kChip, 2 * kChip, 0x060A16);
  // The name of the mode under the NEXT box.
  BigWord(cv, 364, 216, "ENDLESS", 0xFFF0A0, 0xFF8020);
  BigWord(cv, 379, 240, "WORLD", 0xA0E8FF, 0x2890FF);
  return cv;
}

}  // namespace sheetgen
