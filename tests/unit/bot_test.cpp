// SPDX-License-Identifier: Zlib
// The bot: its route planning on hand-made boards, and its stage play
// through the real players and water, watched word by word.
#include "bot/bot.h"

#include <gtest/gtest.h>

#include <vector>

#include "bot/coursebot.h"
#include "bot/plan.h"
#include "endless/tokoton.h"
#include "input/joystick.h"
#include "play_fixture.h"

namespace {

using namespace puzzle;

class BotPlay : public play_fixture::PlayTest {
 protected:
  // Two bots clear the stage on seeds 1 to SEEDS, the water passing at
  // least SHARE pieces of each player's.
  void ExpectBothShareTheClear(const StageInfo& s, uint32_t seeds, int32_t share) {
    for (uint32_t seed = 1; seed <= seeds; ++seed) {
      SetUp();
      Start(s, 2);
      ASSERT_EQ(PlayWithBot(2, seed), kWaterCleared) << seed;
      EXPECT_GE(Players[0].Passed, share) << seed;
      EXPECT_GE(Players[1].Passed, share) << seed;
      TearDown();
    }
  }
  void TearDown() override {
    bot::Stop();
    input::SetWatcher(nullptr);
    game::CurrentScreen = game::ScreenKind::Other;
    PlayTest::TearDown();
  }

  // Plays until the water's result, the bot feeding the input, every
  // frame's words kept.
  int32_t PlayWithBot(int32_t players, uint32_t seed, int limit = 20000) {
    Words().clear();
    input::SetWatcher([](int64_t, const input::FrameWords& w) { Words().push_back(w); });
    bot::StartStagePlay(players, seed);
    game::CurrentScreen = game::ScreenKind::Play;
    int32_t r = kWaterRunning;
    for (int i = 0; i < limit && r == kWaterRunning; ++i) r = Frame();
    return r;
  }
  // One endless game from an empty well until a piece settles above it,
  // the bot playing or nobody; the pieces it lasted.
  int32_t PlayEndless(uint32_t seed, bool withBot, int limit = 40000) {
    Words().clear();
    input::SetWatcher([](int64_t, const input::FrameWords& w) { Words().push_back(w); });
    game::FixGameSeed(true, seed);
    tokoton::InitEndless();
    game::FixGameSeed(false, 0);
    tokoton::StartEndlessGame();
    if (withBot) bot::StartStagePlay(1, seed);
    game::CurrentScreen = game::ScreenKind::Endless;
    int i = 0;
    while (i < limit && tokoton::EndlessFrame()) ++i;
    EXPECT_LT(i, limit);
    bot::Stop();
    return tokoton::PieceCount;
  }
  static std::vector<input::FrameWords>& Words() {
    static std::vector<input::FrameWords> words;
    return words;
  }
};

// Source on the left, drain on the right, a wall of blocks between them
// with one gap at the bottom.
StageInfo WalledStage(int require) {
  StageInfo s = play_fixture::BlankStage();
  play_fixture::Special(s, 0, 0, 1, DirRight);
  play_fixture::Special(s, 1, 9, 1, DirLeft);
  for (int y = 0; y < 7; ++y) play_fixture::Put(s, 5, y, CHIP_BLOCK);
  s.SupplyCount[0] = 50;
  s.SupplyCount[1] = 50;
  s.RequiredPipes = static_cast<uint8_t>(require);
  s.StartDelay = 8;
  return s;
}

// Frames on which the device's word newly holds one of the bits.
std::vector<int> Presses(const std::vector<input::FrameWords>& words, int device, uint32_t bits) {
  std::vector<int> out;
  for (size_t f = 0; f < words.size(); ++f) {
    const uint32_t now = words[f].Word[device] & bits;
    const uint32_t before = f > 0 ? words[f - 1].Word[device] & bits : 0;
    if ((now & ~before) != 0) out.push_back(static_cast<int>(f));
  }
  return out;
}

int SmallestGap(const std::vector<int>& frames) {
  int gap = 1 << 30;
  for (size_t i = 1; i < frames.size(); ++i) gap = std::min(gap, frames[i] - frames[i - 1]);
  return gap;
}

TEST_F(BotPlay, ClearsAWalledStageAtAHumanPaceAndThenHurries) {
  Start(WalledStage(14), 1);
  ASSERT_EQ(PlayWithBot(1, 1), kWaterCleared);
  const std::vector<input::FrameWords>& w = Words();
  const std::vector<int> steps = Presses(w, 0, input::kDirections);
  const std::vector<int> lays = Presses(w, 0, input::kKeyZ);
  ASSERT_GE(lays.size(), 14u);
  EXPECT_GE(SmallestGap(steps), bot::kStepFrames);
  EXPECT_GE(SmallestGap(lays), bot::kLayFrames);
  for (const input::FrameWords& f : w) {
    const uint32_t k = f.Word[0];
    EXPECT_FALSE((k & input::kKeyZ) != 0 && (k & input::kDirections) != 0);
    // One direction at a time, and only the keyboard plays for one player.
    EXPECT_LE(__builtin_popcount(k & input::kDirections), 1);
    EXPECT_EQ(f.Word[1], 0u);
  }
  // Once the route was closed the hurry button was held to the end.
  ASSERT_GE(bot::ClosedMargin(), 0);
  size_t first = 0;
  while (first < w.size() && (w[first].Word[0] & input::kKeyX) == 0) ++first;
  ASSERT_LT(first, w.size());
  for (size_t f = first; f < w.size(); ++f) EXPECT_NE(w[f].Word[0] & input::kKeyX, 0u) << f;
  EXPECT_GE(Players[0].Passed, 14);
}

TEST_F(BotPlay, TwoBotsShareTheRouteOnTwoDevicesAndRepeatTheirGame) {
  std::vector<std::vector<uint32_t>> runs;
  for (int run = 0; run < 2; ++run) {
    SetUp();
    Start(WalledStage(16), 2);
    ASSERT_EQ(PlayWithBot(2, 9), kWaterCleared);
    EXPECT_GE(Players[0].Passed, 8);
    EXPECT_GE(Players[1].Passed, 8);
    std::vector<uint32_t> flat;
    for (const input::FrameWords& f : Words()) {
      flat.push_back(f.Word[0]);
      flat.push_back(f.Word[1]);
    }
    EXPECT_FALSE(Presses(Words(), 1, input::kKeyZ).empty());
    EXPECT_NE(Words().front().Word[1] & input::kPresentBit, 0u);  // joystick 0 plugged in
    runs.push_back(flat);
    TearDown();
  }
  EXPECT_EQ(runs[0], runs[1]);
}

// The stage lays a line of straights from the source to the drain; the
// stage's pieces count for player 0 only.
TEST_F(BotPlay, TwoBotsEachGetTheirOwnShareWhenTheStagesPiecesCountForOne) {
  StageInfo s = play_fixture::BlankStage();
  play_fixture::Special(s, 0, 0, 3, DirRight);
  play_fixture::Special(s, 1, 9, 3, DirLeft);
  for (int x = 1; x < 9; ++x) play_fixture::Put(s, x, 3, CHIP_FIRST_PIECE);
  s.SupplyCount[0] = 50;
  s.SupplyCount[1] = 50;
  s.RequiredPipes = 16;
  s.StartDelay = 10;
  ExpectBothShareTheClear(s, 3, 8);
}

// A corridor three cells high between walls: the bots start at its two ends
// and work in it side by side, each laying his own share.
TEST_F(BotPlay, TwoBotsClearACorridorFromItsTwoEnds) {
  StageInfo s = play_fixture::BlankStage();
  for (int x = 0; x < 10; ++x)
    for (int y : {0, 1, 5, 6, 7}) play_fixture::Put(s, x, y, CHIP_BLOCK);
  play_fixture::Special(s, 0, 0, 3, DirRight);
  play_fixture::Special(s, 1, 9, 4, DirLeft);
  s.SupplyCount[0] = 50;
  s.SupplyCount[1] = 50;
  s.RequiredPipes = 10;
  s.StartDelay = 12;
  ExpectBothShareTheClear(s, 8, 5);
}

TEST_F(BotPlay, PlaysTheEndlessWellAtAHumanPaceClosesCircuitsAndOutlastsDoingNothing) {
  Start(play_fixture::BlankStage(), 1);
  const int32_t idle = PlayEndless(4, false);
  std::vector<uint32_t> runs[2];
  for (std::vector<uint32_t>& run : runs) {
    const int32_t pieces = PlayEndless(4, true);
    EXPECT_GT(pieces, 4 * idle);
    EXPECT_GE(tokoton::EndlessBlocks, 20);  // circuits closed and removed
    const std::vector<input::FrameWords>& w = Words();
    constexpr uint32_t kMoves = input::kLeft | input::kRight | input::kKeyZ | input::kKeyX;
    EXPECT_GE(SmallestGap(Presses(w, 0, kMoves)), bot::kStepFrames);
    EXPECT_FALSE(Presses(w, 0, input::kDown).empty());
    for (const input::FrameWords& f : w) {
      EXPECT_LE(__builtin_popcount(f.Word[0] & (kMoves | input::kDown)), 1);
      run.push_back(f.Word[0]);
    }
  }
  EXPECT_EQ(runs[0], runs[1]);
}

class BotPlan : public play_fixture::PlayTest {};

TEST_F(BotPlan, FrontierPassesFixedPiecesAndWarpsAndCountsSpecialStraights) {
  StageInfo s = play_fixture::BlankStage();
  play_fixture::Special(s, 0, 0, 0, DirRight);
  play_fixture::Put(s, 1, 0, CHIP_FAST_H);
  play_fixture::Special(s, 2, 2, 0, DirLeft);  // warp entrance opening left
  play_fixture::Special(s, 3, 4, 5, DirDown);  // out at (4, 5) going down
  play_fixture::Put(s, 4, 6, CHIP_SLOW_V);
  play_fixture::Special(s, 1, 9, 7, DirUp);
  Start(s, 1);
  bot::Grid g;
  bot::SnapshotBoard(g);
  const bot::Frontier f = bot::FindFrontier(g);
  ASSERT_TRUE(f.Open);
  EXPECT_EQ(std::make_tuple(f.X, f.Y, f.Dir), std::make_tuple(4, 7, DirDown));
  EXPECT_EQ(f.Counted, 2);
  EXPECT_TRUE(f.Used[2][0] && f.Used[4][5] && f.Used[4][6]);
}

TEST_F(BotPlan, RoutesRoundWallsLongEnoughAndBreaksNothingTheWaterIsNear) {
  Start(WalledStage(10), 1);
  // A wrong piece where the route must start.
  Board[1][1] = ChipTable[18];
  bot::Grid g;
  bot::SnapshotBoard(g);
  const bot::Frontier f = bot::FindFrontier(g);
  bot::Expectation e;
  for (double& w : e.Weight) w = 1;
  const bot::Needs kTen{{10, 0}, 1};
  const bot::Plan far = bot::MakePlan(g, f, kTen, 0, e, 1);
  ASSERT_TRUE(far.Reaches);
  EXPECT_GE(far.Counted, 10);
  EXPECT_TRUE(far.Cells[0].Replace);
  // Every step of the route is a real move through buildable cells, and it
  // ends beside the drain going into it.
  for (int i = 0; i < far.Length; ++i) {
    const bot::PlanCell& c = far.Cells[i];
    EXPECT_NE(Board[c.X][c.Y].ChipNo, CHIP_BLOCK);
    if (i + 1 < far.Length) {
      int32_t x = c.X, y = c.Y;
      ASSERT_TRUE(MoveOneCell(x, y, c.Out));
      EXPECT_EQ(std::make_tuple(x, y, static_cast<int32_t>(far.Cells[i + 1].In)),
                std::make_tuple(static_cast<int32_t>(far.Cells[i + 1].X),
                                static_cast<int32_t>(far.Cells[i + 1].Y), c.Out));
    }
  }
  const bot::PlanCell& last = far.Cells[far.Length - 1];
  EXPECT_EQ(std::make_tuple(last.X + 1, last.Y, last.Out), std::make_tuple(9, 1, DirRight));
  // With the water about to enter it the piece cannot be broken: no route.
  EXPECT_FALSE(bot::MakePlan(g, f, kTen, 1, e, 1).Reaches);
  // An elbow there that turns the water down is kept and built on.
  g.Cell[1][1] = ChipTable[20];
  const bot::Plan near = bot::MakePlan(g, f, kTen, 1, e, 1);
  ASSERT_TRUE(near.Reaches);
  EXPECT_FALSE(near.Cells[0].Act);
  EXPECT_EQ(near.Cells[0].Out, DirDown);
}

// Pieces on the route count for the player who laid them: a route through
// player 0's pieces leaves player 1 all of his share to lay.
TEST_F(BotPlan, CreditsLaidPiecesToTheirOwnerOnly) {
  StageInfo s = play_fixture::BlankStage();
  play_fixture::Special(s, 0, 0, 3, DirRight);
  play_fixture::Special(s, 1, 9, 3, DirLeft);
  Start(s, 2);
  bot::Grid g;
  bot::SnapshotBoard(g);
  bot::Expectation e;
  for (double& w : e.Weight) w = 1;
  const bot::Needs both{{4, 4}, 2};
  for (int owners : {0, 1, 2}) {  // all player 0's, all player 1's, every other one each
    for (int x = 1; x < 9; ++x) {
      g.Cell[x][3] = ChipTable[CHIP_FIRST_PIECE];
      g.Cell[x][3].Owner = owners == 2 ? x % 2 : owners;
    }
    const bot::Frontier f = bot::FindFrontier(g);
    const bot::Plan plan = bot::MakePlan(g, f, both, 0, e, 1);
    ASSERT_TRUE(plan.Reaches) << owners;
    int acts = 0;
    for (int i = 0; i < plan.Length; ++i) acts += plan.Cells[i].Act ? 1 : 0;
    if (owners == 2) {
      EXPECT_EQ(acts, 0);
      EXPECT_EQ(std::make_pair(plan.Given[0], plan.Given[1]), std::make_pair(4, 4));
    } else {
      // The other player lays at least his four, wherever the route runs.
      EXPECT_GE(acts, 4) << owners;
      EXPECT_EQ(plan.Given[1 - owners], 0) << owners;
    }
    EXPECT_GE(plan.Counted, 8) << owners;
  }
}

}  // namespace
