#include "shell/mainmodule.h"

#include "audio/wavedef.h"
#include "platform/platform.h"
#include "puzzle/board.h"
#include "render/screen.h"
#include "render/sheets.h"
#include "shell/gamestate.h"
#include "shell/random.h"
#include "shell/savedata.h"
#include "shell/timer.h"
#include "shell/window.h"

namespace game {

namespace {

// Frames of a screen with nothing on it yet: the start-up grid stays up
// until the player quits.
[[noreturn]] void RunIdleFrames() {
  for (;;) {
    DoEvents();
    audio::EffectTick();
    WaitFrame(17);
    ShowScreen();
  }
}

}  // namespace

void InitGameData() {
  PlayerCount = 1;
  LoadSaveData();
  SwitchToDisplayMode(SaveData.StartFullScreen);
}

void Main() {
  Randomize(plat::RandomSeed());
  Form1_Load();
  Form2_Load();
  InitGameData();
  render::FillStartupScreen(*ScreenPic);
  render::LoadImages();
  puzzle::InitChipTable();
  RunIdleFrames();
}

}  // namespace game
