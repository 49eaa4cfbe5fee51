// SPDX-License-Identifier: Zlib
#include "puzzle/players.h"

#include <algorithm>

#include "audio/wavedef.h"
#include "input/joystick.h"
#include "puzzle/board.h"
#include "puzzle/stage.h"
#include "puzzle/supply.h"
#include "puzzle/water.h"
#include "render/playdraw.h"
#include "render/surfaces.h"
#include "shell/gamestate.h"

namespace puzzle {

PlayerInfo Players[kPlayerSlots];

namespace {

constexpr int32_t kFirstRepeatDelay = 24;
constexpr int32_t kRepeatInterval = 6;
constexpr int kSoundCursor = 0;
constexpr int kSoundLay = 1;
constexpr int kSoundBreakBase = 10;  // + the stage's pipe set

bool InPlayArea(int32_t x, int32_t y) {
  return x >= 0 && x < kPlayColumns && y >= 0 && y < kPlayRows;
}

// Each player draws six pieces; player 0 draws first.
void FillQueue(PlayerInfo& pl) {
  for (uint8_t& slot : pl.Queue) slot = static_cast<uint8_t>(NextPiece());
  pl.QueueIndex = 0;
}

void AssignDevices() {
  if (game::PlayerCount != 2) {
    Players[0].DeviceMask = kDeviceKeyboard | kDeviceJoystick1;
    return;
  }
  if (input::JoystickPresent(1) != 0) {
    Players[0].DeviceMask = kDeviceKeyboard | kDeviceJoystick1;
    Players[1].DeviceMask = kDeviceJoystick2;
  } else {
    Players[0].DeviceMask = kDeviceKeyboard;
    Players[1].DeviceMask = kDeviceJoystick1;
  }
}

// Only the first of up, down, right, left in d counts; a blocked one
// stops the search, so a diagonal at an edge does not slide along it.
void MoveCursor(PlayerInfo& pl, int32_t d) {
  if ((d & input::kUp) != 0) {
    if (pl.CursorY > 0) pl.CursorY--;
  } else if ((d & input::kDown) != 0) {
    if (pl.CursorY < kPlayRows - 1) pl.CursorY++;
  } else if ((d & input::kRight) != 0) {
    if (pl.CursorX < kPlayColumns - 1) pl.CursorX++;
  } else if ((d & input::kLeft) != 0) {
    if (pl.CursorX > 0) pl.CursorX--;
  }
}

bool OnOtherCursor(int32_t p) {
  for (int32_t q = 0; q < ActivePlayers(); q++) {
    if (q == p) continue;
    if (Players[q].CursorX == Players[p].CursorX && Players[q].CursorY == Players[p].CursorY)
      return true;
  }
  return false;
}

void UpdateCursor(int32_t p) {
  PlayerInfo& pl = Players[p];
  const int32_t d = RepeatKeys(pl.KeyRepeat);
  const int32_t oldX = pl.CursorX;
  const int32_t oldY = pl.CursorY;
  MoveCursor(pl, d);
  if (OnOtherCursor(p)) {
    pl.CursorX = oldX;
    pl.CursorY = oldY;
  }
  if (pl.CursorX != oldX || pl.CursorY != oldY) audio::PlayEffect(kSoundCursor);
}

// A place button counts on the frame it goes down, never while held.
void UpdateLaying(int32_t p) {
  PlayerInfo& pl = Players[p];
  if (pl.Wait != 0) {
    pl.Wait--;
    return;
  }
  if (((pl.ButtonsPrev ^ pl.Buttons) & pl.Buttons & static_cast<int32_t>(input::kPlaceGroup)) != 0)
    pl.Score += PlacePiece(pl.CursorX, pl.CursorY, pl.Queue[pl.QueueIndex], p);
}

void UpdatePlayer(int32_t p) {
  PlayerInfo& pl = Players[p];
  const int32_t w = ReadDevices(pl.DeviceMask);
  pl.KeyRepeat.Current = w & static_cast<int32_t>(input::kDirections);
  pl.Buttons = w & ~static_cast<int32_t>(input::kDirections);
  UpdateCursor(p);
  UpdateLaying(p);
  if ((pl.Buttons & static_cast<int32_t>(input::kHurryGroup)) != 0) Water.Hurry = -1;
  pl.ButtonsPrev = pl.Buttons;
}

int32_t AfterLaying(PlayerInfo& pl) {
  pl.Queue[pl.QueueIndex] = static_cast<uint8_t>(NextPiece());
  pl.QueueIndex = (pl.QueueIndex + 1) % kQueueRing;
  pl.Wait = kLayWait;
  audio::PlayEffect(kSoundLay);
  return kLayPoints;
}

int32_t AfterRemoval(PlayerInfo& pl, int32_t x, int32_t y, int32_t chip) {
  pl.PendingX = x;
  pl.PendingY = y;
  pl.PendingChip = chip;
  pl.Wait = kReplaceWait;
  audio::PlayEffect(kSoundBreakBase + CurrentStage.PipeSet);
  return kReplacePoints;
}

}  // namespace

int32_t ActivePlayers() { return std::clamp(game::PlayerCount, 0, kPlayerSlots); }

int32_t RepeatKeys(KeyRepeat& state) {
  if (state.Current != state.Previous) {
    state.Counter = state.FirstDelay;
    state.Changed = state.Current ^ state.Previous;
    state.Previous = state.Current;
    return state.Current;
  }
  state.Counter--;
  state.Changed = 0;
  state.Previous = state.Current;
  if (state.Counter < 1) {
    state.Counter = state.Interval;
    return state.Current;
  }
  return 0;
}

int32_t ReadDevices(int32_t mask) {
  uint32_t w = 0;
  if ((mask & kDeviceKeyboard) != 0) w |= input::ReadKeyboard();
  if ((mask & kDeviceJoystick1) != 0) w |= input::ReadJoystick(0);
  if ((mask & kDeviceJoystick2) != 0) w |= input::ReadJoystick(1);
  return static_cast<int32_t>(w);
}

// Buttons, ButtonsPrev and the pending cell carry over from the last
// stage, so a press held across the stage start still counts as new only
// if it was released before.
void SetUpPlayers() {
  const int32_t count = ActivePlayers();
  for (int32_t p = 0; p < count; p++) {
    PlayerInfo& pl = Players[p];
    const SpecialInfo& start = SpecialPos[p == 0 ? kSpecialSource : kSpecialDrain];
    pl.CursorX = start.X;
    pl.CursorY = start.Y;
    pl.KeyRepeat.Current = 0;
    pl.KeyRepeat.Previous = 0;
    pl.KeyRepeat.Counter = kFirstRepeatDelay;
    pl.KeyRepeat.FirstDelay = kFirstRepeatDelay;
    pl.KeyRepeat.Interval = kRepeatInterval;
    FillQueue(pl);
    pl.Wait = 0;
    pl.PendingChip = 0;
    pl.Required = CurrentStage.RequiredPipes / count;
    pl.Passed = 0;
    pl.Ahead = 0;
  }
  AssignDevices();
  // The stage screen traced the route before the counters were cleared;
  // count again so that pieces laid out by the stage itself are credited
  // even if nobody lays a piece before the water arrives.
  TraceRoute(true);
}

void UpdatePlayers() {
  for (int32_t p = 0; p < ActivePlayers(); p++) UpdatePlayer(p);
}

int32_t PlacePiece(int32_t x, int32_t y, int32_t chip, int32_t player) {
  if (!InPlayArea(x, y) || chip < 0 || chip >= kChipKinds || player < 0 || player >= kPlayerSlots)
    return 0;
  ChipInfo& cell = Board[x][y];
  if (cell.Fixed != 0) return 0;
  TraceRoute(false);
  const bool laying = cell.ChipNo == CHIP_EMPTY;
  if (laying) {
    cell = ChipTable[chip];
    cell.Owner = player;
  } else {
    cell = ChipTable[CHIP_EMPTY];
  }
  render::DrawCell(render::FirstMap, x, y);
  TraceRoute(true);
  PlayerInfo& pl = Players[player];
  return laying ? AfterLaying(pl) : AfterRemoval(pl, x, y, chip);
}

void CompletePending(int32_t p) {
  if (p < 0 || p >= kPlayerSlots) return;
  const PlayerInfo& pl = Players[p];
  PlacePiece(pl.PendingX, pl.PendingY, pl.PendingChip, p);
}

void FinishReplacements() {
  for (int32_t p = 0; p < ActivePlayers(); ++p) {
    PlayerInfo& pl = Players[p];
    if (pl.Wait != 0 || pl.PendingChip == 0) continue;
    CompletePending(p);
    pl.PendingChip = 0;
  }
}

void SettleScores() {
  Players[0].Score = std::max(Players[0].Score, 0);
  if (game::PlayerCount == 2) Players[1].Score = std::max(Players[1].Score, 0);
  int32_t total = 0;
  for (int32_t p = 0; p < ActivePlayers(); ++p) total += Players[p].Score;
  game::TotalScore = total;
}

}  // namespace puzzle
