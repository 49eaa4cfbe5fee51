// SPDX-License-Identifier: Zlib
// Collects the outside events of the game (messages shown, saves) through
// the headless back end's event log, so a test can check them.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/headless/runner.h"
#include "test_support.h"

namespace testutil {

class EventCapture {
 public:
  EventCapture() : path_(testing_support::TempFolder("events") + "events.log") {
    headless::Reset();
    headless::Options o;
    o.EventsFile = path_;
    std::string error;
    headless::Configure(o, error);
  }
  ~EventCapture() {
    headless::Reset();
    std::remove(path_.c_str());
  }
  // Ends the capture: the events logged, without their frame numbers.
  std::vector<std::string> Finish() {
    headless::Reset();  // closes and so flushes the log
    std::vector<std::string> out;
    std::ifstream in(path_);
    for (std::string line; std::getline(in, line);) out.push_back(line.substr(line.find(' ') + 1));
    return out;
  }

 private:
  std::string path_;
};

inline std::string Message(const std::string& text) { return "message " + text; }

}  // namespace testutil
