// SPDX-License-Identifier: Zlib
// Each effect is a short recipe of voices. Levels are set per effect so that frequent small
// sounds (cursor, typing, landing) sit well below the events the player must notice.
#include "effects.h"

#include <cmath>

namespace sfx {
namespace {

double Note(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// 0: the cursor steps to another cell; a soft, short wooden tick.
Buffer CursorTick() {
  Buffer b = Silence(0.06);
  AddTone(
      b,
      {.Start = 0, .Length = 0.05, .FreqFrom = 1900, .FreqTo = 1500, .Amp = 0.5, .Decay = 0.008});
  AddNoise(b, {.Length = 0.01,
               .Amp = 0.3,
               .Decay = 0.002,
               .Kind = Filter::BandPass,
               .CutFrom = 3500,
               .CutTo = 3500,
               .Q = 2,
               .Seed = 11});
  Finish(b, 0.35);
  return b;
}

// 1: a piece is laid; a solid clunk with a low body and a hard edge.
Buffer PieceClunk() {
  Buffer b = Silence(0.2);
  AddTone(
      b,
      {.Length = 0.18, .FreqFrom = 190, .FreqTo = 85, .Amp = 0.8, .Attack = 0.001, .Decay = 0.045});
  AddTone(b, {.Shape = Wave::Square,
              .Length = 0.06,
              .FreqFrom = 420,
              .FreqTo = 300,
              .Amp = 0.18,
              .Attack = 0.001,
              .Decay = 0.015});
  AddNoise(b, {.Length = 0.03,
               .Amp = 0.5,
               .Decay = 0.006,
               .Kind = Filter::BandPass,
               .CutFrom = 1800,
               .CutTo = 900,
               .Q = 1.2,
               .Seed = 21});
  Soften(b, 5000);
  Finish(b, 0.8);
  return b;
}

// 2: the menu cursor moves; a two-step square blip.
Buffer MenuBlip() {
  Buffer b = Silence(0.09);
  AddTone(b, {.Shape = Wave::Square,
              .Length = 0.035,
              .FreqFrom = Note(81),
              .FreqTo = Note(81),
              .Amp = 0.3,
              .Duty = 0.25});
  AddTone(b, {.Shape = Wave::Square,
              .Start = 0.035,
              .Length = 0.05,
              .FreqFrom = Note(88),
              .FreqTo = Note(88),
              .Amp = 0.3,
              .Decay = 0.03,
              .Duty = 0.25});
  Soften(b, 6000);
  Finish(b, 0.45);
  return b;
}

// 3: a bonus line appears; a bright two-bell chime.
Buffer BonusChime() {
  Buffer b = Silence(0.7);
  AddBell(
      b, {.Freq = Note(88), .Ratio = 3.5, .Index = 1.6, .Amp = 0.5, .Decay = 0.22, .Length = 0.65});
  AddBell(b, {.Start = 0.06,
              .Freq = Note(95),
              .Ratio = 3.5,
              .Index = 1.2,
              .Amp = 0.4,
              .Decay = 0.25,
              .Length = 0.64});
  Finish(b, 0.7);
  return b;
}

// 4: a menu choice is confirmed; a rising major arpeggio ending on a held octave.
Buffer ConfirmJingle() {
  Buffer b = Silence(0.55);
  const int notes[] = {72, 76, 79, 84};
  for (int i = 0; i < 4; ++i) {
    const double start = 0.06 * i, length = i == 3 ? 0.45 : 0.1;
    AddTone(b, {.Shape = Wave::Square,
                .Start = start,
                .Length = length,
                .FreqFrom = Note(notes[i]),
                .FreqTo = Note(notes[i]),
                .Amp = 0.22,
                .Decay = i == 3 ? 0.15 : 0.05,
                .Duty = 0.5});
    AddTone(b, {.Shape = Wave::Triangle,
                .Start = start,
                .Length = length,
                .FreqFrom = Note(notes[i] + 12),
                .FreqTo = Note(notes[i] + 12),
                .Amp = 0.2,
                .Decay = i == 3 ? 0.18 : 0.06});
  }
  Soften(b, 7000);
  Finish(b, 0.7);
  return b;
}

// 5: the stage title and "READY?"; a clear, even beep.
Buffer ReadyBeep() {
  Buffer b = Silence(0.2);
  AddTone(b, {.Shape = Wave::Triangle,
              .Length = 0.18,
              .FreqFrom = Note(81),
              .FreqTo = Note(81),
              .Amp = 0.5,
              .Attack = 0.004});
  AddTone(b, {.Shape = Wave::Square,
              .Length = 0.18,
              .FreqFrom = Note(81),
              .FreqTo = Note(81),
              .Amp = 0.12,
              .Attack = 0.004,
              .Duty = 0.125});
  Soften(b, 5000);
  Finish(b, 0.6);
  return b;
}

// 6: "GO !!"; a bright brass fanfare: a quick pickup, then a held major chord.
Buffer GoFanfare() {
  Buffer b = Silence(1.2);
  AddTone(b, {.Shape = Wave::Saw,
              .Length = 0.09,
              .FreqFrom = Note(67),
              .FreqTo = Note(67),
              .Amp = 0.25,
              .Attack = 0.01});
  AddTone(b, {.Shape = Wave::Saw,
              .Start = 0.1,
              .Length = 0.09,
              .FreqFrom = Note(67),
              .FreqTo = Note(67),
              .Amp = 0.25,
              .Attack = 0.01});
  const int chord[] = {60, 64, 67, 72, 76};
  for (int i = 0; i < 5; ++i) {
    for (double detune : {-0.003, 0.003}) {
      const double f = Note(chord[i] + 12) * (1 + detune);
      AddTone(b, {.Shape = Wave::Saw,
                  .Start = 0.2,
                  .Length = 0.98,
                  .FreqFrom = f,
                  .FreqTo = f,
                  .Amp = 0.1,
                  .Attack = 0.02,
                  .Decay = 0.35,
                  .VibratoHz = 5.5,
                  .VibratoDepth = 0.003});
    }
  }
  Soften(b, 3500);
  Soften(b, 6000);
  Finish(b, 0.85);
  return b;
}

// 7: the water leaks; a splash with falling spray and a few droplets.
Buffer LeakSplash() {
  Buffer b = Silence(0.9);
  AddNoise(b, {.Length = 0.85,
               .Amp = 0.9,
               .Attack = 0.008,
               .Decay = 0.18,
               .Kind = Filter::LowPass,
               .CutFrom = 7000,
               .CutTo = 400,
               .Q = 0.9,
               .Seed = 71});
  AddNoise(b, {.Length = 0.3,
               .Amp = 0.35,
               .Decay = 0.05,
               .Kind = Filter::BandPass,
               .CutFrom = 900,
               .CutTo = 300,
               .Q = 1.5,
               .Seed = 72});
  const double drops[][2] = {{0.12, 700}, {0.22, 1000}, {0.31, 850}, {0.43, 1200}, {0.55, 950}};
  for (const auto& d : drops) {
    AddTone(b, {.Start = d[0],
                .Length = 0.05,
                .FreqFrom = d[1],
                .FreqTo = d[1] * 2.2,
                .Amp = 0.25,
                .Decay = 0.015});
  }
  Finish(b, 0.85);
  return b;
}

// 8: the 1000-point award or a new level; a quick rising sparkle of bells.
Buffer AwardChime() {
  Buffer b = Silence(0.8);
  const int notes[] = {84, 88, 91, 96};
  for (int i = 0; i < 4; ++i) {
    AddBell(b, {.Start = 0.05 * i,
                .Freq = Note(notes[i]),
                .Ratio = 2.0,
                .Index = 1.4,
                .Amp = 0.3,
                .Decay = 0.2,
                .Length = 0.8 - 0.05 * i});
  }
  Finish(b, 0.75);
  return b;
}

// 9: the water starts; a swelling gush with a low rumble and bubbles.
Buffer WaterGush() {
  Buffer b = Silence(1.2);
  AddNoise(b, {.Length = 1.15,
               .Amp = 0.8,
               .Attack = 0.2,
               .Decay = 0.5,
               .Kind = Filter::BandPass,
               .CutFrom = 300,
               .CutTo = 1800,
               .Q = 0.8,
               .Seed = 91});
  AddNoise(b, {.Length = 1.1,
               .Amp = 0.7,
               .Attack = 0.1,
               .Decay = 0.45,
               .Kind = Filter::LowPass,
               .CutFrom = 180,
               .CutTo = 250,
               .Q = 1.0,
               .Seed = 92});
  for (int i = 0; i < 8; ++i) {
    const double start = 0.15 + 0.1 * i + 0.03 * (i % 3);
    const double f = 400 + 90 * ((i * 5) % 7);
    AddTone(b, {.Start = start,
                .Length = 0.06,
                .FreqFrom = f,
                .FreqTo = f * 1.8,
                .Amp = 0.15,
                .Decay = 0.02});
  }
  Finish(b, 0.8);
  return b;
}

// 10: a toy pipe breaks; a hollow plastic pop with a rattle.
Buffer PlasticPop() {
  Buffer b = Silence(0.35);
  AddTone(b, {.Length = 0.1,
              .FreqFrom = 1100,
              .FreqTo = 320,
              .Amp = 0.6,
              .Attack = 0.0005,
              .Decay = 0.025});
  AddNoise(b, {.Length = 0.02,
               .Amp = 0.5,
               .Decay = 0.004,
               .Kind = Filter::HighPass,
               .CutFrom = 2000,
               .CutTo = 2000,
               .Seed = 101});
  AddStrike(b, 0.0, 620, {{1.0, 0.25, 0.03}, {2.32, 0.15, 0.02}, {4.1, 0.08, 0.012}}, 0.002);
  for (int i = 0; i < 4; ++i) {
    AddNoise(b, {.Start = 0.08 + 0.045 * i,
                 .Length = 0.02,
                 .Amp = 0.25 - 0.05 * i,
                 .Decay = 0.004,
                 .Kind = Filter::BandPass,
                 .CutFrom = 2500,
                 .CutTo = 2500,
                 .Q = 3,
                 .Seed = 102u + i});
  }
  Finish(b, 0.8);
  return b;
}

// 11: an iron pipe breaks; a heavy metal clank and its smaller rebound.
Buffer MetalClank() {
  Buffer b = Silence(1.1);
  // Free bar modes: 1, 2.76, 5.40, 8.93.
  const std::vector<Partial> bar = {
      {1.0, 0.35, 0.35}, {2.76, 0.3, 0.25}, {5.40, 0.2, 0.15}, {8.93, 0.12, 0.08}};
  AddNoise(b, {.Length = 0.04,
               .Amp = 0.7,
               .Decay = 0.008,
               .Kind = Filter::BandPass,
               .CutFrom = 2500,
               .CutTo = 1200,
               .Q = 1,
               .Seed = 111});
  AddStrike(b, 0.0, 310, bar, 0.003);
  AddNoise(b, {.Start = 0.14,
               .Length = 0.03,
               .Amp = 0.35,
               .Decay = 0.006,
               .Kind = Filter::BandPass,
               .CutFrom = 3000,
               .CutTo = 1500,
               .Q = 1,
               .Seed = 112});
  std::vector<Partial> rebound = bar;
  for (Partial& p : rebound) p.Amp *= 0.45, p.Decay *= 0.6;
  AddStrike(b, 0.14, 318, rebound, 0.004);
  Finish(b, 0.85);
  return b;
}

// 12: a glass tube breaks; a sharp crack and a shower of high shards.
Buffer GlassShatter() {
  Buffer b = Silence(1.0);
  AddNoise(b, {.Length = 0.25,
               .Amp = 0.8,
               .Attack = 0.0005,
               .Decay = 0.04,
               .Kind = Filter::HighPass,
               .CutFrom = 3500,
               .CutTo = 2500,
               .Q = 0.8,
               .Seed = 121});
  uint32_t seed = 12345;
  for (int i = 0; i < 26; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const double start = 0.01 + 0.75 * ((seed >> 8) % 1000) / 1000.0 * (0.3 + i / 37.0);
    const double f = 2800 + ((seed >> 4) % 4200);
    AddStrike(b, start, f, {{1.0, 0.12 - 0.003 * i, 0.03 + 0.002 * (i % 5)}, {2.4, 0.05, 0.02}},
              0.001);
  }
  Finish(b, 0.8);
  return b;
}

// 13: a brass pipe on wood breaks; a dry wooden crack, then a ringing brass tone.
Buffer WoodCrackBrassRing() {
  Buffer b = Silence(1.0);
  AddNoise(b, {.Length = 0.012,
               .Amp = 0.9,
               .Decay = 0.003,
               .Kind = Filter::HighPass,
               .CutFrom = 1500,
               .CutTo = 1500,
               .Seed = 131});
  AddNoise(b, {.Length = 0.08,
               .Amp = 0.5,
               .Decay = 0.02,
               .Kind = Filter::BandPass,
               .CutFrom = 1300,
               .CutTo = 900,
               .Q = 2,
               .Seed = 132});
  AddStrike(b, 0.0, 380, {{1.0, 0.35, 0.05}, {2.57, 0.2, 0.03}, {4.18, 0.1, 0.02}}, 0.001);
  AddNoise(b, {.Start = 0.05,
               .Length = 0.015,
               .Amp = 0.45,
               .Decay = 0.004,
               .Kind = Filter::HighPass,
               .CutFrom = 2000,
               .CutTo = 2000,
               .Seed = 133});
  AddStrike(b, 0.03, 523,
            {{1.0, 0.18, 0.35}, {2.0, 0.12, 0.28}, {3.01, 0.08, 0.2}, {4.2, 0.05, 0.12}}, 0.0015);
  Finish(b, 0.85);
  return b;
}

// 14: a chrome pipe on the circuit board breaks (also a circuit closing in the endless
// mode); a crackling electric zap falling in pitch.
Buffer ElectricZap() {
  Buffer b = Silence(0.6);
  uint32_t seed = 4242;
  for (int i = 0; i < 18; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const double start = 0.03 * i, f = 300 + ((seed >> 8) % 1700) * (1 - i / 24.0);
    AddTone(b, {.Shape = Wave::Square,
                .Start = start,
                .Length = 0.032,
                .FreqFrom = f,
                .FreqTo = f * 0.7,
                .Amp = 0.2 * (1 - i / 20.0),
                .Attack = 0.001,
                .Duty = 0.3});
  }
  AddTone(b, {.Shape = Wave::Saw,
              .Length = 0.55,
              .FreqFrom = 2400,
              .FreqTo = 80,
              .Amp = 0.22,
              .Decay = 0.25});
  AddNoise(b, {.Length = 0.5,
               .Amp = 0.35,
               .Decay = 0.15,
               .Kind = Filter::HighPass,
               .CutFrom = 4000,
               .CutTo = 1500,
               .Q = 0.7,
               .Seed = 141});
  Finish(b, 0.8);
  return b;
}

// 15: one more letter of a world name; a tiny typewriter tick.
Buffer TypingTick() {
  Buffer b = Silence(0.055);
  AddTone(b, {.Shape = Wave::Square,
              .Length = 0.03,
              .FreqFrom = 2200,
              .FreqTo = 2000,
              .Amp = 0.25,
              .Attack = 0.0005,
              .Decay = 0.006,
              .Duty = 0.5});
  AddNoise(b, {.Length = 0.008,
               .Amp = 0.3,
               .Decay = 0.002,
               .Kind = Filter::HighPass,
               .CutFrom = 3000,
               .CutTo = 3000,
               .Seed = 151});
  Soften(b, 8000);
  Finish(b, 0.3);
  return b;
}

// 16: a falling piece touches ground; a soft, low thud.
Buffer LandingThud() {
  Buffer b = Silence(0.16);
  AddTone(
      b,
      {.Length = 0.15, .FreqFrom = 140, .FreqTo = 60, .Amp = 0.8, .Attack = 0.002, .Decay = 0.04});
  AddNoise(b, {.Length = 0.05,
               .Amp = 0.4,
               .Decay = 0.012,
               .Kind = Filter::LowPass,
               .CutFrom = 900,
               .CutTo = 300,
               .Q = 0.7,
               .Seed = 161});
  Finish(b, 0.5);
  return b;
}

// 17: the falling piece of the endless mode shifts a column; a faint, dry tap, lower and
// shorter than the cursor's tick so that a quick run of them stays in the background.
Buffer ShiftTick() {
  Buffer b = Silence(0.05);
  AddTone(b, {.Shape = Wave::Triangle,
              .Length = 0.03,
              .FreqFrom = 1300,
              .FreqTo = 1100,
              .Amp = 0.5,
              .Attack = 0.0005,
              .Decay = 0.005});
  AddNoise(b, {.Length = 0.006,
               .Amp = 0.25,
               .Decay = 0.0015,
               .Kind = Filter::BandPass,
               .CutFrom = 2800,
               .CutTo = 2800,
               .Q = 2.5,
               .Seed = 171});
  Soften(b, 6000);
  Finish(b, 0.16);
  return b;
}

// 18: the falling piece turns; a small two-part latch click, a snap and its softer catch.
Buffer TurnClick() {
  Buffer b = Silence(0.06);
  for (int i = 0; i < 2; ++i) {
    const double start = 0.016 * i, level = i == 0 ? 1.0 : 0.55;
    AddNoise(b, {.Start = start,
                 .Length = 0.008,
                 .Amp = 0.5 * level,
                 .Decay = 0.0015,
                 .Kind = Filter::HighPass,
                 .CutFrom = 3500,
                 .CutTo = 3500,
                 .Q = 0.9,
                 .Seed = 181u + i});
    AddTone(b, {.Start = start,
                .Length = 0.02,
                .FreqFrom = i == 0 ? 2100.0 : 1700.0,
                .FreqTo = i == 0 ? 1900.0 : 1600.0,
                .Amp = 0.35 * level,
                .Attack = 0.0005,
                .Decay = 0.004});
  }
  Soften(b, 9000);
  Finish(b, 0.2);
  return b;
}

}  // namespace

Buffer MakeEffect(int number) {
  static Buffer (*const makers[kEffectCount])() = {
      CursorTick, PieceClunk,  MenuBlip,     BonusChime,         ConfirmJingle,
      ReadyBeep,  GoFanfare,   LeakSplash,   AwardChime,         WaterGush,
      PlasticPop, MetalClank,  GlassShatter, WoodCrackBrassRing, ElectricZap,
      TypingTick, LandingThud, ShiftTick,    TurnClick};
  return number >= 0 && number < kEffectCount ? makers[number]() : Buffer{};
}

}  // namespace sfx
