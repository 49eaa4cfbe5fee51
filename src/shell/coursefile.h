// SPDX-License-Identifier: Zlib
// The files of the player's own courses, as bytes: whether a course file
// can be played, its best-score file, and free names for new courses.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace game {

// What keeps the bytes of a course file from being played ("CUT SHORT",
// "STAGE 2: NO DRAIN"), or "" for a playable course of 1 to 99 stages.
std::string CourseProblem(const std::vector<uint8_t>& bytes);

// The best scores of a course live beside it in NAME.best, two lines
// "1P SCORE" and "2P SCORE". A line that is not one of those leaves its
// score at 0; false when the file is not of this form at all.
std::string BestFilePath(const std::string& coursePath);
bool ParseBestScores(const std::vector<uint8_t>& bytes, int32_t best[2]);
std::vector<uint8_t> BestScoreBytes(const int32_t best[2]);

// Letters a to z made capitals, the rest kept.
std::string UpperCase(std::string text);

// "MYCOURSE1", "MYCOURSE2" ...: the first prefix + number with no course
// file of that name among names (file names, ".dat" included).
std::string FreeCourseName(const std::string& prefix, const std::vector<std::string>& names);

}  // namespace game
