// SPDX-License-Identifier: Zlib
// The bitmap font. A coloured character is the glyph laid over the
// destination so that only the glyph's white pixels change, taking the
// colour of the swatch: one pass over the cell, pixel by pixel, with the
// same result as building it in the scratch cell and copying it twice.
#include "render/font.h"

#include <algorithm>
#include <cmath>

namespace render {

FontObject GameFont;

namespace {

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

// The swatch of the current colour, or nullptr when the colour number's
// swatch cell is not on row 0 of the sheet (or is the scratch cell itself):
// such a colour draws as a black swatch, the same as the empty cells after
// the seven colours.
const uint32_t* FontObject::Swatch() const {
  const int32_t swatchX = (ColorNo + 1) * SizeX;
  if (ColorNo < 0 || !RectOnSurface(*Sheet, swatchX, 0, SizeX, SizeY)) return nullptr;
  return &Sheet->Pixels[static_cast<size_t>(swatchX)];
}

// Per pixel, with the glyph g and the swatch w: d := (d | g) ^ (~w & g).
// Where g is white that is w; where g is black d stays as it was. The cell
// is clipped against the destination the way a copy would clip it.
void FontObject::BlendGlyph(plat::Surface& pb, int32_t x, int32_t y, int32_t sx, int32_t sy) const {
  const uint32_t* swatch = Swatch();
  int32_t x0 = std::max(0, -x), y0 = std::max(0, -y);
  int32_t x1 = std::min(SizeX, pb.Width - x), y1 = std::min(SizeY, pb.Height - y);
  const size_t sheetWidth = static_cast<size_t>(Sheet->Width);
  for (int32_t r = y0; r < y1; ++r) {
    uint32_t* d = &pb.Pixels[static_cast<size_t>(y + r) * pb.Width + x];
    const uint32_t* g = &Sheet->Pixels[(sy + r) * sheetWidth + sx];
    if (swatch == nullptr) {  // a black swatch: (d | g) ^ g
      for (int32_t c = x0; c < x1; ++c) d[c] &= ~g[c] & plat::kColorMask;
      continue;
    }
    const uint32_t* w = swatch + r * sheetWidth;
    for (int32_t c = x0; c < x1; ++c) d[c] = ((d[c] | g[c]) ^ (~w[c] & g[c])) & plat::kColorMask;
  }
  if (x0 < x1 && y0 < y1) plat::Changed(pb, x + x0, y + y0, x + x1, y + y1);
}

void FontObject::Putchar(plat::Surface& pb, int32_t x, int32_t y, int16_t code) {
  int32_t sx = 0, sy = 0;
  if (!GlyphOnSheet(code, sx, sy)) return;
  plat::BitBlt(pb, x, y, SizeX, SizeY, *Sheet, sx, sy, plat::SRCPAINT);
}

void FontObject::PutcharC(plat::Surface& pb, int32_t x, int32_t y, int16_t code) {
  int32_t sx = 0, sy = 0;
  if (!GlyphOnSheet(code, sx, sy)) return;
  BlendGlyph(pb, x, y, sx, sy);
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

void BackingBand(plat::Surface& surface, int32_t x, int32_t y, int32_t w, int32_t h) {
  const int32_t x0 = std::max(x, 0);
  const int32_t y0 = std::max(y, 0);
  const int32_t x1 = std::min(x + w, surface.Width);
  const int32_t y1 = std::min(y + h, surface.Height);
  for (int32_t py = y0; py < y1; ++py)
    for (int32_t px = x0; px < x1; ++px) {
      uint32_t& p = surface.Pixels[static_cast<size_t>(py) * surface.Width + px];
      p = (p >> 2) & 0x3F3F3F;
    }
  plat::Changed(surface, x0, y0, x1, y1);
}

std::string RightAligned(int64_t value, int32_t width) {
  const std::string text = std::string(static_cast<size_t>(width), ' ') + std::to_string(value);
  return text.substr(text.size() - static_cast<size_t>(width));
}

void TextBand(plat::Surface& surface, int32_t x, int32_t y, std::string_view text) {
  const int32_t w = static_cast<int32_t>(text.size()) * GameFont.FontSizeX();
  BackingBand(surface, x - 4, y - 4, w + 10, GameFont.FontSizeY() + 10);
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
