// Length of MIDI files from their tempo maps, and rejection of damaged files.
#include "platform/midi_length.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void Append(Bytes& out, std::initializer_list<uint8_t> bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

void AppendBig(Bytes& out, uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void AppendVlq(Bytes& out, uint32_t v) {
  uint8_t groups[4];
  int n = 0;
  do {
    groups[n++] = v & 0x7F;
    v >>= 7;
  } while (v != 0 && n < 4);
  for (int i = n - 1; i >= 0; --i) out.push_back(groups[i] | (i > 0 ? 0x80 : 0));
}

Bytes Header(int format, int tracks, int division) {
  Bytes out = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
  AppendBig(out, format, 2);
  AppendBig(out, tracks, 2);
  AppendBig(out, division, 2);
  return out;
}

void AppendTrack(Bytes& file, const Bytes& events) {
  Append(file, {'M', 'T', 'r', 'k'});
  AppendBig(file, static_cast<uint32_t>(events.size()), 4);
  file.insert(file.end(), events.begin(), events.end());
}

void Tempo(Bytes& ev, uint32_t delta, uint32_t microsPerQuarter) {
  AppendVlq(ev, delta);
  Append(ev, {0xFF, 0x51, 0x03});
  AppendBig(ev, microsPerQuarter, 3);
}

void EndOfTrack(Bytes& ev, uint32_t delta) {
  AppendVlq(ev, delta);
  Append(ev, {0xFF, 0x2F, 0x00});
}

// A note on, then its note off after `length` ticks with running status (velocity 0).
void Note(Bytes& ev, uint32_t delta, uint8_t key, uint32_t length) {
  AppendVlq(ev, delta);
  Append(ev, {0x90, key, 100});
  AppendVlq(ev, length);
  Append(ev, {key, 0});
}

bool Length(const Bytes& file, int64_t& ms) {
  return plat::MidiLengthMs(file.data(), file.size(), ms);
}

// Format 0, 480 ticks a quarter: 4 quarters at 120 bpm, then 4 at 60 bpm = 2 s + 4 s.
Bytes TempoChangeHalfway() {
  Bytes ev;
  Tempo(ev, 0, 500000);
  Note(ev, 0, 60, 1920);
  Tempo(ev, 0, 1000000);
  Note(ev, 0, 64, 1920);
  EndOfTrack(ev, 0);
  Bytes file = Header(0, 1, 480);
  AppendTrack(file, ev);
  return file;
}

TEST(MidiLength, TempoMapIsIntegrated) {
  int64_t ms = -1;
  ASSERT_TRUE(Length(TempoChangeHalfway(), ms));
  EXPECT_EQ(ms, 6000);

  // No tempo event at all: 120 beats a minute.
  Bytes ev;
  Note(ev, 0, 60, 960);
  EndOfTrack(ev, 0);
  Bytes file = Header(0, 1, 96);
  AppendTrack(file, ev);
  ASSERT_TRUE(Length(file, ms));
  EXPECT_EQ(ms, 5000);

  // The end-of-track event may lie after the last note: the file plays to it.
  Bytes tail;
  Note(tail, 0, 60, 480);
  EndOfTrack(tail, 480);
  Bytes late = Header(0, 1, 480);
  AppendTrack(late, tail);
  ASSERT_TRUE(Length(late, ms));
  EXPECT_EQ(ms, 1000);
}

TEST(MidiLength, FormatOneTakesTempoFromConductorTrackAndLongestTrack) {
  Bytes conductor;
  Tempo(conductor, 0, 400000);    // 150 bpm
  Tempo(conductor, 960, 600000);  // 100 bpm from beat 2
  EndOfTrack(conductor, 0);
  Bytes shortTrack, longTrack;
  Note(shortTrack, 0, 48, 480);
  EndOfTrack(shortTrack, 0);
  Note(longTrack, 0, 72, 960);
  Note(longTrack, 0, 74, 1920);  // ends at tick 2880
  EndOfTrack(longTrack, 0);
  Bytes file = Header(1, 3, 480);
  AppendTrack(file, conductor);
  AppendTrack(file, shortTrack);
  AppendTrack(file, longTrack);
  int64_t ms = 0;
  ASSERT_TRUE(Length(file, ms));
  EXPECT_EQ(ms, 2 * 400 + 4 * 600);  // 2 beats at 0.4 s, 4 beats at 0.6 s
}

TEST(MidiLength, RunningStatusSysexAndMetaEventsAreSkipped) {
  Bytes ev;
  Append(ev, {0x00, 0xFF, 0x03, 0x04, 'L', 'e', 'a', 'd'});      // track name
  Append(ev, {0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7});  // GM on
  Append(ev, {0x00, 0xC0, 0x05});                                // program change: 1 data byte
  Append(ev, {0x00, 0xB0, 0x07, 0x64});                          // volume
  Append(ev, {0x00, 0x90, 0x3C, 0x40});
  Append(ev, {0x83, 0x60, 0x3C, 0x00});        // running status note off at 480
  Append(ev, {0x00, 0x3E, 0x40});              // running status note on
  Append(ev, {0x00, 0xD0, 0x20});              // channel pressure: 1 data byte
  Append(ev, {0x83, 0x60, 0xE0, 0x00, 0x40});  // pitch bend at 960
  Append(ev, {0x00, 0x80, 0x3E, 0x00});
  EndOfTrack(ev, 0);
  Bytes file = Header(0, 1, 480);
  AppendTrack(file, ev);
  int64_t ms = 0;
  ASSERT_TRUE(Length(file, ms));
  EXPECT_EQ(ms, 1000);
}

TEST(MidiLength, UnknownChunksAndLongHeadersAreSkipped) {
  Bytes ev;
  Note(ev, 0, 60, 480);
  EndOfTrack(ev, 0);
  Bytes file = {'M', 'T', 'h', 'd', 0, 0, 0, 8, 0, 0, 0, 1, 0x01, 0xE0, 0xAA, 0xBB};
  Append(file, {'X', 'Y', 'Z', 'W', 0, 0, 0, 2, 1, 2});
  AppendTrack(file, ev);
  int64_t ms = 0;
  ASSERT_TRUE(Length(file, ms));
  EXPECT_EQ(ms, 500);
}

TEST(MidiLength, SmpteDivisionCountsFrames) {
  Bytes ev;
  Tempo(ev, 0, 1000000);         // ignored under SMPTE time
  Note(ev, 0, 60, 2 * 25 * 40);  // two seconds of 25 frames of 40 ticks
  EndOfTrack(ev, 0);
  Bytes file = Header(0, 1, 0xE728);  // -25 fps, 40 ticks a frame
  AppendTrack(file, ev);
  int64_t ms = 0;
  ASSERT_TRUE(Length(file, ms));
  EXPECT_EQ(ms, 2000);

  Bytes bad = Header(0, 1, 0xE900);  // -23 fps is no SMPTE rate
  AppendTrack(bad, ev);
  EXPECT_FALSE(Length(bad, ms));
}

TEST(MidiLength, FormatTwoPlaysTracksInSequence) {
  Bytes a, b;
  Tempo(a, 0, 250000);
  Note(a, 0, 60, 480);  // 0.25 s
  EndOfTrack(a, 0);
  Note(b, 0, 60, 480);  // 0.5 s at the default tempo
  EndOfTrack(b, 0);
  Bytes file = Header(2, 2, 480);
  AppendTrack(file, a);
  AppendTrack(file, b);
  int64_t ms = 0;
  ASSERT_TRUE(Length(file, ms));
  EXPECT_EQ(ms, 750);
}

TEST(MidiLength, EveryTruncationIsRejectedWithoutReadingPastTheEnd) {
  const Bytes file = TempoChangeHalfway();
  for (size_t cut = 0; cut < file.size(); ++cut) {
    // A copy of exactly `cut` bytes, so the sanitizer sees any read past the end.
    const Bytes part(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut));
    int64_t ms = 0;
    EXPECT_FALSE(plat::MidiLengthMs(part.empty() ? nullptr : part.data(), part.size(), ms))
        << "cut at " << cut;
  }
}

TEST(MidiLength, MalformedFilesAreRejected) {
  int64_t ms = 0;
  auto withTrack = [](Bytes header, const Bytes& ev) {
    AppendTrack(header, ev);
    return header;
  };
  Bytes ok;
  Note(ok, 0, 60, 480);
  EndOfTrack(ok, 0);

  EXPECT_FALSE(plat::MidiLengthMs(nullptr, 0, ms));
  Bytes riff = withTrack(Header(0, 1, 480), ok);
  riff[0] = 'R';
  EXPECT_FALSE(Length(riff, ms)) << "no MThd";
  EXPECT_FALSE(Length(withTrack(Header(3, 1, 480), ok), ms)) << "format 3";
  EXPECT_FALSE(Length(withTrack(Header(0, 2, 480), ok), ms)) << "format 0 with two tracks";
  EXPECT_FALSE(Length(withTrack(Header(1, 0, 480), ok), ms)) << "no tracks";
  EXPECT_FALSE(Length(withTrack(Header(1, 2, 480), ok), ms)) << "second track missing";
  EXPECT_FALSE(Length(withTrack(Header(0, 1, 0), ok), ms)) << "zero division";

  Bytes hugeChunk = Header(0, 1, 480);
  Append(hugeChunk, {'M', 'T', 'r', 'k', 0xFF, 0xFF, 0xFF, 0xF0, 0x00, 0xFF, 0x2F, 0x00});
  EXPECT_FALSE(Length(hugeChunk, ms)) << "chunk longer than the file";

  const Bytes noStatus = {0x00, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00};
  EXPECT_FALSE(Length(withTrack(Header(0, 1, 480), noStatus), ms)) << "running status first";
  const Bytes longVlq = {0x81, 0x81, 0x81, 0x81, 0x01, 0xFF, 0x2F, 0x00};
  EXPECT_FALSE(Length(withTrack(Header(0, 1, 480), longVlq), ms)) << "five-byte delta";
  const Bytes highData = {0x00, 0x90, 0x3C, 0x90, 0x00, 0xFF, 0x2F, 0x00};
  EXPECT_FALSE(Length(withTrack(Header(0, 1, 480), highData), ms)) << "status byte as data";
  const Bytes realTime = {0x00, 0xF8, 0x00, 0xFF, 0x2F, 0x00};
  EXPECT_FALSE(Length(withTrack(Header(0, 1, 480), realTime), ms)) << "real-time byte";
  const Bytes zeroTempo = {0x00, 0xFF, 0x51, 0x03, 0, 0, 0, 0x00, 0xFF, 0x2F, 0x00};
  EXPECT_FALSE(Length(withTrack(Header(0, 1, 480), zeroTempo), ms)) << "zero tempo";
  const Bytes shortTempo = {0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1, 0x00, 0xFF, 0x2F, 0x00};
  EXPECT_FALSE(Length(withTrack(Header(0, 1, 480), shortTempo), ms)) << "two-byte tempo";
  const Bytes sysexPastEnd = {0x00, 0xF0, 0x7F, 0x01, 0xF7};
  EXPECT_FALSE(Length(withTrack(Header(0, 1, 480), sysexPastEnd), ms)) << "sysex past chunk";
}

TEST(MidiLength, AbsurdLengthsAreRejectedInsteadOfOverflowing) {
  // 4096 maximal deltas reach 2^40 ticks: far beyond any real piece.
  Bytes ev;
  for (int i = 0; i < 4096; ++i) Append(ev, {0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x01, 0x00});
  EndOfTrack(ev, 0);
  Bytes file = Header(0, 1, 1);
  AppendTrack(file, ev);
  int64_t ms = 0;
  EXPECT_FALSE(Length(file, ms));

  // The longest accepted piece at the slowest tempo still gives an exact, positive length.
  Bytes slow;
  Tempo(slow, 0, 0xFFFFFF);
  for (int i = 0; i < 255; ++i) Append(slow, {0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x01, 0x00});
  EndOfTrack(slow, 0);
  Bytes slowFile = Header(0, 1, 1);
  AppendTrack(slowFile, slow);
  ASSERT_TRUE(Length(slowFile, ms));
  EXPECT_EQ(ms, int64_t{255} * 0x0FFFFFFF * 0xFFFFFF / 1000);
}

TEST(MidiLength, TrackWithoutEndEventEndsWithItsChunk) {
  Bytes ev;
  Note(ev, 0, 60, 960);
  Bytes file = Header(0, 1, 480);
  AppendTrack(file, ev);
  int64_t ms = 0;
  ASSERT_TRUE(Length(file, ms));
  EXPECT_EQ(ms, 1000);
}

}  // namespace
