// SPDX-License-Identifier: Zlib
// The text form of a course both ways: every record the game accepts comes
// back from its text byte for byte, and the mistakes the compiler refuses.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "puzzle/board.h"
#include "puzzle/stagerecord.h"
#include "stagefile.h"

namespace {

using Bytes = std::array<uint8_t, puzzle::kStageRecordSize>;

Bytes Encode(const puzzle::StageInfo& s) {
  Bytes b{};
  puzzle::EncodeStage(s, b.data());
  return b;
}

// A plain stage: source and drain on an empty board, one group of pieces.
puzzle::StageInfo PlainStage() {
  puzzle::StageInfo s{};
  s.PipeSet = 2;
  s.SupplyCount[1] = 100;
  s.RequiredPipes = 5;
  s.StartDelay = 3;
  s.SpeedByte = 128;
  for (uint8_t& c : s.StageMap) c = puzzle::CHIP_EMPTY;
  s.SpecialEntry[0] = {1, 3, 1, 0};
  s.SpecialEntry[1] = {8, 3, 3, 0};
  s.SpecialEntry[2] = {puzzle::kAbsent, 0, 0, 0};
  s.SpecialEntry[3] = {puzzle::kAbsent, 0, 0, 0};
  return s;
}

// Decompiles one record and compiles its text again.
std::string RoundTrip(const puzzle::StageInfo& s, Bytes& back) {
  std::string text, error;
  if (!stagec::WriteStage(s, "t", text, error)) return "write: " + error;
  std::vector<stagec::StageSource> stages;
  if (!stagec::ParseCourse(text, stages, error)) return "parse: " + error + "\n" + text;
  if (stages.size() != 1) return "stages: " + std::to_string(stages.size());
  back = Encode(stages[0].Record);
  return text;
}

void ExpectRoundTrip(const puzzle::StageInfo& s, const char* what) {
  Bytes back{};
  const std::string text = RoundTrip(s, back);
  EXPECT_EQ(Encode(s), back) << what << "\n" << text;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(StagecRoundTrip, EveryShippedCourseComesBackFromItsText) {
  for (int course = 0; course < 3; course++) {
    const std::string path =
        std::string(DUCTORA_STAGE_SOURCES) + "/course" + std::to_string(course) + ".txt";
    std::vector<stagec::StageSource> stages;
    std::string error;
    ASSERT_TRUE(stagec::ParseCourse(ReadText(path), stages, error)) << path << ": " << error;
    std::vector<uint8_t> file;
    for (const stagec::StageSource& st : stages) {
      const Bytes b = Encode(st.Record);
      file.insert(file.end(), b.begin(), b.end());
    }
    std::string text;
    ASSERT_TRUE(stagec::DecompileCourse(file, text, error)) << error;
    EXPECT_EQ(text.find("\nbyte "), std::string::npos) << "a shipped stage needs byte lines";
    std::vector<stagec::StageSource> back;
    ASSERT_TRUE(stagec::ParseCourse(text, back, error)) << error;
    ASSERT_EQ(back.size(), stages.size());
    for (size_t i = 0; i < back.size(); i++)
      EXPECT_EQ(Encode(back[i].Record), Encode(stages[i].Record)) << path << " stage " << i + 1;
  }
}

// Records that pass the game's checks with bytes the readable lines do
// not say: they must still come back exactly.
TEST(StagecRoundTrip, EdgeRecordsComeBackByteForByte) {
  puzzle::StageInfo s = PlainStage();
  ExpectRoundTrip(s, "plain");

  s = PlainStage();
  for (int c = 0; c < 80; c++) s.StageMap[c] = static_cast<uint8_t>(16 + c % 25);
  s.SpecialEntry[0] = {0, 0, 2, 0};
  s.SpecialEntry[1] = {9, 7, 0, 0};
  ExpectRoundTrip(s, "every map kind, specials over a block and a pipe");

  s = PlainStage();
  s.SpecialEntry[0].LinkFlag = 1;
  s.SpecialEntry[1].LinkFlag = 200;
  s.SpecialEntry[2] = {4, 4, 3, 1};
  s.SpecialEntry[3] = {6, 6, 0, 7};
  ExpectRoundTrip(s, "warp, and link flags the game never reads");

  s = PlainStage();
  s.SpecialEntry[2] = {puzzle::kAbsent, 9, 3, 1};
  s.SpecialEntry[3] = {2, 2, 2, 0};
  ExpectRoundTrip(s, "a warp exit alone, an absent entry with stray bytes");

  s = PlainStage();
  s.RowWrapMask = static_cast<int16_t>(0x7F81);
  s.ColumnWrapMask = static_cast<int16_t>(0x8203);  // bit 15: halving a negative number
  ExpectRoundTrip(s, "wrap masks with bits the game never reads");

  s = PlainStage();
  s.PipeSet = 4;
  s.RequiredPipes = 255;
  s.StartDelay = 255;
  s.SpeedByte = 255;
  s.SupplyCount[1] = 0;
  s.SupplyCount[0] = 1;
  s.SupplyCount[5] = 99;
  ExpectRoundTrip(s, "largest numbers");

  s = PlainStage();
  s.RequiredPipes = 0;
  s.StartDelay = 1;
  s.SpeedByte = 125;  // the slowest speed that still empties a normal cell
  ExpectRoundTrip(s, "smallest numbers");
}

// The wrap lines say what the game makes of a mask, even where the raw
// bits differ (a negative mask read by halving).
TEST(StagecRoundTrip, WrapLinesSayWhatTheGamePlays) {
  puzzle::StageInfo s = PlainStage();
  s.RowWrapMask = static_cast<int16_t>(0x8000);
  std::string text, error;
  ASSERT_TRUE(stagec::WriteStage(s, "t", text, error)) << error;
  EXPECT_EQ(text.find("wrap rows"), std::string::npos) << text;
  s.RowWrapMask = static_cast<int16_t>(0x8001);  // -32767: halving gives odd values to row 7
  ASSERT_TRUE(stagec::WriteStage(s, "t", text, error)) << error;
  std::string want = "wrap rows";
  for (int r = 0; r < 8; r++)
    if (puzzle::MaskFlag(s.RowWrapMask, r)) want += " " + std::to_string(r);
  EXPECT_NE(text.find(want + "\n"), std::string::npos) << text;
  EXPECT_NE(want, "wrap rows 0");
}

// Random records made valid: any record the game accepts round trips.
TEST(StagecRoundTrip, RandomValidRecordsComeBack) {
  std::mt19937 rng(14);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  int tried = 0;
  for (int n = 0; n < 3000; n++) {
    Bytes raw{};
    for (uint8_t& b : raw) b = static_cast<uint8_t>(pick(256));
    puzzle::StageInfo s{};
    puzzle::DecodeStage(raw.data(), s);
    s.PipeSet = static_cast<uint8_t>(pick(5));
    s.StartDelay = static_cast<uint8_t>(1 + pick(255));
    int left = 100;
    for (int g = 0; g < 5; g++) {
      s.SupplyCount[g] = static_cast<uint8_t>(pick(left + 1));
      left -= s.SupplyCount[g];
    }
    s.SupplyCount[5] = static_cast<uint8_t>(left);
    for (uint8_t& c : s.StageMap) c = static_cast<uint8_t>(16 + pick(25));
    int used[4];
    for (int i = 0; i < 4; i++) {
      puzzle::StageSpecial& e = s.SpecialEntry[i];
      const bool absent = i >= 2 && pick(3) == 0;
      do used[i] = pick(80);
      while ((i > 0 && used[i] == used[0]) || (i > 1 && used[i] == used[1]) ||
             (i > 2 && used[i] == used[2]));
      e.X = absent ? puzzle::kAbsent : static_cast<uint8_t>(used[i] % 10);
      if (!absent) e.Y = static_cast<uint8_t>(used[i] / 10);
      if (!absent) e.Dir = static_cast<uint8_t>(pick(4));
    }
    if (s.SpecialEntry[2].X != puzzle::kAbsent) s.SpecialEntry[2].LinkFlag = 1;
    if (s.SpecialEntry[2].X != puzzle::kAbsent && s.SpecialEntry[3].X == puzzle::kAbsent)
      s.SpecialEntry[2].X = puzzle::kAbsent;
    if (!puzzle::CheckStage(s).empty()) continue;  // a speed too slow, say
    tried++;
    Bytes back{};
    const std::string text = RoundTrip(s, back);
    ASSERT_EQ(Encode(s), back) << "record " << n << "\n" << text;
  }
  EXPECT_GT(tried, 1000);
}

TEST(StagecDecompile, RefusesWhatTheGameRefuses) {
  std::vector<uint8_t> file;
  puzzle::StageInfo s = PlainStage();
  Bytes b = Encode(s);
  file.insert(file.end(), b.begin(), b.end());
  s.SpecialEntry[1].X = puzzle::kAbsent;
  b = Encode(s);
  file.insert(file.end(), b.begin(), b.end());
  std::string text, error;
  EXPECT_FALSE(stagec::DecompileCourse(file, text, error));
  EXPECT_EQ(error, "stage 2: there is no drain");
  file.resize(110);
  EXPECT_TRUE(stagec::DecompileCourse(file, text, error)) << error;
  file.push_back(0);
  EXPECT_FALSE(stagec::DecompileCourse(file, text, error));
  EXPECT_EQ(error, "111 bytes are not whole 110-byte stage records");
  EXPECT_FALSE(stagec::DecompileCourse({}, text, error));
}

TEST(StagecParse, ByteLinesAndWarpsAreChecked) {
  const std::string head =
      "stage t\nset 0\nsupply elbows 100\nrequire 1\ndelay 1\nmap\n"
      "..........\n..........\n..........\n.@..(..)X.\n"
      "..........\n..........\n..........\n..........\n"
      "source flows right\ndrain opens left\n";
  struct Case {
    std::string Lines, Error;
  };
  const Case cases[] = {
      {"warp-in opens left\nwarp-out flows right\nbyte 110 1\n",
       "line 19: '110' is not a number from 0 to 109"},
      {"warp-in opens left\nwarp-out flows right\nbyte 3 256\n",
       "line 19: '256' is not a number from 0 to 255"},
      {"warp-in opens left\nwarp-out flows right\nbyte 3\n", "line 19: write 'byte OFFSET VALUE'"},
      {"warp-in opens left\n", "line 17: stage from line 1: the warp-out has no direction line"},
  };
  for (const Case& c : cases) {
    std::vector<stagec::StageSource> stages;
    std::string error;
    EXPECT_FALSE(stagec::ParseCourse(head + c.Lines, stages, error)) << c.Lines;
    EXPECT_EQ(error, c.Error) << c.Lines;
  }
  std::string noExit = head;
  noExit.replace(noExit.find(')'), 1, ".");
  std::vector<stagec::StageSource> none;
  std::string why;
  EXPECT_FALSE(stagec::ParseCourse(noExit + "warp-in opens left\n", none, why));
  EXPECT_EQ(why, "line 17: stage from line 1: the warp entrance has no warp exit");
  // The byte line wins over what the lines before it set.
  std::vector<stagec::StageSource> stages;
  std::string error;
  ASSERT_TRUE(stagec::ParseCourse(
      head + "warp-in opens left\nwarp-out flows right\nbyte 9 140\nbyte 9 150\n", stages, error))
      << error;
  EXPECT_EQ(stages[0].Record.SpeedByte, 150);
  EXPECT_EQ(stages[0].Record.SpecialEntry[2].LinkFlag, 1);
}

}  // namespace
