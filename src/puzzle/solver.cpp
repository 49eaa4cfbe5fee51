// SPDX-License-Identifier: Zlib
// The search follows the water with the game's own Step over the real
// board: every cell that can be built on gets, in turn, each way the water
// could leave it. A cell remembers the set of kinds that would give its
// pass; a small matching keeps the kinds within the supply, so equal
// choices (a straight, a cross or a one-way straight for a straight pass)
// never multiply the search.
#include "puzzle/solver.h"

#include <algorithm>
#include <bitset>
#include <cstring>
#include <utility>

#include "puzzle/board.h"

namespace puzzle {

namespace {

constexpr int kCells = 80;
constexpr int kInf = 1 << 20;
constexpr uint64_t kCrossBit = uint64_t{1} << CHIP_CROSS;

struct Change {
  int16_t Cell;
  int16_t OldKind;
};

struct SearchState {
  const StageInfo* Stage;
  int32_t Required;
  int32_t Cap[kChipKinds];    // pieces of each kind in the supply
  int32_t Used[kChipKinds];   // of those, laid on the route
  uint8_t Orig[kCells];       // the stage's kind on each cell
  int8_t Visits[kCells];      // passes of the water through the cell
  int8_t FirstAxis[kCells];   // 0 vertical, 1 horizontal
  uint64_t PassMask[kCells];  // kinds that give the cell's passes
  int16_t Assigned[kCells];   // kind laid there; 0 when kept or fixed
  Change Log[4 * kCells * kCells];
  int32_t LogSize;
  int32_t Dist[kCells][4];  // fewest further cells to the drain (relaxed)
  int32_t Cells, Counted, Frames;
  int32_t FrameOf[5];  // frames per cell by flow weight
  int64_t Nodes, Limit;
  int32_t Bound;  // longest route allowed; 0 for none
  bool Wander;    // try far cells first (long routes) or near ones
  bool StopAtFirst, Stop, Aborted;
  bool AnyFound;
  RouteInfo Shortest, Longest;
};

SearchState S;
uint64_t KindsFor[4][4];  // [in][out]: kinds 17..35 with that pass

int CellOf(int32_t x, int32_t y) { return x + 10 * y; }

bool Buildable(int chip) { return chip == CHIP_EMPTY || IsLaidPiece(chip); }

void InitKindMasks() {
  std::memset(KindsFor, 0, sizeof KindsFor);
  for (int k = CHIP_FIRST_PIECE; k <= CHIP_LAST_PIECE; k++) {
    for (int in = 0; in < 4; in++) {
      const int32_t out = ChipTable[k].Exit[in];
      if (out >= 0) KindsFor[in][out] |= uint64_t{1} << k;
    }
  }
}

// ---------------------------------------------------------------- matching

void SetKind(int cell, int kind) {
  S.Log[S.LogSize++] = Change{static_cast<int16_t>(cell), S.Assigned[cell]};
  if (S.Assigned[cell] > 0) S.Used[S.Assigned[cell]]--;
  S.Assigned[cell] = static_cast<int16_t>(kind);
  if (kind > 0) S.Used[kind]++;
}

void UndoTo(int32_t mark) {
  while (S.LogSize > mark) {
    const Change c = S.Log[--S.LogSize];
    if (S.Assigned[c.Cell] > 0) S.Used[S.Assigned[c.Cell]]--;
    S.Assigned[c.Cell] = c.OldKind;
    if (c.OldKind > 0) S.Used[c.OldKind]++;
  }
}

// Gives the cell a kind from its mask, moving other cells to other kinds
// of their own masks where the supply runs short.
bool Augment(int cell, uint64_t& seen) {
  const uint64_t mask = S.PassMask[cell];
  for (int k = CHIP_FIRST_PIECE; k <= CHIP_LAST_PIECE; k++) {
    const uint64_t bit = uint64_t{1} << k;
    if ((mask & bit) == 0 || (seen & bit) != 0) continue;
    seen |= bit;
    if (S.Used[k] < S.Cap[k]) {
      SetKind(cell, k);
      return true;
    }
    for (int other = 0; other < kCells; other++) {
      if (S.Assigned[other] == k && Augment(other, seen)) {
        SetKind(cell, k);
        return true;
      }
    }
  }
  return false;
}

bool AssignFromMask(int cell) {
  uint64_t seen = 0;
  if (S.Assigned[cell] > 0) SetKind(cell, 0);
  return Augment(cell, seen);
}

// ---------------------------------------------------------------- bounds

bool NextCell(int32_t& x, int32_t& y, int32_t dir) { return MoveOneCell(x, y, dir); }

int32_t DistAfter(int32_t x, int32_t y, int32_t dir) {
  if (!NextCell(x, y, dir)) return kInf;
  return S.Dist[CellOf(x, y)][dir];
}

int32_t RelaxState(int32_t x, int32_t y, int32_t d) {
  const int chip = S.Orig[CellOf(x, y)];
  const int32_t exit = ChipTable[chip].Exit[d];
  if (chip >= CHIP_DRAIN && chip < CHIP_DRAIN + 4) return exit == DirGoal ? 0 : kInf;
  if (chip >= CHIP_WARP_IN && chip < CHIP_WARP_IN + 4) {
    if (exit != DirWarp) return kInf;
    const SpecialInfo& w = SpecialPos[kSpecialWarpOut];
    const int32_t after = DistAfter(w.X, w.Y, w.Dir);
    return after >= kInf ? kInf : 2 + after;
  }
  int32_t best = kInf;
  for (int e = 0; e < 4; e++) {
    const bool open = Buildable(chip) ? e != Opposite(d) : exit == e;
    if (!open) continue;
    const int32_t after = DistAfter(x, y, e);
    if (after + 1 < best) best = after + 1;
  }
  return best;
}

// Distances on the board as if any piece could go on any free cell.
void ComputeDistances() {
  for (auto& row : S.Dist)
    for (int32_t& d : row) d = kInf;
  for (bool changed = true; changed;) {
    changed = false;
    for (int c = 0; c < kCells; c++) {
      for (int d = 0; d < 4; d++) {
        const int32_t v = RelaxState(c % 10, c / 10, d);
        if (v < S.Dist[c][d]) S.Dist[c][d] = v, changed = true;
      }
    }
  }
}

bool CrossableOnce(int c) {
  return S.Visits[c] == 1 &&
         ((S.PassMask[c] & kCrossBit) != 0 || (S.Assigned[c] == 0 && S.Orig[c] == CHIP_CROSS));
}

struct Flood {
  uint8_t Seen[kCells];  // entry directions seen, one bit each
  int32_t Queue[kCells * 4 + 4];
  int32_t Head, Tail;
  bool Drain;
  int32_t Free, Specials, PreLaidCrosses;
};
Flood F;

void FloodPush(int32_t x, int32_t y, int32_t d);

void FloodEnter(int32_t x, int32_t y, int32_t d) {
  if (!NextCell(x, y, d)) return;
  FloodPush(x, y, d);
}

// Entering (x, y) travelling d, on a board where every free cell takes any
// piece: marks what could be reached.
void FloodPush(int32_t x, int32_t y, int32_t d) {
  const int c = CellOf(x, y);
  const int chip = S.Orig[c];
  const int32_t exit = ChipTable[chip].Exit[d];
  if (exit == DirGoal) {
    F.Drain = true;
    return;
  }
  if (S.Visits[c] > 0) {
    if (CrossableOnce(c) && d % 2 != S.FirstAxis[c]) FloodEnter(x, y, d);
    return;
  }
  if (exit == DirWarp) {
    const SpecialInfo& w = SpecialPos[kSpecialWarpOut];
    if (S.Visits[CellOf(w.X, w.Y)] == 0) FloodEnter(w.X, w.Y, w.Dir);
    return;
  }
  const bool build = Buildable(chip);
  if (!build && exit < 0) return;
  const uint8_t bit = static_cast<uint8_t>(1 << d);
  if (build ? F.Seen[c] != 0 : (F.Seen[c] & bit) != 0) return;
  if (F.Seen[c] == 0) {
    if (build) F.Free++;
    if (IsSpecialStraight(chip)) F.Specials++;
    if (chip == CHIP_CROSS) F.PreLaidCrosses++;
  }
  F.Seen[c] |= build ? 0xF : bit;
  F.Queue[F.Tail++] = c;
}

// True when the drain can still be reached from (x, y) leaving in dir and
// the cells on the way could still give the pieces the stage requires.
bool CanStillFinish(int32_t x, int32_t y, int32_t dir) {
  if (dir == DirGoal) return true;
  std::memset(F.Seen, 0, sizeof F.Seen);
  F.Head = F.Tail = 0;
  F.Drain = false;
  F.Free = F.Specials = F.PreLaidCrosses = 0;
  if (dir == DirWarp) {
    const SpecialInfo& w = SpecialPos[kSpecialWarpOut];
    FloodEnter(w.X, w.Y, w.Dir);
  } else {
    FloodEnter(x, y, dir);
  }
  while (F.Head < F.Tail) {
    const int c = F.Queue[F.Head++];
    const int chip = S.Orig[c];
    if (Buildable(chip)) {
      for (int e = 0; e < 4; e++) FloodEnter(c % 10, c / 10, e);
    } else {
      for (int e = 0; e < 4; e++)
        if ((F.Seen[c] >> e) & 1) FloodEnter(c % 10, c / 10, ChipTable[chip].Exit[e]);
    }
  }
  if (!F.Drain) return false;
  int32_t onceCrossable = 0;
  for (int c = 0; c < kCells; c++) onceCrossable += CrossableOnce(c) ? 1 : 0;
  int32_t crosses = S.Cap[CHIP_CROSS] - S.Used[CHIP_CROSS] + F.PreLaidCrosses;
  if (crosses > F.Free) crosses = F.Free;
  return S.Counted + F.Free + crosses + F.Specials + onceCrossable >= S.Required;
}

// ---------------------------------------------------------------- routes

// Player 1 needs pieces of its own worth half the requirement, player 0
// the same from the rest (special straights count for player 0 only, to
// stay on the safe side). Kept pre-laid pieces belong to player 0 unless
// the supply has a piece to lay there instead.
bool TwoPlayersCanShare() {
  const int32_t half = S.Required / 2;
  if (half == 0) return true;
  const int32_t mark = S.LogSize;
  std::bitset<2 * kCells + 1> sums;
  sums.set(0);
  auto fits = [&] {
    const int32_t top = std::min<int32_t>(S.Counted - half, static_cast<int32_t>(sums.size()) - 1);
    for (int32_t s = half; s <= top; s++)
      if (sums.test(s)) return true;
    return false;
  };
  for (int c = 0; c < kCells; c++)
    if (S.Visits[c] > 0 && S.Assigned[c] > 0) sums |= sums << S.Visits[c];
  bool ok = fits();
  for (int c = 0; c < kCells && !ok; c++) {
    if (S.Visits[c] == 0 || S.Assigned[c] != 0 || !IsLaidPiece(S.Orig[c])) continue;
    if (!AssignFromMask(c)) continue;
    sums |= sums << S.Visits[c];
    ok = fits();
  }
  UndoTo(mark);
  return ok;
}

void Record() {
  RouteInfo r{};
  std::memset(r.Map, kOffRoute, sizeof r.Map);
  r.Cells = S.Cells;
  r.Counted = S.Counted;
  // The source's frames are those of the drain, which S.Frames holds but
  // the water never finishes before the stage ends.
  r.Frames = S.Stage->StartDelay * 60 + S.Frames;
  for (int c = 0; c < kCells; c++) {
    if (S.Visits[c] == 0) continue;
    if (S.Assigned[c] > 0) r.Laid++;
    const int16_t kind = S.Assigned[c] > 0 ? S.Assigned[c] : Board[c % 10][c / 10].ChipNo;
    r.Map[c] = static_cast<uint8_t>(kind);
  }
  if (!S.AnyFound || r.Cells < S.Shortest.Cells) S.Shortest = r;
  if (!S.AnyFound || r.Cells > S.Longest.Cells) S.Longest = r;
  S.AnyFound = true;
}

void Accept() {
  if (S.Counted < S.Required || !TwoPlayersCanShare()) return;
  Record();
  if (S.StopAtFirst) S.Stop = true;
}

// ---------------------------------------------------------------- the walk

// The walk keeps its own stack instead of recursing, so that it can stop
// after any number of steps and go on later (the editor searches a slice
// every frame). A Visit item is the water standing in a cell; the others
// undo what a move did once everything after it has been tried.
enum class ItemKind : uint8_t { Visit, LeaveCell, UndoCross, BuildWays };

struct Item {
  ItemKind Kind;
  bool InWay;      // BuildWays: a way is being tried; undo it first
  int8_t Next, N;  // BuildWays: next way to try, ways in all
  int8_t Order[3];
  int32_t Key[3];
  int32_t X, Y, Dir;  // Visit: leaving in Dir; LeaveCell: leaving dir
  int32_t Counted, Weight;
  int32_t Mark;
  uint64_t OldMask;
  ChipInfo OldCell;
};

constexpr int kStackItems = 2048;
Item Stack[kStackItems];
int32_t StackSize;

Item& Push(ItemKind kind, int32_t x, int32_t y, int32_t dir) {
  Item& it = Stack[StackSize++];
  it = Item{};
  it.Kind = kind;
  it.X = x;
  it.Y = y;
  it.Dir = dir;
  return it;
}

// The water enters (x, y) and will leave it in out.
void Enter(int32_t x, int32_t y, int32_t out, int32_t counted, int32_t weight) {
  const int c = CellOf(x, y);
  S.Visits[c]++;
  S.Cells++;
  S.Counted += counted;
  S.Frames += S.FrameOf[weight];
  // Room for the two items and the ways of a cell: the route is far shorter.
  const bool room = StackSize + 3 < kStackItems;
  if (room && CanStillFinish(x, y, out)) {
    Item& leave = Push(ItemKind::LeaveCell, x, y, out);
    leave.Counted = counted;
    leave.Weight = weight;
    Push(ItemKind::Visit, x, y, out);
    return;
  }
  S.Visits[c]--;
  S.Cells--;
  S.Counted -= counted;
  S.Frames -= S.FrameOf[weight];
}

void LeaveCell(const Item& it) {
  S.Visits[CellOf(it.X, it.Y)]--;
  S.Cells--;
  S.Counted -= it.Counted;
  S.Frames -= S.FrameOf[it.Weight];
}

// A second pass, only across a cross along its other axis.
void SecondPass(int32_t x, int32_t y, int32_t dir) {
  const int c = CellOf(x, y);
  if (!CrossableOnce(c) || dir % 2 == S.FirstAxis[c]) return;
  const int32_t mark = S.LogSize;
  const uint64_t oldMask = S.PassMask[c];
  const ChipInfo oldCell = Board[x][y];
  const bool keptCross = S.Assigned[c] == 0 && S.Orig[c] == CHIP_CROSS;
  S.PassMask[c] = kCrossBit;
  if (keptCross || AssignFromMask(c)) {
    Board[x][y] = ChipTable[CHIP_CROSS];
    Item& undo = Push(ItemKind::UndoCross, x, y, dir);
    undo.Mark = mark;
    undo.OldMask = oldMask;
    undo.OldCell = oldCell;
    Enter(x, y, dir, 1, 2);
    return;
  }
  Board[x][y] = oldCell;
  S.PassMask[c] = oldMask;
  UndoTo(mark);
}

void UndoCross(const Item& it) {
  Board[it.X][it.Y] = it.OldCell;
  S.PassMask[CellOf(it.X, it.Y)] = it.OldMask;
  UndoTo(it.Mark);
}

// Order of the ways on: far from the drain first when wandering; under a
// length bound, the way whose distance best uses up the cells left, so the
// route reaches the drain just as it has enough pieces.
int32_t KeyOf(int32_t dist) {
  if (dist >= kInf) return kInf;
  if (S.Wander) return -dist;
  const int32_t left = S.Bound - S.Cells - 2;
  return dist <= left ? left - dist : kInf;
}

void Build(int32_t x, int32_t y, int32_t dir) {
  Item& it = Push(ItemKind::BuildWays, x, y, dir);
  for (int e = 0; e < 4; e++) {
    if (e == Opposite(dir)) continue;
    const int32_t d = DistAfter(x, y, e);
    int i = it.N++;
    const int32_t k = KeyOf(d);
    while (i > 0 && it.Key[i - 1] > k) {
      it.Order[i] = it.Order[i - 1], it.Key[i] = it.Key[i - 1], i--;
    }
    it.Order[i] = static_cast<int8_t>(e);
    it.Key[i] = k;
  }
}

void EndWay(Item& it) {
  const int c = CellOf(it.X, it.Y);
  UndoTo(it.Mark);
  S.PassMask[c] = 0;
  Board[it.X][it.Y] = ChipTable[S.Orig[c]];
  it.InWay = false;
  it.Next++;
}

// Tries the next way out of a cell to build on; pops the item when none is
// left. Returns with a way entered, or with the item gone.
void NextWay(int32_t at) {
  Item* it = &Stack[at];
  if (it->InWay) EndWay(*it);
  const int c = CellOf(it->X, it->Y);
  const int orig = S.Orig[c];
  for (; it->Next < it->N && !S.Stop && !S.Aborted;) {
    const int32_t e = it->Order[it->Next];
    if (it->Key[it->Next] == kInf) {
      it->Next++;
      continue;
    }
    uint64_t mask = 0;
    for (int k = CHIP_FIRST_PIECE; k <= CHIP_LAST_PIECE; k++)
      if (((KindsFor[it->Dir][e] >> k) & 1) != 0 && S.Cap[k] > 0) mask |= uint64_t{1} << k;
    const bool keep = IsLaidPiece(orig) && ChipTable[orig].Exit[it->Dir] == e;
    if (!keep && mask == 0) {
      it->Next++;
      continue;
    }
    it->Mark = S.LogSize;
    it->InWay = true;
    S.PassMask[c] = mask;
    S.FirstAxis[c] = static_cast<int8_t>(it->Dir % 2);
    bool placed = keep;
    if (!keep && AssignFromMask(c)) {
      Board[it->X][it->Y] = ChipTable[S.Assigned[c]];
      placed = true;
    }
    if (placed) {
      Enter(it->X, it->Y, e, 1, 2);
      if (StackSize - 1 > at) return;  // the water went on: come back later
    }
    EndWay(*it);
    it = &Stack[at];
  }
  StackSize--;
}

// The water stands in (x, y) and leaves it in dir.
void Visit(int32_t x, int32_t y, int32_t dir) {
  if (S.Stop || S.Aborted) return;
  if (++S.Nodes > S.Limit) {
    S.Aborted = true;
    return;
  }
  if (dir == DirGoal) {
    Accept();
    return;
  }
  if (dir == DirWarp) {
    int32_t nx = x, ny = y, nd = dir;
    if (Step(nx, ny, nd)) Enter(nx, ny, nd, 0, 2);
    return;
  }
  int32_t nx = x, ny = y;
  if (!NextCell(nx, ny, dir)) return;
  const int c = CellOf(nx, ny);
  if (S.Dist[c][dir] >= kInf) return;
  if (S.Bound > 0 && S.Cells + 1 + S.Dist[c][dir] > S.Bound) return;
  if (S.Visits[c] > 0) {
    SecondPass(nx, ny, dir);
    return;
  }
  const int chip = S.Orig[c];
  if (Buildable(chip)) {
    Build(nx, ny, dir);
    return;
  }
  const int32_t out = Board[nx][ny].Exit[dir];
  if (out == DirBlocked) return;
  Enter(nx, ny, out, IsSpecialStraight(chip) ? 1 : 0, Board[nx][ny].FlowWeight);
}

// Works on the stack until it is empty or steps Visit items have been
// taken; true when it is empty.
bool Walk(int64_t steps) {
  while (StackSize > 0) {
    const int32_t top = StackSize - 1;
    Item& it = Stack[top];
    switch (it.Kind) {
      case ItemKind::Visit: {
        if (steps-- <= 0) return false;
        const Item v = it;
        StackSize--;
        Visit(v.X, v.Y, v.Dir);
        break;
      }
      case ItemKind::LeaveCell:
        LeaveCell(it);
        StackSize--;
        break;
      case ItemKind::UndoCross:
        UndoCross(it);
        StackSize--;
        break;
      case ItemKind::BuildWays:
        NextWay(top);
        break;
    }
  }
  return true;
}

void Prepare(const StageInfo& s) {
  InitChipTable();
  InitKindMasks();
  LayOutBoard(s);
  std::memset(&S, 0, sizeof S);
  S.Stage = &s;
  S.Required = s.RequiredPipes;
  CountSupplyKinds(s.SupplyCount, S.Cap);
  for (int c = 0; c < kCells; c++) S.Orig[c] = Board[c % 10][c / 10].ChipNo;
  for (int w = 1; w <= 4; w++) S.FrameOf[w] = FramesPerCell(s, w);
  ComputeDistances();
  StackSize = 0;
}

// One run from the source: set up here, walked by Walk, ended by EndRun.
void BeginRun(int64_t limit, int32_t bound, bool wander, bool stopAtFirst) {
  const SpecialInfo& src = SpecialPos[kSpecialSource];
  S.Limit = S.Nodes + limit;
  S.Bound = bound;
  S.Wander = wander;
  S.StopAtFirst = stopAtFirst;
  S.Stop = S.Aborted = false;
  S.Visits[CellOf(src.X, src.Y)] = 1;
  if (CanStillFinish(src.X, src.Y, src.Dir)) Push(ItemKind::Visit, src.X, src.Y, src.Dir);
}

void EndRun() {
  const SpecialInfo& src = SpecialPos[kSpecialSource];
  S.Visits[CellOf(src.X, src.Y)] = 0;
}

// The search as a whole: the wandering run, then runs under a rising
// length bound when it could not finish.
enum class Phase : uint8_t { Wander, Bounded, Done };

struct Job {
  StageInfo Stage;
  int64_t NodeLimit;
  Phase At;
  int32_t Bound, Top, Parity;
  bool FixedParity;
  SolveResult Result;
  // The board the walk works on, kept apart from the game's between slices.
  ChipInfo Board[kBoardColumns][kBoardRows];
  SpecialInfo Special[4];
  int16_t Rows[kPlayRows], Columns[kPlayColumns];
};
Job J;

// Starts the next bounded run, or ends the search when none is left.
void NextBound() {
  for (; J.Bound <= J.Top; J.Bound++) {
    if (J.FixedParity && J.Bound % 2 != J.Parity) continue;
    BeginRun(J.NodeLimit - S.Nodes, J.Bound, false, true);
    J.Bound++;
    return;
  }
  J.At = Phase::Done;
}

void StartBounded() {
  J.Top = S.AnyFound ? S.Shortest.Cells - 1 : 2 * kCells + 2;
  // Each cell entered is one move on a board of even width and height
  // (wraps included), so without a warp every route from the source to
  // the drain has the same parity of length: a bound of the other parity
  // would only search in vain.
  const SpecialInfo& src = SpecialPos[kSpecialSource];
  const SpecialInfo& drain = SpecialPos[kSpecialDrain];
  J.FixedParity = SpecialPos[kSpecialWarpIn].X < 0;
  J.Parity = (src.X + src.Y + drain.X + drain.Y) % 2;
  J.Bound = S.Required + 1;
  J.At = Phase::Bounded;
  NextBound();
}

void Finish() {
  J.At = Phase::Done;
  J.Result.Found = S.AnyFound;
  J.Result.Nodes = S.Nodes;
  J.Result.Shortest = S.Shortest;
  J.Result.Longest = S.Longest;
}

// Goes on with the search for up to steps cell visits; true when done.
bool Advance(int64_t steps) {
  while (J.At != Phase::Done) {
    const int64_t before = S.Nodes;
    const bool ended = Walk(steps);
    steps -= S.Nodes - before;
    if (!ended) return false;
    EndRun();
    if (J.At == Phase::Wander) {
      J.Result.Exhausted = !S.Aborted;
      if (J.Result.Exhausted) break;
      StartBounded();
    } else if (S.Stop || S.Aborted) {
      break;
    } else {
      NextBound();
    }
    if (steps <= 0 && J.At != Phase::Done) return false;
  }
  Finish();
  return true;
}

void Begin(const StageInfo& s, int64_t nodeLimit) {
  J.Stage = s;
  J.NodeLimit = nodeLimit;
  J.Result = SolveResult{};
  Prepare(J.Stage);
  J.At = Phase::Wander;
  BeginRun(nodeLimit / 2, 0, true, false);
}

void SwapBoard() {
  std::swap(J.Board, Board);
  std::swap(J.Special, SpecialPos);
  std::swap(J.Rows, WrapRow);
  std::swap(J.Columns, WrapColumn);
}

}  // namespace

int32_t FramesPerCell(const StageInfo& s, int32_t weight) {
  const int32_t step = 2 * weight - SpeedAdjust(s);
  return step > 0 ? 320 / step + 1 : 0;
}

// First a walk that tries far cells first: it finds long routes and, if
// it runs to the end, every route. Then, when it could not finish, a
// search with a rising length bound for the shortest route.
SolveResult SolveStage(const StageInfo& s, int64_t nodeLimit) {
  Begin(s, nodeLimit);
  Advance(INT64_MAX);
  return J.Result;
}

void StartSolve(const StageInfo& s, int64_t nodeLimit) {
  SwapBoard();
  Begin(s, nodeLimit);
  SwapBoard();
}

bool ContinueSolve(int64_t steps) {
  if (J.At == Phase::Done) return true;
  SwapBoard();
  const bool done = Advance(steps);
  SwapBoard();
  return done;
}

void StopSolve() { J.At = Phase::Done; }

bool SolveDone() { return J.At == Phase::Done; }

const SolveResult& SolveOutcome() { return J.Result; }

int64_t SolveNodes() { return S.Nodes; }

}  // namespace puzzle
