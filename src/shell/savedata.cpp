// SPDX-License-Identifier: Zlib
#include "shell/savedata.h"

#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "shell/gamestate.h"
#include "shell/safe_read.h"

namespace game {

SaveRecord SaveData;

namespace {

bool Held = false;
SaveRecord HeldCopy;

const char kFileName[] = "ductora.dat";
const char kBrokenMessage[] = "データファイルが壊れています。処理は続行します。";
const char kReadFailMessage[] = "データファイルの読み込みに失敗しました。";
const char kWriteFailMessage[] = "データファイルの書き込みに失敗しました。";

constexpr int kHeaderSize = 16;
constexpr size_t kKeptTailLimit = 64 * 1024;
constexpr int kScoresOffset = 16;
constexpr int kMaskOffset = 64;
constexpr int kModeOffset = 65;

int ScoreOffset(int p, int c) { return kScoresOffset + 4 * (p + 3 * c); }

// Only the course hi-scores of one and two players are scrambled.
bool Scrambled(int p, int c) { return p <= 1 && c <= 2; }

int32_t Scramble(int32_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v) ^ kScoreMask); }

int32_t ReadInt32(const std::vector<uint8_t>& b, int at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; i--) v = (v << 8) | b[at + i];
  return static_cast<int32_t>(v);
}

void WriteInt32(std::vector<uint8_t>& b, int at, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; i++) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

bool HeaderValid(const std::vector<uint8_t>& b) {
  return std::memcmp(b.data(), kSaveHeader, kHeaderSize) == 0;
}

// Takes every field that lies wholly inside the bytes read; the others
// keep the defaults r already holds.
void ParseFields(const std::vector<uint8_t>& b, SaveRecord& r) {
  const int size = static_cast<int>(b.size());
  for (int c = 0; c < 4; c++) {
    for (int p = 0; p < 3; p++) {
      const int at = ScoreOffset(p, c);
      if (at + 4 > size) continue;
      const int32_t v = ReadInt32(b, at);
      r.HiScore[p][c] = Scrambled(p, c) ? Scramble(v) : v;
    }
  }
  if (kMaskOffset < size) r.ClearedMask = b[kMaskOffset];
  if (kModeOffset + 4 <= size) r.StartFullScreen = ReadInt32(b, kModeOffset);
}

std::vector<uint8_t> Serialise(const SaveRecord& r) {
  std::vector<uint8_t> b(kSaveFileSize, 0);
  std::memcpy(b.data(), r.Header, kHeaderSize);
  for (int c = 0; c < 4; c++) {
    for (int p = 0; p < 3; p++) {
      const int32_t v = r.HiScore[p][c];
      WriteInt32(b, ScoreOffset(p, c), Scrambled(p, c) ? Scramble(v) : v);
    }
  }
  b[kMaskOffset] = r.ClearedMask;
  WriteInt32(b, kModeOffset, r.StartFullScreen);
  return b;
}

// A game run from its build folder saves beside the program while it may;
// an installed one always saves in the user's folder, as root too.
bool SavesBesideProgram() { return !plat::ProgramInstalled() && plat::FolderWritable(DataPath); }

// The save file to read when the usual one is missing: one beside the program,
// or one an older install kept beside its program.
std::string FallbackSaveFile() {
  std::vector<std::string> places = {DataPath + kFileName};
  if (plat::ProgramInstalled()) {
    for (const std::string& old : plat::OldSaveFiles(plat::ExecutableFolder()))
      places.push_back(old);
  }
  for (const std::string& place : places)
    if (plat::FileExists(place)) return place;
  return "";
}

}  // namespace

void SetDefaultSaveData(SaveRecord& r) {
  std::memcpy(r.Header, kSaveHeader, kHeaderSize);
  for (int p = 0; p < 3; p++) {
    for (int c = 0; c < 4; c++) r.HiScore[p][c] = p <= 1 && c <= 2 ? (p + 1) * 100000 * (c + 1) : 0;
  }
  r.HiScore[0][3] = 80000;
  r.ClearedMask = 0;
  r.StartFullScreen = 0;
}

std::string SaveFilePath() {
  if (SavesBesideProgram()) return DataPath + kFileName;
  return plat::UserDataFolder() + kFileName;
}

// A file that cannot be used whole leaves valid defaults behind it, so the
// next save writes a sound file instead of copying the damage. Only the
// record is read: a long tail after it (even a huge one) leaves the record,
// and so the player's hi-scores, as they are. Anything but a regular file
// (a FIFO, a device, a folder) is a failed read, never a wait.
void LoadSaveData() {
  std::vector<uint8_t> bytes;
  std::string path = SaveFilePath();
  plat::FileRead read = ReadFileSafely(path, kSaveFileSize, bytes);
  if (read == plat::FileRead::Missing) {
    path = FallbackSaveFile();
    read = path.empty() ? read : ReadFileSafely(path, kSaveFileSize, bytes);
  }
  SaveRecord r;
  SetDefaultSaveData(r);
  SaveData = r;
  if (read == plat::FileRead::Missing) return;
  const bool got = read == plat::FileRead::Ok || read == plat::FileRead::TooLarge;
  if (!got || bytes.size() < kHeaderSize) {
    plat::ShowMessage(kReadFailMessage);
    return;
  }
  if (!HeaderValid(bytes)) {
    const std::string asRead(reinterpret_cast<const char*>(bytes.data()), kHeaderSize);
    plat::ShowMessage(asRead + ":" + kSaveHeader);
    plat::ShowMessage(kBrokenMessage);
    return;
  }
  ParseFields(bytes, r);
  SaveData = r;
  if (bytes.size() < kSaveFileSize) plat::ShowMessage(kReadFailMessage);
}

void HoldSaveData() {
  HeldCopy = SaveData;
  Held = true;
}

void ReleaseSaveData() {
  if (!Held) return;
  SaveData = HeldCopy;
  Held = false;
}

void WriteSaveData() {
  if (Held) return;
  SaveRecord copy = SaveData;
  copy.StartFullScreen = FullScreen;
  std::vector<uint8_t> bytes = Serialise(copy);
  if (!SavesBesideProgram() && !plat::MakeFolders(plat::UserDataFolder())) {
    plat::ShowMessage(kWriteFailMessage);
    return;
  }
  const std::string path = SaveFilePath();
  // Bytes past the record in an existing longer file are kept, up to a
  // limit: a tail longer than that is dropped rather than read whole.
  std::vector<uint8_t> old;
  if (ReadFileSafely(path, kKeptTailLimit, old) == plat::FileRead::Ok && old.size() > bytes.size())
    bytes.insert(bytes.end(), old.begin() + kSaveFileSize, old.end());
  if (!plat::WriteFileAtomic(path, bytes)) {
    plat::ShowMessage(kWriteFailMessage);
    return;
  }
  plat::LogSave();
}

}  // namespace game
