// SPDX-License-Identifier: Zlib
#include "stageharness.h"

#include "bot/bot.h"
#include "bot/coursebot.h"
#include "platform/headless/runner.h"
#include "platform/platform.h"
#include "puzzle/board.h"
#include "puzzle/players.h"
#include "puzzle/playstage.h"
#include "puzzle/stage.h"
#include "puzzle/stagerecord.h"
#include "puzzle/water.h"
#include "render/playdraw.h"
#include "render/sheets.h"
#include "render/surfaces.h"
#include "shell/gamestate.h"
#include "shell/intro.h"
#include "shell/random.h"
#include "shell/savedata.h"
#include "shell/window.h"

namespace report {

bool OpenGame(const std::string& root, std::string& error) {
  headless::Options o;
  o.Root = root;
  o.PicturesForShotsOnly = true;
  if (!headless::Configure(o, error)) return false;
  game::Form1_Load();
  game::Form2_Load();
  game::SetDefaultSaveData(game::SaveData);
  game::HoldSaveData();  // the report never leaves a save file behind
  render::LoadImages();
  puzzle::InitChipTable();
  return true;
}

int32_t StagesIn(const std::string& courseFile) {
  std::vector<uint8_t> bytes;
  if (!plat::ReadWholeFile(courseFile, bytes)) return 0;
  return static_cast<int32_t>(bytes.size() / puzzle::kStageRecordSize);
}

// The course loop's attempt, on a fresh game with two lives.
Attempt PlayOnce(const std::string& courseFile, int32_t stage, int32_t players, uint32_t seed) {
  puzzle::UseCourseFile(courseFile);
  game::PlayerCount = players;
  game::CourseNo = 0;
  game::StageCount = StagesIn(courseFile);
  game::StageNo = stage;
  game::CourseFinished = 0;
  game::Lives = 2;
  for (puzzle::PlayerInfo& pl : puzzle::Players) pl = puzzle::PlayerInfo{};
  game::Randomize(seed * 7919u + static_cast<uint32_t>(stage));
  bot::StartStagePlay(players, seed);
  puzzle::LoadStage(0, stage);
  puzzle::ResetWater();
  render::BuildStageBackground(render::FirstMap);
  puzzle::SetUpPlayers();
  game::StageIntro(*game::ScreenPic, stage);
  puzzle::PlayStage();
  bot::Stop();
  Attempt a;
  a.Cleared = game::StageNo == stage + 1;
  a.Score = puzzle::Players[0].Score + (players == 2 ? puzzle::Players[1].Score : 0);
  a.MarginFrames = bot::ClosedMargin();
  return a;
}

}  // namespace report
