// SPDX-License-Identifier: Zlib
// The cost of composing one frame of stage play, as the play loop does it:
// the restored layer, the water head, the overlay and the time gauge, with
// two players, a replacement breaking and the water running. The frame
// wait and the showing are left out: they belong to the back end. (The
// benchmark executable's main() is in waitframe_bench.cpp.)
#include <benchmark/benchmark.h>

#include <cstring>

#include "puzzle/board.h"
#include "puzzle/players.h"
#include "puzzle/playstage.h"
#include "puzzle/stage.h"
#include "puzzle/water.h"
#include "render/font.h"
#include "render/mask.h"
#include "render/playdraw.h"
#include "render/sheets.h"
#include "render/surfaces.h"
#include "shell/gamestate.h"
#include "shell/random.h"

namespace {

void LoadPictures() {
  using namespace render;
  InitSurfaces();
  game::ScreenPic = &Scr;
  plat::Resize(FirstMap, Scr.Width, Scr.Height);
  LoadSheet(SysPic, "syspic.bmp");
  LoadSheet(WaterPic, "water.bmp");
  LoadSheet(WaterPic2, "water2.bmp");
  LoadSheet(FontPic, "font.bmp");
  for (auto [mask, sheet] : {std::pair{&WaterMaskPic, &WaterPic}, {&WaterMaskPic2, &WaterPic2}}) {
    plat::Resize(*mask, sheet->Width, sheet->Height);
    MonoBlt(*mask, 0, 0, sheet->Width, sheet->Height, *sheet, 0, 0, plat::NOTSRCCOPY);
  }
  GameFont.Define(FontPic, 16, 16);
}

// A source, a long laid route and a drain, the water about to run.
void SetUpRouteStage() {
  using namespace puzzle;
  StageInfo& s = CurrentStage;
  s = StageInfo{};
  std::memset(s.StageMap, CHIP_EMPTY, sizeof s.StageMap);
  for (int x = 1; x < 9; ++x) s.StageMap[x + 10 * 3] = 17;
  s.SpecialEntry[0] = {0, 3, DirRight, 0};
  s.SpecialEntry[1] = {9, 3, DirLeft, 0};
  s.SpecialEntry[2] = {kAbsent, 0, 0, 0};
  s.SpecialEntry[3] = {kAbsent, 0, 0, 0};
  s.SupplyCount[1] = 100;
  s.RequiredPipes = 8;
  s.StartDelay = 1;
  s.SpeedByte = 128;
  game::PlayerCount = 2;
  SetUpStage();
  render::LoadSheet(render::PipePic, "pipe3.bmp");
  ResetWater();
  render::BuildStageBackground(render::FirstMap);
  SetUpPlayers();
}

void BM_ComposePlayFrame(benchmark::State& state) {
  LoadPictures();
  puzzle::InitChipTable();
  game::Randomize(1);
  SetUpRouteStage();
  puzzle::PlayerInfo& p2 = puzzle::Players[1];
  p2.PendingX = 4, p2.PendingY = 5, p2.PendingChip = 19;
  int32_t progress = 320;
  for (auto _ : state) {
    puzzle::Water.Progress = progress;
    p2.Wait = 20;
    plat::Surface& screen = *game::ScreenPic;
    render::RestoreScreen(screen);
    render::DrawWaterHead(render::FirstMap);
    puzzle::PlayOverlay(screen);
    render::DrawTimeGauge(screen);
    benchmark::DoNotOptimize(screen.Pixels.data());
    progress = progress > 0 ? progress - 4 : 319;
  }
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ComposePlayFrame)->Unit(benchmark::kMicrosecond)->Repetitions(5);

}  // namespace
