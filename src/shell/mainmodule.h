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
// Plays the first stage of the course file once for the stage editor;
// true when it was cleared.
bool TestPlayCourseFile(const std::string& path);

}  // namespace game
