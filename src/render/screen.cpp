#include "render/screen.h"

#include "render/surfaces.h"
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

void CopySurface(const plat::Surface& source, plat::Surface& destination) {
  plat::BitBlt(destination, 0, 0, destination.Width, destination.Height, source, 0, 0,
               plat::SRCCOPY);
}

}  // namespace render
