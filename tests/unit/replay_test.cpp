// SPDX-License-Identifier: Zlib
// Replay files: what is written reads back the same, every damaged or
// foreign file is refused with its line and reason, and the random
// generator is put back where a recorded game started.
#include <gtest/gtest.h>

#include <fstream>

#include "ductora_version.h"
#include "shell/random.h"
#include "shell/replayfile.h"
#include "test_support.h"

namespace {

using namespace game;

Replay Sample() {
  Replay r;
  r.Version = plat::kGameVersion;
  r.Seed = 4000000000u;
  r.Draws = 37;
  r.Course = 2;
  r.Players = 2;
  r.HiScore = 600000;
  r.Score = 612340;
  r.Frames = 9000;
  r.Steps = {{0, {0, 0x80000000u, 0x80000000u}},
             {164, {0x400000, 0x80004001u, 0x80000000u}},
             {8999, {0xF000, 0x8000000Fu, 0}}};
  return r;
}

const char kHead[] =
    "DUCTORA-FIESTA REPLAY\nversion 9.9\nseed 1\ndraws 0\ncourse A\nplayers 1\n"
    "hiscore 100\nscore 50\nframes 100\n";

std::string Refusal(const std::string& text) {
  Replay r;
  std::string error;
  EXPECT_FALSE(ParseReplay(text, r, error)) << text;
  return error;
}

TEST(ReplayFile, WrittenReplayReadsBackTheSame) {
  const Replay r = Sample();
  Replay back;
  std::string error;
  ASSERT_TRUE(ParseReplay(FormatReplay(r), back, error)) << error;
  EXPECT_EQ(back.Version, r.Version);
  EXPECT_EQ(back.Seed, r.Seed);
  EXPECT_EQ(back.Draws, r.Draws);
  EXPECT_EQ(back.Course, 2);
  EXPECT_EQ(back.Players, 2);
  EXPECT_EQ(back.HiScore, r.HiScore);
  EXPECT_EQ(back.Score, r.Score);
  EXPECT_EQ(back.Frames, r.Frames);
  ASSERT_EQ(back.Steps.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(back.Steps[i].Frame, r.Steps[i].Frame);
    for (int d = 0; d < 3; ++d) EXPECT_EQ(back.Steps[i].Word[d], r.Steps[i].Word[d]);
  }
  // The endless mode by name; CR LF line ends and a missing last newline read the same.
  std::string endless = kHead;
  endless.replace(endless.find("course A"), 8, "course endless");
  std::string crlf;
  for (char c : endless + "5 1000 0 0") crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  ASSERT_TRUE(ParseReplay(crlf, back, error)) << error;
  EXPECT_EQ(back.Course, 3);
  ASSERT_EQ(back.Steps.size(), 1u);
  EXPECT_EQ(back.Steps[0].Word[0], 0x1000u);
}

TEST(ReplayFile, DamagedFilesAreRefusedWithLineAndReason) {
  const std::string head = kHead;
  auto with = [&](const std::string& from, const std::string& to) {
    std::string t = head;
    t.replace(t.find(from), from.size(), to);
    return t;
  };
  EXPECT_EQ(Refusal(""), "line 1: not a replay file");
  EXPECT_EQ(Refusal(with("version 9.9", "version 9\x01")), "line 2: bad version");
  EXPECT_EQ(Refusal("GIF89a\n"), "line 1: not a replay file");
  EXPECT_EQ(Refusal(head.substr(0, head.find("players"))),
            "line 5: the header ends before 'players'");
  EXPECT_EQ(Refusal(with("seed 1", "seed -1")), "line 3: bad seed '-1'");
  EXPECT_EQ(Refusal(with("seed 1", "seed 4294967296")), "line 3: bad seed '4294967296'");
  EXPECT_EQ(Refusal(with("seed 1", "seed 1 2")), "line 3: 'seed VALUE' expected");
  EXPECT_EQ(Refusal(with("draws 0", "draws 999999999999")), "line 4: bad draws '999999999999'");
  EXPECT_EQ(Refusal(with("course A", "course D")), "line 5: bad course 'D'");
  EXPECT_EQ(Refusal(with("players 1", "players 3")), "line 6: bad players '3'");
  EXPECT_EQ(Refusal(with("course A\nplayers 1", "course endless\nplayers 2")),
            "line 6: the endless mode has one player");
  EXPECT_EQ(Refusal(with("frames 100", "frames 0x10")), "line 9: bad frames '0x10'");
  EXPECT_EQ(Refusal(head + "1 0 0\n"), "line 10: 'FRAME KEYBOARD JOYSTICK0 JOYSTICK1' expected");
  EXPECT_EQ(Refusal(head + "x 0 0 0\n"), "line 10: bad frame 'x'");
  EXPECT_EQ(Refusal(head + "1 0 123456789 0\n"), "line 10: bad input word '123456789'");
  EXPECT_EQ(Refusal(head + "1 0 0 -1\n"), "line 10: bad input word '-1'");
  EXPECT_EQ(Refusal(head + "5 0 0 0\n5 1 0 0\n"), "line 11: frames must rise from line to line");
  EXPECT_EQ(Refusal(head + "100 0 0 0\n"), "line 10: a frame past the end of the game");
  EXPECT_EQ(Refusal(head + "1 80000000 0 0\n"), "line 10: the keyboard is never plugged in");
  EXPECT_EQ(Refusal(head + "1 0 0 0\n\n2 0 0 0\n"),
            "line 11: 'FRAME KEYBOARD JOYSTICK0 JOYSTICK1' expected");
}

TEST(ReplayFile, FileOfAnotherVersionOrNoFileIsRefusedByName) {
  const std::string folder = testing_support::TempFolder("replay");
  Replay r = Sample();
  std::string error;
  Replay back;
  const std::string path = folder + "game.replay";
  std::ofstream(path) << FormatReplay(r);
  ASSERT_TRUE(ReadReplayFile(path, back, error)) << error;

  r.Version = "0.1.0";
  std::ofstream(path, std::ios::trunc) << FormatReplay(r);
  EXPECT_FALSE(ReadReplayFile(path, back, error));
  EXPECT_EQ(error, path + ": recorded by version 0.1.0 of the game; this is version " +
                       plat::kGameVersion);
  EXPECT_FALSE(ReadReplayFile(folder, back, error));
  EXPECT_EQ(error, folder + ": not a regular file");
  EXPECT_FALSE(ReadReplayFile(folder + "none", back, error));
  EXPECT_EQ(error, folder + "none: missing");
  std::ofstream(path, std::ios::trunc) << "DUCTORA-FIESTA REPLAY\nversion";
  EXPECT_FALSE(ReadReplayFile(path, back, error));
  EXPECT_EQ(error, path + ": line 2: 'version VALUE' expected");
}

TEST(ReplayRandom, RestoredPlaceGoesOnWithTheSameDraws) {
  Randomize(77);
  for (int i = 0; i < 5; ++i) Rnd();
  const RandomPlace place = CurrentRandomPlace();
  EXPECT_EQ(place.Seed, 77u);
  EXPECT_EQ(place.Draws, 5u);
  std::vector<double> first;
  for (int i = 0; i < 20; ++i) first.push_back(Rnd());
  Randomize(1);
  RestoreRandomPlace(place);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(Rnd(), first[i]) << i;
  EXPECT_EQ(CurrentRandomPlace().Draws, 25u);

  FixGameSeed(true, 1234);
  EXPECT_EQ(GameSeed(), 1234u);
  FixGameSeed(false);
  EXPECT_NE(GameSeed(), 1234u);  // the runner's seed, 1 unless told
}

}  // namespace
