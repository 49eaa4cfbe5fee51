// SPDX-License-Identifier: Zlib
// The headless runner: scripted input, a virtual clock, screenshots, an
// event log and a state file, so the real game can be played by tests.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/cmdline.h"
#include "platform/platform.h"

namespace headless {

using Options = plat::RunnerOptions;

// Reads a command line and keeps the runner's options of it;
// false with a message for a bad one.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error);
// Reads an input script; false with "line N: ..." for a bad line.
bool LoadScript(const std::string& text, std::string& error);
// Applies the options to the back end (after the script is loaded).
bool Configure(const Options& options, std::string& error);

// Frames counted so far (WaitFrame calls) and the picture last shown.
int64_t CurrentFrame();
const plat::Surface& LastShown();
bool WritePng(const plat::Surface& s, const std::string& path);
// Called after every frame with the frames counted so far (benchmarks time
// stretches of play with it); nullptr turns it off.
void SetFrameHook(void (*hook)(int64_t frame));

// Puts the back end back in its first state (for tests in one process).
void Reset();

}  // namespace headless
