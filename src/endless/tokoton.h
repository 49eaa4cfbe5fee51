// SPDX-License-Identifier: Zlib
// The endless mode: pipe pieces fall into the well, closed circuits and the
// runs in front of end caps are scored and removed, the level speeds up the
// fall, and the game lasts until a piece settles above the well.
#pragma once

#include <cstdint>

#include "endless/heylawmap.h"
#include "puzzle/players.h"

namespace tokoton {

constexpr int32_t kMaxLevel = 16;  // the last index of DropWaitTable

// The well; made the first time a game starts and kept for the whole run.
extern endless::HeyLawMap* EndlessMap;
extern int32_t DropWaitTable[kMaxLevel + 1];  // frames between fall steps, by level
extern puzzle::KeyRepeat EndlessKeys;
extern int32_t PairDx[4];  // second chip's cell offset by rotation
extern int32_t PairDy[4];
extern int32_t EndlessScore;
extern int32_t EndlessHiScore;  // shown on the panel; saved only at game over
extern int32_t EndlessBlocks;   // cells cleared in this game
extern int32_t EndlessLevel;    // 1..16
extern int32_t LevelBlocks;     // cells cleared since the last level rise
extern int32_t PieceCount;      // pieces generated in this game
extern int32_t EndlessNext[2];  // the piece under NEXT; element 1 is 0 for one chip

// The falling piece and its timers. PieceX and PieceY are pixels of the
// first chip inside the well; the second chip sits PairDx/PairDy(PieceRot)
// cells away.
struct FallingPiece {
  int32_t CurPiece[2];
  int32_t PieceX;
  int32_t PieceY;
  int32_t PieceRot;
  int32_t MoveX;        // this frame's sideways step in cells
  int32_t RotStep;      // this frame's turn: -1, 0 or +1
  bool Turned;          // the turn of this frame was made
  int32_t DropCounter;  // frames left before the next fall step
  int32_t LockTimer;    // -1 falling, 30..1 resting, 0 fixed this frame
  int32_t Chain;        // scoring passes since the piece was fixed
};
extern FallingPiece Piece;

// One whole endless game, from set-up to the game-over screen.
void EndlessMode();
void InitEndless();
// The first piece and the timers; after InitEndless.
void StartEndlessGame();
// One frame of play; false once a piece has settled above the well.
bool EndlessFrame();
// The last picture, the music stopped and the game-over sequence.
void EndEndlessGame();

// The current piece becomes the next one and a new next piece is drawn;
// every 50th is an end cap, announced by sound 4.
void TakeNextPiece(int32_t current[2], int32_t next[2]);
// Turns each chip of the piece a quarter clockwise (+1) or back (-1).
void RotatePieceChips(int32_t direction, int32_t piece[2]);
// Points of one scoring pass; counts the cleared cells too.
int32_t CircuitScore(int32_t found, int32_t chain);
// Before the panel is drawn: the counters held within their fields, the
// hi-score raised to the score.
void HoldEndlessCounters();
// NEXT, HISCORE, SCORE, LEVEL and BLOCKS on the screen.
void DrawEndlessPanel();
// "GAME  OVER", five seconds, the hi-score saved if beaten, the dissolve.
void EndlessGameOver();
void LoadEndlessBackground();

}  // namespace tokoton
