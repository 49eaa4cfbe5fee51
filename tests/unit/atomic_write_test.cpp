// SPDX-License-Identifier: Zlib
// Safe writes: two games saving at once, a game killed while it saves, and
// a save file that is a link. A reader must only ever see a whole file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

Bytes ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

int TempFilesIn(const std::string& dir) {
  int n = 0;
  for (const auto& e : fs::directory_iterator(dir))
    n += e.path().filename().string().find(".tmp") != std::string::npos;
  return n;
}

// A child process that writes its bytes over path until the time is up,
// or for ever when seconds is 0; it ends with status 0 when every write
// succeeded.
pid_t StartWriter(const std::string& path, const Bytes& bytes, double seconds) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  const auto end = Clock::now() + std::chrono::duration<double>(seconds);
  bool ok = true;
  while (seconds == 0 || Clock::now() < end) ok = plat::WriteFileAtomic(path, bytes) && ok;
  ::_exit(ok ? 0 : 1);
}

int WaitFor(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

TEST(WriteFileAtomicTest, TwoGamesSavingAtOnceLeaveOneWholeFileAtEveryMoment) {
  const std::string dir = testing_support::TempFolder("twogames");
  const std::string path = dir + "ductora.dat";
  // Lengths that differ, so that a mix of the two or a cut file shows.
  const Bytes a(69, 'a'), b(20000, 'b');
  ASSERT_TRUE(plat::WriteFileAtomic(path, a));
  const pid_t first = StartWriter(path, a, 1.5), second = StartWriter(path, b, 1.5);
  int reads = 0, bad = 0;
  for (const auto end = Clock::now() + std::chrono::seconds(1); Clock::now() < end; reads++) {
    const Bytes got = ReadAll(path);
    bad += got != a && got != b;
  }
  EXPECT_EQ(0, WaitFor(first));
  EXPECT_EQ(0, WaitFor(second));
  EXPECT_EQ(0, bad) << "of " << reads << " reads";
  const Bytes last = ReadAll(path);
  EXPECT_TRUE(last == a || last == b);
  EXPECT_EQ(0, TempFilesIn(dir));
}

TEST(WriteFileAtomicTest, GamesKilledWhileSavingLeaveTheOldFileAndNoPileOfTemporaryFiles) {
  const std::string dir = testing_support::TempFolder("killed");
  const std::string path = dir + "ductora.dat";
  const Bytes old(69, 'o'), saved(4000, 's');
  ASSERT_TRUE(plat::WriteFileAtomic(path, old));
  std::mt19937 random(16);
  for (int round = 0; round < 60; round++) {
    const pid_t pid = StartWriter(path, round % 2 ? old : saved, 0);
    ::usleep(std::uniform_int_distribution<useconds_t>(0, 3000)(random));
    ::kill(pid, SIGKILL);
    WaitFor(pid);
    const Bytes got = ReadAll(path);
    ASSERT_TRUE(got == old || got == saved) << "round " << round << ": " << got.size() << " bytes";
    // A killed writer may leave its one temporary file; the next writer
    // removes it, so they never pile up.
    ASSERT_LE(TempFilesIn(dir), 1) << "round " << round;
  }
  // An earlier version's fixed temporary name goes too.
  std::ofstream(path + ".tmp") << "half";
  ASSERT_TRUE(plat::WriteFileAtomic(path, old));
  EXPECT_EQ(old, ReadAll(path));
  EXPECT_EQ(0, TempFilesIn(dir));
}

TEST(WriteFileAtomicTest, ALinkedSaveFileIsWrittenWhereTheLinkPoints) {
  const std::string dir = testing_support::TempFolder("linked");
  fs::create_directory(dir + "real");
  const Bytes first(69, '1'), second(69, '2');
  ASSERT_TRUE(plat::WriteFileAtomic(dir + "real/ductora.dat", first));
  // A relative link, and a link to that link.
  fs::create_symlink("real/ductora.dat", dir + "link");
  fs::create_symlink(dir + "link", dir + "chain");
  ASSERT_TRUE(plat::WriteFileAtomic(dir + "chain", second));
  EXPECT_TRUE(fs::is_symlink(dir + "chain"));
  EXPECT_TRUE(fs::is_symlink(dir + "link"));
  EXPECT_EQ(second, ReadAll(dir + "real/ductora.dat"));
  EXPECT_EQ(0, TempFilesIn(dir) + TempFilesIn(dir + "real"));
  // A link to a name not yet taken creates the file there.
  fs::create_symlink("real/new.dat", dir + "fresh");
  ASSERT_TRUE(plat::WriteFileAtomic(dir + "fresh", first));
  EXPECT_TRUE(fs::is_symlink(dir + "fresh"));
  EXPECT_EQ(first, ReadAll(dir + "real/new.dat"));
  // A link to what is no regular file is replaced, never written through.
  ASSERT_EQ(0, ::mkfifo((dir + "fifo").c_str(), 0600));
  fs::create_symlink(dir + "fifo", dir + "odd");
  ASSERT_TRUE(plat::WriteFileAtomic(dir + "odd", first));
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir + "odd")));
  EXPECT_TRUE(fs::is_fifo(dir + "fifo"));
  EXPECT_EQ(first, ReadAll(dir + "odd"));
}

TEST(WriteFileAtomicTest, KeepsTheFilesPermissionsAndFailsCleanlyWhereItCannotWrite) {
  const std::string dir = testing_support::TempFolder("modes");
  const std::string path = dir + "ductora.dat";
  const mode_t mask = ::umask(022);
  ASSERT_TRUE(plat::WriteFileAtomic(path, Bytes(69, 'x')));
  EXPECT_EQ(0644u, static_cast<unsigned>(fs::status(path).permissions() & fs::perms::mask));
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(plat::WriteFileAtomic(path, Bytes(69, 'y')));
  EXPECT_EQ(0640u, static_cast<unsigned>(fs::status(path).permissions() & fs::perms::mask));
  ::umask(mask);
  EXPECT_FALSE(plat::WriteFileAtomic(dir + "no-such-folder/ductora.dat", Bytes(69, 'z')));
  fs::create_directory(dir + "folder");
  EXPECT_FALSE(plat::WriteFileAtomic(dir + "folder", Bytes(69, 'z')));
  EXPECT_TRUE(fs::is_directory(dir + "folder"));
  EXPECT_EQ(0, TempFilesIn(dir));
}

}  // namespace
