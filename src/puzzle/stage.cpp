// SPDX-License-Identifier: Zlib
#include "puzzle/stage.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "puzzle/supply.h"
#include "render/sheets.h"
#include "render/surfaces.h"
#include "shell/gamestate.h"
#include "shell/safe_read.h"
#include "shell/window.h"

namespace puzzle {

StageInfo CurrentStage;
int32_t StageStartProgress = 0;
int16_t FlowSpeedAdjust = 0;

namespace {

std::string OwnCourseFile;  // UseCourseFile's file, "" for none

// Far more than any course holds (9 532 records); a bigger file is no course.
constexpr size_t kCourseFileLimit = size_t{1} << 20;

// The game cannot go on without its stage, but the player's progress so
// far is saved on the way out.
[[noreturn]] void StageDataError(const std::string& path, int32_t stage,
                                 const std::string& reason) {
  plat::ShowMessage("stage data error : " + path + ", stage " + std::to_string(stage + 1) + ": " +
                    reason);
  game::RunShutdown(1);
}

}  // namespace

std::string CourseFilePath(int32_t course) {
  if (!OwnCourseFile.empty()) return OwnCourseFile;
  return game::DataPath + "stage/course" + std::to_string(course) + ".dat";
}

void UseCourseFile(const std::string& path) { OwnCourseFile = path; }

// Stage numbers in messages count from 1, as a designer numbers them.
int32_t CountStages(int32_t course) {
  const std::string path = CourseFilePath(course);
  std::vector<uint8_t> bytes;
  if (game::ReadFileSafely(path, kCourseFileLimit, bytes) != plat::FileRead::Ok) {
    plat::ShowMessage("cannot read the course file " + path);
    game::RunShutdown(1);
  }
  const auto size = static_cast<int64_t>(bytes.size());
  const auto whole = static_cast<int32_t>(size / kStageRecordSize);
  if (size % kStageRecordSize != 0)
    StageDataError(
        path, whole,
        "the record is cut short (" + std::to_string(size % kStageRecordSize) + " of 110 bytes)");
  if (whole == 0) StageDataError(path, 0, "the file holds no stage");
  return whole;
}

void ReadStageRecord(int32_t course, int32_t stage) {
  const std::string path = CourseFilePath(course);
  std::vector<uint8_t> bytes;
  int error = 0;
  const plat::FileRead read = game::ReadFileSafely(path, kCourseFileLimit, bytes);
  if (read == plat::FileRead::Missing) {
    error = ENOENT;
  } else if (read != plat::FileRead::Ok) {
    error = EIO;
  } else if (stage < 0 || (static_cast<int64_t>(stage) + 1) * kStageRecordSize >
                              static_cast<int64_t>(bytes.size())) {
    error = ENODATA;
  }
  if (error != 0) {
    plat::ShowMessage("stage read error : " + std::to_string(error));
    return;
  }
  DecodeStage(bytes.data() + static_cast<size_t>(stage) * kStageRecordSize, CurrentStage);
}

void SetUpStage() {
  StageStartProgress = CurrentStage.StartDelay * 60 + 320;
  FlowSpeedAdjust = SpeedAdjust(CurrentStage);
  LayOutBoard(CurrentStage);
  BuildSupply(CurrentStage.SupplyCount);
}

// After a read error the record held before is checked and played; a
// record that could hang or crash the game ends it instead.
void LoadStage(int32_t course, int32_t stage) {
  ReadStageRecord(course, stage);
  const std::string reason = CheckStage(CurrentStage);
  if (!reason.empty()) StageDataError(CourseFilePath(course), stage, reason);
  SetUpStage();
  render::LoadSheet(render::PipePic, "pipe" + std::to_string(CurrentStage.PipeSet) + ".bmp");
}

}  // namespace puzzle
