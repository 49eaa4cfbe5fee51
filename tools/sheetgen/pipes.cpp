// SPDX-License-Identifier: Zlib
// The five pipe sheets: 128 pictures of 32 x 32 in 8 columns.
//
// 0-15 sources, drains, warp entrances and exits; 16-39 player 1's pieces by
// piece number (16 the block); 40-63 the same lying on the water's route
// (40 the empty cell); 64-111 both groups again in player 2's colours;
// 112-127 empty ground. Each sheet is one world with its own ground and pipe
// material; the players are told apart by colour (red and blue).
#include <algorithm>
#include <cmath>

#include "channel.h"
#include "draw.h"
#include "sheets.h"

namespace sheetgen {
namespace {

constexpr uint32_t kPlayerColor[2] = {0xE8402C, 0x3C5CF0};
constexpr uint32_t kFastColor = 0xFF8A1C;
constexpr uint32_t kSlowColor = 0x38D070;
constexpr uint32_t kGlowInner = 0xFFF0A0;
constexpr uint32_t kGlowOuter = 0xF09018;
constexpr uint32_t kHalo = 0xFFF0A0;
constexpr int kNobody = -1;

enum class Ground { Grass, Steel, Tiles, Wood, Circuit };
enum class Finish { Plastic, Metal, Glass, Chrome };

struct World {
  Ground Floor;
  Finish Surface;
  uint32_t Body;           // pipe material of pieces nobody owns
  float Tint;              // how far a player's pipe leans to the player's colour
  float Gloss;             // strength of the highlight
  uint32_t Inner;          // dry inside of the channel
  uint32_t NeutralCollar;  // collars of pieces nobody owns
  uint32_t PlayerCollar;   // collars of players' pieces; 0: the player's colour
};

const World kWorlds[5] = {
    {Ground::Grass, Finish::Plastic, 0xF2EEE4, 1.0f, 0.9f, 0x3A2A40, 0xF0A020, 0xFFD83C},
    {Ground::Steel, Finish::Metal, 0x6C727C, 0.22f, 0.45f, 0x22262E, 0xC8CCD4, 0},
    {Ground::Tiles, Finish::Glass, 0xD8F8FF, 0.0f, 1.0f, 0x5A8CA0, 0xB8C4CC, 0},
    {Ground::Wood, Finish::Metal, 0xD09A34, 0.1f, 0.85f, 0x3A2410, 0xB86038, 0},
    {Ground::Circuit, Finish::Chrome, 0xC8D0E0, 0.25f, 1.0f, 0x201830, 0x9C6CFF, 0},
};

// ---------------------------------------------------------------- ground

void GrassTile(Canvas& cv, int x0, int y0) {
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x < kCell; ++x) {
      float n = Noise(x, y, 11) * 0.5f + Noise(x / 3, y / 3, 12) * 0.5f;
      uint32_t c = Mix(0x3C9630, 0x5CB845, n);
      if (Hash(x, y, 13) % 19 == 0) c = 0x86D862;
      if (Hash(x, y + 1, 13) % 19 == 0) c = 0x6CC850;  // blade tips lean up
      Plot(cv, x0 + x, y0 + y, c);
    }
  // Two little flowers.
  const int flowers[2][2] = {{5, 25}, {26, 5}};
  for (const auto& f : flowers) {
    for (int k = 0; k < 4; ++k)
      Plot(cv, x0 + f[0] + (k == 0) - (k == 1), y0 + f[1] + (k == 2) - (k == 3), 0xFFFFFF);
    Plot(cv, x0 + f[0], y0 + f[1], 0xFFD83C);
  }
}

void SteelTile(Canvas& cv, int x0, int y0) {
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x < kCell; ++x) {
      uint32_t c = Mix(0x7E8690, 0x8E96A0, Noise(x, y, 21));
      Plot(cv, x0 + x, y0 + y, c);
    }
  // Tread plate: short diagonal ridges, turned alternately.
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 4; ++i) {
      int cx = 4 + 8 * i, cy = 4 + 8 * j;
      int s = ((i + j) % 2 == 0) ? 1 : -1;
      for (int k = -2; k <= 2; ++k) {
        Plot(cv, x0 + cx + k, y0 + cy + s * k, 0xC4CCD4);
        Plot(cv, x0 + cx + k + 1, y0 + cy + s * k + 1, 0x545A62);
      }
    }
  // Rivets in the corners.
  const int rivets[4][2] = {{2, 2}, {29, 2}, {2, 29}, {29, 29}};
  for (const auto& r : rivets) {
    FillCircle(cv, x0 + r[0] + 0.5f, y0 + r[1] + 0.5f, 1.8f, 0x5A6068);
    Plot(cv, x0 + r[0], y0 + r[1], 0xE8ECF0);
  }
}

void TileTile(Canvas& cv, int x0, int y0) {
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x < kCell; ++x) {
      int tx = x % 16, ty = y % 16;
      bool odd = ((x / 16) + (y / 16)) % 2 == 1;
      uint32_t c = odd ? 0xA8D4E4 : 0xE6F2F6;
      if (tx + ty >= 4 && tx + ty <= 6) c = Shade(c, 0.35f);  // glaze shine
      if (tx == 0 || ty == 0) c = Shade(c, 0.25f);
      if (tx == 14 || ty == 14) c = Shade(c, -0.12f);
      if (tx == 15 || ty == 15) c = 0x7C8C96;  // grout
      Plot(cv, x0 + x, y0 + y, c);
    }
}

void WoodTile(Canvas& cv, int x0, int y0) {
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x < kCell; ++x) {
      int plank = y / 16, py = y % 16;
      float grain = std::sin(x * 0.45f + 2.6f * std::sin(py * 0.5f + plank * 2.1f) + plank * 1.7f);
      uint32_t c = plank == 0 ? 0xB07238 : 0xA0642E;
      c = Mix(c, Shade(c, -0.3f), grain > 0.7f ? 0.8f : 0.15f * (grain + 1));
      c = Mix(c, Shade(c, 0.1f), Noise(x, y, 31) * 0.5f);
      if (py == 0) c = Shade(c, 0.2f);
      if (py == 15) c = 0x4A2812;                                 // gap between planks
      if (x == (plank == 0 ? 31 : 15) && py != 15) c = 0x5A3218;  // plank ends
      Plot(cv, x0 + x, y0 + y, c);
    }
  const int nails[4][2] = {{2, 7}, {28, 7}, {18, 23}, {12, 23}};
  for (const auto& n : nails) {
    Plot(cv, x0 + n[0], y0 + n[1], 0x3A2410);
    Plot(cv, x0 + n[0] - 1, y0 + n[1] - 1, 0xE0C090);
  }
}

void CircuitTile(Canvas& cv, int x0, int y0) {
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x < kCell; ++x) {
      uint32_t c = Mix(0x0E4A2C, 0x16603A, Noise(x, y, 41) * 0.7f);
      Plot(cv, x0 + x, y0 + y, c);
    }
  const uint32_t trace = 0xD8A838, dark = 0x6A5018;
  // Traces run on to the neighbouring cells, so the board looks wired through.
  for (int x = 0; x < kCell; ++x) {
    Plot(cv, x0 + x, y0 + 3, trace);
    Plot(cv, x0 + x, y0 + 4, dark);
  }
  for (int y = 0; y < kCell; ++y) {
    Plot(cv, x0 + 28, y0 + y, trace);
    Plot(cv, x0 + 29, y0 + y, dark);
  }
  for (int k = 0; k < 7; ++k) Plot(cv, x0 + 3 + k, y0 + 22 + k, trace);
  for (int x = 10; x < 22; ++x) Plot(cv, x0 + x, y0 + 28, trace);
  const int pads[3][2] = {{28, 4}, {3, 22}, {22, 28}};
  for (const auto& p : pads) {
    FillCircle(cv, x0 + p[0] + 0.5f, y0 + p[1] + 0.5f, 2.2f, 0xF0C850);
    Plot(cv, x0 + p[0], y0 + p[1], 0x0A2416);
  }
  // A small part soldered beside the track.
  FillRect(cv, x0 + 7, y0 + 8, 5, 3, 0x2A2A30);
  FillRect(cv, x0 + 6, y0 + 8, 1, 3, 0xC8CCD0);
  FillRect(cv, x0 + 12, y0 + 8, 1, 3, 0xC8CCD0);
}

void PaintGround(Canvas& cv, int x0, int y0, const World& w) {
  switch (w.Floor) {
    case Ground::Grass:
      GrassTile(cv, x0, y0);
      break;
    case Ground::Steel:
      SteelTile(cv, x0, y0);
      break;
    case Ground::Tiles:
      TileTile(cv, x0, y0);
      break;
    case Ground::Wood:
      WoodTile(cv, x0, y0);
      break;
    case Ground::Circuit:
      CircuitTile(cv, x0, y0);
      break;
  }
  // A faint bevel on every cell keeps the board's grid readable.
  for (int i = 0; i < kCell; ++i) {
    Blend(cv, x0 + i, y0, 0xFFFFFF, 0.18f);
    Blend(cv, x0, y0 + i, 0xFFFFFF, 0.18f);
    Blend(cv, x0 + i, y0 + kCell - 1, 0x000000, 0.22f);
    Blend(cv, x0 + kCell - 1, y0 + i, 0x000000, 0.22f);
  }
}

// ---------------------------------------------------------------- pieces

enum class Mark { None, OneWay, Fast, Slow };

struct Piece {
  Path Paths[2] = {};
  int PathCount = 0;
  int Family = -1;  // system pieces: 0 source, 1 drain, 2 warp entrance, 3 warp exit
  Mark Marks = Mark::None;
};

Piece OnePath(int from, int to, Mark m = Mark::None) {
  Piece p;
  p.Paths[0] = {from, to};
  p.PathCount = 1;
  p.Marks = m;
  return p;
}

// The course of the water through each piece number, from the side it comes in.
Piece PieceOf(int chip) {
  if (chip >= 0 && chip < 16) {
    int family = chip / 4, dir = chip % 4;
    bool outward = family == 0 || family == 3;
    Piece p = outward ? OnePath(kMiddle, dir) : OnePath(dir, kMiddle);
    p.Family = family;
    return p;
  }
  switch (chip) {
    case 17:
      return OnePath(3, 1);
    case 18:
      return OnePath(0, 2);
    case 19:
      return OnePath(2, 1);
    case 20:
      return OnePath(2, 3);
    case 21:
      return OnePath(0, 1);
    case 22:
      return OnePath(0, 3);
    case 23: {
      Piece p = OnePath(3, 1);
      p.Paths[1] = {0, 2};
      p.PathCount = 2;
      return p;
    }
    case 24:
      return OnePath(1, 3, Mark::OneWay);
    case 25:
      return OnePath(0, 2, Mark::OneWay);
    case 26:
      return OnePath(3, 1, Mark::OneWay);
    case 27:
      return OnePath(2, 0, Mark::OneWay);
    case 28:
      return OnePath(2, 1, Mark::OneWay);
    case 29:
      return OnePath(3, 2, Mark::OneWay);
    case 30:
      return OnePath(1, 0, Mark::OneWay);
    case 31:
      return OnePath(0, 3, Mark::OneWay);
    case 32:
      return OnePath(1, 2, Mark::OneWay);
    case 33:
      return OnePath(2, 3, Mark::OneWay);
    case 34:
      return OnePath(0, 1, Mark::OneWay);
    case 35:
      return OnePath(3, 0, Mark::OneWay);
    case 36:
      return OnePath(0, 2, Mark::Fast);
    case 37:
      return OnePath(3, 1, Mark::Fast);
    case 38:
      return OnePath(0, 2, Mark::Slow);
    case 39:
      return OnePath(3, 1, Mark::Slow);
    default:
      return Piece{};
  }
}

enum class Region { Ground, Channel, Wall, Collar, Ring, Basin };

struct Hit {
  Region Where = Region::Ground;
  PathPoint Pt{};
  float Outside = 1e9f;  // distance beyond the outer surface (ground only)
  float Width = 1;       // half-width of the part hit, for shading
};

float DistanceToSide(int side, float x, float y) {
  switch (side) {
    case 0:
      return y;
    case 1:
      return kCell - x;
    case 2:
      return kCell - y;
    case 3:
      return x;
    default:
      return 1e9f;
  }
}

Hit Locate(const Piece& piece, float x, float y) {
  Hit hit;
  float best = 1e9f;
  for (int i = 0; i < piece.PathCount; ++i) {
    const Path& path = piece.Paths[i];
    PathPoint pt = LocateOnPath(path, x, y);
    if (!pt.InRange) continue;
    bool collar =
        std::min(DistanceToSide(path.From, x, y), DistanceToSide(path.To, x, y)) < kCollarLength;
    float outer = collar ? kCollarHalf : kWallHalf;
    float a = std::fabs(pt.Across);
    if (a - outer >= best) continue;
    best = a - outer;
    hit.Pt = pt;
    hit.Width = outer;
    hit.Where = a < kChannelHalf ? Region::Channel
                : a < outer      ? (collar ? Region::Collar : Region::Wall)
                                 : Region::Ground;
  }
  if (piece.Family >= 0) {
    float dx = x - 16, dy = y - 16, r = std::sqrt(dx * dx + dy * dy);
    if (r < kBasinRadius)
      hit.Where = Region::Basin;
    else if (r < kTankRadius && hit.Where != Region::Channel)
      hit.Where = Region::Ring;
    best = std::min(best, r - kTankRadius);
  }
  if (hit.Where == Region::Ground) hit.Outside = best;
  return hit;
}

bool Covered(const Piece& piece, float x, float y) {
  return Locate(piece, x, y).Where != Region::Ground;
}

// Mirror finish: the tube reflects a bright sky above and a dark floor below,
// with a shimmer that drifts along the pipe.
uint32_t ChromeColor(float across, float nx, float ny, float along, uint32_t tint,
                     float tintAmount) {
  float a = std::clamp(across, -1.0f, 1.0f);
  float nz = std::sqrt(std::max(0.0f, 1.0f - a * a));
  // How far the reflected ray points towards the bright top left.
  float up = -2 * nz * a * (0.8f * ny + 0.6f * nx);
  uint32_t c = up > 0.05f ? Mix(0x8CC8FF, 0xFAFCFF, std::min(1.0f, (up - 0.05f) * 2.2f))
                          : Mix(0x1C1430, 0x9C78D0, std::clamp(-up * 1.4f, 0.0f, 1.0f));
  float shimmer = 0.5f + 0.5f * std::sin(along * 0.35f + a * 2.0f);
  c = Mix(c, Mix(0xFF70E0, 0x60F0FF, shimmer), 0.18f);
  if (std::fabs(a) > 0.85f) c = Shade(c, -0.35f);
  return Mix(c, tint, tintAmount);
}

uint32_t WallColor(const World& w, uint32_t body, uint32_t under, float across, const PathPoint& pt,
                   float gloss) {
  switch (w.Surface) {
    case Finish::Chrome:
      return ChromeColor(across, pt.Nx, pt.Ny, pt.Along, body, 0.22f);
    case Finish::Glass: {
      // See-through: the floor shows, more clearly in the middle of the wall.
      uint32_t lit = TubeColor(0xFFFFFF, across, pt.Nx, pt.Ny, gloss);
      float edge = std::fabs(across);
      uint32_t c = Mix(under, body, 0.35f + 0.4f * edge * edge);
      return Mix(c, lit, 0.25f);
    }
    default:
      return TubeColor(body, across, pt.Nx, pt.Ny, gloss);
  }
}

// A chevron pointing in the direction of travel, its tip at `at` on the path.
bool OnChevron(const PathPoint& pt, float at) {
  float v = pt.Along - at + 0.9f * std::fabs(pt.Across);
  return std::fabs(v) < 1.1f && std::fabs(pt.Across) < 3.8f;
}

// Marks drawn inside the channel: they show until the water covers them.
bool ChannelMark(const Piece& piece, const PathPoint& pt, const Path& path) {
  float len = PathLength(path);
  switch (piece.Marks) {
    case Mark::OneWay:
      return OnChevron(pt, len * 0.42f) || OnChevron(pt, len * 0.82f);
    case Mark::Fast: {
      // Fast both ways: chevrons point out of the middle towards both ends.
      PathPoint back = pt;
      back.Along = len - pt.Along;
      return pt.Along > len / 2 ? OnChevron(pt, len * 0.72f) || OnChevron(pt, len * 0.92f)
                                : OnChevron(back, len * 0.72f) || OnChevron(back, len * 0.92f);
    }
    case Mark::Slow: {
      for (float at : {6.5f, 16.0f, 25.5f}) {
        float dx = pt.Along - at, dy = pt.Across;
        if (dx * dx + dy * dy < 3.2f) return true;
      }
      return false;
    }
    default:
      break;
  }
  if (piece.Family >= 0 && std::fabs(pt.Across) < 5) {
    // Spouts: out of sources and warp exits, into drains and warp entrances.
    return piece.Family == 0 || piece.Family == 3 ? OnChevron(pt, 14.0f) : OnChevron(pt, 8.0f);
  }
  return false;
}

uint32_t FamilyColor(int family) {
  const uint32_t colors[4] = {0x40B8F8, 0xF0C020, 0xE040E0, 0x30E088};
  return colors[family & 3];
}

// The round middle of sources, drains and warps.
uint32_t BasinColor(int family, float dx, float dy) {
  float r = std::sqrt(dx * dx + dy * dy), t = r / kBasinRadius;
  float a = std::atan2(dy, dx);
  switch (family) {
    case 0: {  // the spring: a pool of water welling up
      uint32_t c = TubeColor(0x2E8CF0, t, dx / std::max(r, 1e-3f), dy / std::max(r, 1e-3f), 0.8f);
      float ring = std::fabs(std::fmod(r + 10.0f, 3.0f) - 1.5f);
      return ring < 0.4f ? Shade(c, 0.3f) : c;
    }
    case 1: {  // the drain: a dark hole behind a grate
      if (std::fabs(dx) < 0.9f || std::fabs(dy) < 0.9f) return 0xA8AEB8;
      return Mix(0x08080E, 0x30303C, t);
    }
    default: {  // warps: a swirl, inward for entrances and outward for exits
      float turn = family == 2 ? 1.0f : -1.0f;
      float s = 0.5f + 0.5f * std::sin(3.0f * a + turn * r * 1.3f);
      uint32_t deep = family == 2 ? 0x400860 : 0x064030;
      uint32_t bright = family == 2 ? 0xFF70F8 : 0x70FFD0;
      return Mix(Mix(deep, bright, s), 0xFFFFFF,
                 std::max(0.0f, 0.6f - t) * (family == 2 ? 0.2f : 0.5f));
    }
  }
}

struct Style {
  const World* W;
  uint32_t Body, Collar, MarkColor;
  uint32_t Stripe;  // painted line along a player's pipe; 0: none
  bool Lit;
};

uint32_t ChannelColor(const Style& s, const Piece& piece, const Hit& hit, const Path& path,
                      uint32_t under) {
  const PathPoint& pt = hit.Pt;
  float across = pt.Across / kChannelHalf;
  uint32_t c;
  if (s.Lit) {
    c = Mix(kGlowInner, kGlowOuter, std::fabs(across) * std::fabs(across));
  } else if (s.W->Surface == Finish::Glass) {
    c = Mix(Scale(under, 0.6f), s.W->Inner, 0.55f);
  } else {
    // The inside of the tube: shadowed on the side facing the light.
    c = TubeColor(s.W->Inner, -across * 0.8f, pt.Nx, pt.Ny, 0.0f);
  }
  if (std::fabs(pt.Across) > 4.0f) c = Shade(c, -0.35f);  // lip of the opening
  if (ChannelMark(piece, pt, path)) c = s.MarkColor;
  return c;
}

uint32_t PiecePixel(const Style& s, const Piece& piece, const Hit& hit, float x, float y,
                    uint32_t under) {
  const World& w = *s.W;
  const PathPoint& pt = hit.Pt;
  float dx = x - 16, dy = y - 16, r = std::sqrt(dx * dx + dy * dy);
  switch (hit.Where) {
    case Region::Basin:
      return BasinColor(piece.Family, dx, dy);
    case Region::Ring: {
      float mid = (kBasinRadius + kTankRadius) / 2, half = (kTankRadius - kBasinRadius) / 2;
      float across = (r - mid) / half, nx = dx / std::max(r, 1e-3f), ny = dy / std::max(r, 1e-3f);
      uint32_t c = TubeColor(FamilyColor(piece.Family), across, nx, ny, w.Gloss);
      return r > kTankRadius - 1 ? Shade(c, -0.5f) : c;
    }
    case Region::Collar: {
      float across = pt.Across / kCollarHalf;
      uint32_t c = TubeColor(s.Collar, across, pt.Nx, pt.Ny, std::max(w.Gloss, 0.5f));
      return std::fabs(pt.Across) > kCollarHalf - 1 ? Shade(c, -0.55f) : c;
    }
    case Region::Wall: {
      float across = pt.Across / kWallHalf;
      uint32_t c = WallColor(w, s.Body, under, across, pt, w.Gloss);
      float stripe = std::fabs(std::fabs(pt.Across) - 7.8f);
      if (s.Stripe && stripe < 0.75f) c = TubeColor(s.Stripe, across, pt.Nx, pt.Ny, 0.5f);
      if (std::fabs(pt.Across) > kWallHalf - 1)
        c = Shade(w.Surface == Finish::Glass ? s.Body : c, -0.55f);
      return s.Lit ? Shade(c, 0.08f) : c;
    }
    case Region::Channel: {
      int i = 0;
      for (int k = 0; k < piece.PathCount; ++k)
        if (LocateOnPath(piece.Paths[k], x, y).Inside) i = k;
      return ChannelColor(s, piece, hit, piece.Paths[i], under);
    }
    default:
      return under;
  }
}

void DrawPiece(Canvas& cv, int x0, int y0, const Piece& piece, const Style& s) {
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x < kCell; ++x) {
      float px = x + 0.5f, py = y + 0.5f;
      Hit hit = Locate(piece, px, py);
      uint32_t under = Pixel(cv, x0 + x, y0 + y);
      if (hit.Where != Region::Ground) {
        Plot(cv, x0 + x, y0 + y, PiecePixel(s, piece, hit, px, py, under));
        continue;
      }
      // Ground: the pipe's drop shadow, and the glow of a lit route.
      uint32_t c = under;
      if (Covered(piece, px - 2, py - 2)) c = Scale(c, 0.62f);
      if (s.Lit && hit.Outside < 4.0f) c = Mix(c, kHalo, 0.85f * (1.0f - hit.Outside / 4.0f));
      Plot(cv, x0 + x, y0 + y, c);
    }
}

// Special straights sit on a plate, marked along both sides of the pipe.
void DrawSpecialPlate(Canvas& cv, int x0, int y0, bool vertical, bool fast) {
  uint32_t plate = fast ? 0x8A4A1C : 0x1C6A40, mark = fast ? kFastColor : kSlowColor;
  for (int i = 0; i < kCell; ++i)
    for (int j = 1; j < kCell - 1; ++j) {
      int x = vertical ? j : i, y = vertical ? i : j;
      uint32_t c = plate;
      if (j == 1) c = Shade(plate, 0.3f);
      if (j == kCell - 2) c = Shade(plate, -0.4f);
      Plot(cv, x0 + x, y0 + y, c);
    }
  // Marks on the strips of plate left beside the pipe.
  for (int i = 0; i < kCell; ++i)
    for (int band = 0; band < 2; ++band)
      for (int j = 0; j < 3; ++j) {
        int across = band == 0 ? 2 + j : kCell - 5 + j;
        bool on;
        if (fast) {
          // Chevrons pointing out of the middle, towards both ends.
          int a = i < 16 ? 15 - i : i - 16;
          on = (a + std::abs(j - 1)) % 6 == 2;
        } else {
          int a = (i + 4) % 8;
          on = (a == 3 || a == 4) && j < 2;
        }
        if (!on) continue;
        int x = vertical ? across : i, y = vertical ? i : across;
        Plot(cv, x0 + x, y0 + y, mark);
      }
}

// ---------------------------------------------------------------- blocks

void Boulder(Canvas& cv, int x0, int y0) {
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x < kCell; ++x) {
      float dx = x + 0.5f - 16, dy = y + 0.5f - 17;
      float a = std::atan2(dy, dx), r = std::sqrt(dx * dx + dy * dy);
      float edge = 12.5f + 1.5f * std::sin(3 * a + 1) + 0.8f * std::sin(7 * a);
      if (r >= edge) {
        float sx = dx - 2, sy = dy - 2;
        if (std::sqrt(sx * sx + sy * sy) < edge)
          Plot(cv, x0 + x, y0 + y, Scale(Pixel(cv, x0 + x, y0 + y), 0.6f));
        continue;
      }
      uint32_t c =
          TubeColor(0x9C968C, r / edge, dx / std::max(r, 1e-3f), dy / std::max(r, 1e-3f), 0.25f);
      c = Mix(c, Shade(c, -0.25f), Noise(x / 2, y / 2, 51) * 0.6f);
      if (r > edge - 1) c = 0x3A362E;
      Plot(cv, x0 + x, y0 + y, c);
    }
  DrawLine(cv, x0 + 12, y0 + 9, x0 + 16, y0 + 15, 0x4A443A);
  DrawLine(cv, x0 + 16, y0 + 15, x0 + 14, y0 + 20, 0x4A443A);
  DrawLine(cv, x0 + 16, y0 + 15, x0 + 21, y0 + 17, 0x4A443A);
}

void HazardBlock(Canvas& cv, int x0, int y0) {
  FillRect(cv, x0 + 3, y0 + 3, 28, 28, 0x30343A);  // shadow
  BevelRect(cv, x0 + 1, y0 + 1, 28, 28, 0x5A6068, 3);
  for (int y = 6; y < 24; ++y)
    for (int x = 6; x < 24; ++x) Plot(cv, x0 + x, y0 + y, ((x + y) / 4) % 2 ? 0x18181C : 0xF0C020);
  for (int i = 5; i < 25; ++i) {
    Plot(cv, x0 + i, y0 + 5, 0x2A2E34);
    Plot(cv, x0 + 5, y0 + i, 0x2A2E34);
    Plot(cv, x0 + i, y0 + 24, 0xA0A8B0);
    Plot(cv, x0 + 24, y0 + i, 0xA0A8B0);
  }
}

void StoneBlock(Canvas& cv, int x0, int y0) {
  FillRect(cv, x0 + 4, y0 + 4, 27, 27, Scale(Pixel(cv, x0 + 20, y0 + 30), 0.6f));
  BevelRect(cv, x0 + 2, y0 + 2, 27, 27, 0x6C6878, 3);
  for (int y = 5; y < 26; ++y)
    for (int x = 5; x < 26; ++x)
      Plot(cv, x0 + x, y0 + y, Mix(0x5E5A6A, 0x787486, Noise(x / 2, y / 2, 61)));
  DrawLine(cv, x0 + 8, y0 + 6, x0 + 13, y0 + 14, 0x2A2832);
  DrawLine(cv, x0 + 13, y0 + 14, x0 + 11, y0 + 22, 0x2A2832);
  DrawLine(cv, x0 + 13, y0 + 14, x0 + 22, y0 + 17, 0x2A2832);
  DrawLine(cv, x0 + 14, y0 + 14, x0 + 23, y0 + 18, 0x9C98A8);
}

void Crate(Canvas& cv, int x0, int y0) {
  FillRect(cv, x0 + 4, y0 + 4, 27, 27, 0x3A2410);
  BevelRect(cv, x0 + 2, y0 + 2, 27, 27, 0xC88C44, 3);
  for (int y = 5; y < 26; ++y)
    for (int x = 5; x < 26; ++x) Plot(cv, x0 + x, y0 + y, (y % 7 == 4) ? 0x7A4E22 : 0xB07A3A);
  for (int k = 0; k < 21; ++k) {
    for (int t = 0; t < 3; ++t) {
      Plot(cv, x0 + 5 + k, y0 + 5 + k + t - 1, 0xD8A060);
      Plot(cv, x0 + 25 - k, y0 + 5 + k + t - 1, 0xD8A060);
    }
    Plot(cv, x0 + 5 + k, y0 + 7 + k, 0x5A3418);
  }
  const int nails[4][2] = {{4, 4}, {26, 4}, {4, 26}, {26, 26}};
  for (const auto& n : nails) Plot(cv, x0 + n[0], y0 + n[1], 0x30302C);
}

void Chip(Canvas& cv, int x0, int y0) {
  FillRect(cv, x0 + 6, y0 + 8, 22, 20, 0x08140C);  // shadow
  for (int k = 0; k < 5; ++k) {
    FillRect(cv, x0 + 2, y0 + 8 + 4 * k, 4, 2, 0xD8DCE4);
    FillRect(cv, x0 + 26, y0 + 8 + 4 * k, 4, 2, 0xD8DCE4);
  }
  BevelRect(cv, x0 + 5, y0 + 5, 22, 22, 0x2A2830, 2);
  FillCircle(cv, x0 + 9.5f, y0 + 9.5f, 1.6f, 0x8A8894);
  FillRect(cv, x0 + 10, y0 + 17, 12, 1, 0x6A6874);
  FillRect(cv, x0 + 10, y0 + 20, 8, 1, 0x6A6874);
  FillRect(cv, x0 + 14, y0 + 5, 4, 2, 0x121116);  // notch
}

void DrawBlock(Canvas& cv, int x0, int y0, const World& w) {
  switch (w.Floor) {
    case Ground::Grass:
      Boulder(cv, x0, y0);
      break;
    case Ground::Steel:
      HazardBlock(cv, x0, y0);
      break;
    case Ground::Tiles:
      StoneBlock(cv, x0, y0);
      break;
    case Ground::Wood:
      Crate(cv, x0, y0);
      break;
    case Ground::Circuit:
      Chip(cv, x0, y0);
      break;
  }
}

// ---------------------------------------------------------------- sheet

Style StyleFor(const World& w, int chip, int owner, bool lit) {
  Style s{&w, w.Body, w.NeutralCollar, 0xFFE860, 0, lit};
  if (chip < 16) {
    s.Collar = FamilyColor(chip / 4);
    s.MarkColor = 0xF8FCFF;
  } else if (chip >= 36 && chip <= 39) {
    s.Collar = chip <= 37 ? kFastColor : kSlowColor;
    s.Body = Mix(w.Body, s.Collar, 0.3f);
    s.MarkColor = chip <= 37 ? kFastColor : 0x78FFB0;
  } else if (owner != kNobody) {
    s.Body = Mix(w.Body, kPlayerColor[owner], w.Tint);
    s.Collar = w.PlayerCollar ? w.PlayerCollar : kPlayerColor[owner];
    // Where the body keeps its material, a painted line tells the owner.
    if (w.Tint < 0.5f) s.Stripe = kPlayerColor[owner];
  }
  if (lit) s.MarkColor = chip >= 36 ? Shade(s.MarkColor, -0.3f) : 0xC03A10;
  return s;
}

void DrawPicture(Canvas& cv, int picture, const World& w) {
  int x0 = (picture % 8) * kCell, y0 = (picture / 8) * kCell;
  PaintGround(cv, x0, y0, w);
  int chip = picture, owner = kNobody;
  bool lit = false;
  if (picture >= 16 && picture < 112) {
    int group = picture >= 64 ? 1 : 0;
    int k = picture - 48 * group;
    owner = group;
    lit = k > 40;
    chip = k == 40 ? 40 : lit ? k - 24 : k;
  }
  if (picture >= 112 || chip == 40) return;
  if (chip == 16) return DrawBlock(cv, x0, y0, w);
  if (chip >= 36) DrawSpecialPlate(cv, x0, y0, chip == 36 || chip == 38, chip <= 37);
  if (lit) {
    // The route ahead of the water: the whole cell warms up.
    for (int y = 0; y < kCell; ++y)
      for (int x = 0; x < kCell; ++x) Blend(cv, x0 + x, y0 + y, 0xFFE890, 0.16f);
  }
  if (chip >= 36 || chip < 16) owner = kNobody;
  DrawPiece(cv, x0, y0, PieceOf(chip), StyleFor(w, chip, owner, lit));
}

}  // namespace

Canvas DrawPipeSheet(int pipeSet) {
  const World& w = kWorlds[std::clamp(pipeSet, 0, 4)];
  Canvas cv = MakeCanvas(256, 512);
  for (int picture = 0; picture < 128; ++picture) DrawPicture(cv, picture, w);
  return cv;
}

}  // namespace sheetgen
