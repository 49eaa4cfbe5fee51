// SPDX-License-Identifier: Zlib
// The settings file: what it says, what it refuses line by line, the
// defaults file written once, files that cannot be read, and the order in
// which the command line, the file and the save file decide.
#include "platform/settings.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "test_support.h"

namespace {

using testing_support::ReadText;
using testing_support::TempFolder;

struct Parsed {
  plat::Settings S;
  std::vector<std::string> Problems;
};

Parsed Parse(const std::string& text) {
  Parsed p;
  p.S = plat::ParseSettings(text, "s.ini", p.Problems);
  return p;
}

auto Others(const plat::Settings& s) {
  return std::tuple(s.Scale, s.FullScreen, s.MusicVolume, s.EffectVolume, s.Mute);
}

void ExpectSame(const plat::Settings& a, const plat::Settings& b) {
  for (int k = 0; k < plat::kActionCount; ++k)
    EXPECT_EQ(a.Keys.Names[k], b.Keys.Names[k]) << plat::ActionSettingName(k);
  EXPECT_EQ(Others(a), Others(b));
}

void Write(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Restores an environment variable when the test ends.
struct EnvVar {
  std::string Name;
  bool Had;
  std::string Old;
  EnvVar(const char* name, const char* value) : Name(name), Had(std::getenv(name) != nullptr) {
    if (Had) Old = std::getenv(name);
    if (value != nullptr)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~EnvVar() {
    if (Had)
      setenv(Name.c_str(), Old.c_str(), 1);
    else
      unsetenv(Name.c_str());
  }
};

TEST(Settings, DefaultsFileReadsBackAsTheDefaults) {
  const std::string text = plat::SettingsText(plat::DefaultSettings());
  Parsed p = Parse(text);
  EXPECT_TRUE(p.Problems.empty()) << p.Problems.front();
  ExpectSame(p.S, plat::DefaultSettings());
  EXPECT_EQ(Others(p.S), std::tuple(0, -1, 100, 100, false));
  // Every setting is written, each under a comment of its own.
  const std::vector<std::string> lines = testing_support::Lines(text);
  int settings = 0;
  for (size_t i = 1; i < lines.size(); ++i) {
    if (lines[i].empty() || lines[i][0] == '#') continue;
    ++settings;
    EXPECT_EQ(lines[i - 1].substr(0, 2), "# ") << lines[i];
  }
  EXPECT_EQ(settings, plat::kActionCount + 5);
}

TEST(Settings, EverySettingTakesItsValues) {
  Parsed p = Parse(
      "key_up = w\nkey_down=S\n  key_left\t=  a  \nkey_right = D\nkey_lay = space\n"
      "key_hurry = left shift\nkey_pause = Return\nkey_fullscreen = F11\nkey_fps = keypad 8\n"
      "key_quit = backspace\nwindow_scale = 3\nfullscreen = YES\nmusic_volume = 0\n"
      "effect_volume = 100\nmute = on\n");
  EXPECT_TRUE(p.Problems.empty()) << p.Problems.front();
  const std::vector<std::string> keys(std::begin(p.S.Keys.Names), std::end(p.S.Keys.Names));
  EXPECT_EQ(keys, (std::vector<std::string>{"W", "S", "A", "D", "Space", "Left Shift", "Return",
                                            "F11", "Keypad 8", "Backspace"}));
  EXPECT_EQ(Others(p.S), std::tuple(3, 1, 0, 100, true));
  EXPECT_EQ(Parse("fullscreen = no\n").S.FullScreen, 0);
  EXPECT_EQ(Parse("fullscreen = yes\nfullscreen = Saved\n").S.FullScreen, -1);
  // A changed file writes out and reads back as it was.
  Parsed again = Parse(plat::SettingsText(p.S));
  EXPECT_TRUE(again.Problems.empty());
  ExpectSame(again.S, p.S);
}

TEST(Settings, LayoutOfTheFile) {
  // Comments, blank lines, a UTF-8 mark, CR LF line ends, a last line
  // without its end, keys that are themselves comment characters.
  Parsed p = Parse(
      "\xEF\xBB\xBF# comment\r\n; another\r\n\r\n   \t\r\nkey_lay = #\r\nkey_hurry = ;\r\n"
      "key_pause = =\r\n  # key_quit = Q\nmusic_volume = 55");
  EXPECT_TRUE(p.Problems.empty()) << p.Problems.front();
  EXPECT_EQ(p.S.Keys.Names[plat::kActLay], "#");
  EXPECT_EQ(p.S.Keys.Names[plat::kActHurry], ";");
  EXPECT_EQ(p.S.Keys.Names[plat::kActPause], "=");
  EXPECT_EQ(p.S.Keys.Names[plat::kActQuit], "Escape");
  EXPECT_EQ(p.S.MusicVolume, 55);
}

// Each bad line names the file, the line and the problem, that setting
// keeps its default, and the lines after it are still read.
TEST(Settings, BadLinesAreReportedAndTheRestRead) {
  const struct {
    const char* Line;
    const char* Problem;
  } cases[] = {
      {"window scale 2", "s.ini:2: not a 'key = value' line: 'window scale 2'"},
      {"= 3", "s.ini:2: not a 'key = value' line: '= 3'"},
      {"[keys]", "s.ini:2: not a 'key = value' line: '[keys]'"},
      {"key_jump = Space", "s.ini:2: unknown setting 'key_jump'"},
      {"Key_Lay = Space", "s.ini:2: unknown setting 'Key_Lay'"},
      {"key_lay = Spacebar",
       "s.ini:2: key_lay: 'Spacebar' is not a key name; using the default 'Z'"},
      {"key_lay =", "s.ini:2: key_lay: '' is not a key name; using the default 'Z'"},
      {"key_quit = Esc", "s.ini:2: key_quit: 'Esc' is not a key name; using the default 'Escape'"},
      {"window_scale = 9",
       "s.ini:2: window_scale: '9' is not a whole number from 0 to 8; using the default '0'"},
      {"window_scale = -1",
       "s.ini:2: window_scale: '-1' is not a whole number from 0 to 8; using the default '0'"},
      {"music_volume = 101",
       "s.ini:2: music_volume: '101' is not a whole number from 0 to 100; using the default '100'"},
      {"effect_volume = 5 0",
       "s.ini:2: effect_volume: '5 0' is not a whole number from 0 to 100; using the default "
       "'100'"},
      {"effect_volume = 00000050",
       "s.ini:2: effect_volume: '00000050' is not a whole number from 0 to 100; using the default "
       "'100'"},
      {"fullscreen = maybe",
       "s.ini:2: fullscreen: 'maybe' is not yes, no or saved; using the default 'saved'"},
      {"mute = 2", "s.ini:2: mute: '2' is not yes or no; using the default 'no'"},
      {"mute = y\xC3\xA9s\x01",
       "s.ini:2: mute: 'y\\xC3\\xA9s\\x01' is not yes or no; using the default 'no'"},
  };
  for (const auto& c : cases) {
    Parsed p = Parse(std::string("key_right = L\n") + c.Line + "\nkey_down = J\n");
    ASSERT_EQ(p.Problems.size(), 1u) << c.Line;
    EXPECT_EQ(p.Problems[0], c.Problem);
    plat::Settings expected = plat::DefaultSettings();
    expected.Keys.Names[plat::kActRight] = "L";
    expected.Keys.Names[plat::kActDown] = "J";
    ExpectSame(p.S, expected);
  }
  // A bad value after a good one does not keep the good one.
  Parsed twice = Parse("key_lay = Space\nkey_lay = nothing\n");
  ASSERT_EQ(twice.Problems.size(), 2u);
  EXPECT_EQ(twice.Problems[0],
            "s.ini:2: key_lay is set again (first on line 1); the later value "
            "is used");
  EXPECT_EQ(twice.S.Keys.Names[plat::kActLay], "Z");
  // A long value is cut short in the message.
  Parsed long_value = Parse("key_lay = " + std::string(500, 'q') + "\n");
  ASSERT_EQ(long_value.Problems.size(), 1u);
  EXPECT_LT(long_value.Problems[0].size(), 140u);
}

TEST(Settings, CollidingKeysGoBackToTheirDefaults) {
  Parsed p = Parse("key_lay = X\nkey_hurry = Z\nkey_up = space\nkey_quit = SPACE\n");
  ASSERT_EQ(p.Problems.size(), 1u);
  EXPECT_EQ(p.Problems[0],
            "s.ini:4: key_up and key_quit are both 'Space'; using their defaults 'Up' and "
            "'Escape'");
  // Swapping two keys is no collision.
  EXPECT_EQ(p.S.Keys.Names[plat::kActLay], "X");
  EXPECT_EQ(p.S.Keys.Names[plat::kActHurry], "Z");
  EXPECT_EQ(p.S.Keys.Names[plat::kActUp], "Up");
  EXPECT_EQ(p.S.Keys.Names[plat::kActQuit], "Escape");

  // A default given back can collide in its turn: up's default Up is the
  // key hurry took, so hurry goes back to X as well.
  Parsed chain = Parse("key_up = Z\nkey_lay = Z\nkey_hurry = Up\n");
  EXPECT_EQ(chain.Problems.size(), 2u);
  ExpectSame(chain.S, plat::DefaultSettings());
  // ... also when the pair it now collides with was looked at before.
  Parsed back = Parse("key_down = X\nkey_lay = Q\nkey_hurry = Q\n");
  EXPECT_EQ(back.Problems.size(), 2u);
  ExpectSame(back.S, plat::DefaultSettings());

  // A binding onto another action's default key.
  Parsed onto = Parse("key_pause = F1\n");
  ASSERT_EQ(onto.Problems.size(), 1u);
  EXPECT_EQ(onto.Problems[0],
            "s.ini:1: key_pause and key_fullscreen are both 'F1'; using their "
            "defaults 'P' and 'F1'");
  EXPECT_EQ(onto.S.Keys.Names[plat::kActPause], "P");
}

TEST(Settings, BinaryGarbageGivesAFewLinesAndValidSettings) {
  std::mt19937 random(13);
  for (int round = 0; round < 50; ++round) {
    std::string bytes(static_cast<size_t>(random() % 20000), '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    // Some rounds mostly text, with line ends and '=' among it.
    if (round % 2 == 1)
      for (char& c : bytes) c = "ab_=\n #1Zkey_lay\xFF"[static_cast<unsigned char>(c) % 16];
    Parsed p = Parse(bytes);
    EXPECT_LE(p.Problems.size(), 21u);
    for (int k = 0; k < plat::kActionCount; ++k) {
      EXPECT_NE(plat::CanonicalKeyName(p.S.Keys.Names[k]), nullptr);
      for (int j = k + 1; j < plat::kActionCount; ++j)
        EXPECT_NE(p.S.Keys.Names[k], p.S.Keys.Names[j]);
    }
    EXPECT_TRUE(p.S.Scale >= 0 && p.S.Scale <= plat::kMaxWindowScale);
    EXPECT_TRUE(p.S.MusicVolume >= 0 && p.S.MusicVolume <= 100);
    EXPECT_TRUE(p.S.EffectVolume >= 0 && p.S.EffectVolume <= 100);
    for (const std::string& line : p.Problems)
      for (char c : line) ASSERT_TRUE(c >= 0x20 && c < 0x7F) << line;
  }
  Parsed lines = Parse(std::string(3000, '\n') + std::string(100, '\x01') + "\n" +
                       std::string(100, 'x') + "\n");
  EXPECT_EQ(lines.Problems.size(), 2u);
  EXPECT_EQ(lines.Problems[1].substr(0, 11), "s.ini:3002:");
}

// The names the game takes are SDL's own spelling of its keys.
TEST(Settings, KeyNamesAreSdlKeyNames) {
  ASSERT_EQ(SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy"), SDL_TRUE);
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  size_t count = 0;
  const char* const* names = plat::KnownKeyNames(count);
  EXPECT_GT(count, 100u);
  for (size_t i = 0; i < count; ++i) {
    const SDL_Keycode key = SDL_GetKeyFromName(names[i]);
    EXPECT_NE(key, SDLK_UNKNOWN) << names[i];
    EXPECT_STREQ(SDL_GetKeyName(key), names[i]);
    EXPECT_STREQ(plat::CanonicalKeyName(SDL_GetKeyName(key)), names[i]);
  }
  for (int a = 0; a < plat::kActionCount; ++a)
    EXPECT_NE(plat::CanonicalKeyName(plat::DefaultSettings().Keys.Names[a]), nullptr);
  SDL_Quit();
  EXPECT_STREQ(plat::CanonicalKeyName("left shift"), "Left Shift");
  EXPECT_EQ(plat::CanonicalKeyName("LeftShift"), nullptr);
  EXPECT_EQ(plat::CanonicalKeyName(""), nullptr);
}

// --------------------------------------------------------------- files

struct FileState {
  std::string Text;
  struct stat St;
};

// Only a regular file is read: opening a FIFO would wait for a writer.
FileState StateOf(const std::string& path) {
  FileState f{};
  if (::lstat(path.c_str(), &f.St) == 0 && S_ISREG(f.St.st_mode)) f.Text = ReadText(path);
  return f;
}

void ExpectUntouched(const FileState& before, const std::string& path) {
  FileState after = StateOf(path);
  EXPECT_EQ(after.Text, before.Text) << path;
  EXPECT_EQ(after.St.st_ino, before.St.st_ino) << path;
  EXPECT_EQ(after.St.st_mtim.tv_nsec, before.St.st_mtim.tv_nsec) << path;
  EXPECT_EQ(after.St.st_mode, before.St.st_mode) << path;
}

TEST(SettingsFile, WrittenOnceWithTheDefaultsThenOnlyRead) {
  const std::string folder = TempFolder("settings") + "config/ductora-fiesta/";
  const std::string path = folder + "settings.ini";
  std::vector<std::string> problems;
  ExpectSame(plat::LoadSettingsFile(path, true, problems), plat::DefaultSettings());
  EXPECT_TRUE(problems.empty());
  EXPECT_EQ(ReadText(path), plat::SettingsText(plat::DefaultSettings()));
  struct stat st;
  ASSERT_EQ(::stat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  // Only the settings file is left in the folder, no temporary one.
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder)) entries += e.exists();
  EXPECT_EQ(entries, 1);

  // The player's changes, good and bad, are read and never written over.
  Write(path, "key_lay = Space\nkey_hurry = nonsense\n");
  const FileState before = StateOf(path);
  for (int start = 0; start < 2; ++start) {
    problems.clear();
    plat::Settings s = plat::LoadSettingsFile(path, true, problems);
    EXPECT_EQ(s.Keys.Names[plat::kActLay], "Space");
    EXPECT_EQ(s.Keys.Names[plat::kActHurry], "X");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], path +
                               ":2: key_hurry: 'nonsense' is not a key name; using the "
                               "default 'X'");
    ExpectUntouched(before, path);
  }
}

TEST(SettingsFile, FilesThatCannotBeReadGiveTheDefaultsAndStayAsTheyAre) {
  const std::string folder = TempFolder("settings-bad");
  const struct {
    const char* Name;
    void (*Make)(const std::string& path);
    bool MakeDefaults;
    const char* Problem;
  } cases[] = {
      {"dir.ini", [](const std::string& p) { ::mkdir(p.c_str(), 0700); }, true,
       ": not a regular file; using the default settings"},
      // A FIFO with no writer would block an ordinary open for ever.
      {"fifo.ini", [](const std::string& p) { ::mkfifo(p.c_str(), 0600); }, true,
       ": not a regular file; using the default settings"},
      {"big.ini", [](const std::string& p) { Write(p, std::string(70000, '#')); }, true,
       ": larger than 64 KiB; using the default settings"},
      // Missing and not to be made (--settings FILE): nothing is created.
      {"none.ini", [](const std::string&) {}, false, ": no such file; using the default settings"},
  };
  std::vector<std::string> problems;
  for (const auto& c : cases) {
    const std::string path = folder + c.Name;
    c.Make(path);
    const FileState before = StateOf(path);
    problems.clear();
    ExpectSame(plat::LoadSettingsFile(path, c.MakeDefaults, problems), plat::DefaultSettings());
    ASSERT_EQ(problems.size(), 1u) << c.Name;
    EXPECT_EQ(problems[0], path + c.Problem);
    ExpectUntouched(before, path);
  }
  EXPECT_FALSE(std::filesystem::exists(folder + "none.ini"));

  // A dangling link in its place is not replaced by the defaults file.
  ASSERT_EQ(::symlink("nowhere", (folder + "link.ini").c_str()), 0);
  problems.clear();
  plat::LoadSettingsFile(folder + "link.ini", true, problems);
  EXPECT_EQ(problems.size(), 1u);
  EXPECT_TRUE(std::filesystem::is_symlink(folder + "link.ini"));
  EXPECT_FALSE(std::filesystem::exists(folder + "nowhere"));

  // A folder the defaults cannot be written to.
  ASSERT_EQ(::mkdir((folder + "locked").c_str(), 0500), 0);
  if (::geteuid() != 0) {
    problems.clear();
    ExpectSame(plat::LoadSettingsFile(folder + "locked/s.ini", true, problems),
               plat::DefaultSettings());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], folder +
                               "locked/s.ini: cannot write the default settings "
                               "(Permission denied)");
  }
}

TEST(SettingsFile, UnreadableFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  const std::string path = TempFolder("settings-unreadable") + "s.ini";
  Write(path, "key_lay = Space\n");
  ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
  const FileState before = StateOf(path);
  std::vector<std::string> problems;
  ExpectSame(plat::LoadSettingsFile(path, true, problems), plat::DefaultSettings());
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0], path + ": cannot read it (Permission denied); using the default settings");
  EXPECT_EQ(StateOf(path).St.st_mtim.tv_nsec, before.St.st_mtim.tv_nsec);
}

TEST(SettingsFile, ConfigFolder) {
  {
    EnvVar xdg("XDG_CONFIG_HOME", "/x/conf");
    EXPECT_EQ(plat::UserConfigFolder(), "/x/conf/ductora-fiesta/");
  }
  EnvVar home("HOME", "/home/p");
  {
    EnvVar xdg("XDG_CONFIG_HOME", "relative/conf");
    EXPECT_EQ(plat::UserConfigFolder(), "/home/p/.config/ductora-fiesta/");
  }
  EnvVar xdg("XDG_CONFIG_HOME", nullptr);
  EXPECT_EQ(plat::UserConfigFolder(), "/home/p/.config/ductora-fiesta/");
}

auto StartOf(const plat::StartOptions& s) {
  return std::tuple(s.FullScreen, s.Scale, s.Mute, s.MusicVolume, s.EffectVolume);
}

TEST(SettingsFile, OptionsWinOverTheFileWhichWinsOverTheSavedMode) {
  const std::string folder = TempFolder("settings-apply");
  EnvVar xdg("XDG_CONFIG_HOME", folder.c_str());
  const std::string usual = folder + "ductora-fiesta/settings.ini";
  plat::StartOptions none;

  // The runner reads no settings file of its own accord, nor makes one.
  EXPECT_EQ(StartOf(plat::ApplySettings(none, true)), std::tuple(-1, -1, false, 100, 100));
  EXPECT_FALSE(std::filesystem::exists(usual));
  // The game makes the usual one; its defaults leave the saved mode to decide.
  EXPECT_EQ(StartOf(plat::ApplySettings(none, false)), std::tuple(-1, 0, false, 100, 100));
  EXPECT_EQ(ReadText(usual), plat::SettingsText(plat::DefaultSettings()));
  Write(usual, "fullscreen = yes\n");
  EXPECT_EQ(plat::ApplySettings(none, false).FullScreen, 1);
  EXPECT_EQ(plat::ApplySettings(none, true).FullScreen, -1);

  const std::string given = folder + "given.ini";
  Write(given, "fullscreen = yes\nwindow_scale = 3\nmusic_volume = 40\neffect_volume = 50\n");
  plat::StartOptions options;
  options.SettingsFile = given;
  for (bool runner : {false, true})
    EXPECT_EQ(StartOf(plat::ApplySettings(options, runner)), std::tuple(1, 3, false, 40, 50));
  options.FullScreen = 0;
  options.Scale = 2;
  options.Mute = true;
  EXPECT_EQ(StartOf(plat::ApplySettings(options, false)), std::tuple(0, 2, true, 40, 50));
  Write(given, "fullscreen = no\nmute = yes\n");
  options = plat::StartOptions{};
  options.SettingsFile = given;
  EXPECT_EQ(StartOf(plat::ApplySettings(options, false)), std::tuple(0, 0, true, 100, 100));
  options.FullScreen = 1;
  EXPECT_EQ(plat::ApplySettings(options, false).FullScreen, 1);
}

}  // namespace
