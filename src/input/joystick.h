// SPDX-License-Identifier: Zlib
// Input words: one 32-bit word per device, the same bit for the same button
// on every device.
#pragma once

#include <cstdint>

namespace input {

constexpr uint32_t kJoyButton1 = 0x1;
constexpr uint32_t kJoyButton2 = 0x2;
constexpr uint32_t kJoyButton3 = 0x4;
constexpr uint32_t kJoyButton4 = 0x8;
constexpr uint32_t kUp = 0x1000;
constexpr uint32_t kRight = 0x2000;
constexpr uint32_t kDown = 0x4000;
constexpr uint32_t kLeft = 0x8000;
constexpr uint32_t kDirections = 0xF000;
constexpr uint32_t kKeyX = 0x200000;
constexpr uint32_t kKeyZ = 0x400000;
constexpr uint32_t kPlaceGroup = 0x400005;  // Z, joystick buttons 1 and 3
constexpr uint32_t kHurryGroup = 0x20000A;  // X, joystick buttons 2 and 4

uint32_t ReadKeyboard();
uint32_t ReadJoystick(int32_t id);
int16_t JoystickPresent(int32_t id);

// Every key and button held on the devices, fed or not (ends a replay).
uint32_t DeviceInput();

// Buttons held at this moment read as released until they are let go, so a
// button pressed to end a pause does not also act in the game.
void SuppressHeldInput();

// The three devices the game reads: the keyboard, joystick 0, joystick 1.
constexpr int kDevices = 3;
// In a fed word: the joystick is plugged in (never part of what the game reads).
constexpr uint32_t kPresentBit = 0x80000000u;

// The words of one game frame. Every read in a frame sees the words of its
// first read, so one frame has one word per device, which is what a replay
// records and what a program that plays by itself supplies.
struct FrameWords {
  uint32_t Word[kDevices];  // joysticks carry kPresentBit when plugged in
};

// A feed supplies the words of each game frame instead of the devices (the
// bot, a replay); nullptr gives the devices back.
using Feed = void (*)(FrameWords& words);
void SetFeed(Feed feed);
bool Fed();
// A watcher sees the words of every frame in which the game read input, at
// the end of that frame, with the frame's number (a replay recorder).
using Watcher = void (*)(int64_t frame, const FrameWords& words);
void SetWatcher(Watcher watcher);

// Game frames counted since the start; WaitFrame calls FrameDone once a frame.
int64_t FrameNumber();
void FrameDone();
// A pass of the paused loop: the next read takes fresh words (a pause reads
// the devices without any game frame passing).
void ReleaseFrameWords();

}  // namespace input
