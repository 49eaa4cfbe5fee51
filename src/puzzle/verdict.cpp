// SPDX-License-Identifier: Zlib
#include "puzzle/verdict.h"

#include <cstdio>

namespace puzzle {

namespace {

Verdict Now{};

void TakeOutcome() {
  const SolveResult& r = SolveOutcome();
  if (r.Found) {
    Now.Kind = VerdictKind::Clearable;
    Now.Route = r.Shortest;
  } else {
    Now.Kind = r.Exhausted ? VerdictKind::NoRoute : VerdictKind::GaveUp;
  }
}

}  // namespace

void StartVerdict(const StageInfo& s) {
  Now = Verdict{};
  Now.Fault = FindStageFault(s);
  if (Now.Fault.Kind != StageFaultKind::None) {
    StopSolve();
    Now.Kind = VerdictKind::Fault;
    return;
  }
  Now.Kind = VerdictKind::Looking;
  StartSolve(s, kVerdictNodes);
}

void StepVerdict(int64_t steps) {
  if (Now.Kind != VerdictKind::Looking) return;
  if (ContinueSolve(steps)) TakeOutcome();
}

const Verdict& CurrentVerdict() { return Now; }

std::string VerdictLabel(const Verdict& v) {
  switch (v.Kind) {
    case VerdictKind::Fault:
      return FaultLabel(v.Fault);
    case VerdictKind::Looking:
      return "STILL LOOKING";
    case VerdictKind::NoRoute:
      return "NO ROUTE";
    case VerdictKind::GaveUp:
      return "NO ROUTE FOUND";
    case VerdictKind::Clearable:
      break;
  }
  char text[48];
  std::snprintf(text, sizeof text, "CLEARABLE %d CELLS %.1f S", v.Route.Cells,
                v.Route.Frames * 17 / 1000.0);
  return text;
}

}  // namespace puzzle
