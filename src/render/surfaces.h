// SPDX-License-Identifier: Zlib
// The picture surfaces of the game: the screen, the persistent play-screen
// layer and the sheets the pictures are cut from. They live for the whole run.
#pragma once

#include "platform/platform.h"

namespace render {

extern plat::Surface Scr;       // the visible 512 x 352 game screen
extern plat::Surface FirstMap;  // persistent layer of the play screen, 512 x 352
extern plat::Surface SysPic;    // system sheet, 256 x 256
extern plat::Surface PipePic;   // pipe sheet of the stage (or the endless chips)
extern plat::Surface WaterPic;  // water sheet 1, 512 x 512
extern plat::Surface WaterMaskPic;
extern plat::Surface WaterPic2;  // water sheet 2, 512 x 512
extern plat::Surface WaterMaskPic2;
extern plat::Surface FontPic;   // font sheet, 256 x 128
extern plat::Surface TitlePic;  // title sheet, 512 x 512
extern plat::Surface BackPic;   // texture sheet, 512 x 256

constexpr int kScreenWidth = 512;
constexpr int kScreenHeight = 352;

// Gives every surface its start-up size and colours (before any sheet loads).
void InitSurfaces();

}  // namespace render
