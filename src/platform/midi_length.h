// SPDX-License-Identifier: Zlib
// Playing length of a Standard MIDI file, for a back end without a synthesiser.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plat {

// Length in ms of a Standard MIDI file, from its tempo map; false for a file that is not a valid
// SMF.
bool MidiLengthMs(const uint8_t* data, size_t size, int64_t& ms);

}  // namespace plat
