// SPDX-License-Identifier: Zlib
// The headless back end: the game runs unchanged against a virtual clock,
// with keys and joysticks from a script and its outside effects logged.
#include <SDL.h>
#include <SDL_image.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include "platform/files.h"
#include "platform/headless/runner.h"
#include "platform/midi_length.h"
#include "platform/platform.h"

namespace headless {

namespace {

enum class Action { Down, Up, Close, FocusOut, FocusIn, Connect, Disconnect };

// One step of the script, already expanded (a tap is a down and an up).
struct ScriptStep {
  int64_t Frame;
  Action What;
  int Joystick;  // -1 for a keyboard key or a window event
  int Key;       // virtual-key code, or the joystick control
};

enum JoyControl { kJoyUp, kJoyDown, kJoyLeft, kJoyRight, kJoyB1, kJoyB2, kJoyB3, kJoyB4 };

struct JoyState {
  bool Present = false;
  bool Held[8] = {};
};

struct Shot {
  int64_t Frame;
  std::string File;
  bool Done;
};

struct State {
  int64_t Clock = 1000000;  // virtual milliseconds; far from 0 like a real uptime
  int64_t Frame = 0;
  int64_t StopAtFrame = -1;
  bool StopSent = false;
  std::string Root;
  uint32_t Seed = 1;
  std::vector<ScriptStep> Script;
  size_t NextStep = 0;
  std::array<bool, 256> Keys{};
  std::vector<plat::Event> Pending;
  JoyState Joy[2];
  std::vector<Shot> Shots;
  size_t ShotsLeft = 0;
  bool PicturesForShotsOnly = false;
  plat::Surface Shown;
  FILE* Events = nullptr;
  FILE* EditLog = nullptr;
  std::string StateFile;
  // Music: the open piece plays from MusicStart for MusicLength.
  bool MusicOpen = false;
  int64_t MusicStart = 0;
  int64_t MusicLength = 0;
  int64_t MusicPausedAt = -1;
  void (*ExitHook)() = nullptr;
  void (*FrameHook)(int64_t) = nullptr;
};

State S;

void Log(const std::string& line) {
  if (S.Events == nullptr) return;
  std::fprintf(S.Events, "%lld %s\n", static_cast<long long>(S.Frame), line.c_str());
}

bool KeyCode(const std::string& name, int& joystick, int& key) {
  static const std::map<std::string, int> keys = {
      {"Up", 0x26}, {"Down", 0x28}, {"Left", 0x25}, {"Right", 0x27}, {"Z", 0x5A},
      {"X", 0x58},  {"F1", 112},    {"F12", 123},   {"Esc", 27},     {"P", 0x50}};
  static const std::map<std::string, int> joy = {
      {"Up", kJoyUp}, {"Down", kJoyDown}, {"Left", kJoyLeft}, {"Right", kJoyRight},
      {"B1", kJoyB1}, {"B2", kJoyB2},     {"B3", kJoyB3},     {"B4", kJoyB4}};
  if (auto it = keys.find(name); it != keys.end()) {
    joystick = -1;
    key = it->second;
    return true;
  }
  if (name.size() > 3 && name[0] == 'J' && (name[1] == '0' || name[1] == '1') && name[2] == '.') {
    auto it = joy.find(name.substr(3));
    if (it == joy.end()) return false;
    joystick = name[1] - '0';
    key = it->second;
    return true;
  }
  return false;
}

bool ParseFrame(const std::string& word, int64_t& frame) {
  if (word.empty() || word.size() > 12) return false;
  for (char c : word)
    if (c < '0' || c > '9') return false;
  frame = std::stoll(word);
  return true;
}

// One script line into steps; false with the reason.
bool ParseLine(const std::string& line, std::vector<ScriptStep>& out, bool named[2],
               std::string& why) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  if (words.empty()) return true;
  int64_t frame;
  if (!ParseFrame(words[0], frame)) return why = "frame number expected", false;
  if (words.size() == 2) {
    static const std::map<std::string, Action> window = {
        {"close", Action::Close}, {"focus-out", Action::FocusOut}, {"focus-in", Action::FocusIn}};
    auto it = window.find(words[1]);
    if (it == window.end()) return why = "unknown event '" + words[1] + "'", false;
    out.push_back({frame, it->second, -1, 0});
    return true;
  }
  if (words.size() != 3) return why = "expected 'F KEY down|up|tap'", false;
  if (words[1] == "J0" || words[1] == "J1") {
    int id = words[1][1] - '0';
    if (words[2] != "connect" && words[2] != "disconnect")
      return why = "expected connect or disconnect", false;
    named[id] = true;
    out.push_back({frame, words[2] == "connect" ? Action::Connect : Action::Disconnect, id, 0});
    return true;
  }
  int joystick, key;
  if (!KeyCode(words[1], joystick, key)) return why = "unknown key '" + words[1] + "'", false;
  if (words[2] != "down" && words[2] != "up" && words[2] != "tap")
    return why = "unknown action '" + words[2] + "'", false;
  if (joystick >= 0 && !named[joystick]) {
    named[joystick] = true;
    out.push_back({frame, Action::Connect, joystick, 0});
  }
  if (words[2] == "up") {
    out.push_back({frame, Action::Up, joystick, key});
  } else {
    out.push_back({frame, Action::Down, joystick, key});
    if (words[2] == "tap") out.push_back({frame + 1, Action::Up, joystick, key});
  }
  return true;
}

void ApplyStep(const ScriptStep& step) {
  switch (step.What) {
    case Action::Close:
      S.Pending.push_back({plat::EventKind::Close, 0});
      return;
    case Action::FocusOut:
      S.Pending.push_back({plat::EventKind::FocusLost, 0});
      return;
    case Action::FocusIn:
      S.Pending.push_back({plat::EventKind::FocusGained, 0});
      return;
    case Action::Connect:
    case Action::Disconnect:
      S.Joy[step.Joystick] = JoyState{};
      S.Joy[step.Joystick].Present = step.What == Action::Connect;
      return;
    case Action::Down:
    case Action::Up:
      break;
  }
  bool down = step.What == Action::Down;
  if (step.Joystick >= 0) {
    S.Joy[step.Joystick].Held[step.Key] = down;
    return;
  }
  if (down && !S.Keys[step.Key]) S.Pending.push_back({plat::EventKind::KeyDown, step.Key});
  S.Keys[step.Key] = down;
}

void ApplyDueSteps() {
  while (S.NextStep < S.Script.size() && S.Script[S.NextStep].Frame <= S.Frame)
    ApplyStep(S.Script[S.NextStep++]);
}

void TakeShots(bool atExit) {
  for (Shot& shot : S.Shots) {
    if (shot.Done || shot.Frame > S.Frame || (!atExit && shot.Frame != S.Frame)) continue;
    shot.Done = true;
    --S.ShotsLeft;
    if (!WritePng(S.Shown, shot.File))
      std::fprintf(stderr, "ductora-headless: cannot write screenshot %s\n", shot.File.c_str());
  }
}

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool ParseOptions(int argc, char** argv, Options& o, std::string& error) {
  plat::CommandLine line = plat::ParseCommandLine(argc, argv, true);
  if (line.Kind == plat::CommandKind::Error) return error = line.Error, false;
  o = line.Runner;
  return true;
}

bool LoadScript(const std::string& text, std::string& error) {
  std::vector<ScriptStep> steps;
  bool named[2] = {false, false};
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::string why;
    if (!ParseLine(line, steps, named, why)) {
      error = "line " + std::to_string(number) + ": " + why;
      return false;
    }
  }
  std::stable_sort(steps.begin(), steps.end(),
                   [](const ScriptStep& a, const ScriptStep& b) { return a.Frame < b.Frame; });
  S.Script = std::move(steps);
  S.NextStep = 0;
  return true;
}

// Whether the state file can be written when the run ends: a folder, a
// missing or read-only folder or a read-only file is refused at the start,
// before the run's work is done for nothing. A file made for the test is
// taken away again, so nothing appears before the run ends.
bool CanWriteLater(const std::string& path) {
  struct stat before;
  const bool existed = ::lstat(path.c_str(), &before) == 0;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  ::close(fd);
  if (!existed) ::unlink(path.c_str());
  return true;
}

bool Configure(const Options& o, std::string& error) {
  S.Root = o.Root;
  S.Seed = o.Seed;
  S.StopAtFrame = o.Frames;
  S.StateFile = o.StateFile;
  if (!o.StateFile.empty() && !CanWriteLater(o.StateFile))
    return error = "cannot write " + o.StateFile, false;
  for (const auto& [frame, file] : o.Shots) S.Shots.push_back({frame, file, false});
  S.ShotsLeft = S.Shots.size();
  S.PicturesForShotsOnly = o.PicturesForShotsOnly;
  if (!o.EventsFile.empty()) {
    S.Events = std::fopen(o.EventsFile.c_str(), "w");
    if (S.Events == nullptr) return error = "cannot write " + o.EventsFile, false;
  }
  if (!o.EditLogFile.empty()) {
    S.EditLog = std::fopen(o.EditLogFile.c_str(), "w");
    if (S.EditLog == nullptr) return error = "cannot write " + o.EditLogFile, false;
  }
  return true;
}

int64_t CurrentFrame() { return S.Frame; }
const plat::Surface& LastShown() { return S.Shown; }
void SetFrameHook(void (*hook)(int64_t)) { S.FrameHook = hook; }

bool WritePng(const plat::Surface& s, const std::string& path) {
  if (s.Width <= 0 || s.Height <= 0) return false;
  std::vector<uint32_t> pixels(s.Pixels);
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), s.Width, s.Height, 32,
                                                            s.Width * 4, SDL_PIXELFORMAT_RGB888);
  if (surface == nullptr) return false;
  bool ok = IMG_SavePNG(surface, path.c_str()) == 0;
  SDL_FreeSurface(surface);
  return ok;
}

void Reset() {
  if (S.Events != nullptr) std::fclose(S.Events);
  // The clock is monotonic across resets, as a real one would be.
  const int64_t clock = S.Clock;
  S = State{};
  S.Clock = clock;
}

}  // namespace headless

namespace plat {

using headless::S;

// --root names a program folder of its own, laid out as the build folder is.
std::string ProgramFolder() {
  std::string root = S.Root;
  if (root.empty()) {
    const std::string exe = ExecutableFolder();
    const std::string installed = InstalledDataFolder(exe);
    root = installed.empty() ? exe : installed;
  }
  if (root.back() != '/') root += '/';
  return root;
}

bool ProgramInstalled() {
  return S.Root.empty() && !InstalledDataFolder(ExecutableFolder()).empty();
}

int64_t NowMs() { return S.Clock; }

void WaitUntil(int64_t deadline) { S.Clock = std::max(S.Clock, deadline); }

void FrameMark() {
  headless::TakeShots(false);
  ++S.Frame;
  if (S.FrameHook != nullptr) S.FrameHook(S.Frame);
}

void PauseFrame() {
  headless::TakeShots(false);
  ++S.Frame;
  if (S.FrameHook != nullptr) S.FrameHook(S.Frame);
}

uint32_t RandomSeed() { return S.Seed; }

bool NextEvent(Event& e) {
  if (TakeLeaveSignal()) {
    e = {EventKind::Close, 0};
    return true;
  }
  headless::ApplyDueSteps();
  if (S.StopAtFrame >= 0 && S.Frame >= S.StopAtFrame && !S.StopSent) {
    S.StopSent = true;
    S.Pending.push_back({EventKind::KeyDown, 27});
  }
  if (S.Pending.empty()) return false;
  e = S.Pending.front();
  S.Pending.erase(S.Pending.begin());
  return true;
}

bool KeyIsDown(int vk) { return vk >= 0 && vk < 256 && S.Keys[vk]; }

int JoyGetPos(int id, JoyInfo& info) {
  if (id < 0 || id > 1) return 165;
  const headless::JoyState& j = S.Joy[id];
  if (!j.Present) return JOYERR_UNPLUGGED;
  using namespace headless;
  info.X = j.Held[kJoyLeft] ? 0 : j.Held[kJoyRight] ? 65535 : 32768;
  info.Y = j.Held[kJoyUp] ? 0 : j.Held[kJoyDown] ? 65535 : 32768;
  info.Z = 32768;
  info.Buttons = 0;
  for (int b = 0; b < 4; ++b)
    if (j.Held[kJoyB1 + b]) info.Buttons |= 1u << b;
  return JOYERR_NOERROR;
}

bool JoyStartDown(int) { return false; }

// Nothing but a screenshot reads the runner's picture: with none to come,
// the copy is not made. The runner has no display to fill, so full screen
// shows the screen itself, as the window does at 1x.
void Present(const Surface& screen) {
  if (S.PicturesForShotsOnly && S.ShotsLeft == 0) return;
  S.Shown = screen;
}

void SetDisplayMode(int fullScreen) { headless::Log("display " + std::to_string(fullScreen)); }

void SetCursorHidden(bool) {}

// The runner draws no window and plays no sound: nothing to scale or to
// make quieter.
void SetWindowScale(int) {}
void SetVolumes(int, int) {}

// Scripts name the actions as they always have (Up, Z, Esc ...).
void BindKeys(const KeyBindings&) {}

void ShowMessage(const std::string& text) {
  std::fprintf(stderr, "Ductora Fiesta: %s\n", text.c_str());
  std::string line = text;
  std::replace(line.begin(), line.end(), '\n', ' ');
  headless::Log("message " + line);
}

void PlayWave(int number, const std::vector<uint8_t>&) {
  headless::Log("sound " + std::to_string(number));
}

void StopWave(int number) { headless::Log("sound-stop " + std::to_string(number)); }

bool MusicOpenPlay(const std::string& path) {
  std::vector<uint8_t> data;
  int64_t length = 0;
  if (ReadFileUpTo(path, kMusicFileLimit, data) != FileRead::Ok ||
      !MidiLengthMs(data.data(), data.size(), length))
    return false;
  S.MusicOpen = true;
  S.MusicStart = S.Clock;
  S.MusicLength = length;
  S.MusicPausedAt = -1;
  headless::Log("music-play " + headless::BaseName(path));
  return true;
}

void MusicStopClose() {
  if (!S.MusicOpen) return;
  S.MusicOpen = false;
  headless::Log("music-stop");
}

bool MusicIsPlaying() {
  if (!S.MusicOpen) return false;
  int64_t now = S.MusicPausedAt >= 0 ? S.MusicPausedAt : S.Clock;
  return now - S.MusicStart < S.MusicLength;
}

void MusicPause(bool paused) {
  if (!S.MusicOpen) return;
  if (paused && S.MusicPausedAt < 0) {
    S.MusicPausedAt = S.Clock;
  } else if (!paused && S.MusicPausedAt >= 0) {
    S.MusicStart += S.Clock - S.MusicPausedAt;
    S.MusicPausedAt = -1;
  }
}

void LogSave() { headless::Log("save"); }
void LogPause(bool paused) { headless::Log(paused ? "pause 1" : "pause 0"); }
void LogDemo(bool playing) { headless::Log(playing ? "demo 1" : "demo 0"); }

void LogEditor(const std::string& line) {
  if (S.EditLog == nullptr) return;
  std::fprintf(S.EditLog, "%lld %s\n", static_cast<long long>(S.Frame), line.c_str());
  std::fflush(S.EditLog);
}

void SetExitHook(void (*hook)()) { S.ExitHook = hook; }

void EndProcess(int status) {
  headless::TakeShots(true);
  for (const headless::Shot& shot : S.Shots)
    if (!shot.Done)
      std::fprintf(stderr, "ductora-headless: frame %lld of --shot %s was never reached\n",
                   static_cast<long long>(shot.Frame), shot.File.c_str());
  if (S.ExitHook != nullptr) S.ExitHook();
  if (S.Events != nullptr) std::fclose(S.Events);
  S.Events = nullptr;
  std::fflush(stdout);
  std::exit(status);
}

}  // namespace plat
