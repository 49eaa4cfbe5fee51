// SPDX-License-Identifier: Zlib
#include "picture.h"

#include <algorithm>
#include <cstddef>

namespace shotcmp {

namespace {

constexpr size_t kHeaderFields = 25;
constexpr uint32_t kXwdVersion = 7;
constexpr uint32_t kZPixmap = 2;
constexpr size_t kColorEntrySize = 12;

uint32_t Field(const std::vector<uint8_t>& b, size_t i, bool bigEndian) {
  const uint8_t* p = b.data() + 4 * i;
  if (bigEndian)
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
  return static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[1]) << 8 | p[0];
}

// A channel taken out by its mask and brought to 8 bits.
uint32_t Channel(uint32_t value, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  const uint32_t m = mask >> shift;
  int width = 0;
  while (((m >> width) & 1) != 0 && width < 32) ++width;
  const uint32_t v = (value & mask) >> shift;
  if (width >= 8) return v >> (width - 8);
  return m == 0 ? 0 : v * 255 / m;
}

}  // namespace

bool ReadXwd(const std::vector<uint8_t>& bytes, Picture& out, std::string& error) {
  if (bytes.size() < 4 * kHeaderFields) {
    error = "too short for a window dump header";
    return false;
  }
  // The dump tool writes its header most significant byte first; a header
  // in the other order is recognised by its version field.
  bool big = true;
  if (Field(bytes, 1, true) != kXwdVersion) {
    big = false;
    if (Field(bytes, 1, false) != kXwdVersion) {
      error = "not a version 7 window dump";
      return false;
    }
  }
  auto f = [&](size_t i) { return Field(bytes, i, big); };
  const uint32_t headerSize = f(0);
  const uint32_t format = f(2);
  const uint32_t width = f(4);
  const uint32_t height = f(5);
  const bool msbFirst = f(7) != 0;
  const uint32_t bpp = f(11);
  const uint32_t stride = f(12);
  const uint32_t red = f(14), green = f(15), blue = f(16);
  const uint32_t colors = f(19);
  if (format != kZPixmap) {
    error = "only ZPixmap dumps are read";
    return false;
  }
  if (bpp != 24 && bpp != 32) {
    error = "only 24 or 32 bits per pixel are read, not " + std::to_string(bpp);
    return false;
  }
  if (width == 0 || height == 0 || width > 16384 || height > 16384 ||
      headerSize < 4 * kHeaderFields) {
    error = "implausible picture header";
    return false;
  }
  const uint64_t bytesPerPixel = bpp / 8;
  if (stride < width * bytesPerPixel) {
    error = "rows shorter than the picture is wide";
    return false;
  }
  const uint64_t start = static_cast<uint64_t>(headerSize) + uint64_t{colors} * kColorEntrySize;
  if (start + uint64_t{stride} * height > bytes.size()) {
    error = "the picture data is cut short";
    return false;
  }
  out.Width = static_cast<int>(width);
  out.Height = static_cast<int>(height);
  out.Pixels.assign(static_cast<size_t>(width) * height, 0);
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* row = bytes.data() + start + uint64_t{stride} * y;
    for (uint32_t x = 0; x < width; ++x) {
      const uint8_t* p = row + bytesPerPixel * x;
      uint32_t v = 0;
      for (uint64_t k = 0; k < bytesPerPixel; ++k) {
        const uint32_t byte = p[msbFirst ? k : bytesPerPixel - 1 - k];
        v = v << 8 | byte;
      }
      out.Pixels[static_cast<size_t>(y) * width + x] =
          Channel(v, red) << 16 | Channel(v, green) << 8 | Channel(v, blue);
    }
  }
  return true;
}

bool CompareScaled(const Picture& window, const Picture& reference,
                   const std::vector<Area>& ignored, Comparison& result, std::string& error) {
  if (reference.Width <= 0 || reference.Height <= 0 || window.Width % reference.Width != 0 ||
      window.Width / reference.Width < 1 ||
      window.Height != reference.Height * (window.Width / reference.Width)) {
    error = "the window (" + std::to_string(window.Width) + " x " + std::to_string(window.Height) +
            ") is not the reference (" + std::to_string(reference.Width) + " x " +
            std::to_string(reference.Height) + ") at a whole-number scale";
    return false;
  }
  const int s = window.Width / reference.Width;
  result = Comparison{};
  result.Scale = s;
  for (int y = 0; y < reference.Height; ++y) {
    for (int x = 0; x < reference.Width; ++x) {
      if (std::any_of(ignored.begin(), ignored.end(), [&](const Area& a) { return a.Holds(x, y); }))
        continue;
      ++result.Total;
      const uint32_t want = reference.Pixels[static_cast<size_t>(y) * reference.Width + x];
      bool same = true;
      for (int dy = 0; dy < s && same; ++dy)
        for (int dx = 0; dx < s && same; ++dx)
          same = window.Pixels[static_cast<size_t>(y * s + dy) * window.Width + x * s + dx] == want;
      if (same) continue;
      if (result.Differing++ == 0) {
        result.Left = result.Right = x;
        result.Top = result.Bottom = y;
      }
      result.Left = std::min(result.Left, x);
      result.Right = std::max(result.Right, x);
      result.Top = std::min(result.Top, y);
      result.Bottom = std::max(result.Bottom, y);
    }
  }
  return true;
}

Picture Downscale(const Picture& window, int scale) {
  Picture out;
  if (scale < 1) return out;
  out.Width = window.Width / scale;
  out.Height = window.Height / scale;
  out.Pixels.resize(static_cast<size_t>(out.Width) * out.Height);
  for (int y = 0; y < out.Height; ++y)
    for (int x = 0; x < out.Width; ++x)
      out.Pixels[static_cast<size_t>(y) * out.Width + x] =
          window.Pixels[static_cast<size_t>(y * scale) * window.Width + x * scale];
  return out;
}

Picture Crop(const Picture& p, int x, int y, int w, int h) {
  Picture out{w, h, {}};
  out.Pixels.reserve(static_cast<size_t>(w) * h);
  for (int yy = y; yy < y + h; ++yy) {
    const auto row = p.Pixels.begin() + static_cast<std::ptrdiff_t>(yy) * p.Width + x;
    out.Pixels.insert(out.Pixels.end(), row, row + w);
  }
  return out;
}

bool CompareCentred(const Picture& display, const Picture& reference,
                    const std::vector<Area>& ignored, Placement& placed, Comparison& result,
                    std::string& error) {
  placed = Placement{};
  if (reference.Width > 0 && reference.Height > 0)
    placed.Scale = std::min(display.Width / reference.Width, display.Height / reference.Height);
  if (placed.Scale < 1) {
    error = "the display (" + std::to_string(display.Width) + " x " +
            std::to_string(display.Height) + ") cannot hold the reference (" +
            std::to_string(reference.Width) + " x " + std::to_string(reference.Height) + ")";
    return false;
  }
  const int w = reference.Width * placed.Scale, h = reference.Height * placed.Scale;
  placed.X = (display.Width - w) / 2;
  placed.Y = (display.Height - h) / 2;
  const Area inside{placed.X, placed.Y, w, h};
  for (int y = 0; y < display.Height; ++y)
    for (int x = 0; x < display.Width; ++x)
      if (!inside.Holds(x, y) && display.Pixels[static_cast<size_t>(y) * display.Width + x] != 0)
        ++placed.Surround;
  return CompareScaled(Crop(display, placed.X, placed.Y, w, h), reference, ignored, result, error);
}

}  // namespace shotcmp
