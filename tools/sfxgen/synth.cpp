// SPDX-License-Identifier: Zlib
#include "synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace sfx {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

size_t ToSample(double seconds) { return static_cast<size_t>(std::max(0.0, seconds) * kRate); }

// Exponential glide from `from` to `to` over `length`, at time t.
double Glide(double from, double to, double t, double length) {
  if (length <= 0 || from == to) return from;
  return from * std::pow(to / from, std::min(1.0, t / length));
}

// Attack ramp, exponential decay and a release of at most 5 ms before `length`.
double Envelope(double t, double length, double attack, double decay) {
  double level = attack > 0 ? std::min(1.0, t / attack) : 1.0;
  if (decay > 0 && t > attack) level *= std::exp(-(t - attack) / decay);
  const double release = std::min(0.005, length * 0.2);
  return level * std::clamp((length - t) / release, 0.0, 1.0);
}

// Polynomial band-limited step: takes the worst aliasing off square and saw edges.
double PolyBlep(double phase, double step) {
  if (phase < step) {
    const double x = phase / step;
    return x + x - x * x - 1;
  }
  if (phase > 1 - step) {
    const double x = (phase - 1) / step;
    return x * x + x + x + 1;
  }
  return 0;
}

double Oscillator(Wave shape, double phase, double step, double duty) {
  switch (shape) {
    case Wave::Sine:
      return std::sin(kTwoPi * phase);
    case Wave::Triangle:
      return 1 - 4 * std::abs(phase - 0.5);
    case Wave::Saw:
      return 2 * phase - 1 - PolyBlep(phase, step);
    case Wave::Square: {
      double v = phase < duty ? 1 : -1;
      v += PolyBlep(phase, step);
      v -= PolyBlep(std::fmod(phase + 1 - duty, 1.0), step);
      return v;
    }
  }
  return 0;
}

// Two-pole filter with the usual audio cookbook coefficients, transposed direct form II.
struct Biquad {
  double B0 = 1, B1 = 0, B2 = 0, A1 = 0, A2 = 0, Z1 = 0, Z2 = 0;
};

void SetFilter(Biquad& f, Filter kind, double cutoff, double q) {
  const double w = kTwoPi * std::clamp(cutoff, 10.0, kRate * 0.45) / kRate;
  const double alpha = std::sin(w) / (2 * q), c = std::cos(w), a0 = 1 + alpha;
  switch (kind) {
    case Filter::None:
      f.B0 = 1, f.B1 = f.B2 = f.A1 = f.A2 = 0;
      return;
    case Filter::LowPass:
      f.B0 = f.B2 = (1 - c) / 2 / a0, f.B1 = (1 - c) / a0;
      break;
    case Filter::HighPass:
      f.B0 = f.B2 = (1 + c) / 2 / a0, f.B1 = -(1 + c) / a0;
      break;
    case Filter::BandPass:
      f.B0 = alpha / a0, f.B1 = 0, f.B2 = -alpha / a0;
      break;
  }
  f.A1 = -2 * c / a0;
  f.A2 = (1 - alpha) / a0;
}

double Run(Biquad& f, double x) {
  const double y = f.B0 * x + f.Z1;
  f.Z1 = f.B1 * x - f.A1 * y + f.Z2;
  f.Z2 = f.B2 * x - f.A2 * y;
  return y;
}

// xorshift32: a fixed seed gives the same noise on every build.
double NextNoise(uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state / 2147483648.0 - 1.0;
}

void PutLe(std::FILE* f, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) std::fputc(static_cast<int>((v >> (8 * i)) & 0xFF), f);
}

}  // namespace

Buffer Silence(double seconds) { return Buffer(ToSample(seconds), 0.0f); }

double Seconds(const Buffer& b) { return static_cast<double>(b.size()) / kRate; }

void AddTone(Buffer& b, const Tone& t) {
  const size_t first = ToSample(t.Start), last = std::min(b.size(), ToSample(t.Start + t.Length));
  double phase = 0;
  for (size_t i = first; i < last; ++i) {
    const double time = static_cast<double>(i - first) / kRate;
    double freq = Glide(t.FreqFrom, t.FreqTo, time, t.Length);
    freq *= 1 + t.VibratoDepth * std::sin(kTwoPi * t.VibratoHz * time);
    const double step = freq / kRate;
    const double env = Envelope(time, t.Length, t.Attack, t.Decay);
    b[i] += static_cast<float>(t.Amp * env * Oscillator(t.Shape, phase, step, t.Duty));
    phase = std::fmod(phase + step, 1.0);
  }
}

void AddNoise(Buffer& b, const Noise& n) {
  const size_t first = ToSample(n.Start), last = std::min(b.size(), ToSample(n.Start + n.Length));
  Biquad filter;
  uint32_t state = n.Seed == 0 ? 1 : n.Seed;
  for (size_t i = first; i < last; ++i) {
    const double time = static_cast<double>(i - first) / kRate;
    if ((i - first) % 16 == 0) {
      SetFilter(filter, n.Kind, Glide(n.CutFrom, n.CutTo, time, n.Length), n.Q);
    }
    const double env = Envelope(time, n.Length, n.Attack, n.Decay);
    b[i] += static_cast<float>(n.Amp * env * Run(filter, NextNoise(state)));
  }
}

void AddStrike(Buffer& b, double start, double base, const std::vector<Partial>& partials,
               double detune) {
  for (size_t k = 0; k < partials.size(); ++k) {
    const Partial& p = partials[k];
    const double spread = (k % 2 == 0 ? 1 : -1) * detune * static_cast<double>(k + 1);
    Tone t;
    t.Start = start;
    t.Length = std::min(p.Decay * 7.0, Seconds(b) - start);
    t.FreqFrom = t.FreqTo = base * p.Ratio * (1 + spread);
    t.Amp = p.Amp;
    t.Attack = 0.0008;
    t.Decay = p.Decay;
    AddTone(b, t);
  }
}

void AddBell(Buffer& b, const Bell& bell) {
  const size_t first = ToSample(bell.Start);
  const size_t last = std::min(b.size(), ToSample(bell.Start + bell.Length));
  for (size_t i = first; i < last; ++i) {
    const double t = static_cast<double>(i - first) / kRate;
    const double index = bell.Index * std::exp(-t / (bell.Decay * 0.4));
    const double mod = index * std::sin(kTwoPi * bell.Freq * bell.Ratio * t);
    const double env = Envelope(t, bell.Length, 0.002, bell.Decay);
    b[i] += static_cast<float>(bell.Amp * env * std::sin(kTwoPi * bell.Freq * t + mod));
  }
}

void Gain(Buffer& b, double factor) {
  for (float& s : b) s = static_cast<float>(s * factor);
}

void Soften(Buffer& b, double cutoff) {
  const double a = 1 - std::exp(-kTwoPi * cutoff / kRate);
  double y = 0;
  for (float& s : b) {
    y += a * (s - y);
    s = static_cast<float>(y);
  }
}

double Peak(const Buffer& b) {
  double peak = 0;
  for (float s : b) peak = std::max(peak, static_cast<double>(std::abs(s)));
  return peak;
}

void Finish(Buffer& b, double peak) {
  // DC blocker at about 20 Hz: pitch sweeps and noise filters can leave an offset.
  const double r = 1 - kTwoPi * 20 / kRate;
  double prevIn = 0, prevOut = 0;
  for (float& s : b) {
    prevOut = s - prevIn + r * prevOut;
    prevIn = s;
    s = static_cast<float>(prevOut);
  }
  const double current = Peak(b);
  if (current > 0) Gain(b, peak / current);
  const size_t fadeIn = std::min(b.size(), ToSample(0.001));
  const size_t fadeOut = std::min(b.size(), ToSample(0.010));
  for (size_t i = 0; i < fadeIn; ++i) b[i] *= static_cast<float>(i) / fadeIn;
  for (size_t i = 0; i < fadeOut; ++i) b[b.size() - 1 - i] *= static_cast<float>(i) / fadeOut;
}

bool WriteWav(const std::string& path, const Buffer& b) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const uint32_t dataBytes = static_cast<uint32_t>(b.size() * 2);
  std::fputs("RIFF", f);
  PutLe(f, 36 + dataBytes, 4);
  std::fputs("WAVEfmt ", f);
  PutLe(f, 16, 4);
  PutLe(f, 1, 2);  // PCM
  PutLe(f, 1, 2);  // mono
  PutLe(f, kRate, 4);
  PutLe(f, kRate * 2, 4);
  PutLe(f, 2, 2);
  PutLe(f, 16, 2);
  std::fputs("data", f);
  PutLe(f, dataBytes, 4);
  for (float s : b) {
    const long v = std::lround(std::clamp(static_cast<double>(s), -1.0, 1.0) * 32767);
    PutLe(f, static_cast<uint32_t>(static_cast<int16_t>(v)), 2);
  }
  const bool ok = std::ferror(f) == 0;
  return std::fclose(f) == 0 && ok;
}

}  // namespace sfx
