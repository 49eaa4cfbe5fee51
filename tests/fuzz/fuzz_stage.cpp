// SPDX-License-Identifier: Zlib
// Stage records: a record that passes the checks can be laid out and the
// water can follow it anywhere without leaving the board's arrays.
#include <cstdlib>

#include "puzzle/board.h"
#include "puzzle/stagerecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = (puzzle::InitChipTable(), true);
  (void)ready;
  if (size < static_cast<size_t>(puzzle::kStageRecordSize)) return 0;
  puzzle::StageInfo s;
  puzzle::DecodeStage(data, s);
  if (!puzzle::CheckStage(s).empty()) return 0;
  puzzle::LayOutBoard(s);
  // Walk the water from the source along whatever pipe the bytes describe.
  int32_t x = puzzle::SpecialPos[puzzle::kSpecialSource].X;
  int32_t y = puzzle::SpecialPos[puzzle::kSpecialSource].Y;
  int32_t dir = puzzle::SpecialPos[puzzle::kSpecialSource].Dir;
  for (int i = 0; i < 400 && dir >= 0; ++i) {
    if (!puzzle::Step(x, y, dir)) break;
    if (x < 0 || y < 0 || x >= puzzle::kPlayColumns || y >= puzzle::kPlayRows) std::abort();
  }
  return 0;
}
