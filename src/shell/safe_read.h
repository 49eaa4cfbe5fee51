// SPDX-License-Identifier: Zlib
// Whole-file reads for the game's data files: a read error of the disk
// must only ever give the caller's message, whatever the file layer does.
#pragma once

#include <exception>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace game {

inline bool ReadFileSafely(const std::string& path, std::vector<uint8_t>& bytes) {
  try {
    return plat::ReadWholeFile(path, bytes);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace game
