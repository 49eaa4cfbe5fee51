// SPDX-License-Identifier: Zlib
#include "render/mask.h"

namespace render {

int16_t MonoBlt(plat::Surface& dst, int xDest, int yDest, int w, int h, const plat::Surface& src,
                int xSrc, int ySrc, uint32_t rop) {
  if (w <= 0 || h <= 0) return 0;
  // The two-level image: source pixels of the key colour become the
  // destination's background colour, every other pixel its foreground colour.
  plat::Surface mono;
  plat::Resize(mono, w, h);
  const uint32_t key = src.BackColor & plat::kColorMask;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint32_t p = plat::GetPixel(src, xSrc + x, ySrc + y);
      // Outside the source counts as background, as a fresh image would be.
      bool isKey = p == plat::CLR_INVALID || p == key;
      mono.Pixels[static_cast<size_t>(y) * w + x] = isKey ? dst.BackColor : dst.ForeColor;
    }
  }
  return plat::BitBlt(dst, xDest, yDest, w, h, mono, 0, 0, rop) ? -1 : 0;
}

void DrawMasked(plat::Surface& dst, int dx, int dy, int w, int h, const plat::Surface& sprite,
                int sx, int sy, const plat::Surface& mask, int mx, int my) {
  plat::BitBlt(dst, dx, dy, w, h, mask, mx, my, plat::SRCAND);
  plat::BitBlt(dst, dx, dy, w, h, sprite, sx, sy, plat::SRCPAINT);
}

}  // namespace render
