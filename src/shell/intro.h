// SPDX-License-Identifier: Zlib
// The short sequences around stage play: the stage intro before every
// attempt, the game over of a course game, and the wipe that closes the
// screen to black.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace game {

// Frames each intro text stays before the next one.
constexpr int32_t kIntroTextFrames = 60;
// Frames "GAME  OVER" stays on the last picture of the failed stage.
constexpr int32_t kGameOverFrames = 300;

// The stage title, then "READY?" and "GO !!", then the stage's music.
void StageIntro(plat::Surface& picture, int32_t stage);

// "GAME  OVER" over the last picture, the hi-score rule, the save and the
// wipe to black.
void GameOver();

// "COURSE CLEAR" and the score over the last picture for a few seconds,
// then the wipe to black: the end of a player's course.
void CourseClear();

// A black grid over the picture for a moment, then a black screen with only
// the score line for half a second.
void CloseWipe(plat::Surface& picture);

// The wipe's first step: every even row and column goes black.
void DrawWipeGrid(plat::Surface& picture);

// "STAGE A-1" for the first stage of course A.
std::string StageTitle(int32_t course, int32_t stage);

// Stores TotalScore as the hi-score of this player count and course when it
// beats the entry; returns whether it did.
bool UpdateHiScore();

}  // namespace game
