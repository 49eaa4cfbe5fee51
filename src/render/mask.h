// SPDX-License-Identifier: Zlib
// Masks for two-copy transparent drawing.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace render {

// Builds a two-level copy of src: pixels equal to src's background colour
// become dst's background colour, all others dst's foreground colour, then
// rop combines them into dst. Returns -1 on success, 0 on failure.
int16_t MonoBlt(plat::Surface& dst, int xDest, int yDest, int w, int h, const plat::Surface& src,
                int xSrc, int ySrc, uint32_t rop);

// Masked drawing: mask (mx, my) with SRCAND, then sprite (sx, sy) with SRCPAINT.
void DrawMasked(plat::Surface& dst, int dx, int dy, int w, int h, const plat::Surface& sprite,
                int sx, int sy, const plat::Surface& mask, int mx, int my);

}  // namespace render
