// SPDX-License-Identifier: Zlib
// The SDL back end: the real window, keyboard, joysticks, clock and sound.
#include <SDL.h>
#include <SDL_mixer.h>
#include <sys/prctl.h>
#include <time.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ductora_version.h"
#include "platform/app_icon.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/sdl/frame_log.h"
#include "platform/sdl/gamepad_db.h"
#include "platform/sdl/render_probe.h"
#include "platform/settings.h"
#include "platform/soundfont.h"

namespace plat {

namespace {

constexpr int kScreenW = 512;
constexpr int kScreenH = 352;
constexpr const char* kTitle = "Ductora Fiesta";

struct Pad {
  SDL_GameController* Controller = nullptr;
  SDL_Joystick* Joystick = nullptr;
  SDL_JoystickID Instance = -1;
};

struct Video {
  bool Ready = false;
  SDL_Window* Window = nullptr;
  SDL_Renderer* Renderer = nullptr;
  SDL_Texture* Texture = nullptr;
  int TextureW = 0, TextureH = 0, TextureScale = 1;
  bool SoftwareRenderer = false;
  bool Direct = false;  // drawn into the window's own surface, no renderer
  ShownPicture Shown;   // what that surface shows of the screen
  // A copy of the screen as that surface shows it, to leave out the rows of
  // a changed box that were drawn again the same (the queue, the labels).
  std::vector<uint32_t> ShownPixels;
  int ShownWidth = 0, ShownHeight = 0;
  int FullScreen = -1;
  Pad Pads[2];
  bool AudioOpen = false;
  bool NoSoundFont = false;  // music stays silent, effects play
  int Scale = 0;             // windowed scale, 0 automatic
  int MusicVolume = 100;     // 0..100
  int EffectVolume = 100;    // 0..100
  std::map<const uint8_t*, Mix_Chunk*> Chunks;
  KeyBindings KeyNames = DefaultSettings().Keys;
  SDL_Scancode Keys[kActionCount] = {};  // resolved once SDL knows the keyboard
  void (*ExitHook)() = nullptr;
};

Video V;

// SDL_mixer counts loudness from 0 to MIX_MAX_VOLUME.
int MixerVolume(int percent) { return std::clamp(percent, 0, 100) * MIX_MAX_VOLUME / 100; }

void ApplyVolumes() {
  if (!V.AudioOpen) return;
  Mix_Volume(-1, MixerVolume(V.EffectVolume));
  Mix_VolumeMusic(MixerVolume(V.MusicVolume));
}

// The key a name means on this keyboard's layout ("Z" is the key marked Z);
// a name no key of the layout makes (# on a US layout) falls back to the key
// at SDL's position of that name.
SDL_Scancode ScancodeOf(const std::string& name) {
  SDL_Scancode code = SDL_GetScancodeFromKey(SDL_GetKeyFromName(name.c_str()));
  if (code == SDL_SCANCODE_UNKNOWN) code = SDL_GetScancodeFromName(name.c_str());
  return code;
}

void ResolveKeys() {
  const Settings defaults = DefaultSettings();
  for (int a = 0; a < kActionCount; ++a) {
    V.Keys[a] = ScancodeOf(V.KeyNames.Names[a]);
    if (V.Keys[a] != SDL_SCANCODE_UNKNOWN) continue;
    std::fprintf(stderr, "Ductora Fiesta: no key '%s' on this keyboard; %s stays %s\n",
                 V.KeyNames.Names[a].c_str(), ActionSettingName(a), defaults.Keys.Names[a].c_str());
    V.Keys[a] = ScancodeOf(defaults.Keys.Names[a]);
  }
}

// The music's soundfont: SDL_SOUNDFONTS, else Debian's usual places. Without
// one the synthesiser would play nothing, or SDL_mixer another player's
// guess, so the music is left silent, said once.
void UseSoundFonts() {
  const std::string fonts = ChooseSoundFonts(std::getenv("SDL_SOUNDFONTS"), UsualSoundFonts());
  if (fonts.empty()) {
    V.NoSoundFont = true;
    std::fprintf(stderr,
                 "Ductora Fiesta: no General MIDI soundfont found (install timgm6mb-soundfont "
                 "or fluid-soundfont-gm, or set SDL_SOUNDFONTS); the music is silent\n");
    return;
  }
  Mix_SetSoundFonts(fonts.c_str());
}

void EnsureInit() {
  if (V.Ready) return;
  V.Ready = true;
  // The window's class (X11) and app id (Wayland) are the desktop entry's id,
  // its StartupWMClass, so that desktops show the entry's name and icon for
  // the window. A class the user put in the environment wins.
  setenv("SDL_VIDEO_X11_WMCLASS", kAppId, 0);
  setenv("SDL_VIDEO_WAYLAND_WMCLASS", kAppId, 0);
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) != 0) {
    std::fprintf(stderr, "Ductora Fiesta: cannot start the display: %s\n", SDL_GetError());
    std::exit(1);
  }
  ResolveKeys();
  // Before the first pump, which opens the pads already plugged in.
  std::string problem;
  gamepads::AddMappings(gamepads::MappingsFile(), problem);
  if (!problem.empty()) std::fprintf(stderr, "Ductora Fiesta: %s\n", problem.c_str());
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 &&
      Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) == 0) {
    Mix_AllocateChannels(1);
    UseSoundFonts();
    V.AudioOpen = true;
    ApplyVolumes();
  } else {
    std::fprintf(stderr, "Ductora Fiesta: no sound (%s); playing silently\n", SDL_GetError());
  }
}

// The largest whole-number scale at which the screen fits the desktop with
// room to spare for the window frame and panels.
int WindowScale() {
  if (V.Scale > 0) return V.Scale;
  SDL_Rect usable;
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return 1;
  int s = 1;
  while (kScreenW * (s + 1) + 32 <= usable.w && kScreenH * (s + 1) + 64 <= usable.h) ++s;
  return s;
}

// The desktop icon's picture at 64 px, for the title bar and the task list.
void SetWindowIcon(SDL_Window* window) {
  constexpr int kScale = 8, kSide = kAppIconSide * kScale;
  std::vector<uint32_t> pixels = AppIconPixels(kScale);
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), kSide, kSide, 32, kSide * 4,
                                                         SDL_PIXELFORMAT_ARGB8888);
  if (icon == nullptr) return;
  SDL_SetWindowIcon(window, icon);
  SDL_FreeSurface(icon);
}

// A new window for each display mode: windowed, or a borderless window
// covering the whole display (which also works where no window manager
// would honour a later resize). The display mode itself never changes.
SDL_Window* OpenWindow(int mode) {
  int scale = WindowScale();
  SDL_Rect area = {static_cast<int>(SDL_WINDOWPOS_CENTERED),
                   static_cast<int>(SDL_WINDOWPOS_CENTERED), kScreenW * scale, kScreenH * scale};
  Uint32 flags = SDL_WINDOW_HIDDEN;
  if (mode == 1 && SDL_GetDisplayBounds(0, &area) == 0)
    flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP;
  SDL_Window* window = SDL_CreateWindow(kTitle, area.x, area.y, area.w, area.h, flags);
  if (window == nullptr) {
    std::fprintf(stderr, "Ductora Fiesta: cannot open the window: %s\n", SDL_GetError());
    std::exit(1);
  }
  SetWindowIcon(window);
  return window;
}

bool IsSoftwareRenderer(SDL_Renderer* renderer) {
  SDL_RendererInfo info;
  return SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
}

// A window surface of 0x00RRGGBB pixels takes the screen's rows as they are.
bool HasScreenPixels(const SDL_Surface* out) {
  return out != nullptr && out->format->format == SDL_PIXELFORMAT_RGB888;
}

// SDL's default renderer, unless GL would only run in software (see
// render_probe.h): then the game scales its picture into the window's own
// surface itself, only where it changed, which costs a small part of what
// SDL's software renderer spends scaling all of it every frame. Decided at
// the first window, kept for the later ones. A renderer named in
// SDL_RENDER_DRIVER is always used as it is.
void MakeWindow(int mode) {
  static bool decided = false;
  static bool softwareOnly = false;
  if (V.Texture != nullptr) SDL_DestroyTexture(V.Texture);
  if (V.Renderer != nullptr) SDL_DestroyRenderer(V.Renderer);
  if (V.Window != nullptr) SDL_DestroyWindow(V.Window);
  V.Texture = nullptr;
  V.Renderer = nullptr;
  V.Window = OpenWindow(mode);
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
  const bool chosen = SDL_GetHint(SDL_HINT_RENDER_DRIVER) != nullptr;
  if (!decided) {
    decided = true;
    softwareOnly = !chosen && !renderprobe::ServerMayAccelerate(V.Window);
  }
  V.Direct = false;
  V.Shown = ShownPicture{};
  if (!softwareOnly) {
    V.Renderer = SDL_CreateRenderer(V.Window, -1, 0);
    if (V.Renderer != nullptr && !chosen &&
        (renderprobe::IsSoftwareGl(V.Renderer) || IsSoftwareRenderer(V.Renderer))) {
      // A window that had a GL context is replaced by a plain one.
      softwareOnly = true;
      SDL_DestroyRenderer(V.Renderer);
      SDL_DestroyWindow(V.Window);
      V.Renderer = nullptr;
      V.Window = OpenWindow(mode);
    }
  }
  // Drawn straight into the window's own image, not through a GL texture.
  if (V.Renderer == nullptr) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (V.Renderer == nullptr && !chosen && HasScreenPixels(SDL_GetWindowSurface(V.Window))) {
    V.Direct = true;
    framelog::Renderer("window-surface");
    return;
  }
  if (V.Renderer == nullptr) V.Renderer = SDL_CreateRenderer(V.Window, -1, SDL_RENDERER_SOFTWARE);
  if (V.Renderer == nullptr) {
    std::fprintf(stderr, "Ductora Fiesta: cannot draw in the window: %s\n", SDL_GetError());
    std::exit(1);
  }
  V.SoftwareRenderer = false;
  if (SDL_RendererInfo info; SDL_GetRendererInfo(V.Renderer, &info) == 0) {
    framelog::Renderer(info.name);
    V.SoftwareRenderer = (info.flags & SDL_RENDERER_SOFTWARE) != 0;
  }
}

// The whole-number scale at which the picture is shown: the largest that
// fits the renderer's output (the window, or the whole display in full
// screen), at least 1.
int ShownScale(const Surface& s) {
  int w = 0, h = 0;
  if (SDL_GetRendererOutputSize(V.Renderer, &w, &h) != 0 || s.Width <= 0 || s.Height <= 0) return 1;
  return std::max(1, std::min(w / s.Width, h / s.Height));
}

// Each pixel of the box k times across and each row k times down, into out
// (whose first pixel shows the screen's top left corner). The software
// renderer's own scaled copy costs several times as much.
void ScaleBox(const Surface& s, const ChangedBox& b, int k, uint32_t* out, int pitchPixels) {
  const int w = b.X1 - b.X0;
  for (int y = b.Y0; y < b.Y1; ++y) {
    const uint32_t* from = &s.Pixels[static_cast<size_t>(y) * s.Width + b.X0];
    uint32_t* row = out + static_cast<size_t>(y) * k * pitchPixels + static_cast<size_t>(b.X0) * k;
    if (k == 2) {
      for (int x = 0; x < w; ++x) row[2 * x] = row[2 * x + 1] = from[x];
    } else {
      for (int x = 0; x < w; ++x) std::fill_n(row + x * k, k, from[x]);
    }
    for (int r = 1; r < k; ++r)
      std::memcpy(row + static_cast<size_t>(r) * pitchPixels, row, sizeof(uint32_t) * w * k);
  }
}

void ScaleInto(const Surface& s, int k, uint32_t* out, int pitchPixels) {
  ScaleBox(s, ChangedBox{0, 0, s.Width, s.Height}, k, out, pitchPixels);
}

bool SameRow(const Surface& s, const std::vector<uint32_t>& shown, int y, int x0, int x1) {
  const size_t at = static_cast<size_t>(y) * s.Width + x0;
  return std::memcmp(&s.Pixels[at], &shown[at], sizeof(uint32_t) * (x1 - x0)) == 0;
}

// The box less its rows at the top and the bottom that the window already
// shows; those in between are copied into the record of what it shows.
ChangedBox ChangedRows(const Surface& s, ChangedBox b) {
  std::vector<uint32_t>& shown = V.ShownPixels;
  while (b.Y0 < b.Y1 && SameRow(s, shown, b.Y0, b.X0, b.X1)) ++b.Y0;
  while (b.Y1 > b.Y0 && SameRow(s, shown, b.Y1 - 1, b.X0, b.X1)) --b.Y1;
  for (int y = b.Y0; y < b.Y1; ++y) {
    const size_t at = static_cast<size_t>(y) * s.Width + b.X0;
    std::memcpy(&shown[at], &s.Pixels[at], sizeof(uint32_t) * (b.X1 - b.X0));
  }
  return b;
}

void RecordShown(const Surface& s) {
  V.ShownPixels.assign(s.Pixels.begin(), s.Pixels.end());
  V.ShownWidth = s.Width;
  V.ShownHeight = s.Height;
}

// Marks a window surface the picture was drawn into whole; SDL makes a new
// one, without the mark, whenever the window's size changes.
int WholePictureMark = 0;

// The picture at the largest whole scale that fits the window surface,
// centred on black. Only where it changed since the last frame is scaled and
// sent to the display, unless the surface is new or the window asked for a
// redraw (V.Shown forgotten).
void ShowInWindowSurface(const Surface& s) {
  SDL_Surface* out = SDL_GetWindowSurface(V.Window);
  if (!HasScreenPixels(out) || s.Width <= 0 || s.Height <= 0) return;
  if (out->userdata != &WholePictureMark) V.Shown = ShownPicture{};
  const int k = std::max(1, std::min(out->w / s.Width, out->h / s.Height));
  // A window smaller than the picture (never asked for) shows its top left.
  const int left = std::max(0, (out->w - s.Width * k) / 2);
  const int top = std::max(0, (out->h - s.Height * k) / 2);
  const int cols = std::min(s.Width, (out->w - left) / k);
  const int rows = std::min(s.Height, (out->h - top) / k);
  ChangedBox boxes[kShownBoxes];
  int count = 0;
  const bool partial = ChangedSinceShown(V.Shown, s, boxes, count) && V.ShownWidth == s.Width &&
                       V.ShownHeight == s.Height;
  if (SDL_MUSTLOCK(out) && SDL_LockSurface(out) != 0) {
    V.Shown = ShownPicture{};
    return;
  }
  if (!partial) {
    SDL_FillRect(out, nullptr, 0);
    boxes[0] = ChangedBox{0, 0, s.Width, s.Height};
    count = 1;
    RecordShown(s);
  }
  uint32_t* origin =
      static_cast<uint32_t*>(out->pixels) + static_cast<size_t>(top) * (out->pitch / 4) + left;
  SDL_Rect rects[kShownBoxes];
  int shown = 0;
  for (int i = 0; i < count; ++i) {
    ChangedBox b{boxes[i].X0, boxes[i].Y0, std::min(boxes[i].X1, cols),
                 std::min(boxes[i].Y1, rows)};
    if (b.X1 <= b.X0 || b.Y1 <= b.Y0) continue;
    if (partial) b = ChangedRows(s, b);
    if (b.Y1 <= b.Y0) continue;
    ScaleBox(s, b, k, origin, out->pitch / 4);
    rects[shown++] = {left + b.X0 * k, top + b.Y0 * k, (b.X1 - b.X0) * k, (b.Y1 - b.Y0) * k};
  }
  if (SDL_MUSTLOCK(out)) SDL_UnlockSurface(out);
  if (!partial) {
    out->userdata = &WholePictureMark;
    SDL_UpdateWindowSurface(V.Window);
  } else if (shown > 0) {
    SDL_UpdateWindowSurfaceRects(V.Window, rects, shown);
  }
  framelog::Shown();
}

// With the software renderer the picture goes up already scaled and is
// copied 1:1; a GL renderer scales the small texture itself.
void UploadPicture(const Surface& s) {
  if (V.TextureScale == 1) {
    SDL_UpdateTexture(V.Texture, nullptr, s.Pixels.data(), s.Width * 4);
    return;
  }
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(V.Texture, nullptr, &pixels, &pitch) != 0) return;
  ScaleInto(s, V.TextureScale, static_cast<uint32_t*>(pixels), pitch / 4);
  SDL_UnlockTexture(V.Texture);
}

void UploadAndShow(const Surface& s) {
  const int scale = V.SoftwareRenderer ? ShownScale(s) : 1;
  if (V.Texture == nullptr || V.TextureW != s.Width || V.TextureH != s.Height ||
      V.TextureScale != scale) {
    if (V.Texture != nullptr) SDL_DestroyTexture(V.Texture);
    V.Texture = SDL_CreateTexture(V.Renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                  s.Width * scale, s.Height * scale);
    V.TextureW = s.Width;
    V.TextureH = s.Height;
    V.TextureScale = scale;
    SDL_RenderSetLogicalSize(V.Renderer, s.Width * scale, s.Height * scale);
    SDL_RenderSetIntegerScale(V.Renderer, SDL_TRUE);
  }
  UploadPicture(s);
  SDL_SetRenderDrawColor(V.Renderer, 0, 0, 0, 255);
  SDL_RenderClear(V.Renderer);
  SDL_RenderCopy(V.Renderer, V.Texture, nullptr, nullptr);
  SDL_RenderPresent(V.Renderer);
  framelog::Shown();
}

// The window keys reach the game as key presses; the others it reads as
// held keys.
int VirtualKey(SDL_Scancode code) {
  for (int a : {kActPause, kActFullScreen, kActFpsLabel, kActQuit})
    if (V.Keys[a] == code) return ActionVirtualKey(a);
  return 0;
}

void OpenPad(int deviceIndex) {
  for (Pad& p : V.Pads) {
    if (p.Joystick != nullptr) continue;
    if (SDL_IsGameController(deviceIndex)) {
      p.Controller = SDL_GameControllerOpen(deviceIndex);
      p.Joystick = p.Controller ? SDL_GameControllerGetJoystick(p.Controller) : nullptr;
    } else {
      p.Joystick = SDL_JoystickOpen(deviceIndex);
    }
    if (p.Joystick != nullptr) p.Instance = SDL_JoystickInstanceID(p.Joystick);
    return;
  }
}

void ClosePad(SDL_JoystickID instance) {
  for (Pad& p : V.Pads) {
    if (p.Joystick == nullptr || p.Instance != instance) continue;
    if (p.Controller != nullptr)
      SDL_GameControllerClose(p.Controller);
    else
      SDL_JoystickClose(p.Joystick);
    p = Pad{};
  }
}

uint32_t AxisToRange(int16_t v) { return static_cast<uint32_t>(static_cast<int32_t>(v) + 32768); }

bool Translate(const SDL_Event& ev, Event& e) {
  switch (ev.type) {
    case SDL_QUIT:
      e = {EventKind::Close, 0};
      return true;
    case SDL_KEYDOWN:
      if (ev.key.repeat != 0) return false;
      if (VirtualKey(ev.key.keysym.scancode) == 0)
        e = {EventKind::OtherKey, 0};
      else
        e = {EventKind::KeyDown, VirtualKey(ev.key.keysym.scancode)};
      return true;
    case SDL_WINDOWEVENT:
      // A window replaced on a display switch reports nothing of interest.
      if (V.Window == nullptr || ev.window.windowID != SDL_GetWindowID(V.Window)) return false;
      if (ev.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
        e = {EventKind::FocusLost, 0};
        return true;
      }
      if (ev.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
        e = {EventKind::FocusGained, 0};
        return true;
      }
      if (ev.window.event == SDL_WINDOWEVENT_CLOSE) {
        e = {EventKind::Close, 0};
        return true;
      }
      // The display lost what the window showed, or its size changed: the
      // next frame draws all of it.
      if (ev.window.event == SDL_WINDOWEVENT_EXPOSED || ev.window.event == SDL_WINDOWEVENT_SHOWN ||
          ev.window.event == SDL_WINDOWEVENT_RESTORED ||
          ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
        V.Shown = ShownPicture{};
      return false;
    case SDL_CONTROLLERBUTTONDOWN:
      if (ev.cbutton.button != SDL_CONTROLLER_BUTTON_START) return false;
      e = {EventKind::KeyDown, 0x50};
      return true;
    case SDL_JOYDEVICEADDED:
      OpenPad(ev.jdevice.which);
      return false;
    case SDL_JOYDEVICEREMOVED:
      ClosePad(ev.jdevice.which);
      return false;
    default:
      return false;
  }
}

int64_t NowNs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

}  // namespace

std::string ProgramFolder() {
  const std::string exe = ExecutableFolder();
  const std::string installed = InstalledDataFolder(exe);
  return installed.empty() ? exe : installed;
}

bool ProgramInstalled() { return !InstalledDataFolder(ExecutableFolder()).empty(); }

int64_t NowMs() { return NowNs() / 1000000; }

namespace {
// The deadline of the last wait, for the frame log; 0 when a frame did not wait.
int64_t WaitedFor = 0;
}  // namespace

void WaitUntil(int64_t deadline) {
  WaitedFor = deadline;
  // The default 50 us timer slack would eat into the spin.
  static const bool slack = prctl(PR_SET_TIMERSLACK, 1UL) == 0;
  (void)slack;
  const int64_t target = deadline * 1000000;
  // Sleep to within a tenth of a millisecond of the deadline, then spin the
  // rest. With the timer slack at 1 ns the sleep wakes 60 to 90 us after it
  // asked for, so most frames spin a few tens of microseconds; a wake later
  // than the deadline costs that frame alone, as the next deadline is fixed.
  constexpr int64_t kSpinNs = 100000;
  int64_t now = NowNs();
  if (target - now > kSpinNs) {
    int64_t wake = target - kSpinNs;
    timespec ts{static_cast<time_t>(wake / 1000000000), static_cast<long>(wake % 1000000000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) != 0) {
    }
  }
  while (NowNs() < target) {
  }
}

// DUCTORA_FRAME_LOG=path (for pacing measurements, see frame_log.h): the
// time each frame's wait returned, with the deadline it waited for.
void FrameMark() {
  if (framelog::Enabled()) framelog::Mark(NowNs(), WaitedFor);
  WaitedFor = 0;
}

void PauseFrame() { SDL_Delay(17); }

// DUCTORA_SEED=N (for tests that compare the window with the runner): the
// seed the runner's --seed N would give, instead of one from the clock.
uint32_t RandomSeed() {
  if (const char* seed = std::getenv("DUCTORA_SEED"); seed != nullptr && *seed != '\0')
    return static_cast<uint32_t>(std::strtoul(seed, nullptr, 10));
  return static_cast<uint32_t>(NowNs() ^ (NowNs() >> 32) ^ time(nullptr));
}

// Keys pressed since the last pump: a tap shorter than a frame still counts
// as held for the frame that follows it.
bool Pumping = false;
bool Tapped[SDL_NUM_SCANCODES] = {};

bool NextEvent(Event& e) {
  EnsureInit();
  if (TakeLeaveSignal()) {
    e = {EventKind::Close, 0};
    return true;
  }
  if (!Pumping) {
    std::fill(std::begin(Tapped), std::end(Tapped), false);
    Pumping = true;
  }
  SDL_Event ev;
  while (SDL_PollEvent(&ev) != 0) {
    if (ev.type == SDL_KEYDOWN && ev.key.keysym.scancode < SDL_NUM_SCANCODES)
      Tapped[ev.key.keysym.scancode] = true;
    if (Translate(ev, e)) return true;
  }
  Pumping = false;
  return false;
}

bool KeyIsDown(int vk) {
  EnsureInit();
  for (int a = 0; a < kActionCount; ++a) {
    if (ActionVirtualKey(a) != vk) continue;
    const SDL_Scancode code = V.Keys[a];
    return code != SDL_SCANCODE_UNKNOWN &&
           (SDL_GetKeyboardState(nullptr)[code] != 0 || Tapped[code]);
  }
  return false;
}

void BindKeys(const KeyBindings& keys) {
  V.KeyNames = keys;
  if (V.Ready) ResolveKeys();
}

int JoyGetPos(int id, JoyInfo& info) {
  EnsureInit();
  if (id < 0 || id > 1) return 165;
  const Pad& p = V.Pads[id];
  if (p.Joystick == nullptr || !SDL_JoystickGetAttached(p.Joystick)) return JOYERR_UNPLUGGED;
  info = JoyInfo{};
  info.Z = 32768;
  if (p.Controller != nullptr) {
    SDL_GameController* c = p.Controller;
    info.X = AxisToRange(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX));
    info.Y = AxisToRange(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY));
    if (SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_LEFT)) info.X = 0;
    if (SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_RIGHT)) info.X = 65535;
    if (SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_UP)) info.Y = 0;
    if (SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_DOWN)) info.Y = 65535;
    const SDL_GameControllerButton buttons[4] = {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B,
                                                 SDL_CONTROLLER_BUTTON_X, SDL_CONTROLLER_BUTTON_Y};
    for (int b = 0; b < 4; ++b)
      if (SDL_GameControllerGetButton(c, buttons[b])) info.Buttons |= 1u << b;
    return JOYERR_NOERROR;
  }
  SDL_Joystick* j = p.Joystick;
  info.X = SDL_JoystickNumAxes(j) > 0 ? AxisToRange(SDL_JoystickGetAxis(j, 0)) : 32768;
  info.Y = SDL_JoystickNumAxes(j) > 1 ? AxisToRange(SDL_JoystickGetAxis(j, 1)) : 32768;
  if (SDL_JoystickNumHats(j) > 0) {
    Uint8 hat = SDL_JoystickGetHat(j, 0);
    if (hat & SDL_HAT_LEFT) info.X = 0;
    if (hat & SDL_HAT_RIGHT) info.X = 65535;
    if (hat & SDL_HAT_UP) info.Y = 0;
    if (hat & SDL_HAT_DOWN) info.Y = 65535;
  }
  for (int b = 0; b < 4 && b < SDL_JoystickNumButtons(j); ++b)
    if (SDL_JoystickGetButton(j, b)) info.Buttons |= 1u << b;
  return JOYERR_NOERROR;
}

bool JoyStartDown(int id) {
  if (id < 0 || id > 1 || V.Pads[id].Controller == nullptr) return false;
  return SDL_GameControllerGetButton(V.Pads[id].Controller, SDL_CONTROLLER_BUTTON_START) != 0;
}

// Window and full screen show the same picture: the renderer's output is
// the window at its whole-number scale, or the whole display, where the
// screen sits centred on black at the largest whole-number scale that fits.
void Present(const Surface& screen) {
  EnsureInit();
  if (V.Window == nullptr) SetDisplayMode(0);
  if (V.Direct)
    ShowInWindowSurface(screen);
  else
    UploadAndShow(screen);
}

void SetDisplayMode(int fullScreen) {
  EnsureInit();
  int mode = fullScreen != 0 ? 1 : 0;
  if (V.Window == nullptr || mode != V.FullScreen) {
    MakeWindow(mode);
    SetCursorHidden(mode == 1);
    V.FullScreen = mode;
  }
  SDL_ShowWindow(V.Window);
  SDL_RaiseWindow(V.Window);
}

void SetCursorHidden(bool hidden) { SDL_ShowCursor(hidden ? SDL_DISABLE : SDL_ENABLE); }

void SetWindowScale(int scale) { V.Scale = std::max(scale, 0); }

void ShowMessage(const std::string& text) {
  std::fprintf(stderr, "Ductora Fiesta: %s\n", text.c_str());
  EnsureInit();
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, kTitle, text.c_str(), V.Window);
}

void PlayWave(int, const std::vector<uint8_t>& fileImage) {
  if (!V.AudioOpen) return;
  Mix_Chunk*& chunk = V.Chunks[fileImage.data()];
  if (chunk == nullptr) {
    SDL_RWops* rw = SDL_RWFromConstMem(fileImage.data(), static_cast<int>(fileImage.size()));
    chunk = rw != nullptr ? Mix_LoadWAV_RW(rw, 1) : nullptr;
    if (chunk == nullptr) return;
  }
  Mix_HaltChannel(0);
  Mix_PlayChannel(0, chunk, 0);
}

void StopWave(int) {
  if (V.AudioOpen) Mix_HaltChannel(0);
}

namespace {

// Tunes load on a thread of their own: opening a MIDI file makes a new
// FluidSynth synthesiser and reads the sound font into it, 30 ms to over
// 200 ms (the first time) that would otherwise stall the frame in which the
// tune starts. The loaded tune starts at once; until then it counts as
// playing. Every call into SDL_mixer's music functions holds Lock.
struct MusicLoader {
  std::mutex Lock;
  std::condition_variable Wake;
  std::thread Thread;
  Mix_Music* Music = nullptr;  // the tune playing (or paused)
  std::string Path;            // the tune asked for
  uint64_t Serial = 0;         // bumped by every open and every stop
  bool Pending = false;        // asked for and not loaded yet
  bool Paused = false;
  bool Quit = false;
};

// Never destroyed: the thread may still wait in it while the process exits.
MusicLoader& Loader() {
  static MusicLoader* const loader = new MusicLoader;
  return *loader;
}

void LoadMusicLoop() {
  MusicLoader& m = Loader();
  std::unique_lock lock(m.Lock);
  for (;;) {
    m.Wake.wait(lock, [&m] { return m.Quit || m.Pending; });
    if (m.Quit) return;
    const uint64_t serial = m.Serial;
    const std::string path = m.Path;
    lock.unlock();
    // SDL_mixer would open a FIFO in its place and wait for ever, and read
    // a huge file whole: only a regular file of a tune's size is loaded.
    std::vector<uint8_t> probe;
    Mix_Music* music = ReadFileUpTo(path, kMusicFileLimit, probe) == FileRead::Ok
                           ? Mix_LoadMUS(path.c_str())
                           : nullptr;
    lock.lock();
    if (serial != m.Serial) {  // stopped or replaced while it loaded
      if (music != nullptr) Mix_FreeMusic(music);
      continue;
    }
    m.Pending = false;
    if (music == nullptr) continue;
    if (Mix_PlayMusic(music, 1) != 0) {
      Mix_FreeMusic(music);
      continue;
    }
    if (m.Paused) Mix_PauseMusic();
    m.Music = music;
  }
}

// Halts and frees the tune playing and forgets one still loading.
void StopMusicLocked(MusicLoader& m) {
  ++m.Serial;
  m.Pending = false;
  if (m.Music == nullptr) return;
  Mix_HaltMusic();
  Mix_FreeMusic(m.Music);
  m.Music = nullptr;
}

}  // namespace

bool MusicOpenPlay(const std::string& path) {
  EnsureInit();
  if (!V.AudioOpen || V.NoSoundFont) return false;
  MusicLoader& m = Loader();
  std::lock_guard lock(m.Lock);
  StopMusicLocked(m);
  if (!FileExists(path)) return false;
  m.Path = path;
  m.Pending = true;
  m.Paused = false;
  if (!m.Thread.joinable()) m.Thread = std::thread(LoadMusicLoop);
  m.Wake.notify_one();
  return true;
}

void MusicStopClose() {
  MusicLoader& m = Loader();
  std::lock_guard lock(m.Lock);
  StopMusicLocked(m);
}

bool MusicIsPlaying() {
  MusicLoader& m = Loader();
  std::lock_guard lock(m.Lock);
  return m.Pending || (m.Music != nullptr && Mix_PlayingMusic() != 0);
}

void MusicPause(bool paused) {
  MusicLoader& m = Loader();
  std::lock_guard lock(m.Lock);
  m.Paused = paused;
  if (m.Music == nullptr) return;
  if (paused)
    Mix_PauseMusic();
  else
    Mix_ResumeMusic();
}

void SetVolumes(int music, int effects) {
  V.MusicVolume = music;
  V.EffectVolume = effects;
  MusicLoader& m = Loader();
  std::lock_guard lock(m.Lock);
  ApplyVolumes();
}

void LogSave() {}
void LogPause(bool) {}
void LogDemo(bool) {}
void LogEditor(const std::string&) {}

void SetExitHook(void (*hook)()) { V.ExitHook = hook; }

void EndProcess(int status) {
  if (V.ExitHook != nullptr) V.ExitHook();
  if (V.AudioOpen) {
    MusicLoader& m = Loader();
    {
      std::lock_guard lock(m.Lock);
      m.Quit = true;
      StopMusicLocked(m);
    }
    m.Wake.notify_one();
    if (m.Thread.joinable()) m.Thread.join();
    Mix_HaltChannel(-1);
    Mix_CloseAudio();
  }
  SDL_Quit();
  std::exit(status);
}

}  // namespace plat
