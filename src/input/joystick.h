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

// Buttons held at this moment read as released until they are let go, so a
// button pressed to end a pause does not also act in the game.
void SuppressHeldInput();

}  // namespace input
