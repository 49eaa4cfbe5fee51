// SPDX-License-Identifier: Zlib
// Save files: any bytes load into a record that saves and loads back the same.

#include <cstdlib>
#include <cstring>
#include <fstream>

#include "scratch.h"
#include "shell/gamestate.h"
#include "shell/savedata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = FuzzFolder("save");
  game::DataPath = folder;
  {
    std::ofstream out(folder + "ductora.dat", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  game::LoadSaveData();
  game::SaveRecord first = game::SaveData;
  game::FullScreen = first.StartFullScreen;
  game::WriteSaveData();
  game::LoadSaveData();
  if (std::memcmp(&first.HiScore, &game::SaveData.HiScore, sizeof first.HiScore) != 0 ||
      first.ClearedMask != game::SaveData.ClearedMask)
    std::abort();
  return 0;
}
