// SPDX-License-Identifier: Zlib
#include "shell/intro.h"

#include "audio/midi.h"
#include "audio/wavedef.h"
#include "puzzle/players.h"
#include "puzzle/stage.h"
#include "render/font.h"
#include "render/playdraw.h"
#include "render/screen.h"
#include "shell/gamestate.h"
#include "shell/savedata.h"
#include "shell/timer.h"
#include "shell/window.h"

namespace game {

namespace {

constexpr int32_t kFrameMs = 17;
constexpr int32_t kShadowColor = 1;
constexpr int32_t kIntroColor = 5;
constexpr int32_t kGameOverColor = 3;
constexpr int kSoundText = 5;
constexpr int kSoundGo = 6;

constexpr int32_t kTitleX = 176;
constexpr int32_t kTitleY = 112;
constexpr int32_t kReadyX = 192;
constexpr int32_t kReadyY = 144;
constexpr int32_t kGoX = 224;
constexpr int32_t kGoY = 176;
constexpr int32_t kGameOverX = 176;
constexpr int32_t kGameOverY = 160;
constexpr int32_t kClearX = 160;    // "COURSE CLEAR" centred
constexpr int32_t kClearStep = 32;  // the score under it
constexpr int32_t kClearFrames = 180;

constexpr int32_t kGridMs = 100;   // the black grid over the last picture
constexpr int32_t kBlackMs = 500;  // the black screen after it
constexpr uint32_t kBlack = 0x000000;

// A text shown over the screen, then held while the sounds run on. F1 may
// switch windows during a hold, so each text goes to the screen shown now.
void ShowIntroText(int32_t x, int32_t y, const std::string& text, int sound) {
  render::ShadowText(*ScreenPic, x, y, text, kShadowColor);
  ShowScreen();
  audio::PlayEffect(sound);
  for (int32_t i = 0; i < kIntroTextFrames; ++i) {
    DoEvents();
    audio::EffectTick();
    WaitFrame(kFrameMs);
  }
}

bool HiScoreIndex(int32_t& p, int32_t& c) {
  p = PlayerCount - 1;
  c = CourseNo;
  return p >= 0 && p < 3 && c >= 0 && c < 4;
}

}  // namespace

std::string StageTitle(int32_t course, int32_t stage) {
  return std::string("STAGE ") + static_cast<char>(65 + course) + "-" + std::to_string(stage + 1);
}

void StageIntro(plat::Surface& picture, int32_t stage) {
  CloseWipe(picture);
  render::StageSlideIn(picture);
  render::DrawCursors(*ScreenPic);
  render::GameFont.FontColor(kIntroColor);
  ShowIntroText(kTitleX, kTitleY, StageTitle(CourseNo, stage), kSoundText);
  ShowIntroText(kReadyX, kReadyY, "READY?", kSoundText);
  ShowIntroText(kGoX, kGoY, "GO !!", kSoundGo);
  // The pipe set of the stage is its music number as well.
  audio::PlayMusic(audio::MusicFileName(puzzle::CurrentStage.PipeSet));
}

bool UpdateHiScore() {
  int32_t p = 0;
  int32_t c = 0;
  if (!HiScoreIndex(p, c) || TotalScore <= SaveData.HiScore[p][c]) return false;
  SaveData.HiScore[p][c] = TotalScore;
  return true;
}

void GameOver() {
  render::TextBand(*ScreenPic, kGameOverX, kGameOverY, "GAME  OVER");
  render::GameFont.FontColor(kGameOverColor);
  render::ShadowText(*ScreenPic, kGameOverX, kGameOverY, "GAME  OVER", kShadowColor);
  ShowScreen();
  for (int32_t i = 0; i < kGameOverFrames; ++i) {
    WaitFrame(kFrameMs);
    DoEvents();
  }
  UpdateHiScore();
  WriteSaveData();  // after every game over, new hi-score or not
  CloseWipe(*ScreenPic);
}

void CourseClear() {
  const std::string score = "SCORE " + std::to_string(TotalScore);
  const int32_t scoreX = 256 - 8 * static_cast<int32_t>(score.size());
  render::TextBand(*ScreenPic, kClearX, kGameOverY, "COURSE CLEAR");
  render::TextBand(*ScreenPic, scoreX, kGameOverY + kClearStep, score);
  render::GameFont.FontColor(kIntroColor);
  render::ShadowText(*ScreenPic, kClearX, kGameOverY, "COURSE CLEAR", kShadowColor);
  render::ShadowText(*ScreenPic, scoreX, kGameOverY + kClearStep, score, kShadowColor);
  ShowScreen();
  for (int32_t i = 0; i < kClearFrames; ++i) {
    WaitFrame(kFrameMs);
    DoEvents();
  }
  CloseWipe(*ScreenPic);
}

// Rows from the top and from the bottom meet in the middle, then the
// columns; only pixels with odd x and odd y are left of the picture.
void DrawWipeGrid(plat::Surface& picture) {
  const int32_t w = picture.Width;
  const int32_t h = picture.Height;
  for (int32_t y = 0; y <= h / 2; y += 2) {
    plat::DrawLine(picture, 0, y, w, y, kBlack);
    plat::DrawLine(picture, 0, h - y, w, h - y, kBlack);
  }
  for (int32_t x = 0; x <= w; x += 2) plat::DrawLine(picture, x, 0, x, h, kBlack);
}

void CloseWipe(plat::Surface& picture) {
  DrawWipeGrid(picture);
  puzzle::SettleScores();
  render::DrawScorePanel(picture);
  ShowScreen();
  WaitFrame(kGridMs);
  render::ClearRect(picture, 0, 0, picture.Width, picture.Height);
  puzzle::SettleScores();
  render::DrawScorePanel(picture);
  ShowScreen();
  WaitFrame(kBlackMs);
}

}  // namespace game
