// SPDX-License-Identifier: Zlib
#include "input/joystick.h"

#include "platform/platform.h"

namespace input {

namespace {

constexpr int MMSYSERR_NODRIVER = 6;
constexpr int JOYERR_PARMS = 165;
constexpr int JOYERR_NOCANDO = 166;

bool NoJoystick(int code) {
  return code == MMSYSERR_NODRIVER || code == JOYERR_PARMS || code == JOYERR_NOCANDO ||
         code == plat::JOYERR_UNPLUGGED;
}

struct KeyBit {
  int Vk;
  uint32_t Bit;
};
// Tested in this order: up, down, left, right, Z, X.
constexpr KeyBit KeyBits[] = {{0x26, kUp},    {0x28, kDown}, {0x25, kLeft},
                              {0x27, kRight}, {0x5A, kKeyZ}, {0x58, kKeyX}};

// Held bits to hide per device: the keyboard, joystick 0, joystick 1.
uint32_t Suppressed[3] = {0, 0, 0};

uint32_t Filter(int device, uint32_t word) {
  Suppressed[device] &= word;  // a released bit is no longer hidden
  return word & ~Suppressed[device];
}

uint32_t RawKeyboard() {
  uint32_t word = 0;
  for (const KeyBit& k : KeyBits)
    if (plat::KeyIsDown(k.Vk)) word |= k.Bit;
  return word;
}

uint32_t RawJoystick(int32_t id) {
  plat::JoyInfo info;
  int code = plat::JoyGetPos(id, info);
  if (NoJoystick(code)) return 0;
  uint32_t word = info.Buttons;
  if (info.X < 16384)
    word |= kLeft;
  else if (info.X > 49152)
    word |= kRight;
  if (info.Y < 16384)
    word |= kUp;
  else if (info.Y > 49152)
    word |= kDown;
  return word;
}

}  // namespace

uint32_t ReadKeyboard() { return Filter(0, RawKeyboard()); }

uint32_t ReadJoystick(int32_t id) {
  uint32_t word = RawJoystick(id);
  return id == 0 || id == 1 ? Filter(1 + id, word) : word;
}

void SuppressHeldInput() {
  Suppressed[0] = RawKeyboard();
  Suppressed[1] = RawJoystick(0);
  Suppressed[2] = RawJoystick(1);
}

int16_t JoystickPresent(int32_t id) {
  plat::JoyInfo info;
  return NoJoystick(plat::JoyGetPos(id, info)) ? 0 : 1;
}

}  // namespace input
