// SPDX-License-Identifier: Zlib
// The player's settings file: the keys of every keyboard action, the window
// and the sound. Plain `key = value` lines with `#` comments, written once
// with every default and never rewritten by the game.
#pragma once

#include <string>
#include <vector>

#include "platform/cmdline.h"

namespace plat {

// The keyboard actions a player can move to other keys, in the order of the
// settings file.
enum KeyAction {
  kActUp,
  kActDown,
  kActLeft,
  kActRight,
  kActLay,
  kActHurry,
  kActPause,
  kActFullScreen,
  kActFpsLabel,
  kActQuit,
  kActionCount
};

// Each action's key by its SDL key name ("Up", "Z", "Space", "Left Shift").
struct KeyBindings {
  std::string Names[kActionCount];
};

struct Settings {
  KeyBindings Keys;
  int Scale = 0;          // window scale, 0 automatic
  int FullScreen = -1;    // 1 yes, 0 no, -1 the mode saved at the last exit
  int MusicVolume = 100;  // 0..100
  int EffectVolume = 100;
  bool Mute = false;
};

Settings DefaultSettings();
// The virtual-key code the game knows the action by (0x5A for lay ...).
int ActionVirtualKey(int action);
// The settings key of an action ("key_lay").
const char* ActionSettingName(int action);

// The canonical spelling of an SDL key name, matched without regard to
// case; nullptr for a name the game does not take.
const char* CanonicalKeyName(const std::string& name);
// Every key name the game takes, for the tests.
const char* const* KnownKeyNames(size_t& count);

// The settings as a file, every key with its comment.
std::string SettingsText(const Settings& s);
// Reads settings text. Each problem (a bad line, an unknown key, a bad
// value, colliding keys) adds one line "FILE:LINE: ..." to problems, and
// the keys concerned keep their defaults; the rest is read.
Settings ParseSettings(const std::string& text, const std::string& file,
                       std::vector<std::string>& problems);

// Reads the settings file at path; when it is missing and create is true, the
// file is first written with the defaults (never replacing one that appeared
// meanwhile). A file that cannot be read gives the defaults and a problem.
Settings LoadSettingsFile(const std::string& path, bool create, std::vector<std::string>& problems);

// $XDG_CONFIG_HOME/ductora-fiesta/ or ~/.config/ductora-fiesta/, ending in '/'.
std::string UserConfigFolder();

// The settings this start asks for: --settings FILE, else (not for the
// runner, whose runs must not depend on the player's file) the user's
// settings.ini. Problems go to stderr; the keys are bound; the options win
// over the file.
StartOptions ApplySettings(const StartOptions& options, bool runner);

}  // namespace plat
