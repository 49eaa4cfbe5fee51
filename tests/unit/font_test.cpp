// The bitmap font: the font sheet's layout and the plain and coloured
// drawing of characters and strings, with the shadow and outline routines.
#include "render/font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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

TEST_F(Font, GlyphsAreWhiteOnBlackInsideTheirCellsAndAllDiffer) {
  ASSERT_EQ(Sheet.Width, 256);
  ASSERT_EQ(Sheet.Height, 128);
  for (int code = 33; code <= 90; ++code) {
    int lit = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        uint32_t p = SheetAt((code % 16) * 16 + x, (code / 16) * 16 + y);
        ASSERT_TRUE(p == 0 || p == kWhite) << "code " << code << " at " << x << "," << y;
        bool inside = x >= 1 && x <= 14 && y <= 13;
        EXPECT_TRUE(p == 0 || inside) << "code " << code << " leaves its box at " << x << "," << y;
        lit += p == kWhite;
      }
    EXPECT_GT(lit, 6) << "code " << code << " has no glyph";
    for (int other = 33; other < code; ++other) {
      bool same = true;
      for (int i = 0; i < 256 && same; ++i)
        same = GlyphLit(code, i % 16, i / 16) == GlyphLit(other, i % 16, i / 16);
      EXPECT_FALSE(same) << "codes " << other << " and " << code << " look alike";
    }
  }
}

TEST_F(Font, EmptyCellsAreBlackAndSwatchesHaveNoBlack) {
  auto cellBlack = [&](int code) {
    for (int i = 0; i < 256; ++i)
      if (SheetAt((code % 16) * 16 + i % 16, (code / 16) * 16 + i / 16) != 0) return false;
    return true;
  };
  for (int code = 8; code <= 32; ++code) EXPECT_TRUE(cellBlack(code)) << code;
  for (int code = 91; code <= 127; ++code) EXPECT_TRUE(cellBlack(code)) << code;
  for (int swatch = 1; swatch <= 7; ++swatch)
    for (int i = 0; i < 256; ++i)
      ASSERT_NE(SheetAt(swatch * 16 + i % 16, i / 16), 0u) << "swatch " << swatch;
  for (int i = 0; i < 256; ++i)
    ASSERT_EQ(SheetAt(16 + i % 16, i / 16), kWhite) << "colour 0 is white";
}

// ------------------------------------------------------------ characters

TEST_F(Font, NothingIsDrawnBeforeDefine) {
  render::FontObject fresh;
  plat::Surface dst = Busy();
  const plat::Surface before = dst;
  fresh.Putchar(dst, 0, 0, 'A');
  fresh.PutcharC(dst, 16, 0, 'A');
  fresh.Puts(dst, 32, 0, "HELLO");
  fresh.PutCstring(dst, 32, 16, "HELLO");
  EXPECT_EQ(dst.Pixels, before.Pixels);
  EXPECT_EQ(fresh.FontColor(), 0);
  EXPECT_EQ(fresh.FontSizeX(), 0);
  Obj.FontColor(4);
  EXPECT_EQ(Obj.FontSizeX(), 16);
  EXPECT_EQ(Obj.FontSizeY(), 16);
  EXPECT_EQ(Obj.FontColor(), 4);
}

TEST_F(Font, PlainGlyphTurnsItsPixelsWhiteAndLeavesTheRest) {
  plat::Surface dst = Busy();
  const plat::Surface before = dst;
  Obj.Putchar(dst, 37, 5, 'R');
  for (int y = 0; y < dst.Height; ++y)
    for (int x = 0; x < dst.Width; ++x) {
      int dx = x - 37, dy = y - 5;
      bool lit = dx >= 0 && dx < 16 && dy >= 0 && dy < 16 && GlyphLit('R', dx, dy);
      ASSERT_EQ(plat::GetPixel(dst, x, y), lit ? kWhite : plat::GetPixel(before, x, y))
          << x << "," << y;
    }
}

TEST_F(Font, ColouredGlyphTakesTheSwatchAndLeavesTheRest) {
  for (int color = 0; color <= 6; ++color) {
    plat::Surface dst = Busy();
    const plat::Surface before = dst;
    Obj.FontColor(color);
    Obj.PutcharC(dst, 21, 9, '8');
    for (int dy = -2; dy < 18; ++dy)
      for (int dx = -2; dx < 18; ++dx) {
        bool lit = dx >= 0 && dx < 16 && dy >= 0 && dy < 16 && GlyphLit('8', dx, dy);
        uint32_t want =
            lit ? SheetAt((color + 1) * 16 + dx, dy) : plat::GetPixel(before, 21 + dx, 9 + dy);
        ASSERT_EQ(plat::GetPixel(dst, 21 + dx, 9 + dy), want)
            << "colour " << color << " at " << dx << "," << dy;
      }
  }
}

TEST_F(Font, ColourNumbersPastTheSwatchesGiveBlackGlyphs) {
  // 7 to 14 pick the black cells of row 0; numbers off the sheet's first row
  // (and -1, the scratch cell) are treated the same way.
  for (int color : {7, 14, 15, 99, -1, -7}) {
    plat::Surface dst = Busy();
    const plat::Surface before = dst;
    Obj.FontColor(color);
    Obj.PutcharC(dst, 3, 3, 'W');
    for (int dy = 0; dy < 16; ++dy)
      for (int dx = 0; dx < 16; ++dx)
        ASSERT_EQ(plat::GetPixel(dst, 3 + dx, 3 + dy),
                  GlyphLit('W', dx, dy) ? 0u : plat::GetPixel(before, 3 + dx, 3 + dy))
            << "colour " << color;
  }
}

TEST_F(Font, CodesWithoutAGlyphDrawNothing) {
  plat::Surface dst = Busy();
  const plat::Surface before = dst;
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

TEST_F(Font, ColouringUsesOnlyTheScratchCell) {
  const plat::Surface sheetBefore = Sheet;
  plat::Surface dst = Busy();
  Obj.FontColor(2);
  Obj.PutCstring(dst, 0, 0, "PIPE 42");
  for (int y = 0; y < Sheet.Height; ++y)
    for (int x = 0; x < Sheet.Width; ++x)
      if (x >= 16 || y >= 16) {
        ASSERT_EQ(SheetAt(x, y), plat::GetPixel(sheetBefore, x, y)) << x << "," << y;
      }
}

// ------------------------------------------------------------ strings

TEST_F(Font, StringsAdvanceSixteenPixelsACharacter) {
  plat::Surface dst = Busy();
  const plat::Surface before = dst;
  Obj.Puts(dst, 48, 10, "ABC DEF");  // seven characters: x 48 to 159
  int minX = 9999, maxX = -1;
  for (int y = 0; y < dst.Height; ++y)
    for (int x = 0; x < dst.Width; ++x)
      if (plat::GetPixel(dst, x, y) != plat::GetPixel(before, x, y)) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        ASSERT_GE(y, 10);
        ASSERT_LT(y, 26);
      }
  EXPECT_GE(minX, 48);
  EXPECT_LE(maxX, 159);
  EXPECT_GE(maxX, 144);  // the F is drawn in the seventh cell
  // The space left its cell (x 96 to 111) untouched.
  for (int y = 0; y < dst.Height; ++y)
    for (int x = 96; x < 112; ++x)
      ASSERT_EQ(plat::GetPixel(dst, x, y), plat::GetPixel(before, x, y));
}

TEST_F(Font, ColourZeroDrawsTheSameAsPlainText) {
  plat::Surface plain = Busy(), coloured = Busy();
  Obj.Puts(plain, 5, 7, "HI-SCORE 2P!");
  Obj.FontColor(0);
  Obj.PutCstring(coloured, 5, 7, "HI-SCORE 2P!");
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
  // The same drawing done by hand, one PutCstring at a time.
  static void Stroke(plat::Surface& dst, int x, int y, const char* text, int color) {
    int keep = render::GameFont.FontColor();
    render::GameFont.FontColor(color);
    render::GameFont.PutCstring(dst, x, y, text);
    render::GameFont.FontColor(keep);
  }
};

TEST_F(TextRoutines, ShadowTextIsTheShadowThenTheTextAndKeepsTheColour) {
  plat::Surface got = Busy(), want = Busy();
  render::GameFont.FontColor(5);
  render::ShadowText(got, 30, 12, "STAGE 3", 1);
  EXPECT_EQ(render::GameFont.FontColor(), 5);
  Stroke(want, 32, 14, "STAGE 3", 1);
  Stroke(want, 30, 12, "STAGE 3", 5);
  EXPECT_EQ(got.Pixels, want.Pixels);
}

TEST_F(TextRoutines, OutlineTextCirclesTheTextAndKeepsTheColour) {
  plat::Surface got = Busy(), want = Busy();
  render::GameFont.FontColor(2);
  render::OutlineText(got, 30, 12, "READY", 4);
  EXPECT_EQ(render::GameFont.FontColor(), 2);
  Stroke(want, 31, 12, "READY", 4);
  Stroke(want, 29, 12, "READY", 4);
  Stroke(want, 30, 13, "READY", 4);
  Stroke(want, 30, 11, "READY", 4);
  Stroke(want, 30, 12, "READY", 2);
  EXPECT_EQ(got.Pixels, want.Pixels);
}

}  // namespace
