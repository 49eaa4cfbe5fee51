// SPDX-License-Identifier: Zlib
#include "stagefile.h"

#include <cstring>
#include <sstream>

#include "puzzle/board.h"

namespace stagec {

namespace {

using puzzle::StageInfo;

// Map characters of the kinds a map cell can hold, ChipNo 16..40.
constexpr char kMapChars[] = "#-|r7LJ+<v>^esnwSWEN!=:~.";
static_assert(sizeof(kMapChars) - 1 == 25);

// Characters of the special pieces, in special-entry order.
constexpr char kSpecialChars[] = "@X()";
const char* const kSpecialWords[4] = {"source", "drain", "warp-in", "warp-out"};
const char* const kSpecialVerbs[4] = {"flows", "opens", "opens", "flows"};
const char* const kGroupWords[6] = {"straights", "elbows",    "crosses",
                                    "one-ways",  "cw-elbows", "ccw-elbows"};
const char* const kDirWords[4] = {"up", "right", "down", "left"};

struct Pending {
  StageSource Stage;
  bool Has[6] = {};  // set, supply, require, delay, map, speed
  int SpecialDir[4] = {-1, -1, -1, -1};
  int ByteValue[puzzle::kStageRecordSize];  // -1, or the value a 'byte' line gives
};
enum { kSet, kSupply, kRequire, kDelay, kMap, kSpeed };

struct Parser {
  std::vector<std::string> Lines;
  size_t At = 0;  // index of the next line
  std::string Error;
  bool Fail(const std::string& what) {
    if (Error.empty()) Error = "line " + std::to_string(At) + ": " + what;
    return false;
  }
};

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line.substr(0, line.find('#')));
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

bool Number(Parser& p, const std::string& word, int low, int high, int& out) {
  char* end = nullptr;
  const long v = std::strtol(word.c_str(), &end, 10);
  if (word.empty() || *end != '\0' || v < low || v > high)
    return p.Fail("'" + word + "' is not a number from " + std::to_string(low) + " to " +
                  std::to_string(high));
  out = static_cast<int>(v);
  return true;
}

int Direction(const std::string& w) {
  for (int d = 0; d < 4; d++)
    if (w == kDirWords[d]) return d;
  return -1;
}

bool ParseSupply(Parser& p, const std::vector<std::string>& w, StageInfo& s) {
  if (w.size() % 2 != 1) return p.Fail("supply wants pairs of a group name and a count");
  for (size_t i = 1; i < w.size(); i += 2) {
    int g = 0;
    while (g < 6 && w[i] != kGroupWords[g]) g++;
    if (g == 6) return p.Fail("unknown supply group '" + w[i] + "'");
    int n = 0;
    if (!Number(p, w[i + 1], 0, 100, n)) return false;
    s.SupplyCount[g] = static_cast<uint8_t>(n);
  }
  return true;
}

bool ParseWrap(Parser& p, const std::vector<std::string>& w, StageInfo& s) {
  if (w.size() < 3 || (w[1] != "rows" && w[1] != "columns"))
    return p.Fail("write 'wrap rows N ...' or 'wrap columns N ...'");
  const bool rows = w[1] == "rows";
  for (size_t i = 2; i < w.size(); i++) {
    int n = 0;
    if (!Number(p, w[i], 0, rows ? 7 : 9, n)) return false;
    int16_t& mask = rows ? s.RowWrapMask : s.ColumnWrapMask;
    mask = static_cast<int16_t>(mask | (1 << n));
  }
  return true;
}

bool ParseSpecialDir(Parser& p, const std::vector<std::string>& w, int which, Pending& st) {
  const int d = w.size() == 3 && w[1] == kSpecialVerbs[which] ? Direction(w[2]) : -1;
  if (d < 0)
    return p.Fail(std::string("write '") + kSpecialWords[which] + " " + kSpecialVerbs[which] +
                  " up|right|down|left'");
  st.SpecialDir[which] = d;
  return true;
}

int KindOfChar(char c) {
  const char* at = std::strchr(kMapChars, c);
  return at == nullptr || c == '\0' ? -1 : puzzle::CHIP_BLOCK + static_cast<int>(at - kMapChars);
}

int SpecialOfChar(char c) {
  const char* at = std::strchr(kSpecialChars, c);
  return at == nullptr || c == '\0' ? -1 : static_cast<int>(at - kSpecialChars);
}

bool ParseMapRow(Parser& p, const std::string& line, int y, StageInfo& s) {
  std::string cells;
  for (char c : line)
    if (c != ' ' && c != '\t' && c != '\r') cells += c;
  if (cells.size() != 10)
    return p.Fail("a map row has 10 cells, this one " + std::to_string(cells.size()));
  for (int x = 0; x < 10; x++) {
    const char c = cells[x];
    const int special = SpecialOfChar(c);
    uint8_t& cell = s.StageMap[x + 10 * y];
    if (special >= 0) {
      puzzle::StageSpecial& e = s.SpecialEntry[special];
      if (e.X != puzzle::kAbsent) return p.Fail(std::string("a second '") + c + "' in the map");
      e.X = static_cast<uint8_t>(x);
      e.Y = static_cast<uint8_t>(y);
      cell = puzzle::CHIP_EMPTY;  // the special piece replaces it
      continue;
    }
    const int kind = KindOfChar(c);
    if (kind < 0) return p.Fail(std::string("unknown map character '") + c + "'");
    cell = static_cast<uint8_t>(kind);
  }
  return true;
}

bool ParseMap(Parser& p, StageInfo& s) {
  for (int y = 0; y < 8; y++) {
    if (p.At >= p.Lines.size()) return p.Fail("the map has fewer than 8 rows");
    const std::string& line = p.Lines[p.At++];
    if (!ParseMapRow(p, line, y, s)) return false;
  }
  return true;
}

// The 'byte' lines come last: they set single bytes of the finished record.
void ApplyBytes(Pending& st) {
  uint8_t bytes[puzzle::kStageRecordSize];
  puzzle::EncodeStage(st.Stage.Record, bytes);
  for (int i = 0; i < puzzle::kStageRecordSize; i++)
    if (st.ByteValue[i] >= 0) bytes[i] = static_cast<uint8_t>(st.ByteValue[i]);
  puzzle::DecodeStage(bytes, st.Stage.Record);
}

bool ParseByte(Parser& p, const std::vector<std::string>& w, Pending& st) {
  if (w.size() != 3) return p.Fail("write 'byte OFFSET VALUE'");
  int at = 0, value = 0;
  if (!Number(p, w[1], 0, puzzle::kStageRecordSize - 1, at) || !Number(p, w[2], 0, 255, value))
    return false;
  st.ByteValue[at] = value;
  return true;
}

bool Finish(Parser& p, Pending& st, std::vector<StageSource>& out) {
  const char* const names[6] = {"set", "supply", "require", "delay", "map", "speed"};
  for (int i = 0; i < 5; i++)
    if (!st.Has[i])
      return p.Fail("stage from line " + std::to_string(st.Stage.Line) + " has no '" + names[i] +
                    "' line");
  StageInfo& s = st.Stage.Record;
  if (!st.Has[kSpeed]) s.SpeedByte = 128;
  for (int i = 0; i < 4; i++) {
    puzzle::StageSpecial& e = s.SpecialEntry[i];
    const bool placed = e.X != puzzle::kAbsent;
    if (placed != (st.SpecialDir[i] >= 0))
      return p.Fail("stage from line " + std::to_string(st.Stage.Line) + ": the " +
                    kSpecialWords[i] + (placed ? " has no direction line" : " is not on the map"));
    if (placed) e.Dir = static_cast<uint8_t>(st.SpecialDir[i]);
  }
  if (s.SpecialEntry[2].X != puzzle::kAbsent) s.SpecialEntry[2].LinkFlag = 1;
  // A warp exit alone is only a picture; an entrance without an exit
  // would send the water nowhere.
  if (s.SpecialEntry[2].X != puzzle::kAbsent && s.SpecialEntry[3].X == puzzle::kAbsent)
    return p.Fail("stage from line " + std::to_string(st.Stage.Line) +
                  ": the warp entrance has no warp exit");
  ApplyBytes(st);
  out.push_back(st.Stage);
  return true;
}

void StartStage(Pending& st, const std::string& line, int lineNo) {
  st = Pending{};
  const size_t at = line.find("stage");
  std::string title = line.substr(at + 5);
  title = title.substr(0, title.find('#'));
  title.erase(0, title.find_first_not_of(" \t"));
  title.erase(title.find_last_not_of(" \t\r") + 1);
  st.Stage.Title = title;
  st.Stage.Line = lineNo;
  for (int& b : st.ByteValue) b = -1;
  for (puzzle::StageSpecial& e : st.Stage.Record.SpecialEntry) e = {puzzle::kAbsent, 0, 0, 0};
}

bool ParseKeyword(Parser& p, const std::vector<std::string>& w, Pending& st) {
  StageInfo& s = st.Stage.Record;
  const std::string& k = w[0];
  int n = 0;
  auto once = [&](int which) {
    if (st.Has[which]) return p.Fail("'" + k + "' given twice");
    st.Has[which] = true;
    return true;
  };
  auto one = [&](int which, int low, int high, uint8_t& field) {
    if (w.size() != 2) return p.Fail("'" + k + "' takes one number");
    if (!once(which) || !Number(p, w[1], low, high, n)) return false;
    field = static_cast<uint8_t>(n);
    return true;
  };
  if (k == "set") return one(kSet, 0, 4, s.PipeSet);
  if (k == "require") return one(kRequire, 0, 255, s.RequiredPipes);
  if (k == "delay") return one(kDelay, 1, 255, s.StartDelay);
  if (k == "speed") return one(kSpeed, 0, 255, s.SpeedByte);
  if (k == "supply") return once(kSupply) && ParseSupply(p, w, s);
  if (k == "wrap") return ParseWrap(p, w, s);
  if (k == "byte") return ParseByte(p, w, st);
  if (k == "map") {
    if (w.size() != 1) return p.Fail("the map starts on the line after 'map'");
    return once(kMap) && ParseMap(p, s);
  }
  for (int i = 0; i < 4; i++)
    if (k == kSpecialWords[i]) return ParseSpecialDir(p, w, i, st);
  return p.Fail("unknown keyword '" + k + "'");
}

}  // namespace

bool ParseCourse(const std::string& text, std::vector<StageSource>& stages, std::string& error) {
  Parser p;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) p.Lines.push_back(line);
  Pending st;
  bool open = false;
  while (p.At < p.Lines.size()) {
    const std::string& line = p.Lines[p.At++];
    const std::vector<std::string> w = Words(line);
    if (w.empty()) continue;
    bool ok = true;
    if (w[0] == "stage") {
      if (open) ok = Finish(p, st, stages);
      StartStage(st, line, static_cast<int>(p.At));
      open = true;
    } else if (!open) {
      ok = p.Fail("'" + w[0] + "' before the first 'stage'");
    } else {
      ok = ParseKeyword(p, w, st);
    }
    if (!ok) return error = p.Error, false;
  }
  if (open && !Finish(p, st, stages)) return error = p.Error, false;
  if (stages.empty()) return error = "the file holds no stage", false;
  return true;
}

char MapChar(int chip) {
  if (chip >= puzzle::CHIP_BLOCK && chip <= puzzle::CHIP_EMPTY)
    return kMapChars[chip - puzzle::CHIP_BLOCK];
  if (chip >= 0 && chip < 16) return kSpecialChars[chip / 4];
  return '?';
}

}  // namespace stagec

namespace stagec {

namespace {

// What the game makes of a wrap mask, as the numbers of a 'wrap' line.
std::string WrapLine(const char* what, int16_t mask, int count) {
  std::string line;
  for (int i = 0; i < count; i++)
    if (puzzle::MaskFlag(mask, i)) line += " " + std::to_string(i);
  return line.empty() ? "" : std::string("wrap ") + what + line + "\n";
}

std::string MapText(const StageInfo& s) {
  char rows[8][11] = {};
  for (int c = 0; c < 80; c++) rows[c / 10][c % 10] = MapChar(s.StageMap[c]);
  for (int i = 0; i < 4; i++) {
    const puzzle::StageSpecial& e = s.SpecialEntry[i];
    if (e.X != puzzle::kAbsent) rows[e.Y][e.X] = kSpecialChars[i];
  }
  std::string text = "map\n";
  for (const char* row : rows) text += std::string(row) + "\n";
  return text;
}

// Everything a player reads: the fields, the map and the special pieces.
std::string ReadableText(const StageInfo& s, const std::string& title) {
  std::string t = "stage " + title + "\n";
  t += "set " + std::to_string(s.PipeSet) + "\n";
  t += "supply";
  for (int g = 0; g < 6; g++)
    if (s.SupplyCount[g] != 0)
      t += std::string(" ") + kGroupWords[g] + " " + std::to_string(s.SupplyCount[g]);
  t += "\nrequire " + std::to_string(s.RequiredPipes) + "\n";
  t += "delay " + std::to_string(s.StartDelay) + "\n";
  t += "speed " + std::to_string(s.SpeedByte) + "\n";
  t += WrapLine("rows", s.RowWrapMask, puzzle::kPlayRows);
  t += WrapLine("columns", s.ColumnWrapMask, puzzle::kPlayColumns);
  t += MapText(s);
  for (int i = 0; i < 4; i++) {
    const puzzle::StageSpecial& e = s.SpecialEntry[i];
    if (e.X != puzzle::kAbsent)
      t += std::string(kSpecialWords[i]) + " " + kSpecialVerbs[i] + " " + kDirWords[e.Dir] + "\n";
  }
  return t;
}

}  // namespace

bool WriteStage(const StageInfo& s, const std::string& title, std::string& text,
                std::string& error) {
  const std::string reason = puzzle::CheckStage(s);
  if (!reason.empty()) return error = reason, false;
  text = ReadableText(s, title);
  std::vector<StageSource> back;
  if (!ParseCourse(text, back, error)) return false;
  uint8_t want[puzzle::kStageRecordSize], got[puzzle::kStageRecordSize];
  puzzle::EncodeStage(s, want);
  puzzle::EncodeStage(back[0].Record, got);
  bool first = true;
  for (int i = 0; i < puzzle::kStageRecordSize; i++) {
    if (want[i] == got[i]) continue;
    if (first) text += "# bytes the game does not read, kept as the course file holds them\n";
    first = false;
    text += "byte " + std::to_string(i) + " " + std::to_string(want[i]) + "\n";
  }
  return true;
}

bool DecompileCourse(const std::vector<uint8_t>& bytes, std::string& text, std::string& error) {
  const size_t size = puzzle::kStageRecordSize;
  if (bytes.empty() || bytes.size() % size != 0)
    return error = std::to_string(bytes.size()) + " bytes are not whole 110-byte stage records",
           false;
  text.clear();
  for (size_t i = 0; i < bytes.size() / size; i++) {
    StageInfo s{};
    puzzle::DecodeStage(bytes.data() + i * size, s);
    const std::string number = std::to_string(i + 1);
    std::string stage;
    if (!WriteStage(s, number, stage, error))
      return error = "stage " + number + ": " + error, false;
    text += (i == 0 ? "" : "\n") + stage;
  }
  return true;
}

}  // namespace stagec
