// SPDX-License-Identifier: Zlib
// The runner's script and the input words it produces.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "input/joystick.h"
#include "platform/headless/runner.h"
#include "platform/platform.h"
#include "test_support.h"

namespace {

// Loads a script and advances the runner to the given frame, pumping events.
void RunTo(int64_t frame) {
  plat::Event e;
  while (headless::CurrentFrame() < frame) {
    while (plat::NextEvent(e)) {
    }
    plat::FrameMark();
  }
  while (plat::NextEvent(e)) {
  }
}

bool Load(const std::string& script, std::string& err) {
  headless::Reset();
  return headless::LoadScript(script, err);
}

TEST(Script, MalformedLinesNameTheirLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"# fine\n3 Z tap\nx Z tap\n", "line 3: frame number expected"},
      {"1 Q down\n", "line 1: unknown key 'Q'"},
      {"\n\n5 Z press\n", "line 3: unknown action 'press'"},
      {"5 J2.B1 down\n", "line 1: unknown key 'J2.B1'"},
      {"5 J0.B5 down\n", "line 1: unknown key 'J0.B5'"},
      {"5 Z\n", "line 1: unknown event 'Z'"},
      {"5 J1 plug\n", "line 1: expected connect or disconnect"},
      {"-5 Z down\n", "line 1: frame number expected"},
      {"5 Z down extra\n", "line 1: expected 'F KEY down|up|tap'"},
  };
  for (const auto& [script, message] : cases) {
    std::string err;
    EXPECT_FALSE(Load(script, err)) << script;
    EXPECT_EQ(err, message);
  }
  std::string err;
  EXPECT_TRUE(Load("0 Up down # comment\n  \n7 close\n9 focus-out\n9 focus-in\n", err)) << err;
}

TEST(Input, KeyboardWordsFollowTheScript) {
  std::string err;
  ASSERT_TRUE(Load("2 Up down\n2 Down down\n4 Z tap\n6 Up up\n6 X down\n", err));
  RunTo(1);
  EXPECT_EQ(input::ReadKeyboard(), 0u);
  RunTo(2);
  EXPECT_EQ(input::ReadKeyboard(), 0x5000u);  // up and down together
  RunTo(4);
  EXPECT_EQ(input::ReadKeyboard(), 0x405000u);
  RunTo(5);
  EXPECT_EQ(input::ReadKeyboard(), 0x5000u);  // the tap lifted Z one frame later
  RunTo(6);
  EXPECT_EQ(input::ReadKeyboard(), 0x204000u);
}

TEST(Input, JoysticksAnswerFromTheirFirstLineAndUnplug) {
  std::string err;
  ASSERT_TRUE(Load("3 J1.Left down\n3 J1.B2 down\n5 J1.Up down\n8 J1 disconnect\n", err));
  RunTo(2);
  EXPECT_EQ(input::JoystickPresent(1), 0);
  EXPECT_EQ(input::ReadJoystick(1), 0u);
  EXPECT_EQ(input::JoystickPresent(0), 0);
  RunTo(3);
  EXPECT_EQ(input::JoystickPresent(1), 1);
  EXPECT_EQ(input::ReadJoystick(1), 0x8002u);
  RunTo(5);
  EXPECT_EQ(input::ReadJoystick(1), 0x9002u);  // a diagonal sets two directions
  RunTo(8);
  EXPECT_EQ(input::JoystickPresent(1), 0);
  EXPECT_EQ(input::ReadJoystick(1), 0u);
  EXPECT_EQ(input::JoystickPresent(7), 0);
}

TEST(Input, WindowKeysAndTheFrameLimitBecomeEvents) {
  std::string err;
  ASSERT_TRUE(Load("1 F12 tap\n2 close\n", err));
  headless::Options o;
  o.Frames = 3;
  ASSERT_TRUE(headless::Configure(o, err));
  std::vector<std::pair<int64_t, int>> seen;
  plat::Event e;
  for (int f = 0; f <= 4; ++f) {
    while (plat::NextEvent(e))
      seen.push_back(
          {headless::CurrentFrame(), e.Kind == plat::EventKind::KeyDown ? e.KeyCode : -1});
    plat::FrameMark();
  }
  EXPECT_EQ(seen, (std::vector<std::pair<int64_t, int>>{{1, 123}, {2, -1}, {3, 27}}));
}

// The runner takes the shared command line (cmdline_test.cpp tries its
// options one by one) and hands back a refusal's message.
TEST(Options, CommandLine) {
  const char* good[] = {"x", "--root", "/r", "--frames", "100"};
  headless::Options o;
  std::string err;
  ASSERT_TRUE(headless::ParseOptions(5, const_cast<char**>(good), o, err)) << err;
  EXPECT_EQ(o.Root, "/r");
  EXPECT_EQ(o.Frames, 100);
  const char* bad[] = {"x", "--frames"};
  EXPECT_FALSE(headless::ParseOptions(2, const_cast<char**>(bad), o, err));
  EXPECT_EQ(err, "option '--frames' needs a value");
}

// The runner keeps a shown picture only while a screenshot is still to come,
// and the screenshot is the picture shown last before its frame.
TEST(Screenshots, TakeTheLastShownPictureAndOnlyThenIsItKept) {
  headless::Reset();
  const std::string shot = testing_support::TempFolder("shot") + "shot.png";
  headless::Options o;
  o.PicturesForShotsOnly = true;
  o.Shots.push_back({1, shot});
  std::string err;
  ASSERT_TRUE(headless::Configure(o, err)) << err;
  plat::Surface red, blue, green;
  for (auto [s, c] : {std::pair{&red, 0xFF0000u}, {&blue, 0x0000FFu}, {&green, 0x00FF00u}}) {
    plat::Resize(*s, 8, 4);
    plat::FillRect(*s, 0, 0, 8, 4, c);
  }
  plat::Present(red);
  EXPECT_EQ(headless::LastShown().Pixels, red.Pixels);
  plat::FrameMark();  // frame 0
  plat::Present(blue);
  plat::FrameMark();  // frame 1: the shot
  plat::Present(green);
  EXPECT_EQ(headless::LastShown().Pixels, blue.Pixels);
  FILE* f = std::fopen(shot.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  headless::Reset();
  // Without the option every picture is kept, for the tests that read it.
  plat::Present(green);
  EXPECT_EQ(headless::LastShown().Pixels, green.Pixels);
  headless::Reset();
}

}  // namespace
