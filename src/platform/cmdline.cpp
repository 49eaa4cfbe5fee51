// SPDX-License-Identifier: Zlib
// One option table for both programs: the parser and the usage text are
// made from it, so the two never disagree.
#include "platform/cmdline.h"

#include <getopt.h>

#include <cstdio>
#include <cstring>

#include "ductora_version.h"

namespace plat {

namespace {

enum OptionId {
  kHelp = 1000,
  kVersion,
  kFullScreen,
  kWindow,
  kScale,
  kMute,
  kSettings,
  kPlay,
  kRoot,
  kSeed,
  kInput,
  kFrames,
  kShot,
  kEvents,
  kState,
  kExportSheets,
  kEdit,
  kEditLog,
  kBot,
  kBotCourse,
  kBotPlayers,
  kReplay,
  kRecord,
};

struct OptionInfo {
  const char* Name;
  const char* Value;  // nullptr: takes no value
  OptionId Id;
  bool RunnerOnly;
  const char* Help;
};

constexpr OptionInfo kOptions[] = {
    {"help", nullptr, kHelp, false, "show this help and exit"},
    {"version", nullptr, kVersion, false, "show the version and exit"},
    {"fullscreen", nullptr, kFullScreen, false, "start in full screen"},
    {"window", nullptr, kWindow, false, "start in a window"},
    {"scale", "N", kScale, false, "window scale 1 to 8, 0 the largest that fits"},
    {"mute", nullptr, kMute, false, "no music and no sound effects"},
    {"settings", "FILE", kSettings, false, "read the settings from FILE"},
    {"play", "COURSEFILE", kPlay, false,
     "play the stages of COURSEFILE at once (the save file is left alone)"},
    {"edit", "COURSEFILE", kEdit, false,
     "open the stage editor on COURSEFILE (saved as a course of your own)"},
    {"replay", "FILE", kReplay, false,
     "play back the game recorded in FILE, then exit (any key ends it)"},
    {"root", "DIR", kRoot, true, "the program folder holding data/ and sound/"},
    {"seed", "N", kSeed, true, "seed of every random draw"},
    {"input", "FILE", kInput, true, "input script"},
    {"frames", "N", kFrames, true, "quit as Esc would after N frames"},
    {"shot", "N:FILE", kShot, true, "write the picture shown at frame N as a PNG"},
    {"events", "FILE", kEvents, true, "log sounds, music, messages and saves to FILE"},
    {"state", "FILE", kState, true, "write the game's state as JSON at the exit"},
    {"export-sheets", "DIR", kExportSheets, true, "write the picture sheets to DIR and exit"},
    {"edit-log", "FILE", kEditLog, true, "log the stage editor's verdicts and saves to FILE"},
    {"bot", nullptr, kBot, true, "the bot plays, from the title on"},
    {"bot-course", "N", kBotCourse, true, "course the bot chooses: 0 A, 1 B, 2 C, 3 endless"},
    {"bot-players", "N", kBotPlayers, true, "players the bot chooses, 1 or 2 (two bots)"},
    {"record", "FILE", kRecord, true, "write the replay of the first game played to FILE"},
};

const char* ProgramName(bool runner) { return runner ? "ductora-headless" : "ductora"; }

// A whole number of up to 12 digits, nothing else.
bool ParseCount(const char* text, int64_t& value) {
  const size_t length = std::strlen(text);
  if (length == 0 || length > 12) return false;
  value = 0;
  for (size_t i = 0; i < length; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

bool Fail(CommandLine& c, const std::string& message) {
  c.Kind = CommandKind::Error;
  c.Error = message;
  return false;
}

bool TakeShot(CommandLine& c, const std::string& v) {
  const size_t colon = v.find(':');
  int64_t frame;
  if (colon == std::string::npos || colon + 1 == v.size() ||
      !ParseCount(v.substr(0, colon).c_str(), frame))
    return Fail(c, "--shot needs N:FILE, not '" + v + "'");
  c.Runner.Shots.push_back({frame, v.substr(colon + 1)});
  return true;
}

bool TakeNumber(CommandLine& c, const char* name, const char* v, int64_t& n) {
  if (ParseCount(v, n)) return true;
  return Fail(c, std::string("--") + name + " needs a whole number, not '" + v + "'");
}

// One option with its value into the command line; false for a bad value.
bool TakeOption(CommandLine& c, int id, const char* v) {
  int64_t n = 0;
  switch (id) {
    case kHelp:
      c.Kind = CommandKind::Help;
      return true;
    case kVersion:
      if (c.Kind != CommandKind::Help) c.Kind = CommandKind::Version;
      return true;
    case kFullScreen:
    case kWindow:
      c.Start.FullScreen = id == kFullScreen ? 1 : 0;
      return true;
    case kScale:
      if (!ParseCount(v, n) || n > kMaxWindowScale)
        return Fail(c, std::string("--scale needs a whole number from 0 to ") +
                           std::to_string(kMaxWindowScale) + ", not '" + v + "'");
      c.Start.Scale = static_cast<int>(n);
      return true;
    case kMute:
      c.Start.Mute = true;
      return true;
    case kSettings:
    case kPlay:
      if (*v == '\0')
        return Fail(c,
                    std::string("--") + (id == kPlay ? "play" : "settings") + " needs a file name");
      (id == kPlay ? c.Start.PlayFile : c.Start.SettingsFile) = v;
      return true;
    case kRoot:
      c.Runner.Root = v;
      return true;
    case kSeed:
      if (!TakeNumber(c, "seed", v, n)) return false;
      c.Runner.Seed = static_cast<uint32_t>(n);
      return true;
    case kFrames:
      if (!TakeNumber(c, "frames", v, n)) return false;
      c.Runner.Frames = n;
      return true;
    case kInput:
      c.Runner.InputFile = v;
      return true;
    case kShot:
      return TakeShot(c, v);
    case kEvents:
      c.Runner.EventsFile = v;
      return true;
    case kState:
      c.Runner.StateFile = v;
      return true;
    case kExportSheets:
      c.Runner.ExportDir = v;
      return true;
    case kEditLog:
      c.Runner.EditLogFile = v;
      return true;
    case kEdit:
    case kReplay:
      if (*v == '\0')
        return Fail(c,
                    std::string("--") + (id == kEdit ? "edit" : "replay") + " needs a file name");
      (id == kEdit ? c.Start.EditFile : c.Start.ReplayFile) = v;
      return true;
    case kRecord:
      if (*v == '\0') return Fail(c, "--record needs a file name");
      c.Runner.RecordFile = v;
      return true;
    case kBot:
      c.Runner.Bot = true;
      return true;
    case kBotCourse:
      if (!ParseCount(v, n) || n > 3)
        return Fail(c, std::string("--bot-course needs 0, 1, 2 or 3, not '") + v + "'");
      c.Runner.BotCourse = static_cast<int>(n);
      return true;
    case kBotPlayers:
      if (!ParseCount(v, n) || n < 1 || n > 2)
        return Fail(c, std::string("--bot-players needs 1 or 2, not '") + v + "'");
      c.Runner.BotPlayers = static_cast<int>(n);
      return true;
    default:
      return Fail(c, "unknown option");
  }
}

// The getopt_long table of one program, ending in the zero entry.
std::vector<option> LongOptions(bool runner) {
  std::vector<option> table;
  for (const OptionInfo& o : kOptions)
    if (runner || !o.RunnerOnly)
      table.push_back({o.Name, o.Value != nullptr ? required_argument : no_argument, nullptr,
                       static_cast<int>(o.Id)});
  table.push_back({nullptr, 0, nullptr, 0});
  return table;
}

// The word the player typed, up to any "=value".
std::string OptionWord(const char* arg) {
  std::string word = arg;
  return word.substr(0, word.find('='));
}

// Why getopt_long refused argv[at]: a value where none is taken, or an
// option it does not know (or a prefix of several).
std::string Refusal(const std::vector<option>& table, const char* arg) {
  const std::string word = OptionWord(arg);
  if (word.size() != std::strlen(arg))
    for (const option& o : table)
      if (o.name != nullptr && word == std::string("--") + o.name && o.has_arg == no_argument)
        return "option '" + word + "' takes no value";
  return "unknown option '" + word + "'";
}

}  // namespace

CommandLine ParseCommandLine(int argc, char** argv, bool runner) {
  CommandLine c;
  const std::vector<option> table = LongOptions(runner);
  opterr = 0;  // the messages are our own
  optind = 0;  // glibc: start afresh, also on a second parse
  // "+": stop at the first word that is not an option; ":" report a
  // missing value apart from an unknown option.
  for (;;) {
    const int id = getopt_long(argc, argv, "+:", table.data(), nullptr);
    if (id == -1) break;
    const char* arg = argv[optind - 1];
    if (id == ':') {
      Fail(c, "option '" + OptionWord(arg) + "' needs a value");
      return c;
    }
    if (id == '?') {
      Fail(c, Refusal(table, arg));
      return c;
    }
    if (!TakeOption(c, id, optarg)) return c;
  }
  if (optind < argc) Fail(c, std::string("unexpected argument '") + argv[optind] + "'");
  return c;
}

std::string UsageText(bool runner) {
  std::string text = std::string("Usage: ") + ProgramName(runner) + " [OPTION]...\n";
  text += runner ? "Plays Ductora Fiesta headless, driven by a script, as fast as it runs.\n"
                 : "Starts Ductora Fiesta, the pipe puzzle.\n";
  text += "\n";
  for (const OptionInfo& o : kOptions) {
    if (o.RunnerOnly && !runner) continue;
    std::string left = std::string("  --") + o.Name;
    if (o.Value != nullptr) left += std::string(" ") + o.Value;
    if (left.size() < 24)
      left.resize(24, ' ');
    else
      left += "  ";
    text += left + o.Help + "\n";
  }
  return text;
}

int AnswerCommandLine(const CommandLine& line, bool runner) {
  switch (line.Kind) {
    case CommandKind::Run:
      return -1;
    case CommandKind::Help:
      std::fputs(UsageText(runner).c_str(), stdout);
      return 0;
    case CommandKind::Version:
      std::printf("%s (Ductora Fiesta) %s\n", ProgramName(runner), kGameVersion);
      return 0;
    case CommandKind::Error:
      break;
  }
  std::fprintf(stderr, "%s: %s\n%s", ProgramName(runner), line.Error.c_str(),
               UsageText(runner).c_str());
  return 2;
}

}  // namespace plat
