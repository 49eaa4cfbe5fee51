// SPDX-License-Identifier: Zlib
// The settings file: reading it line by line, writing the defaults once.
#include "platform/settings.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/files.h"
#include "platform/platform.h"

namespace plat {

namespace {

struct ActionInfo {
  const char* Setting;
  const char* DefaultKey;
  int VirtualKey;
  const char* Comment;
};

constexpr ActionInfo kActions[kActionCount] = {
    {"key_up", "Up", 0x26, "Move the cursor up."},
    {"key_down", "Down", 0x28, "Move the cursor down."},
    {"key_left", "Left", 0x25, "Move the cursor left."},
    {"key_right", "Right", 0x27, "Move the cursor right."},
    {"key_lay", "Z", 0x5A, "Lay the next piece (and choose in the menus)."},
    {"key_hurry", "X", 0x58, "Hurry the water along."},
    {"key_pause", "P", 0x50, "Pause and go on."},
    {"key_fullscreen", "F1", 112, "Switch between the window and full screen."},
    {"key_fps", "F12", 123, "Show or hide the frame-rate label."},
    {"key_quit", "Escape", 27, "Leave the game."},
};

// SDL's names of the keys a player may bind (SDL_GetKeyName spells them
// so); a unit test holds them to SDL's own spelling.
constexpr const char* kKeyNames[] = {
    "A",        "B",           "C",          "D",           "E",
    "F",        "G",           "H",          "I",           "J",
    "K",        "L",           "M",          "N",           "O",
    "P",        "Q",           "R",          "S",           "T",
    "U",        "V",           "W",          "X",           "Y",
    "Z",        "0",           "1",          "2",           "3",
    "4",        "5",           "6",          "7",           "8",
    "9",        "Return",      "Escape",     "Backspace",   "Tab",
    "Space",    "-",           "=",          "[",           "]",
    "\\",       "#",           ";",          "'",           "`",
    ",",        ".",           "/",          "CapsLock",    "F1",
    "F2",       "F3",          "F4",         "F5",          "F6",
    "F7",       "F8",          "F9",         "F10",         "F11",
    "F12",      "PrintScreen", "ScrollLock", "Pause",       "Insert",
    "Home",     "PageUp",      "Delete",     "End",         "PageDown",
    "Right",    "Left",        "Down",       "Up",          "Numlock",
    "Keypad /", "Keypad *",    "Keypad -",   "Keypad +",    "Keypad Enter",
    "Keypad 1", "Keypad 2",    "Keypad 3",   "Keypad 4",    "Keypad 5",
    "Keypad 6", "Keypad 7",    "Keypad 8",   "Keypad 9",    "Keypad 0",
    "Keypad .", "Application", "Menu",       "Left Ctrl",   "Left Shift",
    "Left Alt", "Left GUI",    "Right Ctrl", "Right Shift", "Right Alt",
    "Right GUI"};

constexpr size_t kSettingsLimit = 64 * 1024;  // a full file is under 2 KiB
constexpr size_t kMaxProblems = 20;           // garbage reports itself briefly
constexpr size_t kShownLength = 40;

// The settings that are not keys, after the ten key settings.
enum OtherSetting {
  kSetScale = kActionCount,
  kSetFullScreen,
  kSetMusic,
  kSetEffects,
  kSetMute,
  kSettingCount
};

constexpr const char* kOtherNames[] = {"window_scale", "fullscreen", "music_volume",
                                       "effect_volume", "mute"};

const char* SettingName(int id) {
  return id < kActionCount ? kActions[id].Setting : kOtherNames[id - kActionCount];
}

int FindSetting(std::string_view key) {
  for (int id = 0; id < kSettingCount; ++id)
    if (key == SettingName(id)) return id;
  return -1;
}

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

// Printable text for a message: odd bytes as \xNN, long values cut short.
std::string Shown(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size() && i < kShownLength; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F) {
      out.push_back(static_cast<char>(c));
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  if (text.size() > kShownLength) out += "...";
  return out;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// A whole number from 0 to max, digits only.
bool ReadNumber(std::string_view text, int max, int& value) {
  if (text.empty() || text.size() > 3) return false;
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v > max) return false;
  value = v;
  return true;
}

bool ReadYesNo(std::string_view text, bool& value) {
  for (const char* yes : {"yes", "true", "on", "1"})
    if (SameLetters(text, yes)) return value = true, true;
  for (const char* no : {"no", "false", "off", "0"})
    if (SameLetters(text, no)) return value = false, true;
  return false;
}

// What the settings look like as text and what a bad value was expected to be.
std::string ValueText(const Settings& s, int id) {
  if (id < kActionCount) return s.Keys.Names[id];
  switch (id) {
    case kSetScale:
      return std::to_string(s.Scale);
    case kSetFullScreen:
      return s.FullScreen < 0 ? "saved" : s.FullScreen == 1 ? "yes" : "no";
    case kSetMusic:
      return std::to_string(s.MusicVolume);
    case kSetEffects:
      return std::to_string(s.EffectVolume);
    default:
      return s.Mute ? "yes" : "no";
  }
}

const char* Expected(int id) {
  if (id < kActionCount) return "a key name";
  switch (id) {
    case kSetScale:
      return "a whole number from 0 to 8";
    case kSetFullScreen:
      return "yes, no or saved";
    case kSetMusic:
    case kSetEffects:
      return "a whole number from 0 to 100";
    default:
      return "yes or no";
  }
}

// Sets one value; false when it is not a value of that setting.
bool SetValue(Settings& s, int id, std::string_view text) {
  if (id < kActionCount) {
    const char* name = CanonicalKeyName(std::string(text));
    if (name == nullptr) return false;
    s.Keys.Names[id] = name;
    return true;
  }
  bool yes = false;
  switch (id) {
    case kSetScale:
      return ReadNumber(text, kMaxWindowScale, s.Scale);
    case kSetFullScreen:
      if (SameLetters(text, "saved")) return s.FullScreen = -1, true;
      if (!ReadYesNo(text, yes)) return false;
      s.FullScreen = yes ? 1 : 0;
      return true;
    case kSetMusic:
      return ReadNumber(text, 100, s.MusicVolume);
    case kSetEffects:
      return ReadNumber(text, 100, s.EffectVolume);
    default:
      return ReadYesNo(text, s.Mute);
  }
}

struct Reader {
  const std::string& File;
  std::vector<std::string>& Problems;
  size_t Count = 0;
  int LineOf[kSettingCount] = {};

  void Report(int line, const std::string& text) {
    if (++Count > kMaxProblems) return;
    Problems.push_back(File + ":" + std::to_string(line) + ": " + text);
  }
  void Finish() {
    if (Count > kMaxProblems)
      Problems.push_back(File + ": " + std::to_string(Count - kMaxProblems) +
                         " more problems not shown");
  }
};

void ReadLine(Settings& s, Reader& r, int line, std::string_view text) {
  text = Trim(text);
  if (text.empty() || text.front() == '#' || text.front() == ';') return;
  const size_t eq = text.find('=');
  const std::string_view key = Trim(text.substr(0, eq == std::string_view::npos ? 0 : eq));
  if (eq == std::string_view::npos || key.empty()) {
    r.Report(line, "not a 'key = value' line: '" + Shown(text) + "'");
    return;
  }
  const int id = FindSetting(key);
  if (id < 0) {
    r.Report(line, "unknown setting '" + Shown(key) + "'");
    return;
  }
  const std::string_view value = Trim(text.substr(eq + 1));
  if (r.LineOf[id] != 0)
    r.Report(line, std::string(SettingName(id)) + " is set again (first on line " +
                       std::to_string(r.LineOf[id]) + "); the later value is used");
  r.LineOf[id] = line;
  if (SetValue(s, id, value)) return;
  const Settings defaults = DefaultSettings();
  r.Report(line, std::string(SettingName(id)) + ": '" + Shown(value) + "' is not " + Expected(id) +
                     "; using the default '" + ValueText(defaults, id) + "'");
  SetValue(s, id, ValueText(defaults, id));
}

// Two actions on one key: both go back to their defaults, and again until
// no two share a key (the defaults never do, so this ends).
void ResolveCollisions(Settings& s, Reader& r) {
  const Settings defaults = DefaultSettings();
  for (bool again = true; again;) {
    again = false;
    for (int a = 0; a < kActionCount; ++a) {
      for (int b = a + 1; b < kActionCount; ++b) {
        if (s.Keys.Names[a] != s.Keys.Names[b]) continue;
        const int line = std::max(r.LineOf[a], r.LineOf[b]);
        r.Report(line, std::string(kActions[a].Setting) + " and " + kActions[b].Setting +
                           " are both '" + s.Keys.Names[a] + "'; using their defaults '" +
                           defaults.Keys.Names[a] + "' and '" + defaults.Keys.Names[b] + "'");
        s.Keys.Names[a] = defaults.Keys.Names[a];
        s.Keys.Names[b] = defaults.Keys.Names[b];
        again = true;
      }
    }
  }
}

// ---------------------------------------------------------------- the file

// Read without blocking (a FIFO in its place cannot hang the game), only a
// regular file, at most the limit; errno tells why an unreadable one failed.
FileRead ReadSettingsText(const std::string& path, std::string& text, int& error) {
  std::vector<uint8_t> bytes;
  errno = 0;
  const FileRead got = ReadFileUpTo(path, kSettingsLimit, bytes);
  error = errno;
  if (got == FileRead::Ok) text.assign(bytes.begin(), bytes.end());
  return got;
}

// Every missing folder of the path made private to the user.
bool MakePrivateFolders(const std::string& folder) {
  for (size_t at = folder.find('/', 1); at != std::string::npos; at = folder.find('/', at + 1))
    if (::mkdir(folder.substr(0, at).c_str(), 0700) != 0 && errno != EEXIST) return false;
  return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Written to a temporary file and linked into place: link() never replaces
// a file, so a settings file made meanwhile (another start) stays as it is.
// Returns an empty string, or what went wrong.
std::string CreateDefaultsFile(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
  if (slash != std::string::npos && !MakePrivateFolders(folder)) return std::strerror(errno);
  std::string temp = folder + "/.settings-XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return std::strerror(errno);
  const bool written = WriteAll(fd, SettingsText(DefaultSettings())) && ::fsync(fd) == 0;
  const int writeError = errno;
  const bool closed = ::close(fd) == 0;
  std::string failure;
  if (!written || !closed)
    failure = std::strerror(written ? errno : writeError);
  else if (::link(temp.c_str(), path.c_str()) != 0 && errno != EEXIST)
    failure = std::strerror(errno);
  ::unlink(temp.c_str());
  return failure;
}

}  // namespace

Settings DefaultSettings() {
  Settings s;
  for (int a = 0; a < kActionCount; ++a) s.Keys.Names[a] = kActions[a].DefaultKey;
  return s;
}

int ActionVirtualKey(int action) {
  return action >= 0 && action < kActionCount ? kActions[action].VirtualKey : 0;
}

const char* ActionSettingName(int action) {
  return action >= 0 && action < kActionCount ? kActions[action].Setting : "";
}

const char* CanonicalKeyName(const std::string& name) {
  for (const char* known : kKeyNames)
    if (SameLetters(name, known)) return known;
  return nullptr;
}

const char* const* KnownKeyNames(size_t& count) {
  count = std::size(kKeyNames);
  return kKeyNames;
}

std::string SettingsText(const Settings& s) {
  std::string t =
      "# Ductora Fiesta settings: one `key = value` a line; a line starting with # is a\n"
      "# comment. The game wrote this file once with every default and never rewrites it;\n"
      "# delete it to get the defaults back. Options on the command line win over it.\n"
      "#\n"
      "# Keys go by their SDL names: A to Z, 0 to 9, Up, Down, Left, Right, Space, Return,\n"
      "# Tab, Backspace, Escape, F1 to F12, Left Shift, Right Ctrl, Keypad 8, Keypad Enter,\n"
      "# - = [ ] ; ' , . / and the like. Two actions cannot share a key.\n";
  for (int a = 0; a < kActionCount; ++a)
    t += std::string("\n# ") + kActions[a].Comment + "\n" + kActions[a].Setting + " = " +
         s.Keys.Names[a] + "\n";
  t += "\n# Window scale: 1 to 8, or 0 for the largest whole number that fits the desktop.\n";
  t += "window_scale = " + ValueText(s, kSetScale) + "\n";
  t += "\n# Start in full screen: yes, no, or saved (the way the game was left last time).\n";
  t += "fullscreen = " + ValueText(s, kSetFullScreen) + "\n";
  t += "\n# Music loudness, 0 (silent) to 100 (full).\n";
  t += "music_volume = " + ValueText(s, kSetMusic) + "\n";
  t += "\n# Sound effect loudness, 0 (silent) to 100 (full).\n";
  t += "effect_volume = " + ValueText(s, kSetEffects) + "\n";
  t += "\n# yes: no music and no sound effects at all.\n";
  t += "mute = " + ValueText(s, kSetMute) + "\n";
  return t;
}

Settings ParseSettings(const std::string& text, const std::string& file,
                       std::vector<std::string>& problems) {
  Settings s = DefaultSettings();
  Reader r{file, problems};
  std::string_view rest(text);
  if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);  // a UTF-8 mark
  for (int line = 1; !rest.empty(); ++line) {
    const size_t end = rest.find('\n');
    ReadLine(s, r, line, rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  }
  ResolveCollisions(s, r);
  r.Finish();
  return s;
}

Settings LoadSettingsFile(const std::string& path, bool create,
                          std::vector<std::string>& problems) {
  std::string text;
  int error = 0;
  FileRead got = ReadSettingsText(path, text, error);
  if (got == FileRead::Missing && create) {
    const std::string failure = CreateDefaultsFile(path);
    if (!failure.empty()) {
      problems.push_back(path + ": cannot write the default settings (" + failure + ")");
      return DefaultSettings();
    }
    got = ReadSettingsText(path, text, error);
  }
  switch (got) {
    case FileRead::Ok:
      return ParseSettings(text, path, problems);
    case FileRead::Missing:
      problems.push_back(path + ": no such file; using the default settings");
      break;
    case FileRead::NotRegular:
      problems.push_back(path + ": not a regular file; using the default settings");
      break;
    case FileRead::TooLarge:
      problems.push_back(path + ": larger than " + std::to_string(kSettingsLimit / 1024) +
                         " KiB; using the default settings");
      break;
    case FileRead::Unreadable:
      problems.push_back(path + ": cannot read it (" +
                         (error != 0 ? std::strerror(error) : FileReadText(got)) +
                         "); using the default settings");
      break;
  }
  return DefaultSettings();
}

std::string UserConfigFolder() {
  // A relative XDG_CONFIG_HOME is to be ignored, as for XDG_DATA_HOME.
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::string base;
  if (xdg != nullptr && xdg[0] == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home != nullptr && home[0] != '\0' ? home : ".") + "/.config";
  }
  if (base.back() != '/') base += '/';
  return base + "ductora-fiesta/";
}

StartOptions ApplySettings(const StartOptions& options, bool runner) {
  StartOptions start = options;
  if (runner && options.SettingsFile.empty()) return start;
  const bool usual = options.SettingsFile.empty();
  const std::string path = usual ? UserConfigFolder() + "settings.ini" : options.SettingsFile;
  std::vector<std::string> problems;
  const Settings s = LoadSettingsFile(path, usual, problems);
  const char* program = runner ? "ductora-headless" : "ductora";
  for (const std::string& p : problems) std::fprintf(stderr, "%s: %s\n", program, p.c_str());
  BindKeys(s.Keys);
  if (start.FullScreen < 0) start.FullScreen = s.FullScreen;
  if (start.Scale < 0) start.Scale = s.Scale;
  start.Mute = start.Mute || s.Mute;
  start.MusicVolume = s.MusicVolume;
  start.EffectVolume = s.EffectVolume;
  return start;
}

}  // namespace plat
