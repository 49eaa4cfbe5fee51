// SPDX-License-Identifier: Zlib
// A scratch folder for one fuzz run, with a trailing slash: memory-backed
// when possible (every save is flushed to disk), removed at the exit. A
// target asks for it once.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

inline std::string FuzzFolder(const std::string& tag) {
  static std::string made;
  const std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  made = base + "/ductora-fuzz-" + tag + "-XXXXXX";
  if (mkdtemp(made.data()) == nullptr) std::abort();
  std::atexit([] { std::filesystem::remove_all(made); });
  return made + "/";
}
