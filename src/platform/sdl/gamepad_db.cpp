// SPDX-License-Identifier: Zlib
#include "platform/sdl/gamepad_db.h"

#include <SDL.h>

#include <cstdint>
#include <vector>

#include "platform/files.h"
#include "platform/settings.h"

namespace plat::gamepads {

namespace {
// The community's file with every known pad is under 1 MiB.
constexpr size_t kMappingsLimit = size_t{8} << 20;
}  // namespace

std::string MappingsFile() { return UserConfigFolder() + "gamecontrollerdb.txt"; }

int AddMappings(const std::string& path, std::string& problem) {
  std::vector<uint8_t> data;
  const FileRead got = ReadFileUpTo(path, kMappingsLimit, data);
  if (got == FileRead::Missing) return 0;
  if (got != FileRead::Ok) {
    problem = path + ": " + FileReadText(got) + "; no gamepad mappings read from it";
    return 0;
  }
  if (data.empty()) return 0;
  SDL_RWops* rw = SDL_RWFromConstMem(data.data(), static_cast<int>(data.size()));
  const int added = rw != nullptr ? SDL_GameControllerAddMappingsFromRW(rw, 1) : -1;
  if (added < 0) {
    problem = path + ": " + SDL_GetError();
    return 0;
  }
  return added;
}

}  // namespace plat::gamepads
