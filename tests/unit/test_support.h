// SPDX-License-Identifier: Zlib
// Helpers for tests that run game code on the headless back end.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/headless/runner.h"
#include "puzzle/stagerecord.h"

namespace testing_support {

// The scratch folders a test made, removed when the test program ends; not
// by the forked child of a death test, whose parent goes on using them.
struct ScratchFolders {
  std::vector<std::string> Paths;
  pid_t Owner = ::getpid();
  ~ScratchFolders() {
    if (::getpid() != Owner) return;
    std::error_code ec;
    for (const std::string& p : Paths) std::filesystem::remove_all(p, ec);
  }
};

// A fresh folder of its own under $TMPDIR (or /tmp), with a trailing slash;
// no other test run, by this user or another, can share or pre-empt it.
inline std::string TempFolder(const std::string& tag) {
  static ScratchFolders made;
  const char* tmp = std::getenv("TMPDIR");
  std::string base = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
  std::string name = base + "/ductora-" + tag + "-XXXXXX";
  std::vector<char> buf(name.begin(), name.end());
  buf.push_back('\0');
  if (::mkdtemp(buf.data()) == nullptr) {
    std::perror(name.c_str());
    std::abort();
  }
  made.Paths.emplace_back(buf.data());
  return made.Paths.back() + "/";
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

// Restarts the headless back end with an event log in a temp file.
inline std::string StartLoggedRun(const std::string& tag) {
  headless::Reset();
  std::string log = TempFolder(tag) + "events.txt";
  headless::Options o;
  o.EventsFile = log;
  std::string err;
  headless::Configure(o, err);
  return log;
}

// Closes the event log so it can be read.
inline std::string FinishLoggedRun(const std::string& log) {
  headless::Reset();
  return ReadText(log);
}

// The stage records of a course the build compiled from content/stages,
// found in DUCTORA_RUNTIME_DIR or beside the test program. A file that is
// missing or holds a part record fails the test.
inline std::vector<puzzle::StageInfo> ShippedCourse(int course) {
  const char* env = std::getenv("DUCTORA_RUNTIME_DIR");
  const std::filesystem::path root =
      env != nullptr ? std::filesystem::path(env)
                     : std::filesystem::read_symlink("/proc/self/exe").parent_path();
  const std::filesystem::path path =
      root / "data" / "stage" / ("course" + std::to_string(course) + ".dat");
  std::ifstream f(path, std::ios::binary);
  EXPECT_TRUE(f) << path;
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)),
                                   std::istreambuf_iterator<char>());
  EXPECT_EQ(0u, bytes.size() % puzzle::kStageRecordSize) << path;
  std::vector<puzzle::StageInfo> stages(bytes.size() / puzzle::kStageRecordSize);
  for (size_t i = 0; i < stages.size(); i++)
    puzzle::DecodeStage(bytes.data() + i * puzzle::kStageRecordSize, stages[i]);
  return stages;
}

}  // namespace testing_support
