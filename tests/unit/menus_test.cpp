// SPDX-License-Identifier: Zlib
// The menus' repeat filter and course list, the stage titles, the game
// over's hi-score rule and save, and the closing wipe.
#include "shell/menus.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "platform/headless/runner.h"
#include "platform/platform.h"
#include "puzzle/stageedit.h"
#include "render/sheets.h"
#include "render/surfaces.h"
#include "shell/coursefile.h"
#include "shell/gamestate.h"
#include "shell/intro.h"
#include "shell/savedata.h"
#include "shell/window.h"
#include "test_support.h"

namespace {

using namespace testing_support;

// The frames (counted from 0) on which MenuRepeat reports a word held from
// frame 0 for the given number of frames.
std::vector<int> ReportedFrames(int32_t word, int frames) {
  game::MenuRepeat(0x7FFF0000, 24, 6);  // something else first: word is new
  std::vector<int> out;
  for (int f = 0; f < frames; ++f)
    if (game::MenuRepeat(word, 24, 6) != 0) out.push_back(f);
  return out;
}

TEST(MenuRepeat, HeldInputRepeatsAfter24FramesThenEvery6) {
  EXPECT_EQ(ReportedFrames(0x4000, 50), (std::vector<int>{0, 24, 30, 36, 42, 48}));
  // A button held with the direction is part of the word: adding it is a
  // change, reported at once, and the delays start again.
  game::MenuRepeat(0x4000, 24, 6);
  EXPECT_EQ(game::MenuRepeat(0x4000, 24, 6), 0);
  EXPECT_EQ(game::MenuRepeat(0x404000, 24, 6), 0x404000);
  EXPECT_EQ(game::MenuRepeat(0x404000, 24, 6), 0);
  // Letting go is a change too; the word 0 then reads as nothing to do.
  EXPECT_EQ(game::MenuRepeat(0, 24, 6), 0);
  EXPECT_EQ(game::MenuRepeat(0x1000, 24, 6), 0x1000);
}

TEST(CourseList, EndlessModeOnlyForOnePlayerWithAllCoursesFinished) {
  const game::SaveRecord saved = game::SaveData;
  const int32_t players = game::PlayerCount;
  for (int mask = 0; mask < 256; ++mask) {
    for (int p = 1; p <= 2; ++p) {
      game::SaveData.ClearedMask = static_cast<uint8_t>(mask);
      game::PlayerCount = p;
      EXPECT_EQ(game::CourseLineCount(), mask == 7 && p == 1 ? 4 : 3) << mask << " " << p;
    }
  }
  game::SaveData = saved;
  game::PlayerCount = players;
}

// A player course is offered for play only when every stage passes the
// game's checks; the list names the first stage that does not.
TEST(CourseList, PlayerCourseProblemNamesTheFirstFaultyStage) {
  static puzzle::EditCourse course;
  puzzle::BlankCourse(course);
  puzzle::SetCellKind(course.Stages[0], 1, 3, 1);  // source flowing right
  puzzle::SetCellKind(course.Stages[0], 8, 3, 7);  // drain opening left
  EXPECT_EQ(game::CourseProblem(puzzle::CourseBytes(course)), "");
  ASSERT_TRUE(puzzle::AddStage(course));
  std::vector<uint8_t> bytes = puzzle::CourseBytes(course);
  EXPECT_EQ(game::CourseProblem(bytes), "STAGE 2: NO SOURCE");
  bytes.push_back(0);
  EXPECT_EQ(game::CourseProblem(bytes), "CUT SHORT");
  EXPECT_EQ(game::CourseProblem({}), "EMPTY FILE");
  EXPECT_EQ(game::CourseProblem(std::vector<uint8_t>(100 * puzzle::kStageRecordSize)),
            "MORE THAN 99 STAGES");
}

TEST(CourseList, BestScoresReadBackAndBadLinesCountAsNone) {
  auto parse = [](const std::string& text, int32_t best[2]) {
    return game::ParseBestScores(std::vector<uint8_t>(text.begin(), text.end()), best);
  };
  int32_t best[2];
  const int32_t written[2] = {123450, 7};
  const std::vector<uint8_t> bytes = game::BestScoreBytes(written);
  EXPECT_TRUE(parse(std::string(bytes.begin(), bytes.end()), best));
  EXPECT_EQ(best[0], 123450);
  EXPECT_EQ(best[1], 7);
  EXPECT_TRUE(parse("2P 5", best));
  EXPECT_EQ(best[0], 0);
  EXPECT_EQ(best[1], 5);
  for (const char* bad : {"", "1P -3\n", "3P 10\n", "1P 1234567890\n", "1p 5\n", "1P\n"}) {
    EXPECT_FALSE(parse(bad, best)) << bad;
    EXPECT_EQ(best[0] + best[1], 0) << bad;
  }
  EXPECT_EQ(game::BestFilePath("/x/courses/MINE.dat"), "/x/courses/MINE.best");
  EXPECT_EQ(game::FreeCourseName("MYCOURSE", {"MYCOURSE1.dat", "mycourse2.dat", "MYCOURSE4.dat"}),
            "MYCOURSE3");
}

TEST(StageIntro, TitleNamesCourseLetterAndStageFromOne) {
  EXPECT_EQ(game::StageTitle(0, 0), "STAGE A-1");
  EXPECT_EQ(game::StageTitle(2, 1), "STAGE C-2");
  EXPECT_EQ(game::StageTitle(1, 9), "STAGE B-10");
}

class GameOverTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    headless::Reset();
    game::Form1_Load();
    game::Form2_Load();
    game::ScreenPic = &render::Scr;
    render::LoadImages();
  }
  void SetUp() override {
    saved_ = game::SaveData;
    folder_ = TempFolder("gameover");
    game::DataPath = folder_;
    game::SetDefaultSaveData(game::SaveData);
  }
  void TearDown() override {
    game::SaveData = saved_;
    game::PlayerCount = 1;
    game::CourseNo = 0;
    game::TotalScore = 0;
  }
  game::SaveRecord saved_;
  std::string folder_;
};

TEST_F(GameOverTest, HiScoreTakesOnlyAHigherTotalOfItsPlayersAndCourse) {
  game::PlayerCount = 2;
  game::CourseNo = 1;
  game::TotalScore = 400000;  // equal to the two-player default of course B
  EXPECT_FALSE(game::UpdateHiScore());
  game::TotalScore = 400001;
  EXPECT_TRUE(game::UpdateHiScore());
  EXPECT_EQ(game::SaveData.HiScore[1][1], 400001);
  EXPECT_EQ(game::SaveData.HiScore[0][1], 200000);
  game::TotalScore = 5;
  EXPECT_FALSE(game::UpdateHiScore());
  EXPECT_EQ(game::SaveData.HiScore[1][1], 400001);
  // A course or player count outside the table changes nothing.
  const game::SaveRecord before = game::SaveData;
  game::TotalScore = 999999999;
  game::CourseNo = 4;
  EXPECT_FALSE(game::UpdateHiScore());
  game::CourseNo = 0;
  game::PlayerCount = 0;
  EXPECT_FALSE(game::UpdateHiScore());
  EXPECT_EQ(std::memcmp(&before, &game::SaveData, sizeof before), 0);
}

TEST_F(GameOverTest, EqualTotalStillSavesAndTheScreenEndsBlack) {
  game::PlayerCount = 1;
  game::CourseNo = 0;
  game::TotalScore = 100000;
  plat::FillRect(*game::ScreenPic, 0, 0, 512, 352, 0xFFFFFF);
  const int64_t start = headless::CurrentFrame();
  game::GameOver();
  // 300 frames of "GAME  OVER", then the grid and the black screen.
  EXPECT_EQ(headless::CurrentFrame() - start, 302);
  EXPECT_EQ(game::SaveData.HiScore[0][0], 100000);
  std::vector<uint8_t> file;
  ASSERT_TRUE(plat::ReadWholeFile(folder_ + "ductora.dat", file));
  EXPECT_EQ(file.size(), 69u);
  // Below the score line nothing of the last picture is left.
  const plat::Surface& shown = headless::LastShown();
  for (int y = 32; y < shown.Height; ++y)
    for (int x = 0; x < shown.Width; ++x) ASSERT_EQ(plat::GetPixel(shown, x, y), 0u) << x << y;
}

TEST_F(GameOverTest, WipeGridKeepsOnlyOddColumnsOfOddRows) {
  // The rows are blacked from the top and from the bottom towards the
  // middle; the middle rows and the last column must not be missed.
  for (auto [w, h] : {std::pair{512, 352}, std::pair{100, 70}, std::pair{38, 6}}) {
    plat::Surface pic;
    plat::Resize(pic, w, h);
    plat::FillRect(pic, 0, 0, w, h, 0xFFFFFF);
    game::DrawWipeGrid(pic);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        ASSERT_EQ(plat::GetPixel(pic, x, y), x % 2 == 1 && y % 2 == 1 ? 0xFFFFFFu : 0u)
            << x << "," << y << " in " << w << "x" << h;
  }
}

}  // namespace
