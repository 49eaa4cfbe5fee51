// SPDX-License-Identifier: Zlib
// Procedural drawing of the game's picture sheets.
//
// Each Draw function paints one sheet in full colour; the writer turns it
// into an 8-bit palette BMP, keeping pure black (0x000000) exact: a pixel
// that is not pure black never becomes black in the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sheetgen {

struct Canvas {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;  // 0x00RRGGBB, rows top to bottom
};

Canvas MakeCanvas(int width, int height, uint32_t fill = 0);

// Pipes and water (pipes.cpp, water.cpp).
Canvas DrawPipeSheet(int pipeSet);  // "pipe0.bmp".."pipe4.bmp", 256 x 512
Canvas DrawWaterSheet(int sheet);   // 1: "water.bmp", 2: "water2.bmp", 512 x 512

// Everything else (system.cpp, font.cpp, title.cpp, endless.cpp).
Canvas DrawSysSheet();             // "syspic.bmp", 256 x 256
Canvas DrawFontSheet();            // "font.bmp", 256 x 128
Canvas DrawTitleSheet();           // "title.bmp", 512 x 512
Canvas DrawBackSheet();            // "back.bmp", 512 x 256
Canvas DrawHeylawSheet();          // "heylaw.bmp", 256 x 48
Canvas DrawEndlessBackground();    // "m013.bmp", 512 x 384

}  // namespace sheetgen
