// SPDX-License-Identifier: Zlib
#include "bot/bot.h"

#include "bot/coursebot.h"
#include "bot/endlessbot.h"
#include "input/joystick.h"
#include "shell/gamestate.h"
#include "shell/menus.h"

namespace bot {

namespace {

constexpr int64_t kMenuThinkFrames = 30;  // a look at a menu before choosing

Config Settings;
bool StagesOnly = false;
game::ScreenKind LastScreen = game::ScreenKind::Other;
int64_t ScreenSince = 0;
int64_t LastPress = -1000;
int32_t GamesStarted = 0;
int32_t Attempts = 0;

int32_t ChosenCourse() {
  if (Settings.Course >= 0 && Settings.Course < game::CourseLineCount()) return Settings.Course;
  return 0;
}

int32_t ChosenTitleLine() {
  if (Settings.LeaveAfterGame && GamesStarted > 0) return game::kTitleExitLine;
  return Settings.Players == 2 ? 1 : 0;
}

// Down until the cursor is on the wanted line, then the place button; one
// press at a time with the keys let go in between.
uint32_t MenuWord(int32_t wanted, int64_t frame) {
  if (frame - ScreenSince < kMenuThinkFrames) return 0;
  if (game::MenuLine != wanted) {
    if (frame - LastPress < kStepFrames) return 0;
    LastPress = frame;
    return input::kDown;
  }
  if (frame - LastPress < kLayFrames) return 0;
  LastPress = frame;
  if (game::CurrentScreen == game::ScreenKind::CourseSelect) ++GamesStarted;
  return input::kKeyZ;
}

void NoteScreen(int64_t frame) {
  const game::ScreenKind now = game::CurrentScreen;
  if (now == LastScreen) return;
  LastScreen = now;
  ScreenSince = frame;
  if (now == game::ScreenKind::Play) ResetStagePlay(Settings.Seed + 7919u * Attempts++);
  if (now == game::ScreenKind::Endless) ResetEndlessPlay(Settings.Seed + 7919u * Attempts++);
}

void FeedWords(input::FrameWords& words) {
  const int64_t frame = input::FrameNumber();
  NoteScreen(frame);
  const int32_t players = StagesOnly ? game::PlayerCount : Settings.Players;
  if (players == 2) words.Word[1] |= input::kPresentBit;
  switch (game::CurrentScreen) {
    case game::ScreenKind::Title:
      if (!StagesOnly) words.Word[0] = MenuWord(ChosenTitleLine(), frame);
      break;
    case game::ScreenKind::CourseSelect:
      if (!StagesOnly) words.Word[0] = MenuWord(ChosenCourse(), frame);
      break;
    case game::ScreenKind::Play:
      words.Word[0] = StagePlayWord(0, frame);
      if (game::PlayerCount == 2) words.Word[1] |= StagePlayWord(1, frame);
      break;
    case game::ScreenKind::Endless:
      words.Word[0] = EndlessPlayWord(frame);
      break;
    default:
      break;
  }
}

void Begin() {
  LastScreen = game::ScreenKind::Other;
  ScreenSince = input::FrameNumber();
  LastPress = -1000;
  GamesStarted = 0;
  Attempts = 0;
  input::SetFeed(FeedWords);
}

}  // namespace

void Start(const Config& config) {
  Settings = config;
  StagesOnly = false;
  Begin();
}

void StartStagePlay(int32_t players, uint32_t seed) {
  Settings = Config{};
  Settings.Players = players;
  Settings.Seed = seed;
  StagesOnly = true;
  Begin();
}

void Stop() { input::SetFeed(nullptr); }

}  // namespace bot
