// SPDX-License-Identifier: Zlib
// Raster operations, clipping, scaling and masks on hand-computed pixels.
#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "render/mask.h"

namespace {

using plat::Surface;

Surface Filled(int w, int h, uint32_t color) {
  Surface s;
  plat::Resize(s, w, h);
  plat::FillRect(s, 0, 0, w, h, color);
  return s;
}

uint32_t At(const Surface& s, int x, int y) { return plat::GetPixel(s, x, y); }

TEST(Raster, EveryOperationOnOnePixel) {
  const uint32_t d = 0x00F0A05A, s = 0x003C0FF1;
  struct Case {
    uint32_t Rop;
    uint32_t Expected;
  } cases[] = {
      {plat::SRCCOPY, 0x3C0FF1},   {plat::SRCAND, 0x300050},     {plat::SRCPAINT, 0xFCAFFB},
      {plat::SRCINVERT, 0xCCAFAB}, {plat::MERGEPAINT, 0xF3F05E}, {plat::NOTSRCCOPY, 0xC3F00E},
      {plat::BLACKNESS, 0x000000},
  };
  for (const Case& c : cases) {
    Surface dst = Filled(1, 1, d), src = Filled(1, 1, s);
    ASSERT_TRUE(plat::BitBlt(dst, 0, 0, 1, 1, src, 0, 0, c.Rop));
    EXPECT_EQ(At(dst, 0, 0), c.Expected) << std::hex << c.Rop;
  }
  Surface dst = Filled(1, 1, d), src = Filled(1, 1, s);
  EXPECT_FALSE(plat::BitBlt(dst, 0, 0, 1, 1, src, 0, 0, 0x12345678));
  EXPECT_EQ(At(dst, 0, 0), d);
}

TEST(Raster, CopiesClipAtEveryEdgeAndCornerAndOverlapSafely) {
  Surface src = Filled(4, 4, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) plat::SetPixelV(src, x, y, 0x100 * y + x + 1);
  const int places[][2] = {{-2, -2}, {8, -2}, {-2, 8}, {8, 8}, {3, -3}, {-3, 3}, {9, 3}, {3, 9}};
  for (const auto& p : places) {
    Surface dst = Filled(10, 10, 0xABCDEF);
    plat::BitBlt(dst, p[0], p[1], 4, 4, src, 0, 0, plat::SRCCOPY);
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 10; ++x) {
        int sx = x - p[0], sy = y - p[1];
        bool inside = sx >= 0 && sx < 4 && sy >= 0 && sy < 4;
        uint32_t want = inside ? 0x100 * sy + sx + 1 : 0xABCDEF;
        ASSERT_EQ(At(dst, x, y), want) << p[0] << "," << p[1] << " at " << x << "," << y;
      }
    }
  }
  // A source rectangle reaching outside its surface copies only what exists.
  Surface dst = Filled(4, 4, 0x111111);
  plat::BitBlt(dst, 0, 0, 4, 4, src, 2, -1, plat::SRCCOPY);
  EXPECT_EQ(At(dst, 0, 1), 0x003u);
  EXPECT_EQ(At(dst, 0, 0), 0x111111u);
  EXPECT_EQ(At(dst, 2, 1), 0x111111u);
  // A copy onto itself reads the old picture.
  Surface row = Filled(6, 1, 0);
  for (int x = 0; x < 6; ++x) plat::SetPixelV(row, x, 0, x + 1);
  plat::BitBlt(row, 2, 0, 6, 1, row, 0, 0, plat::SRCCOPY);
  const uint32_t want[] = {1, 2, 1, 2, 3, 4};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(At(row, x, 0), want[x]);
  // Self-copies one after another, large then small, each in every
  // direction of overlap, read their own old picture and nothing left over
  // from the copy before.
  Surface pic = Filled(40, 30, 0);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) plat::SetPixelV(pic, x, y, 0x10000 * x + 0x100 * y + 7);
  const int moves[][6] = {{3, 2, 0, 0, 37, 28}, {0, 0, 5, 4, 20, 20}, {1, 6, 0, 5, 9, 3},
                          {9, 9, 8, 8, 2, 2},   {0, 1, 0, 0, 40, 29}, {2, 0, 0, 0, 6, 1}};
  for (const auto& m : moves) {
    for (uint32_t rop : {plat::SRCCOPY, plat::SRCINVERT}) {
      const Surface old = pic;
      Surface expected = pic;
      plat::BitBlt(expected, m[0], m[1], m[4], m[5], old, m[2], m[3], rop);
      plat::BitBlt(pic, m[0], m[1], m[4], m[5], pic, m[2], m[3], rop);
      ASSERT_EQ(pic.Pixels, expected.Pixels)
          << m[0] << "," << m[1] << " from " << m[2] << "," << m[3] << " rop " << rop;
    }
  }
}

TEST(Raster, StretchEnlargesAndShrinks) {
  Surface src = Filled(2, 2, 0);
  for (int i = 0; i < 4; ++i) plat::SetPixelV(src, i % 2, i / 2, i + 1);
  Surface big = Filled(4, 4, 0);
  ASSERT_TRUE(plat::StretchBlt(big, 0, 0, 4, 4, src, 0, 0, 2, 2, plat::SRCCOPY));
  EXPECT_EQ(At(big, 1, 1), 1u);
  EXPECT_EQ(At(big, 2, 1), 2u);
  EXPECT_EQ(At(big, 1, 2), 3u);
  EXPECT_EQ(At(big, 3, 3), 4u);
  Surface small = Filled(1, 1, 0);
  ASSERT_TRUE(plat::StretchBlt(small, 0, 0, 1, 1, big, 0, 0, 4, 4, plat::SRCCOPY));
  EXPECT_EQ(At(small, 0, 0), 1u);
  // Clipped at the destination's edge without touching anything outside.
  Surface edge = Filled(3, 3, 9);
  plat::StretchBlt(edge, 1, 1, 4, 4, src, 0, 0, 2, 2, plat::SRCCOPY);
  EXPECT_EQ(At(edge, 0, 0), 9u);
  EXPECT_EQ(At(edge, 1, 1), 1u);
  EXPECT_EQ(At(edge, 2, 2), 1u);
}

TEST(Raster, PixelsLinesAndBoxes) {
  Surface s = Filled(8, 8, 0);
  EXPECT_EQ(plat::GetPixel(s, -1, 0), plat::CLR_INVALID);
  EXPECT_EQ(plat::GetPixel(s, 8, 7), plat::CLR_INVALID);
  plat::SetPixelV(s, 8, 0, 0xFFFFFF);  // outside: ignored
  plat::SetPixelV(s, 0, 0, 0xFF123456);
  EXPECT_EQ(At(s, 0, 0), 0x123456u);
  plat::DrawLine(s, 1, 1, 5, 1, 0xFF);
  EXPECT_EQ(At(s, 4, 1), 0xFFu);
  EXPECT_EQ(At(s, 5, 1), 0u);  // end point excluded
  plat::DrawLine(s, 0, 7, 7, 0, 0x7);
  EXPECT_EQ(At(s, 3, 4), 0x7u);
  plat::DrawBox(s, 2, 3, 6, 6, 0xAA);
  EXPECT_EQ(At(s, 6, 6), 0xAAu);
  EXPECT_EQ(At(s, 4, 5), 0u);
  plat::FillBlack(s, -3, -3, 100, 100);
  for (uint32_t p : s.Pixels) ASSERT_EQ(p, 0u);
}

// A black-backed sheet and a mask surface ready for MonoBlt.
Surface Sheet(int w, int h) {
  Surface s = Filled(w, h, 0);
  s.BackColor = 0;
  return s;
}

Surface Mask(int w, int h, uint32_t fill) {
  Surface m = Filled(w, h, fill);
  m.BackColor = 0;
  m.ForeColor = 0xFFFFFF;
  return m;
}

TEST(Mask, OnlyExactBlackIsTransparentAndAllBlackLeavesTheDestinationAlone) {
  Surface sheet = Sheet(2, 1), mask = Mask(2, 1, 0x555555);
  plat::SetPixelV(sheet, 1, 0, 0x010000);  // very dark, but water
  EXPECT_EQ(render::MonoBlt(mask, 0, 0, 2, 1, sheet, 0, 0, plat::NOTSRCCOPY), -1);
  EXPECT_EQ(At(mask, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(At(mask, 1, 0), 0u);

  Surface black = Sheet(4, 4), whole = Mask(4, 4, 0x555555);
  render::MonoBlt(whole, 0, 0, 4, 4, black, 0, 0, plat::NOTSRCCOPY);
  for (uint32_t p : whole.Pixels) ASSERT_EQ(p, 0xFFFFFFu);
  Surface dst = Filled(4, 4, 0x336699);
  render::DrawMasked(dst, 0, 0, 4, 4, black, 0, 0, whole, 0, 0);
  for (uint32_t p : dst.Pixels) ASSERT_EQ(p, 0x336699u);
}

TEST(Mask, OffOriginRectangleReadsItsOwnCell) {
  Surface sheet = Sheet(96, 96), mask = Mask(32, 32, 0x555555);
  plat::FillRect(sheet, 32 + 5, 64 + 7, 3, 2, 0x2040FF);
  render::MonoBlt(mask, 0, 0, 32, 32, sheet, 32, 64, plat::NOTSRCCOPY);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      bool water = x >= 5 && x < 8 && y >= 7 && y < 9;
      ASSERT_EQ(At(mask, x, y), water ? 0u : 0xFFFFFFu) << x << "," << y;
    }
  Surface dst = Filled(32, 32, 0x808080);
  render::DrawMasked(dst, 0, 0, 32, 32, sheet, 32, 64, mask, 0, 0);
  EXPECT_EQ(At(dst, 6, 8), 0x2040FFu);
  EXPECT_EQ(At(dst, 0, 0), 0x808080u);
}

TEST(Bmp, ReadsPaletteBottomUpAndRejectsOtherKinds) {
  // A 3 x 2 8-bit picture: palette 0 black, 1 red, 2 blue; rows padded to 4.
  const std::vector<uint8_t> f = {
      'B', 'M', 74, 0, 0, 0, 0,    0, 0,    0, 66, 0, 0, 0,                    // file header
      40,  0,   0,  0, 3, 0, 0,    0, 2,    0, 0,  0, 1, 0, 8, 0, 0, 0, 0, 0,  // 3 x 2, 8 bits
      0,   0,   0,  0, 0, 0, 0,    0, 0,    0, 0,  0, 3, 0, 0, 0, 0, 0, 0, 0,  // three colours
      0,   0,   0,  0, 0, 0, 0xFF, 0, 0xFF, 0, 0,  0,                          // black, red, blue
      1,   2,   0,  0, 2, 2, 1,    0};                                         // bottom row first
  Surface s;
  std::string err;
  ASSERT_TRUE(plat::ReadBmp8(f.data(), f.size(), s, err)) << err;
  EXPECT_EQ(s.Width, 3);
  EXPECT_EQ(s.Height, 2);
  EXPECT_EQ(At(s, 0, 0), 0x0000FFu);  // top row is stored last
  EXPECT_EQ(At(s, 2, 0), 0xFF0000u);
  EXPECT_EQ(At(s, 0, 1), 0xFF0000u);
  EXPECT_EQ(At(s, 2, 1), 0u);

  for (auto [at, value, why] :
       {std::tuple{28, 24, "not an 8-bit BMP"}, {30, 1, "compressed BMP"}}) {
    std::vector<uint8_t> bad = f;
    bad[at] = static_cast<uint8_t>(value);
    EXPECT_FALSE(plat::ReadBmp8(bad.data(), bad.size(), s, err));
    EXPECT_EQ(err, why);
  }
  // Every truncation of the good file, copied so a read past its end shows.
  for (size_t cut = 0; cut < f.size(); ++cut) {
    const std::vector<uint8_t> part(f.begin(), f.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_FALSE(plat::ReadBmp8(part.data(), cut, s, err)) << cut;
  }
  EXPECT_EQ(s.Width, 3);  // a failed read leaves the surface as it was
}

// Restoring a frame from its layer copies back only what was drawn since
// the last restore; after any mix of drawing on the screen and on the
// layer, and copies between them, the screen must equal a full copy. A
// window that redraws only where the screen changed since it was last shown
// must show the screen as it is.
TEST(Raster, RestoreCopiesBackEverythingDrawnSinceTheLastRestore) {
  std::mt19937 random(17);
  Surface layer = Filled(64, 48, 0x102030), other = Filled(64, 48, 0x405060);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) plat::SetPixelV(layer, x, y, static_cast<uint32_t>(x * 977 + y));
  Surface screen = Filled(64, 48, 0);
  Surface sprite = Filled(20, 20, 0xABCDEF);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  plat::ShownPicture record;
  std::vector<uint32_t> shown;
  int partial = 0;
  for (int round = 0; round < 400; ++round) {
    for (int op = pick(9); op > 0; --op) {
      Surface& target = pick(12) == 0 ? layer : screen;
      const int x = pick(84) - 10, y = pick(68) - 10, w = pick(24), h = pick(24);
      switch (pick(6)) {
        case 0:
          plat::FillRect(target, x, y, w, h, 0x00FF00 + round);
          break;
        case 1:
          plat::BitBlt(target, x, y, w, h, sprite, pick(20), pick(20), plat::SRCPAINT);
          break;
        case 2:
          plat::BitBlt(target, x, y, w, h, target, pick(64), pick(48), plat::SRCCOPY);
          break;
        case 3:
          plat::StretchBlt(target, x, y, w + 1, h + 1, sprite, 0, 0, 5, 5, plat::SRCCOPY);
          break;
        case 4:
          plat::DrawLine(target, x, y, x + w, y + h, 0xFFFFFF);
          break;
        default:
          if (pick(8) == 0) std::swap(screen, other);  // another screen in its place
          break;
      }
    }
    plat::ChangedBox boxes[plat::kShownBoxes];
    int count = 0;
    if (!plat::ChangedSinceShown(record, screen, boxes, count)) {
      shown = screen.Pixels;
    } else {
      ++partial;
      for (int i = 0; i < count; ++i)
        for (int y = boxes[i].Y0; y < boxes[i].Y1; ++y)
          for (int x = boxes[i].X0; x < boxes[i].X1; ++x) shown[y * 64 + x] = At(screen, x, y);
    }
    ASSERT_EQ(shown, screen.Pixels) << "shown, round " << round;
    plat::RestoreFrom(screen, layer);
    ASSERT_EQ(screen.Pixels, layer.Pixels) << "round " << round;
  }
  EXPECT_GT(partial, 200);
  // A pixel written directly and declared is restored too; one that is not
  // declared is the caller's fault, and shows that the copy really is partial.
  screen.Pixels[5] = 1;
  plat::Changed(screen, 5, 0, 6, 1);
  screen.Pixels[700] = 2;
  plat::RestoreFrom(screen, layer);
  EXPECT_EQ(screen.Pixels[5], layer.Pixels[5]);
  EXPECT_EQ(screen.Pixels[700], 2u);
  plat::Changed(screen);
  plat::RestoreFrom(screen, layer);
  EXPECT_EQ(screen.Pixels, layer.Pixels);
}

}  // namespace
