// SPDX-License-Identifier: Zlib
// Helpers for tests that run game code on the headless back end.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/headless/runner.h"

namespace testing_support {

// A fresh folder under /tmp, removed by the caller when it wants.
inline std::string TempFolder(const std::string& tag) {
  std::string path = "/tmp/ductora-test-" + tag + "-" + std::to_string(::getpid());
  std::string cmd = "rm -rf '" + path + "' && mkdir -p '" + path + "'";
  if (std::system(cmd.c_str()) != 0) return "/tmp";
  return path + "/";
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

}  // namespace testing_support
