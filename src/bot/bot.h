// SPDX-License-Identifier: Zlib
// The bot as a player of the whole game: it goes through the menus by its
// own choice of players and course, then plays, and feeds one input word
// per frame and device into the game exactly where the keyboard and the
// joysticks come in. Player 1 plays on the keyboard, player 2 on joystick 0.
#pragma once

#include <cstdint>

namespace bot {

struct Config {
  int32_t Course = 0;   // 0..2 the courses, 3 the endless mode
  int32_t Players = 1;  // 1 or 2
  uint32_t Seed = 1;    // equal choices are made the same way again
  // Back at the title after its game, the bot chooses "EXIT GAME".
  bool LeaveAfterGame = true;
};

// Starts feeding the game with the bot's input; Stop gives the devices back.
void Start(const Config& config);
void Stop();

// Only the players' part, for a stage started directly (menus are not
// played): the bots play every stage the game puts in front of them.
void StartStagePlay(int32_t players, uint32_t seed);

}  // namespace bot
