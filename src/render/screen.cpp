// SPDX-License-Identifier: Zlib
#include "render/screen.h"

#include "puzzle/players.h"
#include "puzzle/playstage.h"
#include "render/playdraw.h"
#include "render/surfaces.h"
#include "shell/gamestate.h"
#include "shell/timer.h"
#include "shell/window.h"

namespace render {

namespace {
int32_t CaptionOffset = 0;
}

int32_t CaptionScroll() { return CaptionOffset; }

void ClearRect(plat::Surface& s, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  plat::BitBlt(s, x1, y1, x2 - x1 + 1, y2 - y1 + 1, s, 0, 0, plat::BLACKNESS);
}

void DrawTitleLogo(plat::Surface& s) {
  plat::BitBlt(s, 0, 24, s.Width, 200, TitlePic, 0, 0, plat::SRCCOPY);
}

void DrawCourseCaption(plat::Surface& s, int32_t y) {
  const int32_t w = s.Width;
  if (w <= 0) return;
  const int32_t off = CaptionOffset;
  plat::BitBlt(s, 0, y, w - off, 80, BackPic, off, 0, plat::SRCCOPY);
  plat::BitBlt(s, w - off, y, off, 80, BackPic, 0, 0, plat::SRCCOPY);
  CaptionOffset = (w + off - 1) % w;
  plat::BitBlt(s, 0, y, w, 96, TitlePic, 0, 256, plat::SRCAND);
}

void FillStartupScreen(plat::Surface& s) {
  plat::FillRect(SysPic, 0, 0, 32, 32, SysPic.BackColor);
  plat::DrawBox(SysPic, 0, 0, 31, 31, SysPic.ForeColor);
  for (int32_t r = 0; r <= s.Height / 32; ++r)
    for (int32_t c = 0; c <= s.Width / 32; ++c)
      plat::BitBlt(s, 32 * c, 32 * r, 32, 32, SysPic, 0, 0, plat::SRCCOPY);
  game::ShowScreen();
}

void SlideRows(plat::Surface& s, int32_t k) {
  for (int32_t r = 0; r <= s.Height; ++r) {
    const int32_t x = (r % 2 == 1) ? 30 - k : k - 30;
    plat::BitBlt(s, x, r, s.Width, 1, s, 0, r, plat::SRCCOPY);
  }
}

// When the caller slides the screen itself, the slide follows the screen
// across a display-mode switch instead of drawing on the hidden one.
void StageSlideIn(plat::Surface& s) {
  const bool onScreen = &s == game::ScreenPic;
  for (int32_t k = 0; k <= 30; ++k) {
    game::DoEvents();
    plat::Surface& target = onScreen ? *game::ScreenPic : s;
    RestoreScreen(target);
    DrawNextQueues(target);
    puzzle::DrawPipeCounters(target);
    puzzle::StartSoundStep();
    DrawTimeGauge(target);
    DrawWaterHead(target);
    SlideRows(target, k);
    puzzle::SettleScores();
    DrawScorePanel(target);
    game::ShowScreen();
    game::WaitFrame(17);
  }
}

}  // namespace render
