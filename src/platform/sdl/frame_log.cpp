// SPDX-License-Identifier: Zlib
#include "platform/sdl/frame_log.h"

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace plat::framelog {

namespace {

// 74 minutes of 17 ms frames. The buffer is allocated when the log is on;
// its pages are only touched as frames fill it.
constexpr size_t kCapacity = size_t{1} << 18;

struct FrameRecord {
  int64_t Ns;
  int64_t DeadlineMs;
};

struct Log {
  std::string Path;
  FrameRecord* Frames = nullptr;
  size_t Count = 0;
  uint64_t Dropped = 0;
  int64_t FirstShownRealUs = 0;
  int64_t FirstShownBootNs = 0;
  char RendererName[32] = "none";
};

int64_t ClockNs(clockid_t id) {
  timespec ts;
  clock_gettime(id, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// The process's start time in nanoseconds of CLOCK_BOOTTIME, in whole clock
// ticks as /proc reports it (field 22 of /proc/self/stat); -1 if unreadable.
int64_t ProcessStartBootNs() {
  FILE* f = std::fopen("/proc/self/stat", "r");
  if (f == nullptr) return -1;
  char buf[1024];
  size_t n = std::fread(buf, 1, sizeof buf - 1, f);
  std::fclose(f);
  buf[n] = '\0';
  // The command name in parentheses may hold spaces; fields count from ')'.
  const char* p = std::strrchr(buf, ')');
  if (p == nullptr) return -1;
  unsigned long long start = 0;
  // After ')': state (3), then fields 4 .. 21, then starttime (22).
  if (std::sscanf(
          p + 1,
          " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %llu",
          &start) != 1)
    return -1;
  const long ticks = sysconf(_SC_CLK_TCK);
  if (ticks <= 0) return -1;
  return static_cast<int64_t>(start) * (1000000000 / ticks);
}

void Write();

Log* TheLog() {
  static Log* const log = []() -> Log* {
    const char* path = std::getenv("DUCTORA_FRAME_LOG");
    if (path == nullptr || *path == '\0') return nullptr;
    auto* l = new Log;
    l->Path = path;
    l->Frames = static_cast<FrameRecord*>(std::malloc(kCapacity * sizeof(FrameRecord)));
    if (l->Frames == nullptr) {
      std::fprintf(stderr, "Ductora Fiesta: no memory for the frame log\n");
      delete l;
      return nullptr;
    }
    std::atexit(Write);
    return l;
  }();
  return log;
}

void Write() {
  Log* l = TheLog();
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  FILE* f = std::fopen(l->Path.c_str(), "w");
  if (f == nullptr) {
    std::fprintf(stderr, "Ductora Fiesta: cannot write the frame log %s\n", l->Path.c_str());
    return;
  }
  std::fprintf(f, "renderer %s\n", l->RendererName);
  if (l->FirstShownRealUs != 0) {
    std::fprintf(f, "first-shown-realtime-us %lld\n", static_cast<long long>(l->FirstShownRealUs));
    if (int64_t start = ProcessStartBootNs(); start >= 0)
      std::fprintf(f, "first-shown-after-start-ms %lld\n",
                   static_cast<long long>((l->FirstShownBootNs - start) / 1000000));
  }
  std::fprintf(f, "peak-rss-kb %ld\n", usage.ru_maxrss);
  std::fprintf(f, "frames %zu\nframes-dropped %llu\n", l->Count,
               static_cast<unsigned long long>(l->Dropped));
  for (size_t i = 0; i < l->Count; ++i)
    std::fprintf(f, "frame %lld %lld\n", static_cast<long long>(l->Frames[i].Ns),
                 static_cast<long long>(l->Frames[i].DeadlineMs));
  std::fclose(f);
}

}  // namespace

bool Enabled() { return TheLog() != nullptr; }

void Mark(int64_t nowNs, int64_t deadlineMs) {
  Log* l = TheLog();
  if (l == nullptr) return;
  if (l->Count < kCapacity)
    l->Frames[l->Count++] = {nowNs, deadlineMs};
  else
    ++l->Dropped;
}

void Shown() {
  Log* l = TheLog();
  if (l == nullptr || l->FirstShownRealUs != 0) return;
  l->FirstShownBootNs = ClockNs(CLOCK_BOOTTIME);
  l->FirstShownRealUs = ClockNs(CLOCK_REALTIME) / 1000;
}

void Renderer(const char* name) {
  Log* l = TheLog();
  if (l == nullptr) return;
  std::snprintf(l->RendererName, sizeof l->RendererName, "%s", name);
}

}  // namespace plat::framelog
