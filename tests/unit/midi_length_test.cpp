// SPDX-License-Identifier: Zlib
// Length of MIDI files from their tempo maps, and rejection of damaged files.
#include "platform/midi_length.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes Big(uint32_t v, int bytes) {
  Bytes out;
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  return out;
}

Bytes Vlq(uint32_t v) {
  Bytes out;
  for (int shift = 21; shift > 0; shift -= 7)
    if (v >> shift) out.push_back(static_cast<uint8_t>(0x80 | ((v >> shift) & 0x7F)));
  out.push_back(v & 0x7F);
  return out;
}

Bytes Tempo(uint32_t delta, uint32_t microsPerQuarter) {
  return Vlq(delta) + Bytes{0xFF, 0x51, 0x03} + Big(microsPerQuarter, 3);
}

Bytes End(uint32_t delta) { return Vlq(delta) + Bytes{0xFF, 0x2F, 0x00}; }

// A note on, then its note off after `length` ticks with running status (velocity 0).
Bytes Note(uint32_t delta, uint8_t key, uint32_t length) {
  return Vlq(delta) + Bytes{0x90, key, 100} + Vlq(length) + Bytes{key, 0};
}

Bytes Track(const Bytes& events) {
  return Bytes{'M', 'T', 'r', 'k'} + Big(static_cast<uint32_t>(events.size()), 4) + events;
}

Bytes Smf(int format, int division, const std::vector<Bytes>& tracks, int count = -1) {
  Bytes out = Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6} + Big(format, 2) +
              Big(count < 0 ? static_cast<int>(tracks.size()) : count, 2) + Big(division, 2);
  for (const Bytes& t : tracks) out = out + Track(t);
  return out;
}

// 480 ticks a quarter: 4 quarters at 120 bpm, then 4 at 60 bpm = 2 s + 4 s.
const Bytes kTempoChange =
    Smf(0, 480,
        {Tempo(0, 500000) + Note(0, 60, 1920) + Tempo(0, 1000000) + Note(0, 64, 1920) + End(0)});
// One maximal delta after another, each 2^28 - 1 ticks.
Bytes LongDeltas(int n) {
  Bytes out;
  for (int i = 0; i < n; ++i) out = out + Bytes{0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x01, 0x00};
  return out;
}

TEST(MidiLength, FilesLastAsLongAsTheirTempoMapSays) {
  const struct {
    const char* What;
    Bytes File;
    int64_t Ms;
  } cases[] = {
      {"tempo change halfway", kTempoChange, 6000},
      {"no tempo event: 120 bpm", Smf(0, 96, {Note(0, 60, 960) + End(0)}), 5000},
      {"end of track after the last note", Smf(0, 480, {Note(0, 60, 480) + End(480)}), 1000},
      {"no end event: the chunk's end", Smf(0, 480, {Note(0, 60, 960)}), 1000},
      {"format 1: the conductor's tempo over the longest track",
       Smf(1, 480,
           {Tempo(0, 400000) + Tempo(960, 600000) + End(0), Note(0, 48, 480) + End(0),
            Note(0, 72, 960) + Note(0, 74, 1920) + End(0)}),
       2 * 400 + 4 * 600},
      {"format 2: tracks in sequence, each from the default tempo",
       Smf(2, 480, {Tempo(0, 250000) + Note(0, 60, 480) + End(0), Note(0, 60, 480) + End(0)}),
       250 + 500},
      {"SMPTE: 25 frames of 40 ticks, tempo ignored",
       Smf(0, 0xE728, {Tempo(0, 1000000) + Note(0, 60, 2 * 25 * 40) + End(0)}), 2000},
      {"running status, sysex, meta and one-byte events",
       Smf(0, 480,
           {Bytes{0x00, 0xFF, 0x03, 0x04, 'L',  'e',  'a',  'd',         // track name
                  0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7,        // GM on
                  0x00, 0xC0, 0x05, 0x00, 0xB0, 0x07, 0x64,              // program, volume
                  0x00, 0x90, 0x3C, 0x40, 0x83, 0x60, 0x3C, 0x00,        // note off at 480
                  0x00, 0x3E, 0x40, 0x00, 0xD0, 0x20,                    // pressure
                  0x83, 0x60, 0xE0, 0x00, 0x40, 0x00, 0x80, 0x3E, 0x00}  // bend at 960
            + End(0)}),
       1000},
      {"a long header and an unknown chunk",
       Bytes{'M',  'T',  'h',  'd', 0,   0,   0,   8, 0, 0, 0, 1, 0x01,
             0xE0, 0xAA, 0xBB, 'X', 'Y', 'Z', 'W', 0, 0, 0, 2, 1, 2} +
           Track(Note(0, 60, 480) + End(0)),
       500},
      {"the longest accepted piece at the slowest tempo",
       Smf(0, 1, {Tempo(0, 0xFFFFFF) + LongDeltas(255) + End(0)}),
       int64_t{255} * 0x0FFFFFFF * 0xFFFFFF / 1000},
  };
  for (const auto& c : cases) {
    int64_t ms = -1;
    EXPECT_TRUE(plat::MidiLengthMs(c.File.data(), c.File.size(), ms)) << c.What;
    EXPECT_EQ(ms, c.Ms) << c.What;
  }
}

TEST(MidiLength, EveryTruncationIsRejectedWithoutReadingPastTheEnd) {
  for (size_t cut = 0; cut < kTempoChange.size(); ++cut) {
    // A copy of exactly `cut` bytes, so the sanitizer sees any read past the end.
    const Bytes part(kTempoChange.begin(), kTempoChange.begin() + static_cast<std::ptrdiff_t>(cut));
    int64_t ms = 0;
    EXPECT_FALSE(plat::MidiLengthMs(part.empty() ? nullptr : part.data(), part.size(), ms))
        << "cut at " << cut;
  }
}

TEST(MidiLength, MalformedAndAbsurdFilesAreRejected) {
  const Bytes ok = Note(0, 60, 480) + End(0);
  auto one = [](const Bytes& events) { return Smf(0, 480, {events}); };
  Bytes riff = one(ok);
  riff[0] = 'R';
  const struct {
    const char* What;
    Bytes File;
  } cases[] = {
      {"no MThd", riff},
      {"format 3", Smf(3, 480, {ok})},
      {"format 0 with two tracks", Smf(0, 480, {ok}, 2)},
      {"no tracks", Smf(1, 480, {ok}, 0)},
      {"second track missing", Smf(1, 480, {ok}, 2)},
      {"zero division", Smf(0, 0, {ok})},
      {"-23 fps is no SMPTE rate", Smf(0, 0xE900, {ok})},
      {"chunk longer than the file",
       Smf(0, 480, {}, 1) + Bytes{'M', 'T', 'r', 'k', 0xFF, 0xFF, 0xFF, 0xF0, 0x00, 0xFF, 0x2F, 0}},
      {"running status first", one({0x00, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00})},
      {"five-byte delta", one({0x81, 0x81, 0x81, 0x81, 0x01, 0xFF, 0x2F, 0x00})},
      {"status byte as data", one({0x00, 0x90, 0x3C, 0x90, 0x00, 0xFF, 0x2F, 0x00})},
      {"real-time byte", one({0x00, 0xF8, 0x00, 0xFF, 0x2F, 0x00})},
      {"zero tempo", one(Tempo(0, 0) + End(0))},
      {"two-byte tempo", one({0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1, 0x00, 0xFF, 0x2F, 0x00})},
      {"sysex past chunk", one({0x00, 0xF0, 0x7F, 0x01, 0xF7})},
      {"2^40 ticks: far beyond any real piece", Smf(0, 1, {LongDeltas(4096) + End(0)})},
  };
  int64_t ms = 0;
  EXPECT_FALSE(plat::MidiLengthMs(nullptr, 0, ms));
  for (const auto& c : cases)
    EXPECT_FALSE(plat::MidiLengthMs(c.File.data(), c.File.size(), ms)) << c.What;
}

}  // namespace
