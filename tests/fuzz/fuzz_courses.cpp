// SPDX-License-Identifier: Zlib
// The player's course folder: any course file gets a verdict in words and
// any best-score file gives scores that write back to the same scores.
#include <cstdlib>
#include <vector>

#include "shell/coursefile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  const std::string problem = game::CourseProblem(bytes);
  if (problem.size() > 60) std::abort();
  int32_t best[2], again[2];
  if (!game::ParseBestScores(bytes, best)) return 0;
  if (best[0] < 0 || best[1] < 0) std::abort();
  if (!game::ParseBestScores(game::BestScoreBytes(best), again)) std::abort();
  if (again[0] != best[0] || again[1] != best[1]) std::abort();
  return 0;
}
