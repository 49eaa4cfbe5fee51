// SPDX-License-Identifier: Zlib
// Runner input scripts: any text is read or refused with a line number.
#include <cstdlib>
#include <string>

#include "platform/headless/runner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::string err;
  headless::Reset();
  if (!headless::LoadScript(text, err) && err.rfind("line ", 0) != 0) std::abort();
  return 0;
}
