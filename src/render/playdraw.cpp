// SPDX-License-Identifier: Zlib
#include "render/playdraw.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "audio/wavedef.h"
#include "puzzle/board.h"
#include "puzzle/players.h"
#include "puzzle/water.h"
#include "render/font.h"
#include "render/mask.h"
#include "render/screen.h"
#include "render/surfaces.h"
#include "shell/gamestate.h"
#include "shell/savedata.h"

namespace render {

namespace {

// Set once the water has started, so that sound 9 plays only once a stage.

constexpr int32_t kGaugeBarX = 128;
constexpr int32_t kGaugeBarY = 331;
constexpr int32_t kGaugeBarWidth = 256;

void CopyPipePicture(plat::Surface& surface, int32_t n, int32_t dx, int32_t dy) {
  plat::BitBlt(surface, dx, dy, kCellSize, kCellSize, PipePic, (n % 8) * kCellSize,
               (n / 8) * kCellSize, plat::SRCCOPY);
}

void CopySys(plat::Surface& surface, int32_t dx, int32_t dy, int32_t w, int32_t h, int32_t sx,
             int32_t sy) {
  plat::BitBlt(surface, dx, dy, w, h, SysPic, sx, sy, plat::SRCCOPY);
}

void DrawPlayAreaEdges(plat::Surface& surface) {
  for (int32_t c = 0; c < puzzle::kPlayColumns; ++c) {
    const int32_t x = kBoardLeft + kCellSize * c;
    const bool wrap = puzzle::WrapColumn[c] != 0;
    CopySys(surface, x, 32, 32, 16, wrap ? 64 : 32, 32);
    CopySys(surface, x, 304, 32, 16, wrap ? 64 : 32, 48);
  }
  for (int32_t r = 0; r < puzzle::kPlayRows; ++r) {
    const int32_t y = kBoardTop + kCellSize * r;
    const bool wrap = puzzle::WrapRow[r] != 0;
    CopySys(surface, 80, y, 16, 32, wrap ? 128 : 96, 32);
    CopySys(surface, 416, y, 16, 32, wrap ? 144 : 112, 32);
  }
}

// Both panels are drawn whether or not a second player plays.
void DrawSidePanel(plat::Surface& surface, int32_t x0) {
  CopySys(surface, x0, 32, 16, 16, 0, 32);
  CopySys(surface, x0 + 48, 32, 16, 16, 16, 32);
  CopySys(surface, x0 + 16, 32, 32, 16, 32, 32);
  for (int32_t i = 0; i < 5; ++i) {
    const int32_t y = 48 + 32 * i;
    CopySys(surface, x0, y, 16, 32, 96, 32);
    CopySys(surface, x0 + 48, y, 16, 32, 112, 32);
    plat::BitBlt(surface, x0 + 16, y, 32, 32, PipePic, 0, 160, plat::SRCCOPY);
  }
  CopySys(surface, x0, 208, 64, 32, 176, 0);
}

// One entry of the score line: a coloured label, then the number in colour 5.
void DrawScoreEntry(plat::Surface& surface, int32_t x, const char* label, int32_t labelColor,
                    int32_t value) {
  GameFont.FontColor(labelColor);
  ShadowText(surface, x, 8, label, 1);
  GameFont.FontColor(5);
  ShadowText(surface, x + 32, 8, RightAligned(value, 7), 1);
}

// ---------------------------------------------------------------- queue slots
// The queue column reads as a tray of separate slots: the floor under each
// queued piece is dimmed so the piece stands out on every world, each slot
// fades to dark at its top and bottom so the ends of pieces in neighbouring
// slots never join into one shape, and the piece laid next gets a bright frame.

constexpr int32_t kEmptyCellX = 0;  // picture 40, the bare floor of the world
constexpr int32_t kEmptyCellY = 160;
constexpr uint32_t kNextFrame = 0xFFF4B0;
constexpr uint32_t kNextFrameEdge = 0x201808;
constexpr uint32_t kSlotShelf = 0x7088B0;

// The colour at amount/256 of its brightness.
uint32_t Dimmed(uint32_t c, uint32_t amount) {
  const uint32_t r = ((c >> 16) & 0xFF) * amount >> 8;
  const uint32_t g = ((c >> 8) & 0xFF) * amount >> 8;
  const uint32_t b = (c & 0xFF) * amount >> 8;
  return r << 16 | g << 8 | b;
}

// Whether a queued piece's pixel shows the floor: bare, or in the piece's
// drop shadow (the floor at about 0.6 of its brightness).
bool ShowsFloor(uint32_t pixel, uint32_t floor) {
  if (pixel == floor) return true;
  for (int32_t shift : {16, 8, 0}) {
    const int32_t p = static_cast<int32_t>((pixel >> shift) & 0xFF);
    const int32_t f = static_cast<int32_t>((floor >> shift) & 0xFF);
    if (std::abs(p * 100 - f * 62) > 700) return false;
  }
  return true;
}

// How bright row y of a slot stays: dark towards the slot's edges.
uint32_t SlotRowLight(int32_t y) {
  const uint32_t ramp[4] = {24, 64, 130, 200};
  const int32_t edge = std::min(y, kCellSize - 1 - y);
  return edge < 4 ? ramp[edge] : 256;
}

uint32_t Brightness(uint32_t c) { return ((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF); }

// Whether the world's pieces are on the whole less than half as bright as
// its floor (the iron world's dark pipes on light plate): dimming the floor
// of the queue would then take the pieces' contrast away instead of giving
// it. Worked out once a sheet.
bool PiecesDarkerThanFloor() {
  static uint64_t version = 0;
  static bool darker = false;
  if (version == PipePic.Version) return darker;
  version = PipePic.Version;
  uint64_t piece = 0, floor = 0, pieceCount = 0, floorCount = 0;
  for (int32_t n = puzzle::CHIP_FIRST_PIECE; n <= puzzle::CHIP_LAST_PIECE; ++n)
    for (int32_t y = 0; y < kCellSize; ++y)
      for (int32_t x = 0; x < kCellSize; ++x) {
        const uint32_t c =
            plat::GetPixel(PipePic, (n % 8) * kCellSize + x, (n / 8) * kCellSize + y);
        const uint32_t f = plat::GetPixel(PipePic, kEmptyCellX + x, kEmptyCellY + y);
        if (c == plat::CLR_INVALID || f == plat::CLR_INVALID) continue;
        if (ShowsFloor(c, f)) {
          floor += Brightness(c), ++floorCount;
        } else {
          piece += Brightness(c), ++pieceCount;
        }
      }
  darker = pieceCount > 0 && floorCount > 0 && 2 * piece * floorCount < floor * pieceCount;
  return darker;
}

// Floor dimmed (unless the slot is the next one's, or the world's pieces
// are darker than its floor) and edges shaded. The
// pixels are read and written in place and the slot recorded as changed
// once.
void ShadeSlotPixels(plat::Surface& surface, int32_t x0, int32_t y0, bool next) {
  const int32_t left = std::max(x0, 0), right = std::min(x0 + kCellSize, surface.Width);
  const int32_t top = std::max(y0, 0), bottom = std::min(y0 + kCellSize, surface.Height);
  if (left >= right || top >= bottom) return;
  const bool dimFloor = !next && !PiecesDarkerThanFloor();
  for (int32_t sy = top; sy < bottom; ++sy) {
    const int32_t y = sy - y0;
    uint32_t* row = surface.Pixels.data() + static_cast<size_t>(sy) * surface.Width;
    for (int32_t sx = left; sx < right; ++sx) {
      const int32_t x = sx - x0;
      const uint32_t c = row[sx];
      uint32_t light = SlotRowLight(y);
      if (dimFloor) {
        const uint32_t floor = plat::GetPixel(PipePic, kEmptyCellX + x, kEmptyCellY + y);
        if (floor != plat::CLR_INVALID && ShowsFloor(c, floor)) light = light * 150 >> 8;
      }
      if (light < 256) row[sx] = Dimmed(c, light);
    }
  }
  plat::Changed(surface, left, top, right, bottom);
}

// This runs for ten slots every frame, and a slot's piece changes only when
// the queue moves: each slot keeps the last picture it was given and what
// the shading made of it, and the same picture is shaded by a copy.
struct SlotMemo {
  bool Valid = false;
  bool Next = false;
  int32_t X = 0, Y = 0;
  uint64_t Version = 0;
  std::array<uint32_t, kCellSize * kCellSize> In{}, Out{};
};
std::array<SlotMemo, 2 * puzzle::kQueueRing> SlotMemos;

SlotMemo& MemoFor(int32_t x0, int32_t y0, bool next) {
  for (SlotMemo& m : SlotMemos)
    if (m.Valid && m.X == x0 && m.Y == y0 && m.Next == next) return m;
  static size_t replace = 0;
  SlotMemo& m = SlotMemos[replace++ % SlotMemos.size()];
  m = SlotMemo{};
  m.X = x0, m.Y = y0, m.Next = next;
  return m;
}

void CopySlot(const plat::Surface& surface, int32_t x0, int32_t y0, uint32_t* to) {
  for (int32_t y = 0; y < kCellSize; ++y)
    std::memcpy(to + y * kCellSize,
                surface.Pixels.data() + static_cast<size_t>(y0 + y) * surface.Width + x0,
                kCellSize * sizeof(uint32_t));
}

bool SlotShows(const plat::Surface& surface, int32_t x0, int32_t y0, const uint32_t* picture) {
  for (int32_t y = 0; y < kCellSize; ++y)
    if (std::memcmp(picture + y * kCellSize,
                    surface.Pixels.data() + static_cast<size_t>(y0 + y) * surface.Width + x0,
                    kCellSize * sizeof(uint32_t)) != 0)
      return false;
  return true;
}

void ShadeSlot(plat::Surface& surface, int32_t x0, int32_t y0, bool next) {
  const bool inside =
      x0 >= 0 && y0 >= 0 && x0 + kCellSize <= surface.Width && y0 + kCellSize <= surface.Height;
  if (!inside) return ShadeSlotPixels(surface, x0, y0, next);
  SlotMemo& memo = MemoFor(x0, y0, next);
  if (memo.Valid && memo.Version == PipePic.Version && SlotShows(surface, x0, y0, memo.In.data())) {
    for (int32_t y = 0; y < kCellSize; ++y)
      std::memcpy(surface.Pixels.data() + static_cast<size_t>(y0 + y) * surface.Width + x0,
                  memo.Out.data() + y * kCellSize, kCellSize * sizeof(uint32_t));
    plat::Changed(surface, x0, y0, x0 + kCellSize, y0 + kCellSize);
    return;
  }
  CopySlot(surface, x0, y0, memo.In.data());
  ShadeSlotPixels(surface, x0, y0, next);
  CopySlot(surface, x0, y0, memo.Out.data());
  memo.Version = PipePic.Version;
  memo.Valid = true;
}

// The shelf under a slot: a light line across the column.
void SlotShelf(plat::Surface& surface, int32_t x0, int32_t y0) {
  plat::FillRect(surface, x0, y0 + kCellSize - 1, kCellSize, 1, kSlotShelf);
}

// A light frame with a dark line inside it, round the slot.
void FrameSlot(plat::Surface& surface, int32_t x0, int32_t y0) {
  const int32_t x1 = x0 + kCellSize - 1, y1 = y0 + kCellSize - 1;
  plat::DrawBox(surface, x0, y0, x1, y1, kNextFrame);
  plat::DrawBox(surface, x0 + 1, y0 + 1, x1 - 1, y1 - 1, kNextFrame);
  plat::DrawBox(surface, x0 + 2, y0 + 2, x1 - 2, y1 - 2, kNextFrameEdge);
}

}  // namespace

void DrawQueueSlot(plat::Surface& surface, int32_t x0, int32_t y0, bool next) {
  ShadeSlot(surface, x0, y0, next);
  if (next)
    FrameSlot(surface, x0, y0);
  else
    SlotShelf(surface, x0, y0);
}

void BuildStageBackground(plat::Surface& surface) {
  ClearRect(surface, 0, 0, surface.Width, surface.Height);
  DrawBoardFrame(surface);
  DrawAllCells(surface);
  DrawTimeGaugeFrame(surface);
  puzzle::TraceRoute(true);
}

void DrawBoardFrame(plat::Surface& surface) {
  DrawPlayAreaFrame(surface);
  DrawSidePanel(surface, PanelX(0));
  DrawSidePanel(surface, PanelX(1));
  CopySys(surface, 8, 256, 64, 64, 0, 112);
  CopySys(surface, 440, 256, 64, 64, 0, 112);
  CopySys(surface, 8, 320, 64, 32, 64, 112);
  CopySys(surface, 440, 320, 64, 32, 64, 144);
}

void DrawPlayAreaFrame(plat::Surface& surface) {
  CopySys(surface, 80, 32, 16, 16, 0, 32);
  CopySys(surface, 80, 304, 16, 16, 0, 48);
  CopySys(surface, 416, 32, 16, 16, 16, 32);
  CopySys(surface, 416, 304, 16, 16, 16, 48);
  DrawPlayAreaEdges(surface);
}

void DrawAllCells(plat::Surface& surface) {
  for (int32_t y = 0; y < puzzle::kPlayRows; ++y)
    for (int32_t x = 0; x < puzzle::kPlayColumns; ++x) DrawCell(surface, x, y);
}

// A cell the water has entered keeps its water picture in the layer.
void DrawCell(plat::Surface& surface, int32_t x, int32_t y) {
  if (x < 0 || x >= puzzle::kBoardColumns || y < 0 || y >= puzzle::kBoardRows) return;
  const puzzle::ChipInfo& cell = puzzle::Board[x][y];
  if (cell.PassCount >= 1) return;
  int32_t n = cell.Owner * 48 + cell.ChipNo;
  if (cell.OnPath != 0 && cell.System == 0) n += 24;
  if (n < 0) return;
  CopyPipePicture(surface, n, kBoardLeft + kCellSize * x, kBoardTop + kCellSize * y);
}

void DrawTimeGaugeFrame(plat::Surface& surface) {
  CopySys(surface, 96, 320, 32, 32, 160, 32);
  for (int32_t i = 0; i < 8; ++i) CopySys(surface, 128 + 32 * i, 320, 32, 32, 192, 32);
  CopySys(surface, 384, 320, 32, 32, 224, 32);
}

// A start value of 320 or less has no delay to show (stage checks refuse
// such records); the bar is then empty rather than a division by zero.
int32_t TimeGaugeWidth(int32_t progress, int32_t startProgress) {
  const int32_t cell = puzzle::kCellProgress;
  if (progress < cell || startProgress <= cell) return 0;
  const double share = static_cast<double>(progress - cell) / (startProgress - cell);
  return static_cast<int32_t>(std::nearbyint(share * kGaugeBarWidth));
}

void DrawTimeGauge(plat::Surface& surface) {
  const puzzle::WaterState& w = puzzle::Water;
  if (w.Progress >= puzzle::kCellProgress) {
    const int32_t width = TimeGaugeWidth(w.Progress, w.StartProgress);
    if (width > 0)
      plat::StretchBlt(surface, kGaugeBarX, kGaugeBarY, width, 10, WaterPic, 480, 11, 16, 10,
                       plat::SRCPAINT);
  }
}

// Runs every frame; only what was drawn over the layer since the last
// frame is copied back.
void RestoreScreen(plat::Surface& surface) { plat::RestoreFrom(surface, FirstMap); }

void DrawCursors(plat::Surface& surface) {
  for (int32_t p = 0; p < puzzle::ActivePlayers(); ++p) {
    const puzzle::PlayerInfo& pl = puzzle::Players[p];
    DrawMasked(surface, kBoardLeft + kCellSize * pl.CursorX, kBoardTop + kCellSize * pl.CursorY, 32,
               32, SysPic, 64 + 32 * p, 0, SysPic, 32, 0);
  }
}

// The current piece stands just above the NEXT plate; the queue runs upwards.
void DrawNextQueues(plat::Surface& surface) {
  for (int32_t p = 0; p < puzzle::ActivePlayers(); ++p) {
    const puzzle::PlayerInfo& pl = puzzle::Players[p];
    for (int32_t i = 0; i < puzzle::kQueueRing; ++i) {
      const int32_t k =
          ((pl.QueueIndex + i) % puzzle::kQueueRing + puzzle::kQueueRing) % puzzle::kQueueRing;
      const int32_t y = 48 + 32 * (4 - i);
      CopyPipePicture(surface, pl.Queue[k] + 48 * p, QueueX(p), y);
      DrawQueueSlot(surface, QueueX(p), y, i == 0);
    }
  }
}

// Drawn into FirstMap, each fill frame covers the last; the full frame
// stays behind when the water moves on.
void DrawWaterHead(plat::Surface& surface) {
  const puzzle::WaterState& w = puzzle::Water;
  if (w.Progress >= puzzle::kCellProgress || w.Pattern < 0) return;
  const int32_t t = std::max(w.Progress, 0);
  const int32_t f = 15 - t / 20;
  const bool first = w.Pattern < 12;
  const int32_t row = first ? w.Pattern : w.Pattern - 12;
  DrawMasked(surface, kBoardLeft + kCellSize * w.HeadX, kBoardTop + kCellSize * w.HeadY, 32, 32,
             first ? WaterPic : WaterPic2, 32 * f, 32 * row, first ? WaterMaskPic : WaterMaskPic2,
             32 * f, 32 * row);
}

void DrawBreakEffect(plat::Surface& surface, int32_t cx, int32_t cy, int32_t f, int32_t p,
                     int32_t lift) {
  DrawMasked(surface, cx, cy, 32, 32, SysPic, 32 * f, 64, SysPic, 128 + 32 * f, 64);
  BackingBand(surface, cx + 6, cy - 10 - lift, 20, 12);
  DrawMasked(surface, cx + 8, cy - 8 - lift, 16, 8, SysPic, 128, 8 * p, SysPic, 128, 16);
}

void DrawReplaceEffects(plat::Surface& surface) {
  for (int32_t p = 0; p < puzzle::ActivePlayers(); ++p) {
    const puzzle::PlayerInfo& pl = puzzle::Players[p];
    const int32_t w = pl.Wait;
    if (w <= 6) continue;
    const int32_t cx = kBoardLeft + kCellSize * pl.PendingX;
    const int32_t cy = kBoardTop + kCellSize * pl.PendingY;
    DrawBreakEffect(surface, cx, cy, std::max(0, (38 - w) / 8), p, (38 - w) / 4);
  }
}

// The scores as SettleScores left them.
void DrawScorePanel(plat::Surface& surface) {
  const puzzle::PlayerInfo* players = puzzle::Players;
  DrawScoreEntry(surface, 16, "1P", 3, players[0].Score);
  if (game::PlayerCount == 2) DrawScoreEntry(surface, 352, "2P", 4, players[1].Score);
  const int32_t total = game::TotalScore;
  const int32_t row = std::clamp(game::PlayerCount - 1, 0, 2);
  // A player's course keeps its best scores in a file of its own.
  const int32_t course = std::clamp(game::CourseNo, 0, 3);
  const int32_t saved = game::CourseNo <= 3 ? game::SaveData.HiScore[row][course] : 0;
  const int32_t hi = std::max(total, saved);
  DrawScoreEntry(surface, 184, "HI", 6, hi);
}

}  // namespace render
