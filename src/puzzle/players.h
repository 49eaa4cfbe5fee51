// SPDX-License-Identifier: Zlib
// The players: cursors with auto-repeat, the queue of coming pieces, and
// laying or replacing a piece on the board.
#pragma once

#include <cstdint>

namespace puzzle {

constexpr int kPlayerSlots = 3;  // records 0..2; the first one or two play
constexpr int kQueueRing = 5;    // slots 0..4 form the ring, slot 5 is spare
constexpr int kQueueSlots = 6;

// Devices of DeviceMask.
constexpr int32_t kDeviceKeyboard = 1;
constexpr int32_t kDeviceJoystick1 = 2;
constexpr int32_t kDeviceJoystick2 = 4;

// Frames a player waits after laying, and for a replacement to finish.
constexpr int32_t kLayWait = 6;
constexpr int32_t kReplaceWait = 38;

// Points for laying a piece and for breaking one to replace it.
constexpr int32_t kLayPoints = 100;
constexpr int32_t kReplacePoints = -50;

// Auto-repeat state of an input word (the endless mode keeps one too).
struct KeyRepeat {
  int32_t Current;     // this frame's bits, stored by the caller
  int32_t Previous;    // last frame's bits
  int32_t Changed;     // bits that changed on the last change frame
  int32_t Counter;     // frames left to the next repeat
  int32_t FirstDelay;  // frames before the first repeat
  int32_t Interval;    // frames between later repeats
};

struct PlayerInfo {
  int32_t Score;       // whole game; never reset by a stage
  int32_t QueueIndex;  // slot of the current piece, 0..4
  uint8_t Queue[kQueueSlots];
  int32_t CursorX;
  int32_t CursorY;
  int32_t DeviceMask;  // kDeviceKeyboard | kDeviceJoystick1 | kDeviceJoystick2
  puzzle::KeyRepeat KeyRepeat;
  int32_t ButtonsPrev;  // Buttons of the previous frame
  int32_t Buttons;      // this frame's word without the direction bits
  int32_t Wait;         // frames before this player may lay again
  int32_t PendingX;     // cell of a replacement in progress
  int32_t PendingY;
  int32_t PendingChip;  // kind that drops in when it completes; 0 none
  int32_t Required;     // pieces this player's share of the route needs
  int32_t Passed;       // own pieces the water has run through
  int32_t Ahead;        // own pieces on the route ahead of the water
};

extern PlayerInfo Players[kPlayerSlots];

// Player records that take part: the first one or two, never past the array.
int32_t ActivePlayers();

// The direction bits to act on this frame; state.Current holds this
// frame's bits on entry. Acts at once, after FirstDelay frames, then
// every Interval frames.
int32_t RepeatKeys(KeyRepeat& state);

// OR of the input words of the devices in mask.
int32_t ReadDevices(int32_t mask);

// Start of every attempt at a stage: cursors, repeat state, queues,
// shares of the required pipe, counters and input devices.
void SetUpPlayers();

// Once per frame before the water step: moves cursors, lays pieces and
// passes the hurry button on to the water.
void UpdatePlayers();

// Lays chip at (x, y) for player, or breaks the replaceable piece there.
// Returns the score change: 0, 100 or -50.
int32_t PlacePiece(int32_t x, int32_t y, int32_t chip, int32_t player);

// Drops player p's pending piece in at the end of a replacement. The
// points of that laying are not counted.
void CompletePending(int32_t p);

// Each frame after the board is restored: drops in the pending piece of
// every player whose replacement has run its course.
void FinishReplacements();

// Before the score panel is drawn: a negative player score is set back to
// 0 and the game's total is the sum of the players' scores.
void SettleScores();

}  // namespace puzzle
