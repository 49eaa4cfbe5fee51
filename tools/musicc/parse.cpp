// SPDX-License-Identifier: Zlib
// Reading the line-based score format: header lines, part and phrase declarations, sections
// holding one line (or several) of notes per part, and the play order.
#include <cctype>
#include <sstream>

#include "score.h"

namespace music {
namespace {

struct Line {
  const std::string& File;
  int Number;
  std::string Text;
};

[[noreturn]] void Fail(const Line& line, const std::string& message) {
  throw ScoreError(line.File + ":" + std::to_string(line.Number) + ": " + message);
}

std::string Trim(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// Splits "word rest of line" into the word and the trimmed rest.
std::string TakeWord(std::string& rest) {
  rest = Trim(rest);
  const size_t end = rest.find_first_of(" \t");
  std::string word = rest.substr(0, end);
  rest = end == std::string::npos ? "" : Trim(rest.substr(end));
  return word;
}

bool IsName(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  }
  return true;
}

int ToInt(const Line& line, const std::string& s, int low, int high) {
  size_t used = 0;
  int v = 0;
  try {
    v = std::stoi(s, &used);
  } catch (const std::exception&) {
    Fail(line, "a number was expected, not '" + s + "'");
  }
  if (used != s.size()) Fail(line, "a number was expected, not '" + s + "'");
  if (v < low || v > high) {
    Fail(line, s + " is outside " + std::to_string(low) + ".." + std::to_string(high));
  }
  return v;
}

void ReadTime(const Line& line, const std::string& rest, Score& score) {
  const size_t slash = rest.find('/');
  if (slash == std::string::npos) Fail(line, "time wants N/D, such as 4/4");
  score.TimeNum = ToInt(line, rest.substr(0, slash), 1, 32);
  score.TimeDen = ToInt(line, rest.substr(slash + 1), 1, 32);
  if (kTicksPerWhole % score.TimeDen != 0 || (score.TimeDen & (score.TimeDen - 1)) != 0) {
    Fail(line, "the beat of a time signature must be 1, 2, 4, 8, 16 or 32");
  }
}

void ReadKey(const Line& line, std::string rest, Score& score) {
  score.KeySharps = ToInt(line, TakeWord(rest), -7, 7);
  const std::string mode = TakeWord(rest);
  if (mode != "major" && mode != "minor") Fail(line, "key wants SHARPS major|minor");
  score.KeyMinor = mode == "minor";
}

void SetPartField(const Line& line, Part& part, const std::string& key, const std::string& v) {
  if (key == "channel") {
    part.Channel = ToInt(line, v, 1, 16);
  } else if (key == "program") {
    part.Program = ToInt(line, v, 0, 127);
  } else if (key == "volume") {
    part.Volume = ToInt(line, v, 0, 127);
  } else if (key == "pan") {
    part.Pan = ToInt(line, v, 0, 127);
  } else if (key == "reverb") {
    part.Reverb = ToInt(line, v, 0, 127);
  } else if (key == "chorus") {
    part.Chorus = ToInt(line, v, 0, 127);
  } else if (key == "velocity") {
    part.Velocity = ToInt(line, v, 1, 127);
  } else if (key == "octave") {
    part.Octave = ToInt(line, v, 0, 9);
  } else {
    Fail(line, "unknown part setting '" + key + "'");
  }
}

void ReadPart(const Line& line, std::string rest, Score& score) {
  Part part;
  part.Name = TakeWord(rest);
  if (!IsName(part.Name)) Fail(line, "a part needs a name of letters, digits and _");
  for (const Part& p : score.Parts) {
    if (p.Name == part.Name) Fail(line, "part '" + part.Name + "' is declared twice");
  }
  while (!rest.empty()) {
    const std::string key = TakeWord(rest);
    if (rest.empty()) Fail(line, "part setting '" + key + "' has no value");
    SetPartField(line, part, key, TakeWord(rest));
  }
  score.Parts.push_back(part);
}

void ReadPhrase(const Line& line, std::string rest, Score& score) {
  const std::string name = TakeWord(rest);
  if (!IsName(name)) Fail(line, "a phrase needs a name of letters, digits and _");
  std::string& text = score.Phrases[name];
  if (!text.empty()) text += ' ';
  text += rest;
}

// One play item: NAME, optionally followed by *TIMES and +SEMITONES or -SEMITONES.
PlayItem ReadPlayItem(const Line& line, const std::string& word, const Score& score) {
  PlayItem item;
  const size_t mark = word.find_first_of("*+-");
  item.Section = word.substr(0, mark);
  if (score.Sections.count(item.Section) == 0) Fail(line, "no section '" + item.Section + "'");
  size_t at = mark;
  while (at != std::string::npos) {
    const size_t next = word.find_first_of("*+-", at + 1);
    const std::string value = word.substr(at + 1, next == std::string::npos ? next : next - at - 1);
    if (word[at] == '*') item.Times = ToInt(line, value, 1, 64);
    if (word[at] != '*') item.Transpose = (word[at] == '-' ? -1 : 1) * ToInt(line, value, 0, 24);
    at = next;
  }
  return item;
}

bool ReadHeaderLine(const Line& line, const std::string& keyword, const std::string& rest,
                    Score& score) {
  if (keyword == "title") {
    score.Title = rest;
  } else if (keyword == "copyright") {
    score.Copyright = rest;
  } else if (keyword == "tempo") {
    score.Tempo = ToInt(line, rest, 20, 300);
  } else if (keyword == "time") {
    ReadTime(line, rest, score);
  } else if (keyword == "key") {
    ReadKey(line, rest, score);
  } else if (keyword == "swing") {
    score.Swing = ToInt(line, rest, 50, 75);
  } else if (keyword == "humanize") {
    score.Humanize = ToInt(line, rest, 0, 20);
  } else if (keyword == "part") {
    ReadPart(line, rest, score);
  } else if (keyword == "phrase") {
    ReadPhrase(line, rest, score);
  } else {
    return false;
  }
  return true;
}

// "name: notes" inside a section; several lines of one part join up.
void ReadSectionLine(const Line& line, const Score& score, Section& section) {
  const size_t colon = line.Text.find(':');
  const std::string name = Trim(line.Text.substr(0, colon));
  if (colon == std::string::npos || !IsName(name)) Fail(line, "expected 'part: notes' or 'end'");
  bool known = false;
  for (const Part& p : score.Parts) known = known || p.Name == name;
  if (!known) Fail(line, "no part '" + name + "'");
  std::string& text = section.Text[name];
  if (!text.empty()) text += ' ';
  text += Trim(line.Text.substr(colon + 1));
}

void OpenSection(const Line& line, const std::string& rest, Score& score, Section*& open) {
  if (!IsName(rest)) Fail(line, "a section needs a name of letters, digits and _");
  if (score.Sections.count(rest) != 0) Fail(line, "section '" + rest + "' is defined twice");
  open = &score.Sections[rest];
  open->Name = rest;
  open->Line = line.Number;
}

}  // namespace

Score ParseScore(const std::string& text, const std::string& file) {
  Score score;
  Section* open = nullptr;
  std::istringstream in(text);
  std::string raw;
  int number = 0;
  while (std::getline(in, raw)) {
    const Line line{file, ++number, Trim(raw.substr(0, raw.find(';')))};
    if (line.Text.empty()) continue;
    std::string rest = line.Text;
    const std::string keyword = TakeWord(rest);
    if (open != nullptr) {
      if (keyword == "end" && rest.empty()) {
        open = nullptr;
      } else {
        ReadSectionLine(line, score, *open);
      }
    } else if (keyword == "section") {
      OpenSection(line, rest, score, open);
    } else if (keyword == "play") {
      while (!rest.empty()) score.Play.push_back(ReadPlayItem(line, TakeWord(rest), score));
    } else if (!ReadHeaderLine(line, keyword, rest, score)) {
      Fail(line, "unknown line '" + keyword + "'");
    }
  }
  if (open != nullptr) throw ScoreError(file + ": section '" + open->Name + "' has no end");
  if (score.Play.empty()) throw ScoreError(file + ": no play line");
  return score;
}

}  // namespace music
