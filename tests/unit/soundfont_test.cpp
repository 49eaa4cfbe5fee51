// SPDX-License-Identifier: Zlib
// Choosing the music's soundfont: SDL_SOUNDFONTS first, then the usual
// places in order; only regular files count, a link counts by its target.
#include "platform/soundfont.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "test_support.h"

namespace {

class SoundFontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testing_support::TempFolder("soundfont");
    for (const char* name : {"a.sf2", "b.sf2", "usual.sf2"}) std::ofstream(dir_ + name) << "sf";
    std::filesystem::create_directory(dir_ + "folder.sf2");
    ASSERT_EQ(::symlink((dir_ + "usual.sf2").c_str(), (dir_ + "default-GM.sf2").c_str()), 0);
    ASSERT_EQ(::symlink((dir_ + "gone.sf2").c_str(), (dir_ + "dangling.sf2").c_str()), 0);
  }
  std::string P(const char* name) const { return dir_ + name; }
  std::string dir_;
};

TEST_F(SoundFontTest, UsualPlacesInOrderSkippingWhatIsNotAFile) {
  EXPECT_EQ(plat::ChooseSoundFonts(nullptr, {P("missing.sf2"), P("folder.sf2"), P("dangling.sf2"),
                                             P("b.sf2"), P("a.sf2")}),
            P("b.sf2"));
  // Debian's alternative is a link: it counts when its file is there.
  EXPECT_EQ(plat::ChooseSoundFonts(nullptr, {P("default-GM.sf2"), P("a.sf2")}),
            P("default-GM.sf2"));
  EXPECT_EQ(plat::ChooseSoundFonts(nullptr, {P("missing.sf2"), P("folder.sf2")}), "");
  EXPECT_EQ(plat::ChooseSoundFonts(nullptr, {}), "");
}

TEST_F(SoundFontTest, TheEnvironmentWinsWithTheFilesItNamesThatExist) {
  const std::string env =
      P("missing.sf2") + ";" + P("b.sf2") + ";;" + P("folder.sf2") + ";" + P("a.sf2");
  EXPECT_EQ(plat::ChooseSoundFonts(env.c_str(), {P("usual.sf2")}), P("b.sf2") + ";" + P("a.sf2"));
  EXPECT_EQ(plat::ChooseSoundFonts(P("a.sf2").c_str(), {P("usual.sf2")}), P("a.sf2"));
}

TEST_F(SoundFontTest, AnEnvironmentNamingNothingUsableFallsBackToTheUsualPlaces) {
  for (const std::string& env : {std::string(), std::string(";"), P("missing.sf2"),
                                 P("folder.sf2") + ";" + P("dangling.sf2")})
    EXPECT_EQ(plat::ChooseSoundFonts(env.c_str(), {P("usual.sf2")}), P("usual.sf2")) << env;
  EXPECT_EQ(plat::ChooseSoundFonts(P("missing.sf2").c_str(), {}), "");
}

TEST(SoundFontPlacesTest, DebianAlternativeFirstThenBothPackagesFiles) {
  const std::vector<std::string> usual = plat::UsualSoundFonts();
  ASSERT_EQ(usual.size(), 3u);
  EXPECT_EQ(usual[0], "/usr/share/sounds/sf2/default-GM.sf2");
  EXPECT_EQ(usual[1], "/usr/share/sounds/sf2/TimGM6mb.sf2");
  EXPECT_EQ(usual[2], "/usr/share/sounds/sf2/FluidR3_GM.sf2");
}

}  // namespace
