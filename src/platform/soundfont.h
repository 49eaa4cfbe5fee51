// SPDX-License-Identifier: Zlib
// Where the music's General MIDI soundfont comes from. The SDL back end asks
// once, at the start; with none the music stays silent and effects play on.
#pragma once

#include <string>
#include <vector>

namespace plat {

// Debian's places, in the order tried: the default-GM.sf2 alternative, then
// the files of the two soundfont packages the game's package accepts.
std::vector<std::string> UsualSoundFonts();

// The soundfonts to give the synthesiser, as SDL_SOUNDFONTS writes them
// (paths joined by ';'): the regular files among envPaths (the value of
// SDL_SOUNDFONTS, which may be null) when it names any, else the first
// regular file of usual; empty when there is none.
std::string ChooseSoundFonts(const char* envPaths, const std::vector<std::string>& usual);

}  // namespace plat
