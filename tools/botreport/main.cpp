// SPDX-License-Identifier: Zlib
// botreport: how hard the stages are for a competent player. The bot plays
// every stage of each course file for many seeds, one player and two, and
// the report gives per stage the clear rate, the median score and the
// median time the water still had to run when the route was closed; per
// course a summary. With --check N it only asks whether every stage is
// cleared by one player on at least one of N seeds.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "stageharness.h"

namespace {

constexpr double kFrameSeconds = 0.017;

struct Options {
  std::string Root = ".";
  int32_t Seeds = 50;
  int32_t CheckSeeds = 0;  // > 0: the check instead of the report
  bool One = true;
  bool Two = true;
  std::vector<std::string> Files;
};

struct StageLine {
  int32_t Clears = 0;
  int32_t Runs = 0;
  int32_t MedianScore = 0;
  double MedianSeconds = 0;
};

int Usage() {
  std::fprintf(stderr,
               "usage: botreport [--root DIR] [--seeds N] [--players 1|2|both] [COURSEFILE...]\n"
               "       botreport [--root DIR] --check N [COURSEFILE...]\n"
               "Without course files: DIR/data/stage/course0.dat .. course2.dat.\n");
  return 2;
}

bool WholeNumber(const char* text, int32_t& n) {
  if (*text == '\0' || std::strlen(text) > 6) return false;
  n = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return false;
    n = n * 10 + (*c - '0');
  }
  return n > 0;
}

bool ParseArgs(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool valued = a == "--root" || a == "--seeds" || a == "--players" || a == "--check";
    if (valued && i + 1 >= argc) return false;
    if (a == "--root") {
      o.Root = argv[++i];
    } else if (a == "--seeds") {
      if (!WholeNumber(argv[++i], o.Seeds)) return false;
    } else if (a == "--check") {
      if (!WholeNumber(argv[++i], o.CheckSeeds)) return false;
    } else if (a == "--players") {
      const std::string v = argv[++i];
      if (v != "1" && v != "2" && v != "both") return false;
      o.One = v != "2";
      o.Two = v != "1";
    } else if (!a.empty() && a[0] == '-') {
      return false;
    } else {
      o.Files.push_back(a);
    }
  }
  if (o.Files.empty())
    for (int c = 0; c < 3; ++c)
      o.Files.push_back(o.Root + "/data/stage/course" + std::to_string(c) + ".dat");
  return true;
}

template <typename T>
T Median(std::vector<T> v) {
  if (v.empty()) return T{};
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

StageLine MeasureStage(const std::string& file, int32_t stage, int32_t players, int32_t seeds) {
  StageLine line;
  std::vector<int32_t> scores;
  std::vector<double> seconds;
  for (int32_t seed = 1; seed <= seeds; ++seed) {
    const report::Attempt a = report::PlayOnce(file, stage, players, static_cast<uint32_t>(seed));
    ++line.Runs;
    scores.push_back(a.Score);
    if (!a.Cleared) continue;
    ++line.Clears;
    seconds.push_back(a.MarginFrames < 0 ? 0 : a.MarginFrames * kFrameSeconds);
  }
  line.MedianScore = Median(scores);
  line.MedianSeconds = Median(seconds);
  return line;
}

// Finishing the course with two lives: at most one failed attempt in all.
double CourseChance(const std::vector<double>& rates) {
  double all = 1, spare = 1;
  for (double p : rates) {
    all *= p;
    spare += 1 - p;
  }
  return all * spare;
}

void ReportCourse(const std::string& file, int32_t players, int32_t seeds) {
  const int32_t stages = report::StagesIn(file);
  std::printf("\n%s, %d player%s, %d seeds\n\n", file.c_str(), players, players == 2 ? "s" : "",
              seeds);
  std::printf("| stage | clear rate | median score | median time left |\n");
  std::printf("|------:|-----------:|-------------:|-----------------:|\n");
  std::vector<double> rates, secondsLeft;
  double sum = 0;
  for (int32_t s = 0; s < stages; ++s) {
    const StageLine l = MeasureStage(file, s, players, seeds);
    const double rate = l.Runs > 0 ? static_cast<double>(l.Clears) / l.Runs : 0;
    rates.push_back(rate);
    secondsLeft.push_back(l.MedianSeconds);
    sum += rate;
    std::printf("| %5d | %9.0f%% | %12d | %14.1f s |\n", s + 1, 100 * rate, l.MedianScore,
                l.MedianSeconds);
    std::fflush(stdout);
  }
  // The hardest stage is the one cleared least often; among stages cleared
  // as often, the one that leaves the least time, so that a course every
  // stage of which is always cleared still names its tightest.
  size_t hardest = 0;
  for (size_t s = 1; s < rates.size(); ++s)
    if (rates[s] < rates[hardest] ||
        (rates[s] == rates[hardest] && secondsLeft[s] < secondsLeft[hardest]))
      hardest = s;
  std::printf(
      "\nsummary: mean clear rate %.0f%%, hardest stage %d (%.0f%%, %.1f s left), "
      "chance to finish the course with two lives %.0f%%\n",
      stages > 0 ? 100 * sum / stages : 0.0, stages > 0 ? static_cast<int>(hardest) + 1 : 0,
      stages > 0 ? 100 * rates[hardest] : 0.0, stages > 0 ? secondsLeft[hardest] : 0.0,
      100 * CourseChance(rates));
}

// The first seed on which one player clears the stage, or 0.
int32_t FirstClear(const std::string& file, int32_t stage, int32_t seeds) {
  for (int32_t seed = 1; seed <= seeds; ++seed)
    if (report::PlayOnce(file, stage, 1, static_cast<uint32_t>(seed)).Cleared) return seed;
  return 0;
}

int Check(const Options& o) {
  int failures = 0;
  for (const std::string& file : o.Files) {
    const int32_t stages = report::StagesIn(file);
    if (stages == 0) {
      std::printf("FAIL: %s holds no stage\n", file.c_str());
      ++failures;
    }
    for (int32_t s = 0; s < stages; ++s) {
      const int32_t seed = FirstClear(file, s, o.CheckSeeds);
      if (seed == 0) {
        std::printf("FAIL: %s stage %d: not cleared on any of %d seeds\n", file.c_str(), s + 1,
                    o.CheckSeeds);
        ++failures;
      } else {
        std::printf("ok: %s stage %d cleared on seed %d\n", file.c_str(), s + 1, seed);
      }
    }
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseArgs(argc, argv, o)) return Usage();
  std::string error;
  if (!report::OpenGame(o.Root, error)) {
    std::fprintf(stderr, "botreport: %s\n", error.c_str());
    return 2;
  }
  if (o.CheckSeeds > 0) return Check(o);
  for (const std::string& file : o.Files) {
    if (report::StagesIn(file) == 0) {
      std::fprintf(stderr, "botreport: %s holds no stage\n", file.c_str());
      return 2;
    }
    if (o.One) ReportCourse(file, 1, o.Seeds);
    if (o.Two) ReportCourse(file, 2, o.Seeds);
  }
  return 0;
}
