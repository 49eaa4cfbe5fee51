// SPDX-License-Identifier: Zlib
// The font sheet: 16 x 16 cells, sixteen to a row. Cell 0 is the game's
// scratch cell, cells 1 to 7 the swatches that fill coloured text, and the
// cells of "!" to "Z" the glyphs, pure white on pure black.
#include <algorithm>

#include "draw.h"
#include "glyphs.h"

namespace sheetgen {
namespace {

constexpr int kCell = 16;
constexpr int kGlyphLeft = 1;  // glyphs use columns 1..13 and rows 0..13 of a cell
constexpr int kTextRows = 14;  // rows of a cell that glyphs can reach

// A metal ramp down the glyph: bright top edge, a dark band just below the
// middle like a reflected horizon, and a lighter bottom.
uint32_t MetalRow(uint32_t light, uint32_t base, uint32_t dark, int row) {
  static const float kRamp[kTextRows] = {1.0f,  0.85f, 0.65f, 0.5f,  0.38f, 0.26f, 0.14f,
                                         -0.6f, -0.5f, -0.4f, -0.3f, -0.2f, -0.1f, 0.0f};
  float t = kRamp[row];
  return t >= 0 ? Mix(base, light, t) : Mix(base, dark, -t);
}

void FillSwatchRows(Canvas& cv, int cell, uint32_t (*rowColor)(int)) {
  for (int y = 0; y < kCell; ++y)
    FillRect(cv, cell * kCell, y, kCell, 1, rowColor(std::min(y, kTextRows - 1)));
}

uint32_t WhiteRow(int) { return 0xFFFFFF; }
// Shadows and the menu lines not chosen: dim enough to sit behind bright
// text, light enough to read on black.
uint32_t GreyRow(int row) { return Mix(0x6E6E88, 0x34344A, row / 13.0f); }
uint32_t GoldRow(int row) {
  if (row < 2) return 0xFFF8C0;
  return (row / 2) % 2 == 0 ? 0xFFD838 : 0xE89A18;
}
uint32_t RedRow(int row) { return MetalRow(0xFFC0B0, 0xF03020, 0x900010, row); }
uint32_t BlueRow(int row) { return MetalRow(0xC8E8FF, 0x3880FF, 0x1830A0, row); }
uint32_t SilverRow(int row) { return MetalRow(0xFFFFFF, 0xC4D4EE, 0x4C5C84, row); }
uint32_t OrangeRow(int row) { return MetalRow(0xFFF0B0, 0xFF9820, 0xB84800, row); }

void DrawSwatches(Canvas& cv) {
  FillSwatchRows(cv, 1, WhiteRow);
  FillSwatchRows(cv, 2, GreyRow);
  FillSwatchRows(cv, 3, GoldRow);
  FillSwatchRows(cv, 4, RedRow);
  FillSwatchRows(cv, 5, BlueRow);
  FillSwatchRows(cv, 6, SilverRow);
  FillSwatchRows(cv, 7, OrangeRow);
}

void DrawGlyph(Canvas& cv, int code) {
  const char* const* rows = BigGlyph(code);
  const int x0 = (code % 16) * kCell + kGlyphLeft;
  const int y0 = (code / 16) * kCell;
  for (int y = 0; y < kGlyphHeight; ++y)
    for (int x = 0; x < kGlyphWidth; ++x)
      if (rows[y][x] == '#') Plot(cv, x0 + x, y0 + y, 0xFFFFFF);
}

}  // namespace

Canvas DrawFontSheet() {
  Canvas cv = MakeCanvas(256, 128);
  DrawSwatches(cv);
  for (int code = kFirstGlyph; code <= kLastGlyph; ++code) DrawGlyph(cv, code);
  return cv;
}

}  // namespace sheetgen
