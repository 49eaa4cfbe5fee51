// SPDX-License-Identifier: Zlib
#include "shell/replay.h"

#include <cstdio>

#include "audio/midi.h"
#include "ductora_version.h"
#include "endless/tokoton.h"
#include "input/joystick.h"
#include "platform/platform.h"
#include "puzzle/players.h"
#include "shell/gamestate.h"
#include "shell/mainmodule.h"
#include "shell/menus.h"
#include "shell/random.h"
#include "shell/safe_read.h"
#include "shell/savedata.h"
#include "shell/window.h"

namespace game {

namespace {

// ------------------------------------------------------------ recording

bool Recording = false;
Replay Recorded;
int64_t RecordStart = 0;
std::string RecordFile;  // --record
constexpr size_t kReservedSteps = 16384;
bool RecordFileDone = false;

int32_t& HiScoreEntry(int32_t course, int32_t players) {
  return SaveData.HiScore[course == kEndlessCourse ? 0 : players - 1][course];
}

int32_t FinalScore() { return CourseNo == kEndlessCourse ? tokoton::EndlessScore : TotalScore; }

bool SameWords(const ReplayStep& a, const input::FrameWords& w) {
  return a.Word[0] == w.Word[0] && a.Word[1] == w.Word[1] && a.Word[2] == w.Word[2];
}

// Only changes are kept; the words before the first line are all 0.
void WatchFrame(int64_t frame, const input::FrameWords& words) {
  if (!Recording) return;
  const ReplayStep none;
  const ReplayStep& last = Recorded.Steps.empty() ? none : Recorded.Steps.back();
  if (SameWords(last, words)) return;
  ReplayStep step;
  step.Frame = frame - RecordStart;
  for (int d = 0; d < 3; ++d) step.Word[d] = words.Word[d];
  Recorded.Steps.push_back(step);
}

void CloseRecording() {
  Recorded.Score = FinalScore();
  Recorded.Frames = input::FrameNumber() - RecordStart;
}

bool WriteReplay(const std::string& path, const Replay& replay) {
  const std::string text = FormatReplay(replay);
  if (plat::WriteFileAtomic(path, std::vector<uint8_t>(text.begin(), text.end()))) return true;
  std::fprintf(stderr, "ductora: cannot write the replay %s\n", path.c_str());
  return false;
}

// The kept replay is replaced only by a better game (or when it cannot be read).
void KeepBest(const Replay& replay) {
  const std::string folder = ReplayFolder();
  const std::string path = folder + ReplayFileName(replay.Course, replay.Players);
  Replay kept;
  std::string error;
  if (ReadReplayFile(path, kept, error) && kept.Score >= replay.Score) return;
  if (!plat::MakeFolders(folder)) {
    std::fprintf(stderr, "ductora: cannot make the folder %s\n", folder.c_str());
    return;
  }
  WriteReplay(path, replay);
}

void WriteRecordFile() {
  if (RecordFile.empty() || RecordFileDone) return;
  RecordFileDone = true;
  WriteReplay(RecordFile, Recorded);
}

// ------------------------------------------------------------ playback

const Replay* Playing = nullptr;
bool PlayingDemo = false;
int64_t PlayStart = 0;
size_t NextStep = 0;
input::FrameWords Current = {};
bool EndRequested = false;
uint32_t DevicesBefore = 0;

struct ReplayEnded {};

constexpr int32_t kDemoCount = 4;
constexpr const char* kDemoNames[kDemoCount] = {"course-a.replay", "course-b.replay",
                                                "course-c.replay", "endless.replay"};

// The recorded words of this frame; a key or button newly pressed on any
// device asks to end the replay.
void FeedReplay(input::FrameWords& words) {
  const uint32_t devices = input::DeviceInput();
  if ((devices & ~DevicesBefore) != 0) EndRequested = true;
  DevicesBefore = devices;
  const int64_t frame = input::FrameNumber() - PlayStart;
  const std::vector<ReplayStep>& steps = Playing->Steps;
  while (NextStep < steps.size() && steps[NextStep].Frame <= frame) {
    for (int d = 0; d < 3; ++d) Current.Word[d] = steps[NextStep].Word[d];
    ++NextStep;
  }
  words = Current;
}

// What a demo must leave as it found: the title's score panel and the
// random generator of the next real game.
struct GameSnapshot {
  int32_t Players, Course, Lives, Total, Score0, Score1;
  int32_t EndlessScore, EndlessLevel, EndlessBlocks;
  RandomPlace Random;
};

GameSnapshot TakeSnapshot() {
  return {PlayerCount,
          CourseNo,
          Lives,
          TotalScore,
          puzzle::Players[0].Score,
          puzzle::Players[1].Score,
          tokoton::EndlessScore,
          tokoton::EndlessLevel,
          tokoton::EndlessBlocks,
          CurrentRandomPlace()};
}

void PutBack(const GameSnapshot& s) {
  PlayerCount = s.Players;
  CourseNo = s.Course;
  Lives = s.Lives;
  TotalScore = s.Total;
  puzzle::Players[0].Score = s.Score0;
  puzzle::Players[1].Score = s.Score1;
  tokoton::EndlessScore = s.EndlessScore;
  tokoton::EndlessLevel = s.EndlessLevel;
  tokoton::EndlessBlocks = s.EndlessBlocks;
  RestoreRandomPlace(s.Random);
}

GameSnapshot Before;

void StartPlayback(const Replay& replay, bool demo) {
  HoldSaveData();
  PlayerCount = replay.Players;
  CourseNo = replay.Course;
  HiScoreEntry(replay.Course, replay.Players) = replay.HiScore;
  RestoreRandomPlace({replay.Seed, replay.Draws});
  FixGameSeed(true, replay.Seed);
  Playing = &replay;
  PlayingDemo = demo;
  PlayStart = input::FrameNumber();
  NextStep = 0;
  Current = {};
  EndRequested = false;
  DevicesBefore = input::DeviceInput();
  input::SetFeed(FeedReplay);
  if (demo) plat::LogDemo(true);
}

void StopPlayback() {
  input::SetFeed(nullptr);
  input::SuppressHeldInput();
  FixGameSeed(false);
  audio::StopMusic();
  SetPauseLabel(false);  // a demo may end in the middle of stage play
  if (PlayingDemo) plat::LogDemo(false);
  Playing = nullptr;
  PlayingDemo = false;
}

}  // namespace

void BeginGameRecording() {
  Recorded = Replay{};
  Recorded.Version = plat::kGameVersion;
  Recorded.Course = CourseNo;
  Recorded.Players = PlayerCount;
  Recorded.HiScore = HiScoreEntry(CourseNo, PlayerCount);
  // The endless mode reseeds as it starts: with this seed, so it is known.
  RandomPlace place = CurrentRandomPlace();
  if (CourseNo == kEndlessCourse) place = {plat::RandomSeed(), 0};
  FixGameSeed(true, place.Seed);
  Recorded.Seed = place.Seed;
  Recorded.Draws = place.Draws;
  // Room for a long game's input changes up front, so recording does not
  // allocate as the game is played.
  Recorded.Steps.reserve(kReservedSteps);
  RecordStart = input::FrameNumber();
  Recording = true;
  input::SetWatcher(WatchFrame);
}

void EndGameRecording() {
  if (!Recording) return;
  Recording = false;
  input::SetWatcher(nullptr);
  FixGameSeed(false);
  CloseRecording();
  WriteRecordFile();
  if (Recorded.Score > Recorded.HiScore) KeepBest(Recorded);
}

void SetRecordFile(const std::string& path) { RecordFile = path; }

void FinishRecordFile() {
  if (!Recording) return;
  CloseRecording();
  WriteRecordFile();
}

std::string ReplayFolder() {
  const std::string save = SaveFilePath();
  return save.substr(0, save.rfind('/') + 1) + "replays/";
}

std::string ReplayFileName(int32_t course, int32_t players) {
  if (course == kEndlessCourse) return "endless-1p.replay";
  return std::string("course-") + static_cast<char>('a' + course) + "-" + std::to_string(players) +
         "p.replay";
}

bool PlayReplay(const Replay& replay, bool demo) {
  Before = TakeSnapshot();
  StartPlayback(replay, demo);
  StartGame();
  try {
    PlayGame(replay.Course);
  } catch (const ReplayEnded&) {
  }
  const bool same = !EndRequested && FinalScore() == replay.Score &&
                    input::FrameNumber() - PlayStart == replay.Frames;
  LeaveDemo();
  StopPlayback();
  return same;
}

bool PlayNextDemo() {
  static Replay demo;
  static int32_t turn = 0;
  for (int32_t tried = 0; tried < kDemoCount; ++tried) {
    const std::string path = DataPath + "demo/" + kDemoNames[turn];
    turn = (turn + 1) % kDemoCount;
    std::string error;
    if (!ReadReplayFile(path, demo, error)) {
      if (plat::FileExists(path)) std::fprintf(stderr, "ductora: demo %s\n", error.c_str());
      continue;
    }
    PlayReplay(demo, true);
    return true;
  }
  return false;
}

bool ReplayPlaying() { return Playing != nullptr; }
bool DemoPlaying() { return Playing != nullptr && PlayingDemo; }

void RequestReplayEnd() {
  if (Playing != nullptr) EndRequested = true;
}

void LeaveDemo() {
  if (!DemoPlaying()) return;
  ReleaseSaveData();
  PutBack(Before);
}

void CheckReplayEnd() {
  if (Playing == nullptr) return;
  if (EndRequested || input::FrameNumber() - PlayStart >= Playing->Frames) throw ReplayEnded{};
}

void RunReplayFile(const std::string& path) {
  static Replay replay;
  std::string error;
  HoldSaveData();
  if (!ReadReplayFile(path, replay, error)) {
    plat::ShowMessage("replay " + error);
    RunShutdown(1);
  }
  if (!PlayReplay(replay, false) && !EndRequested) {
    plat::ShowMessage(
        "replay " + path + ": the game went another way than the recorded one (score " +
        std::to_string(FinalScore()) + ", recorded " + std::to_string(replay.Score) + ")");
    RunShutdown(1);
  }
  RunShutdown(0);
}

}  // namespace game
