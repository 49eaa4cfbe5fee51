// SPDX-License-Identifier: Zlib
// The menus that start every game: the title (players, the stage editor or
// quit), the course select (a course, or the endless mode once every
// course is done) and the lists of the player's own courses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace game {

// Both menus repeat a held input after 24 frames, then every 6 frames.
constexpr int32_t kMenuFirstDelay = 24;
constexpr int32_t kMenuRepeatDelay = 6;

// Frames (30 seconds) without input on the title before a demo plays.
constexpr int32_t kDemoIdleFrames = (30000 + 16) / 17;

// Frames of the blinking chosen line that ends a menu.
constexpr int32_t kMenuBlinkFrames = 61;

// The course number of the endless mode.
constexpr int32_t kEndlessCourse = 3;

// Keyboard, joystick 0 and joystick 1 together.
int32_t MenuInput();

// Returns word when it changed or its repeat is due, 0 otherwise. The state
// is shared by both menus and kept for the whole run.
int32_t MenuRepeat(int32_t word, int32_t firstDelay, int32_t repeatDelay);

// The title's lines, top to bottom.
constexpr int32_t kTitleLines = 4;
constexpr int32_t kTitleEditLine = 2;
constexpr int32_t kTitleExitLine = 3;

// Returns with PlayerCount set to 1 or 2; "EDIT STAGES" runs the editor's
// course list and comes back to the title; "EXIT GAME" ends the program.
void TitleMenu();

// One line of a list: a greyed line is shown dimmed and cannot be chosen;
// the note of the line under the cursor shows at the foot.
struct ListItem {
  std::string Text;
  std::string Note;
  bool Greyed = false;
};

// A list under a caption, scrolling when it is longer than the screen;
// returns the line chosen with either button.
int32_t ListMenu(std::string_view caption, const std::vector<ListItem>& items);

// Returns the chosen course 0..3, or kPlayerCourse with the course in
// ChosenPlayerCourse, and leaves it in CourseNo.
int32_t CourseSelect();

// Lines of the course list: the endless mode only for one player who has
// finished all three courses.
int32_t CourseLineCount();

}  // namespace game
