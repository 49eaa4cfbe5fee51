// SPDX-License-Identifier: Zlib
#include "shell/window.h"

#include "audio/midi.h"
#include "input/joystick.h"
#include "platform/platform.h"
#include "render/font.h"
#include "render/surfaces.h"
#include "shell/gamestate.h"
#include "shell/replay.h"
#include "shell/savedata.h"
#include "shell/timer.h"

namespace game {

plat::Surface Form2Scr;

namespace {

constexpr int kKeyF1 = 112;
constexpr int kKeyF12 = 123;
constexpr int kKeyEsc = 27;
constexpr int kKeyP = 0x50;
constexpr uint32_t kResumeButtons = input::kPlaceGroup | input::kHurryGroup;

int64_t LastTick = 0;
// Display bookkeeping kept for the shutdown; nothing on the monitor changes.
int32_t OrigScreenWidth = 0;
int32_t OrigScreenHeight = 0;
int32_t RequestedWidth = 0;
int32_t RequestedHeight = 0;
plat::Surface Composed;  // the screen with the frame-rate label over it

bool Paused = false;
bool Focused = true;
bool PauseLabel = false;

// The frame-rate label sits over the top-left corner of the window.
void DrawStatusLabel(plat::Surface& s) {
  const int width = 16 * static_cast<int>(StatusCaption.size()) + 8;
  plat::FillRect(s, 0, 0, width, 22, 0x202030);
  plat::DrawBox(s, 0, 0, width - 1, 21, 0x8080A0);
  int32_t color = render::GameFont.FontColor();
  render::GameFont.FontColor(0);
  render::GameFont.PutCstring(s, 4, 3, StatusCaption);
  render::GameFont.FontColor(color);
}

// Read afresh on every pass: the paused loop has no game frames.
uint32_t ResumeButtonsHeld() {
  input::ReleaseFrameWords();
  return (input::ReadKeyboard() | input::ReadJoystick(0) | input::ReadJoystick(1)) & kResumeButtons;
}

// A replay is watched, not played: any key but Esc ends it, and it does
// not pause.
bool ReplayEvent(const plat::Event& e) {
  if (!ReplayPlaying() || e.Kind == plat::EventKind::Close) return false;
  if (e.Kind == plat::EventKind::KeyDown && e.KeyCode == kKeyEsc) return false;  // leaves the game
  if (e.Kind == plat::EventKind::KeyDown || e.Kind == plat::EventKind::OtherKey) RequestReplayEnd();
  if (e.Kind == plat::EventKind::FocusLost || e.Kind == plat::EventKind::FocusGained) return false;
  return true;
}

void HandleEvent(const plat::Event& e) {
  if (ReplayEvent(e)) return;
  if (e.Kind == plat::EventKind::KeyDown) {
    int16_t key = static_cast<int16_t>(e.KeyCode);
    int16_t shift = 0;
    Form_KeyDown(key, shift);
  } else if (e.Kind == plat::EventKind::Close) {
    Form_Unload();
  } else if (e.Kind == plat::EventKind::FocusLost) {
    Focused = false;
    Paused = !ReplayPlaying();
  } else if (e.Kind == plat::EventKind::FocusGained) {
    Focused = true;
  }
}

void PumpEvents() {
  plat::Event e;
  while (plat::NextEvent(e)) HandleEvent(e);
}

// The paused picture: the play picture dimmed with "PAUSE" over it, or the
// screen as it stands.
void ShowPausePicture() {
  if (!PauseLabel || ScreenPic == nullptr) {
    ShowScreen();
    return;
  }
  Composed = *ScreenPic;
  for (uint32_t& p : Composed.Pixels) p = (p >> 1) & 0x7F7F7F;
  plat::Changed(Composed);
  const int32_t x = (Composed.Width - 5 * render::GameFont.FontSizeX()) / 2;
  const int32_t y = (Composed.Height - render::GameFont.FontSizeY()) / 2;
  int32_t color = render::GameFont.FontColor();
  render::GameFont.FontColor(5);
  render::ShadowText(Composed, x, y, "PAUSE", 1);
  render::GameFont.FontColor(color);
  plat::Present(Composed);
}

// Holds the running frame loop until P, Start or a place or hurry button
// (with the window focused) resumes it. Window keys keep working.
void RunPause() {
  plat::LogPause(true);
  audio::PauseMusic(true);
  const int64_t start = plat::NowMs();
  uint32_t held = ResumeButtonsHeld();
  while (Paused) {
    ShowPausePicture();
    plat::PauseFrame();
    PumpEvents();
    uint32_t now = ResumeButtonsHeld();
    if (Focused && (now & ~held) != 0) Paused = false;
    held = now;
  }
  input::SuppressHeldInput();
  audio::PauseMusic(false);
  plat::LogPause(false);
  LastTick += plat::NowMs() - start;  // the paused time is not counted
}

}  // namespace

void SetPauseLabel(bool shown) { PauseLabel = shown; }
bool GamePaused() { return Paused; }

void Form1_Load() {
  AppPath = plat::ProgramFolder();
  if (AppPath.empty() || AppPath.back() != '/') AppPath += '/';
  DataPath = AppPath + "data/";
  SoundPath = AppPath + "sound/";
  render::InitSurfaces();
  ScreenPic = &render::Scr;
  plat::Resize(render::FirstMap, render::Scr.Width, render::Scr.Height);
  OrigScreenWidth = render::Scr.Width;
  OrigScreenHeight = render::Scr.Height;
  SaveDisplayMode();
  InitSyncTimer(1);
  LastTick = plat::NowMs();
}

void Form2_Load() { plat::Resize(Form2Scr, render::Scr.Width, render::Scr.Height); }

void DoEvents() {
  PumpEvents();
  if (Paused) RunPause();
  int64_t now = plat::NowMs();
  if (now - LastTick >= 1000) {
    LastTick = now;
    Timer1_Timer();
  }
}

void Form_KeyDown(int16_t& keyCode, int16_t&) {
  if (keyCode == kKeyF1) {
    SwitchToDisplayMode(FullScreen != 0 ? 0 : 1);
  } else if (keyCode == kKeyF12) {
    StatusVisible = !StatusVisible;
  } else if (keyCode == kKeyEsc) {
    Form_Unload();
  } else if (keyCode == kKeyP) {
    Paused = !Paused;
  }
}

void SwitchToDisplayMode(int32_t full) {
  plat::Surface* previous = ScreenPic;
  plat::Surface* next;
  if (full != 0) {
    ChangeScreenSize(640, 400);
    FullScreen = 1;
    next = &Form2Scr;
  } else {
    ChangeScreenSize(OrigScreenWidth, OrigScreenHeight);
    FullScreen = 0;
    next = &render::Scr;
  }
  if (previous != nullptr && previous != next) plat::RestoreFrom(*next, *previous);
  ScreenPic = next;
  plat::SetDisplayMode(FullScreen);
}

// "DEMO PLAY" over the foot of the board while a demo plays, clear of the
// time gauge below it.
constexpr int32_t kDemoLabelY = 272;

void DrawDemoLabel(plat::Surface& s) {
  const int32_t x = (s.Width - 9 * render::GameFont.FontSizeX()) / 2;
  const int32_t y = kDemoLabelY;
  int32_t color = render::GameFont.FontColor();
  render::GameFont.FontColor(6);
  render::ShadowText(s, x, y, "DEMO PLAY", 1);
  render::GameFont.FontColor(color);
}

void ShowScreen() {
  if (ScreenPic == nullptr) return;
  if (DemoPlaying()) {
    Composed = *ScreenPic;
    DrawDemoLabel(Composed);
    if (StatusVisible && FullScreen == 0) DrawStatusLabel(Composed);
    plat::Present(Composed);
    return;
  }
  if (!StatusVisible || FullScreen != 0) {
    plat::Present(*ScreenPic);
    return;
  }
  Composed = *ScreenPic;
  DrawStatusLabel(Composed);
  plat::Present(Composed);
}

namespace {
void (*UnloadHook)() = nullptr;
}  // namespace

void SetUnloadHook(void (*hook)()) { UnloadHook = hook; }

void Form_Unload() { RunShutdown(0); }

void RunShutdown(int status) {
  if (UnloadHook != nullptr) UnloadHook();
  TermSyncTimer(1);
  LeaveDemo();
  WriteSaveData();
  RestoreDisplayMode();
  audio::StopMusic();
  plat::EndProcess(status);
}

void SaveDisplayMode() {
  RequestedWidth = OrigScreenWidth;
  RequestedHeight = OrigScreenHeight;
}

void RestoreDisplayMode() {
  RequestedWidth = OrigScreenWidth;
  RequestedHeight = OrigScreenHeight;
}

void ChangeScreenSize(int32_t width, int32_t height) {
  RequestedWidth = width;
  RequestedHeight = height;
}

}  // namespace game
