// SPDX-License-Identifier: Zlib
// Sound effects 0..18 played from memory under a small priority scheme. The
// quietest effects (priority kFaintPriority) are feedback only: they start
// into silence or over one another, never over a louder effect still sounding.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace audio {

// One wave file held in memory.
class WaveSound {
 public:
  void Load(const std::string& file);
  void Play(int number) const;
  void StopWave(int number) const;
  bool Loaded() const { return !WaveFile.empty(); }
  // How long the sound plays, from its header; 0 when it plays nothing.
  int64_t LengthMs() const;

 private:
  std::string WaveFile;
  std::vector<uint8_t> WaveData;
};

constexpr int kEffectSlots = 257;
constexpr int kEffectCount = 19;  // the effects the game loads, 0..18
constexpr int kFaintPriority = 5;

void LoadEffects();
void DefineEffect(int no, const std::string& file, int priority, int hold);
void PlayEffect(int no);
void StopEffect(int no);
void EffectTick();

}  // namespace audio
