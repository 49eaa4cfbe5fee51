// SPDX-License-Identifier: Zlib
// One attempt at a stage through the real play loop: what each end of the
// water costs or gains, how long it lasts in frames, and what stays on the
// screen afterwards.
#include "puzzle/playstage.h"

#include <gtest/gtest.h>

#include "play_fixture.h"
#include "render/font.h"
#include "render/playdraw.h"
#include "render/sheets.h"
#include "shell/timer.h"

namespace {

using namespace puzzle;
using play_fixture::Put;
using play_fixture::Special;

class PlayLoop : public play_fixture::PlayTest {
 protected:
  void SetUp() override {
    PlayTest::SetUp();
    render::LoadImages();
    stage_ = play_fixture::BlankStage();
    Special(stage_, 0, 0, 0, DirRight);
    game::Lives = 2;
    game::StageNo = 0;
    game::StageCount = 3;
    game::CourseFinished = 0;
  }
  void Begin(int players = 1, const std::string& script = "") {
    Start(stage_, players, script);
    render::BuildStageBackground(render::FirstMap);
  }
  // Marks a frame so that the clock and the frame count start from here.
  void Mark() {
    game::WaitFrame(17);
    frame_ = headless::CurrentFrame();
    clock_ = plat::NowMs();
  }
  int64_t Frames() const { return headless::CurrentFrame() - frame_; }
  int64_t Ms() const { return plat::NowMs() - clock_; }
  // Frames the water takes to its end, counted on a twin of the stage.
  int WaterSteps() {
    Begin();
    int steps = 0;
    const int32_t r = RunWater(5000, steps);
    EXPECT_NE(r, kWaterRunning);
    return steps;
  }

  StageInfo stage_;
  int64_t frame_ = 0, clock_ = 0;
};

TEST_F(PlayLoop, LeakCostsALifeAfterTheSplash) {
  const int steps = WaterSteps();
  Begin();
  Mark();
  PlayStage();
  EXPECT_EQ(game::Lives, 1);
  EXPECT_EQ(game::StageNo, 0);
  // The frame that ends the water is not drawn; then 9 splash steps of 40 ms
  // and 181 frames of pause.
  EXPECT_EQ(Frames(), (steps - 1) + 9 + 181);
  EXPECT_EQ(Ms(), (steps - 1) * 17 + 9 * 40 + 181 * 17);
  std::vector<int> sounds = SoundsOnly();
  EXPECT_EQ(std::count(sounds.begin(), sounds.end(), 9), 1);
  EXPECT_EQ(sounds.back(), 7);
}

TEST_F(PlayLoop, SplashCoversTheBorderTheWaterCouldNotCross) {
  Begin();
  PlayStage();
  int32_t x = 0, y = 0;
  LeakPoint(x, y);
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(96 + 32, 48 + 16));
  // Where the largest splash is solid, the screen shows the splash picture.
  const plat::Surface& shown = headless::LastShown();
  int solid = 0;
  for (int dy = 0; dy < 272; ++dy)
    for (int dx = 0; dx < 272; ++dx) {
      const int sx = dx * 80 / 272, sy = 384 + dy * 80 / 272;
      if (plat::GetPixel(render::WaterMaskPic, sx, sy) != 0) continue;
      const uint32_t at = plat::GetPixel(shown, x - 136 + dx, y - 136 + dy);
      if (at == plat::CLR_INVALID || y - 136 + dy < 32) continue;  // off screen, score line
      ASSERT_EQ(at, plat::GetPixel(render::WaterPic, sx, sy)) << dx << "," << dy;
      ++solid;
    }
  EXPECT_GT(solid, 5000);
}

TEST_F(PlayLoop, LeakOffTheEdgeSplashesOnTheFrame) {
  stage_ = play_fixture::BlankStage();
  Special(stage_, 0, 9, 3, DirRight);
  Begin();
  PlayStage();
  int32_t x = 0, y = 0;
  LeakPoint(x, y);
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(96 + 320, 48 + 96 + 16));
  EXPECT_EQ(game::Lives, 1);
}

TEST_F(PlayLoop, DrainReachedShortShowsTheMessageAndCostsALife) {
  Put(stage_, 1, 0, 17);
  Special(stage_, 1, 2, 0, DirLeft);
  stage_.RequiredPipes = 2;
  const int steps = WaterSteps();
  Begin();
  Mark();
  PlayStage();
  EXPECT_EQ(game::Lives, 1);
  EXPECT_EQ(game::StageNo, 0);
  int32_t x = 0, y = 0;
  LeakPoint(x, y);
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(96 + 64, 48 + 16));  // the drain's inlet
  // The message stays up for one three-second wait.
  EXPECT_EQ(Frames(), (steps - 1) + 9 + 181 + 1);
  EXPECT_EQ(Ms(), (steps - 1) * 17 + 9 * 40 + 181 * 17 + 3000);
  // Writing the message again over the last picture changes nothing: it is there.
  const plat::Surface& shown = headless::LastShown();
  plat::Surface again = shown;
  render::GameFont.FontColor(3);
  render::OutlineText(again, 64, 128, "REQUIRE THE MORE PIPE !!", 0);
  EXPECT_TRUE(again.Pixels == shown.Pixels);
  plat::Surface without = render::FirstMap;
  render::OutlineText(without, 64, 128, "REQUIRE THE MORE PIPE !!", 0);
  EXPECT_FALSE(without.Pixels == render::FirstMap.Pixels);
}

TEST_F(PlayLoop, ClearedStagesMoveOnAndTheLastFinishesTheCourse) {
  Put(stage_, 1, 0, 17);
  Special(stage_, 1, 2, 0, DirLeft);
  stage_.RequiredPipes = 1;
  Begin();
  PlayStage();
  EXPECT_EQ(game::StageNo, 1);
  EXPECT_EQ(game::CourseFinished, 0);
  EXPECT_EQ(game::Lives, 2);
  game::StageNo = 2;
  Begin();
  PlayStage();
  EXPECT_EQ(game::StageNo, 3);
  EXPECT_EQ(game::CourseFinished, -1);
  EXPECT_EQ(game::Lives, 2);
}

TEST_F(PlayLoop, PiecesLaidInPlayCarryTheWaterToTheDrain) {
  // Player 1 starts on the source: one step right and a press lay a straight.
  Special(stage_, 1, 2, 0, DirLeft);
  stage_.RequiredPipes = 1;
  stage_.StartDelay = 2;
  Begin(1, "5 Right tap\n10 Z tap\n");
  Players[0].Queue[Players[0].QueueIndex] = 17;
  PlayStage();
  EXPECT_EQ(Board[1][0].ChipNo, 17);
  EXPECT_EQ(Board[1][0].PassCount, 1);
  EXPECT_EQ(game::StageNo, 1);
  EXPECT_EQ(game::Lives, 2);
  EXPECT_EQ(Players[0].Score, 100);
  const auto sounds = Sounds();
  ASSERT_GE(sounds.size(), 3u);
  EXPECT_EQ(sounds[0], std::make_pair(int64_t{5}, 0));   // the cursor moved
  EXPECT_EQ(sounds[1], std::make_pair(int64_t{10}, 1));  // the piece was laid
  EXPECT_EQ(sounds[2], std::make_pair(int64_t{120}, 9));
}

}  // namespace
