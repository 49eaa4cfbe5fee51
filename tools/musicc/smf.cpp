// SPDX-License-Identifier: Zlib
// Writing a song as a format 1 Standard MIDI file: a conductor track with the title, time and
// key signatures and the tempo map, then one track per part.
#include <algorithm>

#include "score.h"

namespace music {
namespace {

void PutBig(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutVlq(std::vector<uint8_t>& out, uint32_t v) {
  uint8_t groups[5];
  int n = 0;
  do {
    groups[n++] = v & 0x7F;
    v >>= 7;
  } while (v != 0);
  for (int i = n - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(groups[i] | (i ? 0x80 : 0)));
}

Event Meta(int64_t tick, uint8_t type, const std::string& text) {
  Event e{tick, 0, {0xFF, type}};
  PutVlq(e.Bytes, static_cast<uint32_t>(text.size()));
  e.Bytes.insert(e.Bytes.end(), text.begin(), text.end());
  return e;
}

int Log2(int v) {
  int n = 0;
  while (v > 1) v >>= 1, ++n;
  return n;
}

// Sorts by tick, then by order, keeping the written order otherwise; ends with end of track.
void PutTrack(std::vector<uint8_t>& file, std::vector<Event> events, int64_t endTick) {
  std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
    return a.Tick != b.Tick ? a.Tick < b.Tick : a.Order < b.Order;
  });
  if (!events.empty()) endTick = std::max(endTick, events.back().Tick);
  events.push_back({endTick, 0, {0xFF, 0x2F, 0x00}});
  std::vector<uint8_t> body;
  int64_t at = 0;
  for (const Event& e : events) {
    PutVlq(body, static_cast<uint32_t>(e.Tick - at));
    body.insert(body.end(), e.Bytes.begin(), e.Bytes.end());
    at = e.Tick;
  }
  file.insert(file.end(), {'M', 'T', 'r', 'k'});
  PutBig(file, static_cast<uint32_t>(body.size()), 4);
  file.insert(file.end(), body.begin(), body.end());
}

std::vector<Event> ConductorEvents(const Score& score, const Song& song) {
  std::vector<Event> events;
  if (!score.Title.empty()) events.push_back(Meta(0, 0x03, score.Title));
  if (!score.Copyright.empty()) events.push_back(Meta(0, 0x02, score.Copyright));
  events.push_back({0,
                    0,
                    {0xFF, 0x58, 0x04, static_cast<uint8_t>(score.TimeNum),
                     static_cast<uint8_t>(Log2(score.TimeDen)), 24, 8}});
  events.push_back({0,
                    0,
                    {0xFF, 0x59, 0x02, static_cast<uint8_t>(score.KeySharps),
                     static_cast<uint8_t>(score.KeyMinor ? 1 : 0)}});
  const uint32_t micros = static_cast<uint32_t>(60000000 / score.Tempo);
  events.push_back({0,
                    0,
                    {0xFF, 0x51, 0x03, static_cast<uint8_t>(micros >> 16),
                     static_cast<uint8_t>(micros >> 8), static_cast<uint8_t>(micros)}});
  events.insert(events.end(), song.Conductor.begin(), song.Conductor.end());
  return events;
}

// The part's name, program and mixer settings at tick 0, then its notes.
std::vector<Event> PartEvents(const Part& part, const std::vector<Event>& notes) {
  const uint8_t ch = static_cast<uint8_t>(part.Channel - 1);
  std::vector<Event> events = {Meta(0, 0x03, part.Name)};
  events.push_back({0, 2, {static_cast<uint8_t>(0xC0 | ch), static_cast<uint8_t>(part.Program)}});
  const std::pair<uint8_t, int> controls[] = {
      {7, part.Volume}, {10, part.Pan}, {91, part.Reverb}, {93, part.Chorus}, {11, 127}};
  for (const auto& [number, value] : controls) {
    events.push_back(
        {0, 2, {static_cast<uint8_t>(0xB0 | ch), number, static_cast<uint8_t>(value)}});
  }
  events.insert(events.end(), notes.begin(), notes.end());
  return events;
}

}  // namespace

std::vector<uint8_t> WriteSmf(const Score& score, const Song& song) {
  std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
  PutBig(file, static_cast<uint32_t>(score.Parts.size() + 1), 2);
  PutBig(file, kTicksPerQuarter, 2);
  PutTrack(file, ConductorEvents(score, song), song.EndTick);
  for (size_t i = 0; i < score.Parts.size(); ++i) {
    PutTrack(file, PartEvents(score.Parts[i], song.Tracks[i]), song.EndTick);
  }
  return file;
}

}  // namespace music
