#include "shell/window.h"

#include "audio/midi.h"
#include "platform/platform.h"
#include "render/font.h"
#include "render/surfaces.h"
#include "shell/gamestate.h"
#include "shell/savedata.h"
#include "shell/timer.h"

namespace game {

plat::Surface Form2Scr;

namespace {

constexpr int kKeyF1 = 112;
constexpr int kKeyF12 = 123;
constexpr int kKeyEsc = 27;

int64_t LastTick = 0;
// Display bookkeeping kept for the shutdown; nothing on the monitor changes.
int32_t OrigScreenWidth = 0;
int32_t OrigScreenHeight = 0;
int32_t RequestedWidth = 0;
int32_t RequestedHeight = 0;
plat::Surface Composed;  // the screen with the frame-rate label over it

void CopySurface(const plat::Surface& src, plat::Surface& dst) {
  plat::BitBlt(dst, 0, 0, dst.Width, dst.Height, src, 0, 0, plat::SRCCOPY);
}

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

}  // namespace

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
  plat::Event e;
  while (plat::NextEvent(e)) {
    if (e.Kind == plat::EventKind::KeyDown) {
      int16_t key = static_cast<int16_t>(e.KeyCode);
      int16_t shift = 0;
      Form_KeyDown(key, shift);
    } else if (e.Kind == plat::EventKind::Close) {
      Form_Unload();
    }
  }
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
  if (previous != nullptr && previous != next) CopySurface(*previous, *next);
  ScreenPic = next;
  plat::SetDisplayMode(FullScreen);
}

void ShowScreen() {
  if (ScreenPic == nullptr) return;
  if (!StatusVisible || FullScreen != 0) {
    plat::Present(*ScreenPic);
    return;
  }
  Composed = *ScreenPic;
  DrawStatusLabel(Composed);
  plat::Present(Composed);
}

void Form_Unload() {
  TermSyncTimer(1);
  WriteSaveData();
  RestoreDisplayMode();
  audio::StopMusic();
  plat::EndProcess(0);
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
