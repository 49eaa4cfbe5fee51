// SPDX-License-Identifier: Zlib
// The save file: hi-scores, the finished courses and the display mode,
// kept in memory for the whole run and mirrored in a 69-byte file.
#pragma once

#include <cstdint>
#include <string>

namespace game {

constexpr int kSaveFileSize = 69;
constexpr char kSaveHeader[] = "Ductora Fiesta  ";  // 16 characters
constexpr uint32_t kScoreMask = 0x6B1F3A95;

struct SaveRecord {
  char Header[16];
  int32_t HiScore[3][4];    // (players - 1, course); course 3 is the endless mode
  uint8_t ClearedMask;      // bit c: course c has been finished
  int32_t StartFullScreen;  // display mode for the next start
};

extern SaveRecord SaveData;

// Reads the save file into SaveData, or sets the defaults when there is none.
void LoadSaveData();
// Writes SaveData with the current display mode.
void WriteSaveData();

// A game that must leave no trace in the save file (a course file played
// from the command line): Hold keeps a copy of SaveData and makes every
// WriteSaveData do nothing; Release puts the copy back and saves again as
// usual.
void HoldSaveData();
void ReleaseSaveData();

// The defaults of a first start.
void SetDefaultSaveData(SaveRecord& r);
// The file the game reads and writes: in the data folder, or in the
// user's data folder when the data folder cannot be written.
std::string SaveFilePath();

}  // namespace game
