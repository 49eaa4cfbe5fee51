// SPDX-License-Identifier: Zlib
// Channel geometry: straights, quarter-circle elbows and the spouts of the
// middle basin.
#include "channel.h"

#include <algorithm>
#include <cmath>

namespace sheetgen {
namespace {

constexpr float kHalf = kCell / 2.0f;
constexpr float kPi = 3.14159265f;

// Unit vector from the middle of the cell towards a side.
void SideVector(int side, float& ux, float& uy) {
  ux = side == 1 ? 1.0f : side == 3 ? -1.0f : 0.0f;
  uy = side == 2 ? 1.0f : side == 0 ? -1.0f : 0.0f;
}

bool Opposite(int a, int b) { return a >= 0 && b >= 0 && (a + 2) % 4 == b; }

PathPoint Straight(Path p, float x, float y) {
  float ux, uy;
  SideVector(p.To, ux, uy);
  PathPoint pt{};
  float dx = x - kHalf, dy = y - kHalf;
  pt.Tx = ux, pt.Ty = uy;
  pt.Nx = -uy, pt.Ny = ux;
  pt.Along = kHalf + dx * ux + dy * uy;
  pt.Across = dx * pt.Nx + dy * pt.Ny;
  pt.InRange = true;
  pt.Inside = std::fabs(pt.Across) < kChannelHalf;
  return pt;
}

// A quarter circle of radius 16 round the corner that the two sides share.
PathPoint Elbow(Path p, float x, float y) {
  float fx, fy, tx, ty;
  SideVector(p.From, fx, fy);
  SideVector(p.To, tx, ty);
  float cx = kHalf + kHalf * (fx + tx), cy = kHalf + kHalf * (fy + ty);
  float dx = x - cx, dy = y - cy;
  float r = std::max(std::sqrt(dx * dx + dy * dy), 1e-4f);
  PathPoint pt{};
  pt.Nx = dx / r, pt.Ny = dy / r;
  pt.Across = r - kHalf;
  // Angle from the entry side's midpoint, seen from the corner.
  float ex = kHalf + kHalf * fx - cx, ey = kHalf + kHalf * fy - cy;
  float cosA = std::clamp((dx * ex + dy * ey) / (r * kHalf), -1.0f, 1.0f);
  pt.Along = std::acos(cosA) * kHalf;
  // Travel direction: perpendicular to the radius, turning towards the exit.
  float sx = -pt.Ny, sy = pt.Nx;
  if (sx * tx + sy * ty < 0) sx = -sx, sy = -sy;
  pt.Tx = sx, pt.Ty = sy;
  pt.InRange = true;
  pt.Inside = std::fabs(pt.Across) < kChannelHalf;
  return pt;
}

// From the middle basin out to a side, or from a side into the basin.
PathPoint Spout(Path p, float x, float y) {
  bool outward = p.From == kMiddle;
  int side = outward ? p.To : p.From;
  float ux, uy;
  SideVector(side, ux, uy);
  float dx = x - kHalf, dy = y - kHalf;
  float t = dx * ux + dy * uy;  // distance from the middle towards the side
  float r = std::sqrt(dx * dx + dy * dy);
  PathPoint pt{};
  pt.Nx = -uy, pt.Ny = ux;
  pt.Across = dx * pt.Nx + dy * pt.Ny;
  pt.Tx = outward ? ux : -ux, pt.Ty = outward ? uy : -uy;
  pt.InRange = t >= 0;
  bool inBasin = r < kBasinRadius;
  pt.Inside = inBasin || (pt.InRange && std::fabs(pt.Across) < kChannelHalf);
  if (outward) {
    pt.Along = inBasin ? r : t;
  } else {
    float mx = x - (kHalf + kHalf * ux), my = y - (kHalf + kHalf * uy);
    pt.Along = inBasin ? std::sqrt(mx * mx + my * my) : kHalf - t;
  }
  return pt;
}

}  // namespace

float PathLength(Path p) {
  if (p.From == kMiddle) return kHalf;
  if (p.To == kMiddle) return kHalf + kBasinRadius;
  if (Opposite(p.From, p.To)) return kCell;
  return kPi / 2 * kHalf;
}

PathPoint LocateOnPath(Path p, float x, float y) {
  if (p.From == kMiddle || p.To == kMiddle) return Spout(p, x, y);
  if (Opposite(p.From, p.To)) return Straight(p, x, y);
  return Elbow(p, x, y);
}

Path PathOfTravel(int in, int out) {
  int from = in >= 0 ? (in + 2) % 4 : kMiddle;
  int to = out >= 0 ? out : kMiddle;
  return {from, to};
}

}  // namespace sheetgen
