// SPDX-License-Identifier: Zlib
// The game-wide state: the handful of variables through which the screens
// talk to each other. Plain module-level variables for the whole run.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace game {

extern int32_t PlayerCount;     // 1..2
extern int32_t CourseNo;        // 0..2 courses, 3 endless
extern int32_t StageNo;         // 0-based stage now played
extern int32_t StageCount;      // stages of the course
extern int16_t CourseFinished;  // 0 / -1
extern int32_t Lives;           // 2 down to 0
extern int32_t TotalScore;
extern int32_t FrameCount;     // frames since the last FPS tick
extern std::string AppPath;    // program folder, ending in '/'
extern std::string DataPath;   // AppPath + "data/"
extern std::string SoundPath;  // AppPath + "sound/"

// The screen whose frame loop is running, and the line the menu cursor is
// on: what a player sees, for a program that plays by itself.
enum class ScreenKind { Other, Title, CourseSelect, Play, Endless };
extern ScreenKind CurrentScreen;
extern int32_t MenuLine;

// Display state.
extern int32_t FullScreen;        // 0 windowed, 1 full screen
extern plat::Surface* ScreenPic;  // the surface every screen draws on and shows

}  // namespace game
