// SPDX-License-Identifier: Zlib
// Whole-file reads for the game's data files: a read error of the disk
// must only ever give the caller's message, whatever the file layer does.
#pragma once

#include <exception>
#include <string>
#include <vector>

#include "platform/files.h"

namespace game {

inline plat::FileRead ReadFileSafely(const std::string& path, size_t limit,
                                     std::vector<uint8_t>& bytes) {
  try {
    return plat::ReadFileUpTo(path, limit, bytes);
  } catch (const std::exception&) {
    return plat::FileRead::Unreadable;
  }
}

}  // namespace game
