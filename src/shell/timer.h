// SPDX-License-Identifier: Zlib
// Frame pacing: every frame loop and timed pause ends its step with WaitFrame.
#pragma once

#include <cstdint>
#include <string>

namespace game {

struct TimeCaps {
  uint32_t wPeriodMin;
  uint32_t wPeriodMax;
};

void InitSyncTimer(int32_t resolution);
void TermSyncTimer(int32_t resolution);
// Waits until ms milliseconds have passed since the end of the previous call.
void WaitFrame(int32_t ms);
// The one-second tick: the label shows the frames counted, counting restarts.
void Timer1_Timer();

int64_t LastFrameMark();
int32_t TimerPeriod();
// Caption and visibility of the frame-rate label.
extern std::string StatusCaption;
extern bool StatusVisible;

}  // namespace game
