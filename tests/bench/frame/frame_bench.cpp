// SPDX-License-Identifier: Zlib
// What a frame costs, against a bare copy of the whole screen: the real
// game played through the headless back end on the title, in course play
// and in the endless mode, each timed by processor time over a stretch of
// steady frames, with the heap allocations made in that stretch counted.
//
//   ductora_frame_bench [RUNS]
//
// Each run of a mode is a child process that starts the game from the
// build's program folder with a script of its own and reports from the
// frame hook; the bare copy (a 704 KiB memcpy, the size of the 512 x 352
// screen) is timed in this process between the runs, so that both see the
// same load on the machine. Prints the medians over RUNS runs.
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "platform/headless/runner.h"
#include "platform/platform.h"
#include "shell/gamestate.h"
#include "shell/mainmodule.h"
#include "shell/savedata.h"

// ------------------------------------------------------------ heap counter

namespace {
long AllocationCount = 0;
}

void* operator new(std::size_t size) {
  ++AllocationCount;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr size_t kScreenBytes = 512 * 352 * 4;

double CpuNs() {
  timespec ts;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return ts.tv_sec * 1e9 + ts.tv_nsec;
}

struct Mode {
  const char* Name;
  bool AllCoursesCleared;  // the endless mode is only offered then
  int64_t From, To;        // the frames timed: From <= frame < To
  std::string Script;
};

std::string CourseScript() {
  // Z, Z: one player, course A; from frame 400 the cursor moves and lays
  // pieces; the water enters the first of them before frame 1800 and the
  // stage is still on at frame 2200.
  std::string s = "20 Z tap\n90 Z tap\n";
  const char* keys[] = {"Right", "Z", "Down", "Z", "Right", "Down", "Z", "Left", "Up", "Z"};
  for (int f = 400, i = 0; f < 2500; f += 13, ++i)
    s += std::to_string(f) + " " + keys[i % 10] + " tap\n";
  return s;
}

std::string EndlessScript() {
  // Z, Up, Z: the endless mode (on from frame 192); pieces shifted to a
  // column, sometimes turned, dropped with Down held, one every 120 frames.
  std::string s = "20 Z tap\n101 Up tap\n130 Z tap\n";
  const int column[] = {0, 6, 1, 5, 2, 4, 3, 0, 6, 2, 5, 1, 4, 6, 0, 3};
  for (int p = 0; p < 36; ++p) {
    const int f = 200 + 120 * p, shift = column[p % 16] - 3;
    for (int i = 0; i < std::abs(shift); ++i)
      s += std::to_string(f + 2 + 3 * i) + (shift < 0 ? " Left tap\n" : " Right tap\n");
    if (p % 3 == 1) s += std::to_string(f + 12) + " Z tap\n";
    if (p % 5 == 2) s += std::to_string(f + 14) + " X tap\n";
    s += std::to_string(f + 16) + " Down down\n" + std::to_string(f + 70) + " Down up\n";
  }
  return s;
}

// What a child reports through its pipe.
struct Report {
  double NsPerFrame;
  long Allocations;
  int64_t Frames;
};

const Mode* Current = nullptr;
int ReportFd = -1;
double StartNs = 0;
long StartAllocations = 0;

void OnFrame(int64_t frame) {
  if (frame == Current->From) {
    StartAllocations = AllocationCount;
    StartNs = CpuNs();
  } else if (frame == Current->To) {
    const double ns = CpuNs() - StartNs;
    const int64_t frames = Current->To - Current->From;
    Report r{ns / static_cast<double>(frames), AllocationCount - StartAllocations, frames};
    if (write(ReportFd, &r, sizeof r) != static_cast<ssize_t>(sizeof r)) _exit(3);
    _exit(0);
  }
}

[[noreturn]] void RunChild(const Mode& mode, const std::string& root, int fd) {
  std::string error;
  headless::Options options;
  options.Root = root;
  options.Frames = mode.To + 10;
  options.PicturesForShotsOnly = true;  // as the runner does
  if (!headless::LoadScript(mode.Script, error) || !headless::Configure(options, error)) {
    std::fprintf(stderr, "frame bench: %s\n", error.c_str());
    _exit(2);
  }
  game::DataPath = root + "data/";
  game::SetDefaultSaveData(game::SaveData);
  game::SaveData.ClearedMask = mode.AllCoursesCleared ? 7 : 0;
  game::WriteSaveData();
  Current = &mode;
  ReportFd = fd;
  headless::SetFrameHook(OnFrame);
  game::Main();
}

bool RunMode(const Mode& mode, const std::string& root, Report& out) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    close(fds[0]);
    RunChild(mode, root, fds[1]);
  }
  close(fds[1]);
  const bool got = read(fds[0], &out, sizeof out) == static_cast<ssize_t>(sizeof out);
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return got && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Processor time of one bare screen copy, the best of ten batches.
double CopyNs() {
  std::vector<unsigned char> a(kScreenBytes, 1), b(kScreenBytes, 2);
  double best = 1e18;
  for (int batch = 0; batch < 10; ++batch) {
    const double t0 = CpuNs();
    for (int i = 0; i < 200; ++i) {
      std::memcpy(i % 2 ? a.data() : b.data(), i % 2 ? b.data() : a.data(), kScreenBytes);
      asm volatile("" : : "r"(a.data()), "r"(b.data()) : "memory");
    }
    best = std::min(best, (CpuNs() - t0) / 200);
  }
  return best;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[(v.size() - 1) / 2];
}

// A program folder of its own: the build's stages and sounds, a save file.
std::string MakeRoot(const std::filesystem::path& build) {
  char pattern[] = "/tmp/ductora-frame-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return "";
  const std::filesystem::path root = pattern;
  std::error_code ec;
  std::filesystem::create_directories(root / "data", ec);
  std::filesystem::create_directory_symlink(build / "data" / "stage", root / "data" / "stage", ec);
  std::filesystem::create_directory_symlink(build / "sound", root / "sound", ec);
  return root.string() + "/";
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  std::error_code ec;
  const std::filesystem::path build =
      std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
  if (!std::filesystem::is_directory(build / "data" / "stage")) {
    std::fprintf(stderr, "frame bench: no data/stage beside %s\n", build.c_str());
    return 1;
  }
  const std::string root = MakeRoot(build);
  if (root.empty()) return 1;
  const Mode modes[] = {
      {"title", false, 200, 1700, ""},
      {"course play", false, 600, 2200, CourseScript()},
      {"endless", true, 400, 4400, EndlessScript()},
  };
  std::vector<double> copies;
  std::vector<double> cost[3];
  long allocations[3] = {0, 0, 0};
  int64_t frames[3] = {0, 0, 0};
  for (int r = 0; r < runs; ++r) {
    for (int m = 0; m < 3; ++m) {
      copies.push_back(CopyNs());
      Report report{};
      if (!RunMode(modes[m], root, report)) {
        std::fprintf(stderr, "frame bench: the %s run did not finish\n", modes[m].Name);
        std::filesystem::remove_all(root, ec);
        return 1;
      }
      cost[m].push_back(report.NsPerFrame);
      allocations[m] = std::max(allocations[m], report.Allocations);
      frames[m] = report.Frames;
    }
  }
  std::filesystem::remove_all(root, ec);
  const double copy = Median(copies);
  std::printf("processor time, medians of %d runs; load average at the end: ", runs);
  double load[3] = {0, 0, 0};
  if (getloadavg(load, 3) == 3) std::printf("%.2f %.2f %.2f", load[0], load[1], load[2]);
  std::printf("\n%-12s %10.1f us\n", "frame copy", copy / 1000);
  for (int m = 0; m < 3; ++m)
    std::printf("%-12s %10.1f us a frame  %5.2f frame copies  %ld allocations in %lld frames\n",
                modes[m].Name, Median(cost[m]) / 1000, Median(cost[m]) / copy, allocations[m],
                static_cast<long long>(frames[m]));
  return 0;
}
