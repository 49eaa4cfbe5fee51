// SPDX-License-Identifier: Zlib
// A compiled-in-memory music score: the header, the parts (one MIDI track each), reusable
// phrases, the sections with the text of each part, and the order in which sections play.
#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace music {

constexpr int kTicksPerQuarter = 480;
constexpr int kTicksPerWhole = 4 * kTicksPerQuarter;

// A mistake in a score; the message says where.
struct ScoreError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Part {
  std::string Name;
  int Channel = 1;  // 1..16; 10 is the drum kit
  int Program = 0;  // General MIDI program number 0..127
  int Volume = 100;
  int Pan = 64;
  int Reverb = 40;
  int Chorus = 0;
  int Velocity = 90;  // velocity of notes before the first v command of a section
  int Octave = 4;     // octave of notes before the first o command of a section
};

struct Section {
  std::string Name;
  int Line = 0;
  std::map<std::string, std::string> Text;  // part name -> its notes in this section
};

struct PlayItem {
  std::string Section;
  int Times = 1;
  int Transpose = 0;  // semitones, melodic parts only
};

struct Score {
  std::string Title;
  std::string Copyright;
  double Tempo = 120;
  int TimeNum = 4;
  int TimeDen = 4;
  int KeySharps = 0;
  bool KeyMinor = false;
  int Swing = 50;    // percent of a beat taken by its first eighth; 50 is straight
  int Humanize = 0;  // +- velocity spread of melodic notes
  std::vector<Part> Parts;
  std::map<std::string, std::string> Phrases;
  std::map<std::string, Section> Sections;
  std::vector<PlayItem> Play;
};

// Reads a score from its text; `file` names it in error messages.
Score ParseScore(const std::string& text, const std::string& file);

// One MIDI event at an absolute tick. Order breaks ties at the same tick: meta events first,
// then note offs, then controllers and programs, then note ons.
struct Event {
  int64_t Tick = 0;
  int Order = 0;
  std::vector<uint8_t> Bytes;
};

struct Song {
  std::vector<Event> Conductor;            // tempo and other meta events
  std::vector<std::vector<Event>> Tracks;  // one per part, in the order of the parts
  int64_t EndTick = 0;
};

// Lays the sections out in play order and turns every part's notes into events.
Song Arrange(const Score& score);

// The Standard MIDI file (format 1) of a song.
std::vector<uint8_t> WriteSmf(const Score& score, const Song& song);

}  // namespace music
