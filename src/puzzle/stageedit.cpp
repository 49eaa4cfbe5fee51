// SPDX-License-Identifier: Zlib
#include "puzzle/stageedit.h"

#include <cstring>

#include "puzzle/board.h"

namespace puzzle {

const uint8_t kCellCycle[kCellKinds] = {CHIP_EMPTY, CHIP_BLOCK, 17, 18, 19, 20, 21, 22, 23, 24, 25,
                                        26,         27,         28, 29, 30, 31, 32, 33, 34, 35, 36,
                                        37,         38,         39, 0,  1,  2,  3,  4,  5,  6,  7,
                                        8,          9,          10, 11, 12, 13, 14, 15};

namespace {

constexpr StageSpecial kNoSpecial = {kAbsent, 0, 0, 0};

int SpecialAt(const StageInfo& s, int x, int y) {
  for (int i = 0; i < 4; i++) {
    const StageSpecial& e = s.SpecialEntry[i];
    if (e.X == x && e.Y == y) return i;
  }
  return -1;
}

int CycleIndex(int kind) {
  for (int i = 0; i < kCellKinds; i++)
    if (kCellCycle[i] == kind) return i;
  return -1;
}

bool InPlay(int x, int y) { return x >= 0 && x < kPlayColumns && y >= 0 && y < kPlayRows; }

int SupplyTotal(const StageInfo& s) {
  int total = 0;
  for (uint8_t n : s.SupplyCount) total += n;
  return total;
}

// One piece more (up) or less for group g, the shares after it making up
// the difference so that a supply of 100 stays 100.
void ShiftShare(StageInfo& s, int g, bool up) {
  const int total = SupplyTotal(s);
  uint8_t& own = s.SupplyCount[g];
  if (up ? own == kSupplySize : own == 0) return;
  if (up ? total < kSupplySize : total > kSupplySize) {
    own = static_cast<uint8_t>(own + (up ? 1 : -1));
    return;
  }
  for (int i = 1; i < kSupplyGroups; i++) {
    uint8_t& other = s.SupplyCount[(g + i) % kSupplyGroups];
    if (up ? other == 0 : other == kSupplySize) continue;
    other = static_cast<uint8_t>(other + (up ? -1 : 1));
    own = static_cast<uint8_t>(own + (up ? 1 : -1));
    return;
  }
}

int Clamp(int v, int low, int high) { return v < low ? low : v > high ? high : v; }

}  // namespace

void BlankStage(StageInfo& s) {
  s = StageInfo{};
  s.SupplyCount[0] = 40;
  s.SupplyCount[1] = 60;
  s.RequiredPipes = 10;
  s.StartDelay = 20;
  s.SpeedByte = 128;
  std::memset(s.StageMap, CHIP_EMPTY, sizeof s.StageMap);
  for (StageSpecial& e : s.SpecialEntry) e = kNoSpecial;
}

void BlankCourse(EditCourse& c) {
  c.Count = 1;
  c.Current = 0;
  BlankStage(c.Stages[0]);
}

int CellKind(const StageInfo& s, int x, int y) {
  const int i = SpecialAt(s, x, y);
  if (i >= 0) return 4 * i + (s.SpecialEntry[i].Dir & 3);
  return s.StageMap[x + 10 * y];
}

void SetCellKind(StageInfo& s, int x, int y, int kind) {
  if (!InPlay(x, y) || CycleIndex(kind) < 0) return;
  const int here = SpecialAt(s, x, y);
  if (here >= 0) s.SpecialEntry[here] = kNoSpecial;
  if (kind >= CHIP_BLOCK) {
    s.StageMap[x + 10 * y] = static_cast<uint8_t>(kind);
    return;
  }
  // The compiler leaves an empty cell under a special piece.
  const int entry = kind / 4;
  s.SpecialEntry[entry] =
      StageSpecial{static_cast<uint8_t>(x), static_cast<uint8_t>(y), static_cast<uint8_t>(kind % 4),
                   static_cast<uint8_t>(entry == kSpecialWarpIn ? 1 : 0)};
  s.StageMap[x + 10 * y] = CHIP_EMPTY;
}

void CycleCell(StageInfo& s, int x, int y, int step) {
  if (!InPlay(x, y)) return;
  const int found = CycleIndex(CellKind(s, x, y));
  const int at = found < 0 ? 0 : found;  // a kind no stage may use counts as empty
  const int next = (at + (step < 0 ? kCellKinds - 1 : 1)) % kCellKinds;
  SetCellKind(s, x, y, kCellCycle[next]);
}

int32_t FieldValue(const StageInfo& s, int32_t field) {
  if (field >= FieldShare0 && field < FieldShare0 + kSupplyGroups)
    return s.SupplyCount[field - FieldShare0];
  switch (field) {
    case FieldPipeSet:
      return s.PipeSet;
    case FieldRequired:
      return s.RequiredPipes;
    case FieldDelay:
      return s.StartDelay;
    case FieldSpeed:
      return s.SpeedByte;
    default:
      return 0;
  }
}

void ChangeField(StageInfo& s, int32_t field, int32_t delta) {
  if (field >= FieldShare0 && field < FieldShare0 + kSupplyGroups) {
    for (int n = 0; n < (delta < 0 ? -delta : delta); n++)
      ShiftShare(s, field - FieldShare0, delta > 0);
    return;
  }
  switch (field) {
    case FieldPipeSet:
      s.PipeSet = static_cast<uint8_t>(Clamp(s.PipeSet + delta, 0, 4));
      break;
    case FieldRequired:
      s.RequiredPipes = static_cast<uint8_t>(Clamp(s.RequiredPipes + delta, 0, 255));
      break;
    case FieldDelay:
      s.StartDelay = static_cast<uint8_t>(Clamp(s.StartDelay + delta, 1, 255));
      break;
    case FieldSpeed:
      s.SpeedByte = static_cast<uint8_t>(Clamp(s.SpeedByte + delta, 0, 255));
      break;
    default:
      break;
  }
}

void ToggleRowWrap(StageInfo& s, int row) {
  if (row >= 0 && row < kPlayRows) s.RowWrapMask = static_cast<int16_t>(s.RowWrapMask ^ (1 << row));
}

void ToggleColumnWrap(StageInfo& s, int column) {
  if (column >= 0 && column < kPlayColumns)
    s.ColumnWrapMask = static_cast<int16_t>(s.ColumnWrapMask ^ (1 << column));
}

bool AddStage(EditCourse& c) {
  if (c.Count >= kMaxCourseStages) return false;
  const int at = c.Current + 1;
  std::memmove(&c.Stages[at + 1], &c.Stages[at], sizeof(StageInfo) * (c.Count - at));
  BlankStage(c.Stages[at]);
  c.Count++;
  c.Current = at;
  return true;
}

bool CopyStage(EditCourse& c) {
  const StageInfo copy = c.Stages[c.Current];
  if (!AddStage(c)) return false;
  c.Stages[c.Current] = copy;
  return true;
}

bool DeleteStage(EditCourse& c) {
  if (c.Count <= 1) return false;
  const int at = c.Current;
  std::memmove(&c.Stages[at], &c.Stages[at + 1], sizeof(StageInfo) * (c.Count - at - 1));
  c.Count--;
  if (c.Current >= c.Count) c.Current = c.Count - 1;
  return true;
}

bool MoveStage(EditCourse& c, int step) {
  const int to = c.Current + (step < 0 ? -1 : 1);
  if (to < 0 || to >= c.Count) return false;
  const StageInfo moved = c.Stages[c.Current];
  c.Stages[c.Current] = c.Stages[to];
  c.Stages[to] = moved;
  c.Current = to;
  return true;
}

bool GoToStage(EditCourse& c, int step) {
  const int to = c.Current + (step < 0 ? -1 : 1);
  if (to < 0 || to >= c.Count) return false;
  c.Current = to;
  return true;
}

std::vector<uint8_t> CourseBytes(const EditCourse& c) {
  std::vector<uint8_t> bytes(static_cast<size_t>(c.Count) * kStageRecordSize);
  for (int i = 0; i < c.Count; i++) EncodeStage(c.Stages[i], bytes.data() + i * kStageRecordSize);
  return bytes;
}

bool ReadCourseBytes(const std::vector<uint8_t>& bytes, EditCourse& c, std::string& error) {
  const size_t n = bytes.size() / kStageRecordSize;
  if (bytes.size() % kStageRecordSize != 0) {
    error = "not whole 110-byte stage records";
    return false;
  }
  if (n < 1 || n > kMaxCourseStages) {
    error = std::to_string(n) + " stages, not 1 to 99";
    return false;
  }
  c.Count = static_cast<int32_t>(n);
  c.Current = 0;
  for (size_t i = 0; i < n; i++) DecodeStage(bytes.data() + i * kStageRecordSize, c.Stages[i]);
  return true;
}

}  // namespace puzzle
