// SPDX-License-Identifier: Zlib
#include "shell/mainmodule.h"

#include "endless/tokoton.h"
#include "platform/platform.h"
#include "puzzle/board.h"
#include "puzzle/players.h"
#include "puzzle/playstage.h"
#include "puzzle/stage.h"
#include "puzzle/water.h"
#include "render/playdraw.h"
#include "render/screen.h"
#include "render/sheets.h"
#include "render/surfaces.h"
#include "shell/courselist.h"
#include "shell/editor.h"
#include "shell/ending.h"
#include "shell/gamestate.h"
#include "shell/intro.h"
#include "shell/menus.h"
#include "shell/random.h"
#include "shell/replay.h"
#include "shell/savedata.h"
#include "shell/window.h"

namespace game {

// Every game starts with two lives and both players' scores at 0.
void StartGame() {
  Lives = 2;
  puzzle::Players[0].Score = 0;
  puzzle::Players[1].Score = 0;
}

namespace {

plat::StartOptions Start;

// The display mode of the start: the command line's, else the one saved.
int32_t StartDisplayMode() {
  if (Start.FullScreen >= 0) return Start.FullScreen;
  return SaveData.StartFullScreen;
}

// What the command line and the settings say about the window and the sound, before the
// first window opens and the first sound plays.
void ApplyStartOptions() {
  if (Start.Scale >= 0) plat::SetWindowScale(Start.Scale);
  if (Start.Mute)
    plat::SetVolumes(0, 0);
  else
    plat::SetVolumes(Start.MusicVolume, Start.EffectVolume);
}

// One attempt at the current stage, set up afresh from its file. The route
// ahead of the water is traced from the water head, so the water is reset
// before the background is built.
void PlayAttempt() {
  puzzle::LoadStage(CourseNo, StageNo);
  puzzle::ResetWater();
  render::BuildStageBackground(render::FirstMap);
  puzzle::SetUpPlayers();
  StageIntro(*ScreenPic, StageNo);
  puzzle::PlayStage();
}

// The course's bit in ClearedMask is set and saved the moment the course is
// finished, so that leaving the game during the long ending cannot lose it.
void RecordCourseCleared() {
  SaveData.ClearedMask = static_cast<uint8_t>(SaveData.ClearedMask | (1u << CourseNo));
  WriteSaveData();
}

// The stages of the chosen course until the lives run out (the game over
// is shown; false) or the last stage is cleared (true). A failed stage is
// played again, a cleared one moves on.
bool PlayStages() {
  StageCount = puzzle::CountStages(CourseNo);
  StageNo = 0;
  CourseFinished = 0;
  for (;;) {
    PlayAttempt();
    if (Lives < 1) {
      GameOver();
      return false;
    }
    if (CourseFinished != 0) return true;
  }
}

void PlayCourse() {
  if (!PlayStages()) return;
  RecordCourseCleared();
  Ending();
}

}  // namespace

namespace {

// A course file of the player's own, played like any course with the save
// file held, so it gains no hi-score and no cleared-course bit: best is
// the panel's HI while it is played, and "COURSE CLEAR" stands for the
// ending. Returns the game's total.
int32_t PlayHeldCourse(const std::string& path, int32_t best) {
  puzzle::UseCourseFile(path);
  HoldSaveData();
  CourseNo = 0;
  SaveData.HiScore[PlayerCount - 1][0] = best;
  if (PlayStages()) CourseClear();
  ReleaseSaveData();
  puzzle::UseCourseFile("");
  return TotalScore;
}

// The course chosen under "MY COURSES": its best scores go to the file
// beside it.
void PlayPlayerCourse() {
  const PlayerCourse course = ChosenPlayerCourse();
  const int32_t total = PlayHeldCourse(course.Path, course.Best[PlayerCount - 1]);
  RecordPlayerBest(course, PlayerCount, total);
  CourseNo = kPlayerCourse;
}

}  // namespace

void PlayGame(int32_t course) {
  if (course == kEndlessCourse)
    tokoton::EndlessMode();
  else if (course == kPlayerCourse)
    PlayPlayerCourse();
  else
    PlayCourse();
}

namespace {

// --play: a one-player game of the course file at once, leaving the save
// file as it was; its end leads to the title as usual.
void PlayCourseFile(const std::string& path) {
  PlayerCount = 1;
  StartGame();
  PlayHeldCourse(path, SaveData.HiScore[0][0]);
}

}  // namespace

// The stage editor's test play: the first stage of the course file for one
// player with two lives until it is cleared or the lives run out, with no
// game over, no ending and the save file held; what the game was set to
// before comes back.
bool TestPlayCourseFile(const std::string& path) {
  const int32_t players = PlayerCount, course = CourseNo;
  PlayerCount = 1;
  StartGame();
  CourseNo = 0;
  puzzle::UseCourseFile(path);
  HoldSaveData();
  StageCount = 1;
  StageNo = 0;
  CourseFinished = 0;
  while (Lives >= 1 && CourseFinished == 0) PlayAttempt();
  const bool cleared = CourseFinished != 0;
  ReleaseSaveData();
  puzzle::UseCourseFile("");
  PlayerCount = players;
  CourseNo = course;
  return cleared;
}

namespace {

// One pass is one game, from the title back to the title.
[[noreturn]] void RunMainLoop() {
  if (!Start.EditFile.empty()) EditCourseFile(Start.EditFile);
  if (!Start.ReplayFile.empty()) RunReplayFile(Start.ReplayFile);
  if (!Start.PlayFile.empty()) PlayCourseFile(Start.PlayFile);
  for (;;) {
    TitleMenu();
    StartGame();
    CourseNo = CourseSelect();
    // A player's course may change or go: its games are not kept as replays.
    const bool recorded = CourseNo != kPlayerCourse;
    if (recorded) BeginGameRecording();
    PlayGame(CourseNo);
    if (recorded) EndGameRecording();
  }
}

}  // namespace

void InitGameData() {
  PlayerCount = 1;
  LoadSaveData();
  SwitchToDisplayMode(StartDisplayMode());
}

void Main(const plat::StartOptions& options) {
  Start = options;
  ApplyStartOptions();
  Randomize(plat::RandomSeed());
  Form1_Load();
  Form2_Load();
  InitGameData();
  render::FillStartupScreen(*ScreenPic);
  render::LoadImages();
  puzzle::InitChipTable();
  RunMainLoop();
}

}  // namespace game
