// SPDX-License-Identifier: Zlib
#include "puzzle/playstage.h"

#include "audio/midi.h"
#include "audio/wavedef.h"
#include "puzzle/players.h"
#include "puzzle/stageclear.h"
#include "puzzle/water.h"
#include "render/font.h"
#include "render/playdraw.h"
#include "render/surfaces.h"
#include "shell/gamestate.h"
#include "shell/timer.h"
#include "shell/window.h"

namespace puzzle {

namespace {

constexpr int32_t kFrameMs = 17;
constexpr int32_t kLeakSound = 7;
constexpr int32_t kSplashSteps = 9;
constexpr int32_t kSplashStepMs = 40;
constexpr int32_t kLeakPauseFrames = 181;
constexpr int32_t kShortMessageMs = 3000;
constexpr int32_t kGaugeSound = 9;

// 0 until the gauge's sound has played while the water waits to start; back
// to 0 once it runs.
int16_t StartSoundFlag = 0;

// The screen may change between window events (the display-mode key), so
// it is looked up afresh after every event pump.
plat::Surface& Screen() { return *game::ScreenPic; }

// The start of every frame: events, the players, then the water.
int32_t AdvancePlay() {
  game::DoEvents();
  UpdatePlayers();
  return StepWater();
}

// The board is restored before a finished replacement drops its piece in,
// so the piece shows from the next frame on.
void DrawPlayFrame() {
  plat::Surface& screen = Screen();
  render::RestoreScreen(screen);
  render::DrawWaterHead(render::FirstMap);
  FinishReplacements();
  SettleScores();
  PlayOverlay(screen);
  StartSoundStep();
  render::DrawTimeGauge(screen);
  audio::EffectTick();
  game::WaitFrame(kFrameMs);
  game::ShowScreen();
  game::FrameCount += 1;
}

void DrawSplashStep(plat::Surface& screen, int32_t i, int32_t lx, int32_t ly) {
  const int32_t s = 16 + 32 * i;
  const int32_t x = lx - s / 2;
  const int32_t y = ly - s / 2;
  plat::StretchBlt(screen, x, y, s, s, render::WaterMaskPic, 0, 384, 80, 80, plat::SRCAND);
  plat::StretchBlt(screen, x, y, s, s, render::WaterPic, 0, 384, 80, 80, plat::SRCPAINT);
}

// The drain was reached with too little of someone's pipe on the route.
void ShowShortOfPipe() {
  plat::Surface& screen = Screen();
  render::TextBand(screen, 64, 128, "REQUIRE THE MORE PIPE !!");
  render::GameFont.FontColor(3);
  render::OutlineText(screen, 64, 128, "REQUIRE THE MORE PIPE !!", 0);
  game::ShowScreen();
  game::WaitFrame(kShortMessageMs);
}

void CounterPair(plat::Surface& surface, int32_t p, int32_t x) {
  const PlayerInfo& pl = Players[p];
  render::ShadowText(surface, x, 276, render::RightAligned(pl.Passed + pl.Ahead, 2), 1);
  render::ShadowText(surface, x, 304, render::RightAligned(pl.Required, 2), 1);
}

}  // namespace

void StartSoundStep() {
  if (Water.Progress >= kCellProgress)
    StartSoundFlag = 0;
  else if (StartSoundFlag == 0) {
    audio::PlayEffect(kGaugeSound);
    StartSoundFlag = -1;
  }
}

int32_t PlayFrame() {
  const int32_t r = AdvancePlay();
  if (r == kWaterRunning) DrawPlayFrame();
  return r;
}

void PlayStage() {
  game::SetPauseLabel(true);
  game::CurrentScreen = game::ScreenKind::Play;
  int32_t r = kWaterRunning;
  while (r == kWaterRunning) r = PlayFrame();
  game::CurrentScreen = game::ScreenKind::Other;
  game::SetPauseLabel(false);
  if (r == kWaterCleared) {
    BonusInspection();
    game::StageNo += 1;
    if (game::StageNo >= game::StageCount) game::CourseFinished = -1;
    return;
  }
  LeakSequence();
  game::Lives -= 1;
  if (r == kWaterShort) ShowShortOfPipe();
}

void PlayOverlay(plat::Surface& surface) {
  render::DrawReplaceEffects(surface);
  render::DrawCursors(surface);
  DrawPlayPanels(surface);
}

void ClearOverlay(plat::Surface& surface) {
  render::DrawReplaceEffects(surface);
  DrawPlayPanels(surface);
}

void DrawPlayPanels(plat::Surface& surface) {
  SpecialPipeBonus(surface, false, -1, -1);
  DrawQueuesAndCounters(surface);
}

void DrawQueuesAndCounters(plat::Surface& surface) {
  render::DrawNextQueues(surface);
  DrawPipeCounters(surface);
  render::DrawScorePanel(surface);
}

void DrawPipeCounters(plat::Surface& surface) {
  render::GameFont.FontColor(5);
  CounterPair(surface, 0, render::QueueX(0));
  if (game::PlayerCount != 1) CounterPair(surface, 1, render::QueueX(1));
}

// For a leak the point is the border between the last cell run through and
// the one that refused the water; at a drain reached short, its inlet.
void LeakPoint(int32_t& x, int32_t& y) {
  x = render::kBoardLeft + render::kCellSize * Water.HeadX + 16;
  y = render::kBoardTop + render::kCellSize * Water.HeadY + 16;
  switch (Water.InDir) {
    case 0:
      y += 16;
      break;
    case 1:
      x -= 16;
      break;
    case 2:
      y -= 16;
      break;
    case 3:
      x += 16;
      break;
    default:
      break;
  }
}

void LeakSequence() {
  int32_t lx = 0, ly = 0;
  LeakPoint(lx, ly);
  audio::StopMusic();
  audio::PlayEffect(kLeakSound);
  for (int32_t i = 0; i < kSplashSteps; ++i) {
    plat::Surface& screen = Screen();
    DrawSplashStep(screen, i, lx, ly);
    SettleScores();
    render::DrawScorePanel(screen);
    game::ShowScreen();
    game::WaitFrame(kSplashStepMs);
    audio::EffectTick();
  }
  for (int32_t i = 0; i < kLeakPauseFrames; ++i) {
    game::DoEvents();
    game::WaitFrame(kFrameMs);
  }
}

}  // namespace puzzle
