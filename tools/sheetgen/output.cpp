// SPDX-License-Identifier: Zlib
// Palette reduction and the BMP and PNG encoders.
#include "output.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "draw.h"

namespace sheetgen {
namespace {

struct ColorCount {
  uint32_t Color;
  uint32_t Count;
};

// Perceptual weights: the eye is kindest to errors in blue, hardest on green.
int64_t Distance(uint32_t a, uint32_t b) {
  int64_t dr = Red(a) - Red(b), dg = Green(a) - Green(b), db = Blue(a) - Blue(b);
  return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

int Channel(uint32_t c, int axis) { return axis == 0 ? Red(c) : axis == 1 ? Green(c) : Blue(c); }

struct Box {
  size_t Begin, End;  // range of the colour list
  double Error;       // weighted squared error around the mean
};

uint32_t MeanColor(const std::vector<ColorCount>& list, size_t begin, size_t end) {
  double sum[3] = {0, 0, 0}, n = 0;
  for (size_t i = begin; i < end; ++i) {
    for (int a = 0; a < 3; ++a)
      sum[a] += static_cast<double>(Channel(list[i].Color, a)) * list[i].Count;
    n += list[i].Count;
  }
  uint32_t c = Rgb(sum[0] / n, sum[1] / n, sum[2] / n);
  return c == 0 ? 0x010101 : c;  // black belongs to entry 0 alone
}

double BoxError(const std::vector<ColorCount>& list, size_t begin, size_t end) {
  uint32_t mean = MeanColor(list, begin, end);
  double e = 0;
  for (size_t i = begin; i < end; ++i)
    e += static_cast<double>(Distance(list[i].Color, mean)) * list[i].Count;
  return e;
}

// Splits the box along its widest channel at the weighted median.
size_t SplitBox(std::vector<ColorCount>& list, const Box& box) {
  int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
  for (size_t i = box.Begin; i < box.End; ++i)
    for (int a = 0; a < 3; ++a) {
      lo[a] = std::min(lo[a], Channel(list[i].Color, a));
      hi[a] = std::max(hi[a], Channel(list[i].Color, a));
    }
  int axis = 0;
  for (int a = 1; a < 3; ++a)
    if (hi[a] - lo[a] > hi[axis] - lo[axis]) axis = a;
  std::sort(list.begin() + box.Begin, list.begin() + box.End,
            [axis](const ColorCount& x, const ColorCount& y) {
              return Channel(x.Color, axis) < Channel(y.Color, axis);
            });
  uint64_t total = 0, run = 0;
  for (size_t i = box.Begin; i < box.End; ++i) total += list[i].Count;
  size_t cut = box.Begin + 1;
  for (size_t i = box.Begin; i < box.End - 1; ++i) {
    run += list[i].Count;
    cut = i + 1;
    if (run * 2 >= total) break;
  }
  return cut;
}

std::vector<uint32_t> MedianCut(std::vector<ColorCount>& list, size_t maxColors) {
  std::vector<Box> boxes{{0, list.size(), BoxError(list, 0, list.size())}};
  while (boxes.size() < maxColors) {
    size_t pick = boxes.size();
    for (size_t i = 0; i < boxes.size(); ++i)
      if (boxes[i].End - boxes[i].Begin > 1 &&
          (pick == boxes.size() || boxes[i].Error > boxes[pick].Error))
        pick = i;
    if (pick == boxes.size()) break;
    Box box = boxes[pick];
    size_t cut = SplitBox(list, box);
    boxes[pick] = {box.Begin, cut, BoxError(list, box.Begin, cut)};
    boxes.push_back({cut, box.End, BoxError(list, cut, box.End)});
  }
  std::vector<uint32_t> palette;
  for (const Box& b : boxes) palette.push_back(MeanColor(list, b.Begin, b.End));
  return palette;
}

size_t Nearest(const std::vector<uint32_t>& palette, uint32_t c) {
  size_t best = 0;
  int64_t bestD = INT64_MAX;
  for (size_t i = 0; i < palette.size(); ++i) {
    int64_t d = Distance(palette[i], c);
    if (d < bestD) bestD = d, best = i;
  }
  return best;
}

// Lloyd passes: move each entry to the mean of the colours that chose it.
void Refine(const std::vector<ColorCount>& list, std::vector<uint32_t>& palette, int passes) {
  for (int pass = 0; pass < passes; ++pass) {
    std::vector<double> sum(palette.size() * 4, 0.0);
    for (const ColorCount& cc : list) {
      size_t k = Nearest(palette, cc.Color);
      for (int a = 0; a < 3; ++a)
        sum[k * 4 + a] += static_cast<double>(Channel(cc.Color, a)) * cc.Count;
      sum[k * 4 + 3] += cc.Count;
    }
    for (size_t k = 0; k < palette.size(); ++k) {
      double n = sum[k * 4 + 3];
      if (n <= 0) continue;
      uint32_t c = Rgb(sum[k * 4] / n, sum[k * 4 + 1] / n, sum[k * 4 + 2] / n);
      palette[k] = c == 0 ? 0x010101 : c;
    }
  }
}

void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(x & 0xFF);
  v.push_back((x >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}
void Put32Big(std::vector<uint8_t>& v, uint32_t x) {
  for (int s = 24; s >= 0; s -= 8) v.push_back((x >> s) & 0xFF);
}

uint32_t Crc32(const uint8_t* data, size_t n) {
  static uint32_t table[256];
  static bool ready = false;
  if (!ready) {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[i] = c;
    }
    ready = true;
  }
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

uint32_t Adler32(const std::vector<uint8_t>& data) {
  uint32_t a = 1, b = 0;
  for (uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

void PutChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& body) {
  Put32Big(png, static_cast<uint32_t>(body.size()));
  std::vector<uint8_t> typed(type, type + 4);
  typed.insert(typed.end(), body.begin(), body.end());
  png.insert(png.end(), typed.begin(), typed.end());
  Put32Big(png, Crc32(typed.data(), typed.size()));
}

}  // namespace

PaletteImage Quantize(const Canvas& cv) {
  PaletteImage img;
  img.Width = cv.Width;
  img.Height = cv.Height;
  img.Index.assign(cv.Pixels.size(), 0);
  std::unordered_map<uint32_t, uint32_t> histogram;
  for (uint32_t c : cv.Pixels)
    if ((c & 0xFFFFFF) != 0) ++histogram[c & 0xFFFFFF];
  std::vector<ColorCount> list;
  for (const auto& [color, count] : histogram) list.push_back({color, count});
  std::sort(list.begin(), list.end(),
            [](const ColorCount& a, const ColorCount& b) { return a.Color < b.Color; });

  std::vector<uint32_t> palette;
  if (list.size() <= 255) {
    for (const ColorCount& cc : list) palette.push_back(cc.Color);
  } else {
    palette = MedianCut(list, 255);
    Refine(list, palette, 4);
  }
  std::unordered_map<uint32_t, uint8_t> lookup;
  for (const ColorCount& cc : list)
    lookup[cc.Color] = static_cast<uint8_t>(1 + Nearest(palette, cc.Color));
  for (size_t i = 0; i < palette.size(); ++i) img.Palette[i + 1] = palette[i];
  for (size_t i = 0; i < cv.Pixels.size(); ++i) {
    uint32_t c = cv.Pixels[i] & 0xFFFFFF;
    img.Index[i] = c == 0 ? 0 : lookup[c];
  }
  return img;
}

Canvas Expand(const PaletteImage& img) {
  Canvas cv = MakeCanvas(img.Width, img.Height);
  for (size_t i = 0; i < img.Index.size(); ++i) cv.Pixels[i] = img.Palette[img.Index[i]];
  return cv;
}

std::vector<uint8_t> EncodeBmp8(const PaletteImage& img) {
  const uint32_t rowSize = (static_cast<uint32_t>(img.Width) + 3) & ~3u;
  const uint32_t dataOffset = 14 + 40 + 256 * 4;
  const uint32_t imageSize = rowSize * static_cast<uint32_t>(img.Height);
  std::vector<uint8_t> out;
  out.reserve(dataOffset + imageSize);
  out.push_back('B');
  out.push_back('M');
  Put32(out, dataOffset + imageSize);
  Put32(out, 0);
  Put32(out, dataOffset);
  Put32(out, 40);  // BITMAPINFOHEADER
  Put32(out, static_cast<uint32_t>(img.Width));
  Put32(out, static_cast<uint32_t>(img.Height));  // positive: bottom-up rows
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, 0);  // BI_RGB
  Put32(out, imageSize);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, 256);
  Put32(out, 0);
  for (uint32_t c : img.Palette) {
    out.push_back(Blue(c));
    out.push_back(Green(c));
    out.push_back(Red(c));
    out.push_back(0);
  }
  for (int y = img.Height - 1; y >= 0; --y) {
    const uint8_t* row = img.Index.data() + static_cast<size_t>(y) * img.Width;
    out.insert(out.end(), row, row + img.Width);
    out.resize(out.size() + (rowSize - img.Width), 0);
  }
  return out;
}

namespace {

// A PNG of the given colour type (2 RGB, 6 RGBA, 8 bits a channel) around
// filtered scanlines, in stored (uncompressed) deflate blocks.
std::vector<uint8_t> PngFile(int width, int height, uint8_t colourType,
                             const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> z = {0x78, 0x01};
  size_t pos = 0;
  do {
    size_t n = std::min<size_t>(65535, raw.size() - pos);
    z.push_back(pos + n == raw.size() ? 1 : 0);
    Put16(z, static_cast<uint32_t>(n));
    Put16(z, static_cast<uint32_t>(~n & 0xFFFF));
    z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
    pos += n;
  } while (pos < raw.size());
  Put32Big(z, Adler32(raw));

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<uint8_t> header;
  Put32Big(header, static_cast<uint32_t>(width));
  Put32Big(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, colourType, 0, 0, 0});
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", z);
  PutChunk(png, "IEND", {});
  return png;
}

}  // namespace

std::vector<uint8_t> EncodePng(const Canvas& cv) {
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(cv.Width * 3 + 1) * cv.Height);
  for (int y = 0; y < cv.Height; ++y) {
    raw.push_back(0);  // filter: none
    for (int x = 0; x < cv.Width; ++x) {
      uint32_t c = Pixel(cv, x, y);
      raw.push_back(Red(c));
      raw.push_back(Green(c));
      raw.push_back(Blue(c));
    }
  }
  return PngFile(cv.Width, cv.Height, 2, raw);
}

std::vector<uint8_t> EncodePngAlpha(int width, int height, const std::vector<uint32_t>& argb) {
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(width * 4 + 1) * height);
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // filter: none
    for (int x = 0; x < width; ++x) {
      uint32_t c = argb[static_cast<size_t>(y) * width + x];
      raw.push_back(static_cast<uint8_t>(Red(c)));
      raw.push_back(static_cast<uint8_t>(Green(c)));
      raw.push_back(static_cast<uint8_t>(Blue(c)));
      raw.push_back(static_cast<uint8_t>(c >> 24));
    }
  }
  return PngFile(width, height, 6, raw);
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace sheetgen
