// SPDX-License-Identifier: Zlib
// A small additive and subtractive synthesiser for the game's sound effects. Every voice is
// added into a mono buffer of floats; Finish() then removes DC, normalises the peak and fades the
// ends so that no effect clicks or clips.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sfx {

constexpr int kRate = 44100;

using Buffer = std::vector<float>;

Buffer Silence(double seconds);
double Seconds(const Buffer& b);

enum class Wave { Sine, Triangle, Square, Saw };

// An oscillator voice: the pitch glides exponentially from FreqFrom to FreqTo over Length, the
// level rises linearly over Attack and then falls exponentially with time constant Decay
// (0 = held), with a short release at the end of Length.
struct Tone {
  Wave Shape = Wave::Sine;
  double Start = 0;
  double Length = 0.1;
  double FreqFrom = 440;
  double FreqTo = 440;
  double Amp = 0.5;
  double Attack = 0.002;
  double Decay = 0;
  double Duty = 0.5;        // pulse width of the square
  double VibratoHz = 0;     // pitch wobble rate
  double VibratoDepth = 0;  // pitch wobble, fraction of the frequency
};
void AddTone(Buffer& b, const Tone& t);

enum class Filter { None, LowPass, HighPass, BandPass };

// Filtered white noise; the cut-off glides exponentially from CutFrom to CutTo.
struct Noise {
  double Start = 0;
  double Length = 0.1;
  double Amp = 0.5;
  double Attack = 0.001;
  double Decay = 0;
  Filter Kind = Filter::None;
  double CutFrom = 1000;
  double CutTo = 1000;
  double Q = 0.7;
  uint32_t Seed = 1;
};
void AddNoise(Buffer& b, const Noise& n);

// A struck body: sine partials at Base times each ratio, each with its own amplitude and decay
// time constant; Detune spreads them a little so that they beat like a real object.
struct Partial {
  double Ratio;
  double Amp;
  double Decay;
};
void AddStrike(Buffer& b, double start, double base, const std::vector<Partial>& partials,
               double detune = 0);

// A two-operator FM bell: the modulation index falls with the note, brightness first.
struct Bell {
  double Start = 0;
  double Freq = 880;
  double Ratio = 3.5;  // modulator frequency over carrier frequency
  double Index = 2.0;  // peak modulation index
  double Amp = 0.4;
  double Decay = 0.3;
  double Length = 0.6;
};
void AddBell(Buffer& b, const Bell& bell);

// Scales the buffer in place.
void Gain(Buffer& b, double factor);
// One-pole low-pass over the whole buffer: softens an effect that is too bright.
void Soften(Buffer& b, double cutoff);
// DC removal, peak normalisation to `peak` (below 1) and short fades at both ends.
void Finish(Buffer& b, double peak);
double Peak(const Buffer& b);

// 16-bit mono PCM RIFF WAVE at kRate. Returns false when the file cannot be written.
bool WriteWav(const std::string& path, const Buffer& b);

}  // namespace sfx
