// SPDX-License-Identifier: Zlib
// shotcmp: does the real window show the headless runner's picture?
//
//   shotcmp [--png OUT] [--scale N] [--tolerance N] [--ignore X,Y,W,H]...
//           [--centred] WINDOW.xwd [REFERENCE.png]
//
// Reads a window dump (xwd -silent), and with a reference picture reports
// how many of its pixels the window, shrunk by its whole-number scale, does
// not show exactly, leaving out the --ignore rectangles (in reference
// pixels: a part of the picture that moves by itself). --png writes the window picture shrunk by
// that scale (by --scale N without a reference) for a person to look at. Exit status: 0 when at
// most --tolerance pixels differ (default 0), 1 when more do, 2 when a file cannot be read or the
// sizes do not fit.
//
// --centred: the dump is of a whole full-screen display, which must show the
// reference at the largest whole-number scale that fits, centred, with every
// pixel around it black; the rest is compared as above.
#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "picture.h"

namespace {

struct Options {
  std::string Window, Reference, Png;
  int Scale = 1;
  bool Centred = false;
  long long Tolerance = 0;
  std::vector<shotcmp::Area> Ignored;
};

bool ParseArea(const char* text, shotcmp::Area& a) {
  char end = 0;
  return std::sscanf(text, "%d,%d,%d,%d%c", &a.X, &a.Y, &a.W, &a.H, &end) == 4 && a.W > 0 &&
         a.H > 0;
}

bool ParseArgs(int argc, char** argv, Options& o) {
  std::vector<std::string> rest;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--png" && i + 1 < argc) {
      o.Png = argv[++i];
    } else if (a == "--scale" && i + 1 < argc) {
      o.Scale = std::atoi(argv[++i]);
    } else if (a == "--centred") {
      o.Centred = true;
    } else if (a == "--tolerance" && i + 1 < argc) {
      o.Tolerance = std::atoll(argv[++i]);
    } else if (a == "--ignore" && i + 1 < argc) {
      shotcmp::Area area;
      if (!ParseArea(argv[++i], area)) return false;
      o.Ignored.push_back(area);
    } else {
      rest.push_back(a);
    }
  }
  if (rest.empty() || rest.size() > 2 || o.Scale < 1 || o.Tolerance < 0) return false;
  o.Window = rest[0];
  if (rest.size() == 2) o.Reference = rest[1];
  return true;
}

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool ReadPng(const std::string& path, shotcmp::Picture& out) {
  SDL_Surface* loaded = IMG_Load(path.c_str());
  if (loaded == nullptr) return false;
  SDL_Surface* s = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
  SDL_FreeSurface(loaded);
  if (s == nullptr) return false;
  out.Width = s->w;
  out.Height = s->h;
  out.Pixels.resize(static_cast<size_t>(s->w) * s->h);
  SDL_LockSurface(s);
  for (int y = 0; y < s->h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s->pixels) +
                                                        static_cast<size_t>(y) * s->pitch);
    for (int x = 0; x < s->w; ++x)
      out.Pixels[static_cast<size_t>(y) * s->w + x] = row[x] & 0xFFFFFF;
  }
  SDL_UnlockSurface(s);
  SDL_FreeSurface(s);
  return true;
}

bool WritePng(const std::string& path, shotcmp::Picture picture) {
  SDL_Surface* s =
      SDL_CreateRGBSurfaceWithFormatFrom(picture.Pixels.data(), picture.Width, picture.Height, 32,
                                         picture.Width * 4, SDL_PIXELFORMAT_RGB888);
  if (s == nullptr) return false;
  const bool ok = IMG_SavePNG(s, path.c_str()) == 0;
  SDL_FreeSurface(s);
  return ok;
}

void Report(const shotcmp::Comparison& c, const char* what) {
  std::printf("%lld of %lld pixels differ (%s at scale %d)", c.Differing, c.Total, what, c.Scale);
  if (c.Differing > 0) std::printf(", within x %d..%d, y %d..%d", c.Left, c.Right, c.Top, c.Bottom);
}

// 0 the window shows the reference, 1 it does not, 2 the sizes do not fit.
int CompareWindow(const Options& o, const shotcmp::Picture& window,
                  const shotcmp::Picture& reference, int& scale) {
  shotcmp::Comparison c;
  std::string error;
  if (!shotcmp::CompareScaled(window, reference, o.Ignored, c, error)) {
    std::fprintf(stderr, "shotcmp: %s\n", error.c_str());
    return 2;
  }
  scale = c.Scale;
  Report(c, "window");
  std::printf("\n");
  return c.Differing <= o.Tolerance ? 0 : 1;
}

// As CompareWindow for a full-screen display; the picture written with
// --png is the part that shows the reference, shrunk back.
int CompareDisplay(const Options& o, shotcmp::Picture& display, const shotcmp::Picture& reference,
                   int& scale) {
  shotcmp::Placement at;
  shotcmp::Comparison c;
  std::string error;
  if (!shotcmp::CompareCentred(display, reference, o.Ignored, at, c, error)) {
    std::fprintf(stderr, "shotcmp: %s\n", error.c_str());
    return 2;
  }
  Report(c, "display");
  std::printf(" at (%d, %d) of %d x %d; %lld pixels around it not black\n", at.X, at.Y,
              display.Width, display.Height, at.Surround);
  display =
      shotcmp::Crop(display, at.X, at.Y, reference.Width * at.Scale, reference.Height * at.Scale);
  scale = at.Scale;
  return c.Differing <= o.Tolerance && at.Surround == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseArgs(argc, argv, o)) {
    std::fprintf(stderr,
                 "usage: shotcmp [--png OUT] [--scale N] [--tolerance N] [--ignore X,Y,W,H]... "
                 "[--centred] WINDOW.xwd [REFERENCE.png]\n");
    return 2;
  }
  std::vector<uint8_t> bytes;
  shotcmp::Picture window;
  std::string error;
  if (!ReadFile(o.Window, bytes)) {
    std::fprintf(stderr, "shotcmp: cannot read %s\n", o.Window.c_str());
    return 2;
  }
  if (!shotcmp::ReadXwd(bytes, window, error)) {
    std::fprintf(stderr, "shotcmp: %s: %s\n", o.Window.c_str(), error.c_str());
    return 2;
  }
  int scale = o.Scale;
  int status = 0;
  if (!o.Reference.empty()) {
    shotcmp::Picture reference;
    if (!ReadPng(o.Reference, reference)) {
      std::fprintf(stderr, "shotcmp: cannot read %s: %s\n", o.Reference.c_str(), IMG_GetError());
      return 2;
    }
    status = o.Centred ? CompareDisplay(o, window, reference, scale)
                       : CompareWindow(o, window, reference, scale);
    if (status == 2) return 2;
  }
  if (!o.Png.empty() && !WritePng(o.Png, shotcmp::Downscale(window, scale))) {
    std::fprintf(stderr, "shotcmp: cannot write %s: %s\n", o.Png.c_str(), IMG_GetError());
    return 2;
  }
  return status;
}
