// SPDX-License-Identifier: Zlib
// Bounded reads of the files the game reads: a FIFO, a device, a folder or
// a huge file in place of a save file, a course, an effect or a tune can
// neither hang the game nor exhaust its memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

enum class FileRead { Ok, Missing, NotRegular, TooLarge, Unreadable };

// Opens path without blocking, checks that it is a regular file and reads at
// most limit bytes of it. TooLarge: the file is longer than limit, and out
// holds its first limit bytes (a reader that needs only a prefix may use
// them). On any other failure out is left as it was.
FileRead ReadFileUpTo(const std::string& path, size_t limit, std::vector<uint8_t>& out);

// What went wrong, for messages: "missing", "not a regular file" ...
const char* FileReadText(FileRead result);

// The largest tune the game plays: the shipped ones are a few kilobytes.
constexpr size_t kMusicFileLimit = size_t{4} << 20;

}  // namespace plat
