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
// What each world's pipes are made of; every material has its own wall,
// collar and inside, so a world reads at a glance.
enum class Material { Plastic, Iron, Glass, Brass, Chrome };

struct World {
  Ground Floor;
  Material Stuff;
  uint32_t Body;           // pipe material of pieces nobody owns
  float Tint;              // how far a player's pipe leans to the player's colour
  float Gloss;             // strength of the highlight
  uint32_t Inner;          // dry inside of the channel
  uint32_t NeutralCollar;  // collars of pieces nobody owns
  uint32_t PlayerCollar;   // collars of players' pieces; 0: the player's colour
  bool Stripe;             // a painted line along a player's pipe tells the owner
  float CollarLength;      // how far the collars reach in from the cell's sides
};

const World kWorlds[5] = {
    {Ground::Grass, Material::Plastic, 0xF4F0E6, 1.0f, 1.0f, 0x3A2A40, 0xFFB020, 0xFFD83C, false,
     3.0f},
    {Ground::Steel, Material::Iron, 0x4A505A, 0.1f, 0.45f, 0x16181C, 0x9AA0A8, 0, false, 4.5f},
    {Ground::Tiles, Material::Glass, 0xA8E8FF, 0.35f, 1.0f, 0x5A8CA0, 0xB8C4CC, 0, false, 3.0f},
    {Ground::Wood, Material::Brass, 0xE8A828, 0.0f, 1.0f, 0x2A1808, 0xC88A30, 0xC88A30, false,
     3.0f},
    {Ground::Circuit, Material::Chrome, 0xC8D0E0, 0.22f, 1.0f, 0x201830, 0x9C6CFF, 0, true, 3.0f},
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

// Basket-weave parquet: four squares of three strips each, turned in turn,
// every strip its own wood, so the board never reads as one brown sheet.
void WoodTile(Canvas& cv, int x0, int y0) {
  const uint32_t woods[6] = {0xC08A48, 0x8E5428, 0xD0A060, 0x7A4420, 0xB07838, 0x9C6430};
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x < kCell; ++x) {
      int sx = x / 16, sy = y / 16, lx = x % 16, ly = y % 16;
      bool across = (sx + sy) % 2 == 0;  // strips running left to right
      int strip = std::min((across ? ly : lx) / 5, 2), along = across ? lx : ly;
      int across16 = (across ? ly : lx) - 5 * strip;  // position across the strip
      uint32_t c = woods[(strip + 3 * sx + 2 * sy + 1) % 6];
      float grain = std::sin(along * 0.5f + 3.0f * std::sin(across16 * 0.7f + strip * 2.3f + sx));
      c = Mix(c, Shade(c, -0.2f), grain > 0.8f ? 0.6f : 0.1f * (grain + 1));
      c = Mix(c, Shade(c, 0.12f), Noise(x, y, 31) * 0.4f);
      if (across16 == 0) c = Shade(c, 0.16f);
      if (across16 == (strip == 2 ? 5 : 4)) c = Shade(c, -0.35f);  // joint between strips
      if (lx == 15 || ly == 15) c = 0x3E2210;                      // joint between squares
      Plot(cv, x0 + x, y0 + y, c);
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
  float Side = 1e9f;     // distance to the nearer cell side the path touches
  float Knuckle = -1;    // distance from a chrome knuckle's middle; -1: none
  float Length = 1;      // length of the path hit
};

// Chrome pieces swell into a round knuckle half way along each path.
constexpr float kKnuckleHalf = 4.5f;   // half its length along the path
constexpr float kKnuckleSwell = 2.5f;  // how much wider than the wall it gets

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

bool HasKnuckles(const World& w, const Piece& piece) {
  return w.Stuff == Material::Chrome && piece.Family < 0 && piece.Marks != Mark::Fast &&
         piece.Marks != Mark::Slow;
}

Hit Locate(const World& w, const Piece& piece, float x, float y) {
  Hit hit;
  float best = 1e9f;
  for (int i = 0; i < piece.PathCount; ++i) {
    const Path& path = piece.Paths[i];
    PathPoint pt = LocateOnPath(path, x, y);
    if (!pt.InRange) continue;
    float side = std::min(DistanceToSide(path.From, x, y), DistanceToSide(path.To, x, y));
    bool collar = side < w.CollarLength;
    // Chrome collars are split rings: two thin bands with the tube between.
    if (w.Stuff == Material::Chrome && side >= 1.0f && side < 2.0f) collar = false;
    float outer = collar ? kCollarHalf : kWallHalf, knuckle = -1;
    if (!collar && HasKnuckles(w, piece)) {
      float len = PathLength(path), d = std::fabs(pt.Along - len / 2);
      if (d < kKnuckleHalf) {
        float t = d / kKnuckleHalf;
        outer = kWallHalf + kKnuckleSwell * std::sqrt(1 - t * t);
        knuckle = d;
      }
    }
    float a = std::fabs(pt.Across);
    if (a - outer >= best) continue;
    best = a - outer;
    hit.Pt = pt;
    hit.Width = outer;
    hit.Side = side;
    hit.Knuckle = knuckle;
    hit.Length = PathLength(path);
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

bool Covered(const World& w, const Piece& piece, float x, float y) {
  return Locate(w, piece, x, y).Where != Region::Ground;
}

// ---------------------------------------------------------------- materials

// Light on a round tube at `across` (-1..1) with (nx, ny) the screen direction
// across it: the diffuse part and the highlight, as TubeColor lights it.
struct Lighting {
  float Diffuse, Spec, Up;  // Up: how far a reflection points to the bright top left
};

Lighting LightOn(float across, float nx, float ny) {
  float a = std::clamp(across, -1.0f, 1.0f);
  float z = std::sqrt(std::max(0.0f, 1.0f - a * a));
  float n[3] = {nx * a, ny * a, z};
  float diffuse = std::max(0.0f, -0.48f * n[0] - 0.62f * n[1] + 0.62f * z);
  float spec = std::max(0.0f, -0.26f * n[0] - 0.34f * n[1] + 0.90f * z);
  return {diffuse, std::pow(spec, 24.0f), -2 * z * a * (0.8f * ny + 0.6f * nx)};
}

// Toy plastic shades to a deeper, warmer hue rather than to grey.
uint32_t Deepen(uint32_t c, float k) { return Rgb(Red(c) * k, Green(c) * k * k, Blue(c) * k); }

// Toy plastic: flat bands of colour, a hard white shine, a dark rim.
uint32_t PlasticColor(uint32_t body, float across, const PathPoint& pt) {
  Lighting l = LightOn(across, pt.Nx, pt.Ny);
  if (l.Spec > 0.4f) return Mix(body, 0xFFFFFF, 0.88f);
  if (std::fabs(across) > 0.9f) return Deepen(body, 0.45f);
  return l.Diffuse > 0.85f  ? Shade(body, 0.28f)
         : l.Diffuse > 0.5f ? body
         : l.Diffuse > 0.2f ? Deepen(body, 0.8f)
                            : Deepen(body, 0.62f);
}

// Cast iron: dull and pitted, rust in the pits, one soft sheen along the
// side facing the light.
uint32_t IronColor(uint32_t body, float across, const PathPoint& pt, int x, int y) {
  uint32_t c = TubeColor(body, across, pt.Nx, pt.Ny, 0.45f);
  float a = std::fabs(across);
  bool lit = -0.48f * pt.Nx * across - 0.62f * pt.Ny * across > 0;
  if (lit && a > 0.58f && a < 0.76f) c = Mix(c, 0xC0C8D0, 0.55f);
  c = Mix(c, Shade(c, -0.35f), Noise(x, y, 71) * 0.5f);
  if (Hash(x, y, 72) % 13 == 0) c = Mix(c, 0x8A4820, 0.55f);
  return c;
}

// Glass: the floor shows through, most clearly in the middle of the wall;
// a thin bright streak where it faces the light, a fainter one opposite.
uint32_t GlassColor(uint32_t tint, uint32_t under, float across, const PathPoint& pt) {
  float a = std::fabs(across);
  bool lit = -0.48f * pt.Nx * across - 0.62f * pt.Ny * across > 0;
  uint32_t c = Mix(under, tint, 0.15f + 0.6f * a * a * a * a);
  if (a > 0.56f && a < 0.72f) return Mix(c, 0xFFFFFF, lit ? 0.85f : 0.35f);
  return c;
}

// Polished brass: deep gold running to warm brown in the shade, a hard
// shine along the side facing the light and a dark mirrored line opposite.
uint32_t BrassColor(uint32_t body, float across, const PathPoint& pt) {
  Lighting l = LightOn(across, pt.Nx, pt.Ny);
  float a = std::fabs(across);
  bool lit = -0.48f * pt.Nx * across - 0.62f * pt.Ny * across > 0;
  uint32_t c = Mix(0x6A3A0C, body, std::clamp(0.5f + 0.6f * l.Diffuse, 0.0f, 1.0f));
  if (a > 0.6f && a < 0.76f) c = lit ? Mix(c, 0xFFF8D8, 0.85f) : Mix(c, 0x3A1C04, 0.55f);
  return a > 0.9f ? Mix(c, 0x2A1404, 0.65f) : c;
}

// Mirror finish: the tube reflects a bright sky above and the floor below,
// with a shimmer that drifts along the pipe.
uint32_t ChromeColor(float across, const PathPoint& pt, uint32_t tint, float tintAmount,
                     uint32_t under) {
  float a = std::clamp(across, -1.0f, 1.0f);
  float up = LightOn(a, pt.Nx, pt.Ny).Up;
  uint32_t c = up > 0.05f
                   ? Mix(0x8CC8FF, 0xFAFCFF, std::min(1.0f, (up - 0.05f) * 2.2f))
                   : Mix(Mix(0x1C1430, under, 0.35f), 0x9C78D0, std::clamp(-up * 1.4f, 0.0f, 1.0f));
  float shimmer = 0.5f + 0.5f * std::sin(pt.Along * 0.35f + a * 2.0f);
  c = Mix(c, Mix(0xFF70E0, 0x60F0FF, shimmer), 0.18f);
  if (std::fabs(a) > 0.85f) c = Shade(c, -0.35f);
  return Mix(c, tint, tintAmount);
}

// Where the brass bands sit along a path: a quarter, half and three quarters.
bool OnBand(const Hit& hit) {
  for (float at : {0.25f, 0.5f, 0.75f})
    if (std::fabs(hit.Pt.Along - at * hit.Length) < 1.7f) return true;
  return false;
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
      // Fast both ways: one double-headed arrow, never two alike like a
      // one-way piece's.
      PathPoint back = pt;
      back.Along = len - pt.Along;
      bool shaft = std::fabs(pt.Across) < 0.8f && std::fabs(pt.Along - len / 2) < len * 0.3f;
      return shaft || OnChevron(pt, len * 0.86f) || OnChevron(back, len * 0.86f);
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
  uint32_t Band;    // the rings round a brass pipe
  bool Lit;
};

uint32_t ChannelColor(const Style& s, const Piece& piece, const Hit& hit, const Path& path,
                      uint32_t under) {
  const PathPoint& pt = hit.Pt;
  float across = pt.Across / kChannelHalf;
  uint32_t c;
  if (s.Lit) {
    c = Mix(kGlowInner, kGlowOuter, std::fabs(across) * std::fabs(across));
  } else if (s.W->Stuff == Material::Glass) {
    c = Mix(Scale(under, 0.55f), Mix(0x1E4A66, s.Body, 0.2f), 0.35f);  // the floor shows
  } else {
    // The inside of the tube: shadowed on the side facing the light.
    c = TubeColor(s.W->Inner, -across * 0.8f, pt.Nx, pt.Ny, 0.0f);
  }
  if (std::fabs(pt.Across) > 4.0f) c = Shade(c, -0.35f);  // lip of the opening
  if (ChannelMark(piece, pt, path)) c = s.MarkColor;
  return c;
}

uint32_t CollarColor(const Style& s, const Hit& hit, uint32_t under) {
  const PathPoint& pt = hit.Pt;
  float across = pt.Across / kCollarHalf;
  uint32_t c;
  switch (s.W->Stuff) {
    case Material::Plastic: {
      // A chunky ring with a round stud of shine on its lit side.
      c = PlasticColor(s.Collar, across, pt);
      float dr = hit.Side - s.W->CollarLength / 2, da = std::fabs(across) - 0.62f;
      bool lit = -0.48f * pt.Nx * across - 0.62f * pt.Ny * across > 0;
      if (lit && dr * dr + 16 * da * da < 0.8f) c = 0xFFFFF0;
      break;
    }
    case Material::Iron: {
      // A flange with a rivet each side of the pipe.
      c = TubeColor(s.Collar, across, pt.Nx, pt.Ny, 0.35f);
      float dr = hit.Side - s.W->CollarLength / 2, da = std::fabs(pt.Across) - 9.5f;
      if (dr * dr + da * da < 1.7f)
        c = dr + da * (pt.Across > 0 ? 1 : -1) < 0 ? 0xE4E8EC : 0x5A6068;
      break;
    }
    case Material::Chrome:
      c = ChromeColor(across, pt, s.Collar, 0.45f, under);
      break;
    case Material::Brass:
      c = BrassColor(s.Collar, across, pt);
      break;
    default:
      c = TubeColor(s.Collar, across, pt.Nx, pt.Ny, std::max(s.W->Gloss, 0.5f));
      break;
  }
  return std::fabs(pt.Across) > kCollarHalf - 1 ? Shade(c, -0.55f) : c;
}

uint32_t WallColor(const Style& s, const Hit& hit, uint32_t under, int x, int y) {
  const PathPoint& pt = hit.Pt;
  float across = pt.Across / hit.Width;
  switch (s.W->Stuff) {
    case Material::Plastic:
      return PlasticColor(s.Body, across, pt);
    case Material::Iron:
      return IronColor(s.Body, across, pt, x, y);
    case Material::Glass:
      return GlassColor(s.Body, under, across, pt);
    case Material::Brass:
      if (OnBand(hit)) return TubeColor(s.Band, across, pt.Nx, pt.Ny, 0.6f);  // enamelled ring
      return BrassColor(s.Body, across, pt);
    case Material::Chrome:
      if (hit.Knuckle >= 0 && std::fabs(hit.Knuckle - 3.0f) < 0.7f) {
        Lighting l = LightOn(across, pt.Nx, pt.Ny);  // the knuckle's glowing seam
        return Mix(0x30C8FF, 0xE8FFFF, std::clamp(l.Diffuse, 0.0f, 1.0f));
      }
      return ChromeColor(across, pt, s.Body, 0.22f, under);
  }
  return s.Body;
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
    case Region::Collar:
      return CollarColor(s, hit, under);
    case Region::Wall: {
      float across = pt.Across / hit.Width;
      uint32_t c = WallColor(s, hit, under, static_cast<int>(x), static_cast<int>(y));
      float stripe = std::fabs(std::fabs(pt.Across) - 7.8f);
      if (s.Stripe && stripe < 0.75f) c = TubeColor(s.Stripe, across, pt.Nx, pt.Ny, 0.5f);
      if (std::fabs(pt.Across) >= hit.Width - 1)
        c = Shade(w.Stuff == Material::Glass ? s.Body : c, -0.55f);
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
      Hit hit = Locate(*s.W, piece, px, py);
      uint32_t under = Pixel(cv, x0 + x, y0 + y);
      if (hit.Where != Region::Ground) {
        Plot(cv, x0 + x, y0 + y, PiecePixel(s, piece, hit, px, py, under));
        continue;
      }
      // Ground: the pipe's drop shadow, and the glow of a lit route.
      uint32_t c = under;
      if (Covered(*s.W, piece, px - 2, py - 2)) c = Scale(c, 0.62f);
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

// A sea chest painted dark green, bound in iron with brass corners: an
// obstacle that stands out from the wooden floor.
void Chest(Canvas& cv, int x0, int y0) {
  FillRect(cv, x0 + 4, y0 + 5, 27, 26, 0x24140A);  // shadow
  BevelRect(cv, x0 + 2, y0 + 3, 27, 26, 0x2E6A58, 2);
  for (int y = 5; y < 27; ++y)
    for (int x = 4; x < 27; ++x)
      Plot(cv, x0 + x, y0 + y, Mix(0x2A5C4C, 0x347862, Noise(x, y / 3, 81) * 0.8f));
  FillRect(cv, x0 + 3, y0 + 11, 25, 1, 0x10241C);  // the lid's seam
  for (int bx : {9, 21}) {                         // iron straps
    FillRect(cv, x0 + bx, y0 + 3, 2, 26, 0x3A3E46);
    FillRect(cv, x0 + bx, y0 + 3, 1, 26, 0x7A808A);
  }
  const int corners[4][2] = {{2, 3}, {25, 3}, {2, 26}, {25, 26}};
  for (const auto& c : corners) {
    FillRect(cv, x0 + c[0], y0 + c[1], 4, 3, 0xE0B040);
    Plot(cv, x0 + c[0], y0 + c[1], 0xFFF0A0);
    Plot(cv, x0 + c[0] + 3, y0 + c[1] + 2, 0x7A5010);
  }
  FillRect(cv, x0 + 14, y0 + 10, 4, 5, 0xE0B040);  // the lock
  Plot(cv, x0 + 15, y0 + 12, 0x20140A);
  Plot(cv, x0 + 14, y0 + 10, 0xFFF0A0);
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
      Chest(cv, x0, y0);
      break;
    case Ground::Circuit:
      Chip(cv, x0, y0);
      break;
  }
}

// ---------------------------------------------------------------- sheet

Style StyleFor(const World& w, int chip, int owner, bool lit) {
  Style s{&w, w.Body, w.NeutralCollar, 0xFFE860, 0, 0xA85020, lit};
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
    s.Band = kPlayerColor[owner];
    if (w.Stripe) s.Stripe = kPlayerColor[owner];
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
