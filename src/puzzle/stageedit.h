// SPDX-License-Identifier: Zlib
// The stage editor's model, free of drawing: a course being edited (1 to
// 99 stage records), the pieces a cell can be made to hold, the stage's
// fields and the course's operations. Every change keeps the record in the
// form the stage compiler writes, so a saved course matches its text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "puzzle/stagerecord.h"

namespace puzzle {

constexpr int kMaxCourseStages = 99;

struct EditCourse {
  StageInfo Stages[kMaxCourseStages];
  int32_t Count;    // 1..99
  int32_t Current;  // stage shown, 0..Count - 1
};

// A fresh stage: an empty board in the toy world, no source and no drain.
void BlankStage(StageInfo& s);
void BlankCourse(EditCourse& c);

// What cell (x, y) shows: a special piece's kind (4 x entry + direction)
// when one stands there, otherwise the map's kind.
int CellKind(const StageInfo& s, int x, int y);
// Makes the cell hold kind (any of the kinds CycleCell visits). A special
// moves here from wherever it stood; a special the cell held is taken off.
void SetCellKind(StageInfo& s, int x, int y, int kind);
// The next (step 1) or previous (step -1) kind in the order empty, block,
// the 19 pieces, the four special straights, source, drain, warp entrance
// and warp exit in their four directions.
void CycleCell(StageInfo& s, int x, int y, int step);
constexpr int kCellKinds = 41;
extern const uint8_t kCellCycle[kCellKinds];

// The stage's fields, in the order the panel lists them.
enum EditField : int32_t {
  FieldPipeSet,
  FieldShare0,  // six supply shares, FieldShare0 + group
  FieldRequired = FieldShare0 + kSupplyGroups,
  FieldDelay,
  FieldSpeed,
  kEditFields
};
// Changes a field by delta, within its range. A share takes its pieces
// from (or gives them to) the shares after it, so the six keep their sum;
// a supply that does not add up to 100 is moved towards 100 instead.
void ChangeField(StageInfo& s, int32_t field, int32_t delta);
int32_t FieldValue(const StageInfo& s, int32_t field);
void ToggleRowWrap(StageInfo& s, int row);
void ToggleColumnWrap(StageInfo& s, int column);

// Course operations on the current stage; false when the course cannot
// grow past 99 stages, shrink below 1 or move past an end.
bool AddStage(EditCourse& c);   // a blank stage after the current one
bool CopyStage(EditCourse& c);  // a copy after the current one
bool DeleteStage(EditCourse& c);
bool MoveStage(EditCourse& c, int step);  // swaps with a neighbour
bool GoToStage(EditCourse& c, int step);  // next (1) or previous (-1)

// The course file's bytes, and back. Reading takes whole records, 1 to 99
// of them; records that fail the game's checks are kept for editing.
std::vector<uint8_t> CourseBytes(const EditCourse& c);
bool ReadCourseBytes(const std::vector<uint8_t>& bytes, EditCourse& c, std::string& error);

}  // namespace puzzle
