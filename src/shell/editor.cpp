// SPDX-License-Identifier: Zlib
// The editor's screen is the play screen's board and frame with two panels
// beside it: the stage's fields on the left, the course's operations on
// the right. The cursor moves over the board, the frame edges (the wraps)
// and both panels; one button cycles a cell or raises a field, the other
// goes back. The verdict at the foot follows every change.
#include "shell/editor.h"

#include <cstdio>
#include <string_view>
#include <vector>

#include "audio/wavedef.h"
#include "input/joystick.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "puzzle/board.h"
#include "puzzle/players.h"
#include "puzzle/stageedit.h"
#include "puzzle/verdict.h"
#include "render/font.h"
#include "render/mask.h"
#include "render/playdraw.h"
#include "render/screen.h"
#include "render/sheets.h"
#include "render/surfaces.h"
#include "shell/gamestate.h"
#include "shell/mainmodule.h"
#include "shell/menus.h"
#include "shell/timer.h"
#include "shell/window.h"

namespace game {

std::string PlayerCourseFolder() { return plat::UserDataFolder() + "courses/"; }

namespace {

using puzzle::EditCourse;
using puzzle::StageInfo;

constexpr int32_t kFrameMs = 17;
constexpr int32_t kLeftPanel = -2;   // cursor column of the fields
constexpr int32_t kLeftEdge = -1;    // the row wraps on the left edge
constexpr int32_t kRightEdge = 10;   // and on the right edge
constexpr int32_t kRightPanel = 11;  // cursor column of the course operations
constexpr int32_t kTopEdge = -1;     // the column wraps on the top edge
constexpr int32_t kBottomEdge = 8;   // and on the bottom edge
constexpr int32_t kPanelLines = 10;  // rows -1..8
constexpr int32_t kRightPanelX = 432;
constexpr int32_t kVerdictY = 336;
constexpr int32_t kMessageFrames = 120;
constexpr int kSoundCursor = 2;
constexpr int kSoundChange = 1;
constexpr int kSoundConfirm = 4;

constexpr std::string_view kFieldNames[puzzle::kEditFields] = {"SET", "ST", "EL", "CR", "OW",
                                                               "CW",  "CC", "RQ", "DL", "SP"};
constexpr std::string_view kFieldWords[puzzle::kEditFields] = {
    "PIPE SET (WORLD)", "SHARE: STRAIGHTS",  "SHARE: ELBOWS",     "SHARE: CROSSES",
    "SHARE: ONE-WAYS",  "SHARE: CW ELBOWS",  "SHARE: CCW ELBOWS", "REQUIRED PIPES",
    "START DELAY",      "SPEED (128 NORMAL)"};

enum Operation {
  OpNext,
  OpPrevious,
  OpAdd,
  OpCopy,
  OpDelete,
  OpMove,
  OpRoute,
  OpTest,
  OpSave,
  OpExit,
};
constexpr std::string_view kOperationNames[kPanelLines] = {"NEXT", "PREV",  "ADD",  "COPY", "DEL",
                                                           "MOVE", "ROUTE", "TEST", "SAVE", "EXIT"};
constexpr std::string_view kOperationWords[kPanelLines] = {
    "NEXT STAGE",        "PREVIOUS STAGE",   "ADD A BLANK STAGE", "COPY THIS STAGE",
    "DELETE THIS STAGE", "Z LATER X SOONER", "SHOW THE ROUTE",    "TEST PLAY",
    "SAVE THE COURSE",   "LEAVE THE EDITOR"};

// Names of the kinds a cell can hold, ChipNo 0..40.
constexpr std::string_view kKindNames[puzzle::CHIP_EMPTY + 1] = {"SOURCE UP",
                                                                 "SOURCE RIGHT",
                                                                 "SOURCE DOWN",
                                                                 "SOURCE LEFT",
                                                                 "DRAIN OPENS UP",
                                                                 "DRAIN OPENS RIGHT",
                                                                 "DRAIN OPENS DOWN",
                                                                 "DRAIN OPENS LEFT",
                                                                 "WARP IN OPENS UP",
                                                                 "WARP IN OPENS RT",
                                                                 "WARP IN OPENS DN",
                                                                 "WARP IN OPENS LT",
                                                                 "WARP OUT UP",
                                                                 "WARP OUT RIGHT",
                                                                 "WARP OUT DOWN",
                                                                 "WARP OUT LEFT",
                                                                 "BLOCK",
                                                                 "STRAIGHT -",
                                                                 "STRAIGHT |",
                                                                 "ELBOW DOWN-RIGHT",
                                                                 "ELBOW DOWN-LEFT",
                                                                 "ELBOW UP-RIGHT",
                                                                 "ELBOW UP-LEFT",
                                                                 "CROSS",
                                                                 "ONE-WAY LEFT",
                                                                 "ONE-WAY DOWN",
                                                                 "ONE-WAY RIGHT",
                                                                 "ONE-WAY UP",
                                                                 "CW ELBOW UP>RIGHT",
                                                                 "CW ELBOW RT>DOWN",
                                                                 "CW ELBOW LT>UP",
                                                                 "CW ELBOW DN>LEFT",
                                                                 "CCW ELBOW LT>DOWN",
                                                                 "CCW ELBOW UP>LEFT",
                                                                 "CCW ELBOW DN>RT",
                                                                 "CCW ELBOW RT>UP",
                                                                 "FAST STRAIGHT |",
                                                                 "FAST STRAIGHT -",
                                                                 "SLOW STRAIGHT |",
                                                                 "SLOW STRAIGHT -",
                                                                 "EMPTY"};

struct EditorState {
  EditCourse Course;
  std::string Name;      // shown, upper case
  std::string SavePath;  // the player's course file
  int32_t CursorX, CursorY;
  bool ShowRoute;
  bool Dirty;
  bool DeleteArmed;  // DEL pressed once: the next press deletes
  bool Leave;
  std::string Message;
  int32_t MessageLeft;
  int32_t LoadedSet;  // pipe sheet in PipePic, -1 none
  std::string LastLabel;
  puzzle::KeyRepeat Moves, Buttons;
};

EditorState E;

StageInfo& Stage() { return E.Course.Stages[E.Course.Current]; }

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

std::string BaseName(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dat") == 0)
    name.resize(name.size() - 4);
  std::string safe;
  for (char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '-' || c == '_';
    if (ok && safe.size() < 16) safe += c;
  }
  return safe.empty() ? "COURSE" : safe;
}

void Say(const std::string& message) {
  E.Message = message;
  E.MessageLeft = kMessageFrames;
}

// ---------------------------------------------------------------- the board

// The stage on the board for drawing, whatever its record holds: kinds no
// stage may use show as empty cells and specials off the board are left
// out (the verdict names them).
void LayOutForDrawing(const StageInfo& s) {
  for (int r = 0; r < puzzle::kPlayRows; r++)
    puzzle::WrapRow[r] = puzzle::MaskFlag(s.RowWrapMask, r) ? -1 : 0;
  for (int c = 0; c < puzzle::kPlayColumns; c++)
    puzzle::WrapColumn[c] = puzzle::MaskFlag(s.ColumnWrapMask, c) ? -1 : 0;
  for (int y = 0; y < puzzle::kPlayRows; y++) {
    for (int x = 0; x < puzzle::kPlayColumns; x++) {
      int kind = s.StageMap[x + 10 * y];
      if (kind < puzzle::CHIP_BLOCK || kind > puzzle::CHIP_EMPTY) kind = puzzle::CHIP_EMPTY;
      puzzle::Board[x][y] = puzzle::ChipTable[kind];
    }
  }
  for (int i = 0; i < 4; i++) {
    const puzzle::StageSpecial& e = s.SpecialEntry[i];
    if (e.X < puzzle::kPlayColumns && e.Y < puzzle::kPlayRows && e.Dir < 4)
      puzzle::Board[e.X][e.Y] = puzzle::ChipTable[4 * i + e.Dir];
  }
}

// The shortest route lit on the board, with the pieces it lays.
void LayOutRoute(const puzzle::RouteInfo& r) {
  for (int c = 0; c < 80; c++) {
    if (r.Map[c] == puzzle::kOffRoute) continue;
    puzzle::ChipInfo& cell = puzzle::Board[c % 10][c / 10];
    cell = puzzle::ChipTable[r.Map[c]];
    cell.OnPath = -1;
  }
}

void DrawText(int32_t x, int32_t y, std::string_view text, int32_t color, bool selected) {
  render::GameFont.FontColor(selected ? 5 : color);
  if (selected)
    render::ShadowText(*ScreenPic, x, y, text, 1);
  else
    render::GameFont.PutCstring(*ScreenPic, x, y, text);
}

int32_t LineY(int32_t row) { return render::kBoardTop + render::kCellSize * row + 8; }

std::string Padded(std::string_view label, int32_t value) {
  std::string text(label);
  std::string number = std::to_string(value);
  while (text.size() + number.size() < 5) text += ' ';
  return text + number;
}

void DrawPanels() {
  for (int32_t i = 0; i < kPanelLines; i++) {
    const int32_t row = i - 1;
    const bool onField = E.CursorX == kLeftPanel && E.CursorY == row;
    DrawText(0, LineY(row), Padded(kFieldNames[i], puzzle::FieldValue(Stage(), i)), 1, onField);
    const bool onOperation = E.CursorX == kRightPanel && E.CursorY == row;
    std::string_view name = kOperationNames[i];
    if (i == OpRoute && E.ShowRoute) name = "HIDE";
    DrawText(kRightPanelX, LineY(row), name, 1, onOperation);
  }
}

// What the cursor stands on, in words.
std::string CursorWords() {
  const int32_t x = E.CursorX, y = E.CursorY;
  if (x == kLeftPanel) return std::string(kFieldWords[y + 1]);
  if (x == kRightPanel && y + 1 == OpRoute && E.ShowRoute) return "HIDE THE ROUTE";
  if (x == kRightPanel) return std::string(kOperationWords[y + 1]);
  if (x == kLeftEdge || x == kRightEdge)
    return "ROW " + std::to_string(y) +
           (puzzle::MaskFlag(Stage().RowWrapMask, y) ? " WRAPS" : " STOPS");
  if (y == kTopEdge || y == kBottomEdge)
    return "COLUMN " + std::to_string(x) +
           (puzzle::MaskFlag(Stage().ColumnWrapMask, x) ? " WRAPS" : " STOPS");
  const int kind = puzzle::CellKind(Stage(), x, y);
  return kind >= 0 && kind <= puzzle::CHIP_EMPTY ? std::string(kKindNames[kind]) : "NO SUCH KIND";
}

void DrawHeader() {
  const std::string where =
      E.Name + " " + std::to_string(E.Course.Current + 1) + "/" + std::to_string(E.Course.Count);
  DrawText(0, 0, where, 6, false);
  const std::string words = E.MessageLeft > 0 ? E.Message : CursorWords();
  const int32_t x = 512 - 16 * static_cast<int32_t>(words.size());
  DrawText(x < 0 ? 0 : x, 0, words, E.MessageLeft > 0 ? 4 : 1, false);
}

void DrawVerdict() {
  const puzzle::Verdict& v = puzzle::CurrentVerdict();
  const int32_t color = v.Kind == puzzle::VerdictKind::Clearable ? 6
                        : v.Kind == puzzle::VerdictKind::Looking ? 1
                                                                 : 3;
  const std::string label = puzzle::VerdictLabel(v);
  render::GameFont.FontColor(color);
  render::ShadowText(*ScreenPic, (512 - 16 * static_cast<int32_t>(label.size())) / 2, kVerdictY,
                     label, 1);
}

void DrawCursor() {
  if (E.CursorX == kLeftPanel || E.CursorX == kRightPanel) return;
  render::DrawMasked(*ScreenPic, render::kBoardLeft + render::kCellSize * E.CursorX,
                     render::kBoardTop + render::kCellSize * E.CursorY, 32, 32, render::SysPic, 64,
                     0, render::SysPic, 32, 0);
}

void LoadWorld() {
  const int32_t set = Stage().PipeSet <= 4 ? Stage().PipeSet : 0;
  if (set == E.LoadedSet) return;
  render::LoadSheet(render::PipePic, "pipe" + std::to_string(set) + ".bmp");
  E.LoadedSet = set;
}

void DrawEditor() {
  plat::Surface& s = *ScreenPic;
  render::ClearRect(s, 0, 0, s.Width, s.Height);
  LoadWorld();
  LayOutForDrawing(Stage());
  const puzzle::Verdict& v = puzzle::CurrentVerdict();
  if (E.ShowRoute && v.Kind == puzzle::VerdictKind::Clearable) LayOutRoute(v.Route);
  render::DrawPlayAreaFrame(s);
  render::DrawAllCells(s);
  DrawPanels();
  DrawHeader();
  DrawVerdict();
  DrawCursor();
}

// ---------------------------------------------------------------- actions

bool SaveCourse() {
  const std::string folder = PlayerCourseFolder();
  if (!plat::MakeFolders(folder) ||
      !plat::WriteFileAtomic(E.SavePath, puzzle::CourseBytes(E.Course))) {
    Say("CANNOT SAVE");
    return false;
  }
  E.Dirty = false;
  plat::LogEditor("course-saved " + E.SavePath);
  Say("SAVED");
  return true;
}

void TestPlay();

void Operate(int32_t op, int32_t step) {
  EditCourse& c = E.Course;
  bool done = false;
  switch (op) {
    case OpNext:
      done = puzzle::GoToStage(c, 1);
      break;
    case OpPrevious:
      done = puzzle::GoToStage(c, -1);
      break;
    case OpAdd:
      done = puzzle::AddStage(c);
      break;
    case OpCopy:
      done = puzzle::CopyStage(c);
      break;
    case OpDelete:
      if (!E.DeleteArmed) {
        E.DeleteArmed = true;
        Say("AGAIN TO DELETE");
        return;
      }
      done = puzzle::DeleteStage(c);
      break;
    case OpMove:
      done = puzzle::MoveStage(c, step);
      break;
    case OpTest:
      TestPlay();
      return;
    case OpRoute:
      E.ShowRoute = !E.ShowRoute;
      return;
    case OpSave:
      SaveCourse();
      return;
    case OpExit:
      E.Leave = true;
      return;
    default:
      return;
  }
  if (!done) Say(c.Count >= puzzle::kMaxCourseStages ? "99 STAGES AT MOST" : "NOT HERE");
  if (done && op >= OpAdd) E.Dirty = true;
}

// The stage as it stands, played once by one player with two lives from a
// course file of its own; the save file is held, and the editor comes back
// as it was.
void TestPlay() {
  if (puzzle::CurrentVerdict().Kind == puzzle::VerdictKind::Fault) {
    Say("FIX THE STAGE FIRST");
    return;
  }
  const std::string path = plat::UserDataFolder() + "test-play.dat";
  std::vector<uint8_t> bytes(puzzle::kStageRecordSize);
  puzzle::EncodeStage(Stage(), bytes.data());
  if (!plat::MakeFolders(plat::UserDataFolder()) || !plat::WriteFileAtomic(path, bytes)) {
    Say("CANNOT TEST PLAY");
    return;
  }
  plat::LogEditor("test-play start");
  const bool cleared = TestPlayCourseFile(path);
  plat::LogEditor(cleared ? "test-play cleared" : "test-play failed");
  Say(cleared ? "CLEARED" : "NOT CLEARED");
  E.LoadedSet = -1;  // the play loaded the same world's sheet anew
  E.Buttons.Previous = E.Buttons.Current =
      MenuInput() & static_cast<int32_t>(input::kPlaceGroup | input::kHurryGroup);
}

// One press of a button (step 1 forward, -1 back) where the cursor stands.
// Returns true when the stage changed.
bool Press(int32_t step) {
  const int32_t x = E.CursorX, y = E.CursorY;
  if (x == kRightPanel) {
    const int32_t current = E.Course.Current, count = E.Course.Count;
    Operate(y + 1, step);
    return current != E.Course.Current || count != E.Course.Count;
  }
  if (x == kLeftPanel) {
    puzzle::ChangeField(Stage(), y + 1, step);
  } else if (x == kLeftEdge || x == kRightEdge) {
    puzzle::ToggleRowWrap(Stage(), y);
  } else if (y == kTopEdge || y == kBottomEdge) {
    puzzle::ToggleColumnWrap(Stage(), x);
  } else {
    puzzle::CycleCell(Stage(), x, y, step);
  }
  E.Dirty = true;
  return true;
}

int32_t Clamp(int32_t v, int32_t low, int32_t high) { return v < low ? low : v > high ? high : v; }

// The cursor's rows: the board and the panels have the frame's top and
// bottom edge rows too, the side edges only the board's rows.
void KeepCursorInside() {
  E.CursorX = Clamp(E.CursorX, kLeftPanel, kRightPanel);
  const bool sideEdge = E.CursorX == kLeftEdge || E.CursorX == kRightEdge;
  E.CursorY = Clamp(E.CursorY, sideEdge ? 0 : kTopEdge, sideEdge ? 7 : kBottomEdge);
}

bool Move(int32_t word) {
  const int32_t oldX = E.CursorX, oldY = E.CursorY;
  if ((word & input::kLeft) != 0) E.CursorX--;
  if ((word & input::kRight) != 0) E.CursorX++;
  if ((word & input::kUp) != 0) E.CursorY--;
  if ((word & input::kDown) != 0) E.CursorY++;
  KeepCursorInside();
  return oldX != E.CursorX || oldY != E.CursorY;
}

// A frame's input: the directions and the two button groups repeat on
// their own, as the play cursor does.
bool HandleInput() {
  const int32_t word = MenuInput();
  E.Moves.Current = word & static_cast<int32_t>(input::kDirections);
  E.Buttons.Current = word & static_cast<int32_t>(input::kPlaceGroup | input::kHurryGroup);
  const int32_t moves = puzzle::RepeatKeys(E.Moves);
  const int32_t buttons = puzzle::RepeatKeys(E.Buttons);
  if (moves != 0 && Move(moves)) {
    audio::PlayEffect(kSoundCursor);
    E.DeleteArmed = E.DeleteArmed && E.CursorX == kRightPanel && E.CursorY == OpDelete - 1;
  }
  int32_t step = 0;
  if ((buttons & static_cast<int32_t>(input::kPlaceGroup)) != 0)
    step = 1;
  else if ((buttons & static_cast<int32_t>(input::kHurryGroup)) != 0)
    step = -1;
  if (step == 0) return false;
  const bool wasArmed = E.DeleteArmed;
  const bool changed = Press(step);
  if (wasArmed) E.DeleteArmed = false;
  audio::PlayEffect(changed ? kSoundChange : kSoundConfirm);
  return changed;
}

void NoteVerdict() {
  const std::string label = puzzle::VerdictLabel(puzzle::CurrentVerdict());
  if (label == E.LastLabel) return;
  E.LastLabel = label;
  plat::LogEditor("verdict " + label);
}

void ResetRepeat(puzzle::KeyRepeat& r) {
  r = puzzle::KeyRepeat{};
  r.Counter = r.FirstDelay = 24;
  r.Interval = 6;
}

std::string SavePathFor(const std::string& path) {
  return PlayerCourseFolder() + BaseName(path) + ".dat";
}

void OpenCourse(const std::string& path, const std::string& savePath) {
  E.SavePath = savePath;
  E.Name = Upper(BaseName(savePath)).substr(0, 10);
  puzzle::BlankCourse(E.Course);
  for (const std::string& from : {path, E.SavePath}) {
    std::vector<uint8_t> bytes;
    if (plat::ReadFileUpTo(from, puzzle::kMaxCourseStages * puzzle::kStageRecordSize, bytes) !=
        plat::FileRead::Ok)
      continue;
    std::string error;
    if (puzzle::ReadCourseBytes(bytes, E.Course, error)) return;
    Say("BROKEN FILE: NEW COURSE");
    return;
  }
}

// Esc or closing the window while editing keeps the work done.
void SaveOnShutdown() {
  if (E.Dirty) SaveCourse();
}

}  // namespace

std::string CourseSavePath(const std::string& path) { return SavePathFor(path); }

void EditCourseFile(const std::string& path) { EditCourseFileAs(path, SavePathFor(path)); }

void EditCourseFileAs(const std::string& path, const std::string& savePath) {
  E = EditorState{};
  SetUnloadHook(SaveOnShutdown);
  E.LoadedSet = -1;
  OpenCourse(path, savePath);
  ResetRepeat(E.Moves);
  ResetRepeat(E.Buttons);
  E.Buttons.Previous = E.Buttons.Current =
      MenuInput() & static_cast<int32_t>(input::kPlaceGroup | input::kHurryGroup);
  int32_t shownStage = -1;
  while (!E.Leave) {
    DoEvents();
    const bool changed = HandleInput();
    if (changed || shownStage != E.Course.Current) puzzle::StartVerdict(Stage());
    shownStage = E.Course.Current;
    puzzle::StepVerdict();
    NoteVerdict();
    if (E.MessageLeft > 0) E.MessageLeft--;
    DrawEditor();
    audio::EffectTick();
    WaitFrame(kFrameMs);
    ShowScreen();
  }
  SetUnloadHook(nullptr);
  if (E.Dirty) SaveCourse();
  puzzle::StopSolve();
  render::ClearRect(*ScreenPic, 0, 0, ScreenPic->Width, ScreenPic->Height);
  ShowScreen();
}

}  // namespace game
