// SPDX-License-Identifier: Zlib
// soakgen: random input for long unattended runs of ductora-headless.
//
//   soakgen --seed S --session K --frames N [--opener NAME]
//
// Writes to stdout an input script of N frames for one run of the game (a
// session) that starts at the title. The session opens with a fixed way into
// a game (the opener: who plays, with which devices, which course or the
// endless mode), then plays at random until the last frame: cursor moves,
// pieces laid and laid again over themselves, the water hurried, idle
// spells, pauses (P, lost focus), F1 and F12, joysticks plugged in and
// pulled out, and now and then Esc or the window closed. Whatever screen the
// random input reaches (a game over, the ending, the title again) it keeps
// playing there. The same seed, session and frames give the same script.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// splitmix64: small, fast and the same on every machine, unlike the
// distributions of <random>.
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // A whole number in [lo, hi].
  int64_t Range(int64_t lo, int64_t hi) {
    return lo + static_cast<int64_t>(Next() % static_cast<uint64_t>(hi - lo + 1));
  }
  bool Chance(int perMille) { return Range(0, 999) < perMille; }

 private:
  uint64_t state_;
};

struct Line {
  int64_t Frame;
  uint64_t Order;  // lines of one frame keep the order they were made in
  std::string Text;
};

class Script {
 public:
  explicit Script(int64_t frames) : frames_(frames) {}
  // Lines at or past the last frame would never act; they are left out.
  void Add(int64_t frame, const std::string& text) {
    if (frame < frames_) lines_.push_back({frame, order_++, text});
  }
  void Tap(int64_t frame, const std::string& key) { Add(frame, key + " tap"); }
  void Hold(int64_t frame, int64_t length, const std::string& key) {
    Add(frame, key + " down");
    Add(frame + length, key + " up");
  }
  void Print(const std::string& heading) {
    std::stable_sort(lines_.begin(), lines_.end(), [](const Line& a, const Line& b) {
      return a.Frame != b.Frame ? a.Frame < b.Frame : a.Order < b.Order;
    });
    std::printf("# %s\n", heading.c_str());
    for (const Line& l : lines_)
      std::printf("%lld %s\n", static_cast<long long>(l.Frame), l.Text.c_str());
  }

 private:
  int64_t frames_;
  uint64_t order_ = 0;
  std::vector<Line> lines_;
};

// The keys of one input device, by role.
struct Device {
  std::string Up, Down, Left, Right, Place, Hurry;
};

Device Keyboard() { return {"Up", "Down", "Left", "Right", "Z", "X"}; }

// Buttons 1 and 3 lay a piece, 2 and 4 hurry the water.
Device Joystick(Rng& rng, int id) {
  const std::string j = "J" + std::to_string(id) + ".";
  const bool first = rng.Chance(500);
  return {j + "Up",
          j + "Down",
          j + "Left",
          j + "Right",
          j + (first ? "B1" : "B3"),
          j + (first ? "B2" : "B4")};
}

const std::string& Direction(const Device& d, int n) {
  switch (n & 3) {
    case 0:
      return d.Up;
    case 1:
      return d.Down;
    case 2:
      return d.Left;
    default:
      return d.Right;
  }
}

// The ways into a game from the title. Menu timing: a choice on the title
// blinks for about a second before the course select opens.
enum class Opener { OnePlayer, TwoKeyboardJ0, Endless, TwoWithJ1, OneJoystick, Count };

const char* OpenerName(Opener o) {
  switch (o) {
    case Opener::OnePlayer:
      return "one-player";
    case Opener::TwoKeyboardJ0:
      return "two-keyboard-j0";
    case Opener::Endless:
      return "endless";
    case Opener::TwoWithJ1:
      return "two-with-j1";
    case Opener::OneJoystick:
      return "one-joystick";
    case Opener::Count:
      break;
  }
  return "?";
}

bool OpenerByName(const std::string& name, Opener& o) {
  for (int i = 0; i < static_cast<int>(Opener::Count); ++i) {
    if (name == OpenerName(static_cast<Opener>(i))) {
      o = static_cast<Opener>(i);
      return true;
    }
  }
  return false;
}

// Chooses a title line and a course line with the given device; returns
// the frame after the course is chosen. The title cursor starts on the
// first line and the course cursor on course A.
int64_t Choose(Script& s, const Device& d, int titleDowns, int courseMoves, bool courseUp) {
  int64_t t = 10;
  for (int i = 0; i < titleDowns; ++i, t += 10) s.Tap(t, d.Down);
  s.Tap(t + 10, d.Place);
  t += 110;  // the blink, then the course select
  for (int i = 0; i < courseMoves; ++i, t += 10) s.Tap(t, courseUp ? d.Up : d.Down);
  s.Tap(t + 20, d.Place);
  return t + 120;
}

int64_t Open(Script& s, Rng& rng, Opener o, std::string& what) {
  const int course = static_cast<int>(rng.Range(0, 2));
  what = std::string(OpenerName(o));
  if (o != Opener::Endless) what += ", course " + std::string(1, static_cast<char>('A' + course));
  switch (o) {
    case Opener::OnePlayer:
      return Choose(s, Keyboard(), 0, course, false);
    case Opener::TwoKeyboardJ0:
      // No second joystick: the keyboard plays player 1, joystick 0 player 2.
      s.Add(0, "J1 disconnect");
      s.Add(0, "J0 connect");
      return Choose(s, Keyboard(), 1, course, false);
    case Opener::Endless:
      // One line up from course A is the endless mode once every course is
      // finished (otherwise it is course C).
      return Choose(s, Keyboard(), 0, 1, true);
    case Opener::TwoWithJ1:
      // With both joysticks, player 2 plays joystick 1; it chooses here.
      s.Add(0, "J0 connect");
      s.Add(0, "J1 connect");
      return Choose(s, Joystick(rng, 1), 1, course, false);
    case Opener::OneJoystick:
      s.Add(0, "J0 connect");
      return Choose(s, Joystick(rng, 0), 0, course, false);
    case Opener::Count:
      break;
  }
  return 0;
}

// Random play from frame t to the end. Weights are per mille of actions.
void Play(Script& s, Rng& rng, int64_t t, int64_t frames) {
  bool present[2] = {true, true};
  while (t < frames) {
    const int pick = static_cast<int>(rng.Range(0, 999));
    const int which = static_cast<int>(rng.Range(0, 9));
    // Mostly the keyboard; joystick 0 and joystick 1 now and then.
    const Device d = which < 6 ? Keyboard() : Joystick(rng, which < 8 ? 0 : 1);
    if (pick < 380) {  // move: a tap or a hold that auto-repeats
      const int64_t length = rng.Chance(700) ? 1 : rng.Range(2, 40);
      s.Hold(t, length, Direction(d, static_cast<int>(rng.Range(0, 3))));
    } else if (pick < 620) {  // lay a piece
      s.Tap(t, d.Place);
    } else if (pick < 680) {  // lay, then lay again on the same cell
      s.Tap(t, d.Place);
      t += rng.Range(5, 60);
      s.Tap(t, d.Place);
    } else if (pick < 730) {  // hurry the water
      s.Hold(t, rng.Range(5, 240), d.Hurry);
    } else if (pick < 880) {  // leave the game alone a while
      t += rng.Range(30, 900);
    } else if (pick < 910) {  // pause, then resume with P or a button
      s.Tap(t, "P");
      t += rng.Range(5, 400);
      if (rng.Chance(500))
        s.Tap(t, "P");
      else
        s.Tap(t, d.Place);
    } else if (pick < 925) {  // the window loses the focus and gets it back
      s.Add(t, "focus-out");
      t += rng.Range(5, 300);
      s.Add(t, "focus-in");
      t += rng.Range(1, 30);
      s.Tap(t, rng.Chance(500) ? "P" : "Z");
    } else if (pick < 945) {  // window / full screen
      s.Tap(t, "F1");
    } else if (pick < 960) {  // frame-rate label
      s.Tap(t, "F12");
    } else if (pick < 998) {  // a joystick pulled out or plugged in
      const int id = static_cast<int>(rng.Range(0, 1));
      present[id] = !present[id];
      s.Add(t, "J" + std::to_string(id) + (present[id] ? " connect" : " disconnect"));
    } else if (rng.Chance(60)) {  // rarely: Esc or the window closed
      s.Add(t, rng.Chance(500) ? "Esc tap" : "close");
    }
    t += rng.Range(1, 30);
  }
}

void Usage() {
  std::fprintf(stderr,
               "usage: soakgen --seed S --session K --frames N [--opener NAME]\n"
               "openers: one-player two-keyboard-j0 endless two-with-j1 one-joystick\n");
}

bool Number(const char* text, int64_t& out) {
  char* end = nullptr;
  const long long v = std::strtoll(text, &end, 10);
  if (end == text || *end != '\0' || v < 0) return false;
  out = v;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int64_t seed = -1, session = -1, frames = -1;
  bool openerGiven = false;
  Opener opener = Opener::OnePlayer;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (i + 1 >= argc) {
      Usage();
      return 2;
    }
    const char* v = argv[++i];
    bool ok = true;
    if (a == "--seed") {
      ok = Number(v, seed);
    } else if (a == "--session") {
      ok = Number(v, session);
    } else if (a == "--frames") {
      ok = Number(v, frames);
    } else if (a == "--opener") {
      ok = openerGiven = OpenerByName(v, opener);
    } else {
      ok = false;
    }
    if (!ok) {
      Usage();
      return 2;
    }
  }
  if (seed < 0 || session < 0 || frames < 0) {
    Usage();
    return 2;
  }
  // Sessions take the openers in turn, so that a few of them see every way
  // into a game.
  if (!openerGiven) opener = static_cast<Opener>(session % static_cast<int64_t>(Opener::Count));
  Rng rng(static_cast<uint64_t>(seed) * 0x100000001B3ull ^ static_cast<uint64_t>(session));
  Script script(frames);
  std::string what;
  const int64_t start = Open(script, rng, opener, what);
  Play(script, rng, start, frames);
  // Every other session ends with the window closed rather than with the
  // Esc that the runner's --frames sends.
  if (session % 2 == 1 && frames > 0) script.Add(frames - 1, "close");
  script.Print("soak seed " + std::to_string(seed) + " session " + std::to_string(session) + ", " +
               std::to_string(frames) + " frames: " + what);
  return 0;
}
