// SPDX-License-Identifier: Zlib
// The stage editor screen: a course of the player's own, stage by stage,
// with the verdict of the stage compiler's search shown as it is built.
#pragma once

#include <string>

namespace game {

// The folder of the player's courses, ending in '/'.
std::string PlayerCourseFolder();

// Where the course opened from path is saved: the player's course folder,
// under path's file name (letters, digits, '-' and '_' of it; "COURSE"
// when none is left), ending in ".dat".
std::string CourseSavePath(const std::string& path);

// Edits the course file at path (a blank course when there is none) until
// the player leaves the editor; the course is saved at CourseSavePath.
void EditCourseFile(const std::string& path);
// The same with the course saved at savePath: a copy of path to start from.
void EditCourseFileAs(const std::string& path, const std::string& savePath);

}  // namespace game
