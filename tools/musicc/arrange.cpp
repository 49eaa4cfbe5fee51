// SPDX-License-Identifier: Zlib
// Turning the notes of each part into MIDI events, section by section in play order. A part's
// text is expanded (phrases, then repeat groups) and read as a flat stream of commands.
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "score.h"

namespace music {
namespace {

constexpr int kDrumChannel = 10;
constexpr size_t kMaxExpanded = size_t{1} << 20;
constexpr int kMaxPhraseDepth = 8;

[[noreturn]] void Fail(const std::string& where, const std::string& message) {
  throw ScoreError(where + ": " + message);
}

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Replaces every $name by the phrase's text.
std::string ExpandPhrases(const std::string& text, const Score& score, const std::string& where,
                          int depth) {
  if (depth > kMaxPhraseDepth) Fail(where, "phrases nest too deep (a phrase uses itself?)");
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '$') {
      out += text[i];
      continue;
    }
    size_t end = i + 1;
    while (end < text.size() && IsNameChar(text[end])) ++end;
    const std::string name = text.substr(i + 1, end - i - 1);
    const auto found = score.Phrases.find(name);
    if (found == score.Phrases.end()) Fail(where, "no phrase '" + name + "'");
    out += ' ';
    out += ExpandPhrases(found->second, score, where, depth + 1);
    out += ' ';
    i = end - 1;
  }
  return out;
}

// Expands "( notes )N" into N copies (2 when N is left out), innermost first.
std::string ExpandGroups(const std::string& text, size_t& at, const std::string& where,
                         bool inner) {
  std::string out;
  while (at < text.size()) {
    const char c = text[at++];
    if (c == ')') {
      if (!inner) Fail(where, "')' without '('");
      return out;
    }
    if (c != '(') {
      out += c;
      continue;
    }
    const std::string body = ExpandGroups(text, at, where, true);
    int times = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
      times = std::min(1000, times * 10 + (text[at++] - '0'));
    }
    if (times == 0) times = 2;
    for (int i = 0; i < times; ++i) {
      out += ' ';
      out += body;
      out += ' ';
    }
    if (out.size() > kMaxExpanded) Fail(where, "repeats expand to too much music");
  }
  if (inner) Fail(where, "'(' without ')'");
  return out;
}

// The state of one part while one pass of a section is read.
struct Voice {
  const Score& S;
  const Part& P;
  std::string Where;
  int64_t Start = 0;  // tick of the section's start in the song
  int Transpose = 0;
  std::vector<Event>& Out;
  std::vector<Event>& Conductor;
  uint32_t& Rng;
  int Octave = 4;
  int Length = kTicksPerQuarter;
  int Velocity = 90;
  int Gate = 90;
  int64_t Pos = 0;  // ticks since the section's start
};

struct Cursor {
  const std::string& Text;
  size_t At = 0;
};

bool More(const Cursor& c) { return c.At < c.Text.size(); }
char Peek(const Cursor& c) { return More(c) ? c.Text[c.At] : '\0'; }
bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

std::string Near(const Cursor& c) {
  const size_t from = c.At > 12 ? c.At - 12 : 0;
  return " near '" + c.Text.substr(from, 24) + "'";
}

bool ReadNumber(Cursor& c, int& value) {
  if (!IsDigit(Peek(c))) return false;
  value = 0;
  while (IsDigit(Peek(c))) value = std::min(100000, value * 10 + (c.Text[c.At++] - '0'));
  return true;
}

int NeedNumber(Cursor& c, const Voice& v, int low, int high) {
  int value = 0;
  if (!ReadNumber(c, value) || value < low || value > high) {
    Fail(v.Where, "a number " + std::to_string(low) + ".." + std::to_string(high) +
                      " was expected" + Near(c));
  }
  return value;
}

// A length: a note value (4 = quarter, 12 = eighth triplet) with dots, or the default.
int ReadLength(Cursor& c, const Voice& v) {
  int n = 0;
  if (!ReadNumber(c, n)) return v.Length;
  if (n == 0 || kTicksPerWhole % n != 0)
    Fail(v.Where, "no note value 1/" + std::to_string(n) + Near(c));
  int ticks = kTicksPerWhole / n, add = ticks;
  while (Peek(c) == '.') {
    ++c.At;
    add /= 2;
    ticks += add;
  }
  return ticks;
}

// The length of a note or rest, with its ties (^) added.
int ReadDuration(Cursor& c, const Voice& v) {
  int ticks = ReadLength(c, v);
  while (Peek(c) == '^') {
    ++c.At;
    ticks += ReadLength(c, v);
  }
  return ticks;
}

// Accents after a note: ! louder, ? a ghost note.
int ReadVelocity(Cursor& c, const Voice& v) {
  int velocity = v.Velocity;
  for (;;) {
    if (Peek(c) == '!') {
      velocity += 20;
    } else if (Peek(c) == '?') {
      velocity /= 2;
    } else {
      return velocity;
    }
    ++c.At;
  }
}

// Swing bends time inside each beat: the first eighth takes Swing percent of it.
int64_t Warp(const Score& s, int64_t tick) {
  if (s.Swing == 50) return tick;
  const int64_t beat = tick / kTicksPerQuarter, u = tick % kTicksPerQuarter;
  const int64_t half = kTicksPerQuarter / 2, split = kTicksPerQuarter * s.Swing / 100;
  const int64_t bent =
      u < half ? u * split / half : split + (u - half) * (kTicksPerQuarter - split) / half;
  return beat * kTicksPerQuarter + bent;
}

uint8_t Status(const Voice& v, int kind) { return static_cast<uint8_t>(kind | (v.P.Channel - 1)); }

void Emit(Voice& v, int64_t at, int order, std::vector<uint8_t> bytes) {
  v.Out.push_back({Warp(v.S, v.Start + at), order, std::move(bytes)});
}

void PlayKeys(Voice& v, const std::vector<int>& keys, int duration, int velocity) {
  if (v.S.Humanize > 0) {
    v.Rng = v.Rng * 1664525u + 1013904223u;
    velocity += static_cast<int>((v.Rng >> 16) % (2 * v.S.Humanize + 1)) - v.S.Humanize;
  }
  velocity = std::clamp(velocity, 1, 127);
  const int sounding = std::max(1, duration * v.Gate / 100);
  for (int key : keys) {
    const uint8_t k = static_cast<uint8_t>(key);
    Emit(v, v.Pos, 3, {Status(v, 0x90), k, static_cast<uint8_t>(velocity)});
    const int64_t off =
        std::max(Warp(v.S, v.Start + v.Pos) + 1, Warp(v.S, v.Start + v.Pos + sounding));
    v.Out.push_back({off, 1, {Status(v, 0x80), k, 0}});
  }
  v.Pos += duration;
}

int DrumKey(char letter) {
  switch (letter) {
    case 'B':
      return 36;  // bass drum
    case 'X':
      return 37;  // side stick
    case 'S':
      return 38;  // snare
    case 'K':
      return 39;  // hand clap
    case 'E':
      return 40;  // electric snare
    case 'L':
      return 43;  // floor tom
    case 'H':
      return 42;  // closed hi-hat
    case 'P':
      return 44;  // pedal hi-hat
    case 'O':
      return 46;  // open hi-hat
    case 'M':
      return 47;  // middle tom
    case 'T':
      return 50;  // high tom
    case 'C':
      return 49;  // crash cymbal
    case 'R':
      return 51;  // ride cymbal
    case 'D':
      return 53;  // ride bell
    case 'A':
      return 54;  // tambourine
    case 'Y':
      return 55;  // splash cymbal
    case 'W':
      return 56;  // cowbell
    case 'Z':
      return 57;  // second crash
    case 'Q':
      return 75;  // claves
    case 'G':
      return 82;  // shaker
    default:
      return -1;
  }
}

// A pitch letter with its sharps (+ or #) and flats (-), in the current octave.
int ReadPitch(Cursor& c, const Voice& v) {
  static const int kSemitone[7] = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
  const char letter = c.Text[c.At++];
  int key = 12 * (v.Octave + 1) + kSemitone[letter - 'a'];
  for (;;) {
    if (Peek(c) == '+' || Peek(c) == '#') {
      ++key;
    } else if (Peek(c) == '-') {
      --key;
    } else {
      break;
    }
    ++c.At;
  }
  key += v.Transpose;
  if (key < 0 || key > 127) Fail(v.Where, "note outside the MIDI range" + Near(c));
  return key;
}

// One key inside a chord or on its own: a pitch letter, a drum letter or nNN.
bool ReadKey(Cursor& c, Voice& v, int& key) {
  const char ch = Peek(c);
  const bool drums = v.P.Channel == kDrumChannel;
  if (ch >= 'a' && ch <= 'g') {
    if (drums) Fail(v.Where, "pitch letters do not belong in a drum part" + Near(c));
    key = ReadPitch(c, v);
    return true;
  }
  if (DrumKey(ch) >= 0) {
    if (!drums) Fail(v.Where, "drum letters belong on channel 10 only" + Near(c));
    ++c.At;
    key = DrumKey(ch);
    return true;
  }
  if (ch == 'n') {
    ++c.At;
    key = NeedNumber(c, v, 0, 127);
    if (Peek(c) == ',') ++c.At;
    return true;
  }
  return false;
}

// [keys]length: the keys sound together; octave changes inside stay inside.
void ReadChord(Cursor& c, Voice& v) {
  ++c.At;
  const int octave = v.Octave;
  std::vector<int> keys;
  while (Peek(c) != ']') {
    int key = 0;
    if (!More(c)) Fail(v.Where, "'[' without ']'");
    if (ReadKey(c, v, key)) {
      keys.push_back(key);
    } else if (Peek(c) == '>' || Peek(c) == '<') {
      v.Octave = std::clamp(v.Octave + (c.Text[c.At++] == '>' ? 1 : -1), 0, 9);
    } else if (std::isspace(static_cast<unsigned char>(Peek(c)))) {
      ++c.At;
    } else {
      Fail(v.Where, "only keys and octave marks belong in a chord" + Near(c));
    }
  }
  ++c.At;
  v.Octave = octave;
  if (keys.empty()) Fail(v.Where, "empty chord" + Near(c));
  const int duration = ReadDuration(c, v);
  PlayKeys(v, keys, duration, ReadVelocity(c, v));
}

void Controller(Voice& v, uint8_t number, int value) {
  Emit(v, v.Pos, 2, {Status(v, 0xB0), number, static_cast<uint8_t>(value)});
}

void SetTempo(Voice& v, int bpm) {
  const uint32_t micros = static_cast<uint32_t>(60000000 / bpm);
  v.Conductor.push_back({Warp(v.S, v.Start + v.Pos),
                         0,
                         {0xFF, 0x51, 0x03, static_cast<uint8_t>(micros >> 16),
                          static_cast<uint8_t>(micros >> 8), static_cast<uint8_t>(micros)}});
}

void BarCheck(const Cursor& c, const Voice& v) {
  const int bar = v.S.TimeNum * kTicksPerWhole / v.S.TimeDen;
  if (v.Pos % bar != 0) {
    char beats[32];
    std::snprintf(beats, sizeof beats, "%.2f", static_cast<double>(v.Pos) / kTicksPerQuarter);
    Fail(v.Where, std::string("bar line after ") + beats + " beats is not on a bar" + Near(c));
  }
}

// Commands that set state or emit controllers: o > < l v q @ x p t |.
void ReadCommand(Cursor& c, Voice& v) {
  const char ch = c.Text[c.At++];
  switch (ch) {
    case 'o':
      v.Octave = NeedNumber(c, v, 0, 9);
      break;
    case '>':
      v.Octave = std::min(9, v.Octave + 1);
      break;
    case '<':
      v.Octave = std::max(0, v.Octave - 1);
      break;
    case 'l':
      v.Length = ReadLength(c, v);
      break;
    case 'v':
      v.Velocity = NeedNumber(c, v, 1, 127);
      break;
    case 'q':
      v.Gate = NeedNumber(c, v, 1, 100);
      break;
    case '@':
      Emit(v, v.Pos, 2, {Status(v, 0xC0), static_cast<uint8_t>(NeedNumber(c, v, 0, 127))});
      break;
    case 'x':
      Controller(v, 11, NeedNumber(c, v, 0, 127));
      break;
    case 'p':
      Controller(v, 10, NeedNumber(c, v, 0, 127));
      break;
    case 't':
      SetTempo(v, NeedNumber(c, v, 20, 300));
      break;
    case '|':
      BarCheck(c, v);
      break;
    case ' ':
    case '\t':
      break;
    default:
      --c.At;
      Fail(v.Where, std::string("unknown command '") + ch + "'" + Near(c));
  }
}

void ReadMusic(const std::string& text, Voice& v) {
  Cursor c{text};
  while (More(c)) {
    int key = 0;
    if (Peek(c) == '[') {
      ReadChord(c, v);
    } else if (Peek(c) == 'r') {
      ++c.At;
      v.Pos += ReadDuration(c, v);
    } else if (ReadKey(c, v, key)) {
      const int duration = ReadDuration(c, v);
      PlayKeys(v, {key}, duration, ReadVelocity(c, v));
    } else {
      ReadCommand(c, v);
    }
  }
}

int PartIndex(const Score& s, const std::string& name) {
  for (size_t i = 0; i < s.Parts.size(); ++i) {
    if (s.Parts[i].Name == name) return static_cast<int>(i);
  }
  return -1;
}

std::string Beats(int64_t ticks) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f beats", static_cast<double>(ticks) / kTicksPerQuarter);
  return text;
}

// One pass of a section starting at `start`; returns its length. All its parts must be equally
// long, so that a forgotten rest never shifts the parts against each other.
int64_t PlaySection(const Score& s, const Section& section, int64_t start, int transpose,
                    Song& song, uint32_t& rng) {
  int64_t length = -1;
  std::string first;
  for (const auto& [name, raw] : section.Text) {
    const int index = PartIndex(s, name);
    const Part& part = s.Parts[index];
    const std::string where = "section " + section.Name + ", part " + name;
    size_t at = 0;
    const std::string text = ExpandGroups(ExpandPhrases(raw, s, where, 0), at, where, false);
    Voice v{s, part, where, start, transpose, song.Tracks[index], song.Conductor, rng};
    v.Octave = part.Octave;
    v.Velocity = part.Velocity;
    ReadMusic(text, v);
    if (length >= 0 && v.Pos != length) {
      Fail("section " + section.Name, "part " + name + " lasts " + Beats(v.Pos) + " but part " +
                                          first + " lasts " + Beats(length));
    }
    length = v.Pos;
    first = name;
  }
  if (length <= 0) Fail("section " + section.Name, "the section holds no music");
  return length;
}

}  // namespace

Song Arrange(const Score& score) {
  Song song;
  song.Tracks.resize(score.Parts.size());
  uint32_t rng = 20240601;
  int64_t at = 0;
  for (const PlayItem& item : score.Play) {
    const Section& section = score.Sections.at(item.Section);
    for (int i = 0; i < item.Times; ++i) {
      at += PlaySection(score, section, at, item.Transpose, song, rng);
    }
  }
  song.EndTick = Warp(score, at);
  return song;
}

}  // namespace music
