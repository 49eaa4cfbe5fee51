#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# The real game in a real window, under a private Xvfb, driven with xdotool:
# the title, course A, four crosses laid with the arrow keys and Z, the
# stage cleared and inspected, Esc. At every steady moment on the way the
# window must show exactly the picture the headless runner draws at the same
# moment with the same seed and keys (tools/shotcmp shrinks the window dump
# by its whole-number scale). The game must end with status 0 and leave its
# save file in its own data folder. A second game runs with an audio driver
# that does not exist: it says so, plays silently and quits cleanly. Then
# full screen on three display sizes: the title at the largest whole-number
# scale that fits, centred on black, and back to the window.
#
#   window_e2e.sh DUCTORA DUCTORA-HEADLESS SHOTCMP TESTS-DIR
#
# On a failure the window's and the runner's pictures are left in
# window_e2e-failure/ under the current folder.
set -euo pipefail
game=$1
runner=$2
shotcmp=$3
tests=$4
source "$tests/scenario/lib/game_root.bash"

fail() {
  echo "FAIL: $*"
  exit 1
}

# Without the X tools there is no window to test: ctest reports a skip
# (status 77) with this one line.
for tool in Xvfb xdotool xwd; do
  if ! command -v "$tool" > /dev/null; then
    echo "SKIP: $tool is missing (scripts/setup.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
keep=$PWD/window_e2e-failure
xvfb_pid=
game_pid=
cleanup() {
  if [[ -n $game_pid ]]; then kill "$game_pid" 2> /dev/null || true; fi
  if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2> /dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# Waits below are generous: the sanitizer build draws far more slowly, and
# other builds may share the machine. In a plain build each wait ends as
# soon as its picture shows.
limit=60
seed=7

# The first stage of the shipped course A makes the players wait 30 s for
# the water; this test plays a stage of its own (every piece a cross, the
# water after 12 s) so that the whole run stays short.
stage_file() {
  local root=$1
  make_root "$root" "$runner"
  "$(dirname "$runner")/stagec" "$tests/data/window_stage.txt" "$root/data/stage/course0.dat" \
    > /dev/null
}

# --- The runner's pictures of the same game --------------------------------

# Z on the title at 20 and on the course select at 200 (the world name is
# typed out by then); play begins when the stage music starts.
stage_file "$work/ref"
printf '20 Z tap\n200 Z tap\n' > "$work/start.txt"
"$runner" --root "$work/ref" --seed $seed --input "$work/start.txt" --frames 700 \
  --events "$work/start-events.txt"
play=$(awk '$2 == "music-play" { print $1; exit }' "$work/start-events.txt")
[[ -n $play ]] || fail "the runner never reached stage play"

# Crosses at (2,3), (3,3) and (4,3) join the source to the drain; one more
# at (4,2) is spare. Keys are 24 frames apart, as the xdotool keys below
# are 400 ms apart: on a loaded machine, where frames take longer, that is
# still well over the 6-frame wait after a lay.
keys=(Right Z Right Z Right Z Up Z)
: > "$work/play.txt"
printf '20 Z tap\n200 Z tap\n' >> "$work/play.txt"
for i in "${!keys[@]}"; do
  echo "$((play + 10 + 24 * i)) ${keys[i]} tap" >> "$work/play.txt"
done
rm -f "$work/ref/data/ductora.dat"
"$runner" --root "$work/ref" --seed $seed --input "$work/play.txt" --frames 2500 \
  --events "$work/play-events.txt" --state "$work/play-state.json"
ev=$work/play-events.txt
# "WELL DONE !!" stays 180 frames from the music's stop; the one bonus line
# (sound 3) and the inspection's result stay 360 frames.
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

# --- A private X server -----------------------------------------------------

# start_x WIDTHxHEIGHT: a new private display of that size, in place of the
# one before.
start_x() {
  if [[ -n $xvfb_pid ]]; then
    kill "$xvfb_pid" 2> /dev/null || true
    wait "$xvfb_pid" 2> /dev/null || true
    xvfb_pid=
  fi
  for n in $(seq 91 140); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    rm -f "$work/displayfd"
    # -noreset: an X server resets itself when its last client leaves, and
    # a game started in that moment cannot connect.
    Xvfb ":$n" -nolisten tcp -noreset -screen 0 "$1x24" -displayfd 3 3> "$work/displayfd" \
      > "$work/xvfb.log" 2>&1 &
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
      return 0
    fi
    kill "$xvfb_pid" 2> /dev/null || true
    xvfb_pid=
  done
  fail "no Xvfb could be started on displays :91 to :140"
}
unset WAYLAND_DISPLAY

# --- Driving the real window --------------------------------------------------

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
gauge=0,328,512,16
wait_for_play() { wait_for "stage play" "$work/play.png" --ignore "$gauge"; }

# start_game NAME AUDIO-DRIVER [OPTION...]: the game from a program folder
# of its own (kept, with its save file, for the next game of that name), the
# save file landing in that folder's data/.
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

# quit WHAT: Esc, then the game must end by itself with status 0.
quit() {
  xdotool key Escape
  local start=$SECONDS status=0
  while kill -0 "$game_pid" 2> /dev/null; do
    ((SECONDS - start < limit)) || fail "$1: still running ${limit}s after Esc"
    sleep 0.1
  done
  wait "$game_pid" || status=$?
  game_pid=
  ((status == 0)) || fail "$1: exit status $status; it said: $(tail -n 20 "$err")"
}

# The caption of the course select scrolls a pixel every frame, so its
# band is left out there; the rest of that screen is steady.
caption=0,24,512,80

start_x 1280x1024
begin=$SECONDS
start_game window dummy
wait_for title "$work/title.png"
xdotool key z
wait_for "course select" "$work/course.png" --ignore "$caption"
xdotool key z
wait_for_play
# The water starts 12 s after play begins: the eight keys take 3.2 s, and
# noticing that play has begun may take seconds on a loaded machine.
xdotool key --delay 400 "${keys[@]/Z/z}"
wait_for "stage cleared" "$work/well-done.png"
wait_for "bonus inspection" "$work/bonus.png"
# The cleared course is saved the moment the inspection ends.
start=$SECONDS
until [[ -s $root/data/ductora.dat && $(saved_mask "$root/data/ductora.dat") == 1 ]]; do
  alive "course end"
  ((SECONDS - start < limit)) || fail "the cleared course was never saved"
  sleep 0.1
done
quit "window game"
save=$root/data/ductora.dat
expect "save file size" "$(stat -c %s "$save")" 69
expect "save file header" "$(head -c 16 "$save")" "Ductora Fiesta  "
expect "saved cleared courses" "$(saved_mask "$save")" 1
[[ ! -e $work/home/share/ductora-fiesta ]] || fail "the save file went to the user's folder"
echo "window game: $((SECONDS - begin)) s"

# No audio device: the game says so once, then plays without sound.
begin=$SECONDS
start_game silent no-such-audio-driver
wait_for "title without sound" "$work/title.png"
grep -q "no sound" "$err" || fail "no message about the missing sound device: $(cat "$err")"
xdotool key z
wait_for "course select without sound" "$work/course.png" --ignore "$caption"
xdotool key z
wait_for_play
xdotool key --delay 400 "${keys[@]/Z/z}"
# The stage music and the laying sounds have been asked for by now.
sleep 1
alive "play without sound"
quit "silent game"
expect "silent game's save file size" "$(stat -c %s "$root/data/ductora.dat")" 69
echo "silent game: $((SECONDS - begin)) s"

# --- Full screen ---------------------------------------------------------------

# wait_shown WHAT REF MODE SCALE: until the display shows REF in MODE
# (window: the game's window at that whole-number scale; display: the
# whole display, REF at that scale centred on black).
wait_shown() {
  local what=$1 ref=$2 mode=$3 scale=$4 start=$SECONDS
  until
    find_window "$what"
    if [[ $mode == window ]]; then
      grab && shows "$ref"
    else
      xwd -root -silent > "$work/window.xwd" 2> /dev/null && shows "$ref" --centred
    fi && [[ $last == *"($mode at scale $scale)"* ]]
  do
    alive "$what"
    ((SECONDS - start < limit)) || give_up "$what: no $mode at scale $scale showed the picture" \
      "$what"
    sleep 0.2
  done
}

saved_display() { od -An -tu4 -j 65 -N4 "$1" | tr -d ' '; }

# F1 fills the display with the screen at the largest whole-number scale,
# F1 again gives back the window at its own scale; full screen also comes
# from the save file and from --fullscreen. The title holds still, so each
# picture is the runner's title.
begin=$SECONDS
start_x 1920x1080
start_game full dummy
wait_shown "window on 1920 x 1080" "$work/title.png" window 2
xdotool key F1
wait_shown "F1 on 1920 x 1080" "$work/title.png" display 3
xdotool key F1
wait_shown "F1 again on 1920 x 1080" "$work/title.png" window 2
xdotool key F1
wait_shown "F1 a second time on 1920 x 1080" "$work/title.png" display 3
quit "full-screen game"
expect "saved display mode" "$(saved_display "$root/data/ductora.dat")" 1

start_x 1366x768
start_game full dummy
wait_shown "saved full screen on 1366 x 768" "$work/title.png" display 2
xdotool key F1
wait_shown "F1 on 1366 x 768" "$work/title.png" window 2
quit "full-screen game on 1366 x 768"
expect "saved display mode after F1" "$(saved_display "$root/data/ductora.dat")" 0

start_x 2560x1440
start_game full dummy --fullscreen
wait_shown "--fullscreen on 2560 x 1440" "$work/title.png" display 4
xdotool key F1
wait_shown "F1 on 2560 x 1440" "$work/title.png" window 3
quit "full-screen game on 2560 x 1440"
echo "full screen: $((SECONDS - begin)) s"
echo "window e2e: ok"
