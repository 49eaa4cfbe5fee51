// SPDX-License-Identifier: Zlib
#include "shell/menus.h"

#include <string>
#include <string_view>

#include "audio/wavedef.h"
#include "input/joystick.h"
#include "puzzle/players.h"
#include "render/font.h"
#include "render/playdraw.h"
#include "render/screen.h"
#include "shell/courselist.h"
#include "shell/gamestate.h"
#include "shell/replay.h"
#include "shell/savedata.h"
#include "shell/timer.h"
#include "shell/window.h"

namespace game {

namespace {

constexpr int32_t kPlainColor = 1;  // unselected lines and every shadow
constexpr int32_t kFrameMs = 17;

constexpr int kSoundCursor = 2;
constexpr int kSoundConfirm = 4;
constexpr int kSoundType = 15;

constexpr std::string_view kTitleText[kTitleLines] = {"START 1 PLAYER", "START 2 PLAYERS",
                                                      "EDIT STAGES", "EXIT GAME"};
constexpr int32_t kTitleColor[kTitleLines] = {3, 4, 2, 5};
// Four lines fit between the logo and the foot of the screen.
constexpr int32_t kTitleX = 144;
constexpr int32_t kTitleY = 238;
constexpr int32_t kTitleStep = 28;

constexpr int32_t kListX = 48;
constexpr int32_t kListCaptionY = 36;
constexpr int32_t kListY = 72;
constexpr int32_t kListStep = 24;
constexpr int32_t kListRows = 9;  // lines shown at once
constexpr int32_t kListNoteY = 304;
constexpr int32_t kListColor = 5;
constexpr int32_t kNoteColor = 3;

constexpr int32_t kCourseLinesMax = 4;
// The course list's texts by course number; the player's courses last.
constexpr int32_t kCourseTexts = kPlayerCourse + 1;
constexpr std::string_view kCourseText[kCourseTexts] = {
    "COURSE A (EASY)", "COURSE B (NORMAL)", "COURSE C (EXPERT)", "HEYLAW", "MY COURSES"};
constexpr std::string_view kWorldName[kCourseTexts] = {"LITTLE BEAR'S WORLD", "IRON&GLASS WORLD",
                                                       "STRANGE METAL-WORLD", "ENDLESS WORLD",
                                                       "WORLDS OF YOUR OWN"};
constexpr int32_t kCourseColor = 5;
constexpr int32_t kWorldColor = 6;
constexpr int32_t kCourseX = 112;
constexpr int32_t kCourseY = 144;
constexpr int32_t kCourseStep = 40;
constexpr int32_t kWorldY = 304;
constexpr int32_t kCaptionY = 24;
constexpr int32_t kTypePhases = 4;  // one world-name character every 4 frames
constexpr uint8_t kAllCourses = 7;

// MenuRepeat's memory, shared by both menus for the whole run.
int32_t RepeatLast = 0;
int32_t RepeatCounter = 0;

int32_t ButtonsOf(int32_t word) { return word & ~static_cast<int32_t>(input::kDirections); }

// A screen ends on a button that was up on the previous frame, so a button
// still held from the screen before does not choose anything.
bool NewlyPressed(int32_t buttons, int32_t previous) { return (buttons & ~previous) != 0; }

// Down wins over up when both are reported.
int32_t CursorStep(int32_t repeated) {
  if ((repeated & static_cast<int32_t>(input::kDown)) != 0) return 1;
  if ((repeated & static_cast<int32_t>(input::kUp)) != 0) return -1;
  return 0;
}

int32_t Wrap(int32_t cursor, int32_t lines) { return (cursor + lines) % lines; }

// The end of every menu frame.
void FinishFrame() {
  audio::EffectTick();
  WaitFrame(kFrameMs);
  ShowScreen();
}

void ClearScreen() {
  plat::Surface& s = *ScreenPic;
  render::ClearRect(s, 0, 0, s.Width, s.Height);
}

void DrawLine(int32_t x, int32_t y, std::string_view text, bool selected, int32_t color) {
  if (selected) {
    render::GameFont.FontColor(color);
    render::ShadowText(*ScreenPic, x, y, text, kPlainColor);
  } else {
    render::GameFont.FontColor(kPlainColor);
    render::GameFont.PutCstring(*ScreenPic, x, y, text);
  }
}

// The chosen line flashes for about a second over the last menu picture.
void BlinkLine(int32_t x, int32_t y, std::string_view text, int32_t color) {
  for (int32_t i = 0; i < kMenuBlinkFrames; ++i) {
    render::GameFont.FontColor((i / 2) % 2 == 1 ? color : kPlainColor);
    render::GameFont.PutCstring(*ScreenPic, x, y, text);
    ShowScreen();
    audio::EffectTick();
    WaitFrame(kFrameMs);
    DoEvents();
  }
}

void DrawTitle(int32_t cursor) {
  ClearScreen();
  puzzle::SettleScores();
  render::DrawScorePanel(*ScreenPic);
  render::DrawTitleLogo(*ScreenPic);
  for (int32_t i = 0; i < kTitleLines; ++i)
    DrawLine(kTitleX, kTitleY + kTitleStep * i, kTitleText[i], i == cursor, kTitleColor[i]);
}

// The course number of a line: the courses (and the endless mode) as
// CourseLineCount counts them, then the player's courses when offered.
int32_t CourseOfLine(int32_t line) { return line < CourseLineCount() ? line : kPlayerCourse; }

// The player's courses are offered when one of them can be played.
int32_t OfferedLines() { return CourseLineCount() + (AnyPlayableCourse() ? 1 : 0); }

void DrawCourses(int32_t cursor, int32_t lines) {
  ClearScreen();
  puzzle::SettleScores();
  render::DrawScorePanel(*ScreenPic);
  render::DrawCourseCaption(*ScreenPic, kCaptionY);
  for (int32_t i = 0; i < lines; ++i)
    DrawLine(kCourseX, kCourseY + kCourseStep * i, kCourseText[CourseOfLine(i)], i == cursor,
             kCourseColor);
}

int32_t WorldNameLength(int32_t course) {
  if (course < 0 || course >= kCourseTexts) return 0;
  return static_cast<int32_t>(kWorldName[course].size());
}

// The name as typed so far: one character more than revealed, at most the
// whole name.
std::string WorldNameShown(int32_t course, int32_t revealed) {
  if (course < 0 || course >= kCourseTexts || revealed < 0) return std::string();
  return std::string(kWorldName[course].substr(0, static_cast<size_t>(revealed) + 1));
}

// Types the next character of the world name on the first frame of each
// four, then draws the name as typed so far.
void TypeWorldName(int32_t cursor, int32_t& revealed, int32_t& phase) {
  if (phase == 0 && revealed < WorldNameLength(cursor)) {
    ++revealed;
    audio::PlayEffect(kSoundType);
  }
  phase = (phase + 1) % kTypePhases;
  render::GameFont.FontColor(kWorldColor);
  render::ShadowText(*ScreenPic, kCourseX, kWorldY, WorldNameShown(cursor, revealed), kPlainColor);
}

}  // namespace

int32_t MenuInput() {
  const uint32_t word = input::ReadKeyboard() | input::ReadJoystick(0) | input::ReadJoystick(1);
  return static_cast<int32_t>(word);
}

int32_t MenuRepeat(int32_t word, int32_t firstDelay, int32_t repeatDelay) {
  if (word != RepeatLast) {
    RepeatCounter = firstDelay;
    RepeatLast = word;
    return word;
  }
  RepeatCounter -= 1;
  if (RepeatCounter < 1) {
    RepeatCounter = repeatDelay;
    return word;
  }
  return 0;
}

int32_t CourseLineCount() {
  return SaveData.ClearedMask == kAllCourses && PlayerCount == 1 ? kCourseLinesMax
                                                                 : kCourseLinesMax - 1;
}

namespace {

// The title until a line is chosen; the demos play while it is left alone.
int32_t ChooseTitleLine() {
  int32_t cursor = 0;
  int32_t idle = 0;
  CurrentScreen = ScreenKind::Title;
  int32_t previous = ButtonsOf(MenuInput());
  for (;;) {
    MenuLine = cursor;
    DoEvents();
    DrawTitle(cursor);
    const int32_t word = MenuInput();
    idle = word == 0 ? idle + 1 : 0;
    if (idle > kDemoIdleFrames) {
      idle = 0;
      if (PlayNextDemo()) {
        // Back from the demo: the key that ended it chooses nothing.
        CurrentScreen = ScreenKind::Title;
        previous = ButtonsOf(MenuInput());
        continue;
      }
    }
    const int32_t step = CursorStep(MenuRepeat(word, kMenuFirstDelay, kMenuRepeatDelay));
    if (step != 0) {
      cursor = Wrap(cursor + step, kTitleLines);
      audio::PlayEffect(kSoundCursor);
    }
    const int32_t buttons = ButtonsOf(word);
    if (NewlyPressed(buttons, previous)) break;
    previous = buttons;
    FinishFrame();
  }
  CurrentScreen = ScreenKind::Other;
  return cursor;
}

}  // namespace

void TitleMenu() {
  for (;;) {
    const int32_t line = ChooseTitleLine();
    if (line == kTitleExitLine) Form_Unload();
    audio::PlayEffect(kSoundConfirm);
    BlinkLine(kTitleX, kTitleY + kTitleStep * line, kTitleText[line], kTitleColor[line]);
    if (line != kTitleEditLine) {
      PlayerCount = line + 1;
      return;
    }
    EditStages();
  }
}

namespace {

// The first line shown: the cursor stays on the screen, the list scrolls
// as little as it can.
int32_t ListTop(int32_t top, int32_t cursor, int32_t lines) {
  if (cursor < top) top = cursor;
  if (cursor >= top + kListRows) top = cursor - kListRows + 1;
  if (top > lines - kListRows) top = lines - kListRows;
  return top < 0 ? 0 : top;
}

// A greyed line is the plain line darkened, the cursor's the plain colour
// with its shadow.
void DrawListLine(int32_t y, const ListItem& item, bool selected) {
  if (!item.Greyed) {
    DrawLine(kListX, y, item.Text, selected, kListColor);
    return;
  }
  DrawLine(kListX, y, item.Text, selected, kPlainColor);
  if (!selected) render::TextBand(*ScreenPic, kListX, y, item.Text);
}

void DrawList(std::string_view caption, const std::vector<ListItem>& items, int32_t top,
              int32_t cursor) {
  ClearScreen();
  puzzle::SettleScores();
  render::DrawScorePanel(*ScreenPic);
  render::GameFont.FontColor(kWorldColor);
  render::ShadowText(*ScreenPic, kListX, kListCaptionY, caption, kPlainColor);
  const auto lines = static_cast<int32_t>(items.size());
  for (int32_t row = 0; row < kListRows && top + row < lines; ++row)
    DrawListLine(kListY + kListStep * row, items[static_cast<size_t>(top + row)],
                 top + row == cursor);
  const std::string& note = items[static_cast<size_t>(cursor)].Note;
  render::GameFont.FontColor(kNoteColor);
  render::ShadowText(*ScreenPic, kListX, kListNoteY, note, kPlainColor);
}

}  // namespace

int32_t ListMenu(std::string_view caption, const std::vector<ListItem>& items) {
  const auto lines = static_cast<int32_t>(items.size());
  int32_t cursor = 0, top = 0;
  int32_t previous = ButtonsOf(MenuInput());
  for (;;) {
    MenuLine = cursor;
    DoEvents();
    top = ListTop(top, cursor, lines);
    DrawList(caption, items, top, cursor);
    const int32_t word = MenuInput();
    const int32_t step = CursorStep(MenuRepeat(word, kMenuFirstDelay, kMenuRepeatDelay));
    if (step != 0) {
      cursor = Wrap(cursor + step, lines);
      audio::PlayEffect(kSoundCursor);
    }
    const int32_t buttons = ButtonsOf(word);
    const bool chosen = NewlyPressed(buttons, previous);
    previous = buttons;
    if (chosen && !items[static_cast<size_t>(cursor)].Greyed) break;
    FinishFrame();
  }
  audio::PlayEffect(kSoundConfirm);
  const int32_t row = cursor - top;
  BlinkLine(kListX, kListY + kListStep * row, items[static_cast<size_t>(cursor)].Text, kListColor);
  return cursor;
}

namespace {

// The course list until a line is chosen; returns its course number.
int32_t ChooseCourseLine() {
  const int32_t lines = OfferedLines();
  int32_t cursor = 0;
  int32_t revealed = 0;
  int32_t phase = 0;
  CurrentScreen = ScreenKind::CourseSelect;
  int32_t previous = ButtonsOf(MenuInput());
  for (;;) {
    MenuLine = cursor;
    DoEvents();
    DrawCourses(cursor, lines);
    const int32_t word = MenuInput();
    const int32_t step = CursorStep(MenuRepeat(word, kMenuFirstDelay, kMenuRepeatDelay));
    if (step != 0) {
      cursor += step;
      revealed = 0;
      phase = 0;
    }
    cursor = Wrap(cursor, lines);
    CourseNo = CourseOfLine(cursor);  // the score panel shows this course's hi-score
    TypeWorldName(CourseNo, revealed, phase);
    const int32_t buttons = ButtonsOf(word);
    if (NewlyPressed(buttons, previous)) break;
    previous = buttons;
    FinishFrame();
  }
  CurrentScreen = ScreenKind::Other;
  audio::PlayEffect(kSoundConfirm);
  BlinkLine(kCourseX, kCourseY + kCourseStep * cursor, kCourseText[CourseNo], kCourseColor);
  return CourseNo;
}

}  // namespace

int32_t CourseSelect() {
  int32_t course = ChooseCourseLine();
  while (course == kPlayerCourse && !ChoosePlayerCourse()) course = ChooseCourseLine();
  CourseNo = course;
  ClearScreen();
  puzzle::SettleScores();
  render::DrawScorePanel(*ScreenPic);
  ShowScreen();
  return course;
}

}  // namespace game
