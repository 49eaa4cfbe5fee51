// SPDX-License-Identifier: Zlib
// Save files: any bytes load into a record that saves and loads back the same.
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "shell/gamestate.h"
#include "shell/savedata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = [] {
    // Memory-backed when possible: every save is flushed to disk.
    std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    static std::string made = base + "/ductora-fuzz-save-XXXXXX";
    if (mkdtemp(made.data()) == nullptr) std::abort();
    std::atexit([] { std::filesystem::remove_all(made); });
    return made + "/";
  }();
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
