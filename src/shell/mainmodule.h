// SPDX-License-Identifier: Zlib
// Start-up and the main loop of the game.
#pragma once

namespace game {

// Runs the game; ends only through the shutdown.
[[noreturn]] void Main();
void InitGameData();

}  // namespace game
