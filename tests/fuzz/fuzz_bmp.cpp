// SPDX-License-Identifier: Zlib
// Picture files: any bytes give a picture of sane size or a clean refusal.
#include <cstdlib>

#include "platform/platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  plat::Surface s;
  std::string err;
  if (plat::ReadBmp8(data, size, s, err)) {
    if (s.Width <= 0 || s.Height <= 0 || s.Pixels.size() != static_cast<size_t>(s.Width) * s.Height)
      std::abort();
    for (uint32_t p : s.Pixels)
      if (p > 0xFFFFFF) std::abort();
  } else if (err.empty()) {
    std::abort();
  }
  return 0;
}
