// SPDX-License-Identifier: Zlib
// ductora-headless: the real game driven by a script, as fast as it runs.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "bot/bot.h"
#include "endless/tokoton.h"
#include "platform/cmdline.h"
#include "platform/headless/runner.h"
#include "platform/platform.h"
#include "platform/settings.h"
#include "puzzle/players.h"
#include "shell/gamestate.h"
#include "shell/mainmodule.h"
#include "shell/replay.h"
#include "shell/savedata.h"

namespace {

std::string StateFile;

void WriteState();

void AtExit() {
  game::FinishRecordFile();
  WriteState();
}

void WriteState() {
  if (StateFile.empty()) return;
  const game::SaveRecord& save = game::SaveData;
  std::ofstream out(StateFile);
  out << "{\"PlayerCount\": " << game::PlayerCount << ", \"CourseNo\": " << game::CourseNo
      << ", \"StageNo\": " << game::StageNo << ", \"StageCount\": " << game::StageCount
      << ", \"Lives\": " << game::Lives << ", \"TotalScore\": " << game::TotalScore
      << ", \"Score\": [" << puzzle::Players[0].Score << ", " << puzzle::Players[1].Score
      << "], \"EndlessScore\": " << tokoton::EndlessScore
      << ", \"EndlessLevel\": " << tokoton::EndlessLevel
      << ", \"EndlessBlocks\": " << tokoton::EndlessBlocks << ", \"SaveData\": {\"HiScore\": [";
  for (int p = 0; p < 3; ++p) {
    out << (p > 0 ? ", [" : "[");
    for (int c = 0; c < 4; ++c) out << (c > 0 ? ", " : "") << save.HiScore[p][c];
    out << "]";
  }
  out << "], \"ClearedMask\": " << static_cast<int>(save.ClearedMask)
      << ", \"StartFullScreen\": " << save.StartFullScreen << "}}\n";
}

int ExportSheets(const std::string& dir) {
  size_t count = 0;
  const plat::EmbeddedFile* files = plat::EmbeddedSheets(count);
  plat::MakeFolders(dir);
  for (size_t i = 0; i < count; ++i) {
    std::string path = dir + "/" + files[i].Name;
    std::vector<uint8_t> data(files[i].Data, files[i].Data + files[i].Size);
    if (!plat::WriteFileAtomic(path, data)) {
      std::fprintf(stderr, "ductora-headless: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  std::printf("wrote %zu sheets to %s\n", count, dir.c_str());
  return 0;
}

// A script or a folder in its place, a FIFO, a huge file: bounded and never blocking.
bool ReadText(const std::string& path, std::string& text) {
  std::vector<uint8_t> bytes;
  if (!plat::ReadWholeFile(path, bytes)) return false;
  text.assign(bytes.begin(), bytes.end());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const plat::CommandLine line = plat::ParseCommandLine(argc, argv, true);
  if (int status = plat::AnswerCommandLine(line, true); status >= 0) return status;
  headless::Options options = line.Runner;
  std::string error;
  if (!options.ExportDir.empty()) return ExportSheets(options.ExportDir);
  if (!options.InputFile.empty()) {
    std::string script;
    if (!ReadText(options.InputFile, script)) {
      std::fprintf(stderr, "ductora-headless: cannot read %s\n", options.InputFile.c_str());
      return 2;
    }
    if (!headless::LoadScript(script, error)) {
      std::fprintf(stderr, "ductora-headless: %s: %s\n", options.InputFile.c_str(), error.c_str());
      return 2;
    }
  }
  options.PicturesForShotsOnly = true;
  if (!headless::Configure(options, error)) {
    std::fprintf(stderr, "ductora-headless: %s\n", error.c_str());
    return 2;
  }
  StateFile = options.StateFile;
  plat::SetExitHook(AtExit);
  game::SetRecordFile(options.RecordFile);
  if (options.Bot) {
    if (!options.InputFile.empty()) {
      std::fprintf(stderr, "ductora-headless: --bot and --input exclude each other\n");
      return 2;
    }
    bot::Start({options.BotCourse, options.BotPlayers, options.Seed, true});
  }
  plat::CatchLeaveSignals();
  game::Main(plat::ApplySettings(line.Start, true));
}
