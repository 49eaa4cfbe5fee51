// SPDX-License-Identifier: Zlib
// The course files and the set-up of a stage: reading one record, laying
// it out on the board, the water timing, the supply and the pipe pictures.
#pragma once

#include <cstdint>
#include <string>

#include "puzzle/stagerecord.h"

namespace puzzle {

extern StageInfo CurrentStage;  // the record of the stage being played
// The water's progress counter and its start value at the start of the
// stage: StartDelay x 60 + 320. The water takes it over when it is reset.
extern int32_t StageStartProgress;
// Added to the water's progress every frame: 128 - SpeedByte.
extern int16_t FlowSpeedAdjust;

// DataPath + "stage/course<n>.dat", or the course file put in place of
// every course by UseCourseFile.
std::string CourseFilePath(int32_t course);
// Plays the stages of one file whatever course is chosen; "" goes back to
// the game's own course files.
void UseCourseFile(const std::string& path);

// Stages in a course file. A missing file, or one that does not hold whole
// records, ends the program with a message.
int32_t CountStages(int32_t course);
// Reads, checks and sets up the stage, then loads its pipe pictures.
void LoadStage(int32_t course, int32_t stage);
// Reads one record into CurrentStage; a failure shows "stage read error : "
// with the error number and leaves CurrentStage as it was.
void ReadStageRecord(int32_t course, int32_t stage);
// Lays CurrentStage out: water timing, wraps, map, specials and supply.
void SetUpStage();

}  // namespace puzzle
