// SPDX-License-Identifier: Zlib
// The replay file: one recorded game as text. A header says which game it
// was (version, seed, course, players, the hi-score it played against and
// the score it made), then one line per change of the input words, with
// the frame of the game it happened in:
//
//   DUCTORA-FIESTA REPLAY
//   version 1.4.0
//   seed 1
//   draws 0
//   course A            (A, B, C or endless)
//   players 1
//   hiscore 100000
//   score 12400
//   frames 8030
//   0 0 80000000 0      (frame, then keyboard, joystick 0, joystick 1 in hex)
//   164 400000 80000000 0
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace game {

constexpr char kReplayMagic[] = "DUCTORA-FIESTA REPLAY";
// Far more than any game needs, small enough to read whole at once.
constexpr size_t kReplayFileLimit = size_t{8} << 20;
constexpr int64_t kReplayFramesLimit = int64_t{1} << 31;
// A replay starts the generator this many draws on: a second at most.
constexpr uint64_t kReplayDrawsLimit = uint64_t{1} << 28;

// The input words of the three devices from Frame on.
struct ReplayStep {
  int64_t Frame = 0;
  uint32_t Word[3] = {0, 0, 0};
};

struct Replay {
  std::string Version;
  uint32_t Seed = 0;
  uint64_t Draws = 0;             // draws of the generator since its seed, at the game's start
  int32_t Course = 0;             // 0..2, 3 the endless mode
  int32_t Players = 1;            // 1 or 2
  int32_t HiScore = 0;            // the hi-score the game started against
  int32_t Score = 0;              // the score at its end
  int64_t Frames = 0;             // frames of the game, start to end
  std::vector<ReplayStep> Steps;  // frames rising, each below Frames
};

std::string FormatReplay(const Replay& replay);
// False with "line N: ..." for anything but a whole, well-formed replay.
bool ParseReplay(std::string_view text, Replay& out, std::string& error);
// Reads and parses the file, and refuses a replay of another version of
// the game; the error names the file.
bool ReadReplayFile(const std::string& path, Replay& out, std::string& error);

}  // namespace game
