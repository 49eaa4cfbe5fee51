// SPDX-License-Identifier: Zlib
// The bounded read: exact limits, the prefix of a long file, and files that
// are not what they seem, each read under a watchdog so that a read that
// would block fails the test instead of hanging it.
#include "platform/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using plat::FileRead;
using Bytes = std::vector<uint8_t>;

// Reads path within a generous time for a loaded machine; a read still
// waiting then ends the test program, as it can be neither joined nor killed.
FileRead ReadWithin(const std::string& path, size_t limit, Bytes& out) {
  auto read = std::async(std::launch::async, [&] { return plat::ReadFileUpTo(path, limit, out); });
  if (read.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
    ADD_FAILURE() << "reading " << path << " still waits after 60 s";
    std::_Exit(1);
  }
  return read.get();
}

Bytes Pattern(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; i++) b[i] = static_cast<uint8_t>(i * 7 + 3);
  return b;
}

void WriteFile(const std::string& path, const Bytes& b) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

TEST(ReadFileUpToTest, ReadsWholeFilesUpToTheLimitAndOnlyThePrefixOfLongerOnes) {
  const std::string dir = testing_support::TempFolder("files");
  // Sizes around the limit and around the reader's 64 KiB chunk.
  const size_t limit = 65536 + 5;
  for (size_t size : {size_t{0}, size_t{1}, size_t{69}, size_t{65536}, limit - 1, limit, limit + 1,
                      size_t{200000}}) {
    const Bytes data = Pattern(size);
    WriteFile(dir + "f", data);
    Bytes out{9, 9};
    const FileRead got = ReadWithin(dir + "f", limit, out);
    if (size <= limit) {
      EXPECT_EQ(FileRead::Ok, got) << size;
      EXPECT_EQ(data, out) << size;
    } else {
      EXPECT_EQ(FileRead::TooLarge, got) << size;
      EXPECT_EQ(Bytes(data.begin(), data.begin() + static_cast<long>(limit)), out) << size;
    }
  }
  // A limit of nothing: an empty file fits, any byte is too many.
  WriteFile(dir + "f", Bytes{});
  Bytes out;
  EXPECT_EQ(FileRead::Ok, ReadWithin(dir + "f", 0, out));
  WriteFile(dir + "f", Bytes{1});
  EXPECT_EQ(FileRead::TooLarge, ReadWithin(dir + "f", 0, out));
  EXPECT_TRUE(out.empty());
}

TEST(ReadFileUpToTest, AHugeSparseFileGivesItsPrefixAtOnce) {
  const std::string path = testing_support::TempFolder("files") + "huge";
  WriteFile(path, Pattern(69));
  // 1 GiB of tail that takes no disk; reading it whole would take seconds
  // and a gigabyte of memory.
  std::filesystem::resize_file(path, std::uintmax_t{1} << 30);
  Bytes out;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(FileRead::TooLarge, ReadWithin(path, 69, out));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(Pattern(69), out);
}

TEST(ReadFileUpToTest, WhatIsNoRegularFileIsRefusedWithoutWaitingAndLeavesOutAlone) {
  const std::string dir = testing_support::TempFolder("files");
  ASSERT_EQ(0, ::mkfifo((dir + "fifo").c_str(), 0600));
  std::filesystem::create_symlink("/dev/zero", dir + "zero");
  std::filesystem::create_directory(dir + "folder");
  std::filesystem::create_symlink(dir + "gone", dir + "dangling");
  WriteFile(dir + "plain", Pattern(3));
  struct Case {
    std::string Path;
    FileRead Want;
  };
  const Case cases[] = {
      {dir + "fifo", FileRead::NotRegular},   {dir + "zero", FileRead::NotRegular},
      {dir + "folder", FileRead::NotRegular}, {dir + "missing", FileRead::Missing},
      {dir + "dangling", FileRead::Missing},  {dir + "plain/below", FileRead::Missing},
      {"/dev/null", FileRead::NotRegular},
  };
  for (const Case& c : cases) {
    Bytes out{1, 2, 3};
    EXPECT_EQ(c.Want, ReadWithin(c.Path, 1 << 20, out)) << c.Path;
    EXPECT_EQ((Bytes{1, 2, 3}), out) << c.Path;
  }
  // A FIFO with a writer that never writes (O_RDWR opens without waiting
  // for a reader, on Linux) must not wait for it either.
  const int writer = ::open((dir + "fifo").c_str(), O_RDWR);
  ASSERT_GE(writer, 0);
  Bytes out;
  EXPECT_EQ(FileRead::NotRegular, ReadWithin(dir + "fifo", 1 << 20, out));
  ::close(writer);
}

TEST(ReadFileUpToTest, AFileTheUserMayNotReadIsUnreadable) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  const std::string path = testing_support::TempFolder("files") + "locked";
  WriteFile(path, Pattern(10));
  ASSERT_EQ(0, ::chmod(path.c_str(), 0));
  Bytes out;
  EXPECT_EQ(FileRead::Unreadable, ReadWithin(path, 100, out));
}

}  // namespace
