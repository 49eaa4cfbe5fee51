// SPDX-License-Identifier: Zlib
// Where the water runs inside a 32 x 32 board cell.
//
// The pipe pictures and the water pictures are painted from this one
// geometry, so that water drawn over a pipe fills exactly its channel and
// lines up with the neighbouring cells.
#pragma once

namespace sheetgen {

constexpr int kCell = 32;
// Half-width of the channel: a horizontal pipe carries water in rows 11..20.
constexpr float kChannelHalf = 5.0f;
// Half-width of the pipe's outer surface, and of the collars at the cell sides.
constexpr float kWallHalf = 10.5f;
constexpr float kCollarHalf = 12.0f;
constexpr float kCollarLength = 3.0f;
// Round basin in the middle of sources, drains and warps, and their tank.
constexpr float kBasinRadius = 6.5f;
constexpr float kTankRadius = 12.5f;

// A path end in the middle of the cell (basin of a source, drain or warp).
constexpr int kMiddle = -1;

// The course of the water through a cell, from the side it comes in to the
// side it goes out. Sides are numbered like directions: 0 top, 1 right,
// 2 bottom, 3 left.
struct Path {
  int From;
  int To;
};

struct PathPoint {
  bool InRange;  // beside the path's centre line, not behind its start
  bool Inside;   // in the channel (or the basin)
  float Across;  // signed distance from the centre line, growing along (Nx, Ny)
  float Along;   // distance the water travels from the entry to reach the point
  float Nx, Ny;  // unit vector across the path
  float Tx, Ty;  // unit vector in the direction of travel
};

float PathLength(Path p);
// x, y: a point of the cell (pixel centres are at whole + 0.5).
PathPoint LocateOnPath(Path p, float x, float y);
// The path of water that travels in direction `in` and leaves in `out`
// (-1 in: it starts in the middle; negative out: it ends in the middle).
Path PathOfTravel(int in, int out);

}  // namespace sheetgen
