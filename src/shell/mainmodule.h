// SPDX-License-Identifier: Zlib
// Start-up and the main loop of the game.
#pragma once

#include <string>

#include "platform/cmdline.h"

namespace game {

// Runs the game with what the command line asked for; ends only through
// the shutdown.
[[noreturn]] void Main(const plat::StartOptions& options = {});
void InitGameData();
// Two lives and both scores at 0; then the game of a course (3 the endless
// mode) from its first stage to its end.
void StartGame();
void PlayGame(int32_t course);
// Plays the first stage of the course file once for the stage editor;
// true when it was cleared.
bool TestPlayCourseFile(const std::string& path);

}  // namespace game
