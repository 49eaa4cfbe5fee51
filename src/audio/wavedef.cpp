// SPDX-License-Identifier: Zlib
#include "audio/wavedef.h"

#include <cstdio>
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

struct EffectDef {
  const char* File;
  int Priority;
  int Hold;
};

constexpr EffectDef EffectTable[17] = {
    {"se00.wav", 3, 6},  {"se01.wav", 3, 6},  {"se02.wav", 3, 6},  {"se03.wav", 2, 6},
    {"se04.wav", 2, 30}, {"se05.wav", 2, 5},  {"se06.wav", 2, 40}, {"se07.wav", 1, 1},
    {"se08.wav", 1, 6},  {"se09.wav", 1, 10}, {"se10.wav", 2, 40}, {"se11.wav", 2, 40},
    {"se12.wav", 2, 40}, {"se13.wav", 2, 40}, {"se14.wav", 2, 40}, {"se15.wav", 4, 3},
    {"se16.wav", 4, 3},
};

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

void LoadEffects() {
  CurPriority = kNone;
  HoldLeft = 0;
  const std::string folder = game::SoundPath + "se/";
  for (int no = 0; no < 17; ++no)
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
  Effect(no).Play(no);
  CurEffect = no;
  EffectAge = 0;
  CurPriority = EffectPriority[no];
  HoldLeft = EffectHold[no];
}

void StopEffect(int no) {
  if (!ValidEffect(no, "StopEffect")) return;
  if (no != CurEffect) return;
  Effect(no).StopWave(no);
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
