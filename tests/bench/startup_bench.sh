#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# Start-up time and memory. The real window, under an Xvfb server of its own
# and without an audio device, is started STARTS times from a program folder
# of its own and quit with Esc once its window is up; from its frame log
# (DUCTORA_FRAME_LOG): the time from the start of the program (the wall
# clock read in the process just before it becomes the game) to its first
# picture presented in the window, and the peak resident set size
# (getrusage's ru_maxrss at exit). Then the peak resident set size of the
# headless runner through 6000 frames of a course game and of an endless
# game (/usr/bin/time when it is there, else /proc/PID/status VmHWM sampled
# every 10 ms, which may miss a last rise).
#
#   bash tests/bench/startup_bench.sh BUILD_DIR [STARTS]
#
# Prints each start's figures, then the medians.
set -euo pipefail
build=$(cd "$1" && pwd)
starts=${2:-10}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
source "$here/lib/window.bash"
source "$here/../scenario/lib/game_root.bash"
trap 'stop_game; stop_display; rm -rf "$work"' EXIT

make_window_root "$build"
start_display
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((s = 1; s <= starts; s++)); do
  start_game "$work/start.log"
  focus_game
  sleep 0.5
  quit_game
  shown=$(first_shown_ms "$work/start.log")
  rss=$(awk -v k="$(log_value "$work/start.log" peak-rss-kb)" 'BEGIN { printf "%.1f", k / 1024 }')
  echo "start $s: first picture after $shown ms, peak rss $rss MB," \
    "renderer $(log_value "$work/start.log" renderer)"
  echo "$shown $rss" >> "$work/figures"
done
echo "window median of $starts starts: first picture after" \
  "$(awk '{ print $1 }' "$work/figures" | median) ms, peak rss" \
  "$(awk '{ print $2 }' "$work/figures" | median) MB"
echo "load average now: $(cut -d' ' -f1-3 /proc/loadavg)"

# peak_rss_mb COMMAND...: the peak resident set size of a command, in MB.
peak_rss_mb() {
  if [[ -x /usr/bin/time ]]; then
    /usr/bin/time -f '%M' -o "$work/rss" "$@" > /dev/null
    awk '{ printf "%.1f\n", $1 / 1024 }' "$work/rss"
    return
  fi
  "$@" > /dev/null &
  local pid=$! peak=0 v
  while v=$(awk '$1 == "VmHWM:" { print $2 }' "/proc/$pid/status" 2> /dev/null) && [[ -n $v ]]; do
    peak=$v
    sleep 0.01
  done
  wait "$pid"
  awk -v k="$peak" 'BEGIN { printf "%.1f (sampled)\n", k / 1024 }'
}

# A course game: Z, Z, then the cursor moves and lays pieces. An endless
# game: HEYLAW chosen by a player who has finished every course, Down held.
make_root "$work/headless" "$build/ductora-headless"
awk 'BEGIN { print 20, "Z tap"; print 90, "Z tap"
  split("Right Down Z Right Down Z Left Up Z", k, " ")
  for (f = 400; f < 6000; f += 11) print f, k[(i++ % 9) + 1], "tap" }' > "$work/course.txt"
printf '20 Z tap\n101 Up tap\n130 Z tap\n200 Down down\n' > "$work/endless.txt"
echo "headless runner peak rss: course game" \
  "$(peak_rss_mb "$build/ductora-headless" --root "$work/headless" --input "$work/course.txt" \
    --frames 6000) MB, endless game" \
  "$(write_save "$work/headless" 7 && peak_rss_mb "$build/ductora-headless" \
    --root "$work/headless" --input "$work/endless.txt" --frames 6000) MB"
