// SPDX-License-Identifier: Zlib
// The bot in the endless world: it sees the well, the falling piece and the
// piece under NEXT, and for each new piece chooses where it goes (looking at
// where NEXT could go after it) so that pipe ends meet and circuits close,
// holes and dead ends are few and the stack stays low. It turns and shifts
// no faster than a player (one press at most every 6 frames, never two at
// once) and holds Down once the piece is over its place.
#pragma once

#include <cstdint>

namespace bot {

// Forgets the last game; seed makes equal choices repeatable.
void ResetEndlessPlay(uint32_t seed);

// Player 1's input word for this frame of the endless mode.
uint32_t EndlessPlayWord(int64_t frame);

}  // namespace bot
