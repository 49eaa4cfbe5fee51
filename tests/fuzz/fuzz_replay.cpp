// SPDX-License-Identifier: Zlib
// Replay files: any bytes are refused or read; what is read writes back to
// text that reads the same.
#include <cstdlib>
#include <string>
#include <string_view>

#include "shell/replayfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  game::Replay replay;
  std::string error;
  if (!game::ParseReplay(text, replay, error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  const std::string again = game::FormatReplay(replay);
  game::Replay back;
  if (!game::ParseReplay(again, back, error) || game::FormatReplay(back) != again) std::abort();
  return 0;
}
