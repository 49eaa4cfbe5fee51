// SPDX-License-Identifier: Zlib
#include "audio/wavedef.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/files.h"
#include "platform/platform.h"
#include "shell/gamestate.h"

namespace audio {

namespace {

constexpr int kNone = 9999;
constexpr int kRestartGuard = 8;  // ticks before the same effect may start again

std::unique_ptr<WaveSound> EffectSound[kEffectSlots];
int32_t EffectPriority[kEffectSlots];
int32_t EffectHold[kEffectSlots];
int32_t CurEffect = kNone;
int32_t CurPriority = kNone;
int32_t EffectAge = 0;
int32_t HoldLeft = 0;
// The effect last started and the clock time at which its sound ends, for
// the faint effects that wait for silence after the hold has run out.
int32_t SoundingPriority = kNone;
int64_t SoundingUntil = 0;

struct EffectDef {
  const char* File;
  int Priority;
  int Hold;
};

constexpr EffectDef EffectTable[kEffectCount] = {
    {"se00.wav", 3, 6},  {"se01.wav", 3, 6},  {"se02.wav", 3, 6},  {"se03.wav", 2, 6},
    {"se04.wav", 2, 30}, {"se05.wav", 2, 5},  {"se06.wav", 2, 40}, {"se07.wav", 1, 1},
    {"se08.wav", 1, 6},  {"se09.wav", 1, 10}, {"se10.wav", 2, 40}, {"se11.wav", 2, 40},
    {"se12.wav", 2, 40}, {"se13.wav", 2, 40}, {"se14.wav", 2, 40}, {"se15.wav", 4, 3},
    {"se16.wav", 4, 3},  {"se17.wav", 5, 1},  {"se18.wav", 5, 1},
};
static_assert(EffectTable[17].Priority == kFaintPriority &&
              EffectTable[18].Priority == kFaintPriority);

bool ValidEffect(int no, const char* caller) {
  if (no >= 0 && no < kEffectSlots) return true;
  std::fprintf(stderr, "ductora: %s: effect number %d out of range 0..%d, ignored\n", caller, no,
               kEffectSlots - 1);
  return false;
}

WaveSound& Effect(int no) {
  if (!EffectSound[no]) EffectSound[no] = std::make_unique<WaveSound>();
  return *EffectSound[no];
}

// A faint effect waits for silence: a louder one is never cut for it, not even
// after its hold has run out while its sound goes on.
bool DrownedOut(int no) {
  return EffectPriority[no] >= kFaintPriority && SoundingPriority < EffectPriority[no] &&
         plat::NowMs() < SoundingUntil;
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

bool ChunkIs(const std::vector<uint8_t>& b, size_t at, const char* id) {
  return std::memcmp(b.data() + at, id, 4) == 0;
}

}  // namespace

void WaveSound::Load(const std::string& file) {
  std::vector<uint8_t> data;
  // Minutes of CD-quality sound; a bigger file is no effect of the game.
  constexpr size_t kEffectFileLimit = size_t{16} << 20;
  if (plat::ReadFileUpTo(file, kEffectFileLimit, data) != plat::FileRead::Ok) {
    plat::ShowMessage("Waveデータ<" + file + ">の読み込みに失敗しました。");
    return;
  }
  data.push_back(0);
  WaveData = std::move(data);
  WaveFile = file;
}

void WaveSound::Play(int number) const {
  plat::StopWave(number);
  // A sound whose file could not be read plays nothing.
  if (Loaded()) plat::PlayWave(number, WaveData);
}

void WaveSound::StopWave(int number) const { plat::StopWave(number); }

// The data chunk's bytes over the format's byte rate; a data chunk cut short
// by the end of the file plays only what is there.
int64_t WaveSound::LengthMs() const {
  const std::vector<uint8_t>& b = WaveData;
  if (b.size() < 12 || !ChunkIs(b, 0, "RIFF") || !ChunkIs(b, 8, "WAVE")) return 0;
  uint32_t byteRate = 0;
  for (size_t at = 12; at + 8 <= b.size();) {
    const uint32_t size = Le32(b, at + 4);
    const size_t body = at + 8, left = b.size() - body;
    if (ChunkIs(b, at, "fmt ") && size >= 16 && left >= 16) byteRate = Le32(b, body + 8);
    if (ChunkIs(b, at, "data"))
      return byteRate == 0 ? 0
                           : static_cast<int64_t>(std::min<size_t>(size, left)) * 1000 / byteRate;
    if (size > left) return 0;
    at = body + size + (size & 1);
  }
  return 0;
}

void LoadEffects() {
  CurPriority = kNone;
  HoldLeft = 0;
  SoundingUntil = 0;
  const std::string folder = game::SoundPath + "se/";
  for (int no = 0; no < kEffectCount; ++no)
    DefineEffect(no, folder + EffectTable[no].File, EffectTable[no].Priority, EffectTable[no].Hold);
}

void DefineEffect(int no, const std::string& file, int priority, int hold) {
  if (!ValidEffect(no, "DefineEffect")) return;
  Effect(no).Load(file);
  EffectPriority[no] = priority;
  EffectHold[no] = hold;
}

void PlayEffect(int no) {
  if (!ValidEffect(no, "PlayEffect")) return;
  if (CurPriority < EffectPriority[no]) return;
  if (no == CurEffect && EffectAge < kRestartGuard) return;
  if (DrownedOut(no)) return;
  Effect(no).Play(no);
  SoundingPriority = EffectPriority[no];
  SoundingUntil = plat::NowMs() + Effect(no).LengthMs();
  CurEffect = no;
  EffectAge = 0;
  CurPriority = EffectPriority[no];
  HoldLeft = EffectHold[no];
}

void StopEffect(int no) {
  if (!ValidEffect(no, "StopEffect")) return;
  if (no != CurEffect) return;
  Effect(no).StopWave(no);
  SoundingUntil = 0;
  HoldLeft = 0;
  CurEffect = kNone;
  CurPriority = kNone;
}

void EffectTick() {
  if (HoldLeft > 0) {
    ++EffectAge;
    --HoldLeft;
  } else {
    CurEffect = kNone;
    CurPriority = kNone;
  }
}

}  // namespace audio
