// SPDX-License-Identifier: Zlib
#include "render/surfaces.h"

namespace render {

plat::Surface Scr;
plat::Surface FirstMap;
plat::Surface SysPic;
plat::Surface PipePic;
plat::Surface WaterPic;
plat::Surface WaterMaskPic;
plat::Surface WaterPic2;
plat::Surface WaterMaskPic2;
plat::Surface FontPic;
plat::Surface TitlePic;
plat::Surface BackPic;

void InitSurfaces() {
  plat::Resize(Scr, kScreenWidth, kScreenHeight);
  plat::Resize(FirstMap, kScreenWidth, kScreenHeight);
  // The start-up grid draws its box on the empty system sheet in these colours.
  plat::Resize(SysPic, 32, 32);
  SysPic.ForeColor = 0xFFFFC0;
  SysPic.BackColor = 0x8080FF;
  // Black is the transparent colour of the water sheets and their masks.
  WaterPic.BackColor = 0;
  WaterPic2.BackColor = 0;
  WaterMaskPic.BackColor = 0;
  WaterMaskPic.ForeColor = 0xFFFFFF;
  WaterMaskPic2.BackColor = 0;
  WaterMaskPic2.ForeColor = 0xFFFFFF;
}

}  // namespace render
