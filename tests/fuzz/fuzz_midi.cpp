// SPDX-License-Identifier: Zlib
// Music files: any bytes give a length or a refusal, never a hang.
#include "platform/midi_length.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int64_t ms = 0;
  plat::MidiLengthMs(data, size, ms);
  return 0;
}
