// SPDX-License-Identifier: Zlib
#include "endless/tokoton.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "audio/midi.h"
#include "audio/wavedef.h"
#include "input/joystick.h"
#include "render/font.h"
#include "render/sheets.h"
#include "render/surfaces.h"
#include "shell/ending.h"
#include "shell/gamestate.h"
#include "shell/random.h"
#include "shell/savedata.h"
#include "shell/timer.h"
#include "shell/window.h"

namespace tokoton {

endless::HeyLawMap* EndlessMap = nullptr;
int32_t DropWaitTable[kMaxLevel + 1] = {};
puzzle::KeyRepeat EndlessKeys = {};
int32_t PairDx[4] = {};
int32_t PairDy[4] = {};
int32_t EndlessScore = 0;
int32_t EndlessHiScore = 0;
int32_t EndlessBlocks = 0;
int32_t EndlessLevel = 1;
int32_t LevelBlocks = 0;
int32_t PieceCount = 0;
int32_t EndlessNext[2] = {};
FallingPiece Piece = {};

namespace {

using endless::kChipSize;

// Level 10 starts slower than level 9: a breather before the last climb.
constexpr int32_t kDropWaits[kMaxLevel + 1] = {-1, 20, 18, 16, 14, 12, 10, 8, 6,
                                               3,  15, 12, 9,  6,  3,  2,  0};
constexpr int32_t kPairDx[4] = {0, 1, 0, -1};
constexpr int32_t kPairDy[4] = {-1, 0, 1, 0};
// What TakeNextPiece deals, by a draw of 0..6: first chip, second chip.
constexpr int32_t kPieceTable[7][2] = {{1, 2}, {4, 2}, {7, 0}, {2, 0}, {7, 6}, {7, 3}, {3, 0}};
// Quarter turns of chips 0..11 clockwise and counter-clockwise.
constexpr int32_t kTurnRight[endless::kChipKinds] = {0, 3, 5, 6, 1, 2, 4, 7, 9, 10, 11, 8};
constexpr int32_t kTurnLeft[endless::kChipKinds] = {0, 4, 5, 1, 6, 2, 3, 7, 11, 8, 9, 10};

constexpr int32_t kWellScreenX = 172;
constexpr int32_t kWellScreenY = 60;
constexpr int32_t kStartX = 72;   // column 3, the middle
constexpr int32_t kStartY = -24;  // one row above the well
constexpr int32_t kFallStep = 6;
constexpr int32_t kRestFrames = 30;
constexpr int32_t kSettleFrames = 11;
constexpr int32_t kCellsPerLevel = 30;
constexpr int32_t kCapPeriod = 50;
constexpr int32_t kGameOverFrames = 300;
constexpr int32_t kFirstRepeatDelay = 20;
constexpr int32_t kDownPoints = 10;

constexpr int kSoundCap = 4;
constexpr int kSoundLevel = 8;
constexpr int kSoundLand = 16;
constexpr int kSoundShift = 17;
constexpr int kSoundTurn = 18;

// The NEXT box is two chips tall; a one-chip piece sits in its middle.
constexpr int32_t kNextX = 232;
constexpr int32_t kNextFirstY = 80;
constexpr int32_t kNextSecondY = 56;
constexpr int32_t kNextSingleY = (kNextFirstY + kNextSecondY) / 2;

// The panel fields are seven characters wide.
constexpr int32_t kMaxScore = 9999990;
constexpr int32_t kMaxShownLevel = 999;
constexpr int32_t kMaxBlocks = 99999;

std::optional<endless::HeyLawMap> MapStore;

bool CanStand(int32_t x, int32_t y) { return EndlessMap->QueryCanMove(x, y) != 0; }

bool HasSecond() { return Piece.CurPiece[1] != 0; }

// The second chip's pixel position at a rotation, shifted by moveX cells.
int32_t SecondX(int32_t rot, int32_t moveX) {
  return Piece.PieceX + kChipSize * (PairDx[rot] + moveX);
}
int32_t SecondY(int32_t rot) { return Piece.PieceY + kChipSize * PairDy[rot]; }

// The level indexes the table directly; a level set from outside the game
// (a test, the runner) never reads past it.
int32_t DropWait() { return DropWaitTable[std::clamp(EndlessLevel, 1, kMaxLevel)]; }

int32_t SaturatingAdd(int32_t a, int32_t b) {
  const int64_t sum = static_cast<int64_t>(a) + b;
  return static_cast<int32_t>(std::min<int64_t>(sum, std::numeric_limits<int32_t>::max()));
}

// The input word of the frame, filtered for auto-repeat, and the sideways
// step it asks for (left wins).
int32_t ReadEndlessInput() {
  const auto word = static_cast<int32_t>(input::ReadJoystick(0) | input::ReadKeyboard());
  EndlessKeys.Current = word;
  const int32_t filtered = puzzle::RepeatKeys(EndlessKeys);
  if ((filtered & input::kLeft) != 0) {
    Piece.MoveX = -1;
  } else if ((filtered & input::kRight) != 0) {
    Piece.MoveX = 1;
  } else {
    Piece.MoveX = 0;
  }
  return word;
}

// Rotation turns on a newly pressed button only, never on a held one.
int32_t ChooseRotation() {
  const int32_t pressed = EndlessKeys.Changed & EndlessKeys.Current;
  if ((pressed & static_cast<int32_t>(input::kPlaceGroup)) != 0) {
    Piece.RotStep = -1;
    return (Piece.PieceRot + 3) % 4;
  }
  if ((pressed & static_cast<int32_t>(input::kHurryGroup)) != 0) {
    Piece.RotStep = 1;
    return (Piece.PieceRot + 1) % 4;
  }
  Piece.RotStep = 0;
  return Piece.PieceRot;
}

void HoldSideStep() {
  if (!CanStand(Piece.PieceX + kChipSize * Piece.MoveX, Piece.PieceY)) Piece.MoveX = 0;
  if (HasSecond() && !CanStand(SecondX(Piece.PieceRot, Piece.MoveX), SecondY(Piece.PieceRot)))
    Piece.MoveX = 0;
}

// A one-chip piece always turns; a second chip must have room where the
// turn and this frame's sideways step put it.
void TryRotation(int32_t newRot) {
  Piece.Turned = false;
  if (HasSecond() && !CanStand(SecondX(newRot, Piece.MoveX), SecondY(newRot))) return;
  Piece.Turned = newRot != Piece.PieceRot;
  Piece.PieceRot = newRot;
  RotatePieceChips(Piece.RotStep, Piece.CurPiece);
}

void StepFall(int32_t word) {
  Piece.DropCounter--;
  if (Piece.DropCounter < 0 || (word & static_cast<int32_t>(input::kDown)) != 0) {
    Piece.DropCounter = DropWait();
    Piece.PieceY += kFallStep;
  }
}

bool Landed() {
  const int32_t x = Piece.PieceX + kChipSize * Piece.MoveX;
  if (!CanStand(x, Piece.PieceY + 1)) return true;
  return HasSecond() &&
         !CanStand(SecondX(Piece.PieceRot, Piece.MoveX), SecondY(Piece.PieceRot) + 1);
}

bool TouchesAboveWell() { return Piece.PieceY < 0 || (HasSecond() && SecondY(Piece.PieceRot) < 0); }

// The piece is fixed in the column where it rested, not where this frame's
// sideways step would take it. A turn made in the same frame was checked
// only in the new column, so where it does not fit the old one it is taken
// back: the piece is fixed as the player last saw it, and never over a chip
// already in the well.
void KeepRestingTurn(int32_t cx, int32_t cy) {
  if (!Piece.Turned || !HasSecond()) return;
  const int32_t x = kChipSize * (cx + PairDx[Piece.PieceRot]);
  const int32_t y = kChipSize * (cy + PairDy[Piece.PieceRot]);
  if (CanStand(x, y)) return;
  RotatePieceChips(-Piece.RotStep, Piece.CurPiece);
  Piece.PieceRot = (Piece.PieceRot - Piece.RotStep + 4) % 4;
  Piece.Turned = false;
}

// Scoring passes until nothing more is removed; each removal may let chips
// drop into new circuits, which score with a rising multiplier.
void ClearCircuits() {
  Piece.Chain = 0;
  do {
    game::DoEvents();
    const int32_t found = EndlessMap->CheckAll();
    if (found > 0) {
      Piece.Chain++;
      EndlessScore = SaturatingAdd(EndlessScore, CircuitScore(found, Piece.Chain));
      EndlessMap->CrashPassedPipe();
    }
  } while (EndlessMap->CrashChip() != 0);
}

void RaiseLevel() {
  if (LevelBlocks <= kCellsPerLevel) return;
  LevelBlocks -= kCellsPerLevel;
  audio::PlayEffect(kSoundLevel);
  EndlessLevel = std::min(EndlessLevel + 1, kMaxLevel);
}

void FixPiece(int32_t cx, int32_t cy) {
  Piece.LockTimer = -1;
  EndlessMap->SetChipNo(cx, cy, Piece.CurPiece[0]);
  if (HasSecond())
    EndlessMap->SetChipNo(cx + PairDx[Piece.PieceRot], cy + PairDy[Piece.PieceRot],
                          Piece.CurPiece[1]);
  ClearCircuits();
  Piece.PieceX = kStartX;
  Piece.PieceY = kStartY;
  Piece.MoveX = 0;
  Piece.PieceRot = 0;
  Piece.Turned = false;
  TakeNextPiece(Piece.CurPiece, EndlessNext);
  for (int32_t i = 0; i < kSettleFrames; ++i) {
    game::DoEvents();
    game::WaitFrame(17);
  }
  RaiseLevel();
}

// A piece on the ground rests, is fixed, or ends the game
// when it settles with a chip above the well. False ends the game.
bool Settle() {
  const int32_t cx = Piece.PieceX / kChipSize;
  const int32_t cy = Piece.PieceY / kChipSize;
  if (Piece.LockTimer > 0) {
    Piece.LockTimer--;
    Piece.PieceY = cy * kChipSize;
    return true;
  }
  if (Piece.LockTimer < 0) {
    audio::PlayEffect(kSoundLand);
    if (TouchesAboveWell()) return false;
    Piece.LockTimer = kRestFrames;
    Piece.PieceY = cy * kChipSize;
    return true;
  }
  KeepRestingTurn(cx, cy);
  // A turn while resting can lift the second chip out of the well; the
  // piece then settles above the well, which ends the game as on landing.
  if (HasSecond() && cy + PairDy[Piece.PieceRot] < 0) return false;
  FixPiece(cx, cy);
  return true;
}

// Feedback for the player's own moves. Both effects are faint: the landing
// of the same frame, or any louder effect still sounding, keeps the channel.
void PlayMoveSound() {
  if (Piece.Turned) {
    audio::PlayEffect(kSoundTurn);
  } else if (Piece.MoveX != 0) {
    audio::PlayEffect(kSoundShift);
  }
}

void DrawPlayPicture() {
  plat::Surface& screen = *game::ScreenPic;
  EndlessMap->DrawMap(screen);
  EndlessMap->DrawChip(screen, Piece.PieceX, Piece.PieceY, Piece.CurPiece[0]);
  EndlessMap->DrawChip(screen, SecondX(Piece.PieceRot, 0), SecondY(Piece.PieceRot),
                       Piece.CurPiece[1]);
  HoldEndlessCounters();
  DrawEndlessPanel();
  game::ShowScreen();
}

void DrawPanelLine(int32_t y, const char* label, int32_t value) {
  plat::Surface& screen = *game::ScreenPic;
  render::GameFont.FontColor(6);
  render::ShadowText(screen, 24, y, label, 1);
  render::GameFont.FontColor(5);
  render::ShadowText(screen, 40, y + 16, render::RightAligned(value, 7), 1);
}

}  // namespace

void EndlessMode() {
  InitEndless();
  StartEndlessGame();
  game::CurrentScreen = game::ScreenKind::Endless;
  while (EndlessFrame()) {
  }
  game::CurrentScreen = game::ScreenKind::Other;
  EndEndlessGame();
}

void InitEndless() {
  render::LoadSheet(render::PipePic, "heylaw.bmp");
  if (EndlessMap == nullptr) EndlessMap = &MapStore.emplace();
  EndlessMap->InitMapData();
  EndlessMap->SetDispPos(kWellScreenX, kWellScreenY);
  std::memcpy(DropWaitTable, kDropWaits, sizeof DropWaitTable);
  EndlessKeys = {0, 0, 0, 0, kFirstRepeatDelay, 1};
  std::memcpy(PairDx, kPairDx, sizeof PairDx);
  std::memcpy(PairDy, kPairDy, sizeof PairDy);
  EndlessScore = 0;
  EndlessHiScore = game::SaveData.HiScore[0][3];
  EndlessBlocks = 0;
  EndlessLevel = 1;
  PieceCount = 0;
  LevelBlocks = 0;
  EndlessNext[0] = endless::kVertical;
  EndlessNext[1] = endless::kVertical;
  LoadEndlessBackground();
  game::Randomize(game::GameSeed());
}

void StartEndlessGame() {
  Piece = FallingPiece{};
  Piece.DropCounter = DropWait();
  TakeNextPiece(Piece.CurPiece, EndlessNext);
  Piece.LockTimer = -1;
  Piece.PieceX = kStartX;
  Piece.PieceY = kStartY;
  Piece.PieceRot = 0;
  game::SetPauseLabel(true);
}

bool EndlessFrame() {
  game::DoEvents();
  const int32_t word = ReadEndlessInput();
  const int32_t newRot = ChooseRotation();
  HoldSideStep();
  TryRotation(newRot);
  StepFall(word);
  if (!Landed()) {
    Piece.LockTimer = -1;
    if ((word & static_cast<int32_t>(input::kDown)) != 0) EndlessScore += kDownPoints;
  } else if (!Settle()) {
    return false;
  }
  PlayMoveSound();
  Piece.PieceX += kChipSize * Piece.MoveX;
  DrawPlayPicture();
  game::FrameCount++;
  audio::EffectTick();
  game::WaitFrame(17);
  // The tune is played once at a time; starting it again makes it repeat.
  if (!audio::MusicPlaying()) audio::PlayMusic(audio::MusicFileName(0));
  return true;
}

void EndEndlessGame() {
  DrawPlayPicture();
  game::SetPauseLabel(false);
  audio::StopMusic();
  EndlessGameOver();
}

void TakeNextPiece(int32_t current[2], int32_t next[2]) {
  current[0] = next[0];
  current[1] = next[1];
  const auto r = std::clamp(static_cast<int32_t>(game::Rnd() * 7), 0, 6);
  next[0] = kPieceTable[r][0];
  next[1] = kPieceTable[r][1];
  PieceCount++;
  if (PieceCount % kCapPeriod == 0) {
    next[0] = endless::kCapUp;
    next[1] = endless::kEmptyChip;
    audio::PlayEffect(kSoundCap);
  }
}

void RotatePieceChips(int32_t direction, int32_t piece[2]) {
  if (direction == 0) return;
  const int32_t* turn = direction > 0 ? kTurnRight : kTurnLeft;
  for (int i = 0; i < 2; ++i) {
    if (piece[i] >= 0 && piece[i] < endless::kChipKinds) piece[i] = turn[piece[i]];
  }
}

// The product can pass the 32-bit range with many crossings in a long
// chain; it is held at the largest value instead of wrapping.
int32_t CircuitScore(int32_t found, int32_t chain) {
  const int32_t cells = found & 255;
  const int32_t crossings = found / 256;
  EndlessBlocks = SaturatingAdd(EndlessBlocks, cells);
  LevelBlocks = SaturatingAdd(LevelBlocks, cells);
  const double c = crossings + 1.0;
  const double points = c * c * chain * static_cast<double>(chain) * cells * 100.0;
  if (points >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(points);
}

void HoldEndlessCounters() {
  EndlessScore = std::min(EndlessScore, kMaxScore);
  EndlessLevel = std::min(EndlessLevel, kMaxShownLevel);
  EndlessBlocks = std::min(EndlessBlocks, kMaxBlocks);
  EndlessHiScore = std::max(EndlessHiScore, EndlessScore);
}

void DrawEndlessPanel() {
  plat::Surface& screen = *game::ScreenPic;
  render::GameFont.FontColor(6);
  render::ShadowText(screen, 384, 80, "NEXT", 1);
  if (EndlessMap != nullptr && EndlessNext[1] == endless::kEmptyChip) {
    EndlessMap->DrawChip(screen, kNextX, kNextSingleY, EndlessNext[0]);
  } else if (EndlessMap != nullptr) {
    EndlessMap->DrawChip(screen, kNextX, kNextFirstY, EndlessNext[0]);
    EndlessMap->DrawChip(screen, kNextX, kNextSecondY, EndlessNext[1]);
  }
  DrawPanelLine(80, "HISCORE", EndlessHiScore);
  DrawPanelLine(128, "SCORE", EndlessScore);
  DrawPanelLine(176, "LEVEL", EndlessLevel);
  DrawPanelLine(224, "BLOCKS", EndlessBlocks);
}

void EndlessGameOver() {
  render::TextBand(*game::ScreenPic, 176, 160, "GAME  OVER");
  render::GameFont.FontColor(3);
  render::ShadowText(*game::ScreenPic, 176, 160, "GAME  OVER", 1);
  game::ShowScreen();
  for (int32_t i = 0; i < kGameOverFrames; ++i) {
    game::WaitFrame(17);
    game::DoEvents();
  }
  if (EndlessHiScore > game::SaveData.HiScore[0][3]) {
    game::SaveData.HiScore[0][3] = EndlessHiScore;
    game::WriteSaveData();
  }
  game::DissolveOut(*game::ScreenPic);
}

void LoadEndlessBackground() { render::LoadSheet(render::FirstMap, "m013.bmp"); }

}  // namespace tokoton
