// The bitmap font. A coloured character is made in the sheet's scratch
// cell (the inverted swatch ANDed with the glyph) and then laid over the
// destination in two copies, so that only the glyph's white pixels change.
#include "render/font.h"

#include <cmath>

namespace render {

FontObject GameFont;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

// True when the rectangle lies wholly on the surface.
bool RectOnSurface(const plat::Surface& s, int32_t x, int32_t y, int32_t w, int32_t h) {
  return w > 0 && h > 0 && x >= 0 && y >= 0 && x <= s.Width - w && y <= s.Height - h;
}

}  // namespace

void FontObject::Define(plat::Surface& pb, int32_t sizex, int32_t sizey) {
  Sheet = &pb;
  SizeX = sizex;
  SizeY = sizey;
  Defined = -1;
}

// The glyph cell of a code: column code mod 16 (mod keeping the sign of the
// code), row code / 16 rounded down. Cell 0 is the scratch cell and a code
// whose cell is not wholly on the sheet has no glyph; both draw nothing, so a
// stray character can never smear the scratch contents over the screen.
bool FontObject::GlyphOnSheet(int16_t code, int32_t& sx, int32_t& sy) const {
  if (Defined == 0 || Sheet == nullptr || code == 0) return false;
  sx = (code % 16) * SizeX;
  sy = static_cast<int32_t>(std::floor(static_cast<double>(code) / 16.0)) * SizeY;
  return RectOnSurface(*Sheet, sx, sy, SizeX, SizeY);
}

// Scratch cell := NOT swatch AND glyph. A colour number whose swatch cell is
// not on row 0 of the sheet (or is the scratch cell itself) counts as a black
// swatch, the same as the empty cells after the seven colours.
void FontObject::PrepareScratch(int32_t sx, int32_t sy) {
  const int32_t swatchX = (ColorNo + 1) * SizeX;
  if (ColorNo >= 0 && RectOnSurface(*Sheet, swatchX, 0, SizeX, SizeY)) {
    plat::BitBlt(*Sheet, 0, 0, SizeX, SizeY, *Sheet, swatchX, 0, plat::NOTSRCCOPY);
  } else {
    plat::FillRect(*Sheet, 0, 0, SizeX, SizeY, kWhite);
  }
  plat::BitBlt(*Sheet, 0, 0, SizeX, SizeY, *Sheet, sx, sy, plat::SRCAND);
}

void FontObject::Putchar(plat::Surface& pb, int32_t x, int32_t y, int16_t code) {
  int32_t sx = 0, sy = 0;
  if (!GlyphOnSheet(code, sx, sy)) return;
  plat::BitBlt(pb, x, y, SizeX, SizeY, *Sheet, sx, sy, plat::SRCPAINT);
}

// Where the glyph is white: (d | 1) ^ ~swatch = swatch. Where it is black the
// scratch cell is black too, so both copies leave the destination alone.
void FontObject::PutcharC(plat::Surface& pb, int32_t x, int32_t y, int16_t code) {
  int32_t sx = 0, sy = 0;
  if (!GlyphOnSheet(code, sx, sy)) return;
  PrepareScratch(sx, sy);
  plat::BitBlt(pb, x, y, SizeX, SizeY, *Sheet, sx, sy, plat::SRCPAINT);
  plat::BitBlt(pb, x, y, SizeX, SizeY, *Sheet, 0, 0, plat::SRCINVERT);
}

void FontObject::Puts(plat::Surface& pb, int32_t x, int32_t y, std::string_view text) {
  if (Defined == 0) return;
  for (char ch : text) {
    Putchar(pb, x, y, static_cast<int16_t>(static_cast<unsigned char>(ch)));
    x += SizeX;
  }
}

void FontObject::PutCstring(plat::Surface& pb, int32_t x, int32_t y, std::string_view text) {
  if (Defined == 0) return;
  for (char ch : text) {
    PutcharC(pb, x, y, static_cast<int16_t>(static_cast<unsigned char>(ch)));
    x += SizeX;
  }
}

void ShadowText(plat::Surface& surface, int32_t x, int32_t y, std::string_view text,
                int32_t shadowColor) {
  const int32_t color = GameFont.FontColor();
  GameFont.FontColor(shadowColor);
  GameFont.PutCstring(surface, x + 2, y + 2, text);
  GameFont.FontColor(color);
  GameFont.PutCstring(surface, x, y, text);
}

void OutlineText(plat::Surface& surface, int32_t x, int32_t y, std::string_view text,
                 int32_t outlineColor) {
  const int32_t color = GameFont.FontColor();
  GameFont.FontColor(outlineColor);
  GameFont.PutCstring(surface, x + 1, y, text);
  GameFont.PutCstring(surface, x - 1, y, text);
  GameFont.PutCstring(surface, x, y + 1, text);
  GameFont.PutCstring(surface, x, y - 1, text);
  GameFont.FontColor(color);
  GameFont.PutCstring(surface, x, y, text);
}

}  // namespace render
