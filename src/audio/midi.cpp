// SPDX-License-Identifier: Zlib
#include "audio/midi.h"

#include "platform/platform.h"
#include "shell/gamestate.h"

namespace audio {

namespace {
// The path of the open piece; empty when nothing is open.
std::string MusicDevice;
}  // namespace

std::string MusicFileName(int number) {
  const char* name;
  switch (number) {
    case 0:
      name = "Cheerful Street.MID";
      break;
    case 1:
      name = "Obstacle.Mid";
      break;
    case 2:
      name = "omen.mid";
      break;
    case 3:
      name = "tune019.Mid";
      break;
    case 4:
      name = "systemgm.Mid";
      break;
    case 99:
      name = "laz_wind.mid";
      break;
    default:
      name = "noname";
      break;
  }
  return game::SoundPath + "music/" + name;
}

void PlayMusic(const std::string& path) {
  StopMusic();
  // A piece that cannot be opened leaves the game silent, as a closed device.
  if (plat::MusicOpenPlay(path)) MusicDevice = path;
}

void StopMusic() {
  if (!MusicDevice.empty()) plat::MusicStopClose();
  MusicDevice.clear();
}

void PauseMusic(bool paused) {
  if (!MusicDevice.empty()) plat::MusicPause(paused);
}

bool MusicPlaying() { return !MusicDevice.empty() && plat::MusicIsPlaying(); }

}  // namespace audio
