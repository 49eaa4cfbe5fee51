// SPDX-License-Identifier: Zlib
// Bounded reads and safe writes.
#include "platform/files.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
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

namespace {

namespace fs = std::filesystem;

// Temporary files are named "<file>.tmp-<pid>-XXXXXX" beside the file: the
// pid tells a stale one, left by a killed game, from one another running
// game is writing at this moment.
std::string TempPrefix(const fs::path& file) { return file.filename().string() + ".tmp-"; }

bool WriterAlive(const std::string& name, size_t prefixLength) {
  const long pid = std::strtol(name.c_str() + prefixLength, nullptr, 10);
  if (pid <= 0) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// Removes the temporary files of writers that are gone, and the one fixed
// temporary name earlier versions of the game used.
void RemoveStaleTemps(const fs::path& file) {
  const std::string prefix = TempPrefix(file);
  std::error_code ec;
  fs::remove(fs::path(file.string() + ".tmp"), ec);
  for (fs::directory_iterator it(file.parent_path(), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.compare(0, prefix.size(), prefix) == 0 && !WriterAlive(name, prefix.size()))
      fs::remove(it->path(), ec);
  }
}

// Where a save lands: through symbolic links to the regular file (or the
// free name in an existing folder) they point at, so a linked save file
// stays linked. A link to anything else (a device, a FIFO) is replaced
// instead of written through.
fs::path WriteTarget(const std::string& path) {
  std::error_code ec;
  fs::path at = fs::absolute(path, ec);
  if (ec) return path;
  for (int hop = 0; hop < 40 && fs::is_symlink(at, ec); hop++) {
    const fs::path to = fs::read_symlink(at, ec);
    if (ec) return path;
    at = to.is_absolute() ? to : at.parent_path() / to;
  }
  const fs::file_status st = fs::status(at, ec);
  if (fs::is_regular_file(st)) return at;
  if (st.type() == fs::file_type::not_found && fs::is_directory(at.parent_path(), ec)) return at;
  return fs::absolute(path, ec);
}

bool WriteAll(int fd, const std::vector<uint8_t>& data) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// The new file gets the old one's permissions, or the usual ones for a
// new file, instead of mkstemp's owner-only 0600.
void SetMode(int fd, const fs::path& file) {
  struct stat st;
  if (::stat(file.c_str(), &st) == 0) {
    ::fchmod(fd, st.st_mode & 07777);
    return;
  }
  const mode_t mask = ::umask(022);
  ::umask(mask);
  ::fchmod(fd, 0644 & ~mask);
}

// The rename reaches the disk only with its folder; a file system that
// cannot sync folders still has the renamed file.
void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

// A unique temporary file in the same folder, written whole and synced,
// then renamed over the file: a reader sees the old file or the new one,
// never a part, and of two games saving at once the last one's file stays.
bool WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& data) {
  const fs::path target = WriteTarget(path);
  RemoveStaleTemps(target);
  std::string temp =
      target.string() + ".tmp-" + std::to_string(static_cast<long>(::getpid())) + "-XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  SetMode(fd, target);
  bool ok = WriteAll(fd, data) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (ok && ::rename(temp.c_str(), target.c_str()) == 0) {
    SyncFolder(target.parent_path());
    return true;
  }
  ::unlink(temp.c_str());
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

std::vector<std::string> ListFiles(const std::string& folder, const std::string& suffix,
                                   size_t limit) {
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end;
       !ec && it != end && names.size() < limit; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code fileEc;
    if (name.size() <= suffix.size() || !it->is_regular_file(fileEc)) continue;
    if (name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
      names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
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
