// SPDX-License-Identifier: Zlib
// The player's gamecontrollerdb.txt: its Linux mappings reach SDL, and a
// file that cannot be read says so without stopping anything.
#include "platform/sdl/gamepad_db.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "test_support.h"

namespace {

constexpr const char* kPadA = "030000005e0400008e02000099990000";
constexpr const char* kPadB = "03000000de2800001111000099990000";
constexpr const char* kPadWindows = "03000000de2800002222000099990000";

std::string Line(const char* guid, const char* name, const char* platform) {
  return std::string(guid) + "," + name +
         ",a:b0,b:b1,x:b2,y:b3,start:b7,dpup:h0.1,dpdown:h0.4,dpleft:h0.8,dpright:h0.2,"
         "leftx:a0,lefty:a1,platform:" +
         platform + ",\n";
}

std::string NameOf(const char* guid) {
  char* mapping = SDL_GameControllerMappingForGUID(SDL_JoystickGetGUIDFromString(guid));
  if (mapping == nullptr) return "";
  std::string text = mapping;
  SDL_free(mapping);
  const size_t first = text.find(',');
  return text.substr(first + 1, text.find(',', first + 1) - first - 1);
}

class GamepadMappings : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError(); }
  void TearDown() override { SDL_Quit(); }
};

TEST_F(GamepadMappings, TheFileInTheSettingsFolderIsAddedToSdls) {
  const std::string folder = testing_support::TempFolder("pads");
  setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
  const std::string path = plat::gamepads::MappingsFile();
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(path, folder + "ductora-fiesta/gamecontrollerdb.txt");
  ASSERT_EQ(::mkdir((folder + "ductora-fiesta").c_str(), 0700), 0);

  std::string problem;
  EXPECT_EQ(plat::gamepads::AddMappings(path, problem), 0);  // none there yet
  EXPECT_EQ(problem, "");

  std::ofstream(path) << "# my pads\n"
                      << Line(kPadA, "Pad Of Mine", "Linux") << "not a mapping at all\n"
                      << Line(kPadWindows, "Other System", "Windows")
                      << Line(kPadB, "Second Pad", "Linux");
  EXPECT_EQ(plat::gamepads::AddMappings(path, problem), 2);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(NameOf(kPadA), "Pad Of Mine");
  EXPECT_EQ(NameOf(kPadB), "Second Pad");
  EXPECT_EQ(NameOf(kPadWindows), "");
}

TEST_F(GamepadMappings, FilesThatCannotBeUsed) {
  const std::string folder = testing_support::TempFolder("pads-bad");
  std::string problem;
  ASSERT_EQ(::mkdir((folder + "dir.txt").c_str(), 0700), 0);
  EXPECT_EQ(plat::gamepads::AddMappings(folder + "dir.txt", problem), 0);
  EXPECT_EQ(problem, folder + "dir.txt: not a regular file; no gamepad mappings read from it");

  problem.clear();
  std::ofstream(folder + "empty.txt").flush();
  EXPECT_EQ(plat::gamepads::AddMappings(folder + "empty.txt", problem), 0);
  EXPECT_EQ(problem, "");

  std::mt19937 random(4);
  std::string noise(200000, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  std::ofstream(folder + "noise.txt", std::ios::binary) << noise;
  EXPECT_LE(plat::gamepads::AddMappings(folder + "noise.txt", problem), 0);
}

}  // namespace
