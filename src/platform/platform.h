// SPDX-License-Identifier: Zlib
// The narrow layer between the game and the operating system.
//
// Everything the game needs from the machine (pictures, the clock, keys and
// joysticks, sound, music, message boxes, files) goes through this header.
// Two back ends implement the operations declared under "back end": one on
// SDL for the real window, one headless for tests and the scripted runner.
// Surfaces and raster operations are plain code shared by both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// ---------------------------------------------------------------- surfaces

// A rectangle of changed pixels, X1 and Y1 excluded.
struct ChangedBox {
  int X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
};
constexpr int kChangedBoxes = 4;

// A stamp that no other change to any surface has had.
uint64_t NextSurfaceVersion();

// An off-screen picture of 0x00RRGGBB pixels with its two drawing colours.
//
// Every frame starts by restoring the screen from a layer (RestoreFrom),
// and most of it is the same as the frame before. So a surface keeps where
// it was drawn on since its last restore, in a few boxes, and a stamp of its
// last change; the next restore from the same unchanged layer copies only
// those boxes. Every drawing routine of this header records what it
// changes; code that writes Pixels itself calls Changed after.
struct Surface {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;   // Width * Height, rows top to bottom
  uint32_t BackColor = 0xFFFFFF;  // background colour (MonoBlt's key)
  uint32_t ForeColor = 0x000000;  // foreground colour

  uint64_t Version = NextSurfaceVersion();  // stamp of the last change
  const Surface* RestoredFrom = nullptr;    // the layer of the last restore
  uint64_t RestoredVersion = 0;             // that layer's stamp then
  bool AllChanged = true;                   // drawn on everywhere since
  int ChangedCount = 0;
  ChangedBox Boxes[kChangedBoxes + 1];  // one more while merging
};

// Records a change of the whole surface, or of a rectangle of it (clipped
// already, X1 and Y1 excluded).
void Changed(Surface& s);
void Changed(Surface& s, int x0, int y0, int x1, int y1);
// Makes dst, of the same size as src, a copy of it: only what dst was
// drawn on since it was last restored from src, if src has not changed
// since; all of it otherwise. Surfaces of other sizes get a clipped copy.
void RestoreFrom(Surface& dst, const Surface& src);

// What a window last showed of a screen, so that the next picture redraws
// only where it may differ: the screen equals its layer outside its boxes,
// so two pictures restored from the same unchanged layer differ only inside
// the boxes of the one or the other.
struct ShownPicture {
  const Surface* Layer = nullptr;  // nullptr: nothing known, redraw all
  uint64_t LayerVersion = 0;
  int Count = 0;
  ChangedBox Boxes[kChangedBoxes];
};
constexpr int kShownBoxes = 2 * kChangedBoxes;
// Fills boxes (kShownBoxes of room) with where screen may differ from the
// picture shown last and records screen as shown; false when all of it may.
bool ChangedSinceShown(ShownPicture& shown, const Surface& screen, ChangedBox* boxes, int& count);

enum Rop : uint32_t {
  SRCCOPY = 0x00CC0020,
  SRCAND = 0x008800C6,
  SRCPAINT = 0x00EE0086,
  SRCINVERT = 0x00660046,
  MERGEPAINT = 0x00BB0226,
  NOTSRCCOPY = 0x00330008,
  BLACKNESS = 0x00000042,
};

constexpr uint32_t CLR_INVALID = 0xFFFFFFFF;
constexpr uint32_t kColorMask = 0x00FFFFFF;

// Gives the surface a new size; every pixel becomes black.
void Resize(Surface& s, int width, int height);
// Returns false for an unknown rop; copies clip against both surfaces.
bool BitBlt(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
            uint32_t rop);
// Nearest-neighbour scaling of (sx, sy, sw, sh) onto (dx, dy, dw, dh).
bool StretchBlt(Surface& dst, int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy,
                int sw, int sh, uint32_t rop);
// CLR_INVALID outside the surface.
uint32_t GetPixel(const Surface& s, int x, int y);
// Ignored outside the surface.
void SetPixelV(Surface& s, int x, int y, uint32_t color);
// One pixel wide, the end point excluded.
void DrawLine(Surface& s, int x1, int y1, int x2, int y2, uint32_t color);
// Outline of the box (x1, y1)-(x2, y2) inclusive in the given colour.
void DrawBox(Surface& s, int x1, int y1, int x2, int y2, uint32_t color);
// Fills the rectangle with black, clipped.
void FillBlack(Surface& s, int x, int y, int w, int h);
// Fills the rectangle with a colour, clipped.
void FillRect(Surface& s, int x, int y, int w, int h, uint32_t color);

// Reads an uncompressed 8-bit palette BMP. On failure returns false with a
// reason in err and leaves out unchanged.
bool ReadBmp8(const uint8_t* data, size_t size, Surface& out, std::string& err);

// The picture sheets built into the program, by file name ("syspic.bmp").
// Returns nullptr for a name that is not built in.
struct EmbeddedFile {
  const char* Name;
  const uint8_t* Data;
  size_t Size;
};
const EmbeddedFile* FindEmbeddedSheet(const std::string& name);
const EmbeddedFile* EmbeddedSheets(size_t& count);

// ---------------------------------------------------------------- files

// Reads a regular file of at most kWholeFileLimit bytes, without blocking;
// files.h has the bounded read with its reasons.
constexpr size_t kWholeFileLimit = size_t{256} << 20;
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out);
// Writes a unique temporary file beside path (or beside the regular file a
// link at path points to), syncs it and renames it over; false on failure.
bool WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& data);
bool FileExists(const std::string& path);
// True when a file can be created in the folder.
bool FolderWritable(const std::string& folder);
bool MakeFolders(const std::string& folder);
// The names of the regular files in folder whose names end in suffix,
// sorted; empty when the folder cannot be read. At most limit names.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& suffix,
                                   size_t limit);
// $XDG_DATA_HOME/ductora-fiesta/ or ~/.local/share/ductora-fiesta/, ending in '/'.
std::string UserDataFolder();
// The folder of the running executable, ending in '/'.
std::string ExecutableFolder();
// An installed game's read-only data folder (share/ductora-fiesta/ found
// relative to bin/), ending in '/'; empty when exeFolder holds data/ itself,
// as the build folder does, or when no installed data is there.
std::string InstalledDataFolder(const std::string& exeFolder);
// Save files an older install kept beside its program, to be read once when
// none is in the user's folder yet.
std::vector<std::string> OldSaveFiles(const std::string& exeFolder);

// ======================================================= back end (SDL or headless)

// The folder that holds data/ and sound/, ending in '/'.
std::string ProgramFolder();
// True when the game runs from an installed layout: its save file then lives
// in the user's folder, never under the install prefix.
bool ProgramInstalled();

// Monotonic milliseconds (the headless clock is virtual).
int64_t NowMs();
// Blocks until NowMs() >= deadline: sleeps while far away, then spins.
// The headless clock jumps to the deadline.
void WaitUntil(int64_t deadline);
// Called once per frame by WaitFrame after the wait (the runner counts frames).
void FrameMark();
// One pass of the paused game: waits a frame's time without moving the
// game's clock (the runner counts it as a frame of its own).
void PauseFrame();
// Seed for the random generator: the clock, or the runner's --seed.
uint32_t RandomSeed();

// Window events, as the pump hands them to the game.
// OtherKey: any other key pressed (it ends a replay; the game reads the
// keys it plays with as held keys).
enum class EventKind { KeyDown, Close, FocusLost, FocusGained, OtherKey };
struct Event {
  EventKind Kind;
  int KeyCode;  // virtual-key code for KeyDown: 112 F1, 123 F12, 27 Esc, 80 P
};
// Collects pending events from the system; returns false when none is left.
// A leaving signal comes first, as a Close.
bool NextEvent(Event& e);
// SIGHUP, SIGQUIT, SIGINT and SIGTERM (unless ignored from the start) ask
// to leave; a second one ends the process at once. The programs' main()
// installs this; the back ends' NextEvent takes the request.
void CatchLeaveSignals();
bool TakeLeaveSignal();
// Virtual-key state as of the last pump: 0x26 up, 0x28 down, 0x25 left,
// 0x27 right, 0x5A Z, 0x58 X, 0x50 P.
bool KeyIsDown(int vk);

// The keys of the keyboard actions by SDL key name, in the order of
// plat::KeyAction (settings.h); each action keeps its virtual-key code for
// the game. The headless back end keeps its script's key names.
struct KeyBindings;
void BindKeys(const KeyBindings& keys);

// Joystick position in the 0..65535 range with the centre near 32768.
struct JoyInfo {
  uint32_t X = 0, Y = 0, Z = 0, Buttons = 0;
};
constexpr int JOYERR_NOERROR = 0;
constexpr int JOYERR_UNPLUGGED = 167;
// 0 and a filled record, or JOYERR_UNPLUGGED when joystick id is not there.
int JoyGetPos(int id, JoyInfo& info);
// Start button of a game controller (pause); false for plain joysticks.
bool JoyStartDown(int id);

// Shows the screen surface at a whole-number scale, nearest-neighbour:
// windowed at the window's scale; in full screen at the largest scale that
// fits the display, centred on black. The display's mode never changes.
void Present(const Surface& screen);
// 0 windowed, 1 full screen.
void SetDisplayMode(int fullScreen);
// Hides the mouse pointer over the full-screen window.
void SetCursorHidden(bool hidden);
// The windowed scale: 0 the largest whole number that fits the desktop,
// else that scale. Takes effect when the next window opens.
void SetWindowScale(int scale);

// Modal message box titled "Ductora Fiesta"; also written to stderr.
void ShowMessage(const std::string& text);

// One wave effect at a time; starting one halts the one playing. The
// number names the effect in the runner's event log.
void PlayWave(int number, const std::vector<uint8_t>& fileImage);
void StopWave(int number);
// Music from a MIDI file, played once. Returns false when it cannot play.
bool MusicOpenPlay(const std::string& path);
void MusicStopClose();
bool MusicIsPlaying();
void MusicPause(bool paused);
// Music and effect loudness, 0 (silent) to 100 (full) each.
void SetVolumes(int music, int effects);

// Runner event log hooks (the SDL back end ignores them).
void LogSave();
void LogPause(bool paused);
// A demo starts (true) or ends on the title: "F demo 1", "F demo 0".
void LogDemo(bool playing);
// The stage editor's log of the runner's --edit-log: "F verdict TEXT",
// "F course-saved PATH" (the SDL back end ignores it).
void LogEditor(const std::string& line);

// Registers what runs just before the process ends (the runner's state file).
void SetExitHook(void (*hook)());
[[noreturn]] void EndProcess(int status);

}  // namespace plat
