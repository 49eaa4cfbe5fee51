// SPDX-License-Identifier: Zlib
// Gamepad mappings of the player's own: a gamecontrollerdb.txt in the
// settings folder is added to the mappings SDL knows.
#pragma once

#include <string>

namespace plat::gamepads {

// The mappings file the game reads: gamecontrollerdb.txt in UserConfigFolder().
std::string MappingsFile();

// Adds the mappings of the file at path to SDL's (SDL's game controller part
// must be running). Returns how many it added; a missing file adds none and
// is no problem; any other failure fills problem.
int AddMappings(const std::string& path, std::string& problem);

}  // namespace plat::gamepads
