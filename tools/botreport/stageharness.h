// SPDX-License-Identifier: Zlib
// One stage attempt played by the bot through the game's own stage set-up,
// intro and play loop, on the headless back end.
#pragma once

#include <cstdint>
#include <string>

namespace report {

struct Attempt {
  bool Cleared = false;
  int32_t Score = 0;          // points of all players in this attempt, bonuses included
  int32_t MarginFrames = -1;  // water frames still to go when the route was closed
};

// Opens the game's pictures and piece table once; root is the runtime folder
// (data/ and sound/). False with a message when it cannot.
bool OpenGame(const std::string& root, std::string& error);

// Plays stage `stage` (0-based) of the course file with the bot.
Attempt PlayOnce(const std::string& courseFile, int32_t stage, int32_t players, uint32_t seed);

// Stages in the course file (0 when it cannot be read).
int32_t StagesIn(const std::string& courseFile);

}  // namespace report
