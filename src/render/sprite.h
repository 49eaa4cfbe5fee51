// SPDX-License-Identifier: Zlib
// A sprite: one named rectangle of a sheet, drawn anywhere in one of four
// ways. The endless well keeps one per chip picture.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace render {

class SpriteObject {
 public:
  // Remembers the sheet (not a copy), the rectangle and the mask surface,
  // which may be null; the sprite can be drawn from now on.
  void Define(plat::Surface& pbSpriteData, int32_t left, int32_t top, int32_t width, int32_t height,
              plat::Surface* pbSpriteMask);
  // Mode 0 masked, 1 plain copy, 2 white silhouette, 3 inverting; any other
  // mode draws nothing. Returns 0 for a sprite never defined, -1 otherwise.
  int16_t Draw(plat::Surface& pbID, int32_t xpos, int32_t ypos, int16_t mode) const;

  bool IsDefined() const { return Defined != 0; }

 private:
  int16_t Defined = 0;
  plat::Surface* Data = nullptr;
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  plat::Surface* Mask = nullptr;
};

}  // namespace render
