// SPDX-License-Identifier: Zlib
// Reader for the uncompressed 8-bit palette BMPs the sheets are stored in.
#include <cstring>

#include "platform/platform.h"

namespace plat {

namespace {

uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

constexpr size_t kFileHeader = 14;
constexpr int kMaxSide = 8192;

bool Fail(std::string& err, const char* why) {
  err = why;
  return false;
}

}  // namespace

bool ReadBmp8(const uint8_t* data, size_t size, Surface& out, std::string& err) {
  if (data == nullptr || size < kFileHeader + 40) return Fail(err, "file too short for a BMP");
  if (data[0] != 'B' || data[1] != 'M') return Fail(err, "not a BMP file");
  uint32_t pixelOffset = Le32(data + 10);
  uint32_t infoSize = Le32(data + 14);
  if (infoSize < 40 || kFileHeader + infoSize > size) return Fail(err, "unsupported BMP header");
  int32_t width = static_cast<int32_t>(Le32(data + 18));
  int32_t height = static_cast<int32_t>(Le32(data + 22));
  uint16_t planes = Le16(data + 26);
  uint16_t bits = Le16(data + 28);
  uint32_t compression = Le32(data + 30);
  uint32_t colorsUsed = Le32(data + 46);
  if (planes != 1 || bits != 8) return Fail(err, "not an 8-bit BMP");
  if (compression != 0) return Fail(err, "compressed BMP");
  bool bottomUp = height > 0;
  int64_t h = bottomUp ? height : -static_cast<int64_t>(height);
  if (width <= 0 || h <= 0 || width > kMaxSide || h > kMaxSide) return Fail(err, "bad BMP size");
  if (colorsUsed == 0) colorsUsed = 256;
  if (colorsUsed > 256) return Fail(err, "bad BMP colour count");
  size_t paletteAt = kFileHeader + infoSize;
  if (paletteAt + colorsUsed * 4 > size) return Fail(err, "BMP colour table cut short");
  size_t stride = (static_cast<size_t>(width) + 3) & ~static_cast<size_t>(3);
  if (pixelOffset > size || size - pixelOffset < stride * static_cast<size_t>(h))
    return Fail(err, "BMP pixels cut short");

  uint32_t palette[256] = {};
  for (uint32_t i = 0; i < colorsUsed; ++i) {
    const uint8_t* q = data + paletteAt + i * 4;
    palette[i] = (q[2] << 16) | (q[1] << 8) | q[0];
  }
  Surface s;
  s.BackColor = out.BackColor;
  s.ForeColor = out.ForeColor;
  Resize(s, width, static_cast<int>(h));
  for (int y = 0; y < s.Height; ++y) {
    int row = bottomUp ? s.Height - 1 - y : y;
    const uint8_t* src = data + pixelOffset + stride * row;
    for (int x = 0; x < s.Width; ++x)
      s.Pixels[static_cast<size_t>(y) * s.Width + x] = palette[src[x]];
  }
  out = std::move(s);
  return true;
}

}  // namespace plat
