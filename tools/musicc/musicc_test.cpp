// SPDX-License-Identifier: Zlib
// The score compiler: what the notation turns into, and the mistakes it refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/midi_length.h"
#include "score.h"

namespace {

using music::Event;
using music::ScoreError;

const std::string kHeader =
    "tempo 120\ntime 4/4\n"
    "part lead channel 1 program 0 octave 4 velocity 100\n"
    "part drums channel 10\n";

music::Song Compile(const std::string& body) {
  const music::Score score = music::ParseScore(kHeader + body, "test.txt");
  return music::Arrange(score);
}

struct Note {
  int64_t On, Off;
  int Key, Velocity;
};

// Pairs the note-ons of a track with their note-offs.
std::vector<Note> Notes(const std::vector<Event>& track) {
  std::vector<Note> notes;
  for (const Event& e : track) {
    if ((e.Bytes[0] & 0xF0) == 0x90) notes.push_back({e.Tick, -1, e.Bytes[1], e.Bytes[2]});
  }
  for (const Event& e : track) {
    if ((e.Bytes[0] & 0xF0) != 0x80) continue;
    for (Note& n : notes) {
      if (n.Key == e.Bytes[1] && n.Off < 0 && n.On < e.Tick) {
        n.Off = e.Tick;
        break;
      }
    }
  }
  return notes;
}

std::string ErrorOf(const std::string& body) {
  try {
    Compile(body);
  } catch (const ScoreError& e) {
    return e.what();
  }
  return "";
}

TEST(Musicc, NotesLengthsTiesAndOctaves) {
  const auto song =
      Compile("section A\nlead: c4 d8. e16 f2 | c+2^4 r8 b-8 | >c1< |\nend\nplay A\n");
  const std::vector<Note> n = Notes(song.Tracks[0]);
  ASSERT_EQ(n.size(), 7u);
  const int keys[] = {60, 62, 64, 65, 61, 70, 72};
  const int64_t ons[] = {0, 480, 840, 960, 1920, 3600, 3840};
  for (size_t i = 0; i < n.size(); ++i) {
    EXPECT_EQ(n[i].Key, keys[i]) << i;
    EXPECT_EQ(n[i].On, ons[i]) << i;
  }
  EXPECT_EQ(n[1].Off - n[1].On, 360 * 90 / 100) << "dotted eighth at the default gate of 90 %";
  EXPECT_EQ(n[4].Off - n[4].On, 1440 * 90 / 100) << "half tied to a quarter";
  EXPECT_EQ(song.EndTick, 3 * 1920);
}

TEST(Musicc, ChordsKeepTheirOctaveInsideAndAccentsChangeVelocity) {
  const auto song = Compile("section A\nlead: [ce>c]2 d4! e4? |\nend\nplay A\n");
  const std::vector<Note> n = Notes(song.Tracks[0]);
  ASSERT_EQ(n.size(), 5u);
  EXPECT_EQ(n[0].Key, 60);
  EXPECT_EQ(n[2].Key, 72);
  EXPECT_EQ(n[2].On, 0);
  EXPECT_EQ(n[3].Key, 62) << "the octave mark inside the chord does not leak out";
  EXPECT_EQ(n[3].Velocity, 120);
  EXPECT_EQ(n[4].Velocity, 50);
}

TEST(Musicc, PhrasesRepeatsAndTranspositionLeaveDrumsAlone) {
  const auto song = Compile(
      "phrase two c8 d8\n"
      "section A\nlead: ($two)4 | c1 |\ndrums: (B4)4 | S1 |\nend\nplay A A+2*2\n");
  const std::vector<Note> lead = Notes(song.Tracks[0]), drums = Notes(song.Tracks[1]);
  ASSERT_EQ(lead.size(), 3u * 9);
  EXPECT_EQ(lead[7].Key, 62);
  EXPECT_EQ(lead[8].Key, 60);
  EXPECT_EQ(lead[9].Key, 62) << "second pass is two semitones up";
  EXPECT_EQ(lead[26].Key, 62);
  EXPECT_EQ(lead[26].On, 5 * 1920 + 0);
  ASSERT_EQ(drums.size(), 3u * 5);
  for (const Note& d : drums) EXPECT_TRUE(d.Key == 36 || d.Key == 38);
  EXPECT_EQ(song.EndTick, 6 * 1920);
}

TEST(Musicc, SwingDelaysTheOffbeatEighth) {
  const auto song = music::Arrange(
      music::ParseScore(kHeader + "swing 64\nsection A\nlead: c8 d8 e4 f2 |\nend\nplay A\n", "t"));
  const std::vector<Note> n = Notes(song.Tracks[0]);
  ASSERT_EQ(n.size(), 4u);
  EXPECT_EQ(n[1].On, 480 * 64 / 100);
  EXPECT_EQ(n[2].On, 480);
  EXPECT_EQ(n[3].On, 960);
}

TEST(Musicc, TempoChangesReachTheFileAndItsLength) {
  const music::Score score =
      music::ParseScore(kHeader + "section A\nlead: c1 | t60 c1 |\nend\nplay A\n", "t");
  const std::vector<uint8_t> smf = music::WriteSmf(score, music::Arrange(score));
  int64_t ms = 0;
  ASSERT_TRUE(plat::MidiLengthMs(smf.data(), smf.size(), ms));
  EXPECT_EQ(ms, 2000 + 4000);
  EXPECT_EQ(smf[9], 1) << "format 1";
  EXPECT_EQ(smf[11], 3) << "conductor and two parts";
}

TEST(Musicc, MistakesStopTheBuildWithWhereTheyAre) {
  EXPECT_NE(ErrorOf("section A\nlead: c4 d4 e4 | f4 |\nend\nplay A\n").find("not on a bar"),
            std::string::npos);
  const std::string uneven = ErrorOf("section A\nlead: c1 |\ndrums: B2\nend\nplay A\n");
  EXPECT_NE(uneven.find("lasts 2.00 beats"), std::string::npos) << uneven;
  EXPECT_NE(ErrorOf("section A\nbass: c1\nend\nplay A\n").find("test.txt:6: no part 'bass'"),
            std::string::npos);
  EXPECT_NE(ErrorOf("section A\nlead: c1\n").find("has no end"), std::string::npos);
  EXPECT_NE(ErrorOf("section A\nlead: c1\nend\nplay B\n").find("no section 'B'"),
            std::string::npos);
  EXPECT_NE(ErrorOf("section A\nlead: $x c1\nend\nplay A\n").find("no phrase 'x'"),
            std::string::npos);
  EXPECT_NE(ErrorOf("phrase x $x\nsection A\nlead: $x\nend\nplay A\n").find("too deep"),
            std::string::npos);
  EXPECT_NE(ErrorOf("section A\nlead: B1\nend\nplay A\n").find("channel 10 only"),
            std::string::npos);
  EXPECT_NE(ErrorOf("section A\ndrums: c1\nend\nplay A\n").find("drum part"), std::string::npos);
  EXPECT_NE(ErrorOf("section A\nlead: c7\nend\nplay A\n").find("no note value 1/7"),
            std::string::npos);
  EXPECT_NE(ErrorOf("section A\nlead: (c4\nend\nplay A\n").find("without ')'"), std::string::npos);
  EXPECT_NE(ErrorOf("section A\nlead: o9 b1\nend\nplay A+2\n").find("MIDI range"),
            std::string::npos);
  EXPECT_NE(ErrorOf("section A\nlead: r1\nend\n").find("no play line"), std::string::npos);
}

}  // namespace
