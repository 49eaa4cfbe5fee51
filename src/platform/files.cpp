// SPDX-License-Identifier: Zlib
// Whole-file reads and safe writes.
#include "platform/files.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/platform.h"

namespace plat {

namespace {

// Reads up to limit bytes from fd into data; false on a read error.
bool ReadPrefix(int fd, size_t limit, std::vector<uint8_t>& data) {
  uint8_t chunk[65536];
  while (data.size() < limit) {
    const size_t want = std::min(sizeof chunk, limit - data.size());
    const ssize_t n = ::read(fd, chunk, want);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.insert(data.end(), chunk, chunk + n);
  }
  return true;
}

FileRead ReadOpened(int fd, size_t limit, std::vector<uint8_t>& out) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return FileRead::Unreadable;
  if (!S_ISREG(st.st_mode)) return FileRead::NotRegular;
  std::vector<uint8_t> data;
  data.reserve(std::min(static_cast<size_t>(st.st_size), limit));
  // One byte more than the limit tells a file of exactly limit bytes from a
  // longer one, whatever st_size said (a file may grow while it is read).
  if (limit == SIZE_MAX || !ReadPrefix(fd, limit + 1, data)) return FileRead::Unreadable;
  const bool tooLarge = data.size() > limit;
  if (tooLarge) data.resize(limit);
  out = std::move(data);
  return tooLarge ? FileRead::TooLarge : FileRead::Ok;
}

}  // namespace

FileRead ReadFileUpTo(const std::string& path, size_t limit, std::vector<uint8_t>& out) {
  // O_NONBLOCK: opening a FIFO without a writer returns at once.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? FileRead::Missing : FileRead::Unreadable;
  const FileRead result = ReadOpened(fd, limit, out);
  ::close(fd);
  return result;
}

const char* FileReadText(FileRead result) {
  switch (result) {
    case FileRead::Ok:
      return "read";
    case FileRead::Missing:
      return "missing";
    case FileRead::NotRegular:
      return "not a regular file";
    case FileRead::TooLarge:
      return "too large";
    case FileRead::Unreadable:
      return "unreadable";
  }
  return "unreadable";
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
  return ReadFileUpTo(path, kWholeFileLimit, out) == FileRead::Ok;
}

bool WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& data) {
  std::string temp = path + ".tmp";
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  bool ok = done == data.size() && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
  std::remove(temp.c_str());
  return false;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

bool FolderWritable(const std::string& folder) {
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) return false;
  return ::access(folder.c_str(), W_OK) == 0;
}

bool MakeFolders(const std::string& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return std::filesystem::is_directory(folder, ec);
}

std::string UserDataFolder() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  std::string base;
  if (xdg != nullptr && xdg[0] == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home != nullptr ? home : ".") + "/.local/share";
  }
  if (base.back() != '/') base += '/';
  return base + "ductora-fiesta/";
}

std::string ExecutableFolder() {
  std::error_code ec;
  std::string root = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path().string();
  if (root.empty()) root = ".";
  if (root.back() != '/') root += '/';
  return root;
}

// The paths below come from the build's install layout (GNUInstallDirs).
std::string InstalledDataFolder(const std::string& exeFolder) {
  std::error_code ec;
  if (std::filesystem::is_directory(exeFolder + "data", ec)) return "";
  const std::string share = exeFolder + DUCTORA_DATA_FROM_BIN "/";
  if (!std::filesystem::is_directory(share + "data", ec)) return "";
  return share;
}

std::vector<std::string> OldSaveFiles(const std::string& exeFolder) {
  return {exeFolder + "data/ductora.dat", exeFolder + DUCTORA_OLD_GAME_FROM_BIN "/data/ductora.dat",
          exeFolder + "../lib/ductora-fiesta/data/ductora.dat"};
}

}  // namespace plat
