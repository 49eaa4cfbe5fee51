// SPDX-License-Identifier: Zlib
// Drawing that works on a whole screen rather than on the board.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace render {

// Blacks the rectangle (x1, y1)-(x2, y2), both corners included.
void ClearRect(plat::Surface& s, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void DrawTitleLogo(plat::Surface& s);
// The texture band scrolling one pixel right per call, seen through the caption.
void DrawCourseCaption(plat::Surface& s, int32_t y);
// The grid of 32-pixel boxes shown while the sheets load; shows the surface.
void FillStartupScreen(plat::Surface& s);
// The stage opening: the play screen slides together from both sides over
// 31 frames, odd rows from the right and even rows from the left.
void StageSlideIn(plat::Surface& s);
// Frame k (0..30) of the slide: each row copied onto itself 30 - k pixels
// towards its side; the strip it leaves keeps what was there.
void SlideRows(plat::Surface& s, int32_t k);

int32_t CaptionScroll();

}  // namespace render
