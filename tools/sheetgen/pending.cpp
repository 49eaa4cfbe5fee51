// Stand-ins for sheets whose painters are not written yet. Each is a weak
// definition, so the real painter replaces it as soon as its file is built.
// They draw an unmistakable magenta-and-black warning pattern. Delete this
// file once every sheet has its painter.
#include "draw.h"

namespace sheetgen {
namespace {

Canvas Unfinished(int width, int height) {
  Canvas cv = MakeCanvas(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) Plot(cv, x, y, ((x + y) / 8) % 2 ? 0xFF00FF : 0x000000);
  return cv;
}

}  // namespace

__attribute__((weak)) Canvas DrawSysSheet() { return Unfinished(256, 256); }
__attribute__((weak)) Canvas DrawFontSheet() { return Unfinished(256, 128); }
__attribute__((weak)) Canvas DrawTitleSheet() { return Unfinished(512, 512); }
__attribute__((weak)) Canvas DrawBackSheet() { return Unfinished(512, 256); }
__attribute__((weak)) Canvas DrawHeylawSheet() { return Unfinished(256, 48); }
__attribute__((weak)) Canvas DrawEndlessBackground() { return Unfinished(512, 384); }

}  // namespace sheetgen
