// SPDX-License-Identifier: Zlib
// Surfaces and the raster operations the game draws with.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace plat {

namespace {

bool KnownRop(uint32_t rop) {
  switch (rop) {
    case SRCCOPY:
    case SRCAND:
    case SRCPAINT:
    case SRCINVERT:
    case MERGEPAINT:
    case NOTSRCCOPY:
    case BLACKNESS:
      return true;
    default:
      return false;
  }
}

uint32_t Combine(uint32_t d, uint32_t s, uint32_t rop) {
  switch (rop) {
    case SRCCOPY:
      return s & kColorMask;
    case SRCAND:
      return d & s & kColorMask;
    case SRCPAINT:
      return (d | s) & kColorMask;
    case SRCINVERT:
      return (d ^ s) & kColorMask;
    case MERGEPAINT:
      return (d | ~s) & kColorMask;
    case NOTSRCCOPY:
      return ~s & kColorMask;
    default:
      return 0;  // BLACKNESS
  }
}

// One row of a copy; a loop per operation keeps the hot paths simple. On
// x86-64 a second build of it for AVX2 is picked at start-up where the
// processor has it: twice the pixels an instruction for the whole-screen
// copies of every frame.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define DUCTORA_PIXEL_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define DUCTORA_PIXEL_CLONES
#endif
DUCTORA_PIXEL_CLONES void CombineRow(uint32_t* d, const uint32_t* s, int w, uint32_t rop) {
  switch (rop) {
    case SRCCOPY:
      for (int x = 0; x < w; ++x) d[x] = s[x] & kColorMask;
      return;
    case SRCAND:
      for (int x = 0; x < w; ++x) d[x] &= s[x];
      return;
    case SRCPAINT:
      for (int x = 0; x < w; ++x) d[x] = (d[x] | s[x]) & kColorMask;
      return;
    default:
      for (int x = 0; x < w; ++x) d[x] = Combine(d[x], s[x], rop);
      return;
  }
}

// Shrinks a rectangle so that it lies inside [0, limit) on one axis, moving
// the paired coordinate along with it.
void ClipAxis(int& d, int& s, int& len, int dLimit, int sLimit) {
  if (d < 0) {
    s -= d;
    len += d;
    d = 0;
  }
  if (s < 0) {
    d -= s;
    len += s;
    s = 0;
  }
  len = std::min({len, dLimit - d, sLimit - s});
}

int64_t Area(const ChangedBox& b) { return static_cast<int64_t>(b.X1 - b.X0) * (b.Y1 - b.Y0); }

ChangedBox Union(const ChangedBox& a, const ChangedBox& b) {
  return {std::min(a.X0, b.X0), std::min(a.Y0, b.Y0), std::max(a.X1, b.X1), std::max(a.Y1, b.Y1)};
}

// What merging two boxes adds to the pixels a restore copies.
int64_t MergeCost(const ChangedBox& a, const ChangedBox& b) {
  return Area(Union(a, b)) - Area(a) - Area(b);
}

// With one box too many, the two whose merging copies the fewest extra
// pixels become one.
void MergeCheapestPair(Surface& s) {
  int bi = 0, bj = 1;
  int64_t best = INT64_MAX;
  for (int i = 0; i < s.ChangedCount; ++i)
    for (int j = i + 1; j < s.ChangedCount; ++j) {
      const int64_t cost = MergeCost(s.Boxes[i], s.Boxes[j]);
      if (cost < best) {
        best = cost;
        bi = i;
        bj = j;
      }
    }
  s.Boxes[bi] = Union(s.Boxes[bi], s.Boxes[bj]);
  s.Boxes[bj] = s.Boxes[--s.ChangedCount];
}

bool Inside(const ChangedBox& a, const ChangedBox& b) {
  return a.X0 >= b.X0 && a.Y0 >= b.Y0 && a.X1 <= b.X1 && a.Y1 <= b.Y1;
}

// Adds a box unless one already listed holds it.
void AddShownBox(const ChangedBox& box, ChangedBox* boxes, int& count) {
  for (int i = 0; i < count; ++i)
    if (Inside(box, boxes[i])) return;
  boxes[count++] = box;
}

uint64_t VersionCounter = 0;

}  // namespace

uint64_t NextSurfaceVersion() { return ++VersionCounter; }

void Changed(Surface& s) {
  s.Version = NextSurfaceVersion();
  s.AllChanged = true;
}

void Changed(Surface& s, int x0, int y0, int x1, int y1) {
  s.Version = NextSurfaceVersion();
  if (s.AllChanged || x1 <= x0 || y1 <= y0) return;
  const ChangedBox box{x0, y0, x1, y1};
  for (int i = 0; i < s.ChangedCount; ++i) {
    // Touching or overlapping boxes (the glyphs of a line, the cells of a
    // row) grow one box instead of taking another.
    if (MergeCost(s.Boxes[i], box) <= 0) {
      s.Boxes[i] = Union(s.Boxes[i], box);
      return;
    }
  }
  s.Boxes[s.ChangedCount++] = box;
  if (s.ChangedCount > kChangedBoxes) MergeCheapestPair(s);
}

void RestoreFrom(Surface& dst, const Surface& src) {
  if (&dst == &src) return;
  if (dst.Width != src.Width || dst.Height != src.Height) {
    BitBlt(dst, 0, 0, dst.Width, dst.Height, src, 0, 0, SRCCOPY);
    dst.RestoredFrom = nullptr;
    return;
  }
  const bool same =
      !dst.AllChanged && dst.RestoredFrom == &src && dst.RestoredVersion == src.Version;
  if (!same) {
    CombineRow(dst.Pixels.data(), src.Pixels.data(), static_cast<int>(src.Pixels.size()), SRCCOPY);
  } else {
    for (int i = 0; i < dst.ChangedCount; ++i) {
      const ChangedBox& b = dst.Boxes[i];
      for (int y = b.Y0; y < b.Y1; ++y) {
        const size_t at = static_cast<size_t>(y) * src.Width + b.X0;
        CombineRow(&dst.Pixels[at], &src.Pixels[at], b.X1 - b.X0, SRCCOPY);
      }
    }
  }
  dst.Version = NextSurfaceVersion();
  dst.RestoredFrom = &src;
  dst.RestoredVersion = src.Version;
  dst.AllChanged = false;
  dst.ChangedCount = 0;
}

bool ChangedSinceShown(ShownPicture& shown, const Surface& screen, ChangedBox* boxes, int& count) {
  const bool partial = !screen.AllChanged && screen.RestoredFrom != nullptr &&
                       shown.Layer == screen.RestoredFrom &&
                       shown.LayerVersion == screen.RestoredVersion;
  count = 0;
  if (partial) {
    for (int i = 0; i < shown.Count; ++i) AddShownBox(shown.Boxes[i], boxes, count);
    for (int i = 0; i < screen.ChangedCount; ++i) AddShownBox(screen.Boxes[i], boxes, count);
  }
  shown.Layer = screen.AllChanged ? nullptr : screen.RestoredFrom;
  shown.LayerVersion = screen.RestoredVersion;
  shown.Count = screen.ChangedCount;
  std::copy_n(screen.Boxes, screen.ChangedCount, shown.Boxes);
  return partial;
}

void Resize(Surface& s, int width, int height) {
  s.Width = std::max(0, width);
  s.Height = std::max(0, height);
  s.Pixels.assign(static_cast<size_t>(s.Width) * s.Height, 0);
  Changed(s);
}

bool BitBlt(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
            uint32_t rop) {
  if (!KnownRop(rop)) return false;
  if (rop == BLACKNESS) {
    FillBlack(dst, dx, dy, w, h);
    return true;
  }
  ClipAxis(dx, sx, w, dst.Width, src.Width);
  ClipAxis(dy, sy, h, dst.Height, src.Height);
  if (w <= 0 || h <= 0) return true;
  // A copy of a surface onto itself reads the picture as it was before,
  // through a buffer that is kept from one copy to the next.
  static std::vector<uint32_t> copy;
  const uint32_t* from = src.Pixels.data();
  int fromWidth = src.Width;
  if (&dst == &src) {
    if (copy.size() < static_cast<size_t>(w) * h) copy.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
      std::copy_n(&src.Pixels[static_cast<size_t>(sy + y) * src.Width + sx], w, &copy[y * w]);
    from = copy.data();
    fromWidth = w;
    sx = 0;
    sy = 0;
  }
  for (int y = 0; y < h; ++y) {
    uint32_t* d = &dst.Pixels[static_cast<size_t>(dy + y) * dst.Width + dx];
    const uint32_t* s = from + static_cast<size_t>(sy + y) * fromWidth + sx;
    CombineRow(d, s, w, rop);
  }
  Changed(dst, dx, dy, dx + w, dy + h);
  return true;
}

bool StretchBlt(Surface& dst, int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy,
                int sw, int sh, uint32_t rop) {
  if (!KnownRop(rop) || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return false;
  Surface copy;
  const Surface* from = &src;
  if (&dst == &src) {
    copy = src;
    from = &copy;
  }
  for (int y = 0; y < dh; ++y) {
    int ty = dy + y;
    int fy = sy + static_cast<int>(static_cast<int64_t>(y) * sh / dh);
    if (ty < 0 || ty >= dst.Height || fy < 0 || fy >= from->Height) continue;
    for (int x = 0; x < dw; ++x) {
      int tx = dx + x;
      int fx = sx + static_cast<int>(static_cast<int64_t>(x) * sw / dw);
      if (tx < 0 || tx >= dst.Width || fx < 0 || fx >= from->Width) continue;
      uint32_t& d = dst.Pixels[static_cast<size_t>(ty) * dst.Width + tx];
      d = Combine(d, from->Pixels[static_cast<size_t>(fy) * from->Width + fx], rop);
    }
  }
  Changed(dst, std::max(dx, 0), std::max(dy, 0), std::clamp(dx + dw, 0, dst.Width),
          std::clamp(dy + dh, 0, dst.Height));
  return true;
}

uint32_t GetPixel(const Surface& s, int x, int y) {
  if (x < 0 || y < 0 || x >= s.Width || y >= s.Height) return CLR_INVALID;
  return s.Pixels[static_cast<size_t>(y) * s.Width + x];
}

void SetPixelV(Surface& s, int x, int y, uint32_t color) {
  if (x < 0 || y < 0 || x >= s.Width || y >= s.Height) return;
  s.Pixels[static_cast<size_t>(y) * s.Width + x] = color & kColorMask;
  Changed(s, x, y, x + 1, y + 1);
}

void DrawLine(Surface& s, int x1, int y1, int x2, int y2, uint32_t color) {
  int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
  int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
  int err = dx + dy;
  int x = x1, y = y1;
  while (x != x2 || y != y2) {
    SetPixelV(s, x, y, color);
    int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

void DrawBox(Surface& s, int x1, int y1, int x2, int y2, uint32_t color) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  FillRect(s, x1, y1, x2 - x1 + 1, 1, color);
  FillRect(s, x1, y2, x2 - x1 + 1, 1, color);
  FillRect(s, x1, y1, 1, y2 - y1 + 1, color);
  FillRect(s, x2, y1, 1, y2 - y1 + 1, color);
}

void FillRect(Surface& s, int x, int y, int w, int h, uint32_t color) {
  int x0 = std::max(x, 0), y0 = std::max(y, 0);
  int x1 = std::min<int64_t>(static_cast<int64_t>(x) + w, s.Width);
  int y1 = std::min<int64_t>(static_cast<int64_t>(y) + h, s.Height);
  if (x1 <= x0 || y1 <= y0) return;
  color &= kColorMask;
  Changed(s, x0, y0, x1, y1);
  if (color == 0 && x0 == 0 && x1 == s.Width) {
    // Whole rows of black (a cleared screen) are one block of zero bytes.
    std::memset(&s.Pixels[static_cast<size_t>(y0) * s.Width], 0,
                static_cast<size_t>(y1 - y0) * s.Width * sizeof(uint32_t));
    return;
  }
  for (int yy = y0; yy < y1; ++yy)
    std::fill(&s.Pixels[static_cast<size_t>(yy) * s.Width + x0],
              &s.Pixels[static_cast<size_t>(yy) * s.Width + x1], color);
}

void FillBlack(Surface& s, int x, int y, int w, int h) { FillRect(s, x, y, w, h, 0); }

}  // namespace plat
