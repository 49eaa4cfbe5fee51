// SPDX-License-Identifier: Zlib
// The player's gamepad mappings file: any bytes are read and handed to SDL
// without a crash, and never add more mappings than the file has lines.
#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/sdl/gamepad_db.h"
#include "scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = [] {
    if (SDL_Init(SDL_INIT_GAMECONTROLLER) != 0) std::abort();
    return FuzzFolder("pads") + "gamecontrollerdb.txt";
  }();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::string problem;
  const int added = plat::gamepads::AddMappings(path, problem);
  const long lines = std::count(data, data + size, '\n') + 1;
  if (added < 0 || added > lines) std::abort();
  return 0;
}
