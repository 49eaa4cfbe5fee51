# SPDX-License-Identifier: Zlib
# Helpers for tests of the real game in a real window: a scratch folder, a
# private Xvfb, the game started from a program folder of its own, and waits
# until its window shows the headless runner's picture of the same moment.
# scenario/lib/game_root.bash must be sourced first; window_test_start sets
# what the game-driving helpers use.

fail() {
  echo "FAIL: $*"
  exit 1
}

# need_tools TOOL...: without one of them there is no window to test, and
# ctest reports a skip (status 77) with this one line.
need_tools() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" > /dev/null; then
      echo "SKIP: $tool is missing (scripts/setup.sh installs it)"
      exit 77
    fi
  done
}

# window_scratch: $work, removed with the game and the X server at the exit.
window_scratch() {
  work=$(mktemp -d)
  xvfb_pid=
  game_pid=
  trap 'stop_game; stop_xvfb; rm -rf "$work"' EXIT
}

stop_game() {
  if [[ -n $game_pid ]]; then kill "$game_pid" 2> /dev/null || true; fi
  game_pid=
}

stop_xvfb() {
  if [[ -n $xvfb_pid ]]; then
    kill "$xvfb_pid" 2> /dev/null || true
    wait "$xvfb_pid" 2> /dev/null || true
  fi
  xvfb_pid=
}

# start_xvfb FIRST LAST [WIDTHxHEIGHT]: a private display, in place of the
# one before, on the first free number from FIRST to LAST; sets DISPLAY.
start_xvfb() {
  local n
  stop_xvfb
  for n in $(seq "$1" "$2"); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    rm -f "$work/displayfd"
    # -noreset: an X server resets itself when its last client leaves, and
    # a game started in that moment cannot connect.
    Xvfb ":$n" -nolisten tcp -noreset -screen 0 "${3:-1280x1024}x24" -displayfd 3 \
      3> "$work/displayfd" > "$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    # Xvfb writes the display number once it takes connections, or exits
    # when another server got the number first.
    for _ in $(seq 100); do
      [[ -s $work/displayfd ]] && break
      kill -0 "$xvfb_pid" 2> /dev/null || break
      sleep 0.1
    done
    if [[ -s $work/displayfd ]]; then
      export DISPLAY=:$n
      unset WAYLAND_DISPLAY
      return 0
    fi
    kill "$xvfb_pid" 2> /dev/null || true
    xvfb_pid=
  done
  fail "no Xvfb could be started on displays :$1 to :$2"
}

# The first stage of the shipped course A makes the players wait 30 s for
# the water; these tests play a stage of their own (every piece a cross, the
# water after 12 s) so that each run stays short.
stage_file() {
  make_root "$1" "$runner"
  "$(dirname "$runner")/stagec" "$tests/data/window_stage.txt" "$1/data/stage/course0.dat" \
    > /dev/null
}

# runner_pictures KEY...: the runner's game on that stage with $seed, Z on
# the title at 20 and on the course select at 200 (the world name is typed
# out by then), then KEY... 24 frames apart from 10 frames into play. Sets $play
# (the frame at which the stage music starts), $well_done ("WELL DONE !!"
# stays 180 frames from the music's stop) and $bonus (the one bonus line,
# sound 3; the inspection's result stays 360 frames), leaves the script in
# $work/play.txt and the pictures title, course, play, well-done and bonus
# in $work. Keys 24 frames apart match xdotool keys 400 ms apart: on a
# loaded machine, where frames take longer, that is still well over the
# 6-frame wait after a lay.
runner_pictures() {
  stage_file "$work/ref"
  runner_script "$@"
  rm -f "$work/ref/data/ductora.dat"
  "$runner" --root "$work/ref" --seed $seed --input "$work/play.txt" --frames 2500 \
    --events "$work/play-events.txt" --state "$work/play-state.json"
  local ev=$work/play-events.txt
  well_done=$(awk -v p="$play" '$1 > p && $2 == "music-stop" { print $1; exit }' "$ev")
  bonus=$(sound_frames "$ev" 3)
  expect "course cleared by the runner" "$(state_field "$work/play-state.json" ClearedMask)" 1
  expect "bonus lines" "$(wc -w <<< "$bonus")" 1
  [[ -n $well_done ]] || fail "no end of the stage music after play began"
  rm -f "$work/ref/data/ductora.dat"
  "$runner" --root "$work/ref" --seed $seed --input "$work/play.txt" --frames $((bonus + 210)) \
    --shot "10:$work/title.png" --shot "190:$work/course.png" \
    --shot "$((play + 5)):$work/play.png" \
    --shot "$((well_done + 90)):$work/well-done.png" --shot "$((bonus + 200)):$work/bonus.png"
}

# runner_script KEY...: in the program folder $work/ref, Z on the title at
# 20 and on the course select at 200, the frame stage play begins at in
# $play, and the script with KEY... 24 frames apart from 10 frames into play
# in $work/play.txt. The save file the folder holds is left as it was.
runner_script() {
  local i save=$work/ref/data/ductora.dat
  [[ -e $save ]] && cp "$save" "$work/ref-save"
  printf '20 Z tap\n200 Z tap\n' > "$work/start.txt"
  "$runner" --root "$work/ref" --seed $seed --input "$work/start.txt" --frames 700 \
    --events "$work/start-events.txt"
  if [[ -e $work/ref-save ]]; then mv "$work/ref-save" "$save"; else rm -f "$save"; fi
  play=$(awk '$2 == "music-play" { print $1; exit }' "$work/start-events.txt")
  [[ -n $play ]] || fail "the runner never reached stage play"
  cp "$work/start.txt" "$work/play.txt"
  for ((i = 1; i <= $#; i++)); do
    echo "$((play + 10 + 24 * (i - 1))) ${!i} tap" >> "$work/play.txt"
  done
}

# --- Driving the real window ----------------------------------------------

# window_test_start NAME DUCTORA DUCTORA-HEADLESS SHOTCMP TESTS-DIR: a skip
# without the X tools, the test's programs and scratch folder, the game's
# seed, and NAME-failure/ under the current folder for the window's and the
# runner's pictures when a wait fails. Waits are generous ($limit seconds):
# the sanitizer build draws far more slowly, and other builds may share the
# machine; in a plain build each wait ends as soon as its picture shows.
window_test_start() {
  need_tools Xvfb xdotool xwd
  keep=$PWD/$1-failure
  game=$2
  runner=$3
  shotcmp=$4
  tests=$5
  window_scratch
  limit=60
  seed=7
}

window=
last=
grab() { xwd -id "$window" -silent > "$work/window.xwd" 2> /dev/null; }

# shows REF [shotcmp options]: does the window show REF now?
shows() {
  local ref=$1
  shift
  last=$("$shotcmp" "$@" "$work/window.xwd" "$ref" 2>&1) && return 0
  last="$(basename "$ref"): $last"
  return 1
}

alive() { kill -0 "$game_pid" 2> /dev/null || fail "$1: the game ended early ($(tail -n 3 "$err"))"; }

give_up() {
  mkdir -p "$keep"
  "$shotcmp" --png "$keep/$2-window.png" --scale 2 "$work/window.xwd" > /dev/null 2>&1 || true
  cp "$work"/*.png "$keep/" 2> /dev/null || true
  fail "$1 (last comparison: $last; pictures in $keep)"
}

# wait_for WHAT REF [shotcmp options]: until the window shows REF exactly.
wait_for() {
  local what=$1 start=$SECONDS
  shift
  until grab && shows "$@"; do
    alive "$what"
    ((SECONDS - start < limit)) || give_up "$what: the window never showed the runner's picture" \
      "$what"
    sleep 0.1
  done
}

# Play has begun when the window shows the runner's picture of play before
# the first key (the runner's keys start 10 frames in): until a key is
# pressed or the water starts only the time gauge moves, so its band is left
# out. The stage intro's "READY?" and "GO !!" last a second each, too short
# to be caught for sure by a sanitizer build on a loaded machine.
wait_for_play() { wait_for "stage play" "$work/play.png" --ignore 0,328,512,16; }

# The caption of the course select scrolls a pixel every frame, so its
# band is left out there; the rest of that screen is steady.
wait_for_course_select() { wait_for "${1:-course select}" "$work/course.png" --ignore 0,24,512,80; }

# start_game NAME AUDIO-DRIVER [OPTION...]: the game from a program folder
# of its own (kept, with its save file, for the next game of that name), the
# save file landing in that folder's data/, HOME in $work/home.
start_game() {
  root=$work/$1
  err=$work/$1.err
  [[ -d $root ]] || stage_file "$root"
  cp "$game" "$root/ductora"
  mkdir -p "$work/home"
  # In the sanitizer build the leak check is left to the runner and the
  # unit tests, which run the same game code: at the exit of the real
  # window, D-Bus, Xlib and Mesa report blocks they never free, most of
  # them from libraries SDL has already unloaded, where no suppression
  # can name them. Every other sanitizer check stays on.
  (cd "$root" && exec env HOME="$work/home" XDG_DATA_HOME="$work/home/share" \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
    SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER="$2" DUCTORA_SEED=$seed ./ductora "${@:3}" \
    > "$work/$1.out" 2> "$err") &
  game_pid=$!
  find_window "$1"
}

# find_window WHAT: the game's window once it has the keyboard focus. Every
# switch between window and full screen makes a new window, and for a moment
# the old one may still be listed, so the list is read again each time.
# Keys go to the focused window; without a window manager the game's own
# raise gives it the focus, else it is given here (taking the focus away
# would pause the game).
find_window() {
  local start=$SECONDS ids focus
  while :; do
    alive "$1"
    ids=$(xdotool search --onlyvisible --pid "$game_pid" 2> /dev/null) || true
    focus=$(xdotool getwindowfocus 2> /dev/null) || true
    if [[ -n $ids && -n $focus ]] && grep -qx -- "$focus" <<< "$ids"; then
      window=$focus
      return 0
    fi
    ((SECONDS - start < limit)) || fail "$1: no focused game window within ${limit}s" \
      "(shown: ${ids//$'\n'/ }; focus: $focus; $(tail -n 3 "$err"))"
    if [[ -n $ids ]] && ((SECONDS - start >= 2)); then
      xdotool windowfocus "$(tail -n 1 <<< "$ids")" 2> /dev/null || true
    fi
    sleep 0.1
  done
}

# to_stage_play [WHAT]: from the title, Z and Z into the first stage, until
# the window shows the runner's play picture (WHAT names the game).
to_stage_play() {
  wait_for "title${1:+ $1}" "$work/title.png"
  xdotool key z
  wait_for_course_select "course select${1:+ $1}"
  xdotool key z
  wait_for_play
}

# ends WHAT SECONDS: the game must end by itself within SECONDS, status 0.
ends() {
  local start=$SECONDS status=0
  while kill -0 "$game_pid" 2> /dev/null; do
    ((SECONDS - start < $2)) || fail "$1: still running after ${2}s"
    sleep 0.1
  done
  wait "$game_pid" || status=$?
  game_pid=
  ((status == 0)) || fail "$1: exit status $status; it said: $(tail -n 20 "$err")"
}

# quit WHAT: Esc, then the game must end by itself with status 0.
quit() {
  xdotool key Escape
  ends "$1 after Esc" "$limit"
}
