// SPDX-License-Identifier: Zlib
// sfxgen OUTDIR: synthesises the game's sound effects into OUTDIR/se00.wav .. se18.wav.
#include <cstdio>
#include <string>

#include "effects.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sfxgen OUTDIR\n");
    return 2;
  }
  for (int i = 0; i < sfx::kEffectCount; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/se%02d.wav", i);
    const std::string path = argv[1] + std::string(name);
    const sfx::Buffer b = sfx::MakeEffect(i);
    if (!sfx::WriteWav(path, b)) {
      std::fprintf(stderr, "sfxgen: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
