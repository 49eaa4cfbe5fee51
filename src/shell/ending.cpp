// SPDX-License-Identifier: Zlib
#include "shell/ending.h"

#include <cmath>
#include <sstream>

#include "audio/midi.h"
#include "render/font.h"
#include "render/screen.h"
#include "shell/credits.h"
#include "shell/gamestate.h"
#include "shell/random.h"
#include "shell/savedata.h"
#include "shell/timer.h"
#include "shell/window.h"

namespace game {

namespace {

constexpr int32_t kCentre = -1;  // y of a heading: the middle of the picture
constexpr int32_t kName = -2;    // text of a line filled from the staff-roll data

struct PageLine {
  int32_t Color;
  int32_t Y;
  const char* Text;  // nullptr: the next name line of the page
};

struct Page {
  int32_t Hold;
  std::vector<PageLine> Lines;
};

const Page& PageDef(int n) {
  static const Page pages[kRollPages] = {
      {961,
       {{2, 48, "CONGRATULATIONS!!"},
        {5, 96, "THE LONG TRIP WAS FINISHED."},
        {5, 128, "YOUR GOOD FIGHT IS PRAISED IN"},
        {5, 160, "APPRECIATION OF YOUR PLAY HERE."},
        {5, 192, "AND I HOPE TO YOU TO"},
        {5, 224, "ENJOYING THE OTHER TRIP."},
        {5, 256, "HAVE A NICE TRIP!! THANK YOU."}}},
      {181, {{5, kCentre, "- STAFF -"}}},
      {181, {{5, kCentre, "- PROGRAMMER -"}}},
      {481, {{6, 144, "MAIN SYSTEM"}, {5, 168, nullptr}}},
      {181, {{5, kCentre, "- SUPPORT TOOLS(FREE WARE) -"}}},
      {481, {{5, 128, nullptr}, {5, 152, nullptr}, {5, 176, nullptr}}},
      {181, {{5, kCentre, "- GRAPHICS -"}}},
      {481,
       {{6, 96, "MAIN GRAPHICS"},
        {5, 120, nullptr},
        {6, 168, "MAP GRAPHICS"},
        {5, 192, nullptr},
        {6, 240, "PHOTO GRAPHICS"},
        {5, 264, nullptr}}},
      {181, {{5, kCentre, "- MUSIC COMPOSER -"}}},
      {721,
       {{6, 64, "MAIN BGM"},
        {5, 88, nullptr},
        {5, 112, nullptr},
        {5, 136, nullptr},
        {5, 160, nullptr},
        {5, 184, nullptr},
        {6, 232, "ENDING THEME"},
        {5, 256, nullptr}}},
      {181, {{5, kCentre, "- MUSICS -"}}},
      {481, {{6, 144, "MAIN BGM"}, {5, 168, nullptr}}},
      {481,
       {{6, 112, "MAIN BGM(USE FREE SOUND)"},
        {5, 136, nullptr},
        {5, 160, nullptr},
        {5, 184, nullptr},
        {5, 208, nullptr}}},
      {481, {{6, 144, "ENDING THEME"}, {5, 168, nullptr}}},
      {181, {{5, kCentre, "- SE CREATOR -"}}},
      {481, {{6, 144, "WAVE SOUNDS"}, {5, 168, nullptr}}},
      {181, {{5, kCentre, "- MAP DESIGN -"}}},
      {481,
       {{6, 80, "EASY"},
        {5, 104, nullptr},
        {6, 152, "NORMAL"},
        {5, 176, nullptr},
        {6, 224, "EXPERT"},
        {5, 248, nullptr}}},
      {181, {{5, kCentre, "- SPECIAL THANKS -"}}},
      {481, {{5, 128, nullptr}, {5, 152, nullptr}, {5, 176, nullptr}, {5, 200, nullptr}}},
      {481, {{5, kCentre, "THANK YOU FOR YOUR PLAYING!"}}},
      {181,
       {{6, 120, "- DUCTORA FIESTA -"}, {5, 152, nullptr}, {5, 184, nullptr}, {3, 216, nullptr}}},
  };
  return pages[n];
}

// Frames that only let window events run.
void Hold(int32_t frames) {
  for (int32_t i = 0; i < frames; ++i) {
    DoEvents();
    WaitFrame(17);
  }
}

void DrawPage(plat::Surface& pic, int n, const CreditPages& credits) {
  for (const RollLine& line : RollPage(n, credits, pic.Height))
    CenterText(pic, line.Color, line.Y, line.Text);
}

}  // namespace

CreditPages ParseCredits(std::string_view text) {
  CreditPages pages(kRollPages);
  int page = -1;
  std::istringstream in{std::string(text)};
  for (std::string line; std::getline(in, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
      page = std::atoi(line.c_str() + 1);
      continue;
    }
    if (page >= 0 && page < kRollPages) pages[page].push_back(line);
  }
  return pages;
}

std::vector<RollLine> RollPage(int n, const CreditPages& credits, int32_t height) {
  std::vector<RollLine> out;
  if (n < 0 || n >= kRollPages) return out;
  size_t next = 0;
  for (const PageLine& l : PageDef(n).Lines) {
    int32_t y = l.Y == kCentre ? height / 2 - 8 : l.Y;
    if (l.Text != nullptr) {
      out.push_back({l.Color, y, l.Text});
    } else if (static_cast<size_t>(n) < credits.size() && next < credits[n].size()) {
      out.push_back({l.Color, y, credits[n][next++]});
    }
  }
  return out;
}

int32_t RollHold(int n) { return n >= 0 && n < kRollPages ? PageDef(n).Hold : 0; }

void CenterText(plat::Surface& pic, int32_t color, int32_t y, std::string_view text) {
  render::GameFont.FontColor(color);
  int32_t x = (pic.Width - static_cast<int32_t>(text.size()) * render::GameFont.FontSizeX()) / 2;
  render::GameFont.PutCstring(pic, x, y, text);
}

void Swap(int32_t& a, int32_t& b) {
  int32_t t = a;
  a = b;
  b = t;
}

void DissolveOut(plat::Surface& pic) {
  int32_t order[4][4];
  for (int r = 0; r < 4; ++r) {
    for (int k = 0; k < 4; ++k) order[r][k] = k;
    for (int i = 0; i < 11; ++i) {
      // Rounded half to even, so 0 and 3 come up least often.
      int a = static_cast<int>(std::nearbyint(3 * Rnd()));
      int b = static_cast<int>(std::nearbyint(3 * Rnd()));
      Swap(order[r][a], order[r][b]);
    }
  }
  for (int k = 0; k < 4; ++k) {
    DoEvents();
    for (int32_t y = 0; y <= pic.Height; y += 32)
      for (int32_t x = 0; x <= pic.Width; x += 32)
        for (int r = 0; r < 4; ++r) plat::FillBlack(pic, x + 8 * order[r][k], y + 8 * r, 8, 8);
    WaitFrame(50);
    ShowScreen();
  }
  ShowScreen();
  Hold(61);
}

constexpr int32_t kLongestMusicWait = 300 * 1000 / 17;  // frames of 17 ms: 300 s

void Ending() {
  plat::Surface& pic = *ScreenPic;
  const CreditPages credits = ParseCredits(CreditsText());
  render::ClearRect(pic, 0, 0, pic.Width, pic.Height);
  ShowScreen();
  audio::PlayMusic(audio::MusicFileName(99));
  Hold(61);
  render::ClearRect(*ScreenPic, 0, 0, pic.Width, pic.Height);
  DrawPage(*ScreenPic, 0, credits);
  ShowScreen();
  Hold(RollHold(0));
  for (int n = 1; n < kRollPages; ++n) {
    DissolveOut(*ScreenPic);
    DrawPage(*ScreenPic, n, credits);
    ShowScreen();
    // The last page waits for the music to end (not at all if it has), but
    // no longer than the shipped tune lasts with a margin: a longer music
    // file must not keep the hi-score from being saved.
    for (int32_t waited = 0;
         n == kRollPages - 1 && audio::MusicPlaying() && waited < kLongestMusicWait; ++waited) {
      DoEvents();
      WaitFrame(17);
    }
    Hold(RollHold(n));
  }
  int32_t& best = SaveData.HiScore[PlayerCount - 1][CourseNo];
  if (TotalScore > best) best = TotalScore;
  WriteSaveData();
  DissolveOut(*ScreenPic);
  audio::StopMusic();
}

}  // namespace game
