// SPDX-License-Identifier: Zlib
// The window-dump reader and the scaled comparison: dumps are built here
// field by field, in both byte orders and both pixel sizes.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "picture.h"

namespace {

using shotcmp::Picture;

struct DumpLayout {
  bool BigHeader = true;   // byte order of the header fields
  bool MsbPixels = false;  // byte order of the pixel values
  int Bpp = 32;
  int Pad = 0;     // extra bytes at the end of every row
  int Colors = 0;  // colour entries between the header and the pixels
  uint32_t Red = 0xFF0000, Green = 0x00FF00, Blue = 0x0000FF;
};

void Put32(std::vector<uint8_t>& b, uint32_t v, bool big) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (big ? 24 - 8 * i : 8 * i)));
}

// A dump of the given values (already in the masks' layout), with a window
// name after the header as the dump tool writes one.
std::vector<uint8_t> MakeDump(const DumpLayout& l, int w, int h, const std::vector<uint32_t>& px) {
  const std::string name = "Ductora Fiesta";
  const uint32_t headerSize = 100 + static_cast<uint32_t>(name.size()) + 1;
  const int bytesPerPixel = l.Bpp / 8;
  const uint32_t stride = static_cast<uint32_t>(w * bytesPerPixel + l.Pad);
  const uint32_t fields[25] = {headerSize,
                               7,
                               2,
                               24,
                               static_cast<uint32_t>(w),
                               static_cast<uint32_t>(h),
                               0,
                               l.MsbPixels ? 1u : 0u,
                               32,
                               l.MsbPixels ? 1u : 0u,
                               32,
                               static_cast<uint32_t>(l.Bpp),
                               stride,
                               4,
                               l.Red,
                               l.Green,
                               l.Blue,
                               8,
                               256,
                               static_cast<uint32_t>(l.Colors),
                               static_cast<uint32_t>(w),
                               static_cast<uint32_t>(h),
                               0,
                               0,
                               0};
  std::vector<uint8_t> b;
  for (uint32_t f : fields) Put32(b, f, l.BigHeader);
  b.insert(b.end(), name.begin(), name.end());
  b.push_back(0);
  b.insert(b.end(), static_cast<size_t>(l.Colors) * 12, 0xAB);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t v = px[static_cast<size_t>(y) * w + x];
      for (int k = 0; k < bytesPerPixel; ++k) {
        const int shift = l.MsbPixels ? 8 * (bytesPerPixel - 1 - k) : 8 * k;
        b.push_back(static_cast<uint8_t>(v >> shift));
      }
    }
    b.insert(b.end(), static_cast<size_t>(l.Pad), 0xEE);
  }
  return b;
}

const std::vector<uint32_t> kColours = {0x000000, 0xFFFFFF, 0x123456, 0xFF0080, 0x00C000, 0x0000FE};

TEST(ShotcmpXwd, EveryByteOrderAndPixelSizeGivesTheSameColours) {
  for (bool bigHeader : {true, false}) {
    for (bool msb : {true, false}) {
      for (int bpp : {24, 32}) {
        DumpLayout l;
        l.BigHeader = bigHeader;
        l.MsbPixels = msb;
        l.Bpp = bpp;
        l.Pad = bpp == 24 ? 2 : 0;
        l.Colors = 3;
        Picture p;
        std::string error;
        ASSERT_TRUE(shotcmp::ReadXwd(MakeDump(l, 3, 2, kColours), p, error))
            << error << " header big " << bigHeader << " msb " << msb << " bpp " << bpp;
        EXPECT_EQ(p.Width, 3);
        EXPECT_EQ(p.Height, 2);
        EXPECT_EQ(p.Pixels, kColours)
            << "header big " << bigHeader << " msb " << msb << " bpp " << bpp;
      }
    }
  }
}

// A server whose pixels are laid out blue-high: the masks, not the byte
// positions, say which channel is which.
TEST(ShotcmpXwd, ChannelsFollowTheMasks) {
  DumpLayout l;
  l.Red = 0x0000FF;
  l.Blue = 0xFF0000;
  Picture p;
  std::string error;
  ASSERT_TRUE(shotcmp::ReadXwd(MakeDump(l, 2, 1, {0x0000FF, 0x563412}), p, error)) << error;
  EXPECT_EQ(p.Pixels, (std::vector<uint32_t>{0xFF0000, 0x123456}));
}

TEST(ShotcmpXwd, RefusesWhatItCannotRead) {
  DumpLayout l;
  std::vector<uint8_t> good = MakeDump(l, 2, 2, {1, 2, 3, 4});
  Picture p;
  std::string error;

  std::vector<uint8_t> cut(good.begin(), good.end() - 1);
  EXPECT_FALSE(shotcmp::ReadXwd(cut, p, error));
  EXPECT_NE(error.find("cut short"), std::string::npos) << error;

  std::vector<uint8_t> header(good.begin(), good.begin() + 60);
  EXPECT_FALSE(shotcmp::ReadXwd(header, p, error));

  std::vector<uint8_t> xy = good;
  xy[11] = 1;  // XYPixmap
  EXPECT_FALSE(shotcmp::ReadXwd(xy, p, error));

  l.Bpp = 16;
  EXPECT_FALSE(shotcmp::ReadXwd(MakeDump(l, 2, 2, {1, 2, 3, 4}), p, error));
  EXPECT_NE(error.find("16"), std::string::npos) << error;

  std::vector<uint8_t> version = good;
  version[7] = 6;
  EXPECT_FALSE(shotcmp::ReadXwd(version, p, error));
}

Picture Make(int w, int h, const std::vector<uint32_t>& px) { return Picture{w, h, px}; }

// The reference enlarged by scale, each of its pixels a scale x scale block.
Picture Enlarge(const Picture& r, int scale) {
  Picture out{r.Width * scale, r.Height * scale, {}};
  for (int y = 0; y < out.Height; ++y)
    for (int x = 0; x < out.Width; ++x)
      out.Pixels.push_back(r.Pixels[static_cast<size_t>(y / scale) * r.Width + x / scale]);
  return out;
}

TEST(ShotcmpCompare, CountsEveryBlockNotWhollyItsReferenceColour) {
  const Picture ref = Make(3, 2, kColours);
  for (int scale : {1, 2, 3}) {
    Picture win = Enlarge(ref, scale);
    shotcmp::Comparison c;
    std::string error;
    ASSERT_TRUE(shotcmp::CompareScaled(win, ref, {}, c, error)) << error;
    EXPECT_EQ(c.Scale, scale);
    EXPECT_EQ(c.Differing, 0);
    EXPECT_EQ(c.Total, 6);
    EXPECT_EQ(shotcmp::Downscale(win, scale).Pixels, ref.Pixels);

    // A block differs for one wrong pixel anywhere in it: here the last
    // one of the block at (0, 1) (a smoothed edge, say) and the first one
    // of the block at (0, 0).
    win.Pixels[static_cast<size_t>(scale * 2 - 1) * win.Width + scale - 1] ^= 0x000001;
    win.Pixels[0] = 0x777777;
    ASSERT_TRUE(shotcmp::CompareScaled(win, ref, {}, c, error)) << error;
    EXPECT_EQ(c.Differing, 2);
    EXPECT_EQ(c.Left, 0);
    EXPECT_EQ(c.Right, 0);
    EXPECT_EQ(c.Top, 0);
    EXPECT_EQ(c.Bottom, 1);
  }
}

// Differences inside an ignored area neither count nor widen the box;
// those outside it still do.
TEST(ShotcmpCompare, IgnoredAreasAreLeftOut) {
  const Picture ref = Make(3, 2, kColours);
  Picture win = Enlarge(ref, 2);
  for (uint32_t& p : win.Pixels) p ^= 0x010000;  // every pixel wrong
  shotcmp::Comparison c;
  std::string error;
  ASSERT_TRUE(shotcmp::CompareScaled(win, ref, {{0, 0, 2, 2}, {2, 1, 5, 5}}, c, error)) << error;
  EXPECT_EQ(c.Total, 1);
  EXPECT_EQ(c.Differing, 1);
  EXPECT_EQ(c.Left, 2);
  EXPECT_EQ(c.Top, 0);
  ASSERT_TRUE(shotcmp::CompareScaled(win, ref, {{0, 0, 3, 2}}, c, error)) << error;
  EXPECT_EQ(c.Total, 0);
  EXPECT_EQ(c.Differing, 0);
}

TEST(ShotcmpCompare, RefusesSizesThatAreNotAWholeScale) {
  const Picture ref = Make(3, 2, kColours);
  shotcmp::Comparison c;
  std::string error;
  Picture wide = Enlarge(ref, 2);
  wide.Width += 1;
  wide.Pixels.resize(static_cast<size_t>(wide.Width) * wide.Height);
  EXPECT_FALSE(shotcmp::CompareScaled(wide, ref, {}, c, error));
  const Picture tall = Make(6, 6, std::vector<uint32_t>(36, 0));
  EXPECT_FALSE(shotcmp::CompareScaled(tall, ref, {}, c, error));
  EXPECT_NE(error.find("6 x 6"), std::string::npos) << error;
  const Picture small = Make(2, 1, {0, 0});
  EXPECT_FALSE(shotcmp::CompareScaled(small, ref, {}, c, error));
}

// The reference enlarged by scale and set at (x, y) on a black display.
Picture OnDisplay(const Picture& r, int scale, int w, int h, int x, int y) {
  const Picture big = Enlarge(r, scale);
  Picture d{w, h, std::vector<uint32_t>(static_cast<size_t>(w) * h, 0)};
  for (int yy = 0; yy < big.Height; ++yy)
    for (int xx = 0; xx < big.Width; ++xx)
      d.Pixels[static_cast<size_t>(y + yy) * w + x + xx] =
          big.Pixels[static_cast<size_t>(yy) * big.Width + xx];
  return d;
}

// A 3 x 2 picture on displays of the shapes full screen meets: wide, tall,
// a whole multiple, an odd pixel left over.
TEST(ShotcmpCentred, FindsTheLargestScaleCentredOnBlack) {
  const Picture ref = Make(3, 2, kColours);
  struct Case {
    int W, H, Scale, X, Y;
  } cases[] = {{20, 9, 4, 4, 0}, {7, 10, 2, 0, 3}, {9, 6, 3, 0, 0},
               {10, 7, 3, 0, 0}, {12, 7, 3, 1, 0}, {3, 2, 1, 0, 0}};
  for (const Case& k : cases) {
    const Picture d = OnDisplay(ref, k.Scale, k.W, k.H, k.X, k.Y);
    shotcmp::Placement at;
    shotcmp::Comparison c;
    std::string error;
    ASSERT_TRUE(shotcmp::CompareCentred(d, ref, {}, at, c, error)) << error;
    EXPECT_EQ(std::tuple(at.Scale, at.X, at.Y, at.Surround, c.Differing, c.Total),
              std::tuple(k.Scale, k.X, k.Y, 0LL, 0LL, 6LL))
        << k.W << " x " << k.H;
  }
}

// A picture one pixel off centre, at a smaller scale, or with a grey band
// round it is not what full screen must show.
TEST(ShotcmpCentred, OffCentreSmallerOrBandedPicturesFail) {
  const Picture ref = Make(3, 2, kColours);
  shotcmp::Placement at;
  shotcmp::Comparison c;
  std::string error;

  ASSERT_TRUE(shotcmp::CompareCentred(OnDisplay(ref, 2, 10, 5, 3, 1), ref, {}, at, c, error));
  EXPECT_EQ(std::tuple(at.Scale, at.X, at.Y), std::tuple(2, 2, 0));
  EXPECT_GT(c.Differing, 0);
  EXPECT_GT(at.Surround, 0);

  ASSERT_TRUE(shotcmp::CompareCentred(OnDisplay(ref, 2, 12, 8, 3, 2), ref, {}, at, c, error));
  EXPECT_EQ(at.Scale, 4);
  EXPECT_GT(c.Differing, 0);

  Picture banded = OnDisplay(ref, 2, 8, 4, 1, 0);
  banded.Pixels[0] = 0x404040;
  ASSERT_TRUE(shotcmp::CompareCentred(banded, ref, {}, at, c, error));
  EXPECT_EQ(std::tuple(at.Surround, c.Differing), std::tuple(1LL, 0LL));

  EXPECT_FALSE(shotcmp::CompareCentred(Make(2, 2, {0, 0, 0, 0}), ref, {}, at, c, error));
  EXPECT_NE(error.find("2 x 2"), std::string::npos) << error;
}

}  // namespace
