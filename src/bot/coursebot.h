// SPDX-License-Identifier: Zlib
// The bot's stage play: one or two bots that see what the players see (the
// board, the water, their five queued pieces, the time gauge), build a
// route to the drain with the pieces they get, park what does not fit, and
// hurry the water once the route is done. They act no faster than a good
// player: a cursor step at most every 6 frames, a lay at most every 10,
// never two actions in one frame.
#pragma once

#include <cstdint>

namespace bot {

constexpr int32_t kStepFrames = 6;
constexpr int32_t kLayFrames = 10;

// Forgets the last stage; seed makes equal choices repeatable.
void ResetStagePlay(uint32_t seed);

// The input word of player p for this frame of stage play (call once per
// player and frame, in player order).
uint32_t StagePlayWord(int32_t p, int64_t frame);

// Frames the water still had to run to the drain when the route was first
// closed with enough pipe in this stage; -1 while it has not been.
int32_t ClosedMargin();

// Frames the water needs from now to the drain along the route as it
// stands at its unhurried speed, or -1 when the route does not get there.
int32_t WaterFramesToDrain();

}  // namespace bot
