// SPDX-License-Identifier: Zlib
// The built-in picture sheets as the game reads them: file format, layout,
// and the rules the pipe and water pictures must keep to work together.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace {

// A sheet decoded straight from the embedded BMP bytes, checking the format
// the game's reader relies on along the way.
struct Sheet {
  int Width = 0, Height = 0;
  std::array<uint32_t, 256> Palette{};
  std::vector<uint8_t> Index;
  uint32_t At(int x, int y) const { return Palette[Index[static_cast<size_t>(y) * Width + x]]; }
};

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Returns an empty string when the file is an uncompressed bottom-up 8-bit BMP.
std::string Decode(const plat::EmbeddedFile& f, Sheet& s) {
  const uint8_t* d = f.Data;
  if (f.Size < 54 + 1024 || d[0] != 'B' || d[1] != 'M' || Le32(d + 2) != f.Size)
    return "not a BMP of its size";
  const uint32_t offset = Le32(d + 10), used = Le32(d + 46);
  const int32_t w = static_cast<int32_t>(Le32(d + 18)), h = static_cast<int32_t>(Le32(d + 22));
  if (Le32(d + 14) != 40 || w <= 0 || h <= 0) return "not a bottom-up BITMAPINFOHEADER";
  if (Le16(d + 26) != 1 || Le16(d + 28) != 8 || Le32(d + 30) != 0) return "not 8-bit uncompressed";
  if ((used != 0 && used != 256) || offset != 54 + 1024) return "not 256 colours before the pixels";
  const size_t row = (static_cast<size_t>(w) + 3) & ~size_t{3};
  if (f.Size != offset + row * h) return "pixel data size wrong";
  s.Width = w, s.Height = h;
  for (int i = 0; i < 256; ++i)
    s.Palette[i] = d[54 + 4 * i + 2] << 16 | d[54 + 4 * i + 1] << 8 | d[54 + 4 * i];
  s.Index.resize(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    std::memcpy(&s.Index[static_cast<size_t>(y) * w], d + offset + (h - 1 - y) * row, w);
  return "";
}

Sheet Load(const std::string& name) {
  Sheet s;
  const plat::EmbeddedFile* f = plat::FindEmbeddedSheet(name);
  EXPECT_EQ(f ? Decode(*f, s) : "missing", "") << name;
  return s;
}

// ------------------------------------------------------------ file format

TEST(SheetFiles, AllThirteenAreBuiltInWithTheirSizesAndMaskableColours) {
  const struct {
    const char* Name;
    int W, H;
  } sheets[] = {{"syspic.bmp", 256, 256}, {"water.bmp", 512, 512}, {"water2.bmp", 512, 512},
                {"font.bmp", 256, 128},   {"pipe0.bmp", 256, 512}, {"pipe1.bmp", 256, 512},
                {"pipe2.bmp", 256, 512},  {"pipe3.bmp", 256, 512}, {"pipe4.bmp", 256, 512},
                {"title.bmp", 512, 512},  {"back.bmp", 512, 256},  {"heylaw.bmp", 256, 48},
                {"m013.bmp", 512, 384}};
  size_t count = 0;
  ASSERT_NE(plat::EmbeddedSheets(count), nullptr);
  EXPECT_EQ(count, 13u);
  for (const auto& e : sheets) {
    Sheet s = Load(e.Name);
    EXPECT_EQ(s.Width, e.W) << e.Name;
    EXPECT_EQ(s.Height, e.H) << e.Name;
    // Masks of the water and pipes are built from exact black, so no other
    // colour of theirs may turn black.
    if (std::string(e.Name).find("pipe") != 0 && std::string(e.Name).find("water") != 0) continue;
    EXPECT_EQ(s.Palette[0], 0u) << e.Name;
    int black = 0;
    for (uint8_t i : s.Index) black += i != 0 && s.Palette[i] == 0;
    EXPECT_EQ(black, 0) << e.Name << ": pixels of another colour entry that is black";
  }
  // Names are matched exactly.
  EXPECT_EQ(plat::FindEmbeddedSheet("Pipe0.bmp"), nullptr);
  EXPECT_EQ(plat::FindEmbeddedSheet("pipe5.bmp"), nullptr);
}

// ------------------------------------------------------------ water

constexpr int kMid = -1;  // the middle of the cell
enum Side { kTop, kRight, kBottom, kLeft };

// Where each water picture comes in and goes out of its cell: Top, Right,
// Bottom, Left or Middle.
struct Course {
  int From, To;
};
const std::vector<Course> kCourses = [] {
  const std::string text =
      "LR RL BT TB TR RT RB BR BL LB LT TL MR ML MT MB LM RM BM TM LR RL BT TB LR RL BT TB";
  auto side = [](char c) {
    return c == 'M' ? kMid : static_cast<int>(std::string("TRBL").find(c));
  };
  std::vector<Course> out;
  for (size_t i = 0; i < text.size(); i += 3) out.push_back({side(text[i]), side(text[i + 1])});
  return out;
}();

void SidePoint(int side, float& x, float& y) {
  x = side == kRight ? 32.0f : side == kLeft ? 0.0f : 16.0f;
  y = side == kBottom ? 32.0f : side == kTop ? 0.0f : 16.0f;
}

// The channel: 10 pixels wide along straights, quarter circles of radius 16
// round a corner for turns, a spout and a round basin for the middle.
bool InChannel(const Course& c, int x, int y) {
  float px = x + 0.5f, py = y + 0.5f;
  if (c.From == kMid || c.To == kMid) {
    int side = c.From == kMid ? c.To : c.From;
    float sx, sy;
    SidePoint(side, sx, sy);
    float ux = (sx - 16) / 16, uy = (sy - 16) / 16;
    float t = (px - 16) * ux + (py - 16) * uy, across = (px - 16) * -uy + (py - 16) * ux;
    float r = std::hypot(px - 16, py - 16);
    return r < 7.0f || (t > -0.5f && std::fabs(across) < 5.5f);
  }
  if ((c.From + 2) % 4 == c.To) {
    bool horizontal = c.From == kLeft || c.From == kRight;
    return std::fabs((horizontal ? py : px) - 16) < 5.5f;
  }
  float fx, fy, tx, ty;
  SidePoint(c.From, fx, fy);
  SidePoint(c.To, tx, ty);
  float cx = fx + tx - 16, cy = fy + ty - 16;  // the corner both sides share
  float r = std::hypot(px - cx, py - cy);
  return r > 10.5f && r < 21.5f;
}

// One 32 x 32 water picture: pattern 0 to 27, frame 0 to 15.
struct WaterCell {
  const Sheet* S;
  int X0, Y0;
  bool Wet(int x, int y) const { return S->At(X0 + x, Y0 + y) != 0; }
  int Count() const {
    int n = 0;
    for (int i = 0; i < 32 * 32; ++i) n += Wet(i % 32, i / 32);
    return n;
  }
};

const Sheet& Water(int sheet) {
  static const Sheet one = Load("water.bmp"), two = Load("water2.bmp");
  return sheet == 1 ? one : two;
}

WaterCell Cell(int pattern, int frame) {
  return pattern < 12 ? WaterCell{&Water(1), frame * 32, pattern * 32}
                      : WaterCell{&Water(2), frame * 32, (pattern - 12) * 32};
}

TEST(WaterSheets, BlueWaterStartsAtItsSideStaysInTheChannelAndGrows) {
  // Each frame is drawn over the last in the same cell: it must cover it.
  for (int p = 0; p < 28; ++p) {
    EXPECT_GT(Cell(p, 0).Count(), 0) << "pattern " << p;
    EXPECT_LT(Cell(p, 0).Count() * 8, Cell(p, 15).Count()) << "pattern " << p;
    for (int f = 0; f < 16; ++f) {
      WaterCell c = Cell(p, f), next = Cell(p, std::min(f + 1, 15));
      EXPECT_TRUE(f == 15 || next.Count() > c.Count()) << "pattern " << p << " frame " << f;
      int outside = 0, lost = 0, red = 0, n = 0;
      float sx = 0, sy = 0;  // the middle of the water
      for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
          if (!c.Wet(x, y)) continue;
          sx += x + 0.5f, sy += y + 0.5f, ++n;
          outside += !InChannel(kCourses[p], x, y);
          lost += !next.Wet(x, y);
          uint32_t col = c.S->At(c.X0 + x, c.Y0 + y);
          red += (col & 0xFF) < ((col >> 16) & 0xFF);
        }
      EXPECT_EQ(outside, 0) << "pattern " << p << " frame " << f;
      EXPECT_EQ(lost, 0) << "pattern " << p << " frame " << f;
      EXPECT_EQ(red, 0) << "pattern " << p << " frame " << f;
      if (f == 1) {  // the first water lies nearer the side it comes in from
        float ex, ey, ox, oy;
        SidePoint(kCourses[p].From, ex, ey);
        SidePoint(kCourses[p].To, ox, oy);
        sx /= n, sy /= n;
        EXPECT_LT(std::hypot(sx - ex, sy - ey), std::hypot(sx - ox, sy - oy)) << "pattern " << p;
      }
    }
  }
}

TEST(WaterSheets, FullFramesFillTheChannelToBothEndsAndStraightsWhole) {
  for (int p = 0; p < 28; ++p) {
    const Course& k = kCourses[p];
    WaterCell c = Cell(p, 15);
    for (int side : {k.From, k.To}) {
      if (side == kMid) {
        EXPECT_TRUE(c.Wet(16, 16)) << "pattern " << p;
        continue;
      }
      // The ten channel pixels along that side of the cell are all wet.
      for (int i = 11; i <= 20; ++i) {
        int x = side == kLeft ? 0 : side == kRight ? 31 : i;
        int y = side == kTop ? 0 : side == kBottom ? 31 : i;
        EXPECT_TRUE(c.Wet(x, y)) << "pattern " << p << " side " << side << " at " << i;
      }
    }
    const bool straight = k.From != kMid && (k.From + 2) % 4 == k.To;
    const bool horizontal = k.From == kLeft || k.From == kRight;
    for (int a = 0; a < 32 && straight; ++a)
      for (int b = 11; b <= 20; ++b)
        EXPECT_TRUE(horizontal ? c.Wet(a, b) : c.Wet(b, a)) << "pattern " << p;
  }
}

TEST(WaterSheets, GaugeBarAndSplash) {
  const Sheet& one = Water(1);
  // The gauge stretches this strip sideways: every row one colour, none black.
  for (int y = 11; y < 21; ++y)
    for (int x = 480; x < 496; ++x) {
      EXPECT_NE(one.At(x, y), 0u) << x << "," << y;
      EXPECT_EQ(one.At(x, y), one.At(480, y)) << x << "," << y;
    }
  // The splash: a shape drawn on black, round its middle.
  int wet = 0;
  for (int y = 384; y < 464; ++y)
    for (int x = 0; x < 80; ++x) wet += one.At(x, y) != 0;
  EXPECT_GT(wet, 80 * 80 / 8);
  EXPECT_NE(one.At(40, 424), 0u);
  for (int corner : {0, 79}) {
    EXPECT_EQ(one.At(corner, 384), 0u);
    EXPECT_EQ(one.At(corner, 463), 0u);
  }
  // Nothing else below the twelve pattern rows.
  for (int y = 384; y < 512; ++y)
    for (int x = 0; x < 512; ++x)
      if (x >= 80 || y >= 464) {
        ASSERT_EQ(one.At(x, y), 0u) << x << "," << y;
      }
}

// ------------------------------------------------------------ pipes

struct Picture {
  const Sheet* S;
  int N;
  uint32_t At(int x, int y) const { return S->At((N % 8) * 32 + x, (N / 8) * 32 + y); }
};

int Differences(Picture a, Picture b) {
  int n = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) n += a.At(x, y) != b.At(x, y);
  return n;
}

class PipeSheets : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { pipes_ = Load("pipe" + std::to_string(GetParam()) + ".bmp"); }
  Picture P(int n) const { return {&pipes_, n}; }
  // Under the full frame of a water pattern: how many pixels of the picture
  // show the bare ground (water must lie on the pipe), and their brightness.
  std::pair<int, float> UnderWater(int picture, int pattern) const {
    WaterCell w = Cell(pattern, 15);
    int ground = 0, n = 0;
    float sum = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        if (!w.Wet(x, y)) continue;
        uint32_t c = P(picture).At(x, y);
        ground += c == P(40).At(x, y);
        sum += ((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF);
        ++n;
      }
    return {ground, n ? sum / (3 * n) : 0};
  }
  Sheet pipes_;
};

// Which water pictures run through which piece.
const std::vector<std::pair<int, std::vector<int>>> kPieceWater = {
    {0, {14}},      {1, {12}},      {2, {15}},          {3, {13}},      {4, {19}},
    {5, {17}},      {6, {18}},      {7, {16}},          {8, {19}},      {9, {17}},
    {10, {18}},     {11, {16}},     {12, {14}},         {13, {12}},     {14, {15}},
    {15, {13}},     {17, {0, 1}},   {18, {2, 3}},       {19, {7, 6}},   {20, {9, 8}},
    {21, {4, 5}},   {22, {11, 10}}, {23, {0, 1, 2, 3}}, {24, {1}},      {25, {3}},
    {26, {0}},      {27, {2}},      {28, {7}},          {29, {9}},      {30, {5}},
    {31, {11}},     {32, {6}},      {33, {8}},          {34, {4}},      {35, {10}},
    {36, {26, 27}}, {37, {24, 25}}, {38, {22, 23}},     {39, {20, 21}},
};

TEST_P(PipeSheets, WaterLinesUpWithEveryPipeAndRouteCellsAreLit) {
  // A handful of pixels may match the ground by colour alone after palette
  // reduction; water misplaced on a piece would put hundreds there.
  for (const auto& [chip, patterns] : kPieceWater) {
    for (int picture = chip; picture < (chip >= 17 ? chip + 96 : chip + 1); picture += 24)
      for (int pattern : patterns)
        EXPECT_LE(UnderWater(picture, pattern).first, 4)
            << "picture " << picture << " pattern " << pattern;
    if (chip < 17) continue;  // system pieces are never drawn lit
    for (int group : {0, 48}) {
      const int plain = group + chip, lit = plain + 24;
      EXPECT_GT(Differences(P(plain), P(lit)), 32 * 32 / 3) << "piece " << plain;
      // The channel, where the water will run, glows.
      EXPECT_GT(UnderWater(lit, patterns[0]).second, UnderWater(plain, patterns[0]).second + 30)
          << "piece " << plain;
    }
  }
}

TEST_P(PipeSheets, PicturesDifferWhereThePlayerMustTellThemApart) {
  // A broken piece of player 2 keeps its owner: it is drawn as picture 88,
  // which must show the empty cell like picture 40, as must 112 to 127.
  EXPECT_EQ(Differences(P(40), P(88)), 0);
  for (int n = 112; n < 128; ++n) EXPECT_EQ(Differences(P(40), P(n)), 0) << n;
  for (int n = 0; n < 40; ++n) EXPECT_GT(Differences(P(40), P(n)), 100) << n;
  for (int chip = 17; chip <= 35; ++chip) {  // the two players' pieces, plain and lit
    EXPECT_GT(Differences(P(chip), P(chip + 48)), 60) << "piece " << chip;
    EXPECT_GT(Differences(P(chip + 24), P(chip + 72)), 60) << "lit piece " << chip;
  }
  Sheet next = Load("pipe" + std::to_string((GetParam() + 1) % 5) + ".bmp");
  for (int n : {17, 40}) EXPECT_GT(Differences(P(n), Picture{&next, n}), 32 * 32 / 2) << n;
}

// Pixels of the channel (x 11..20 of a vertical piece, y 11..20 of a
// horizontal one) that differ from the same channel run the other way.
int ChannelAsymmetry(Picture p, bool vertical) {
  int n = 0;
  for (int along = 0; along < 32; ++along)
    for (int across = 11; across <= 20; ++across) {
      const uint32_t a = vertical ? p.At(across, along) : p.At(along, across);
      const uint32_t b = vertical ? p.At(across, 31 - along) : p.At(31 - along, across);
      n += a != b;
    }
  return n;
}

int ChannelDifferences(Picture a, Picture b, bool vertical) {
  int n = 0;
  for (int along = 0; along < 32; ++along)
    for (int across = 11; across <= 20; ++across)
      n += vertical ? a.At(across, along) != b.At(across, along)
                    : a.At(along, across) != b.At(along, across);
  return n;
}

TEST_P(PipeSheets, FastAndSlowStraightsReadAlikeBothWaysUnlikeOneWayPieces) {
  // Pieces 36/38 and 25 run top to bottom, 37/39 and 24 left to right; 18
  // and 17 are the plain straights. The special straights let water through
  // both ways, so their marks must look the same from either end and differ
  // from a plain straight's; a one-way piece's must not. Unlit and lit alike.
  for (int lit : {0, 24}) {
    for (int chip : {36, 37, 38, 39}) {
      const bool vertical = chip % 2 == 0;
      const int n = chip + lit, plain = (vertical ? 18 : 17) + lit;
      EXPECT_LE(ChannelAsymmetry(P(n), vertical), 4) << "piece " << n;
      EXPECT_GT(ChannelDifferences(P(n), P(plain), vertical), 20) << "piece " << n;
    }
    for (int chip : {24, 25}) {
      const bool vertical = chip == 25;
      EXPECT_GT(ChannelAsymmetry(P(chip + lit), vertical), 20) << "piece " << chip + lit;
    }
  }
}

float Brightness(uint32_t c) {
  return (((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF)) / 3.0f;
}

// Mean brightness of rows (or columns) from..to of a picture, over its middle.
float BandBrightness(Picture p, bool vertical, int from, int to) {
  float sum = 0;
  int n = 0;
  for (int across = from; across <= to; ++across)
    for (int along = 8; along < 24; ++along, ++n)
      sum += Brightness(vertical ? p.At(across, along) : p.At(along, across));
  return sum / n;
}

TEST_P(PipeSheets, UnlitPiecesStandOutFromTheirFloor) {
  // Straights of both players, across the pipe: the floor beside it, the
  // pipe's outline and walls, and the channel the water will fill. Every
  // world must show the pipe's edge and its channel clearly on its floor.
  for (int chip : {17, 18, 17 + 48, 18 + 48}) {
    const bool vertical = chip % 2 == 0;
    const float floor = BandBrightness(P(chip), vertical, 1, 3);
    const float rim = BandBrightness(P(chip), vertical, 6, 6);
    const float wall = BandBrightness(P(chip), vertical, 7, 10);
    const float channel = BandBrightness(P(chip), vertical, 11, 20);
    EXPECT_GT(std::max(std::fabs(rim - floor), std::fabs(wall - floor)), 40) << "piece " << chip;
    EXPECT_GT(std::fabs(channel - floor), 40) << "piece " << chip;
  }
}

INSTANTIATE_TEST_SUITE_P(AllSets, PipeSheets, ::testing::Range(0, 5));

}  // namespace
