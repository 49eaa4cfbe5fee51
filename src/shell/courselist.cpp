// SPDX-License-Identifier: Zlib
#include "shell/courselist.h"

#include "platform/platform.h"
#include "puzzle/stage.h"
#include "puzzle/stageedit.h"
#include "puzzle/stagerecord.h"
#include "shell/editor.h"
#include "shell/menus.h"
#include "shell/safe_read.h"

namespace game {

namespace {

constexpr size_t kCourseBytesMax = size_t{puzzle::kMaxCourseStages} * puzzle::kStageRecordSize;
constexpr int32_t kShippedCourses = 3;

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// The font has only upper case, digits and some punctuation: anything
// else in a file name shows as '?'.
std::string Shown(const std::string& name) {
  std::string text = Upper(name);
  for (char& c : text)
    if (c < ' ' || c > 'Z') c = '?';
  return text;
}

std::string ReadProblem(plat::FileRead read) {
  switch (read) {
    case plat::FileRead::Missing:
      return "MISSING";
    case plat::FileRead::NotRegular:
      return "NOT A FILE";
    case plat::FileRead::TooLarge:
      return "MORE THAN 99 STAGES";
    default:
      return "UNREADABLE";
  }
}

PlayerCourse ReadPlayerCourse(const std::string& folder, const std::string& file) {
  PlayerCourse c;
  c.Name = Shown(file.substr(0, file.size() - 4));
  c.Path = folder + file;
  std::vector<uint8_t> bytes;
  const plat::FileRead read = ReadFileSafely(c.Path, kCourseBytesMax, bytes);
  c.Problem = read == plat::FileRead::Ok ? CourseProblem(bytes) : ReadProblem(read);
  c.Stages = static_cast<int32_t>(bytes.size() / puzzle::kStageRecordSize);
  return c;
}

std::vector<std::string> CourseFileNames() {
  return plat::ListFiles(PlayerCourseFolder(), ".dat", kMaxPlayerCourses);
}

std::string ShippedCourseName(int32_t course) {
  return "COURSE" + std::string(1, static_cast<char>('A' + course));
}

}  // namespace

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

std::vector<PlayerCourse> ListPlayerCourses() {
  std::vector<PlayerCourse> courses;
  const std::string folder = PlayerCourseFolder();
  for (const std::string& file : CourseFileNames())
    courses.push_back(ReadPlayerCourse(folder, file));
  return courses;
}

std::string FreeCourseName(const std::string& prefix, const std::vector<std::string>& names) {
  for (int32_t n = 1;; ++n) {
    const std::string name = prefix + std::to_string(n);
    bool taken = false;
    for (const std::string& file : names) taken = taken || Upper(file) == Upper(name + ".dat");
    if (!taken) return name;
  }
}

void EditStages() {
  const std::vector<std::string> names = CourseFileNames();
  const std::vector<PlayerCourse> courses = ListPlayerCourses();
  const std::string fresh = FreeCourseName("MYCOURSE", names);
  std::vector<ListItem> items;
  items.push_back({"NEW COURSE", "AS " + fresh, false});
  for (const PlayerCourse& c : courses)
    items.push_back(
        {c.Name, c.Problem.empty() ? std::to_string(c.Stages) + " STAGES" : c.Problem, false});
  std::string copies[kShippedCourses];
  for (int32_t i = 0; i < kShippedCourses; ++i) {
    copies[i] = FreeCourseName(ShippedCourseName(i) + "-", names);
    items.push_back(
        {"COPY OF COURSE " + std::string(1, static_cast<char>('A' + i)), "AS " + copies[i], false});
  }
  items.push_back({"BACK TO THE TITLE", "", false});
  const auto line = static_cast<size_t>(ListMenu("EDIT STAGES", items));
  const std::string folder = PlayerCourseFolder();
  if (line == 0) {
    EditCourseFileAs(folder + fresh + ".dat", folder + fresh + ".dat");
  } else if (line <= courses.size()) {
    EditCourseFileAs(courses[line - 1].Path, courses[line - 1].Path);
  } else if (line + 1 < items.size()) {
    const auto course = static_cast<int32_t>(line - 1 - courses.size());
    EditCourseFileAs(puzzle::CourseFilePath(course), folder + copies[course] + ".dat");
  }
}

}  // namespace game
