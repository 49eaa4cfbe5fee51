// SPDX-License-Identifier: Zlib
// Pausing freezes the frame loop at its event pump; the runner keeps
// counting its own frames and the game's clock stands still.
#include <gtest/gtest.h>

#include "input/joystick.h"
#include "platform/platform.h"
#include "render/surfaces.h"
#include "shell/gamestate.h"
#include "shell/timer.h"
#include "shell/window.h"
#include "test_support.h"

namespace {

using namespace testing_support;

// Runs game frames until the runner reaches `frames`; returns the game frames run.
int RunGameFrames(int64_t frames, std::vector<uint32_t>* words = nullptr) {
  int game_frames = 0;
  while (headless::CurrentFrame() < frames) {
    game::DoEvents();
    if (words != nullptr) words->push_back(input::ReadKeyboard());
    game::WaitFrame(17);
    ++game_frames;
  }
  return game_frames;
}

class Pause : public ::testing::Test {
 protected:
  void Start(const std::string& script) {
    log_ = StartLoggedRun("pause");
    std::string err;
    ASSERT_TRUE(headless::LoadScript(script, err)) << err;
    render::InitSurfaces();
    game::ScreenPic = &render::Scr;
  }
  std::vector<std::string> PauseLines() {
    std::vector<std::string> out;
    for (const std::string& line : Lines(FinishLoggedRun(log_)))
      if (line.find("pause") != std::string::npos) out.push_back(line);
    return out;
  }
  std::string log_;
};

TEST_F(Pause, PKeyFreezesGameFramesAndTheClock) {
  Start("10 P tap\n1010 P tap\n");
  int64_t clock0 = plat::NowMs();
  int game_frames = RunGameFrames(1100);
  // 1000 runner frames were spent paused.
  EXPECT_EQ(game_frames, 100);
  EXPECT_LE(plat::NowMs() - clock0, 17 * 101);
  EXPECT_EQ(PauseLines(), (std::vector<std::string>{"10 pause 1", "1010 pause 0"}));
}

TEST_F(Pause, FocusLossPausesUntilAButtonWithFocus) {
  Start("5 focus-out\n20 Z tap\n30 focus-in\n40 Up tap\n50 X down\n70 X up\n");
  std::vector<uint32_t> words;
  int game_frames = RunGameFrames(80, &words);
  // Z without focus and Up (not a resume button) do nothing; X resumes at 50.
  EXPECT_EQ(PauseLines(), (std::vector<std::string>{"5 pause 1", "50 pause 0"}));
  EXPECT_EQ(game_frames, 5 + 30);
  // The X that resumed reads as released until it is let go.
  for (size_t i = 5; i < 5 + 20; ++i) EXPECT_EQ(words[i] & input::kKeyX, 0u) << i;
}

TEST_F(Pause, WindowKeysWorkWhilePaused) {
  Start("3 P tap\n6 F12 tap\n8 F1 tap\n12 F1 tap\n15 P tap\n");
  bool label_before = game::StatusVisible;
  RunGameFrames(20);
  EXPECT_NE(game::StatusVisible, label_before);
  std::vector<std::string> all = Lines(FinishLoggedRun(log_));
  EXPECT_EQ(all,
            (std::vector<std::string>{"3 pause 1", "8 display 1", "12 display 0", "15 pause 0"}));
  game::StatusVisible = label_before;
}

}  // namespace
