// SPDX-License-Identifier: Zlib
// Frame pacing on the virtual clock, the sound-effect priority scheme and
// the music's playing time, as the event log and the clock show them.
#include <gtest/gtest.h>

#include "audio/midi.h"
#include "audio/wavedef.h"
#include "platform/platform.h"
#include "shell/gamestate.h"
#include "shell/timer.h"
#include "test_support.h"

namespace {

using namespace testing_support;

TEST(WaitFrame, VirtualClockAdvancesExactlyPerFrame) {
  headless::Reset();
  game::WaitFrame(17);
  const int64_t first = plat::NowMs();
  // The game has never marked a frame at this point in a fresh process only;
  // after the first mark every call adds exactly its milliseconds.
  for (int i = 0; i < 1000; ++i) game::WaitFrame(17);
  EXPECT_EQ(plat::NowMs() - first, 17000);
  // A frame whose work ran late is not made up: the next one counts from it.
  plat::WaitUntil(plat::NowMs() + 25);
  const int64_t late = plat::NowMs();
  game::WaitFrame(17);
  EXPECT_EQ(plat::NowMs(), late);
  game::WaitFrame(17);
  EXPECT_EQ(plat::NowMs(), late + 17);
}

TEST(WaitFrame, FrameRateLabelCountsOneSecond) {
  game::FrameCount = 58;
  game::Timer1_Timer();
  EXPECT_EQ(game::StatusCaption, "FPS : 58");
  EXPECT_EQ(game::FrameCount, 0);
  game::Timer1_Timer();
  EXPECT_EQ(game::StatusCaption, "FPS : 0");
}

constexpr int kSoundMs = 200;  // every effect's sound; longer than most holds

// A mono 8-bit wave file at 1000 samples a second: one byte a millisecond.
std::string Wave(int ms) {
  auto le = [](uint32_t v, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(v >> (8 * i));
    return out;
  };
  return "RIFF" + le(36 + ms, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(1000, 4) +
         le(1000, 4) + le(1, 2) + le(8, 2) + "data" + le(ms, 4) + std::string(ms, '\x80');
}

class Effects : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = TempFolder("se");
    game::SoundPath = folder_;
    std::system(("mkdir -p '" + folder_ + "se'").c_str());
    for (int i = 0; i < audio::kEffectCount; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "se/se%02d.wav", i);
      std::ofstream(folder_ + name, std::ios::binary) << Wave(kSoundMs);
    }
    log_ = StartLoggedRun("se-log");
    audio::LoadEffects();
    for (int i = 0; i < 50; ++i) audio::EffectTick();  // nothing holds
  }
  // The sound lines of the log, each as "tick N" where N counts EffectTick.
  std::vector<std::string> Sounds() {
    std::vector<std::string> out;
    for (const std::string& line : Lines(FinishLoggedRun(log_)))
      if (line.find(" sound ") != std::string::npos) out.push_back(line.substr(line.find(' ') + 1));
    return out;
  }
  std::string folder_, log_;
};

TEST_F(Effects, MoreImportantEffectCutsTheOneHolding) {
  audio::PlayEffect(14);
  audio::EffectTick();
  audio::PlayEffect(9);  // priority 1 over priority 2
  EXPECT_EQ(Sounds(), (std::vector<std::string>{"sound 14", "sound 9"}));
}

TEST_F(Effects, LessImportantEffectWaitsOutTheHold) {
  audio::PlayEffect(4);  // priority 2, hold 30
  // Each tick is a frame of the log, so the log tells when effect 0 got through.
  for (int tick = 1; tick <= 40; ++tick) {
    plat::FrameMark();
    audio::EffectTick();
    audio::PlayEffect(0);
  }
  std::vector<std::string> sounds;
  for (const std::string& line : Lines(FinishLoggedRun(log_)))
    if (line.find(" sound 0") != std::string::npos) sounds.push_back(line);
  ASSERT_FALSE(sounds.empty());
  EXPECT_EQ(sounds.front(), "31 sound 0");
}

TEST_F(Effects, SameEffectNotRestartedWithinEightTicks) {
  audio::PlayEffect(14);
  for (int i = 0; i < 5; ++i) audio::EffectTick();
  audio::PlayEffect(14);
  for (int i = 0; i < 3; ++i) audio::EffectTick();
  audio::PlayEffect(14);  // 8 ticks after the start: starts again
  EXPECT_EQ(Sounds(), (std::vector<std::string>{"sound 14", "sound 14"}));
}

TEST_F(Effects, EqualPriorityReplacesAndStopAfterHoldDoesNothing) {
  audio::PlayEffect(0);
  audio::PlayEffect(1);  // both priority 3
  for (int i = 0; i < 10; ++i) audio::EffectTick();
  audio::StopEffect(1);  // hold of 6 has run out
  audio::PlayEffect(14);
  audio::StopEffect(14);
  audio::StopEffect(300);  // out of range: reported, ignored
  audio::PlayEffect(-1);
  std::vector<std::string> log = Lines(FinishLoggedRun(log_));
  std::vector<std::string> kinds;
  for (const std::string& line : log) kinds.push_back(line.substr(line.find(' ') + 1));
  EXPECT_EQ(kinds, (std::vector<std::string>{"sound-stop 0", "sound 0", "sound-stop 1", "sound 1",
                                             "sound-stop 14", "sound 14", "sound-stop 14"}));
}

TEST_F(Effects, FaintEffectWaitsForSilenceAndGivesWayToEveryOther) {
  auto frames = [](int n) {
    for (int i = 0; i < n; ++i) {
      audio::EffectTick();
      game::WaitFrame(17);
    }
  };
  game::WaitFrame(17);
  audio::PlayEffect(16);  // the landing thud: hold 3, then its sound goes on
  audio::PlayEffect(17);  // refused while the thud holds
  frames(5);
  audio::PlayEffect(18);  // the hold is over, but the thud still sounds
  frames(7);
  audio::PlayEffect(17);  // 204 ms: silence, the tick plays
  audio::PlayEffect(16);  // and a louder effect cuts it at once
  frames(20);
  audio::PlayEffect(14);
  audio::StopEffect(14);  // stopped: silence again
  audio::PlayEffect(18);
  audio::PlayEffect(17);  // faint over faint: the later one plays
  EXPECT_EQ(Sounds(), (std::vector<std::string>{"sound 16", "sound 17", "sound 16", "sound 14",
                                                "sound 18", "sound 17"}));
}

// A one-track MIDI file: tempo 500000 us per beat, 480 ticks per beat, one
// note held for `beats` beats.
void WriteMidi(const std::string& path, int beats) {
  std::vector<uint8_t> t = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0x90, 60, 100};
  uint32_t ticks = 480u * beats;
  std::vector<uint8_t> vlq;
  for (uint32_t v = ticks;; v >>= 7) {
    vlq.insert(vlq.begin(), static_cast<uint8_t>((v & 0x7F) | (vlq.empty() ? 0 : 0x80)));
    if (v < 0x80) break;
  }
  t.insert(t.end(), vlq.begin(), vlq.end());
  t.insert(t.end(), {0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00});
  std::vector<uint8_t> f = {
      'M', 'T',  'h',  'd', 0,   0,   0,   6, 0, 0, 0,
      1,   0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0, static_cast<uint8_t>(t.size())};
  f.insert(f.end(), t.begin(), t.end());
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(f.data()), f.size());
}

TEST(Music, PlaysForItsLengthAndNotAfterwards) {
  std::string folder = TempFolder("music");
  game::SoundPath = folder;
  std::system(("mkdir -p '" + folder + "music'").c_str());
  WriteMidi(audio::MusicFileName(0), 4);  // 2 seconds, in "Cheerful Street.MID"
  std::string log = StartLoggedRun("music-log");
  audio::PlayMusic(audio::MusicFileName(0));
  EXPECT_TRUE(audio::MusicPlaying());
  plat::WaitUntil(plat::NowMs() + 1999);
  EXPECT_TRUE(audio::MusicPlaying());
  plat::WaitUntil(plat::NowMs() + 1);
  EXPECT_FALSE(audio::MusicPlaying());
  audio::PlayMusic(audio::MusicFileName(2));  // missing: silent
  EXPECT_FALSE(audio::MusicPlaying());
  audio::StopMusic();
  EXPECT_EQ(Lines(FinishLoggedRun(log)),
            (std::vector<std::string>{"0 music-play Cheerful Street.MID", "0 music-stop"}));
  EXPECT_EQ(audio::MusicFileName(5), folder + "music/noname");
  EXPECT_EQ(audio::MusicFileName(-1), folder + "music/noname");
  EXPECT_EQ(audio::MusicFileName(99), folder + "music/laz_wind.mid");
}

}  // namespace
