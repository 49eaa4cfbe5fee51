// SPDX-License-Identifier: Zlib
// A small stage on the real board: an empty map with the special pieces a
// test places, input from a runner script, sounds from the event log.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "audio/wavedef.h"
#include "platform/platform.h"
#include "puzzle/board.h"
#include "puzzle/players.h"
#include "puzzle/playstage.h"
#include "puzzle/stage.h"
#include "puzzle/supply.h"
#include "puzzle/water.h"
#include "render/surfaces.h"
#include "shell/gamestate.h"
#include "shell/random.h"
#include "test_support.h"

namespace play_fixture {

// Every cell empty, normal speed, one second of delay, no warp.
inline puzzle::StageInfo BlankStage() {
  puzzle::StageInfo s{};
  std::memset(s.StageMap, puzzle::CHIP_EMPTY, sizeof s.StageMap);
  for (puzzle::StageSpecial& e : s.SpecialEntry) e = {puzzle::kAbsent, 0, 0, 0};
  s.SupplyCount[0] = 100;
  s.StartDelay = 1;
  s.SpeedByte = 128;
  return s;
}

inline void Special(puzzle::StageInfo& s, int index, int x, int y, int dir) {
  s.SpecialEntry[index] = {static_cast<uint8_t>(x), static_cast<uint8_t>(y),
                           static_cast<uint8_t>(dir), static_cast<uint8_t>(index == 2 ? 1 : 0)};
}

inline void Put(puzzle::StageInfo& s, int x, int y, int chip) {
  s.StageMap[x + 10 * y] = static_cast<uint8_t>(chip);
}

// A sound folder `dir` (ending in '/') holding an empty file for every effect.
inline void WriteEffects(const std::string& dir) {
  std::system(("mkdir -p '" + dir + "se'").c_str());
  for (int i = 0; i < audio::kEffectCount; ++i)
    std::ofstream(dir + "se/se" + (i < 10 ? "0" : "") + std::to_string(i) + ".wav");
}

class PlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = testing_support::TempFolder("play");
    game::SoundPath = folder_;
    WriteEffects(folder_);
    render::InitSurfaces();
    game::ScreenPic = &render::Scr;
    puzzle::InitChipTable();
    game::Randomize(7);
    for (puzzle::PlayerInfo& p : puzzle::Players) p = puzzle::PlayerInfo{};
    puzzle::Water = puzzle::WaterState{};
  }
  void TearDown() override { headless::Reset(); }

  // Sets the stage up as the course loop does, with input from script.
  void Start(const puzzle::StageInfo& s, int players, const std::string& script = "") {
    headless::Reset();
    std::string err;
    ASSERT_TRUE(headless::LoadScript(script, err)) << err;
    log_ = folder_ + "events.txt";
    headless::Options o;
    o.EventsFile = log_;
    ASSERT_TRUE(headless::Configure(o, err)) << err;
    audio::LoadEffects();
    for (int i = 0; i < 50; ++i) audio::EffectTick();
    plat::Event e;
    while (plat::NextEvent(e)) {
    }
    game::PlayerCount = players;
    puzzle::CurrentStage = s;
    puzzle::SetUpStage();
    puzzle::ResetWater();
    puzzle::TraceRoute(true);
    puzzle::SetUpPlayers();
  }

  // One frame of the real play loop. Once the water has stopped the loop
  // shows nothing more; the frame is still counted so RunTo ends.
  int32_t Frame() {
    const int32_t r = puzzle::PlayFrame();
    if (r != puzzle::kWaterRunning) plat::FrameMark();
    return r;
  }

  // Water steps alone, counting them; stops at a result or after limit.
  int32_t RunWater(int limit, int& steps) {
    for (steps = 1; steps <= limit; ++steps)
      if (const int32_t r = puzzle::StepWater(); r != puzzle::kWaterRunning) return r;
    return puzzle::kWaterRunning;
  }
  int32_t RunWater(int limit = 5000) {
    int steps = 0;
    return RunWater(limit, steps);
  }

  // (frame, effect) of every sound started so far; closes the log.
  std::vector<std::pair<int64_t, int>> Sounds() {
    std::vector<std::pair<int64_t, int>> out;
    long long frame = 0;
    int no = 0;
    for (const std::string& line : testing_support::Lines(testing_support::FinishLoggedRun(log_)))
      if (std::sscanf(line.c_str(), "%lld sound %d", &frame, &no) == 2) out.push_back({frame, no});
    return out;
  }
  // The effects in order; the frames of effect n.
  std::vector<int> SoundsOnly() {
    std::vector<int> out;
    for (const auto& [frame, no] : Sounds()) out.push_back(no);
    return out;
  }
  std::vector<int64_t> FramesOf(int n) {
    std::vector<int64_t> out;
    for (const auto& [frame, no] : Sounds())
      if (no == n) out.push_back(frame);
    return out;
  }
  // Runs frames until the runner has counted `frame` of them.
  void RunTo(int64_t frame) {
    while (headless::CurrentFrame() < frame) Frame();
  }

  std::string folder_, log_;
};

}  // namespace play_fixture
