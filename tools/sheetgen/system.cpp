// SPDX-License-Identifier: Zlib
// The system sheet: cursors, labels, the board frame, the time gauge, the
// replacement explosion and the side-panel plates, each at the place where
// the drawing code cuts it out.
//
// Everything the game ORs onto the screen is drawn on pure black, and every
// mask beside it is made from its picture pixel by pixel, so the two always
// agree. The sheet keeps to a few hundred colours at most so that the palette
// file holds every colour (and the masks' white) exactly.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "draw.h"
#include "glyphs.h"

namespace sheetgen {
namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;

// Player colours, shared with the pipe sheets: warm orange-red and cyan-blue.
struct PlayerTones {
  uint32_t Light, Main, Dark, Edge;
};
constexpr PlayerTones kPlayer[2] = {
    {0xFFC8A0, 0xFF5A28, 0xC02810, 0x401008},
    {0xB8F0FF, 0x28B4FF, 0x1060C8, 0x082040},
};

// ------------------------------------------------------------ small bitmaps

// A picture made of rows of '#' (lit) and '.'.
using Rows = std::vector<std::string>;

// A 5 x 7 face for the plate lettering.
Rows SmallGlyph(char c) {
  switch (c) {
    case 'E':
      return {"#####", "#....", "#....", "####.", "#....", "#....", "#####"};
    case 'I':
      return {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"};
    case 'M':
      return {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"};
    case 'P':
      return {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."};
    case 'T':
      return {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."};
    default:
      return {".....", ".....", ".....", ".....", ".....", ".....", "....."};
  }
}

// Glyphs side by side with a gap of `gap` columns.
Rows JoinGlyphs(const std::vector<Rows>& glyphs, int gap) {
  Rows out(glyphs.empty() ? 0 : glyphs[0].size());
  for (size_t i = 0; i < glyphs.size(); ++i)
    for (size_t r = 0; r < out.size(); ++r)
      out[r] += (i ? std::string(gap, '.') : std::string()) + glyphs[i][r];
  return out;
}

Rows SmallText(const std::string& text) {
  std::vector<Rows> glyphs;
  for (char c : text) glyphs.push_back(SmallGlyph(c));
  return JoinGlyphs(glyphs, 1);
}

Rows BigText(const std::string& text) {
  std::vector<Rows> glyphs;
  for (char c : text) {
    const char* const* g = BigGlyph(c);
    glyphs.push_back(g ? Rows(g, g + kGlyphHeight) : Rows(kGlyphHeight, std::string(13, '.')));
  }
  return JoinGlyphs(glyphs, 1);
}

int Width(const Rows& rows) { return rows.empty() ? 0 : static_cast<int>(rows[0].size()); }
int Height(const Rows& rows) { return static_cast<int>(rows.size()); }

bool Lit(const Rows& rows, int x, int y) {
  return y >= 0 && y < Height(rows) && x >= 0 && x < Width(rows) && rows[y][x] == '#';
}

// Lit pixels take the colour of their row (a ramp of up to eight steps).
void Stamp(Canvas& cv, int x0, int y0, const Rows& rows, const std::vector<uint32_t>& ramp) {
  for (int y = 0; y < Height(rows); ++y) {
    uint32_t c = ramp[static_cast<size_t>(y) * ramp.size() / rows.size()];
    for (int x = 0; x < Width(rows); ++x)
      if (Lit(rows, x, y)) Plot(cv, x0 + x, y0 + y, c);
  }
}

// A one-pixel rim around the lit pixels (eight neighbours), for lettering that
// has to read over any background.
void Rim(Canvas& cv, int x0, int y0, const Rows& rows, uint32_t c) {
  for (int y = -1; y <= Height(rows); ++y)
    for (int x = -1; x <= Width(rows); ++x) {
      if (Lit(rows, x, y)) continue;
      bool near = false;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) near = near || Lit(rows, x + dx, y + dy);
      if (near) Plot(cv, x0 + x, y0 + y, c);
    }
}

void RimmedText(Canvas& cv, int x0, int y0, const Rows& rows, const std::vector<uint32_t>& ramp,
                uint32_t rim) {
  Rim(cv, x0, y0, rows, rim);
  Stamp(cv, x0, y0, rows, ramp);
}

// Mask of a picture drawn on black: black where the picture is lit, white
// elsewhere, so that the mask and the picture can never disagree.
void MaskOf(Canvas& cv, int px, int py, int w, int h, int mx, int my) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      Plot(cv, mx + x, my + y, Pixel(cv, px + x, py + y) ? kBlack : kWhite);
}

// ------------------------------------------------------------ cursors

// Distance of a cursor pixel from the cell edge, or -1 when it is not part of
// the frame: a two-pixel ring with thicker brackets at the corners.
int CursorDepth(int x, int y) {
  int d = std::min({x, y, 31 - x, 31 - y});
  bool corner = (x < 11 || x > 20) && (y < 11 || y > 20);
  if (d < 2 || (corner && d < 4)) return d;
  return -1;
}

void DrawCursor(Canvas& cv, int x0, const PlayerTones& p) {
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      int d = CursorDepth(x, y);
      if (d < 0) continue;
      bool corner = (x < 11 || x > 20) && (y < 11 || y > 20);
      uint32_t c = corner ? (d == 0   ? p.Light
                             : d == 3 ? p.Edge
                             : d == 1 ? p.Main
                                      : p.Dark)
                          : (d == 0 ? p.Main : p.Edge);
      Plot(cv, x0 + x, y, c);
    }
}

void DrawCursors(Canvas& cv) {
  DrawCursor(cv, 64, kPlayer[0]);
  DrawCursor(cv, 96, kPlayer[1]);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) Plot(cv, 32 + x, y, CursorDepth(x, y) >= 0 ? kBlack : kWhite);
}

// ------------------------------------------------------------ score labels

Rows MinusFifty() {
  Rows minus = {"...", "...", "###", "...", "...", "..."};
  Rows five = {"####", "#...", "###.", "...#", "#..#", ".##."};
  Rows zero = {".##.", "#..#", "#..#", "#..#", "#..#", ".##."};
  return JoinGlyphs({minus, five, zero}, 1);
}

Rows Thousand() {
  Rows one = {"..##..", ".###..", "####..", "..##..", "..##..", "..##..", "..##..", "######"};
  Rows zero = {".####.", "##..##", "##..##", "##..##", "##..##", "##..##", "##..##", ".####."};
  return JoinGlyphs({one, zero, zero, zero}, 1);
}

void DrawLabels(Canvas& cv) {
  Rows minus = MinusFifty();
  for (int p = 0; p < 2; ++p)
    RimmedText(cv, 129, 1 + 8 * p, minus, {kPlayer[p].Light, kPlayer[p].Main}, kPlayer[p].Edge);
  MaskOf(cv, 128, 0, 16, 8, 128, 16);
  RimmedText(cv, 146, 1, Thousand(), {0xFFFCE0, 0xFFE860, 0xFFC830, 0xF09A10}, 0x3A1A00);
  MaskOf(cv, 144, 0, 32, 10, 144, 10);
}

// ------------------------------------------------------------ board frame

// Cross-section of the frame, a big steel pipe with a gold inner trim, from
// its outer edge (0) to the edge of the play area (15).
uint32_t FrameProfile(int o) {
  static const uint32_t kProfile[16] = {0x101A2E, 0x3A5680, 0x6C8EBE, 0xA2BEE4, 0xD4E6FA, 0xA2BEE4,
                                        0x7C9CCA, 0x6282B2, 0x4E6C9C, 0x3C5886, 0x2C446E, 0x121A2C,
                                        0xFFDC68, 0xC89428, 0x2C2214, 0x0C0E14};
  return kProfile[std::clamp(o, 0, 15)];
}

// Flanges every 32 pixels: the same cross-section, lit a little differently,
// where two lengths of the frame pipe are bolted together.
uint32_t FlangeProfile(int o, int along) {
  if (o > 10) return FrameProfile(o);
  if (along == 0) return o == 0 ? FrameProfile(0) : Shade(FrameProfile(o), 0.35f);
  return o == 0 ? FrameProfile(0) : Shade(FrameProfile(o), -0.45f);
}

// A straight piece: `o` runs across the frame, `along` along it.
uint32_t EdgeColor(int o, int along) {
  int a = along % 32;
  return a < 2 ? FlangeProfile(o, a) : FrameProfile(o);
}

void DrawHorizontalEdge(Canvas& cv, int x0, int y0, bool outerOnTop) {
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) Plot(cv, x0 + x, y0 + y, EdgeColor(outerOnTop ? y : 15 - y, x));
}

void DrawVerticalEdge(Canvas& cv, int x0, int y0, bool outerOnLeft) {
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 16; ++x) Plot(cv, x0 + x, y0 + y, EdgeColor(outerOnLeft ? x : 15 - x, y));
}

// A rounded elbow: the cross-section follows the distance from the inner
// corner point (cx, cy); beyond the outer edge the piece stays black.
void DrawCorner(Canvas& cv, int x0, int y0, float cx, float cy) {
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      float r = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
      if (r > 16.2f) continue;
      Plot(cv, x0 + x, y0 + y, FrameProfile(static_cast<int>(16.0f - r)));
    }
}

// Wrap arrows: an arrow pointing out of the board through a dark opening in
// the frame, telling the player that water leaving here comes back opposite.
const Rows kArrowUp = {".....##.....", "....####....", "...######...", "..########..",
                       ".##########.", "....####....", "....####....", "....####...."};

Rows Rotated(const Rows& rows, int quarterTurns) {
  Rows out = rows;
  for (int t = 0; t < quarterTurns; ++t) {
    Rows next(Width(out), std::string(Height(out), '.'));
    for (int y = 0; y < Height(out); ++y)
      for (int x = 0; x < Width(out); ++x) next[x][Height(out) - 1 - y] = out[y][x];
    out = next;
  }
  return out;
}

void DrawWrapMark(Canvas& cv, int x0, int y0, int w, int h, int turns) {
  FillRect(cv, x0 + 1, y0 + 1, w - 2, h - 2, 0x0A1430);
  FillRect(cv, x0 + 2, y0 + 2, w - 4, h - 4, 0x142450);
  Rows arrow = Rotated(kArrowUp, turns);
  int ax = x0 + (w - Width(arrow)) / 2, ay = y0 + (h - Height(arrow)) / 2;
  RimmedText(cv, ax, ay, arrow, {0xF0FFB0, 0xC8FF50, 0x90E020, 0x60B010}, 0x102008);
}

void DrawFrame(Canvas& cv) {
  DrawCorner(cv, 0, 32, 16, 16);
  DrawCorner(cv, 16, 32, 0, 16);
  DrawCorner(cv, 0, 48, 16, 0);
  DrawCorner(cv, 16, 48, 0, 0);
  DrawHorizontalEdge(cv, 32, 32, true);
  DrawHorizontalEdge(cv, 32, 48, false);
  DrawHorizontalEdge(cv, 64, 32, true);
  DrawHorizontalEdge(cv, 64, 48, false);
  DrawWrapMark(cv, 64 + 6, 32 + 2, 20, 12, 0);
  DrawWrapMark(cv, 64 + 6, 48 + 2, 20, 12, 2);
  DrawVerticalEdge(cv, 96, 32, true);
  DrawVerticalEdge(cv, 112, 32, false);
  DrawVerticalEdge(cv, 128, 32, true);
  DrawVerticalEdge(cv, 144, 32, false);
  DrawWrapMark(cv, 128 + 2, 32 + 6, 12, 20, 3);
  DrawWrapMark(cv, 144 + 2, 32 + 6, 12, 20, 1);
}

// ------------------------------------------------------------ time gauge

// The gauge housing: steel above and below a slot whose rows 11 to 20 stay
// pure black, because the water bar is ORed into them.
uint32_t HousingColor(int y) {
  static const uint32_t kRows[32] = {
      0x101A2E, 0x6C8EBE, 0xA2BEE4, 0x86A4D0, 0x7896C4, 0x6C8ABA, 0x6282B2, 0x5878A8,
      0x4E6C9C, 0x3C5886, 0x121A2C, 0,        0,        0,        0,        0,
      0,        0,        0,        0,        0,        0x121A2C, 0x8AA8D4, 0x6C8EBE,
      0x6282B2, 0x5878A8, 0x4E6C9C, 0x44628E, 0x3C5886, 0x344E7A, 0x2C446E, 0x101A2E};
  return kRows[y];
}

void DrawGaugeMiddle(Canvas& cv, int x0, int y0) {
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) Plot(cv, x0 + x, y0 + y, HousingColor(y));
  // Scale ticks every eight pixels above the slot.
  for (int x = 0; x < 32; x += 8)
    FillRect(cv, x0 + x, y0 + (x == 0 ? 4 : 6), 1, x == 0 ? 5 : 3, 0xFFDC68);
}

// A cap: rounded outer end, a red plate with TIME, and the housing towards
// the slot. `leftEnd` says which side is rounded.
void DrawGaugeCap(Canvas& cv, int x0, int y0, bool leftEnd) {
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      int fromEnd = leftEnd ? x : 31 - x;
      float dy = std::fabs(y + 0.5f - 16.0f);
      if (fromEnd < 8 && std::hypot(8.0f - (fromEnd + 0.5f), std::max(0.0f, dy - 8.0f)) > 8.2f)
        continue;
      uint32_t c = HousingColor(y);
      if (c == 0) c = 0x3C5886;
      Plot(cv, x0 + x, y0 + y, c);
    }
  int px = x0 + (leftEnd ? 3 : 4);
  FillRoundRect(cv, px, y0 + 8, 25, 16, 3, 0x300808);
  FillRoundRect(cv, px + 1, y0 + 9, 23, 14, 2, 0xB01818);
  FillRect(cv, px + 2, y0 + 10, 21, 1, 0xE04030);
  Stamp(cv, px + 1, y0 + 12, SmallText("TIME"), {0xFFFFFF, 0xFFF0A0, 0xFFE060, 0xFFC830});
}

void DrawTimeGauge(Canvas& cv) {
  DrawGaugeCap(cv, 160, 32, true);
  DrawGaugeMiddle(cv, 192, 32);
  DrawGaugeCap(cv, 224, 32, false);
}

// ------------------------------------------------------------ explosion

// A burst in four frames: a white flash, a star of fire, a ring breaking up
// into sparks, and the last embers. Hard-edged, from a short colour ramp.
const uint32_t kFire[8] = {0xFFFFFF, 0xFFF8C0, 0xFFE040, 0xFFA820,
                           0xF06010, 0xC02808, 0x702010, 0x484048};

uint32_t BurstColor(int frame, float r, float angle, int x, int y) {
  const float reach[4] = {7.5f, 12.0f, 14.5f, 15.5f};
  const float spikes = 0.5f + 0.5f * std::cos(angle * 8.0f);
  float edge = reach[frame] * (0.72f + 0.28f * spikes) + (Noise(x, y, frame) - 0.5f) * 2.0f;
  if (r > edge) return kBlack;
  float t = r / edge;                          // 0 centre .. 1 rim
  if (frame == 2 && t < 0.45f) return kBlack;  // the fire ring opens up
  if (frame == 3) {
    if (t < 0.6f || Noise(x, y, 77) < 0.55f) return kBlack;  // scattered embers
    return kFire[5 + static_cast<int>(Noise(x, y, 9) * 3.0f)];
  }
  int base = frame == 0 ? 0 : frame == 1 ? 1 : 2;
  int step = std::min(7, base + static_cast<int>(t * 4.0f));
  return kFire[step];
}

void DrawExplosion(Canvas& cv, int frame) {
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      float dx = x + 0.5f - 16.0f, dy = y + 0.5f - 16.0f;
      uint32_t c = BurstColor(frame, std::hypot(dx, dy), std::atan2(dy, dx), x, y);
      if (c != kBlack) Plot(cv, 32 * frame + x, 64 + y, c);
    }
  MaskOf(cv, 32 * frame, 64, 32, 32, 128 + 32 * frame, 64);
}

// ------------------------------------------------------------ panel plates

// A raised plate with a dark face, a light rim and a dark edge.
void Plate(Canvas& cv, int x, int y, int w, int h, uint32_t face) {
  FillRoundRect(cv, x, y, w, h, 4, 0x101A2E);
  FillRoundRect(cv, x + 1, y + 1, w - 2, h - 2, 3, 0x6C8EBE);
  FillRoundRect(cv, x + 2, y + 2, w - 3, h - 3, 3, 0x2C446E);
  FillRoundRect(cv, x + 2, y + 2, w - 4, h - 4, 2, face);
}

void DrawNextPlate(Canvas& cv) {
  Plate(cv, 176, 0, 64, 32, 0x2A0E3C);
  Rows next = BigText("NEXT");
  RimmedText(cv, 176 + (64 - Width(next)) / 2, 10, next,
             {0xFFFCE0, 0xFFEC80, 0xFFD840, 0xFFC020, 0xF0A010, 0xFFD040, 0xFFE880}, 0x3A1A00);
}

// The counter box: a small PIPE heading over two dark windows, where the game
// writes the pieces on the route and, below, the pieces the stage requires.
void DrawCounterBox(Canvas& cv) {
  Plate(cv, 0, 112, 64, 64, 0x1C2C4C);
  Stamp(cv, 21, 116, SmallText("PIPE"), {0xFFFFFF, 0xFFF0A0, 0xFFE060, 0xFFC830});
  FillRect(cv, 10, 129, 44, 1, 0x101A2E);
  FillRoundRect(cv, 10, 130, 44, 21, 3, 0x080C18);
  FillRect(cv, 12, 150, 40, 1, 0x3C5886);
  FillRoundRect(cv, 10, 158, 44, 17, 3, 0x080C18);
  FillRect(cv, 22, 154, 20, 2, 0x6C8EBE);
}

// The norm plates under the counter boxes, lettered in each player's colour.
void DrawNormPlate(Canvas& cv, int y0, const PlayerTones& p) {
  Plate(cv, 64, y0, 64, 32, 0x141E34);
  Rows norm = BigText("NORM");
  RimmedText(cv, 64 + (64 - Width(norm)) / 2, y0 + 9, norm,
             {p.Light, p.Light, p.Main, p.Main, p.Main, p.Dark, p.Main}, p.Edge);
}

}  // namespace

Canvas DrawSysSheet() {
  Canvas cv = MakeCanvas(256, 256);
  DrawCursors(cv);
  DrawLabels(cv);
  DrawNextPlate(cv);
  DrawFrame(cv);
  DrawTimeGauge(cv);
  for (int f = 0; f < 4; ++f) DrawExplosion(cv, f);
  DrawCounterBox(cv);
  DrawNormPlate(cv, 112, kPlayer[0]);
  DrawNormPlate(cv, 144, kPlayer[1]);
  return cv;
}

}  // namespace sheetgen
