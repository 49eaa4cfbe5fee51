// SPDX-License-Identifier: Zlib
#include "puzzle/stagerecord.h"

#include <cstring>

#include "puzzle/board.h"

namespace puzzle {

namespace {

const char* const kSpecialNames[4] = {"source", "drain", "warp entrance", "warp exit"};

int16_t ReadInt16(const uint8_t* p) { return static_cast<int16_t>(p[0] | (p[1] << 8)); }

void WriteInt16(uint8_t* p, int16_t v) {
  const auto u = static_cast<uint16_t>(v);
  p[0] = static_cast<uint8_t>(u & 0xFF);
  p[1] = static_cast<uint8_t>(u >> 8);
}

std::string CellText(int x, int y) {
  return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

bool Present(const StageSpecial& e) { return e.X != kAbsent; }

StageFault Fault(StageFaultKind kind, int32_t entry = 0, int32_t value = 0, int32_t x = 0,
                 int32_t y = 0, int32_t other = 0) {
  return StageFault{kind, entry, other, x, y, value};
}

StageFault CheckMap(const StageInfo& s) {
  for (int i = 0; i < 80; i++) {
    const int chip = s.StageMap[i];
    if (chip < CHIP_BLOCK || chip > CHIP_EMPTY)
      return Fault(StageFaultKind::MapCell, 0, chip, i % 10, i / 10);
  }
  return {};
}

StageFault CheckSpecialPlaces(const StageInfo& s) {
  for (int i = 0; i < 4; i++) {
    const StageSpecial& e = s.SpecialEntry[i];
    if (!Present(e)) continue;
    if (e.X >= kPlayColumns || e.Y >= kPlayRows)
      return Fault(StageFaultKind::SpecialOutside, i, 0, e.X, e.Y);
    if (e.Dir > 3) return Fault(StageFaultKind::SpecialDir, i, e.Dir, e.X, e.Y);
  }
  return {};
}

StageFault CheckSpecials(const StageInfo& s) {
  StageFault f = CheckSpecialPlaces(s);
  if (f.Kind != StageFaultKind::None) return f;
  if (!Present(s.SpecialEntry[0])) return Fault(StageFaultKind::NoSource);
  if (!Present(s.SpecialEntry[1])) return Fault(StageFaultKind::NoDrain);
  const StageSpecial& in = s.SpecialEntry[kSpecialWarpIn];
  if (Present(in) && in.LinkFlag != 1)
    return Fault(StageFaultKind::WarpUnlinked, kSpecialWarpIn, 0, in.X, in.Y);
  if (Present(in) && !Present(s.SpecialEntry[kSpecialWarpOut]))
    return Fault(StageFaultKind::WarpNoExit, kSpecialWarpIn, 0, in.X, in.Y);
  // Two specials on one cell would leave a position whose piece is gone;
  // a warp could then send the water round for ever.
  for (int i = 0; i < 4; i++) {
    for (int j = i + 1; j < 4; j++) {
      const StageSpecial& a = s.SpecialEntry[i];
      const StageSpecial& b = s.SpecialEntry[j];
      if (Present(a) && Present(b) && a.X == b.X && a.Y == b.Y)
        return Fault(StageFaultKind::SharedCell, j, 0, a.X, a.Y, i);
    }
  }
  return {};
}

StageFault CheckSupply(const StageInfo& s) {
  int total = 0;
  for (int g = 0; g < kSupplyGroups; g++) total += s.SupplyCount[g];
  if (total != kSupplySize) return Fault(StageFaultKind::Supply, 0, total);
  return {};
}

// The progress counter of a cell must fall every frame, or the water
// would stand in that cell for ever.
StageFault CheckSpeed(const StageInfo& s) {
  bool hasSlow = false;
  for (uint8_t chip : s.StageMap) hasSlow = hasSlow || chip == CHIP_SLOW_V || chip == CHIP_SLOW_H;
  const int weight = hasSlow ? 1 : 2;
  if (2 * weight - SpeedAdjust(s) <= 0)
    return Fault(StageFaultKind::Speed, 0, s.SpeedByte, 0, 0, hasSlow ? 1 : 0);
  return {};
}

const char* const kSpecialLabels[4] = {"SOURCE", "DRAIN", "WARP IN", "WARP OUT"};

}  // namespace

void DecodeStage(const uint8_t* b, StageInfo& out) {
  out.PipeSet = b[0];
  std::memcpy(out.SupplyCount, b + 1, 6);
  out.RequiredPipes = b[7];
  out.StartDelay = b[8];
  out.SpeedByte = b[9];
  out.RowWrapMask = ReadInt16(b + 10);
  out.ColumnWrapMask = ReadInt16(b + 12);
  std::memcpy(out.StageMap, b + 14, 80);
  for (int i = 0; i < 4; i++) {
    const uint8_t* e = b + 94 + 4 * i;
    out.SpecialEntry[i] = StageSpecial{e[0], e[1], e[2], e[3]};
  }
}

void EncodeStage(const StageInfo& in, uint8_t* b) {
  b[0] = in.PipeSet;
  std::memcpy(b + 1, in.SupplyCount, 6);
  b[7] = in.RequiredPipes;
  b[8] = in.StartDelay;
  b[9] = in.SpeedByte;
  WriteInt16(b + 10, in.RowWrapMask);
  WriteInt16(b + 12, in.ColumnWrapMask);
  std::memcpy(b + 14, in.StageMap, 80);
  for (int i = 0; i < 4; i++) {
    uint8_t* e = b + 94 + 4 * i;
    const StageSpecial& s = in.SpecialEntry[i];
    e[0] = s.X;
    e[1] = s.Y;
    e[2] = s.Dir;
    e[3] = s.LinkFlag;
  }
}

StageFault FindStageFault(const StageInfo& s) {
  if (s.PipeSet > 4) return Fault(StageFaultKind::PipeSet, 0, s.PipeSet);
  if (s.StartDelay < 1) return Fault(StageFaultKind::StartDelay);
  StageFault f = CheckMap(s);
  if (f.Kind == StageFaultKind::None) f = CheckSpecials(s);
  if (f.Kind == StageFaultKind::None) f = CheckSupply(s);
  if (f.Kind == StageFaultKind::None) f = CheckSpeed(s);
  return f;
}

std::string FaultReason(const StageFault& f) {
  const std::string name = kSpecialNames[f.Entry & 3];
  switch (f.Kind) {
    case StageFaultKind::None:
      return "";
    case StageFaultKind::PipeSet:
      return "pipe set " + std::to_string(f.Value) + " is not 0 to 4";
    case StageFaultKind::StartDelay:
      return "the start delay is 0";
    case StageFaultKind::MapCell:
      return "cell " + CellText(f.X, f.Y) + " holds kind " + std::to_string(f.Value);
    case StageFaultKind::SpecialOutside:
      return "the " + name + " lies outside the play area at " + CellText(f.X, f.Y);
    case StageFaultKind::SpecialDir:
      return "the " + name + " has direction " + std::to_string(f.Value);
    case StageFaultKind::NoSource:
      return "there is no source";
    case StageFaultKind::NoDrain:
      return "there is no drain";
    case StageFaultKind::WarpUnlinked:
      return "the warp entrance is not linked";
    case StageFaultKind::WarpNoExit:
      return "the warp entrance has no warp exit";
    case StageFaultKind::SharedCell:
      return "the " + name + " shares cell " + CellText(f.X, f.Y) + " with the " +
             kSpecialNames[f.Other & 3];
    case StageFaultKind::Supply:
      return "the supply counts add up to " + std::to_string(f.Value) + ", not 100";
    case StageFaultKind::Speed:
      return "speed " + std::to_string(f.Value) + " never lets the water leave a " +
             (f.Other != 0 ? "slow straight" : "normal cell");
  }
  return "";
}

// The same fault in the few upper-case words the editor's panel has room for.
std::string FaultLabel(const StageFault& f) {
  const std::string name = kSpecialLabels[f.Entry & 3];
  const std::string at = std::to_string(f.X) + "," + std::to_string(f.Y);
  switch (f.Kind) {
    case StageFaultKind::None:
      return "";
    case StageFaultKind::PipeSet:
      return "PIPE SET " + std::to_string(f.Value);
    case StageFaultKind::StartDelay:
      return "START DELAY 0";
    case StageFaultKind::MapCell:
      return "BAD CELL " + at;
    case StageFaultKind::SpecialOutside:
      return name + " OFF BOARD";
    case StageFaultKind::SpecialDir:
      return name + " DIRECTION " + std::to_string(f.Value);
    case StageFaultKind::NoSource:
      return "NO SOURCE";
    case StageFaultKind::NoDrain:
      return "NO DRAIN";
    case StageFaultKind::WarpUnlinked:
      return "WARP NOT LINKED";
    case StageFaultKind::WarpNoExit:
      return "NO WARP EXIT";
    case StageFaultKind::SharedCell:
      return name + " ON " + kSpecialLabels[f.Other & 3];
    case StageFaultKind::Supply:
      return "SUPPLY " + std::to_string(f.Value) + " OF 100";
    case StageFaultKind::Speed:
      return "SPEED " + std::to_string(f.Value) + " TOO SLOW";
  }
  return "";
}

std::string CheckStage(const StageInfo& s) { return FaultReason(FindStageFault(s)); }

bool MaskFlag(int16_t mask, int index) {
  int v = mask;
  for (int i = 0; i < index; i++) v /= 2;  // truncates toward zero
  return v % 2 != 0;
}

void LayOutBoard(const StageInfo& s) {
  for (int r = 0; r < kPlayRows; r++) WrapRow[r] = MaskFlag(s.RowWrapMask, r) ? -1 : 0;
  for (int c = 0; c < kPlayColumns; c++) WrapColumn[c] = MaskFlag(s.ColumnWrapMask, c) ? -1 : 0;
  for (int y = 0; y < kPlayRows; y++) {
    for (int x = 0; x < kPlayColumns; x++) Board[x][y] = ChipTable[s.StageMap[x + 10 * y]];
  }
  for (int i = 0; i < 4; i++) {
    const StageSpecial& e = s.SpecialEntry[i];
    SpecialInfo& p = SpecialPos[i];
    if (e.X == kAbsent) {
      p.X = p.Y = p.Dir = -1;
      continue;
    }
    p.X = e.X;
    p.Y = e.Y;
    p.Dir = e.Dir;
    if (e.LinkFlag == 1) p.Link = i + 1;
    // Only checked records reach the board, so the cell is in range.
    Board[e.X][e.Y] = ChipTable[4 * i + e.Dir];
  }
}

void FillSupply(const uint8_t counts[6], int32_t supply[kSupplySize + 1]) {
  int index = 1;
  for (int g = 0; g < kSupplyGroups; g++) {
    for (int n = 0; n < counts[g]; n++) {
      supply[index] = kGroupFirst[g] + n % kGroupKinds[g];
      index = index == kSupplySize ? 1 : index + 1;
    }
  }
}

void CountSupplyKinds(const uint8_t counts[6], int32_t perKind[65]) {
  int32_t supply[kSupplySize + 1] = {};
  FillSupply(counts, supply);
  for (int k = 0; k < 65; k++) perKind[k] = 0;
  for (int i = 1; i <= kSupplySize; i++) perKind[supply[i]]++;
}

}  // namespace puzzle
