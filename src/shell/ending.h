// SPDX-License-Identifier: Zlib
// The ending of a finished course: the congratulation page and the staff
// roll, page after page, each dissolved away to black.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace game {

// Plays the ending; updates the hi-score and saves before the last fade.
void Ending();
// Draws text in a font colour, centred across the picture.
void CenterText(plat::Surface& pic, int32_t color, int32_t y, std::string_view text);
// Blackens the whole picture in four random steps of 8 x 8 squares.
void DissolveOut(plat::Surface& pic);
void Swap(int32_t& a, int32_t& b);

// The name lines of each page of the roll, read from the staff-roll text:
// "[N]" starts page N, every other non-empty line that does not start with
// '#' is the next name line of that page.
using CreditPages = std::vector<std::vector<std::string>>;
CreditPages ParseCredits(std::string_view text);

// One line of a page as it is drawn.
struct RollLine {
  int32_t Color;
  int32_t Y;
  std::string Text;
};
constexpr int kRollPages = 22;
// The lines of page n with the names filled in (missing names draw nothing).
std::vector<RollLine> RollPage(int n, const CreditPages& credits, int32_t height);
// Frames page n is held (page 21 waits for the music first).
int32_t RollHold(int n);

}  // namespace game
