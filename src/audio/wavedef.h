// SPDX-License-Identifier: Zlib
// Sound effects 0..16 played from memory under a small priority scheme.
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

 private:
  std::string WaveFile;
  std::vector<uint8_t> WaveData;
};

constexpr int kEffectSlots = 257;

void LoadEffects();
void DefineEffect(int no, const std::string& file, int priority, int hold);
void PlayEffect(int no);
void StopEffect(int no);
void EffectTick();

}  // namespace audio
