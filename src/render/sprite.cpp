// SPDX-License-Identifier: Zlib
#include "render/sprite.h"

namespace render {

void SpriteObject::Define(plat::Surface& pbSpriteData, int32_t left, int32_t top, int32_t width,
                          int32_t height, plat::Surface* pbSpriteMask) {
  Data = &pbSpriteData;
  Left = left;
  Top = top;
  Width = width;
  Height = height;
  Mask = pbSpriteMask;
  Defined = -1;
}

// The masked modes need a mask; a sprite defined without one draws nothing
// there rather than reading a surface that is not there.
int16_t SpriteObject::Draw(plat::Surface& pbID, int32_t xpos, int32_t ypos, int16_t mode) const {
  if (Defined == 0) return 0;
  switch (mode) {
    case 0:
      if (Mask == nullptr) break;
      plat::BitBlt(pbID, xpos, ypos, Width, Height, *Mask, Left, Top, plat::SRCAND);
      plat::BitBlt(pbID, xpos, ypos, Width, Height, *Data, Left, Top, plat::SRCPAINT);
      break;
    case 1:
      plat::BitBlt(pbID, xpos, ypos, Width, Height, *Data, Left, Top, plat::SRCCOPY);
      break;
    case 2:
      if (Mask == nullptr) break;
      plat::BitBlt(pbID, xpos, ypos, Width, Height, *Mask, Left, Top, plat::MERGEPAINT);
      break;
    case 3:
      plat::BitBlt(pbID, xpos, ypos, Width, Height, *Data, Left, Top, plat::SRCINVERT);
      break;
    default:
      break;
  }
  return -1;
}

}  // namespace render
