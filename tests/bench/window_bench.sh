#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# Frame pacing and processor time of the real window, under an Xvfb server
# of its own and without an audio device. Each run starts the game twice
# from a program folder of its own:
#   title: the game sits on the title for FRAMES frames, then Esc;
#   play:  Z, Z starts a one-player game of course A; once the stage is on
#          (after its black screen) the cursor moves and lays pieces (a key about
#          every 0.23 s from one xdotool script) for about FRAMES frames, then Esc.
# From the game's frame log (DUCTORA_FRAME_LOG): the mean, median, 99th
# percentile and longest interval between frames of 17 ms (the black
# screens and wipes, which ask for longer waits, are left out; the title
# figures start a second after the window appears, the play figures after
# the stage's black screen), the time from the start of
# the program to its first picture in the window, and the peak resident set
# size. Processor time is the game's utime + stime (all threads) from
# /proc/PID/stat over the measured stretch, as a share of one core.
#
#   bash tests/bench/window_bench.sh BUILD_DIR [FRAMES] [RUNS] [no-music]
#
# The music is synthesised (FluidSynth through SDL_mixer) and mixed for the
# dummy audio device as it would be for a real one; with no-music the music
# files are left out of the program folder, and the difference between the
# two is what the synthesiser costs.
# Prints each run's figures, then the medians over the runs. The machine's
# load average is printed with them: other work on the machine shows up in
# the pacing.
set -euo pipefail
build=$(cd "$1" && pwd)
frames=${2:-1200}
runs=${3:-5}
music=${4:-music}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
source "$here/lib/window.bash"
trap 'stop_game; stop_display; rm -rf "$work"' EXIT
tick=$(getconf CLK_TCK)
seconds=$(awk -v f="$frames" 'BEGIN { print f * 0.017 }')

make_window_root "$build" "$music"
start_display

# The play phase's keys, one every 0.2 s for about FRAMES frames, from a
# single xdotool process (one process a key would load the machine more).
awk -v f="$frames" 'BEGIN {
  split("Right z Down z Right Down z Left Up z", k, " ")
  for (i = 0; i < f * 17 / 230; i++) { print "key --delay 30 " k[i % 10 + 1]; print "sleep 0.2" }
}' > "$work/keys.xdo"

# measure PHASE LOG FROM CPU0 T0: one line of figures for the run's log.
measure() {
  local cpu count mean med p99 max
  if [[ -z $(log_value "$2" first-shown-realtime-us) ]]; then
    echo "$1: the game never showed a picture" >&2
    exit 1
  fi
  read -r count mean med p99 max <<< "$(pacing "$2" "$3")"
  if ((count < frames * 9 / 10)); then
    echo "$1: only $count frames of 17 ms were logged (wanted $frames)" >&2
    exit 1
  fi
  cpu=$(awk -v c="$4" -v t="$tick" -v w="$5" 'BEGIN { printf "%.1f", 100 * c / t / (w / 1e6) }')
  echo "$1 frames $count mean $mean median $med p99 $p99 max $max cpu $cpu" \
    "first-shown $(first_shown_ms "$2") rss-mb $(awk -v k="$(log_value "$2" peak-rss-kb)" \
    'BEGIN { printf "%.1f", k / 1024 }') renderer $(log_value "$2" renderer)"
}

for ((r = 1; r <= runs; r++)); do
  echo "run $r, load average: $(cut -d' ' -f1-3 /proc/loadavg)"

  start_game "$work/title.log"
  focus_game
  sleep 1
  c0=$(cpu_ticks) t0=$(now_us)
  sleep "$seconds"
  c1=$(cpu_ticks) t1=$(now_us)
  quit_game
  measure title "$work/title.log" 60 $((c1 - c0)) $((t1 - t0)) | tee -a "$work/figures"

  start_game "$work/play.log"
  focus_game
  sleep 1
  key z
  sleep 1.5
  key z
  sleep 5  # the wipe, the black screen, the stage sliding in, READY? and GO !!
  c0=$(cpu_ticks) t0=$(now_us)
  xdotool "$work/keys.xdo"
  c1=$(cpu_ticks) t1=$(now_us)
  quit_game
  from=$(first_frame_after "$work/play.log" 400)
  if ((from == 0)); then
    echo "play: the stage never started" >&2
    exit 1
  fi
  measure play "$work/play.log" "$from" $((c1 - c0)) $((t1 - t0)) | tee -a "$work/figures"
done

for phase in title play; do
  summary="$phase median of $runs runs ($frames frames each):"
  for col in mean median p99 max cpu first-shown rss-mb; do
    value=$(awk -v p="$phase" -v c="$col" '$1 == p {
      for (i = 2; i < NF; i += 2) if ($i == c) print $(i + 1) }' "$work/figures" | median)
    summary+=" $col $value"
  done
  echo "$summary"
done
echo "load average now: $(cut -d' ' -f1-3 /proc/loadavg)"
