// SPDX-License-Identifier: Zlib
// Settings files: any bytes read into settings that are all valid, that
// write out as a file reading back the same without a problem.
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/settings.h"

namespace {

bool Same(const plat::Settings& a, const plat::Settings& b) {
  for (int k = 0; k < plat::kActionCount; ++k)
    if (a.Keys.Names[k] != b.Keys.Names[k]) return false;
  return a.Scale == b.Scale && a.FullScreen == b.FullScreen && a.MusicVolume == b.MusicVolume &&
         a.EffectVolume == b.EffectVolume && a.Mute == b.Mute;
}

bool Valid(const plat::Settings& s) {
  for (int k = 0; k < plat::kActionCount; ++k) {
    const char* name = plat::CanonicalKeyName(s.Keys.Names[k]);
    if (name == nullptr || s.Keys.Names[k] != name) return false;
    for (int j = k + 1; j < plat::kActionCount; ++j)
      if (s.Keys.Names[k] == s.Keys.Names[j]) return false;
  }
  return s.Scale >= 0 && s.Scale <= plat::kMaxWindowScale && s.FullScreen >= -1 &&
         s.FullScreen <= 1 && s.MusicVolume >= 0 && s.MusicVolume <= 100 && s.EffectVolume >= 0 &&
         s.EffectVolume <= 100;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> problems;
  const plat::Settings s = plat::ParseSettings(text, "fuzz.ini", problems);
  if (!Valid(s) || problems.size() > 21) std::abort();
  for (const std::string& p : problems)
    for (char c : p)
      if (c < 0x20 || c >= 0x7F) std::abort();
  std::vector<std::string> again;
  if (!Same(plat::ParseSettings(plat::SettingsText(s), "fuzz.ini", again), s) || !again.empty())
    std::abort();
  return 0;
}
