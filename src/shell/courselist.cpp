// SPDX-License-Identifier: Zlib
#include "shell/courselist.h"

#include "platform/platform.h"
#include "puzzle/stage.h"
#include "puzzle/stageedit.h"
#include "puzzle/stagerecord.h"
#include "shell/editor.h"
#include "shell/gamestate.h"
#include "shell/menus.h"
#include "shell/safe_read.h"

namespace game {

namespace {

constexpr size_t kCourseBytesMax = size_t{puzzle::kMaxCourseStages} * puzzle::kStageRecordSize;
constexpr int32_t kShippedCourses = 3;
constexpr size_t kBestFileLimit = 64;  // two short lines

PlayerCourse Chosen;

// The font has only upper case, digits and some punctuation: anything
// else in a file name shows as '?'.
std::string Shown(const std::string& name) {
  std::string text = UpperCase(name);
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
  std::vector<uint8_t> best;
  if (ReadFileSafely(BestFilePath(c.Path), kBestFileLimit, best) == plat::FileRead::Ok)
    ParseBestScores(best, c.Best);
  return c;
}

std::string BestNote(const PlayerCourse& c) {
  return "BEST 1P " + std::to_string(c.Best[0]) + "  2P " + std::to_string(c.Best[1]);
}

// The name in its column, then the best score of the player count playing.
std::string BestLine(const PlayerCourse& c, int32_t players) {
  std::string text = c.Name.substr(0, 16);
  text.resize(17, ' ');
  return text + std::to_string(c.Best[players == 2 ? 1 : 0]);
}

std::vector<std::string> CourseFileNames() {
  return plat::ListFiles(PlayerCourseFolder(), ".dat", kMaxPlayerCourses);
}

std::string ShippedCourseName(int32_t course) {
  return "COURSE" + std::string(1, static_cast<char>('A' + course));
}

}  // namespace

std::vector<PlayerCourse> ListPlayerCourses() {
  std::vector<PlayerCourse> courses;
  const std::string folder = PlayerCourseFolder();
  for (const std::string& file : CourseFileNames())
    courses.push_back(ReadPlayerCourse(folder, file));
  return courses;
}

bool AnyPlayableCourse() {
  for (const PlayerCourse& c : ListPlayerCourses())
    if (c.Problem.empty()) return true;
  return false;
}

void RecordPlayerBest(const PlayerCourse& course, int32_t players, int32_t score) {
  int32_t best[2] = {course.Best[0], course.Best[1]};
  int32_t& entry = best[players == 2 ? 1 : 0];
  if (score <= entry) return;
  entry = score;
  if (!plat::WriteFileAtomic(BestFilePath(course.Path), BestScoreBytes(best)))
    plat::ShowMessage("cannot save the best score in " + BestFilePath(course.Path));
}

bool ChoosePlayerCourse() {
  const std::vector<PlayerCourse> courses = ListPlayerCourses();
  std::vector<ListItem> items;
  for (const PlayerCourse& c : courses)
    items.push_back(c.Problem.empty() ? ListItem{BestLine(c, PlayerCount), BestNote(c), false}
                                      : ListItem{c.Name, c.Problem, true});
  items.push_back({"BACK", "", false});
  const auto line = static_cast<size_t>(ListMenu("MY COURSES", items));
  if (line >= courses.size()) return false;
  Chosen = courses[line];
  return true;
}

const PlayerCourse& ChosenPlayerCourse() { return Chosen; }

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
