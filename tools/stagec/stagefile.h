// SPDX-License-Identifier: Zlib
// The designers' text form of a course: stages written as a few keyword
// lines and a map drawn one character per cell (content/stages/README.md).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "puzzle/stagerecord.h"

namespace stagec {

struct StageSource {
  std::string Title;
  int Line = 0;  // line of the "stage" keyword
  puzzle::StageInfo Record{};
};

// Parses a whole course file. On failure returns false with
// "line N: what is wrong" in error.
bool ParseCourse(const std::string& text, std::vector<StageSource>& stages, std::string& error);

// The text of one checked record that ParseCourse turns back into the same
// 110 bytes; false with the reason when the record fails the game's checks.
bool WriteStage(const puzzle::StageInfo& s, const std::string& title, std::string& text,
                std::string& error);

// The text of a whole course file, its stages titled by number; false with
// "stage N: reason" (or what is wrong with the size) when it cannot be.
bool DecompileCourse(const std::vector<uint8_t>& bytes, std::string& text, std::string& error);

// The map character of a kind (for drawing routes); '?' for none.
char MapChar(int chip);

}  // namespace stagec
