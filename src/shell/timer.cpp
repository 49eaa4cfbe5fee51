// SPDX-License-Identifier: Zlib
#include "shell/timer.h"

#include "input/joystick.h"
#include "platform/platform.h"
#include "shell/gamestate.h"
#include "shell/replay.h"

namespace game {

std::string StatusCaption = "FPS : 0";
bool StatusVisible = false;

namespace {

int64_t LastFrameTime = 0;
// The monotonic clock is exact to the millisecond without any raised system
// resolution; the chosen period is still kept so the shutdown can end it.
constexpr TimeCaps TimerCaps = {1, 1000000};
int32_t ChosenPeriod = 0;

}  // namespace

void InitSyncTimer(int32_t resolution) {
  if (resolution == 0) resolution = 1;
  if (resolution < static_cast<int32_t>(TimerCaps.wPeriodMin) ||
      resolution > static_cast<int32_t>(TimerCaps.wPeriodMax))
    resolution = static_cast<int32_t>(TimerCaps.wPeriodMin);
  ChosenPeriod = resolution;
}

void TermSyncTimer(int32_t) { ChosenPeriod = 0; }

int32_t TimerPeriod() { return ChosenPeriod; }

void WaitFrame(int32_t ms) {
  int64_t deadline = LastFrameTime + ms;
  if (plat::NowMs() < deadline) plat::WaitUntil(deadline);
  LastFrameTime = plat::NowMs();
  plat::FrameMark();
  input::FrameDone();
  CheckReplayEnd();
}

int64_t LastFrameMark() { return LastFrameTime; }

void Timer1_Timer() {
  StatusCaption = "FPS : " + std::to_string(FrameCount);
  FrameCount = 0;
}

}  // namespace game
