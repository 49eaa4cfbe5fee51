// SPDX-License-Identifier: Zlib
// The editor's live verdict on a stage: the game's record checks, then the
// stage compiler's search for a route, run a slice each frame so that the
// editor never waits for it. A new stage given drops the search before it.
#pragma once

#include <cstdint>
#include <string>

#include "puzzle/solver.h"
#include "puzzle/stagerecord.h"

namespace puzzle {

// As many search steps as the stage compiler gives a stage, so that the
// verdict and the compiler agree.
constexpr int64_t kVerdictNodes = 400000;
// Search steps per frame: a slice costs well under a frame on a slow
// machine (see tests/bench/verdict_bench.cpp).
constexpr int64_t kVerdictSlice = 4000;

enum class VerdictKind : uint8_t {
  Fault,      // the record checks fail
  Looking,    // the search is not done
  Clearable,  // a route that one and two players can clear
  NoRoute,    // every route examined: none
  GaveUp,     // the search ran out of steps without a route
};

struct Verdict {
  VerdictKind Kind;
  StageFault Fault;
  RouteInfo Route;  // the shortest route, when clearable
};

void StartVerdict(const StageInfo& s);
// One frame's slice of the search (nothing when it is done).
void StepVerdict(int64_t steps = kVerdictSlice);
const Verdict& CurrentVerdict();
// "NO DRAIN", "STILL LOOKING", "CLEARABLE 13 CELLS 45.4 S", "NO ROUTE".
std::string VerdictLabel(const Verdict& v);

}  // namespace puzzle
