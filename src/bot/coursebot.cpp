// SPDX-License-Identifier: Zlib
#include "bot/coursebot.h"

#include <algorithm>
#include <cstdlib>

#include "bot/plan.h"
#include "input/joystick.h"
#include "puzzle/players.h"
#include "puzzle/stage.h"
#include "puzzle/water.h"
#include "shell/gamestate.h"

namespace bot {

namespace {

using puzzle::kPlayColumns;
using puzzle::kPlayRows;

constexpr double kParkCost = 2.5;  // what parking a piece is worth avoiding
constexpr int32_t kFlexTries = 8;  // first cells tried with the piece in hand
// A player whose share is on the route still fills a cell the water
// reaches within this many frames: a leak loses the stage for both.
constexpr int32_t kUrgentFrames = 150;
// Frames a player waits for the other player's cursor to move out of the
// way before going round it; player 1 gives way first.
constexpr int32_t kPatience[2] = {3 * kStepFrames, kStepFrames};

// One bot's hands: when it last stepped, laid or did anything.
struct Hands {
  int64_t LastStep = -1000;
  int64_t LastLay = -1000;
  int64_t LastAction = -1000;
};

struct Target {
  int32_t X = -1, Y = -1;
  bool Valid = false;
  bool Lay = true;  // false: only go there, out of the other player's way
};

struct PlayerBot {
  Hands H;
  Target Aim;
  int32_t Blocked = 0;  // frames the other player's cursor has stood in the way
  uint64_t AimSignature = 0;
  uint8_t SeenQueue[puzzle::kQueueRing] = {};
};

// What both bots know about the frame, worked out once.
struct Sight {
  int64_t Frame = -1;
  uint64_t Signature = 0;
  uint64_t PlanSignature = 1;
  Grid G;
  Frontier F;
  Plan P;
  Needs N;
  int32_t ToFrontier = 0;  // water frames until it enters the frontier
  int32_t NoBreakBefore = 0;
  Expectation E;
};

PlayerBot Bots[2];
Sight View;
double Seen[kLaidKinds] = {};
uint32_t Seed = 1;
int32_t Margin = -1;

int32_t Players() { return game::PlayerCount == 2 ? 2 : 1; }

uint64_t Mix(uint64_t h, int64_t v) { return (h ^ static_cast<uint64_t>(v)) * 1099511628211ull; }

uint64_t BoardSignature(const Grid& g) {
  uint64_t h = 1469598103934665603ull;
  for (int32_t x = 0; x < kPlayColumns; ++x)
    for (int32_t y = 0; y < kPlayRows; ++y) {
      const puzzle::ChipInfo& c = g.Cell[x][y];
      h = Mix(h, c.ChipNo * 8 + (c.Fixed != 0 ? 4 : 0) + c.Owner);
    }
  h = Mix(h, puzzle::Water.HeadX * 100 + puzzle::Water.HeadY * 10 + puzzle::Water.OutDir);
  for (int32_t p = 0; p < Players(); ++p) {
    const puzzle::PlayerInfo& pl = puzzle::Players[p];
    h = Mix(h, pl.Passed * 1000 + pl.Queue[pl.QueueIndex] * 10 + pl.QueueIndex);
  }
  return h;
}

// The pieces a player has seen coming tell what to expect of the rest.
void WatchQueues() {
  for (int32_t p = 0; p < Players(); ++p)
    for (int32_t s = 0; s < puzzle::kQueueRing; ++s) {
      const uint8_t kind = puzzle::Players[p].Queue[s];
      if (kind == Bots[p].SeenQueue[s]) continue;
      Bots[p].SeenQueue[s] = kind;
      if (kind >= puzzle::CHIP_FIRST_PIECE && kind <= puzzle::CHIP_LAST_PIECE)
        Seen[kind - puzzle::CHIP_FIRST_PIECE] += 1;
    }
}

Expectation Expect() {
  Expectation e;
  for (int k = 0; k < kLaidKinds; ++k) e.Weight[k] = 0.5 + Seen[k];
  for (int32_t p = 0; p < Players(); ++p) {
    const puzzle::PlayerInfo& pl = puzzle::Players[p];
    for (int32_t i = 0; i < puzzle::kQueueRing && e.QueuedCount < 5; i += Players())
      e.Queued[e.QueuedCount++] = pl.Queue[(pl.QueueIndex + i) % puzzle::kQueueRing];
  }
  return e;
}

// Pipe each player still needs beyond what the water has run through and
// the special straights on its decided way.
Needs RouteNeeds(int32_t decided) {
  Needs n;
  n.Players = Players();
  for (int32_t p = 0; p < n.Players; ++p) {
    const puzzle::PlayerInfo& pl = puzzle::Players[p];
    n.Own[p] = std::max(0, pl.Required - pl.Passed - decided);
  }
  return n;
}

int32_t CellFrames(int32_t weight) {
  const int32_t rate = 2 * weight - puzzle::FlowSpeedAdjust;
  return rate > 0 ? (puzzle::kCellProgress + rate) / rate : 100000;
}

// Frames the water still spends in its head cell (and the delay).
int32_t HeadFrames() {
  const puzzle::WaterState& w = puzzle::Water;
  const int32_t weight = puzzle::Board[w.HeadX][w.HeadY].FlowWeight;
  if (w.Progress > puzzle::kCellProgress)
    return w.Progress - puzzle::kCellProgress + CellFrames(weight);
  const int32_t rate = 2 * weight - puzzle::FlowSpeedAdjust;
  if (rate <= 0) return 100000;
  return w.Progress < 0 ? 0 : w.Progress / rate + 1;  // below 0: the cell is done
}

// Planned cells the water reaches before a piece broken there now could be
// replaced: the route must not break them.
int32_t CellsTooNear() {
  const int32_t margin = puzzle::kReplaceWait + 30;
  int32_t frames = HeadFrames() + View.F.Counted * CellFrames(2);
  int32_t cells = 0;
  while (frames < margin && cells < kMaxPlan) {
    ++cells;
    frames += CellFrames(2);
  }
  return cells;
}

// Frames until the water enters the frontier cell, along the decided way.
int32_t FramesToFrontier(const Frontier& f) {
  const puzzle::WaterState& w = puzzle::Water;
  int32_t x = w.HeadX, y = w.HeadY, dir = w.OutDir;
  int32_t frames = HeadFrames();
  for (int guard = 0; guard < 4 * kMaxPlan; ++guard) {
    const bool on = puzzle::Step(x, y, dir);
    if (x == f.X && y == f.Y) return frames;
    if (!on) break;
    frames += CellFrames(puzzle::Board[x][y].FlowWeight);
  }
  return frames;
}

// Frames until the water enters plan cell i, the pieces still to lay taken
// as plain pipe.
int32_t FramesToCell(int32_t i) {
  int32_t frames = View.ToFrontier;
  for (int32_t j = 0; j < i && j < View.P.Length; ++j) {
    const PlanCell& c = View.P.Cells[j];
    frames += CellFrames(c.Act ? 2 : View.G.Cell[c.X][c.Y].FlowWeight);
  }
  return frames;
}

void Look(int64_t frame) {
  if (View.Frame == frame) return;
  View.Frame = frame;
  WatchQueues();
  SnapshotBoard(View.G);
  View.Signature = BoardSignature(View.G);
  if (View.Signature == View.PlanSignature) return;
  View.PlanSignature = View.Signature;
  View.F = FindFrontier(View.G);
  View.E = Expect();
  View.N = RouteNeeds(View.F.Counted);
  View.NoBreakBefore = CellsTooNear();
  View.ToFrontier = FramesToFrontier(View.F);
  View.P = MakePlan(View.G, View.F, View.N, View.NoBreakBefore, View.E, Seed);
}

int32_t Distance(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  return std::abs(x0 - x1) + std::abs(y0 - y1);
}

// The other player is about to lay there, or stands there with nothing to do.
bool TakenByOther(int32_t p, int32_t x, int32_t y) {
  if (Players() < 2) return false;
  const PlayerBot& o = Bots[1 - p];
  if (o.Aim.Valid) return o.Aim.Lay && o.Aim.X == x && o.Aim.Y == y;
  const puzzle::PlayerInfo& opl = puzzle::Players[1 - p];
  return opl.CursorX == x && opl.CursorY == y;
}

// New pieces player p must still lay on the planned route.
int32_t Deficit(int32_t p) { return View.N.Own[p] - View.P.Given[p]; }

// With two players each needs their own share through their own pieces: one
// whose share is on the route leaves the rest to the other, who would have
// to lay one more for every piece laid for him.
bool Yields(int32_t p) { return Players() == 2 && Deficit(p) <= 0 && Deficit(1 - p) > 0; }

// The cell of the plan the piece fits, nearest the water first.
Target FitInPlan(int32_t p, int32_t kind) {
  const puzzle::PlayerInfo& pl = puzzle::Players[p];
  Target best;
  int32_t bestScore = 1 << 30;
  const bool yield = Yields(p);
  for (int32_t i = 0; i < View.P.Length; ++i) {
    const PlanCell& c = View.P.Cells[i];
    if (!c.Act) continue;
    if (yield && FramesToCell(i) > kUrgentFrames) break;
    if (TakenByOther(p, c.X, c.Y) || !KindFits(kind, c.In, c.Out)) continue;
    const int32_t score = 3 * i + Distance(pl.CursorX, pl.CursorY, c.X, c.Y);
    if (score < bestScore) {
      bestScore = score;
      best = {c.X, c.Y, true};
    }
  }
  return best;
}

// The piece fits none of the planned cells: lay it on one of the first
// cells anyway if a route through it is about as good.
Target FitByReplanning(int32_t p, int32_t kind) {
  int32_t tries = 0;
  for (int32_t i = 0; i < View.P.Length && tries < kFlexTries; ++i) {
    const PlanCell& c = View.P.Cells[i];
    if (!c.Act || c.Replace) continue;
    ++tries;
    if (TakenByOther(p, c.X, c.Y) || puzzle::ChipTable[kind].Exit[c.In] < 0) continue;
    static Grid tried;
    tried = View.G;
    tried.Cell[c.X][c.Y] = puzzle::ChipTable[kind];
    tried.Cell[c.X][c.Y].Owner = p;
    const Plan other = MakePlan(tried, View.F, View.N, View.NoBreakBefore, View.E, Seed);
    if (other.Reaches && (!View.P.Reaches || other.Cost <= View.P.Cost + kParkCost))
      return {c.X, c.Y, true};
  }
  return {};
}

bool NextToPlan(int32_t x, int32_t y) {
  for (int32_t i = 0; i < View.P.Length; ++i)
    if (Distance(x, y, View.P.Cells[i].X, View.P.Cells[i].Y) <= 1) return true;
  return Distance(x, y, View.F.X, View.F.Y) <= 1;
}

bool OnPlan(int32_t x, int32_t y) {
  for (int32_t i = 0; i < View.P.Length; ++i)
    if (View.P.Cells[i].X == x && View.P.Cells[i].Y == y) return true;
  return false;
}

// How much a parked piece on (x, y) is in the way: beside the planned
// route, or near the water's way in and out.
int32_t InTheWay(int32_t x, int32_t y) {
  const puzzle::SpecialInfo& drain = puzzle::SpecialPos[puzzle::kSpecialDrain];
  int32_t cost = NextToPlan(x, y) ? 6 : 0;
  cost += std::max(0, 3 - Distance(x, y, drain.X, drain.Y)) * 2;
  cost += std::max(0, 3 - Distance(x, y, View.F.X, View.F.Y)) * 2;
  return cost;
}

// Somewhere out of the way for a piece that fits nowhere: an empty cell,
// else (the board is full) a parked piece to break, off the route.
Target Park(int32_t p) {
  const puzzle::PlayerInfo& pl = puzzle::Players[p];
  Target best;
  int32_t bestScore = 1 << 30;
  for (int32_t x = 0; x < kPlayColumns; ++x)
    for (int32_t y = 0; y < kPlayRows; ++y) {
      const puzzle::ChipInfo& c = View.G.Cell[x][y];
      if (c.Fixed != 0 || View.F.Used[x][y] || OnPlan(x, y) || TakenByOther(p, x, y)) continue;
      if (c.OnPath != 0) continue;  // on the route the water follows now
      const int32_t broken = c.ChipNo == puzzle::CHIP_EMPTY ? 0 : 40;
      const int32_t score = Distance(pl.CursorX, pl.CursorY, x, y) + InTheWay(x, y) + broken;
      if (score < bestScore) {
        bestScore = score;
        best = {x, y, true};
      }
    }
  return best;
}

// The board has no free cell off the route (a tight box): the piece goes
// on the route's far end, as late for the water as can be, where there is
// time to break it and lay the right piece once it comes.
Target ParkOnRoute(int32_t p) {
  for (int32_t i = View.P.Length - 1; i >= View.NoBreakBefore && i >= 0; --i) {
    const PlanCell& c = View.P.Cells[i];
    if (!c.Act || TakenByOther(p, c.X, c.Y)) continue;
    if (View.G.Cell[c.X][c.Y].ChipNo != puzzle::CHIP_EMPTY && !c.Replace) continue;
    return {c.X, c.Y, true};
  }
  return {};
}

// Nothing to lay: the nearest cell off the route and out of the other
// player's way, so that he can reach every cell he needs.
Target StandAside(int32_t p) {
  const puzzle::PlayerInfo& pl = puzzle::Players[p];
  const puzzle::PlayerInfo& o = puzzle::Players[1 - p];
  const Target& oa = Bots[1 - p].Aim;
  Target best;
  int32_t bestScore = 1 << 30;
  for (int32_t x = 0; x < kPlayColumns; ++x)
    for (int32_t y = 0; y < kPlayRows; ++y) {
      if (OnPlan(x, y) || (x == o.CursorX && y == o.CursorY)) continue;
      if (oa.Valid && x == oa.X && y == oa.Y) continue;
      const int32_t score = Distance(pl.CursorX, pl.CursorY, x, y);
      if (score < bestScore) {
        bestScore = score;
        best = {x, y, true, false};
      }
    }
  return best;
}

Target ChooseTarget(int32_t p) {
  const puzzle::PlayerInfo& pl = puzzle::Players[p];
  const int32_t kind = pl.Queue[pl.QueueIndex];
  if (!View.F.Open) return {};
  const bool yield = Yields(p);
  Target t = FitInPlan(p, kind);
  if (!t.Valid && !yield) t = FitByReplanning(p, kind);
  if (!t.Valid && yield) return StandAside(p);
  if (!t.Valid) t = Park(p);
  if (!t.Valid) t = ParkOnRoute(p);
  return t;
}

bool RouteDone() {
  if (!puzzle::AllRequired()) return false;
  return WaterFramesToDrain() >= 0;
}

bool OnOtherCursor(int32_t p, int32_t x, int32_t y) {
  const puzzle::PlayerInfo& o = puzzle::Players[1 - p];
  return Players() == 2 && o.CursorX == x && o.CursorY == y;
}

// The step that moves the cursor by (dx, dy), if it stays on the board and
// off the other player's cursor.
uint32_t Move(int32_t p, int32_t dx, int32_t dy) {
  const puzzle::PlayerInfo& pl = puzzle::Players[p];
  const int32_t x = pl.CursorX + dx, y = pl.CursorY + dy;
  if (x < 0 || x >= kPlayColumns || y < 0 || y >= kPlayRows || OnOtherCursor(p, x, y)) return 0;
  if (dx != 0) return dx > 0 ? input::kRight : input::kLeft;
  return dy > 0 ? input::kDown : input::kUp;
}

int32_t Sign(int32_t v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

// One step towards the target, the longer way first. When the other
// player's cursor stands in the one way there, a few tries later the step
// goes round it.
uint32_t StepTowards(int32_t p, const Target& t) {
  PlayerBot& b = Bots[p];
  const puzzle::PlayerInfo& pl = puzzle::Players[p];
  const int32_t dx = t.X - pl.CursorX, dy = t.Y - pl.CursorY;
  const bool horizontalFirst = std::abs(dx) >= std::abs(dy);
  const uint32_t first = horizontalFirst ? Move(p, Sign(dx), 0) : Move(p, 0, Sign(dy));
  const uint32_t second = horizontalFirst ? Move(p, 0, Sign(dy)) : Move(p, Sign(dx), 0);
  const bool firstNeeded = horizontalFirst ? dx != 0 : dy != 0;
  const bool secondNeeded = horizontalFirst ? dy != 0 : dx != 0;
  if (firstNeeded && first != 0) return first;
  if (secondNeeded && second != 0) return second;
  if (++b.Blocked < kPatience[p]) return 0;
  // Blocked on a straight line: one step to the side, player 0 up or left
  // and player 1 down or right first, so that they do not dodge alike.
  const int32_t side = p == 0 ? -1 : 1;
  const uint32_t round = dx != 0 ? (Move(p, 0, side) != 0 ? Move(p, 0, side) : Move(p, 0, -side))
                                 : (Move(p, side, 0) != 0 ? Move(p, side, 0) : Move(p, -side, 0));
  return round;
}

uint32_t Act(int32_t p, int64_t frame, const Target& t) {
  PlayerBot& b = Bots[p];
  const puzzle::PlayerInfo& pl = puzzle::Players[p];
  if (!t.Valid || frame - b.H.LastAction < 1) return 0;
  if (pl.CursorX == t.X && pl.CursorY == t.Y) {
    if (!t.Lay) return 0;
    if (pl.Wait != 0 || pl.PendingChip != 0 || frame - b.H.LastLay < kLayFrames) return 0;
    b.H.LastLay = frame;
    b.H.LastAction = frame;
    b.Aim = {};
    return input::kKeyZ;
  }
  if (frame - b.H.LastStep < kStepFrames) return 0;
  const uint32_t step = StepTowards(p, t);
  if (step == 0) return 0;
  b.Blocked = 0;
  b.H.LastStep = frame;
  b.H.LastAction = frame;
  return step;
}

}  // namespace

void ResetStagePlay(uint32_t seed) {
  Seed = seed * 2654435761u + 12345u;
  for (PlayerBot& b : Bots) b = PlayerBot{};
  View = Sight{};
  for (double& s : Seen) s = 0;
  Margin = -1;
}

int32_t ClosedMargin() { return Margin; }

int32_t WaterFramesToDrain() {
  const puzzle::WaterState& w = puzzle::Water;
  int32_t x = w.HeadX, y = w.HeadY, dir = w.OutDir;
  if (x < 0 || x >= kPlayColumns || y < 0 || y >= kPlayRows) return -1;
  int32_t frames = HeadFrames();
  for (int guard = 0; guard < 4 * kMaxPlan; ++guard) {
    if (dir == puzzle::DirGoal) return frames;
    if (!puzzle::Step(x, y, dir)) return -1;
    frames += CellFrames(puzzle::Board[x][y].FlowWeight);
  }
  return -1;
}

uint32_t StagePlayWord(int32_t p, int64_t frame) {
  if (p < 0 || p > 1) return 0;
  Look(frame);
  if (RouteDone()) {
    if (Margin < 0) Margin = WaterFramesToDrain();
    return input::kKeyX;
  }
  PlayerBot& b = Bots[p];
  if (!b.Aim.Valid || b.AimSignature != View.Signature) {
    b.Aim = ChooseTarget(p);
    b.AimSignature = View.Signature;
  }
  return Act(p, frame, b.Aim);
}

}  // namespace bot
