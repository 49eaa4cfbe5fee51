// SPDX-License-Identifier: Zlib
// Small drawing kit shared by every sheet painter.
//
// Colours are 0x00RRGGBB. Shapes are hard-edged (a pixel is in or out by its
// centre), because the sheets end up as palette pictures and anything drawn
// over black must stay crisp for the masks. Soft effects go through Blend.
#pragma once

#include <cstdint>

#include "sheets.h"

namespace sheetgen {

inline int Red(uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
inline int Green(uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
inline int Blue(uint32_t c) { return static_cast<int>(c & 0xFF); }

// Packs channels, clamping each to 0..255 (values are rounded).
uint32_t Rgb(float r, float g, float b);
// a when t is 0, b when t is 1.
uint32_t Mix(uint32_t a, uint32_t b, float t);
// Multiplies every channel by k (k > 1 brightens).
uint32_t Scale(uint32_t c, float k);
// Lightens towards white (t > 0) or darkens towards black (t < 0).
uint32_t Shade(uint32_t c, float t);

// Reads black outside the canvas; writes outside it are ignored.
uint32_t Pixel(const Canvas& cv, int x, int y);
void Plot(Canvas& cv, int x, int y, uint32_t c);
// Mixes c over the pixel with opacity alpha (0..1).
void Blend(Canvas& cv, int x, int y, uint32_t c, float alpha);

void FillRect(Canvas& cv, int x, int y, int w, int h, uint32_t c);
void VerticalGradient(Canvas& cv, int x, int y, int w, int h, uint32_t top, uint32_t bottom);
void HorizontalGradient(Canvas& cv, int x, int y, int w, int h, uint32_t left, uint32_t right);
// Pixels whose centre lies within r of (cx, cy).
void FillCircle(Canvas& cv, float cx, float cy, float r, uint32_t c);
void FillRoundRect(Canvas& cv, int x, int y, int w, int h, int radius, uint32_t c);
// A raised block: face colour with a light top-left and a dark bottom-right bevel.
void BevelRect(Canvas& cv, int x, int y, int w, int h, uint32_t face, int depth);
// One pixel wide, both end points included.
void DrawLine(Canvas& cv, int x0, int y0, int x1, int y1, uint32_t c);

// Colour of a round tube at a point: across runs -1..1 over its width, (nx, ny)
// is the screen direction in which across grows. Light comes from the top left;
// gloss 0..1 sets the strength of the specular highlight.
uint32_t TubeColor(uint32_t base, float across, float nx, float ny, float gloss);

// Deterministic noise: a 32-bit hash and a value in 0..1 for a pixel.
uint32_t Hash(int x, int y, int seed);
float Noise(int x, int y, int seed);

// Copies a rectangle; with keyBlack, black source pixels leave the target as it is.
void Blit(Canvas& dst, int dx, int dy, const Canvas& src, int sx, int sy, int w, int h,
          bool keyBlack);

}  // namespace sheetgen
