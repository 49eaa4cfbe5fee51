// SPDX-License-Identifier: Zlib
// The 110-byte stage record of the course files, shared by the game and
// the stage compiler: decoding, encoding, the checks every record must
// pass before it is played, and laying a record out on the board.
#pragma once

#include <cstdint>
#include <string>

namespace puzzle {

constexpr int kStageRecordSize = 110;
constexpr int kSupplySize = 100;
constexpr int kSupplyGroups = 6;

// First kind and number of kinds of each supply group.
constexpr int kGroupFirst[kSupplyGroups] = {17, 19, 23, 24, 28, 32};
constexpr int kGroupKinds[kSupplyGroups] = {2, 4, 1, 4, 4, 4};

// One special entry: X 255 marks an absent entry.
struct StageSpecial {
  uint8_t X;
  uint8_t Y;
  uint8_t Dir;
  uint8_t LinkFlag;
  friend bool operator==(const StageSpecial&, const StageSpecial&) = default;
};
constexpr uint8_t kAbsent = 255;

struct StageInfo {
  uint8_t PipeSet;               // picture set and removal sound, 0..4
  uint8_t SupplyCount[6];        // pieces of each supply group, 100 in all
  uint8_t RequiredPipes;         // pieces the water must run through
  uint8_t StartDelay;            // units of 60 frames, at least 1
  uint8_t SpeedByte;             // 128 normal, larger is faster
  int16_t RowWrapMask;           // bit r: row r wraps
  int16_t ColumnWrapMask;        // bit c: column c wraps
  uint8_t StageMap[80];          // kind of cell (x, y) at x + 10 y
  StageSpecial SpecialEntry[4];  // source, drain, warp entrance, warp exit
};

void DecodeStage(const uint8_t* bytes, StageInfo& out);
void EncodeStage(const StageInfo& in, uint8_t* bytes);

// The first thing that keeps a record from being played safely. Entry and
// Other name special entries, X and Y a cell, Value the number at fault.
enum class StageFaultKind : uint8_t {
  None,
  PipeSet,
  StartDelay,
  MapCell,
  SpecialOutside,
  SpecialDir,
  NoSource,
  NoDrain,
  WarpUnlinked,
  WarpNoExit,
  SharedCell,
  Supply,
  Speed,
};
struct StageFault {
  StageFaultKind Kind;
  int32_t Entry, Other, X, Y, Value;
};
StageFault FindStageFault(const StageInfo& s);
std::string FaultReason(const StageFault& f);  // a sentence, for messages
std::string FaultLabel(const StageFault& f);   // "NO DRAIN", "SUPPLY 95 OF 100"

// Empty when the record can be played safely; otherwise why not.
std::string CheckStage(const StageInfo& s);

// The flag for index i of a wrap mask, read by repeated halving.
bool MaskFlag(int16_t mask, int index);

// Lays the wraps, the map and the special pieces out on the board and in
// the special positions (the board part of the stage set-up).
void LayOutBoard(const StageInfo& s);

// Writes the stage's pieces into supply[1..100] in group order; slots that
// the counts do not reach keep what they held.
void FillSupply(const uint8_t counts[6], int32_t supply[kSupplySize + 1]);

// How many pieces of each kind a freshly built supply holds.
void CountSupplyKinds(const uint8_t counts[6], int32_t perKind[65]);

// The stage's water speed adjustment, added to the progress every frame.
inline int16_t SpeedAdjust(const StageInfo& s) {
  return static_cast<int16_t>(128 - static_cast<int>(s.SpeedByte));
}

}  // namespace puzzle
