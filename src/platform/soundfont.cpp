// SPDX-License-Identifier: Zlib
#include "platform/soundfont.h"

#include <sys/stat.h>

namespace plat {

namespace {

// stat follows links, so the default-GM.sf2 alternative counts when the
// file it leads to is there.
bool RegularFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string ExistingOf(const std::string& list) {
  std::string found;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    const std::string path = list.substr(start, end - start);
    if (RegularFile(path)) found += (found.empty() ? "" : ";") + path;
    start = end + 1;
  }
  return found;
}

}  // namespace

std::vector<std::string> UsualSoundFonts() {
  return {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
          "/usr/share/sounds/sf2/FluidR3_GM.sf2"};
}

std::string ChooseSoundFonts(const char* envPaths, const std::vector<std::string>& usual) {
  if (envPaths != nullptr) {
    const std::string named = ExistingOf(envPaths);
    if (!named.empty()) return named;
  }
  for (const std::string& path : usual)
    if (RegularFile(path)) return path;
  return "";
}

}  // namespace plat
