// SPDX-License-Identifier: Zlib
// An opt-in record of the real window's frames for pacing, start-up and
// memory measurements: DUCTORA_FRAME_LOG=path turns it on. Frames go into a
// fixed buffer in memory; the file is written once, when the process exits.
//
// The file holds "name value" lines:
//   renderer NAME                  the SDL renderer drawing the window
//   first-shown-realtime-us N      wall-clock time (CLOCK_REALTIME, microseconds
//                                  since the epoch) at which the first picture
//                                  was presented, for a caller that noted the
//                                  time just before starting the program
//   first-shown-after-start-ms N   the same moment measured from the process's
//                                  start time in /proc/self/stat, which the
//                                  kernel reports in whole clock ticks (10 ms),
//                                  so this reads up to one tick high
//   peak-rss-kb N                  getrusage's ru_maxrss at exit
//   frames N / frames-dropped N    frames recorded / not kept (buffer full)
//   frame T D                      one per frame: T the monotonic time (ns)
//                                  at which the frame's wait returned, D the
//                                  millisecond deadline it waited for, or 0
//                                  when the frame was already late
#pragma once

#include <cstdint>

namespace plat::framelog {

// True when DUCTORA_FRAME_LOG names a file (read on the first call).
bool Enabled();
// A frame's wait has returned at monotonic time nowNs.
void Mark(int64_t nowNs, int64_t deadlineMs);
// A picture has been presented in the window; only the first one counts.
void Shown();
// The renderer now drawing the window.
void Renderer(const char* name);

}  // namespace plat::framelog
