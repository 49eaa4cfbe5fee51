// SPDX-License-Identifier: Zlib
// Recording and playing back whole games.
//
// Every game from the course select to its end is recorded: the words the
// game read in each frame, as changes. A game that sets a new hi-score
// leaves its replay beside the save file, the best of each course and
// player count. A replay plays back by feeding those words to the same
// game code, started from the same place of the random generator: the
// same pictures, sounds and scores, frame for frame. A demo is a replay
// played from the title; a replay from the command line ends the program.
#pragma once

#include <cstdint>
#include <string>

#include "shell/replayfile.h"

namespace game {

// Around each game of the main loop (CourseNo and PlayerCount chosen).
void BeginGameRecording();
void EndGameRecording();
// --record FILE: the first game played goes to FILE, hi-score or not; a
// game still running at the exit is written as far as it went.
void SetRecordFile(const std::string& path);
void FinishRecordFile();

// The folder of the kept replays (beside the save file) and the name of
// the one of a course (3 endless) and player count.
std::string ReplayFolder();
std::string ReplayFileName(int32_t course, int32_t players);

// Plays the game of the replay. Returns when its game ends, its frames
// are done or a key or button asks to end it. A demo restores the game's
// state and the save data as they were; without demo the save data stays
// held (nothing is written) for the program's end. True when the game
// ended where the recording did, with its score.
bool PlayReplay(const Replay& replay, bool demo);
bool ReplayPlaying();
bool DemoPlaying();
// A key or button pressed in the window during a replay.
void RequestReplayEnd();
// The end of every game frame: leaves the replayed game once it is over.
void CheckReplayEnd();
// The program ends during a demo: the game and its save data as they were
// before it, so the shutdown saves what the title would.
void LeaveDemo();

// The next of the shipped demos in turn (data/demo/: courses A, B, C and
// the endless mode), played as a demo; false when none can be played.
bool PlayNextDemo();

// --replay FILE: plays it, then ends the program without saving; a file
// that cannot be played is a message and exit status 1.
[[noreturn]] void RunReplayFile(const std::string& path);

}  // namespace game
