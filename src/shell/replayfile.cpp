// SPDX-License-Identifier: Zlib
#include "shell/replayfile.h"

#include <charconv>

#include "ductora_version.h"
#include "shell/safe_read.h"

namespace game {

namespace {

constexpr const char* kCourseNames[4] = {"A", "B", "C", "endless"};
constexpr size_t kHeaderFields = 9;
constexpr uint32_t kPresentBit = 0x80000000u;

std::string Hex(uint32_t v) {
  char text[9];
  auto end = std::to_chars(text, text + sizeof text, v, 16).ptr;
  return std::string(text, end);
}

// The whole field as a number in the base, nothing else.
template <typename T>
bool Number(std::string_view field, T& value, int base = 10) {
  if (field.empty() || field.size() > 20 || field[0] == '-' || field[0] == '+') return false;
  auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value, base);
  return ec == std::errc() && end == field.data() + field.size();
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t at = 0;
  while (at < line.size() && fields.size() <= kHeaderFields) {
    while (at < line.size() && line[at] == ' ') ++at;
    size_t end = at;
    while (end < line.size() && line[end] != ' ') ++end;
    if (end > at) fields.push_back(line.substr(at, end - at));
    at = end;
  }
  return fields;
}

struct Reader {
  std::string_view Text;
  size_t At = 0;
  int Line = 0;
  std::string* Error;

  bool Next(std::string_view& line) {
    if (At >= Text.size()) return false;
    size_t end = Text.find('\n', At);
    if (end == std::string_view::npos) end = Text.size();
    line = Text.substr(At, end - At);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    At = end + 1;
    ++Line;
    return true;
  }
  bool Fail(const std::string& why) {
    *Error = "line " + std::to_string(Line == 0 ? 1 : Line) + ": " + why;
    return false;
  }
};

bool CourseNumber(std::string_view name, int32_t& course) {
  for (int32_t c = 0; c < 4; ++c)
    if (name == kCourseNames[c]) course = c;
  return course >= 0;
}

// One "name value" line of the header, in its fixed place.
bool HeaderValue(Reader& r, const char* name, std::string_view& value) {
  std::string_view line;
  if (!r.Next(line)) return r.Fail(std::string("the header ends before '") + name + "'");
  const std::vector<std::string_view> f = Fields(line);
  if (f.size() != 2 || f[0] != name) return r.Fail(std::string("'") + name + " VALUE' expected");
  value = f[1];
  return true;
}

template <typename T>
bool HeaderNumber(Reader& r, const char* name, T& out, T low, T high) {
  std::string_view v;
  if (!HeaderValue(r, name, v)) return false;
  if (!Number(v, out) || out < low || out > high)
    return r.Fail(std::string("bad ") + name + " '" + std::string(v) + "'");
  return true;
}

bool ReadHeader(Reader& r, Replay& out) {
  std::string_view line, v;
  if (!r.Next(line) || line != kReplayMagic) return r.Fail("not a replay file");
  if (!HeaderValue(r, "version", v)) return false;
  for (char c : v)
    if (c < '!' || c > '~') return r.Fail("bad version");
  out.Version = std::string(v);
  if (!HeaderNumber<uint32_t>(r, "seed", out.Seed, 0, UINT32_MAX)) return false;
  if (!HeaderNumber<uint64_t>(r, "draws", out.Draws, 0, kReplayDrawsLimit)) return false;
  if (!HeaderValue(r, "course", v)) return false;
  out.Course = -1;
  if (!CourseNumber(v, out.Course)) return r.Fail("bad course '" + std::string(v) + "'");
  if (!HeaderNumber<int32_t>(r, "players", out.Players, 1, 2)) return false;
  if (out.Course == 3 && out.Players != 1) return r.Fail("the endless mode has one player");
  if (!HeaderNumber<int32_t>(r, "hiscore", out.HiScore, 0, INT32_MAX)) return false;
  if (!HeaderNumber<int32_t>(r, "score", out.Score, 0, INT32_MAX)) return false;
  return HeaderNumber<int64_t>(r, "frames", out.Frames, 0, kReplayFramesLimit);
}

bool ReadStep(Reader& r, std::string_view line, const Replay& replay, ReplayStep& step) {
  const std::vector<std::string_view> f = Fields(line);
  if (f.size() != 4) return r.Fail("'FRAME KEYBOARD JOYSTICK0 JOYSTICK1' expected");
  if (!Number(f[0], step.Frame)) return r.Fail("bad frame '" + std::string(f[0]) + "'");
  for (int d = 0; d < 3; ++d)
    if (f[1 + d].size() > 8 || !Number(f[1 + d], step.Word[d], 16))
      return r.Fail("bad input word '" + std::string(f[1 + d]) + "'");
  const int64_t last = replay.Steps.empty() ? -1 : replay.Steps.back().Frame;
  if (step.Frame <= last) return r.Fail("frames must rise from line to line");
  if (step.Frame >= replay.Frames) return r.Fail("a frame past the end of the game");
  if ((step.Word[0] & kPresentBit) != 0) return r.Fail("the keyboard is never plugged in");
  return true;
}

}  // namespace

std::string FormatReplay(const Replay& replay) {
  std::string text = std::string(kReplayMagic) + "\nversion " + replay.Version + "\nseed " +
                     std::to_string(replay.Seed) + "\ndraws " + std::to_string(replay.Draws) +
                     "\ncourse " + kCourseNames[replay.Course & 3] + "\nplayers " +
                     std::to_string(replay.Players) + "\nhiscore " +
                     std::to_string(replay.HiScore) + "\nscore " + std::to_string(replay.Score) +
                     "\nframes " + std::to_string(replay.Frames) + "\n";
  for (const ReplayStep& s : replay.Steps)
    text += std::to_string(s.Frame) + " " + Hex(s.Word[0]) + " " + Hex(s.Word[1]) + " " +
            Hex(s.Word[2]) + "\n";
  return text;
}

bool ParseReplay(std::string_view text, Replay& out, std::string& error) {
  Reader r{text, 0, 0, &error};
  Replay replay;
  if (!ReadHeader(r, replay)) return false;
  std::string_view line;
  while (r.Next(line)) {
    if (line.empty() && r.At >= text.size()) break;  // the final newline
    ReplayStep step;
    if (!ReadStep(r, line, replay, step)) return false;
    replay.Steps.push_back(step);
  }
  out = std::move(replay);
  return true;
}

bool ReadReplayFile(const std::string& path, Replay& out, std::string& error) {
  std::vector<uint8_t> bytes;
  const plat::FileRead read = ReadFileSafely(path, kReplayFileLimit, bytes);
  if (read != plat::FileRead::Ok) {
    error = path + ": " + plat::FileReadText(read);
    return false;
  }
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  Replay replay;
  if (!ParseReplay(text, replay, error)) {
    error = path + ": " + error;
    return false;
  }
  if (replay.Version != plat::kGameVersion) {
    error = path + ": recorded by version " + replay.Version + " of the game; this is version " +
            plat::kGameVersion;
    return false;
  }
  out = std::move(replay);
  return true;
}

}  // namespace game
