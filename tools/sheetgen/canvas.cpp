// SPDX-License-Identifier: Zlib
// Canvas creation and the shared drawing kit.
#include <algorithm>
#include <cmath>

#include "draw.h"

namespace sheetgen {

Canvas MakeCanvas(int width, int height, uint32_t fill) {
  Canvas cv;
  cv.Width = std::max(width, 0);
  cv.Height = std::max(height, 0);
  cv.Pixels.assign(static_cast<size_t>(cv.Width) * cv.Height, fill & 0xFFFFFF);
  return cv;
}

uint32_t Rgb(float r, float g, float b) {
  auto channel = [](float v) {
    return static_cast<uint32_t>(std::clamp(static_cast<int>(std::lround(v)), 0, 255));
  };
  return (channel(r) << 16) | (channel(g) << 8) | channel(b);
}

uint32_t Mix(uint32_t a, uint32_t b, float t) {
  return Rgb(Red(a) + (Red(b) - Red(a)) * t, Green(a) + (Green(b) - Green(a)) * t,
             Blue(a) + (Blue(b) - Blue(a)) * t);
}

uint32_t Scale(uint32_t c, float k) { return Rgb(Red(c) * k, Green(c) * k, Blue(c) * k); }

uint32_t Shade(uint32_t c, float t) {
  return t >= 0 ? Mix(c, 0xFFFFFF, std::min(t, 1.0f)) : Mix(c, 0x000000, std::min(-t, 1.0f));
}

uint32_t Pixel(const Canvas& cv, int x, int y) {
  if (x < 0 || y < 0 || x >= cv.Width || y >= cv.Height) return 0;
  return cv.Pixels[static_cast<size_t>(y) * cv.Width + x];
}

void Plot(Canvas& cv, int x, int y, uint32_t c) {
  if (x < 0 || y < 0 || x >= cv.Width || y >= cv.Height) return;
  cv.Pixels[static_cast<size_t>(y) * cv.Width + x] = c & 0xFFFFFF;
}

void Blend(Canvas& cv, int x, int y, uint32_t c, float alpha) {
  if (x < 0 || y < 0 || x >= cv.Width || y >= cv.Height) return;
  Plot(cv, x, y, Mix(Pixel(cv, x, y), c, std::clamp(alpha, 0.0f, 1.0f)));
}

void FillRect(Canvas& cv, int x, int y, int w, int h, uint32_t c) {
  for (int yy = y; yy < y + h; ++yy)
    for (int xx = x; xx < x + w; ++xx) Plot(cv, xx, yy, c);
}

void VerticalGradient(Canvas& cv, int x, int y, int w, int h, uint32_t top, uint32_t bottom) {
  for (int i = 0; i < h; ++i) {
    float t = h > 1 ? static_cast<float>(i) / (h - 1) : 0.0f;
    FillRect(cv, x, y + i, w, 1, Mix(top, bottom, t));
  }
}

void HorizontalGradient(Canvas& cv, int x, int y, int w, int h, uint32_t left, uint32_t right) {
  for (int i = 0; i < w; ++i) {
    float t = w > 1 ? static_cast<float>(i) / (w - 1) : 0.0f;
    FillRect(cv, x + i, y, 1, h, Mix(left, right, t));
  }
}

void FillCircle(Canvas& cv, float cx, float cy, float r, uint32_t c) {
  int x0 = static_cast<int>(std::floor(cx - r)), x1 = static_cast<int>(std::ceil(cx + r));
  int y0 = static_cast<int>(std::floor(cy - r)), y1 = static_cast<int>(std::ceil(cy + r));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
      if (dx * dx + dy * dy <= r * r) Plot(cv, x, y, c);
    }
}

void FillRoundRect(Canvas& cv, int x, int y, int w, int h, int radius, uint32_t c) {
  radius = std::clamp(radius, 0, std::min(w, h) / 2);
  for (int yy = 0; yy < h; ++yy)
    for (int xx = 0; xx < w; ++xx) {
      // Distance into the corner square, measured from the rounding's centre.
      float dx = std::max({0.0f, radius - (xx + 0.5f), (xx + 0.5f) - (w - radius)});
      float dy = std::max({0.0f, radius - (yy + 0.5f), (yy + 0.5f) - (h - radius)});
      if (dx * dx + dy * dy <= static_cast<float>(radius * radius)) Plot(cv, x + xx, y + yy, c);
    }
}

void BevelRect(Canvas& cv, int x, int y, int w, int h, uint32_t face, int depth) {
  FillRect(cv, x, y, w, h, face);
  for (int i = 0; i < depth; ++i) {
    float k = 1.0f - static_cast<float>(i) / std::max(depth, 1);
    uint32_t light = Shade(face, 0.45f * k), dark = Shade(face, -0.45f * k);
    FillRect(cv, x + i, y + i, w - 2 * i, 1, light);
    FillRect(cv, x + i, y + i, 1, h - 2 * i, light);
    FillRect(cv, x + i, y + h - 1 - i, w - 2 * i, 1, dark);
    FillRect(cv, x + w - 1 - i, y + i, 1, h - 2 * i, dark);
  }
}

void DrawLine(Canvas& cv, int x0, int y0, int x1, int y1, uint32_t c) {
  int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    Plot(cv, x0, y0, c);
    if (x0 == x1 && y0 == y1) return;
    int e2 = 2 * err;
    if (e2 >= dy) err += dy, x0 += sx;
    if (e2 <= dx) err += dx, y0 += sy;
  }
}

uint32_t TubeColor(uint32_t base, float across, float nx, float ny, float gloss) {
  float a = std::clamp(across, -1.0f, 1.0f);
  float z = std::sqrt(std::max(0.0f, 1.0f - a * a));
  float n[3] = {nx * a, ny * a, z};
  // Light from the top left, a little in front of the picture.
  const float light[3] = {-0.48f, -0.62f, 0.62f};
  const float half[3] = {-0.26f, -0.34f, 0.90f};
  float diffuse = std::max(0.0f, n[0] * light[0] + n[1] * light[1] + n[2] * light[2]);
  float spec = std::max(0.0f, n[0] * half[0] + n[1] * half[1] + n[2] * half[2]);
  spec = std::pow(spec, 24.0f) * gloss;
  float k = 0.38f + 0.85f * diffuse;
  float s = 255.0f * spec;
  return Rgb(Red(base) * k + s, Green(base) * k + s, Blue(base) * k + s);
}

uint32_t Hash(int x, int y, int seed) {
  uint32_t h = static_cast<uint32_t>(x) * 0x8DA6B343u ^ static_cast<uint32_t>(y) * 0xD8163841u ^
               static_cast<uint32_t>(seed) * 0xCB1AB31Fu;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

float Noise(int x, int y, int seed) { return (Hash(x, y, seed) & 0xFFFFFF) / 16777215.0f; }

void Blit(Canvas& dst, int dx, int dy, const Canvas& src, int sx, int sy, int w, int h,
          bool keyBlack) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (sx + x < 0 || sy + y < 0 || sx + x >= src.Width || sy + y >= src.Height) continue;
      uint32_t c = Pixel(src, sx + x, sy + y);
      if (keyBlack && c == 0) continue;
      Plot(dst, dx + x, dy + y, c);
    }
}

}  // namespace sheetgen
