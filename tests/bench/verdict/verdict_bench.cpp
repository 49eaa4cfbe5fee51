// SPDX-License-Identifier: Zlib
// What the editor's live verdict costs a frame: the search of every shipped
// stage and of the hardest open boards, a slice of kVerdictSlice steps a
// frame as the editor runs it, with the longest slice in processor time
// (this thread's) and in wall time. A frame has 17 ms in all.
//
//   ductora_verdict_bench [PROGRAM-FOLDER]
#include <time.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "puzzle/board.h"
#include "puzzle/stageedit.h"
#include "puzzle/verdict.h"

namespace {

using namespace puzzle;

double Now(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Cost {
  int Frames = 0;
  double LongestCpu = 0, LongestWall = 0, TotalCpu = 0;
};

Cost Measure(const StageInfo& s, std::string& label) {
  Cost c;
  const double cpu0 = Now(CLOCK_THREAD_CPUTIME_ID), wall0 = Now(CLOCK_MONOTONIC);
  StartVerdict(s);  // the frame of the change: the checks and the set-up
  double cpu = Now(CLOCK_THREAD_CPUTIME_ID), wall = Now(CLOCK_MONOTONIC);
  c.LongestCpu = cpu - cpu0;
  c.LongestWall = wall - wall0;
  c.TotalCpu = c.LongestCpu;
  while (CurrentVerdict().Kind == VerdictKind::Looking) {
    const double a = Now(CLOCK_THREAD_CPUTIME_ID), w = Now(CLOCK_MONOTONIC);
    StepVerdict();
    cpu = Now(CLOCK_THREAD_CPUTIME_ID) - a;
    wall = Now(CLOCK_MONOTONIC) - w;
    c.Frames++;
    c.TotalCpu += cpu;
    if (cpu > c.LongestCpu) c.LongestCpu = cpu;
    if (wall > c.LongestWall) c.LongestWall = wall;
  }
  label = VerdictLabel(CurrentVerdict());
  return c;
}

// An empty board with the source and the drain in opposite corners, every
// group dealt, and a requirement that only a long route meets.
StageInfo OpenBoard(int required, bool wraps, bool warp) {
  StageInfo s{};
  BlankStage(s);
  SetCellKind(s, 0, 0, CHIP_SOURCE + DirRight);
  SetCellKind(s, 9, 7, CHIP_DRAIN + DirUp);
  const uint8_t shares[6] = {15, 25, 10, 10, 20, 20};
  for (int g = 0; g < 6; g++) s.SupplyCount[g] = shares[g];
  s.RequiredPipes = static_cast<uint8_t>(required);
  if (wraps) s.RowWrapMask = 0xFF, s.ColumnWrapMask = 0x3FF;
  if (warp) {
    SetCellKind(s, 4, 3, CHIP_WARP_IN + DirLeft);
    SetCellKind(s, 5, 6, CHIP_WARP_OUT + DirRight);
  }
  return s;
}

void Report(const std::string& name, const StageInfo& s, double& worst) {
  std::string label;
  const Cost c = Measure(s, label);
  std::printf("%-22s %5d frames  longest %6.2f ms cpu %6.2f ms wall  total %7.1f ms  %s\n",
              name.c_str(), c.Frames, c.LongestCpu, c.LongestWall, c.TotalCpu, label.c_str());
  if (c.LongestCpu > worst) worst = c.LongestCpu;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string root = argc > 1 ? argv[1] : ".";
  InitChipTable();
  double worst = 0;
  for (int course = 0; course < 3; course++) {
    const std::string path = root + "/data/stage/course" + std::to_string(course) + ".dat";
    std::ifstream f(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)),
                                     std::istreambuf_iterator<char>());
    if (bytes.empty()) {
      std::fprintf(stderr, "ductora_verdict_bench: cannot read %s\n", path.c_str());
      return 1;
    }
    for (size_t at = 0; at + kStageRecordSize <= bytes.size(); at += kStageRecordSize) {
      StageInfo s{};
      DecodeStage(bytes.data() + at, s);
      Report("course" + std::to_string(course) + " stage " + std::to_string(at / 110 + 1), s,
             worst);
    }
  }
  for (int required : {20, 40, 60, 70, 78}) {
    Report("open board need " + std::to_string(required), OpenBoard(required, false, false), worst);
  }
  Report("open, all wraps, 60", OpenBoard(60, true, false), worst);
  Report("open, warp, 60", OpenBoard(60, false, true), worst);
  Report("open, wraps+warp, 70", OpenBoard(70, true, true), worst);
  std::printf("longest slice of all: %.2f ms of processor time (slice %lld steps)\n", worst,
              static_cast<long long>(kVerdictSlice));
  return 0;
}
