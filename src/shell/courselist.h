// SPDX-License-Identifier: Zlib
// The player's own courses: the files in the course folder, whether each
// can be played, and the editor's list reached from the title.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace game {

// Far more player courses than anyone keeps; the list stops there.
constexpr size_t kMaxPlayerCourses = 500;

struct PlayerCourse {
  std::string Name;     // the file name without ".dat", upper case
  std::string Path;     // the course file
  std::string Problem;  // why it cannot be played, in words; empty when it can
  int32_t Stages = 0;
};

// What keeps the bytes of a course file from being played ("CUT SHORT",
// "STAGE 2: NO DRAIN"), or "" for a playable course of 1 to 99 stages.
std::string CourseProblem(const std::vector<uint8_t>& bytes);

// The courses in the player's course folder, by file name.
std::vector<PlayerCourse> ListPlayerCourses();

// "MYCOURSE1", "MYCOURSE2" ...: the first prefix + number with no course
// file of that name among names (file names, ".dat" included).
std::string FreeCourseName(const std::string& prefix, const std::vector<std::string>& names);

// The title's "EDIT STAGES": a new course, one of the player's, or a copy
// of a shipped course, opened in the editor; back to the caller when the
// editor is left.
void EditStages();

}  // namespace game
