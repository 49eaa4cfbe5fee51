// SPDX-License-Identifier: Zlib
// Turning painted canvases into files: the 8-bit palette BMP the game embeds,
// and plain PNG pictures for looking at the art.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sheets.h"

namespace sheetgen {

struct PaletteImage {
  int Width = 0;
  int Height = 0;
  std::array<uint32_t, 256> Palette{};  // 0x00RRGGBB; entry 0 is always black
  std::vector<uint8_t> Index;           // Width * Height, rows top to bottom
};

// At most 256 colours by median cut and a few refinement passes. Pure black
// pixels get entry 0; every other pixel gets an entry that is not black.
PaletteImage Quantize(const Canvas& cv);
// The picture as the palette shows it.
Canvas Expand(const PaletteImage& img);

// Uncompressed BI_RGB, 8 bits per pixel, 256-entry colour table, rows bottom-up.
std::vector<uint8_t> EncodeBmp8(const PaletteImage& img);
// 24-bit RGB PNG with stored (uncompressed) deflate blocks.
std::vector<uint8_t> EncodePng(const Canvas& cv);
// 32-bit RGBA PNG from 0xAARRGGBB pixels, row by row.
std::vector<uint8_t> EncodePngAlpha(int width, int height, const std::vector<uint32_t>& argb);

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace sheetgen
