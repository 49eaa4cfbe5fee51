// SPDX-License-Identifier: Zlib
// Sheet names and loading, the start-up load, and the pictures of the
// system, title, texture and endless sheets that the drawing code relies on:
// black under everything ORed onto the screen, masks that match their
// pictures, and pieces that line up.
#include "render/sheets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>

#include "platform/platform.h"
#include "render/font.h"
#include "render/surfaces.h"
#include "shell/gamestate.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

plat::Surface Loaded(const std::string& name) {
  plat::Surface s;
  render::LoadSheet(s, name);
  return s;
}

uint32_t At(const plat::Surface& s, int x, int y) { return plat::GetPixel(s, x, y); }

// The largest difference of red, green or blue between two colours.
int Distance(uint32_t p, uint32_t q) {
  int d = 0;
  for (int s = 0; s <= 16; s += 8)
    d = std::max(d,
                 std::abs(static_cast<int>((p >> s) & 0xFF) - static_cast<int>((q >> s) & 0xFF)));
  return d;
}

// ------------------------------------------------------------ names

TEST(SheetNames, EachFileHasItsResourceAndAnyOtherNameLoadsTheSystemSheet) {
  const char* names[] = {"syspic.bmp", "water.bmp",  "water2.bmp", "font.bmp",  "pipe0.bmp",
                         "pipe1.bmp",  "pipe2.bmp",  "pipe3.bmp",  "pipe4.bmp", "title.bmp",
                         "back.bmp",   "heylaw.bmp", "m013.bmp"};
  for (int i = 0; i < 13; ++i) EXPECT_EQ(render::SheetResourceId(names[i]), 101 + i) << names[i];
  for (const char* name : {"Pipe0.bmp", "pipe5.bmp", "PIPE0.BMP", "pipe0.bmp ", "pipe0", "",
                           "syspic.BMP", "pipe-1.bmp", "pipe10.bmp", "data/pipe0.bmp"})
    EXPECT_EQ(render::SheetResourceId(name), 101) << '"' << name << '"';
  const plat::Surface sys = Loaded("syspic.bmp");
  ASSERT_EQ(sys.Width, 256);
  ASSERT_EQ(sys.Height, 256);
  for (const char* name : {"pipe5.bmp", "Pipe0.bmp"}) {
    plat::Surface s = Loaded("pipe0.bmp");  // a pipe sheet first, 256 x 512
    render::LoadSheet(s, name);
    EXPECT_EQ(s.Width, 256) << name;
    EXPECT_EQ(s.Height, 256) << name;
    EXPECT_EQ(s.Pixels, sys.Pixels) << name;
  }
}

TEST(SheetLoading, ASheetTakesThePictureSizeAndKeepsItsColoursButTheFirstMapKeepsItsSize) {
  plat::Surface s;
  plat::Resize(s, 32, 32);
  s.BackColor = 0x8080FF;
  s.ForeColor = 0xFFFFC0;
  render::LoadSheet(s, "heylaw.bmp");
  EXPECT_EQ(s.Width, 256);
  EXPECT_EQ(s.Height, 48);
  EXPECT_EQ(s.Pixels.size(), 256u * 48u);
  EXPECT_EQ(s.BackColor, 0x8080FFu);
  EXPECT_EQ(s.ForeColor, 0xFFFFC0u);

  render::InitSurfaces();
  const plat::Surface back = Loaded("m013.bmp");
  ASSERT_EQ(back.Height, 384);
  render::LoadSheet(render::FirstMap, "m013.bmp");
  ASSERT_EQ(render::FirstMap.Width, 512);
  ASSERT_EQ(render::FirstMap.Height, 352);
  for (int y = 0; y < 352; ++y)
    for (int x = 0; x < 512; ++x) ASSERT_EQ(At(render::FirstMap, x, y), At(back, x, y));
  // A smaller picture fills the top left; the rest of the layer is black.
  render::LoadSheet(render::FirstMap, "heylaw.bmp");
  EXPECT_EQ(render::FirstMap.Height, 352);
  EXPECT_EQ(At(render::FirstMap, 30, 10), At(s, 30, 10));
  EXPECT_EQ(At(render::FirstMap, 300, 100), 0u);
  render::InitSurfaces();
}

// ------------------------------------------------------------ start-up load

TEST(StartUpLoad, FillsEverySurfaceAndBuildsTheWaterMasks) {
  render::InitSurfaces();
  // The build's sounds when the test runs from it; elsewhere the effects only
  // report that they are missing.
  const char* runtime = std::getenv("DUCTORA_RUNTIME_DIR");
  game::SoundPath = std::string(runtime ? runtime : "/nonexistent") + "/sound/";
  render::LoadImages();
  EXPECT_EQ(render::SysPic.Pixels, Loaded("syspic.bmp").Pixels);
  EXPECT_EQ(render::SysPic.ForeColor, 0xFFFFC0u);  // the load keeps the start-up grid's colours
  EXPECT_EQ(render::PipePic.Pixels, Loaded("pipe0.bmp").Pixels);
  EXPECT_EQ(render::FontPic.Pixels, Loaded("font.bmp").Pixels);
  EXPECT_EQ(render::TitlePic.Pixels, Loaded("title.bmp").Pixels);
  EXPECT_EQ(render::BackPic.Pixels, Loaded("back.bmp").Pixels);
  EXPECT_TRUE(render::GameFont.IsDefined());
  EXPECT_EQ(render::GameFont.FontSizeX(), 16);
  EXPECT_EQ(render::GameFont.FontSizeY(), 16);
  // The water masks: black exactly where the water sheets are not black.
  for (auto [sheet, mask, name] :
       {std::tuple{&render::WaterPic, &render::WaterMaskPic, "water.bmp"},
        {&render::WaterPic2, &render::WaterMaskPic2, "water2.bmp"}}) {
    ASSERT_EQ(sheet->Pixels, Loaded(name).Pixels) << name;
    ASSERT_EQ(mask->Width, sheet->Width);
    ASSERT_EQ(mask->Height, sheet->Height);
    for (size_t i = 0; i < sheet->Pixels.size(); ++i)
      ASSERT_EQ(mask->Pixels[i], sheet->Pixels[i] != 0 ? 0u : kWhite) << name << " pixel " << i;
  }
}

// ------------------------------------------------------------ system sheet

class SystemSheet : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Sys = Loaded("syspic.bmp"); }
  // The mask at (mx, my) is black exactly where the picture at (px, py) is
  // drawn, and pure white everywhere else; returns how many pixels are drawn.
  static int ExpectSilhouette(int px, int py, int mx, int my, int w, int h) {
    int drawn = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        bool lit = At(Sys, px + x, py + y) != 0;
        uint32_t m = At(Sys, mx + x, my + y);
        EXPECT_EQ(m, lit ? 0u : kWhite) << "picture " << px << "," << py << " at " << x << "," << y;
        drawn += lit;
      }
    return drawn;
  }
  // Sum of red minus blue over a rectangle.
  static long Warmth(int x0, int y0, int w, int h) {
    long sum = 0;
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x) sum += long(At(Sys, x, y) >> 16) - (At(Sys, x, y) & 0xFF);
    return sum;
  }
  static plat::Surface Sys;
};
plat::Surface SystemSheet::Sys;

TEST_F(SystemSheet, EveryMaskIsTheSilhouetteOfItsPicture) {
  EXPECT_GT(ExpectSilhouette(128, 0, 128, 16, 16, 8), 20);   // -50 of player 1
  EXPECT_GT(ExpectSilhouette(128, 8, 128, 16, 16, 8), 20);   // -50 of player 2, same mask
  EXPECT_GT(ExpectSilhouette(144, 0, 144, 10, 32, 10), 40);  // 1000
  for (int f = 0; f < 4; ++f)
    EXPECT_GT(ExpectSilhouette(32 * f, 64, 128 + 32 * f, 64, 32, 32), 30) << "explosion " << f;
  for (int p = 0; p < 2; ++p) EXPECT_GT(ExpectSilhouette(64 + 32 * p, 0, 32, 0, 32, 32), 100);
  // The cursor is a frame round the cell: the middle shows through.
  EXPECT_EQ(At(Sys, 32, 0), 0u);
  EXPECT_EQ(At(Sys, 32 + 16, 31), 0u);
  EXPECT_EQ(At(Sys, 32 + 16, 16), kWhite);
}

TEST_F(SystemSheet, PlayersHaveTheirOwnColours) {
  // Player 1 is warm (orange-red), player 2 cool (cyan-blue), in cursors and labels.
  EXPECT_GT(Warmth(64, 0, 32, 32), 0);
  EXPECT_LT(Warmth(96, 0, 32, 32), 0);
  EXPECT_GT(Warmth(128, 0, 16, 8), 0);
  EXPECT_LT(Warmth(128, 8, 16, 8), 0);
}

TEST_F(SystemSheet, TheGaugeSlotIsBlackForTheWaterBar) {
  // The bar is ORed into rows 11 to 20 of the middle pieces.
  for (int y = 43; y < 53; ++y)
    for (int x = 192; x < 224; ++x) ASSERT_EQ(At(Sys, x, y), 0u) << x << "," << y;
  // Above and below the slot, and both caps, are solid housing.
  for (int x = 160; x < 256; ++x) {
    EXPECT_NE(At(Sys, x, 32 + 5), 0u) << x;
    EXPECT_NE(At(Sys, x, 32 + 26), 0u) << x;
  }
}

TEST_F(SystemSheet, CopiedPiecesHaveNoHoles) {
  // Pieces copied whole onto the screen are solid where they meet the board.
  const int rects[][4] = {{32, 32, 32, 16}, {64, 32, 32, 16}, {96, 32, 16, 32},  {128, 32, 16, 32},
                          {176, 0, 64, 32}, {0, 112, 64, 64}, {64, 112, 64, 32}, {64, 144, 64, 32}};
  for (const auto& [x0, y0, w, h] : rects) {
    int black = 0;
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x) black += At(Sys, x, y) == 0;
    EXPECT_LT(black, w * h / 20) << x0 << "," << y0;
  }
  // Each wrap mark differs from the plain edge it stands for.
  EXPECT_NE(At(Sys, 64 + 16, 32 + 8), At(Sys, 32 + 16, 32 + 8));
  EXPECT_NE(At(Sys, 128 + 8, 32 + 16), At(Sys, 96 + 8, 32 + 16));
}

// ------------------------------------------------------------ title and texture

TEST(TitleSheet, CaptionIsWhiteLettersOnBlackInsideTheTextureBand) {
  const plat::Surface t = Loaded("title.bmp");
  int lit = 0;
  for (int y = 256; y < 352; ++y)
    for (int x = 0; x < 512; ++x) {
      uint32_t p = At(t, x, y);
      ASSERT_TRUE(p == 0 || p == kWhite) << x << "," << y;
      // Only 80 rows of texture are drawn under the caption.
      if (y >= 256 + 80) {
        ASSERT_EQ(p, 0u) << x << "," << y;
      }
      lit += p == kWhite;
    }
  EXPECT_GT(lit, 512 * 80 / 8);
  long bright = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 512; ++x) bright += At(t, x, y) != 0;
  EXPECT_GT(bright, 512 * 200 / 5) << "the logo fills its band";
}

TEST(TitleSheet, TextureBandWrapsWithoutASeam) {
  const plat::Surface b = Loaded("back.bmp");
  auto step = [&](int x0, int x1) {
    long d = 0;
    for (int y = 0; y < 80; ++y) d += Distance(At(b, x0, y), At(b, x1, y));
    return d;
  };
  long largest = 0;
  for (int x = 0; x < 511; ++x) largest = std::max(largest, step(x, x + 1));
  EXPECT_LE(step(511, 0), largest);
}

// ------------------------------------------------------------ endless sheets

TEST(EndlessSheets, EveryChipOpensOnItsOwnSides) {
  // Which sides of a chip have a pipe opening: 1 up, 2 right, 4 down, 8 left.
  const int openings[12] = {0, 1 | 2, 1 | 4, 2 | 4, 8 | 1, 8 | 2, 4 | 8, 15, 1, 2, 4, 8};
  const plat::Surface h = Loaded("heylaw.bmp");
  for (int chip = 1; chip < 12; ++chip) {
    int x0 = chip < 8 ? 24 * chip : 24 * (chip - 8), y0 = chip < 8 ? 0 : 24;
    const int mid[4][2] = {{12, 0}, {23, 12}, {12, 23}, {0, 12}};
    for (int side = 0; side < 4; ++side) {
      bool pipe = At(h, x0 + mid[side][0], y0 + mid[side][1]) != At(h, mid[side][0], mid[side][1]);
      EXPECT_EQ(pipe, (openings[chip] >> side & 1) != 0) << "chip " << chip << " side " << side;
    }
  }
}

TEST(EndlessSheets, EmptyWellCellsLookLikeTheChipTile) {
  // A chip is copied whole over the well, so an empty cell of the background
  // must look like the tile behind every chip (within the palette's rounding).
  const plat::Surface h = Loaded("heylaw.bmp"), m = Loaded("m013.bmp");
  for (int cy = 0; cy < 11; ++cy)
    for (int cx = 0; cx < 7; ++cx)
      for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
          ASSERT_LE(Distance(At(m, 172 + 24 * cx + x, 60 + 24 * cy + y), At(h, x, y)), 12)
              << "cell " << cx << "," << cy << " at " << x << "," << y;
}

}  // namespace
