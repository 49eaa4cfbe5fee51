// SPDX-License-Identifier: Zlib
// The title sheet (the DUCTORA FIESTA logo and the course-select caption)
// and the texture band that shows through the caption's letters.
//
// The logo's letters are bent pipes: each letter is a path of straight runs
// with rounded bends, drawn as a shaded tube with flanges at its open ends.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "draw.h"
#include "glyphs.h"

namespace sheetgen {
namespace {

struct Vec {
  float X, Y;
};
Vec operator+(Vec a, Vec b) { return {a.X + b.X, a.Y + b.Y}; }
Vec operator-(Vec a, Vec b) { return {a.X - b.X, a.Y - b.Y}; }
Vec operator*(Vec a, float k) { return {a.X * k, a.Y * k}; }
float Dot(Vec a, Vec b) { return a.X * b.X + a.Y * b.Y; }
float Length(Vec a) { return std::sqrt(Dot(a, a)); }
Vec Unit(Vec a) {
  float l = Length(a);
  return l > 0 ? a * (1.0f / l) : Vec{0, 0};
}

// ------------------------------------------------------------ pipe letters

// A point of a letter's path in grid units (y down) with the radius of the
// bend there, also in units (0 for a sharp elbow).
struct PathPoint {
  float X, Y, Bend;
};
struct Stroke {
  std::vector<PathPoint> Points;
  bool Closed;
};
struct LetterShape {
  char Letter;
  float Width;  // in units; height is always 5
  std::vector<Stroke> Strokes;
};

// clang-format off
const LetterShape kLetters[] = {
    {'D', 4, {{{{0, 0, 0.5f}, {4, 0, 2}, {4, 5, 2}, {0, 5, 0.5f}}, true}}},
    {'U', 4, {{{{0, 0, 0}, {0, 5, 2}, {4, 5, 2}, {4, 0, 0}}, false}}},
    {'C', 4, {{{{4, 0, 0}, {0, 0, 1.6f}, {0, 5, 1.6f}, {4, 5, 0}}, false}}},
    {'T', 4, {{{{0, 0, 0}, {4, 0, 0}}, false}, {{{2, 0, 0}, {2, 5, 0}}, false}}},
    {'O', 4, {{{{0, 0, 2}, {4, 0, 2}, {4, 5, 2}, {0, 5, 2}}, true}}},
    {'R', 4, {{{{0, 5, 0}, {0, 0, 0.5f}, {4, 0, 1.25f}, {4, 2.5f, 1.25f}, {0, 2.5f, 0}}, false},
              {{{2, 2.5f, 0}, {4, 5, 0}}, false}}},
    {'A', 4, {{{{0, 5, 0}, {0, 0, 2}, {4, 0, 2}, {4, 5, 0}}, false}, {{{0, 2.8f, 0}, {4, 2.8f, 0}}, false}}},
    {'F', 3.4f, {{{{3.4f, 0, 0}, {0, 0, 0.5f}, {0, 5, 0}}, false}, {{{0, 2.5f, 0}, {2.7f, 2.5f, 0}}, false}}},
    {'I', 0, {{{{0, 0, 0}, {0, 5, 0}}, false}}},
    {'E', 3.4f, {{{{3.4f, 0, 0}, {0, 0, 0.5f}, {0, 5, 0.5f}, {3.4f, 5, 0}}, false},
                 {{{0, 2.5f, 0}, {2.7f, 2.5f, 0}}, false}}},
    {'S', 4, {{{{4, 0, 0}, {0, 0, 1.25f}, {0, 2.5f, 1.25f}, {4, 2.5f, 1.25f}, {4, 5, 1.25f}, {0, 5, 0}}, false}}},
};
// clang-format on

const LetterShape* FindLetter(char c) {
  for (const LetterShape& l : kLetters)
    if (l.Letter == c) return &l;
  return nullptr;
}

struct Segment {
  Vec A, B;
};
// A flange: a short, slightly wider ring round the tube at an open end.
struct Flange {
  Vec Center, Axis;
};
struct PipeGlyph {
  std::vector<Segment> Segments;
  std::vector<Flange> Flanges;
  uint32_t Color;
  float MinX, MinY, MaxX, MaxY;
};

// Replaces each bend of a path by a sampled curve, in pixels.
std::vector<Vec> SmoothPath(const Stroke& s, Vec origin, float unit) {
  const size_t n = s.Points.size();
  auto at = [&](size_t i) { return origin + Vec{s.Points[i].X, s.Points[i].Y} * unit; };
  std::vector<Vec> out;
  for (size_t i = 0; i < n; ++i) {
    bool end = !s.Closed && (i == 0 || i + 1 == n);
    if (end || s.Points[i].Bend <= 0) {
      out.push_back(at(i));
      continue;
    }
    Vec b = at(i), a = at((i + n - 1) % n), c = at((i + 1) % n);
    float r = s.Points[i].Bend * unit;
    Vec p1 = b + Unit(a - b) * std::min(r, Length(a - b) / 2);
    Vec p2 = b + Unit(c - b) * std::min(r, Length(c - b) / 2);
    for (int k = 0; k <= 10; ++k) {
      float t = k / 10.0f;
      out.push_back(p1 * ((1 - t) * (1 - t)) + b * (2 * t * (1 - t)) + p2 * (t * t));
    }
  }
  if (s.Closed) out.push_back(out.front());
  return out;
}

// Nearest point of a segment to p; returns the offset from it to p.
Vec OffsetFromSegment(const Segment& s, Vec p) {
  Vec ab = s.B - s.A;
  float len2 = Dot(ab, ab);
  float t = len2 > 0 ? std::clamp(Dot(p - s.A, ab) / len2, 0.0f, 1.0f) : 0.0f;
  return p - (s.A + ab * t);
}

// An end that runs into another part of the letter (the stem of a T, the
// bar of an A) is a joint, not an open end, and gets no flange.
bool EndIsJoined(const std::vector<Segment>& segments, Vec end, float radius) {
  for (const Segment& s : segments) {
    if (Length(s.A - end) < 0.01f || Length(s.B - end) < 0.01f) continue;  // its own run
    if (Length(OffsetFromSegment(s, end)) < radius) return true;
  }
  return false;
}

void AddFlange(PipeGlyph& g, Vec end, Vec inward, float radius) {
  if (!EndIsJoined(g.Segments, end, radius)) g.Flanges.push_back({end + inward * 2.5f, inward});
}

PipeGlyph BuildGlyph(const LetterShape& shape, Vec origin, float unit, uint32_t color,
                     float radius) {
  PipeGlyph g{{}, {}, color, 1e9f, 1e9f, -1e9f, -1e9f};
  std::vector<std::vector<Vec>> paths;
  for (const Stroke& s : shape.Strokes) {
    paths.push_back(SmoothPath(s, origin, unit));
    const std::vector<Vec>& pts = paths.back();
    for (size_t i = 0; i + 1 < pts.size(); ++i) g.Segments.push_back({pts[i], pts[i + 1]});
  }
  for (size_t k = 0; k < paths.size(); ++k) {
    const std::vector<Vec>& pts = paths[k];
    if (shape.Strokes[k].Closed) continue;
    AddFlange(g, pts.front(), Unit(pts[1] - pts[0]), radius);
    AddFlange(g, pts.back(), Unit(pts[pts.size() - 2] - pts.back()), radius);
  }
  for (const Segment& s : g.Segments) {
    g.MinX = std::min({g.MinX, s.A.X, s.B.X});
    g.MinY = std::min({g.MinY, s.A.Y, s.B.Y});
    g.MaxX = std::max({g.MaxX, s.A.X, s.B.X});
    g.MaxY = std::max({g.MaxY, s.A.Y, s.B.Y});
  }
  float pad = radius + 6;
  g.MinX -= pad, g.MinY -= pad, g.MaxX += pad, g.MaxY += pad;
  return g;
}

struct LogoStyle {
  float Radius;      // tube radius in pixels
  float FlangeGrow;  // how much wider a flange is
  float Rim;         // dark rim round the tubes
};

// The colour of one sample point over a glyph, or false when it misses it.
bool SampleGlyph(const PipeGlyph& g, Vec p, const LogoStyle& st, uint32_t& out) {
  for (const Flange& f : g.Flanges) {
    Vec d = p - f.Center;
    float along = Dot(d, f.Axis);
    Vec across = d - f.Axis * along;
    float r = Length(across), fr = st.Radius + st.FlangeGrow;
    if (std::fabs(along) <= 2.5f && r <= fr) {
      Vec n = Unit(across);
      uint32_t c = TubeColor(Mix(g.Color, 0xE8E0D0, 0.35f), r / fr, n.X, n.Y, 1.0f);
      out = std::fabs(along) > 1.8f ? Shade(c, -0.35f) : c;
      return true;
    }
  }
  float best = 1e9f;
  Vec bestOff{0, 0};
  for (const Segment& s : g.Segments) {
    Vec off = OffsetFromSegment(s, p);
    float d = Length(off);
    if (d < best) best = d, bestOff = off;
  }
  if (best <= st.Radius) {
    Vec n = Unit(bestOff);
    out = TubeColor(g.Color, best / st.Radius, n.X, n.Y, 0.9f);
    return true;
  }
  if (best <= st.Radius + st.Rim) {
    out = 0x140818;
    return true;
  }
  return false;
}

// Every pixel of the glyph's box, sampled 3 x 3 and averaged over what was hit.
void PaintGlyph(Canvas& cv, const PipeGlyph& g, const LogoStyle& st) {
  for (int y = static_cast<int>(g.MinY); y <= static_cast<int>(g.MaxY); ++y)
    for (int x = static_cast<int>(g.MinX); x <= static_cast<int>(g.MaxX); ++x) {
      float r = 0, gr = 0, b = 0;
      int hits = 0;
      for (int sy = 0; sy < 3; ++sy)
        for (int sx = 0; sx < 3; ++sx) {
          uint32_t c;
          if (!SampleGlyph(g, {x + (sx + 0.5f) / 3, y + (sy + 0.5f) / 3}, st, c)) continue;
          r += Red(c), gr += Green(c), b += Blue(c), ++hits;
        }
      if (hits) Blend(cv, x, y, Rgb(r / hits, gr / hits, b / hits), hits / 9.0f);
    }
}

// A soft drop shadow under the letters, so they stand off the background.
void PaintShadow(Canvas& cv, const PipeGlyph& g, const LogoStyle& st, Vec shift) {
  for (int y = static_cast<int>(g.MinY); y <= static_cast<int>(g.MaxY + shift.Y); ++y)
    for (int x = static_cast<int>(g.MinX); x <= static_cast<int>(g.MaxX + shift.X); ++x) {
      Vec p = Vec{x + 0.5f, y + 0.5f} - shift;
      float best = 1e9f;
      for (const Segment& s : g.Segments) best = std::min(best, Length(OffsetFromSegment(s, p)));
      if (best <= st.Radius + st.Rim) Blend(cv, x, y, 0x3A1048, 0.85f);
    }
}

std::vector<PipeGlyph> LayOutWord(const std::string& word, const std::vector<uint32_t>& colors,
                                  float centerX, float top, float unit, float gap,
                                  const LogoStyle& st) {
  float width = 0;
  for (char c : word) width += FindLetter(c)->Width * unit + 2 * st.Radius + gap;
  width -= gap;
  float x = centerX - width / 2 + st.Radius;
  std::vector<PipeGlyph> glyphs;
  for (size_t i = 0; i < word.size(); ++i) {
    const LetterShape* shape = FindLetter(word[i]);
    glyphs.push_back(BuildGlyph(*shape, {x, top + st.Radius}, unit, colors[i], st.Radius));
    x += shape->Width * unit + 2 * st.Radius + gap;
  }
  return glyphs;
}

// ------------------------------------------------------------ water and sparkle

struct Drop {
  float X, Y, R;
};

// Water drops drawn in layers (all rims, then all bodies, then the glints), so
// that overlapping drops merge into one jet.
void PaintDrops(Canvas& cv, const std::vector<Drop>& drops) {
  for (const Drop& d : drops) FillCircle(cv, d.X, d.Y, d.R + 1, 0x0C3C90);
  for (const Drop& d : drops) FillCircle(cv, d.X, d.Y, d.R, 0x3CA8FF);
  for (const Drop& d : drops)
    FillCircle(cv, d.X - d.R * 0.2f, d.Y - d.R * 0.2f, d.R * 0.6f, 0x80D4FF);
  for (const Drop& d : drops)
    FillCircle(cv, d.X - d.R * 0.4f, d.Y - d.R * 0.4f, std::max(0.7f, d.R * 0.28f), 0xFFFFFF);
}

// A fountain spraying out of an open pipe end: a solid jet that breaks up
// into droplets along a parabola, falling away from the letter.
void Fountain(Canvas& cv, Vec mouth, float lean) {
  std::vector<Drop> drops;
  for (int jet = 0; jet < 2; ++jet) {
    float vx = lean * (1.2f + 1.0f * jet), vy = -5.0f + 0.9f * jet;
    for (int k = 0; k <= 30; ++k) {
      float t = k * 0.4f;
      float x = mouth.X + vx * t, y = mouth.Y + vy * t + 0.45f * t * t;
      bool solid = k < 10;
      if (!solid && k % 3 != 0) continue;
      float r = solid ? 4.2f - 0.14f * k : std::max(1.3f, 3.4f - 0.09f * k);
      drops.push_back({x, y, r});
    }
  }
  PaintDrops(cv, drops);
}

void Sparkle(Canvas& cv, int cx, int cy, int arm, uint32_t tint) {
  for (int i = -arm; i <= arm; ++i) {
    float a = 1.0f - std::fabs(static_cast<float>(i)) / (arm + 1);
    Blend(cv, cx + i, cy, Mix(tint, 0xFFFFFF, a), a);
    Blend(cv, cx, cy + i, Mix(tint, 0xFFFFFF, a), a);
  }
  for (int d = -arm / 3; d <= arm / 3; ++d) {
    Blend(cv, cx + d, cy + d, tint, 0.6f);
    Blend(cv, cx + d, cy - d, tint, 0.6f);
  }
  Plot(cv, cx, cy, 0xFFFFFF);
}

void DrawLogo(Canvas& cv) {
  const LogoStyle st{7.0f, 2.0f, 2.0f};
  const float unit = 12.0f;
  auto top =
      LayOutWord("DUCTORA", {0xE83838, 0xFF8C1A, 0xFFD028, 0x38C040, 0x24B8EC, 0x4868FF, 0xD048D8},
                 256, 24, unit, 8, st);
  auto bottom = LayOutWord("FIESTA", {0xFF4880, 0xFFA020, 0xFFE048, 0x40D060, 0x30B0F0, 0xA060FF},
                           256, 114, unit, 8, st);
  for (const auto* word : {&top, &bottom})
    for (const PipeGlyph& g : *word) PaintShadow(cv, g, st, {4, 4});
  for (const auto* word : {&top, &bottom})
    for (const PipeGlyph& g : *word) PaintGlyph(cv, g, st);
  // The U's open ends are fountains.
  const PipeGlyph& u = top[1];
  Fountain(cv, u.Segments.front().A + Vec{0, -4}, -1.0f);
  Fountain(cv, u.Segments.back().B + Vec{0, -4}, 1.0f);
  const int sparkles[][3] = {{30, 30, 5},   {486, 40, 6},  {120, 104, 4}, {400, 104, 4},
                             {60, 150, 6},  {456, 176, 5}, {226, 10, 3},  {330, 14, 4},
                             {150, 188, 3}, {372, 190, 4}, {18, 96, 3},   {496, 120, 3}};
  for (const auto& s : sparkles) Sparkle(cv, s[0], s[1], s[2], 0xFFE870);
}

// ------------------------------------------------------------ caption

// "COURSE SELECT" in the game's letters blown up three by four, white on
// black: the screen ANDs the moving texture band through these shapes.
void DrawCaption(Canvas& cv, int y0) {
  const std::string text = "COURSE SELECT";
  const int sx = 3, sy = 4, gap = 2, space = 14;
  int width = 0;
  for (char c : text) width += (c == ' ' ? space : kGlyphWidth * sx) + gap;
  width -= gap;
  int x = (512 - width) / 2;
  const int top = y0 + (80 - kGlyphHeight * sy) / 2;
  for (char c : text) {
    const char* const* g = BigGlyph(c);
    if (g == nullptr) {
      x += space + gap;
      continue;
    }
    for (int r = 0; r < kGlyphHeight; ++r)
      for (int col = 0; col < kGlyphWidth; ++col)
        if (g[r][col] == '#') FillRect(cv, x + col * sx, top + r * sy, sx, sy, 0xFFFFFF);
    x += kGlyphWidth * sx + gap;
  }
}

// ------------------------------------------------------------ texture

// Warm festival colours from top to bottom of the 80 shown rows, with
// diagonal glints every 32 pixels (so the band repeats every 512).
uint32_t BackColor(int x, int y) {
  static const uint32_t kStops[] = {0xFFF8B0, 0xFFD840, 0xFF9A20, 0xF04848, 0xC02888};
  float t = std::clamp((y % 80 - 10) / 60.0f, 0.0f, 1.0f) * 4.0f;
  int i = std::min(3, static_cast<int>(t));
  uint32_t base = Mix(kStops[i], kStops[i + 1], t - i);
  int d = (x + y) % 32;
  if (d < 4) return Shade(base, d < 2 ? 0.55f : 0.3f);
  if (d >= 12 && d < 14) return Shade(base, 0.2f);
  return base;
}

}  // namespace

Canvas DrawTitleSheet() {
  Canvas cv = MakeCanvas(512, 512);
  DrawLogo(cv);
  DrawCaption(cv, 256);
  return cv;
}

Canvas DrawBackSheet() {
  Canvas cv = MakeCanvas(512, 256);
  for (int y = 0; y < cv.Height; ++y)
    for (int x = 0; x < cv.Width; ++x) Plot(cv, x, y, BackColor(x, y));
  return cv;
}

}  // namespace sheetgen
