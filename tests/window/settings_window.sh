#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# The command line and the settings file with the real game in a real
# window, under a private Xvfb, driven with xdotool:
#  - --help, --version and an unknown option answer at once, open no window;
#  - --fullscreen starts in full screen (the window covers the display) and
#    the first start writes the defaults file; the file's full screen starts
#    in full screen, and --window wins over it;
#  - with lay bound to Space in the settings file, Space confirms the menus
#    and lays pieces, and Z does nothing: the stage cleared with Space ends
#    exactly as the runner's game with the same lays and no other.
#
#   settings_window.sh DUCTORA DUCTORA-HEADLESS SHOTCMP TESTS-DIR
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

for tool in Xvfb xdotool xwd; do
  if ! command -v "$tool" > /dev/null; then
    echo "SKIP: $tool is missing (scripts/setup.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
keep=$PWD/settings_window-failure
xvfb_pid=
game_pid=
cleanup() {
  if [[ -n $game_pid ]]; then kill "$game_pid" 2> /dev/null || true; fi
  if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2> /dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# Generous waits for a loaded machine; each ends as soon as its picture shows.
limit=60
seed=7
home=$work/home
config=$home/.config/ductora-fiesta
mkdir -p "$home"

stage_file() {
  make_root "$1" "$runner"
  "$(dirname "$runner")/stagec" "$tests/data/window_stage.txt" "$1/data/stage/course0.dat" \
    > /dev/null
}

# --- The runner's pictures: three crosses laid, the key after Up lays none --
stage_file "$work/ref"
printf '20 Z tap\n200 Z tap\n' > "$work/start.txt"
"$runner" --root "$work/ref" --seed $seed --input "$work/start.txt" --frames 700 \
  --events "$work/start-events.txt"
play=$(awk '$2 == "music-play" { print $1; exit }' "$work/start-events.txt")
[[ -n $play ]] || fail "the runner never reached stage play"
keys=(Right Z Right Z Right Z Up)
printf '20 Z tap\n200 Z tap\n' > "$work/play.txt"
for i in "${!keys[@]}"; do
  echo "$((play + 10 + 24 * i)) ${keys[i]} tap" >> "$work/play.txt"
done
"$runner" --root "$work/ref" --seed $seed --input "$work/play.txt" --frames 2500 \
  --events "$work/play-events.txt"
ev=$work/play-events.txt
well_done=$(awk -v p="$play" '$1 > p && $2 == "music-stop" { print $1; exit }' "$ev")
bonus=$(sound_frames "$ev" 3)
[[ -n $well_done && -n $bonus ]] || fail "the runner's game did not clear the stage"
rm -f "$work/ref/data/ductora.dat"
"$runner" --root "$work/ref" --seed $seed --input "$work/play.txt" --frames $((bonus + 210)) \
  --shot "10:$work/title.png" --shot "190:$work/course.png" \
  --shot "$((play - 90)):$work/ready.png" --shot "$((play - 30)):$work/go.png" \
  --shot "$((well_done + 90)):$work/well-done.png" --shot "$((bonus + 200)):$work/bonus.png"

# --- A private X server -----------------------------------------------------
for n in $(seq 141 190); do
  [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
  rm -f "$work/displayfd"
  Xvfb ":$n" -nolisten tcp -screen 0 1280x1024x24 -displayfd 3 3> "$work/displayfd" \
    > "$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [[ -s $work/displayfd ]] && break
    kill -0 "$xvfb_pid" 2> /dev/null || break
    sleep 0.1
  done
  if [[ -s $work/displayfd ]]; then
    export DISPLAY=:$n
    break
  fi
  kill "$xvfb_pid" 2> /dev/null || true
  xvfb_pid=
done
[[ -n $xvfb_pid ]] || fail "no Xvfb could be started on displays :141 to :190"
unset WAYLAND_DISPLAY XDG_CONFIG_HOME

# --- --help, --version, an unknown option: an answer and no window ----------
windows() { xdotool search --name 'Ductora Fiesta' 2> /dev/null | wc -l; }
answer() {
  local status=0
  env HOME="$home" SDL_VIDEODRIVER=x11 timeout $limit "$game" "$@" > "$work/answer.out" \
    2> "$work/answer.err" || status=$?
  echo "$status"
}
expect "--help status" "$(answer --help)" 0
expect "--help usage" "$(head -n 1 "$work/answer.out")" "Usage: ductora [OPTION]..."
expect "--version status" "$(answer --version)" 0
expect "--version" "$(cat "$work/answer.out")" "ductora (Ductora Fiesta) 1.0.0"
expect "unknown option status" "$(answer --fast)" 2
expect "unknown option message" "$(head -n 1 "$work/answer.err")" "ductora: unknown option '--fast'"
expect "unknown option usage" "$(sed -n 2p "$work/answer.err")" "Usage: ductora [OPTION]..."
expect "windows after the answers" "$(windows)" 0
[[ ! -e $config ]] || fail "an answer without a game wrote the settings folder"

# --- Starting the game --------------------------------------------------------
window=
last=
grab() { xwd -id "$window" -silent > "$work/window.xwd" 2> /dev/null; }
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
wait_for_play() {
  local start=$SECONDS
  until grab && { shows "$work/ready.png" || shows "$work/go.png"; }; do
    alive "stage intro"
    ((SECONDS - start < limit)) || give_up "stage intro: READY? or GO !! never showed" intro
    sleep 0.05
  done
  start=$SECONDS
  while grab && { shows "$work/ready.png" || shows "$work/go.png"; }; do
    alive "stage intro"
    ((SECONDS - start < limit)) || give_up "stage intro: play never began" intro
    sleep 0.05
  done
}

# start_game NAME ARGS...: the game from a program folder of its own.
start_game() {
  local name=$1
  shift
  root=$work/$name
  err=$work/$name.err
  stage_file "$root"
  cp "$game" "$root/ductora"
  (cd "$root" && exec env HOME="$home" XDG_DATA_HOME="$home/share" \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
    SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy DUCTORA_SEED=$seed ./ductora "$@" \
    > "$work/$name.out" 2> "$err") &
  game_pid=$!
  window=$(timeout $limit xdotool search --sync --onlyvisible --pid "$game_pid" 2> /dev/null |
    head -n 1) || true
  [[ -n $window ]] || fail "$name: no game window within ${limit}s ($(tail -n 3 "$err"))"
  local start=$SECONDS
  until [[ $(xdotool getwindowfocus 2> /dev/null) == "$window" ]]; do
    ((SECONDS - start < limit)) || fail "$name: the game window never got the keyboard focus"
    ((SECONDS - start < 2)) || xdotool windowfocus "$window" 2> /dev/null || true
    sleep 0.1
  done
}

# expect_size WHAT WxH: the game's window has that size, and keeps it a
# second later (no switch after the start).
geometry() {
  eval "$(xdotool getwindowgeometry --shell "$window" 2> /dev/null)"
  echo "${WIDTH:-?}x${HEIGHT:-?}"
}
expect_size() {
  local start=$SECONDS
  until [[ $(geometry) == "$2" ]]; do
    alive "$1"
    ((SECONDS - start < 10)) || break
    sleep 0.2
  done
  sleep 1
  expect "$1: window size" "$(geometry)" "$2"
}

quit() {
  xdotool key "${2:-Escape}"
  local start=$SECONDS status=0
  while kill -0 "$game_pid" 2> /dev/null; do
    ((SECONDS - start < limit)) || fail "$1: still running ${limit}s after Esc"
    sleep 0.1
  done
  wait "$game_pid" || status=$?
  game_pid=
  ((status == 0)) || fail "$1: exit status $status; it said: $(tail -n 20 "$err")"
}

# The display is 1280 x 1024: full screen covers it, a window is the screen
# at twice its size (the largest whole scale that fits with room to spare).
begin=$SECONDS
start_game full --fullscreen
expect_size --fullscreen 1280x1024
quit "--fullscreen game"
grep -qx 'key_lay = Z' "$config/settings.ini" || fail "no defaults file: $(ls -la "$config")"
grep -qx 'fullscreen = saved' "$config/settings.ini" || fail "the defaults file lacks fullscreen"
expect "settings problems" "$(grep -c settings "$work/full.err" || true)" 0

sed -i 's/^fullscreen = saved$/fullscreen = yes/' "$config/settings.ini"
cp "$config/settings.ini" "$work/settings.copy"
start_game file-full
expect_size "the file's full screen" 1280x1024
quit "full screen from the file"
start_game file-window --window
expect_size "--window over the file" 1024x704
wait_for "title in the window" "$work/title.png"
quit "--window game"
cmp -s "$config/settings.ini" "$work/settings.copy" || fail "the settings file was rewritten"
echo "display modes: $((SECONDS - begin)) s"

# --- Lay on Space -------------------------------------------------------------
begin=$SECONDS
sed -i 's/^fullscreen = yes$/fullscreen = no/; s/^key_lay = Z$/key_lay = Space/' \
  "$config/settings.ini"
start_game space
wait_for title "$work/title.png"
# Z no longer confirms the title: it still shows a second later.
xdotool key z
sleep 1
wait_for "title after Z" "$work/title.png"
xdotool key space
caption=0,24,512,80
wait_for "course select" "$work/course.png" --ignore "$caption"
xdotool key space
wait_for_play
# The runner's lays with Space; Z where the runner lays nothing.
xdotool key --delay 400 Right space Right space Right space Up z
wait_for "stage cleared with Space" "$work/well-done.png"
wait_for "bonus inspection after Z" "$work/bonus.png"
quit "game with Space" Escape
[[ -z $(cat "$work/space.err" | grep -v '^ALSA\|no sound' || true) ]] ||
  fail "the game with Space said: $(cat "$work/space.err")"
echo "lay on Space: $((SECONDS - begin)) s"
echo "settings window: ok"
