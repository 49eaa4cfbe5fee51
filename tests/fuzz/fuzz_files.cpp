// SPDX-License-Identifier: Zlib
// The bounded read: for any file and any limit, the bytes read back are the
// file (Ok) or exactly its first limit bytes (TooLarge), never more.

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = FuzzFolder("files") + "file";
  if (size < 2) return 0;
  // The first two bytes choose the limit, the rest is the file.
  const size_t limit = static_cast<size_t>(data[0]) | static_cast<size_t>(data[1]) << 8;
  const uint8_t* body = data + 2;
  const size_t length = size - 2;
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(body), static_cast<std::streamsize>(length));
  }
  std::vector<uint8_t> got;
  const plat::FileRead read = plat::ReadFileUpTo(path, limit, got);
  const plat::FileRead want = length <= limit ? plat::FileRead::Ok : plat::FileRead::TooLarge;
  const size_t kept = length <= limit ? length : limit;
  if (read != want || got.size() != kept) std::abort();
  if (kept > 0 && std::memcmp(got.data(), body, kept) != 0) std::abort();
  return 0;
}
