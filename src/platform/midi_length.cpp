// SPDX-License-Identifier: Zlib
// Walks every track of a MIDI file once, collecting the tempo changes and the tick of the last
// event, then integrates the tempo map. Every read is bounds-checked and every step consumes at
// least one byte, so a damaged file ends in false, never in a crash or a hang.
#include "platform/midi_length.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace plat {
namespace {

// A track longer than this many ticks (years of music) is taken as damage; the cap also keeps
// ticks times tempo inside 64 bits.
constexpr int64_t kMaxTicks = int64_t{1} << 36;
constexpr uint32_t kDefaultTempo = 500000;  // microseconds per quarter note: 120 beats a minute

struct Reader {
  const uint8_t* Data;
  size_t Size;
  size_t Pos = 0;
};

bool ReadByte(Reader& r, uint8_t& b) {
  if (r.Pos >= r.Size) return false;
  b = r.Data[r.Pos++];
  return true;
}

bool ReadBig(Reader& r, int bytes, uint32_t& v) {
  if (r.Size - r.Pos < static_cast<size_t>(bytes)) return false;
  v = 0;
  for (int i = 0; i < bytes; ++i) v = (v << 8) | r.Data[r.Pos++];
  return true;
}

// Variable-length quantity of at most four bytes.
bool ReadVlq(Reader& r, uint32_t& v) {
  v = 0;
  for (int i = 0; i < 4; ++i) {
    uint8_t b;
    if (!ReadByte(r, b)) return false;
    v = (v << 7) | (b & 0x7F);
    if ((b & 0x80) == 0) return true;
  }
  return false;
}

bool Skip(Reader& r, uint64_t n) {
  if (r.Size - r.Pos < n) return false;
  r.Pos += static_cast<size_t>(n);
  return true;
}

struct TempoChange {
  int64_t Tick;
  uint32_t MicrosPerQuarter;
};

struct TrackScan {
  int64_t EndTick = 0;
  std::vector<TempoChange> Tempos;
};

// A meta event after its type byte: only tempo and end of track matter for the length.
bool ScanMeta(Reader& r, int64_t tick, TrackScan& out, bool& ended) {
  uint8_t type;
  uint32_t len;
  if (!ReadByte(r, type) || !ReadVlq(r, len)) return false;
  if (type == 0x51) {
    uint32_t tempo;
    if (len != 3 || !ReadBig(r, 3, tempo) || tempo == 0) return false;
    out.Tempos.push_back({tick, tempo});
    return true;
  }
  ended = type == 0x2F;
  return Skip(r, len);
}

// A channel message after its status byte; data bytes must have the top bit clear.
bool ScanChannelData(Reader& r, uint8_t status) {
  const int count = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
  for (int i = 0; i < count; ++i) {
    uint8_t b;
    if (!ReadByte(r, b) || b >= 0x80) return false;
  }
  return true;
}

bool ScanEvent(Reader& r, int64_t tick, uint8_t& running, TrackScan& out, bool& ended) {
  uint8_t status;
  if (r.Pos >= r.Size) return false;
  if (r.Data[r.Pos] >= 0x80) {
    status = r.Data[r.Pos++];
  } else {
    if (running == 0) return false;  // running status with nothing to repeat
    status = running;
  }
  if (status == 0xFF) {
    running = 0;
    return ScanMeta(r, tick, out, ended);
  }
  if (status == 0xF0 || status == 0xF7) {
    running = 0;
    uint32_t len;
    return ReadVlq(r, len) && Skip(r, len);
  }
  if (status > 0xF0) return false;  // system common and real-time bytes do not belong in a file
  running = status;
  return ScanChannelData(r, status);
}

// A track ends at its end-of-track event or, leniently, at the end of its chunk.
bool ScanTrack(const uint8_t* data, size_t size, TrackScan& out) {
  Reader r{data, size};
  int64_t tick = 0;
  uint8_t running = 0;
  while (r.Pos < r.Size) {
    uint32_t delta;
    if (!ReadVlq(r, delta)) return false;
    tick += delta;
    if (tick > kMaxTicks) return false;
    bool ended = false;
    if (!ScanEvent(r, tick, running, out, ended)) return false;
    out.EndTick = tick;
    if (ended) break;
  }
  return true;
}

// Sum of ticks times tempo over the map, in tick-microseconds; fits since ticks <= 2^36.
int64_t TempoUnits(std::vector<TempoChange> tempos, int64_t endTick) {
  std::stable_sort(tempos.begin(), tempos.end(),
                   [](const TempoChange& a, const TempoChange& b) { return a.Tick < b.Tick; });
  int64_t units = 0;
  int64_t at = 0;
  uint32_t tempo = kDefaultTempo;
  for (const TempoChange& t : tempos) {
    if (t.Tick >= endTick) break;
    units += (t.Tick - at) * tempo;
    at = t.Tick;
    tempo = t.MicrosPerQuarter;
  }
  return units + (endTick - at) * tempo;
}

struct Header {
  int Format = 0;
  int Tracks = 0;
  int TicksPerQuarter = 0;  // 0 for SMPTE time
  int64_t SmpteNum = 0;     // SMPTE: ms = ticks * SmpteNum / SmpteDen
  int64_t SmpteDen = 0;
};

bool ReadDivision(uint32_t division, Header& h) {
  if ((division & 0x8000) == 0) {
    h.TicksPerQuarter = static_cast<int>(division);
    return division != 0;
  }
  const int fps = -static_cast<int8_t>(division >> 8);
  const int perFrame = static_cast<int>(division & 0xFF);
  if (perFrame == 0) return false;
  if (fps == 29) {  // 29.97 frames a second: 30000 / 1001
    h.SmpteNum = 1001;
    h.SmpteDen = 30 * perFrame;
    return true;
  }
  if (fps != 24 && fps != 25 && fps != 30) return false;
  h.SmpteNum = 1000;
  h.SmpteDen = int64_t{fps} * perFrame;
  return true;
}

bool ReadHeader(Reader& r, Header& h) {
  uint32_t tag, len, format, tracks, division;
  if (!ReadBig(r, 4, tag) || tag != 0x4D546864 || !ReadBig(r, 4, len) || len < 6) return false;
  const size_t bodyStart = r.Pos;
  if (!ReadBig(r, 2, format) || !ReadBig(r, 2, tracks) || !ReadBig(r, 2, division)) return false;
  if (format > 2 || tracks == 0 || (format == 0 && tracks != 1)) return false;
  h.Format = static_cast<int>(format);
  h.Tracks = static_cast<int>(tracks);
  return ReadDivision(division, h) && Skip(r, len - (r.Pos - bodyStart));
}

int64_t TrackMs(const Header& h, const std::vector<TempoChange>& tempos, int64_t endTick) {
  if (h.TicksPerQuarter == 0) return endTick * h.SmpteNum / h.SmpteDen;
  return TempoUnits(tempos, endTick) / (int64_t{h.TicksPerQuarter} * 1000);
}

// Finds the next MTrk chunk, skipping chunks of other types as the format allows.
bool NextTrack(Reader& r, const uint8_t*& data, size_t& size) {
  for (;;) {
    uint32_t tag, len;
    if (!ReadBig(r, 4, tag) || !ReadBig(r, 4, len) || r.Size - r.Pos < len) return false;
    const size_t start = r.Pos;
    r.Pos += len;
    if (tag == 0x4D54726B) {
      data = r.Data + start;
      size = len;
      return true;
    }
  }
}

}  // namespace

// Formats 0 and 1 play their tracks together, with tempo changes taken from any track (as
// players do); format 2 plays its tracks one after another, each under its own tempo map.
bool MidiLengthMs(const uint8_t* data, size_t size, int64_t& ms) {
  if (data == nullptr) return false;
  Reader r{data, size};
  Header h;
  if (!ReadHeader(r, h)) return false;
  TrackScan together;
  int64_t sequenceMs = 0;
  for (int i = 0; i < h.Tracks; ++i) {
    const uint8_t* track;
    size_t trackSize;
    TrackScan scan;
    if (!NextTrack(r, track, trackSize) || !ScanTrack(track, trackSize, scan)) return false;
    if (h.Format == 2) {
      const int64_t part = TrackMs(h, scan.Tempos, scan.EndTick);
      if (part > std::numeric_limits<int64_t>::max() - sequenceMs) return false;
      sequenceMs += part;
      continue;
    }
    together.EndTick = std::max(together.EndTick, scan.EndTick);
    together.Tempos.insert(together.Tempos.end(), scan.Tempos.begin(), scan.Tempos.end());
  }
  ms = h.Format == 2 ? sequenceMs : TrackMs(h, together.Tempos, together.EndTick);
  return true;
}

}  // namespace plat
