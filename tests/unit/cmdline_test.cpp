// SPDX-License-Identifier: Zlib
// The shared command line: what each program takes, in either spelling of
// a value, and what it refuses.
#include "platform/cmdline.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

plat::CommandLine Parse(const std::vector<const char*>& args, bool runner) {
  std::vector<char*> argv = {const_cast<char*>("prog")};
  for (const char* a : args) argv.push_back(const_cast<char*>(a));
  argv.push_back(nullptr);
  return plat::ParseCommandLine(static_cast<int>(argv.size()) - 1, argv.data(), runner);
}

auto StartOf(const plat::CommandLine& c) {
  const plat::StartOptions& s = c.Start;
  return std::tuple(c.Kind, s.FullScreen, s.Scale, s.Mute, s.SettingsFile, s.PlayFile);
}

using K = plat::CommandKind;

TEST(CommandLine, GameOptionsInBothPrograms) {
  for (bool runner : {false, true}) {
    EXPECT_EQ(StartOf(Parse({}, runner)), std::tuple(K::Run, -1, -1, false, "", ""));
    EXPECT_EQ(StartOf(Parse({"--fullscreen", "--scale", "3", "--mute"}, runner)),
              std::tuple(K::Run, 1, 3, true, "", ""));
    EXPECT_EQ(StartOf(Parse({"--fullscreen", "--window", "--scale=0"}, runner)),
              std::tuple(K::Run, 0, 0, false, "", ""));
    EXPECT_EQ(StartOf(Parse({"--settings", "a.ini", "--play=c.dat"}, runner)),
              std::tuple(K::Run, -1, -1, false, "a.ini", "c.dat"));
    // --help wins whatever else is given; --version only over running.
    EXPECT_EQ(Parse({"--version", "--help"}, runner).Kind, K::Help);
    EXPECT_EQ(Parse({"--help", "--version"}, runner).Kind, K::Help);
    EXPECT_EQ(Parse({"--mute", "--version"}, runner).Kind, K::Version);
  }
}

TEST(CommandLine, RunnerOptions) {
  const plat::CommandLine c = Parse(
      {"--root", "/r", "--seed=42", "--input", "in.txt", "--frames", "100", "--shot",
       "10:/tmp/a.png", "--shot=20:b.png", "--events", "e", "--state", "s", "--export-sheets", "d"},
      true);
  ASSERT_EQ(c.Kind, K::Run) << c.Error;
  const plat::RunnerOptions& r = c.Runner;
  EXPECT_EQ(
      std::tuple(r.Root, r.Seed, r.InputFile, r.Frames, r.EventsFile, r.StateFile, r.ExportDir),
      std::tuple("/r", 42u, "in.txt", 100, "e", "s", "d"));
  using Shots = std::vector<std::pair<int64_t, std::string>>;
  EXPECT_EQ(r.Shots, (Shots{{10, "/tmp/a.png"}, {20, "b.png"}}));
  // A value may start with a dash: it is still the option's value.
  EXPECT_EQ(Parse({"--input", "--mute"}, true).Runner.InputFile, "--mute");
}

TEST(CommandLine, Refusals) {
  const std::vector<std::tuple<std::vector<const char*>, bool, std::string>> cases = {
      {{"--root", "/r"}, false, "unknown option '--root'"},
      {{"--frames=9"}, false, "unknown option '--frames'"},
      {{"--speed", "3"}, true, "unknown option '--speed'"},
      {{"-x"}, true, "unknown option '-x'"},
      {{"--fullscreen=yes"}, false, "option '--fullscreen' takes no value"},
      {{"--settings"}, false, "option '--settings' needs a value"},
      {{"--settings="}, false, "--settings needs a file name"},
      {{"--play", ""}, true, "--play needs a file name"},
      {{"--scale", "9"}, false, "--scale needs a whole number from 0 to 8, not '9'"},
      {{"--scale", "-1"}, true, "--scale needs a whole number from 0 to 8, not '-1'"},
      {{"--scale", "2x"}, false, "--scale needs a whole number from 0 to 8, not '2x'"},
      {{"--frames", "1e3"}, true, "--frames needs a whole number, not '1e3'"},
      {{"--seed", "1234567890123"}, true, "--seed needs a whole number, not '1234567890123'"},
      {{"--shot", "10"}, true, "--shot needs N:FILE, not '10'"},
      {{"--shot", "10:"}, true, "--shot needs N:FILE, not '10:'"},
      {{"--shot", ":a.png"}, true, "--shot needs N:FILE, not ':a.png'"},
      {{"--mute", "course.dat"}, false, "unexpected argument 'course.dat'"},
  };
  for (const auto& [args, runner, message] : cases) {
    const plat::CommandLine c = Parse(args, runner);
    EXPECT_EQ(std::pair(c.Kind, c.Error), std::pair(K::Error, message)) << args[0];
  }
}

TEST(CommandLine, UsageListsEachProgramsOptions) {
  const std::string game = plat::UsageText(false);
  const std::string runner = plat::UsageText(true);
  for (const char* o : {"--help", "--version", "--fullscreen", "--window", "--scale N", "--mute",
                        "--settings FILE", "--play COURSEFILE"}) {
    EXPECT_NE(game.find(std::string("\n  ") + o + " "), std::string::npos) << o;
    EXPECT_NE(runner.find(std::string("\n  ") + o + " "), std::string::npos) << o;
  }
  for (const char* o : {"--root DIR", "--seed N", "--input FILE", "--frames N", "--shot N:FILE",
                        "--events FILE", "--state FILE", "--export-sheets DIR"}) {
    EXPECT_EQ(game.find(o), std::string::npos) << o;
    EXPECT_NE(runner.find(std::string("\n  ") + o + " "), std::string::npos) << o;
  }
}

}  // namespace
