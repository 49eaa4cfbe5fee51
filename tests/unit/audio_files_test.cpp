// SPDX-License-Identifier: Zlib
// The sound effects and music files the build writes into the runtime folder: their format,
// their lengths and levels, and that the music really sounds when rendered with the game's
// sound font. Runs against DUCTORA_RUNTIME_DIR; skipped when that is not set.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/wavedef.h"
#include "platform/midi_length.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

std::string RuntimeDir() {
  const char* dir = std::getenv("DUCTORA_RUNTIME_DIR");
  return dir == nullptr ? "" : dir;
}

#define NEED_RUNTIME_DIR()                                                     \
  if (RuntimeDir().empty()) {                                                  \
    GTEST_SKIP() << "DUCTORA_RUNTIME_DIR is not set: no built files to check"; \
  }

std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}

struct Wave {
  int Format = 0, Channels = 0, Rate = 0, Bits = 0;
  std::vector<int16_t> Samples;
};

// Walks the RIFF chunks for "fmt " and "data"; an empty string, or what is wrong.
std::string ParseWave(const std::vector<uint8_t>& b, Wave& w) {
  if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
      std::string(b.begin() + 8, b.begin() + 12) != "WAVE")
    return "not a RIFF WAVE file";
  bool haveFormat = false;
  for (size_t at = 12; at + 8 <= b.size();) {
    const std::string id(b.begin() + at, b.begin() + at + 4);
    const size_t size = Le(b, at + 4, 4), body = at + 8;
    if (size > b.size() - body) return "chunk " + id + " runs past the end";
    if (id == "fmt " && size >= 16) {
      w.Format = Le(b, body, 2), w.Channels = Le(b, body + 2, 2);
      w.Rate = Le(b, body + 4, 4), w.Bits = Le(b, body + 14, 2);
      haveFormat = true;
    } else if (id == "data" && haveFormat) {
      for (size_t i = 0; i + 1 < size; i += 2) w.Samples.push_back(Le(b, body + i, 2));
      return "";
    }
    at = body + size + (size & 1);
  }
  return "no fmt chunk before the data chunk";
}

// Runs a shell command; returns its standard output and error together.
std::string RunCommand(const std::string& command, int& status) {
  std::string out;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  char buffer[4096];
  for (size_t n; pipe != nullptr && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    out.append(buffer, n);
  status = pipe == nullptr ? -1 : pclose(pipe);
  return out;
}

// Single quotes for the shell; the paths here hold no quote of their own.
std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

// A value from the report of `sox FILE -n stat`, such as "RMS     amplitude"; NaN if absent.
double SoxStat(const std::string& report, const std::string& label) {
  const size_t at = report.find(label + ":");
  return at == std::string::npos ? std::nan("") : std::atof(report.c_str() + at + label.size() + 1);
}

bool HaveTool(const char* name) {
  int status = 0;
  RunCommand(std::string("command -v ") + name, status);
  return status == 0;
}

// The peak and the RMS level of a sound, as fractions of full scale.
std::pair<double, double> Levels(const std::vector<int16_t>& samples) {
  double peak = 0, sum = 0;
  for (int16_t s : samples) {
    peak = std::max(peak, std::abs(s / 32768.0));
    sum += (s / 32768.0) * (s / 32768.0);
  }
  return {peak, std::sqrt(sum / std::max<size_t>(samples.size(), 1))};
}

TEST(SoundEffects, EverySoundIsShortUnclippedMono16BitPcmThatSoxReads) {
  NEED_RUNTIME_DIR();
  const bool sox = HaveTool("sox");
  // The endless mode's shift tick and turn click, 17 and 18, are quieter than every other effect.
  constexpr int kFirstFaint = 17;
  double loudestFaint[2] = {0, 0}, quietestOther[2] = {1, 1};
  for (int no = 0; no < audio::kEffectCount; ++no) {
    char name[32];
    std::snprintf(name, sizeof name, "se%02d.wav", no);
    const fs::path path = fs::path(RuntimeDir()) / "sound" / "se" / name;
    SCOPED_TRACE(path.string());
    Wave w;
    ASSERT_EQ(ParseWave(ReadBytes(path), w), "");
    EXPECT_EQ(w.Format, 1);
    EXPECT_EQ(w.Channels, 1);
    EXPECT_EQ(w.Bits, 16);
    ASSERT_TRUE(w.Rate == 22050 || w.Rate == 44100) << w.Rate;
    const double seconds = static_cast<double>(w.Samples.size()) / w.Rate;
    EXPECT_GE(seconds, 0.05);
    EXPECT_LE(seconds, 2.5);
    int peak = 0;
    for (int16_t s : w.Samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_LT(peak, 32767) << "clipped";
    EXPECT_GT(peak, 3000) << "hardly audible";
    // Faded ends: no click when the sound starts or is cut at its end.
    ASSERT_FALSE(w.Samples.empty());
    EXPECT_LT(std::abs(w.Samples.front()), 300);
    EXPECT_LT(std::abs(w.Samples.back()), 300);
    const auto [peakLevel, rms] = Levels(w.Samples);
    if (no >= kFirstFaint) {
      loudestFaint[0] = std::max(loudestFaint[0], peakLevel);
      loudestFaint[1] = std::max(loudestFaint[1], rms);
    } else {
      quietestOther[0] = std::min(quietestOther[0], peakLevel);
      quietestOther[1] = std::min(quietestOther[1], rms);
    }

    if (!sox) continue;
    int status = 0;
    const std::string info = RunCommand("sox --i -D " + Quote(path), status);
    EXPECT_EQ(status, 0) << info;
    EXPECT_NEAR(std::atof(info.c_str()), seconds, 0.001) << info;
  }
  EXPECT_LT(loudestFaint[0], quietestOther[0]) << "peak";
  EXPECT_LT(loudestFaint[1], quietestOther[1]) << "RMS";
  if (!sox)
    GTEST_SKIP() << "sox is missing (scripts/setup.sh installs it): lengths not cross-checked";
}

struct Piece {
  const char* File;
  double MinSeconds, MaxSeconds;
};

// The exact names the game opens (a space, mixed case), stage tunes and the ending theme.
const Piece kPieces[] = {
    {"Cheerful Street.MID", 60, 150}, {"Obstacle.Mid", 60, 150}, {"omen.mid", 60, 150},
    {"tune019.Mid", 60, 150},         {"systemgm.Mid", 60, 150}, {"laz_wind.mid", 120, 200},
};

fs::path MusicPath(const Piece& p) { return fs::path(RuntimeDir()) / "sound" / "music" / p.File; }

// What the tracks hold, found by walking them (running status included). Only for files that
// MidiLengthMs has accepted, so the events are known to be well formed.
struct Contents {
  bool Notes[16] = {};
  bool Tempo = false;
  bool Program = false;
};

Contents Scan(const std::vector<uint8_t>& b) {
  Contents c;
  for (size_t chunk = 14; chunk + 8 <= b.size();) {
    const size_t size = (static_cast<size_t>(b[chunk + 4]) << 24) | (b[chunk + 5] << 16) |
                        (b[chunk + 6] << 8) | b[chunk + 7],
                 end = chunk + 8 + size;
    if (end > b.size()) break;
    const bool track = std::string(b.begin() + chunk, b.begin() + chunk + 4) == "MTrk";
    uint8_t running = 0;
    for (size_t at = chunk + 8; track && at < end;) {
      while (b[at] & 0x80) ++at;  // delta time
      ++at;
      const uint8_t status = b[at] >= 0x80 ? b[at++] : running;
      if (status == 0xFF || status == 0xF0 || status == 0xF7) {
        if (status == 0xFF) c.Tempo = c.Tempo || b[at] == 0x51, ++at;
        uint32_t len = 0;
        do len = (len << 7) | (b[at] & 0x7F);
        while (b[at++] & 0x80);
        at += len;
        continue;
      }
      running = status;
      const int kind = status & 0xF0;
      if (kind == 0x90 && b[at + 1] > 0) c.Notes[status & 0x0F] = true;
      c.Program = c.Program || kind == 0xC0;
      at += kind == 0xC0 || kind == 0xD0 ? 1 : 2;
    }
    chunk = end;
  }
  return c;
}

TEST(Music, EveryPieceIsAMidiFileOfItsLengthWithBandAndDrumsThatRendersToSound) {
  NEED_RUNTIME_DIR();
  if (!HaveTool("fluidsynth") || !HaveTool("sox"))
    GTEST_SKIP() << "fluidsynth or sox is missing (scripts/setup.sh installs them)";
  ASSERT_TRUE(fs::exists(kSoundFont)) << kSoundFont;
  const fs::path dir = testing_support::TempFolder("music");
  for (const Piece& p : kPieces) {
    SCOPED_TRACE(p.File);
    const std::vector<uint8_t> bytes = ReadBytes(MusicPath(p));
    ASSERT_GE(bytes.size(), 14u) << "missing";
    EXPECT_EQ(bytes[9], 1) << "format 1";
    int64_t ms = 0;
    ASSERT_TRUE(plat::MidiLengthMs(bytes.data(), bytes.size(), ms));
    EXPECT_GE(ms, p.MinSeconds * 1000);
    EXPECT_LE(ms, p.MaxSeconds * 1000);
    const Contents c = Scan(bytes);
    EXPECT_TRUE(c.Tempo);
    EXPECT_TRUE(c.Program);
    EXPECT_TRUE(c.Notes[9]) << "no drums on channel 10";
    int melodic = 0;
    for (int ch = 0; ch < 16; ++ch) melodic += ch != 9 && c.Notes[ch];
    EXPECT_GE(melodic, 4) << "melody, bass and harmony want at least four instruments";

    const fs::path wav = dir / "render.wav";
    int status = 0;
    const std::string log = RunCommand(
        "fluidsynth -ni -F " + Quote(wav) + " " + kSoundFont + " " + Quote(MusicPath(p)), status);
    ASSERT_EQ(status, 0) << log;
    const std::string report = RunCommand("sox " + Quote(wav) + " -n stat", status);
    ASSERT_EQ(status, 0) << report;
    const double seconds = SoxStat(report, "Length (seconds)");
    EXPECT_GE(seconds, ms / 1000.0 - 0.1) << report;
    EXPECT_LE(seconds, ms / 1000.0 + 20) << report;  // the reverb tail, no more
    EXPECT_GT(SoxStat(report, "RMS     amplitude"), 0.01) << report;
    EXPECT_LT(SoxStat(report, "Maximum amplitude"), 0.99) << report;
  }
}

}  // namespace
