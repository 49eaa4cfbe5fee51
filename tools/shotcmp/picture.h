// SPDX-License-Identifier: Zlib
// Pictures for comparing what the real window shows with the headless
// runner's screenshots: a window dump in X's XWD format is read into the
// same 0x00RRGGBB pixels the game draws with, then matched block by block
// against a reference picture at the window's whole-number scale.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace shotcmp {

struct Picture {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;  // 0x00RRGGBB, row by row
};

// A ZPixmap dump of 24 or 32 bits per pixel, in either byte order. False,
// with the reason in error, for anything else or a file cut short.
bool ReadXwd(const std::vector<uint8_t>& bytes, Picture& out, std::string& error);

// A rectangle of reference pixels.
struct Area {
  int X = 0, Y = 0, W = 0, H = 0;
  bool Holds(int x, int y) const { return x >= X && x < X + W && y >= Y && y < Y + H; }
};

struct Comparison {
  int Scale = 0;
  long long Differing = 0;  // reference pixels whose block in the window is not all that colour
  long long Total = 0;
  // The smallest rectangle, in reference pixels, holding every difference.
  int Left = 0, Top = 0, Right = -1, Bottom = -1;
};

// The window picture must be the reference enlarged by a whole number; a
// reference pixel counts as differing unless every window pixel of its
// block has its colour. Pixels inside the ignored areas are not compared
// (Total does not count them). False when the sizes do not fit.
bool CompareScaled(const Picture& window, const Picture& reference,
                   const std::vector<Area>& ignored, Comparison& result, std::string& error);

// One pixel (the top-left one) of every scale x scale block.
Picture Downscale(const Picture& window, int scale);

// Where a full-screen display shows the picture: at the largest
// whole-number scale that fits, centred (any odd pixel left over goes to
// the right and the bottom).
struct Placement {
  int Scale = 0;
  int X = 0, Y = 0;        // display pixel of the picture's top-left corner
  long long Surround = 0;  // display pixels outside the picture that are not black
};

// Measures a dump of the whole display against the reference: the
// placement, the pixels around the picture, and the picture itself cut out
// and compared as CompareScaled does. False when even 1x does not fit.
bool CompareCentred(const Picture& display, const Picture& reference,
                    const std::vector<Area>& ignored, Placement& placed, Comparison& result,
                    std::string& error);

// The w x h rectangle of the picture at (x, y), which must lie inside it.
Picture Crop(const Picture& p, int x, int y, int w, int h);

}  // namespace shotcmp
