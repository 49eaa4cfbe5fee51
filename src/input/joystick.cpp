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

bool RawPresent(int32_t id) {
  plat::JoyInfo info;
  return !NoJoystick(plat::JoyGetPos(id, info));
}

Feed CurrentFeed = nullptr;
Watcher CurrentWatcher = nullptr;
FrameWords Latched = {};
bool LatchValid = false;
int64_t Frames = 0;

// The words of this frame, taken on its first read. Only a feed or a
// watcher needs one word per frame; otherwise every read asks the devices.
const FrameWords& Latch() {
  if (LatchValid) return Latched;
  LatchValid = CurrentFeed != nullptr || CurrentWatcher != nullptr;
  Latched = {};
  if (CurrentFeed != nullptr) {
    CurrentFeed(Latched);
    return Latched;
  }
  Latched.Word[0] = Filter(0, RawKeyboard());
  for (int32_t id = 0; id < 2; ++id)
    Latched.Word[1 + id] = Filter(1 + id, RawJoystick(id)) | (RawPresent(id) ? kPresentBit : 0);
  return Latched;
}

}  // namespace

uint32_t ReadKeyboard() { return Latch().Word[0]; }

uint32_t ReadJoystick(int32_t id) {
  if (id != 0 && id != 1) return RawJoystick(id);
  return Latch().Word[1 + id] & ~kPresentBit;
}

uint32_t DeviceInput() { return RawKeyboard() | RawJoystick(0) | RawJoystick(1); }

void SuppressHeldInput() {
  Suppressed[0] = RawKeyboard();
  Suppressed[1] = RawJoystick(0);
  Suppressed[2] = RawJoystick(1);
  LatchValid = false;
}

int16_t JoystickPresent(int32_t id) {
  if (id != 0 && id != 1) return RawPresent(id) ? 1 : 0;
  return (Latch().Word[1 + id] & kPresentBit) != 0 ? 1 : 0;
}

void SetFeed(Feed feed) {
  CurrentFeed = feed;
  LatchValid = false;
}

bool Fed() { return CurrentFeed != nullptr; }

void SetWatcher(Watcher watcher) {
  CurrentWatcher = watcher;
  LatchValid = false;
}

int64_t FrameNumber() { return Frames; }

void FrameDone() {
  if (LatchValid && CurrentWatcher != nullptr) CurrentWatcher(Frames, Latched);
  ++Frames;
  LatchValid = false;
}

void ReleaseFrameWords() { LatchValid = false; }

}  // namespace input
