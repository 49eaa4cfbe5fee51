// SPDX-License-Identifier: Zlib
#include "bot/endlessbot.h"

#include <algorithm>
#include <cstring>

#include "bot/coursebot.h"
#include "endless/heylawmap.h"
#include "endless/tokoton.h"
#include "input/joystick.h"
#include "puzzle/board.h"

namespace bot {

namespace {

using endless::kChipSize;
using endless::kWellColumns;
using endless::kWellRows;

constexpr int32_t kThinkFrames = 8;  // a look at a new piece before the first move
constexpr int32_t kFallStep = 6;     // pixels a fall step takes the piece down
constexpr int32_t kTraceLimit = 4 * kWellColumns * kWellRows;
constexpr double kLost = -1e9;

// What the bot weighs a well by, after its circuits are cleared.
constexpr double kDeadEnd = 2.0;    // a pipe end against a wall or a wrong chip
constexpr double kOpenEnd = 0.2;    // a pipe end over an empty cell: not closed yet
constexpr double kJoinedEnd = 0.1;  // a pipe end meeting another
constexpr double kSocket = 0.5;     // a cell two pipe ends lead into, for one chip to join
constexpr double kHole = 1.5;       // an empty cell under a chip: nothing falls into it
constexpr double kHeight = 0.2;     // each chip's row counted from the floor
constexpr double kHighStack = 1.0;  // by the square of the rows above the safe height
constexpr int32_t kSafeHeight = 6;
constexpr int32_t kSpawnColumn = 3;  // new pieces appear over it
constexpr int32_t kSpawnDanger = 8;  // rows there before the game is nearly lost

struct Well {
  int16_t Cell[kWellColumns][kWellRows];
};

// A piece as the bot moves it in its head: chips, rotation, the first
// chip's column and pixel row, as the game keeps them.
struct Pose {
  int32_t Chips[2];
  int32_t Rot;
  int32_t Column;
  int32_t Y;
};

struct Aim {
  bool Valid = false;
  int32_t Column = 0;
  int32_t Rot = 0;
  int32_t Chips[2] = {};
};

struct EndlessHands {
  uint32_t Rng = 1;
  int32_t SeenPiece = -1;
  int64_t PieceSince = 0;
  int64_t LastAction = -1000;
  Aim Target;
};

EndlessHands Hands;

uint32_t NextRandom() {
  Hands.Rng ^= Hands.Rng << 13;
  Hands.Rng ^= Hands.Rng >> 17;
  Hands.Rng ^= Hands.Rng << 5;
  return Hands.Rng;
}

bool HasSecond(const Pose& p) { return p.Chips[1] != endless::kEmptyChip; }

// The game's pixel to cell: truncated toward zero.
int32_t CellOf(int32_t pixel) { return pixel / kChipSize; }

bool FreeCell(const Well& w, int32_t x, int32_t y) {
  if (x < 0 || x >= kWellColumns || y >= kWellRows) return false;
  return y < 0 || w.Cell[x][y] == endless::kEmptyChip;
}

// Whether a chip whose top is at pixel row y may stand in column x.
bool ChipFits(const Well& w, int32_t x, int32_t y) {
  return FreeCell(w, x, CellOf(y)) && FreeCell(w, x, CellOf(y + kChipSize - 1));
}

bool PoseFits(const Well& w, const Pose& p, int32_t dy) {
  if (!ChipFits(w, p.Column, p.Y + dy)) return false;
  if (!HasSecond(p)) return true;
  return ChipFits(w, p.Column + tokoton::PairDx[p.Rot],
                  p.Y + dy + kChipSize * tokoton::PairDy[p.Rot]);
}

// A turn as the game makes it: only the second chip needs room.
bool Turn(const Well& w, Pose& p, int32_t dir) {
  Pose turned = p;
  turned.Rot = (p.Rot + dir + 4) % 4;
  tokoton::RotatePieceChips(dir, turned.Chips);
  if (HasSecond(p) && !ChipFits(w, p.Column + tokoton::PairDx[turned.Rot],
                                p.Y + kChipSize * tokoton::PairDy[turned.Rot]))
    return false;
  p = turned;
  return true;
}

// Falls until the fall would reach pixel row until; false when it lands
// first.
bool FallTo(const Well& w, Pose& p, int32_t until) {
  while (p.Y < until) {
    if (!PoseFits(w, p, 1)) return false;
    p.Y += kFallStep;
  }
  return true;
}

// Turns (three clockwise turns are one back) and then shifts to column,
// one press every kStepFrames while the piece falls at the level's pace;
// false when a move is blocked or the piece lands before the last one.
bool Approach(const Well& w, Pose& p, int32_t turns, int32_t column, int32_t wait) {
  const int32_t y0 = p.Y;
  int32_t t = 0;
  const int32_t turnDir = turns == 3 ? -1 : 1;
  int32_t turnsLeft = turns == 3 ? 1 : turns;
  while (turnsLeft > 0 || p.Column != column) {
    if (!FallTo(w, p, y0 + kFallStep * (t / (wait + 1)))) return false;
    if (turnsLeft > 0) {
      if (!Turn(w, p, turnDir)) return false;
      --turnsLeft;
    } else {
      const int32_t dx = column > p.Column ? 1 : -1;
      Pose moved = p;
      moved.Column += dx;
      if (!PoseFits(w, moved, 0)) return false;
      p = moved;
    }
    t += kStepFrames;
  }
  return true;
}

// Drops the piece to where it rests and fixes it; false when a chip is
// left above the well, which ends the game.
bool DropAndFix(Well& w, Pose p) {
  while (PoseFits(w, p, 1)) p.Y += kFallStep;
  const int32_t dy = HasSecond(p) ? tokoton::PairDy[p.Rot] : 0;
  if (p.Y < 0 || (HasSecond(p) && p.Y + kChipSize * dy < 0)) return false;
  const int32_t row = CellOf(p.Y);
  w.Cell[p.Column][row] = static_cast<int16_t>(p.Chips[0]);
  if (HasSecond(p))
    w.Cell[p.Column + tokoton::PairDx[p.Rot]][row + dy] = static_cast<int16_t>(p.Chips[1]);
  return true;
}

bool InWell(int32_t x, int32_t y) { return x >= 0 && x < kWellColumns && y >= 0 && y < kWellRows; }

constexpr int32_t kDx[4] = {0, 1, 0, -1};
constexpr int32_t kDy[4] = {-1, 0, 1, 0};

using Marks = bool[kWellColumns][kWellRows];

// The game's trace from a cell, marking the circuit or cap run it finds:
// crossings * 256 + cell passes, or 0.
int32_t Trace(const Well& w, Marks& passed, int32_t sx, int32_t sy, int32_t dir, bool dirGiven) {
  if (passed[sx][sy]) return 0;
  const int16_t chip = w.Cell[sx][sy];
  if (!dirGiven) dir = endless::ChipStartDir(chip);
  const int32_t startDir = dir;
  Marks saved;
  std::memcpy(saved, passed, sizeof saved);
  int32_t x = sx, y = sy, count = 0, crossings = 0;
  for (int32_t step = 0; step < kTraceLimit && dir >= 0; ++step) {
    const int32_t nx = x + kDx[dir], ny = y + kDy[dir];
    if (!InWell(nx, ny)) break;
    dir = endless::ChipExit(w.Cell[nx][ny], dir);
    if (dir < 0) break;
    x = nx;
    y = ny;
    ++count;
    if (passed[x][y] && w.Cell[x][y] == endless::kCross) ++crossings;
    passed[x][y] = true;
    if (x == sx && y == sy && (chip != endless::kCross || dir == startDir))
      return crossings * 256 + count;
  }
  if (chip >= endless::kCapUp) {
    passed[sx][sy] = true;
    return crossings * 256 + count;
  }
  std::memcpy(passed, saved, sizeof saved);
  if (!dirGiven && chip == endless::kCross) return Trace(w, passed, sx, sy, puzzle::DirRight, true);
  return 0;
}

// Removes the marked cells; what is above drops with its gaps.
bool Crash(Well& w, const Marks& passed) {
  bool changed = false;
  for (int32_t x = 0; x < kWellColumns; ++x) {
    int16_t column[kWellRows] = {};
    int32_t ny = kWellRows - 1;
    for (int32_t y = kWellRows - 1; y >= 0; --y)
      if (!passed[x][y]) column[ny--] = w.Cell[x][y];
    if (ny < 0) continue;
    std::memcpy(w.Cell[x], column, sizeof column);
    changed = true;
  }
  return changed;
}

// Every scoring pass after a piece is fixed, as the game makes them; the
// points they bring.
double ClearAll(Well& w) {
  double points = 0;
  int32_t chain = 0;
  for (;;) {
    Marks passed = {};
    int32_t found = 0;
    for (int32_t x = 0; x < kWellColumns; ++x)
      for (int32_t y = kWellRows - 1; y >= 0; --y) found += Trace(w, passed, x, y, -1, false);
    if (found > 0) {
      ++chain;
      const double c = found / 256 + 1.0;
      points += c * c * chain * chain * (found & 255) * 100.0;
    }
    if (!Crash(w, passed)) return points;
  }
}

bool Opens(int16_t chip, int32_t dir) {
  return chip > endless::kEmptyChip && chip < endless::kCapUp &&
         endless::ChipExit(chip, (dir + 2) % 4) >= 0;
}

// An empty cell with a chip somewhere above it in its column.
bool Covered(const Well& w, int32_t x, int32_t y) {
  for (int32_t above = y - 1; above >= 0; --above)
    if (w.Cell[x][above] != endless::kEmptyChip) return true;
  return false;
}

// One pipe end: joined, open to a cell a piece can still reach, or dead.
double EndValue(const Well& w, int32_t x, int32_t y, int32_t d) {
  const int32_t nx = x + kDx[d], ny = y + kDy[d];
  if (ny < 0) return -kOpenEnd;
  if (!InWell(nx, ny)) return -kDeadEnd;
  if (w.Cell[nx][ny] == endless::kEmptyChip) return Covered(w, nx, ny) ? -kDeadEnd : -kOpenEnd;
  return Opens(w.Cell[nx][ny], (d + 2) % 4) ? kJoinedEnd : -kDeadEnd;
}

// A cross goes with a circuit through either of its two pipes, so only the
// better of them counts.
double EndsValue(const Well& w, int32_t x, int32_t y) {
  const int16_t chip = w.Cell[x][y];
  if (chip == endless::kCross) {
    const double upright = EndValue(w, x, y, puzzle::DirUp) + EndValue(w, x, y, puzzle::DirDown);
    const double across = EndValue(w, x, y, puzzle::DirLeft) + EndValue(w, x, y, puzzle::DirRight);
    return std::max(upright, across);
  }
  double v = 0;
  for (int32_t d = 0; d < 4; ++d)
    if (Opens(chip, d)) v += EndValue(w, x, y, d);
  return v;
}

// The cell a piece dropped down column x would fill first, and how many
// pipe ends lead into it: two make a place one chip can join.
int32_t EndsIntoLanding(const Well& w, int32_t x) {
  int32_t top = 0;
  while (top < kWellRows && w.Cell[x][top] == endless::kEmptyChip) ++top;
  const int32_t y = top - 1;
  if (y < 0) return 0;
  int32_t ends = top < kWellRows && Opens(w.Cell[x][top], puzzle::DirUp) ? 1 : 0;
  if (x > 0 && Opens(w.Cell[x - 1][y], puzzle::DirRight)) ++ends;
  if (x + 1 < kWellColumns && Opens(w.Cell[x + 1][y], puzzle::DirLeft)) ++ends;
  return ends;
}

double WellValue(const Well& w) {
  double v = 0;
  int32_t highest = 0;
  for (int32_t x = 0; x < kWellColumns; ++x) {
    int32_t height = 0;
    for (int32_t y = 0; y < kWellRows; ++y) {
      if (w.Cell[x][y] == endless::kEmptyChip) {
        if (height > 0) v -= kHole;
        continue;
      }
      if (height == 0) height = kWellRows - y;
      v += EndsValue(w, x, y);
      v -= kHeight * (kWellRows - y);
    }
    highest = std::max(highest, height);
    if (EndsIntoLanding(w, x) >= 2) v += kSocket;
    if (x == kSpawnColumn && height >= kSpawnDanger) v += kLost / 1000;
  }
  const int32_t over = std::max(0, highest - kSafeHeight);
  return v - kHighStack * over * over;
}

int32_t FallWait() {
  return tokoton::DropWaitTable[std::clamp(tokoton::EndlessLevel, 1, tokoton::kMaxLevel)];
}

// Where the piece can end up with a number of turns and a column: the
// well after it is fixed and cleared, and the points; kLost when it
// cannot get there or ends the game.
double TryPlace(const Well& w, Pose p, int32_t turns, int32_t column, Well& after) {
  after = w;
  if (!Approach(w, p, turns, column, FallWait())) return kLost;
  if (!DropAndFix(after, p)) return kLost;
  return ClearAll(after) / 100.0;
}

// The best the piece under NEXT can do in a well, from where it appears.
double BestNext(const Well& w, const int32_t next[2]) {
  const Pose spawn = {{next[0], next[1]}, 0, kSpawnColumn, -kChipSize};
  double best = kLost;
  for (int32_t turns = 0; turns < 4; ++turns) {
    for (int32_t column = 0; column < kWellColumns; ++column) {
      Well after;
      const double gain = TryPlace(w, spawn, turns, column, after);
      if (gain > kLost) best = std::max(best, gain + WellValue(after));
    }
  }
  return best;
}

Aim Choose(const Well& w, const Pose& now) {
  Aim aim;
  double best = kLost;
  for (int32_t turns = 0; turns < 4; ++turns) {
    for (int32_t column = 0; column < kWellColumns; ++column) {
      Well after;
      const double gain = TryPlace(w, now, turns, column, after);
      if (gain <= kLost) continue;
      // Equal places are told apart by the seed.
      const double value = gain + BestNext(after, tokoton::EndlessNext) +
                           1e-6 * static_cast<double>(NextRandom() % 1000);
      if (value <= best) continue;
      best = value;
      Pose p = now;
      for (int32_t i = 0; i < turns; ++i) Turn(w, p, 1);
      aim = {true, column, p.Rot, {p.Chips[0], p.Chips[1]}};
    }
  }
  return aim;
}

void LookAtWell(Well& w) {
  for (int32_t x = 0; x < kWellColumns; ++x)
    for (int32_t y = 0; y < kWellRows; ++y) w.Cell[x][y] = tokoton::EndlessMap->GetChipNo(x, y);
}

Pose PieceNow() {
  const tokoton::FallingPiece& f = tokoton::Piece;
  return {{f.CurPiece[0], f.CurPiece[1]}, f.PieceRot, f.PieceX / kChipSize, f.PieceY};
}

// Clockwise turns from the piece as it is to the aim's chips (and, for two
// chips, its rotation); -1 when no number of turns gets there.
int32_t TurnsToAim(const Pose& now) {
  Pose p = now;
  for (int32_t turns = 0; turns < 4; ++turns) {
    const bool same = p.Chips[0] == Hands.Target.Chips[0] && p.Chips[1] == Hands.Target.Chips[1] &&
                      (!HasSecond(p) || p.Rot == Hands.Target.Rot);
    if (same) return turns;
    p.Rot = (p.Rot + 1) % 4;
    tokoton::RotatePieceChips(1, p.Chips);
  }
  return -1;
}

}  // namespace

void ResetEndlessPlay(uint32_t seed) {
  Hands = EndlessHands{};
  Hands.Rng = seed * 2654435761u + 1u;
  if (Hands.Rng == 0) Hands.Rng = 1;
}

uint32_t EndlessPlayWord(int64_t frame) {
  if (tokoton::EndlessMap == nullptr) return 0;
  if (tokoton::PieceCount != Hands.SeenPiece) {
    Hands.SeenPiece = tokoton::PieceCount;
    Hands.PieceSince = frame;
    Hands.Target.Valid = false;
  }
  // A resting piece is fixed as it lies; a new one is looked at first.
  if (frame - Hands.PieceSince < kThinkFrames || tokoton::Piece.LockTimer >= 0) return 0;
  Well w;
  LookAtWell(w);
  const Pose now = PieceNow();
  if (!Hands.Target.Valid) Hands.Target = Choose(w, now);
  if (!Hands.Target.Valid) return input::kDown;  // nowhere is safe: get it over with
  int32_t turns = TurnsToAim(now);
  if (turns == 0 && now.Column == Hands.Target.Column) return input::kDown;
  if (frame - Hands.LastAction < kStepFrames) return 0;
  // The way may have closed (a blocked shift, a faster fall): think again.
  Pose check = now;
  if (turns < 0 || !Approach(w, check, turns, Hands.Target.Column, FallWait())) {
    Hands.Target = Choose(w, now);
    if (!Hands.Target.Valid) return input::kDown;
    turns = TurnsToAim(now);
    if (turns == 0 && now.Column == Hands.Target.Column) return input::kDown;
  }
  Hands.LastAction = frame;
  if (turns == 3) return input::kKeyZ;
  if (turns > 0) return input::kKeyX;
  return Hands.Target.Column > now.Column ? input::kRight : input::kLeft;
}

}  // namespace bot
