// SPDX-License-Identifier: Zlib
// The bitmap font: every text of the game is cut from the font sheet.
//
// Glyphs are white on black in cells of SizeX x SizeY, sixteen to a row, so
// code c sits in column c mod 16 and row c / 16. Cell 0 draws nothing (it
// was once the scratch cell for coloured characters); cells 1 to 7 hold the
// colour swatches that fill coloured glyphs (swatch FontColor + 1).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace render {

class FontObject {
 public:
  // Keeps the sheet (not a copy) and the cell size; drawing works from now on.
  void Define(plat::Surface& pb, int32_t sizex, int32_t sizey);
  // One glyph in plain white: destination OR glyph.
  void Putchar(plat::Surface& pb, int32_t x, int32_t y, int16_t code);
  // One glyph filled with the swatch of the current colour number.
  void PutcharC(plat::Surface& pb, int32_t x, int32_t y, int16_t code);
  // A string on one line, SizeX apart; no wrapping or clipping of our own.
  void Puts(plat::Surface& pb, int32_t x, int32_t y, std::string_view text);
  void PutCstring(plat::Surface& pb, int32_t x, int32_t y, std::string_view text);

  int32_t FontSizeX() const { return SizeX; }
  int32_t FontSizeY() const { return SizeY; }
  int32_t FontColor() const { return ColorNo; }
  void FontColor(int32_t color) { ColorNo = color; }
  bool IsDefined() const { return Defined != 0; }

 private:
  bool GlyphOnSheet(int16_t code, int32_t& sx, int32_t& sy) const;
  const uint32_t* Swatch() const;
  void BlendGlyph(plat::Surface& pb, int32_t x, int32_t y, int32_t sx, int32_t sy) const;

  int16_t Defined = 0;
  plat::Surface* Sheet = nullptr;
  int32_t SizeX = 0;
  int32_t SizeY = 0;
  int32_t ColorNo = 0;
};

// The one font of the game, defined on the font sheet while the sheets load.
extern FontObject GameFont;

// The number in decimal in a field of width characters of the fixed-width font,
// spaces in front; a longer number keeps only its last digits, so the field
// never grows over its neighbours.
std::string RightAligned(int64_t value, int32_t width);
// The text in shadowColor two pixels down and right, then in the current colour.
void ShadowText(plat::Surface& surface, int32_t x, int32_t y, std::string_view text,
                int32_t shadowColor);
// Darkens a rectangle to a quarter of its brightness, clipped to the surface:
// the backing band that keeps a message readable over any floor, the water and
// the lit route.
void BackingBand(plat::Surface& surface, int32_t x, int32_t y, int32_t w, int32_t h);
// The band behind a line of text at (x, y), with room for its outline or shadow.
void TextBand(plat::Surface& surface, int32_t x, int32_t y, std::string_view text);
// The text in outlineColor shifted one pixel each way, then in the current colour.
void OutlineText(plat::Surface& surface, int32_t x, int32_t y, std::string_view text,
                 int32_t outlineColor);

}  // namespace render
