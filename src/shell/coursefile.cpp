// SPDX-License-Identifier: Zlib
#include "shell/coursefile.h"

#include <string_view>

#include "puzzle/stageedit.h"
#include "puzzle/stagerecord.h"

namespace game {

namespace {

constexpr int32_t kScoreDigitsMax = 9;

// "1P 12345" or "2P 0": the player count and the score, or false.
bool ParseBestLine(std::string_view line, int32_t& players, int32_t& score) {
  if (line.size() < 4 || line.size() > 3 + kScoreDigitsMax) return false;
  if ((line[0] != '1' && line[0] != '2') || line[1] != 'P' || line[2] != ' ') return false;
  int32_t value = 0;
  for (char c : line.substr(3)) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  players = line[0] - '0';
  score = value;
  return true;
}

}  // namespace

std::string UpperCase(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

std::string CourseProblem(const std::vector<uint8_t>& bytes) {
  const size_t stages = bytes.size() / puzzle::kStageRecordSize;
  if (bytes.empty()) return "EMPTY FILE";
  if (bytes.size() % puzzle::kStageRecordSize != 0) return "CUT SHORT";
  if (stages > static_cast<size_t>(puzzle::kMaxCourseStages)) return "MORE THAN 99 STAGES";
  for (size_t i = 0; i < stages; ++i) {
    puzzle::StageInfo s;
    puzzle::DecodeStage(bytes.data() + i * puzzle::kStageRecordSize, s);
    const puzzle::StageFault fault = puzzle::FindStageFault(s);
    if (fault.Kind != puzzle::StageFaultKind::None)
      return "STAGE " + std::to_string(i + 1) + ": " + puzzle::FaultLabel(fault);
  }
  return "";
}

std::string BestFilePath(const std::string& coursePath) {
  std::string path = coursePath;
  if (path.size() > 4 && path.compare(path.size() - 4, 4, ".dat") == 0)
    path.resize(path.size() - 4);
  return path + ".best";
}

bool ParseBestScores(const std::vector<uint8_t>& bytes, int32_t best[2]) {
  best[0] = best[1] = 0;
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  bool any = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    int32_t players = 0, score = 0;
    if (ParseBestLine(text.substr(start, end - start), players, score)) {
      best[players - 1] = score;
      any = true;
    }
    start = end + 1;
  }
  return any;
}

std::vector<uint8_t> BestScoreBytes(const int32_t best[2]) {
  const std::string text =
      "1P " + std::to_string(best[0]) + "\n2P " + std::to_string(best[1]) + "\n";
  return std::vector<uint8_t>(text.begin(), text.end());
}

std::string FreeCourseName(const std::string& prefix, const std::vector<std::string>& names) {
  for (int32_t n = 1;; ++n) {
    const std::string name = prefix + std::to_string(n);
    bool taken = false;
    for (const std::string& file : names)
      taken = taken || UpperCase(file) == UpperCase(name + ".dat");
    if (!taken) return name;
  }
}

}  // namespace game
