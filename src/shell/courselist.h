// SPDX-License-Identifier: Zlib
// The player's own courses: the files in the course folder, whether each
// can be played, and the editor's list reached from the title.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/coursefile.h"

namespace game {

// Far more player courses than anyone keeps; the list stops there.
constexpr size_t kMaxPlayerCourses = 500;

// The course number of a player course chosen in the course select.
constexpr int32_t kPlayerCourse = 4;

struct PlayerCourse {
  std::string Name;     // the file name without ".dat", upper case
  std::string Path;     // the course file
  std::string Problem;  // why it cannot be played, in words; empty when it can
  int32_t Stages = 0;
  int32_t Best[2] = {0, 0};  // best scores for one and for two players
};

// The courses in the player's course folder, by file name.
std::vector<PlayerCourse> ListPlayerCourses();
bool AnyPlayableCourse();

// Raises the course's best for the player count to score when it beats it,
// writing the file by temporary file and rename.
void RecordPlayerBest(const PlayerCourse& course, int32_t players, int32_t score);

// The course select's "MY COURSES": the list of the player's courses with
// their best scores; false when the player goes back instead of choosing.
bool ChoosePlayerCourse();
// The course the last ChoosePlayerCourse chose.
const PlayerCourse& ChosenPlayerCourse();

// The title's "EDIT STAGES": a new course, one of the player's, or a copy
// of a shipped course, opened in the editor; back to the caller when the
// editor is left.
void EditStages();

}  // namespace game
