// SPDX-License-Identifier: Zlib
// The two windows (plain and full screen), the event pump, the window keys
// and the shutdown.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace game {

extern plat::Surface Form2Scr;  // the full-screen window's screen surface

// Form1's load handler: paths, surfaces, display mode record, timer.
void Form1_Load();
// Form2's load handler: its screen surface, sized like Form1's.
void Form2_Load();

// Lets pending window events run: keys, closing, the one-second tick. While
// the game is paused it does not return until the player resumes.
void DoEvents();
// Stage play and the endless mode show "PAUSE" over their picture.
void SetPauseLabel(bool shown);
bool GamePaused();
void Form_KeyDown(int16_t& keyCode, int16_t& shift);
void SwitchToDisplayMode(int32_t full);
// Shows ScreenPic on the window shown, with the frame-rate label if visible.
void ShowScreen();
// Saves, restores what the game changed, stops the music and ends the program.
[[noreturn]] void Form_Unload();
// What runs first in the shutdown (the stage editor saves its course); nullptr for nothing.
void SetUnloadHook(void (*hook)());
// The shutdown (save, music off, exit) with the process's exit status: 0
// when the player leaves, 1 after a data error that ends the game.
[[noreturn]] void RunShutdown(int status);

// The display-mode bookkeeping: the monitor's mode is never switched.
void SaveDisplayMode();
void RestoreDisplayMode();
void ChangeScreenSize(int32_t width, int32_t height);

}  // namespace game
