// SPDX-License-Identifier: Zlib
// Background music from MIDI files, one piece at a time, played once.
#pragma once

#include <string>

namespace audio {

std::string MusicFileName(int number);
void PlayMusic(const std::string& path);
void StopMusic();
bool MusicPlaying();
// Holds the open piece where it is, or lets it go on.
void PauseMusic(bool paused);

}  // namespace audio
