// SPDX-License-Identifier: Zlib
#include "bot/plan.h"

#include <algorithm>
#include <cstdlib>

#include "puzzle/players.h"
#include "puzzle/water.h"

namespace bot {

namespace {

using puzzle::ChipInfo;
using puzzle::kPlayColumns;
using puzzle::kPlayRows;

constexpr int kSearchBudget = 1200;  // cells tried per pass
// Two players' shares make a route through pieces already laid count for
// one of them only, and a route that gives each his own share lies further
// from the first ones tried.
constexpr int kTwoPlayerBudget = 6000;
// Each pass allows the route more cells beyond the requirement: a short
// route is found first, a long way round only when there is none.
constexpr int32_t kSlack[] = {1, 4, 10, 40};
constexpr int16_t kFar = 1000;
constexpr double kReplaceCost = 3.0;  // a break costs points and 38 frames
constexpr double kExtraCell = 1.5;    // a cell beyond the requirement
constexpr double kKeptCell = 0.6;     // a piece already in place still costs water time
constexpr double kSteer = 0.6;        // weight of the distance heuristic

bool Inside(int32_t x, int32_t y) { return x >= 0 && x < kPlayColumns && y >= 0 && y < kPlayRows; }

// The warp exit the entrance leads to, or nullptr.
const puzzle::SpecialInfo* WarpExit() {
  const int32_t link = puzzle::SpecialPos[puzzle::kSpecialWarpIn].Link;
  if (link < 0 || link > 3 || puzzle::SpecialPos[link].X < 0) return nullptr;
  return &puzzle::SpecialPos[link];
}

// The cell next to a special piece on the side `dir`, if there is one.
bool Beside(const puzzle::SpecialInfo& s, int32_t dir, int32_t& x, int32_t& y) {
  if (s.X < 0 || s.Dir < 0 || s.Dir > 3) return false;
  x = s.X;
  y = s.Y;
  return puzzle::MoveOneCell(x, y, dir);
}

bool Passable(const ChipInfo& c) {
  if (c.System != 0 || c.ChipNo == puzzle::CHIP_BLOCK) return false;
  return c.Fixed == 0 || puzzle::IsSpecialStraight(c.ChipNo);
}

struct Search {
  const Grid* G = nullptr;
  const Expectation* E = nullptr;
  Needs Wanted;
  int32_t Need = 0;  // all players' needs together
  int32_t NoBreakBefore = 0;
  int32_t Slack = 0;
  uint32_t Salt = 0;
  bool Used[kPlayColumns][kPlayRows] = {};
  int16_t Dist[kPlayColumns][kPlayRows] = {};
  double EmptyCost[4][4] = {};
  PlanCell Path[kMaxPlan + 4] = {};
  int8_t Credit[kMaxPlan + 4] = {};  // whom each route cell counts for
  int32_t Length = 0;
  int32_t Counted = 0;    // what the route gives towards Need
  int32_t Given[2] = {};  // of each need, met by laid pieces and special straights
  double Cost = 0;
  int32_t Nodes = 0;
  int32_t Budget = kSearchBudget;
  Plan Best;
  bool Found = false;
  Plan Longest;  // the partial route that got nearest the drain
  int32_t LongestDist = kFar;
};

// Breadth-first distances to the cell from which water enters the drain,
// through cells a route may use; the warp is one more way in.
void SpreadFrom(Search& s, int32_t x0, int32_t y0, int16_t d0) {
  if (!Inside(x0, y0) || s.Used[x0][y0] || !Passable(s.G->Cell[x0][y0])) return;
  if (s.Dist[x0][y0] <= d0) return;
  int32_t queue[kMaxPlan][2];
  int head = 0, tail = 0;
  s.Dist[x0][y0] = d0;
  queue[tail][0] = x0;
  queue[tail++][1] = y0;
  while (head < tail) {
    const int32_t x = queue[head][0], y = queue[head][1];
    ++head;
    for (int32_t dir = 0; dir < 4; ++dir) {
      int32_t nx = x, ny = y;
      if (!puzzle::MoveOneCell(nx, ny, dir) || s.Used[nx][ny]) continue;
      if (!Passable(s.G->Cell[nx][ny]) || s.Dist[nx][ny] <= s.Dist[x][y] + 1) continue;
      s.Dist[nx][ny] = static_cast<int16_t>(s.Dist[x][y] + 1);
      queue[tail][0] = nx;
      queue[tail++][1] = ny;
    }
  }
}

void MeasureDistances(Search& s) {
  for (auto& column : s.Dist)
    for (int16_t& d : column) d = kFar;
  const puzzle::SpecialInfo& drain = puzzle::SpecialPos[puzzle::kSpecialDrain];
  int32_t x, y;
  if (Beside(drain, drain.Dir, x, y)) SpreadFrom(s, x, y, 0);
  const puzzle::SpecialInfo* out = WarpExit();
  const puzzle::SpecialInfo& in = puzzle::SpecialPos[puzzle::kSpecialWarpIn];
  int32_t ox, oy, ix, iy;
  if (out != nullptr && Beside(*out, out->Dir, ox, oy) && Beside(in, in.Dir, ix, iy) &&
      s.Dist[ox][oy] < kFar)
    SpreadFrom(s, ix, iy, static_cast<int16_t>(s.Dist[ox][oy] + 2));
}

void PriceEmptyCells(Search& s) {
  double total = 0;
  for (double w : s.E->Weight) total += w;
  if (total <= 0) total = 1;
  for (int32_t in = 0; in < 4; ++in)
    for (int32_t out = 0; out < 4; ++out) {
      double chance = 0;
      for (int k = 0; k < kLaidKinds; ++k)
        if (KindFits(puzzle::CHIP_FIRST_PIECE + k, in, out)) chance += s.E->Weight[k] / total;
      double cost = chance > 0 ? 1.0 + 0.25 / chance : 12.0;
      for (int32_t q = 0; q < s.E->QueuedCount; ++q)
        if (KindFits(s.E->Queued[q], in, out)) cost = std::min(cost, 1.0);
      s.EmptyCost[in][out] = std::min(cost, 12.0);
    }
}

void Remember(Plan& plan, const Search& s, bool reaches, double cost) {
  std::copy(s.Path, s.Path + s.Length, plan.Cells);
  plan.Length = s.Length;
  plan.Counted = s.Counted;
  plan.Given[0] = s.Given[0];
  plan.Given[1] = s.Given[1];
  plan.Cost = cost;
  plan.Reaches = reaches;
}

void Visit(Search& s, int32_t x, int32_t y, int32_t in);

constexpr int8_t kForNobody = 0;
constexpr int8_t kForNewPiece = 1;
constexpr int8_t kForEveryone = 2;
constexpr int8_t kForOwner = 3;  // + the owner

// Whom a route cell counts for: a piece still to lay for whoever lays it,
// a special straight for everyone, a piece already there for its owner.
int8_t CreditOf(const ChipInfo& c, bool act) {
  if (c.System != 0) return kForNobody;
  if (act) return kForNewPiece;
  if (puzzle::IsSpecialStraight(c.ChipNo)) return kForEveryone;
  if (c.Owner < 0 || c.Owner > 1) return kForNobody;
  return static_cast<int8_t>(kForOwner + c.Owner);
}

// What the cell adds to Counted: a player's pieces beyond their need help
// nobody else.
int32_t Credit(Search& s, int8_t credit, int32_t sign) {
  if (credit == kForNobody) return 0;
  if (credit == kForNewPiece) return 1;
  int32_t gained = 0;
  for (int32_t p = 0; p < s.Wanted.Players; ++p) {
    if (credit != kForEveryone && credit != kForOwner + p) continue;
    if (sign < 0) s.Given[p]--;
    if (s.Given[p] < s.Wanted.Own[p]) ++gained;
    if (sign > 0) s.Given[p]++;
  }
  return gained;
}

void Push(Search& s, int32_t x, int32_t y, int32_t in, int32_t out, bool act, bool replace,
          double cost) {
  const int8_t credit = CreditOf(s.G->Cell[x][y], act);
  s.Credit[s.Length] = credit;
  s.Path[s.Length++] = {static_cast<int8_t>(x),
                        static_cast<int8_t>(y),
                        static_cast<int8_t>(in),
                        static_cast<int8_t>(out),
                        act,
                        replace};
  s.Used[x][y] = true;
  s.Counted += Credit(s, credit, 1);
  s.Cost += cost;
  const int32_t d = s.G->Cell[x][y].System != 0 ? 0 : s.Dist[x][y];
  if (d < s.LongestDist || (d == s.LongestDist && s.Counted > s.Longest.Counted)) {
    s.LongestDist = d;
    Remember(s.Longest, s, false, s.Cost);
  }
}

void Pop(Search& s, double cost) {
  const PlanCell& c = s.Path[--s.Length];
  s.Used[c.X][c.Y] = false;
  s.Counted -= Credit(s, s.Credit[s.Length], -1);
  s.Cost -= cost;
}

// Water leaves (x, y) in direction out.
void Next(Search& s, int32_t x, int32_t y, int32_t out) {
  if (!puzzle::MoveOneCell(x, y, out)) return;
  const ChipInfo& c = s.G->Cell[x][y];
  if (c.System == 0 && s.Dist[x][y] >= kFar) return;
  Visit(s, x, y, out);
}

void Finish(Search& s) {
  if (s.Counted < s.Need) return;
  const double cost = s.Cost + kExtraCell * (s.Counted - s.Need);
  if (s.Found && cost >= s.Best.Cost) return;
  s.Found = true;
  Remember(s.Best, s, true, cost);
}

// Through a piece nobody can change: its own exit decides.
void VisitFixed(Search& s, int32_t x, int32_t y, int32_t in, const ChipInfo& c) {
  const int32_t e = c.Exit[in];
  if (e == puzzle::DirGoal) {
    Finish(s);
    return;
  }
  if (e == puzzle::DirWarp) {
    const puzzle::SpecialInfo* out = WarpExit();
    if (out == nullptr || s.Used[out->X][out->Y]) return;
    Push(s, x, y, in, e, false, false, 0);
    Push(s, out->X, out->Y, puzzle::DirWarp, out->Dir, false, false, 0);
    Next(s, out->X, out->Y, out->Dir);
    Pop(s, 0);
    Pop(s, 0);
    return;
  }
  if (e < 0) return;
  Push(s, x, y, in, e, false, false, 0);
  Next(s, x, y, e);
  Pop(s, 0);
}

struct Choice {
  int32_t Out;
  double Cost;
  double Key;
  bool Act;
  bool Replace;
};

// The three ways water can leave a buildable cell, cheapest and best
// steered first: the remaining requirement should about match the distance
// still to go.
int32_t Choices(const Search& s, int32_t x, int32_t y, int32_t in, Choice out[3]) {
  const ChipInfo& c = s.G->Cell[x][y];
  const int32_t dirs[3] = {in, (in + 1) % 4, (in + 3) % 4};
  int32_t n = 0;
  for (int32_t dir : dirs) {
    int32_t nx = x, ny = y;
    if (!puzzle::MoveOneCell(nx, ny, dir)) continue;
    Choice ch{dir, 0, 0, true, false};
    if (c.ChipNo == puzzle::CHIP_EMPTY) {
      ch.Cost = s.EmptyCost[in][dir];
    } else if (c.Exit[in] == dir) {
      ch.Cost = kKeptCell;
      ch.Act = false;
    } else if (s.Length < s.NoBreakBefore) {
      continue;  // the water would be there before the new piece
    } else {
      ch.Cost = s.EmptyCost[in][dir] + kReplaceCost;
      ch.Replace = true;
    }
    const int32_t left = s.Need - s.Counted - 1;
    const double d = s.G->Cell[nx][ny].System != 0 ? 0 : s.Dist[nx][ny];
    ch.Key = ch.Cost + kSteer * (left > 0 ? std::abs(left - d) : d);
    ch.Key += 0.01 * ((s.Salt >> ((x + 3 * y + dir) % 24)) & 7);
    out[n++] = ch;
  }
  for (int32_t i = 1; i < n; ++i)  // three at most: a plain insertion sort
    for (int32_t j = i; j > 0 && out[j].Key < out[j - 1].Key; --j) std::swap(out[j], out[j - 1]);
  return n;
}

void Visit(Search& s, int32_t x, int32_t y, int32_t in) {
  if (++s.Nodes > s.Budget || s.Used[x][y] || s.Length >= kMaxPlan) return;
  if (s.Found && s.Cost >= s.Best.Cost) return;
  const ChipInfo& c = s.G->Cell[x][y];
  if (c.System == 0) {
    // Every route from here runs through at least this many counted cells.
    const int32_t least = s.Counted + s.Dist[x][y] + 1;
    if (least > s.Need + s.Slack) return;
    if (s.Found && s.Cost + kExtraCell * std::max(0, least - s.Need) >= s.Best.Cost) return;
  }
  if (c.Fixed != 0) {
    VisitFixed(s, x, y, in, c);
    return;
  }
  Choice choices[3];
  const int32_t n = Choices(s, x, y, in, choices);
  for (int32_t i = 0; i < n; ++i) {
    Push(s, x, y, in, choices[i].Out, choices[i].Act, choices[i].Replace, choices[i].Cost);
    Next(s, x, y, choices[i].Out);
    Pop(s, choices[i].Cost);
  }
}

}  // namespace

void SnapshotBoard(Grid& g) {
  for (int32_t x = 0; x < kPlayColumns; ++x)
    for (int32_t y = 0; y < kPlayRows; ++y) g.Cell[x][y] = puzzle::Board[x][y];
  for (int32_t p = 0; p < puzzle::kPlayerSlots; ++p) {
    const puzzle::PlayerInfo& pl = puzzle::Players[p];
    if (pl.PendingChip == 0 || !Inside(pl.PendingX, pl.PendingY)) continue;
    if (pl.PendingChip < puzzle::CHIP_FIRST_PIECE || pl.PendingChip > puzzle::CHIP_LAST_PIECE)
      continue;
    ChipInfo& c = g.Cell[pl.PendingX][pl.PendingY];
    if (c.Fixed != 0) continue;
    c = puzzle::ChipTable[pl.PendingChip];
    c.Owner = p;
  }
}

bool KindFits(int32_t kind, int32_t in, int32_t out) {
  if (kind < 0 || kind >= puzzle::kChipKinds || in < 0 || in > 3) return false;
  return puzzle::ChipTable[kind].Exit[in] == out;
}

Frontier FindFrontier(const Grid& g) {
  Frontier f;
  int32_t x = puzzle::Water.HeadX, y = puzzle::Water.HeadY, dir = puzzle::Water.OutDir;
  if (!Inside(x, y)) return f;
  f.Used[x][y] = true;
  for (int guard = 0; guard < 4 * kMaxPlan; ++guard) {
    if (dir == puzzle::DirGoal) {
      f.Complete = true;
      return f;
    }
    if (dir == puzzle::DirWarp) {
      const puzzle::SpecialInfo* out = WarpExit();
      if (out == nullptr) return f;
      x = out->X;
      y = out->Y;
      dir = out->Dir;
      f.Used[x][y] = true;
      continue;
    }
    if (dir < 0 || dir > 3) return f;
    int32_t nx = x, ny = y;
    if (!puzzle::MoveOneCell(nx, ny, dir)) return f;
    const ChipInfo& c = g.Cell[nx][ny];
    if (c.Fixed == 0) {
      f.X = nx;
      f.Y = ny;
      f.Dir = dir;
      f.Open = true;
      return f;
    }
    if (f.Used[nx][ny]) return f;
    f.Used[nx][ny] = true;
    if (puzzle::IsSpecialStraight(c.ChipNo)) f.Counted++;
    x = nx;
    y = ny;
    dir = c.Exit[dir];
  }
  return f;
}

Plan MakePlan(const Grid& g, const Frontier& f, const Needs& need, int32_t noBreakBefore,
              const Expectation& e, uint32_t salt) {
  Plan none;
  if (!f.Open) return none;
  static Search s;  // large; one search at a time
  s = Search{};
  s.G = &g;
  s.E = &e;
  s.Wanted = need;
  s.Wanted.Players = std::clamp(need.Players, 1, 2);
  s.Need = 0;
  for (int32_t p = 0; p < s.Wanted.Players; ++p) s.Need += std::max(0, s.Wanted.Own[p]);
  s.Budget = s.Wanted.Players == 2 ? kTwoPlayerBudget : kSearchBudget;
  s.NoBreakBefore = noBreakBefore;
  s.Salt = salt;
  for (int32_t x = 0; x < kPlayColumns; ++x)
    for (int32_t y = 0; y < kPlayRows; ++y) s.Used[x][y] = f.Used[x][y];
  MeasureDistances(s);
  PriceEmptyCells(s);
  for (int32_t slack : kSlack) {
    s.Slack = slack;
    s.Nodes = 0;
    Visit(s, f.X, f.Y, f.Dir);
    if (s.Found) return s.Best;
  }
  return s.Longest;
}

}  // namespace bot
