// SPDX-License-Identifier: Zlib
// The bitmap font: the font sheet's layout and the plain and coloured
// drawing of characters and strings, with the shadow and outline routines.
#include "render/font.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "render/sheets.h"
#include "render/surfaces.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

// A destination with a different, non-black colour in every pixel, so that a
// copy with a wrong raster operation or a wrong place shows up.
plat::Surface Busy(int w = 320, int h = 48) {
  plat::Surface s;
  plat::Resize(s, w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      plat::SetPixelV(
          s, x, y, 0x010101 + static_cast<uint32_t>((x * 2654435761u) ^ (y * 40503u)) % 0xFEFEFE);
  return s;
}

class Font : public ::testing::Test {
 protected:
  void SetUp() override {
    render::LoadSheet(Sheet, "font.bmp");
    Obj.Define(Sheet, 16, 16);
  }
  uint32_t SheetAt(int x, int y) const { return plat::GetPixel(Sheet, x, y); }
  bool GlyphLit(int code, int dx, int dy) const {
    return SheetAt((code % 16) * 16 + dx, (code / 16) * 16 + dy) == kWhite;
  }
  plat::Surface Sheet;
  render::FontObject Obj;
};

// ------------------------------------------------------------ the sheet

TEST_F(Font, GlyphsAreDistinctWhiteShapesInTheirBoxesAndOtherCellsAreBlack) {
  ASSERT_EQ(Sheet.Width, 256);
  ASSERT_EQ(Sheet.Height, 128);
  for (int code = 8; code < 128; ++code) {
    const bool glyph = code >= 33 && code <= 90;
    int lit = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        uint32_t p = SheetAt((code % 16) * 16 + x, (code / 16) * 16 + y);
        bool inside = glyph && x >= 1 && x <= 14 && y <= 13;
        ASSERT_TRUE(p == 0 || (p == kWhite && inside))
            << "code " << code << " at " << x << "," << y;
        lit += p == kWhite;
      }
    if (!glyph) continue;
    EXPECT_GT(lit, 6) << "code " << code << " has no glyph";
    for (int other = 33; other < code; ++other) {
      bool same = true;
      for (int i = 0; i < 256 && same; ++i)
        same = GlyphLit(code, i % 16, i / 16) == GlyphLit(other, i % 16, i / 16);
      EXPECT_FALSE(same) << "codes " << other << " and " << code << " look alike";
    }
  }
  // Swatches 1 to 7 have no black; the first, colour 0, is white.
  for (int i = 0; i < 7 * 256; ++i)
    ASSERT_NE(SheetAt(16 + i % 112, i / 112), 0u) << "swatch " << 1 + i % 112 / 16;
  for (int i = 0; i < 256; ++i) ASSERT_EQ(SheetAt(16 + i % 16, i / 16), kWhite);
}

// ------------------------------------------------------------ characters

TEST_F(Font, GlyphsTakeWhiteOrTheirSwatchAndLeaveTheRest) {
  // -2 is plain drawing; 0 to 6 pick a swatch; 7 to 14 pick the black cells of
  // row 0, and numbers off the first row (and -1, the scratch cell) the same.
  for (int color : {-2, 0, 1, 2, 3, 4, 5, 6, 7, 14, 15, 99, -1, -7}) {
    plat::Surface dst = Busy();
    const plat::Surface before = dst;
    if (color == -2) {
      Obj.Putchar(dst, 21, 9, '8');
    } else {
      Obj.FontColor(color);
      Obj.PutcharC(dst, 21, 9, '8');
    }
    for (int y = 0; y < dst.Height; ++y)
      for (int x = 0; x < dst.Width; ++x) {
        int dx = x - 21, dy = y - 9;
        bool lit = dx >= 0 && dx < 16 && dy >= 0 && dy < 16 && GlyphLit('8', dx, dy);
        uint32_t want = !lit                       ? plat::GetPixel(before, x, y)
                        : color == -2              ? kWhite
                        : color >= 0 && color <= 6 ? SheetAt((color + 1) * 16 + dx, dy)
                                                   : 0u;
        ASSERT_EQ(plat::GetPixel(dst, x, y), want) << "colour " << color << " at " << x << "," << y;
      }
  }
}

TEST_F(Font, CodesWithoutAGlyphAndAFontNotYetDefinedDrawNothing) {
  plat::Surface dst = Busy();
  const plat::Surface before = dst;
  render::FontObject fresh;
  fresh.Putchar(dst, 0, 0, 'A');
  fresh.PutcharC(dst, 16, 0, 'A');
  fresh.Puts(dst, 32, 0, "HELLO");
  fresh.PutCstring(dst, 32, 16, "HELLO");
  Obj.FontColor(3);
  Obj.Puts(dst, 0, 0, "abc{|}~ ");
  Obj.PutCstring(dst, 0, 16, "xyz[\\]^_`");
  for (int16_t code : {0, 91, 127, 128, 200, -1, -300}) {
    Obj.Putchar(dst, 40, 8, code);
    Obj.PutcharC(dst, 40, 8, code);
  }
  const std::string high = "\xC8\x80\xFF";  // bytes past the sheet's eight rows
  Obj.Puts(dst, 100, 0, high);
  Obj.PutCstring(dst, 100, 16, high);
  EXPECT_EQ(dst.Pixels, before.Pixels);
}

TEST_F(Font, ColouringLeavesTheSheetAsItWas) {
  const plat::Surface sheetBefore = Sheet;
  plat::Surface dst = Busy();
  for (int color : {2, 6, 9, -1}) {
    Obj.FontColor(color);
    Obj.PutCstring(dst, 0, 0, "PIPE 42");
  }
  EXPECT_EQ(Sheet.Pixels, sheetBefore.Pixels);
}

TEST_F(Font, ColouredGlyphsClipAtEveryEdgeOfTheDestination) {
  const int places[][2] = {{-5, -7}, {310, 40}, {-15, 20}, {100, -15}, {319, 47},
                           {-16, 0}, {0, 48},   {-3, 37},  {311, -2}};
  Obj.FontColor(4);
  for (const auto& p : places) {
    plat::Surface dst = Busy();
    const plat::Surface before = dst;
    Obj.PutcharC(dst, p[0], p[1], 'W');
    for (int y = 0; y < dst.Height; ++y)
      for (int x = 0; x < dst.Width; ++x) {
        int dx = x - p[0], dy = y - p[1];
        bool lit = dx >= 0 && dx < 16 && dy >= 0 && dy < 16 && GlyphLit('W', dx, dy);
        uint32_t want = lit ? SheetAt(5 * 16 + dx, dy) : plat::GetPixel(before, x, y);
        ASSERT_EQ(plat::GetPixel(dst, x, y), want)
            << p[0] << "," << p[1] << " at " << x << "," << y;
      }
  }
}

// ------------------------------------------------------------ strings

TEST_F(Font, StringsAdvanceSixteenPixelsACharacterAndColourZeroIsPlain) {
  const std::string text = "HI-SCORE 2P!";
  for (int color : {-1, 3}) {  // plain, then coloured
    plat::Surface byHand = Busy(), drawn = Busy();
    Obj.FontColor(color);
    for (size_t i = 0; i < text.size(); ++i) {
      const int x = 5 + 16 * static_cast<int>(i);
      color < 0 ? Obj.Putchar(byHand, x, 7, text[i]) : Obj.PutcharC(byHand, x, 7, text[i]);
    }
    color < 0 ? Obj.Puts(drawn, 5, 7, text) : Obj.PutCstring(drawn, 5, 7, text);
    EXPECT_EQ(drawn.Pixels, byHand.Pixels) << "colour " << color;
  }
  plat::Surface plain = Busy(), coloured = Busy();
  Obj.Puts(plain, 5, 7, text);
  Obj.FontColor(0);
  Obj.PutCstring(coloured, 5, 7, text);
  EXPECT_EQ(plain.Pixels, coloured.Pixels);
}

// ------------------------------------------------------------ shadow and outline

class TextRoutines : public Font {
 protected:
  void SetUp() override {
    render::LoadSheet(Sheet, "font.bmp");
    render::GameFont.Define(Sheet, 16, 16);
  }
  // The game's font must not be left pointing at this fixture's sheet.
  void TearDown() override {
    render::LoadSheet(render::FontPic, "font.bmp");
    render::GameFont.Define(render::FontPic, 16, 16);
  }
};

TEST_F(TextRoutines, ShadowAndOutlineDrawTheirStrokesThenTheTextAndKeepTheColour) {
  struct Stroke {
    int X, Y, Color;
  };
  const struct {
    void (*Draw)(plat::Surface&, int32_t, int32_t, std::string_view, int32_t);
    std::vector<Stroke> Strokes;  // as drawn by hand, in order
  } routines[] = {
      {render::ShadowText, {{32, 14, 1}, {30, 12, 5}}},
      {render::OutlineText, {{31, 12, 1}, {29, 12, 1}, {30, 13, 1}, {30, 11, 1}, {30, 12, 5}}},
  };
  for (const auto& r : routines) {
    plat::Surface got = Busy(), want = Busy();
    render::GameFont.FontColor(5);
    r.Draw(got, 30, 12, "STAGE 3", 1);
    EXPECT_EQ(render::GameFont.FontColor(), 5);
    for (const Stroke& k : r.Strokes) {
      render::GameFont.FontColor(k.Color);
      render::GameFont.PutCstring(want, k.X, k.Y, "STAGE 3");
    }
    EXPECT_EQ(got.Pixels, want.Pixels);
  }
}

}  // namespace

namespace {

// The band behind a message: every pixel inside at a quarter of its
// brightness channel by channel, nothing outside touched, clipped at the edges.
TEST(BackingBand, DarkensInsideOnlyAndClips) {
  const plat::Surface before = Busy(40, 20);
  plat::Surface s = before;
  render::BackingBand(s, -5, 12, 20, 30);  // off the left and the bottom edge
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) {
      const uint32_t was = plat::GetPixel(before, x, y);
      const bool inside = x < 15 && y >= 12;
      const uint32_t want =
          inside ? ((was >> 16 & 255) / 4) << 16 | ((was >> 8 & 255) / 4) << 8 | (was & 255) / 4
                 : was;
      ASSERT_EQ(plat::GetPixel(s, x, y), want) << x << "," << y;
    }
  render::BackingBand(s, 50, -40, 10, 10);  // wholly outside: nothing happens
  render::BackingBand(s, 0, 0, -3, 5);
  EXPECT_EQ(plat::GetPixel(s, 20, 5), plat::GetPixel(before, 20, 5));
}

}  // namespace
