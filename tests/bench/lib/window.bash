# SPDX-License-Identifier: Zlib
# Helpers for benchmarks of the real window: an Xvfb server of their own,
# the game started from a program folder of its own with its frame log on
# (DUCTORA_FRAME_LOG, see src/platform/sdl/frame_log.h), keys through
# xdotool, and readers for the frame log. The caller sets $work (a scratch
# folder) and traps the exit to call stop_display and stop_game.

# start_display: starts Xvfb on a display it picks itself (-displayfd) and
# sets DISPLAY.
start_display() {
  rm -f "$work/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3> "$work/display" \
    > "$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  local i
  for ((i = 0; i < 100; i++)); do
    if [[ -s $work/display ]]; then
      DISPLAY=:$(head -1 "$work/display")
      export DISPLAY
      return 0
    fi
    kill -0 "$xvfb_pid" 2> /dev/null || break
    sleep 0.1
  done
  echo "Xvfb did not start:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
}

stop_display() {
  if [[ -n ${xvfb_pid:-} ]]; then
    kill "$xvfb_pid" 2> /dev/null || true
    wait "$xvfb_pid" 2> /dev/null || true
  fi
  xvfb_pid=
}

# make_window_root BUILD [no-music]: a program folder $work/root holding a
# copy of the game (the game finds its data beside its own file) and the
# built stages and sounds; with no-music the music files are left out, so
# the game plays its effects but never starts the synthesiser.
make_window_root() {
  mkdir -p "$work/root/data" "$work/root/sound"
  cp "$1/ductora" "$work/root/ductora"
  ln -s "$1/data/stage" "$work/root/data/stage"
  ln -s "$1/sound/se" "$work/root/sound/se"
  [[ ${2:-} == no-music ]] || ln -s "$1/sound/music" "$work/root/sound/music"
}

# start_game LOG: starts the game without an audio device, its frame log
# going to LOG; sets game_pid. LOG.start gets the wall-clock time in
# microseconds taken in the process itself just before it becomes the game.
start_game() {
  rm -f "$work/root/data/ductora.dat" "$1"
  (
    t=$EPOCHREALTIME
    echo "${t/./}" > "$1.start"
    DUCTORA_FRAME_LOG=$1 SDL_AUDIODRIVER=dummy exec "$work/root/ductora"
  ) > "$work/game.out" 2>&1 &
  game_pid=$!
}

# focus_game: waits (at most 20 s) for the game's window and gives it the
# keyboard.
focus_game() {
  game_window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Ductora Fiesta$' | head -1)
  if [[ -z $game_window ]]; then
    echo "the game's window did not appear" >&2
    cat "$work/game.out" >&2
    exit 1
  fi
  xdotool windowfocus --sync "$game_window"
}

# key NAME...: taps keys in the focused window.
key() { xdotool key --delay 30 "$@"; }

# quit_game: Esc, then waits for the game to save and exit.
quit_game() {
  key Escape
  local i
  for ((i = 0; i < 100; i++)); do
    kill -0 "$game_pid" 2> /dev/null || break
    sleep 0.1
  done
  if ! wait "$game_pid"; then
    echo "the game did not quit cleanly on Esc" >&2
    cat "$work/game.out" >&2
    exit 1
  fi
  game_pid=
}

stop_game() {
  if [[ -n ${game_pid:-} ]]; then
    kill "$game_pid" 2> /dev/null || true
    wait "$game_pid" 2> /dev/null || true
  fi
  game_pid=
}

# cpu_ticks: the processor time (user + system, all threads) the game has
# used so far, in clock ticks.
cpu_ticks() { awk '{ sub(/.*\) /, ""); print $12 + $13 }' "/proc/$game_pid/stat"; }

# now_us: wall-clock microseconds.
now_us() {
  local t=$EPOCHREALTIME
  echo "${t/./}"
}

# log_value LOG NAME: a "name value" line of the frame log.
log_value() { awk -v n="$2" '$1 == n { print $2; exit }' "$1"; }

# first_shown_ms LOG: milliseconds from the start of the game (LOG.start) to
# its first picture presented in the window.
first_shown_ms() {
  awk -v s="$(cat "$1.start")" -v f="$(log_value "$1" first-shown-realtime-us)" \
    'BEGIN { printf "%.1f\n", (f - s) / 1000 }'
}

# pacing LOG FROM: "count mean median p99 max" of the intervals (ms) between
# frames asked to last 17 ms, from frame FROM of the log on. A frame asked
# for d ms waited for the deadline previous + d, previous being the
# millisecond at which the frame before it returned; a frame that did not
# wait at all (already late) counts as a 17 ms frame.
pacing() {
  awk -v from="$2" '$1 == "frame" {
    n++
    if (n > from) {
      asked = $3 == 0 ? 17 : $3 - int(prev / 1000000)
      if (asked >= 16 && asked <= 18) printf "%.6f\n", ($2 - prev) / 1e6
    }
    prev = $2
  }' "$1" | sort -n | awk '{ v[NR] = $1; s += $1 }
    END {
      if (NR == 0) { print "0 0 0 0 0"; exit }
      p = int(NR * 0.99); if (p < NR * 0.99) p++
      printf "%d %.3f %.3f %.3f %.3f\n", NR, s / NR, v[int((NR + 1) / 2)], v[p], v[NR]
    }'
}

# first_frame_after LOG MS: the index of the first frame that waited at
# least MS milliseconds (the black screen before a stage), or 0.
first_frame_after() {
  awk -v ms="$2" '$1 == "frame" {
    n++
    if ($3 != 0 && n > 1 && $3 - int(prev / 1000000) >= ms) { print n; found = 1; exit }
    prev = $2
  } END { if (!found) print 0 }' "$1"
}

# median: the median of the numbers on standard input, one a line.
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
