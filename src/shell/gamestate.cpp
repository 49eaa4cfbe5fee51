// SPDX-License-Identifier: Zlib
#include "shell/gamestate.h"

namespace game {

int32_t PlayerCount = 0;
int32_t CourseNo = 0;
int32_t StageNo = 0;
int32_t StageCount = 0;
int16_t CourseFinished = 0;
int32_t Lives = 0;
int32_t TotalScore = 0;
int32_t FrameCount = 0;
std::string AppPath;
std::string DataPath;
std::string SoundPath;
ScreenKind CurrentScreen = ScreenKind::Other;
int32_t MenuLine = 0;
int32_t FullScreen = 0;
plat::Surface* ScreenPic = nullptr;

}  // namespace game
