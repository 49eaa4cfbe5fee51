// SPDX-License-Identifier: Zlib
// The command line of both programs. `ductora` and `ductora-headless` share
// one parser (glibc's getopt_long) and one set of game options; the runner
// has its own options beside them.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace plat {

// What the player asked for when starting the game. -1: not given, so the
// settings file (and then the save file) decides.
struct StartOptions {
  int FullScreen = -1;       // 1 --fullscreen, 0 --window
  int Scale = -1;            // --scale N: window scale, 0 automatic
  bool Mute = false;         // --mute
  int MusicVolume = 100;     // 0..100, from the settings file
  int EffectVolume = 100;    // 0..100, from the settings file
  std::string SettingsFile;  // --settings FILE instead of the usual one
  std::string PlayFile;      // --play COURSEFILE: that course at once
  std::string EditFile;      // --edit COURSEFILE: the stage editor at once
  std::string ReplayFile;    // --replay FILE: that recorded game played back, then exit
};

constexpr int kMaxWindowScale = 8;

// The headless runner's own options.
struct RunnerOptions {
  std::string Root;
  uint32_t Seed = 1;
  std::string InputFile;
  int64_t Frames = -1;  // -1: run until the game ends
  std::vector<std::pair<int64_t, std::string>> Shots;
  std::string EventsFile;
  std::string StateFile;
  std::string ExportDir;
  std::string EditLogFile;  // --edit-log FILE: the stage editor's verdicts and saves
  // --bot: the bot plays from the title with its own choice of course and
  // players (--bot-course, --bot-players).
  bool Bot = false;
  int BotCourse = 0;
  int BotPlayers = 1;
  std::string RecordFile;  // --record FILE: the replay of the first game played
  // Keep the shown picture only while a screenshot is still to be taken
  // (the runner); otherwise every picture is kept for LastShown().
  bool PicturesForShotsOnly = false;
};

enum class CommandKind { Run, Help, Version, Error };

struct CommandLine {
  CommandKind Kind = CommandKind::Run;
  StartOptions Start;
  RunnerOptions Runner;
  std::string Error;  // one line naming the bad option or value
};

// Reads argv[1..argc-1]. The runner's options are known only when runner is
// true; for `ductora` they are unknown options like any other.
CommandLine ParseCommandLine(int argc, char** argv, bool runner);

// The usage text of `ductora` (runner false) or of `ductora-headless`.
std::string UsageText(bool runner);

// Answers --help (stdout, 0), --version (stdout, 0) and a bad command line
// (the message and the usage on stderr, 2). Returns the exit status, or -1
// when the program should go on and run.
int AnswerCommandLine(const CommandLine& line, bool runner);

}  // namespace plat
