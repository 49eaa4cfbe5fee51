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

}  // namespace

uint32_t ReadKeyboard() {
  uint32_t word = 0;
  for (const KeyBit& k : KeyBits)
    if (plat::KeyIsDown(k.Vk)) word |= k.Bit;
  return word;
}

uint32_t ReadJoystick(int32_t id) {
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

int16_t JoystickPresent(int32_t id) {
  plat::JoyInfo info;
  return NoJoystick(plat::JoyGetPos(id, info)) ? 0 : 1;
}

}  // namespace input
