// SPDX-License-Identifier: Zlib
// One attempt at a stage: the frame loop of play, the overlay drawn over
// the restored screen each frame, and what follows a leak.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace puzzle {

// Plays until the water reaches the drain or stops; on return StageNo,
// CourseFinished and Lives have been updated.
void PlayStage();

// One frame of play: events, the players, the water, and unless the water
// has stopped, the frame drawn and shown. Returns the water's result.
int32_t PlayFrame();

// Each frame before the time gauge is drawn: its sound while the water
// waits to start, once.
void StartSoundStep();

// Everything drawn over the restored screen each frame, in a fixed order.
void PlayOverlay(plat::Surface& surface);
// The same without the cursor frames: the stage clear and the inspection.
void ClearOverlay(plat::Surface& surface);
// The bonus label, the queues, the pipe counters and the score line.
void DrawPlayPanels(plat::Surface& surface);
// The queues, the pipe counters and the score line: drawing only, no timer
// of the play screen moves.
void DrawQueuesAndCounters(plat::Surface& surface);

// Route length and requirement of each player in the side panels.
void DrawPipeCounters(plat::Surface& surface);

// The splash at the leak point, then a pause of about three seconds.
void LeakSequence();

// Where the splash is centred: the side of the head cell the water came in by.
void LeakPoint(int32_t& x, int32_t& y);

}  // namespace puzzle
