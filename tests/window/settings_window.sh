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
source "$4/scenario/lib/game_root.bash"
source "$4/window/lib/display.bash"
window_test_start settings_window "$@"
home=$work/home
config=$home/.config/ductora-fiesta
mkdir -p "$home"

# The runner's pictures: three crosses laid, the key after Up lays none.
runner_pictures Right Z Right Z Right Z Up
start_xvfb 141 190
unset XDG_CONFIG_HOME

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

# The display is 1280 x 1024: full screen covers it, a window is the screen
# at twice its size (the largest whole scale that fits with room to spare).
begin=$SECONDS
start_game full dummy --fullscreen
expect_size --fullscreen 1280x1024
quit "--fullscreen game"
grep -qx 'key_lay = Z' "$config/settings.ini" || fail "no defaults file: $(ls -la "$config")"
grep -qx 'fullscreen = saved' "$config/settings.ini" || fail "the defaults file lacks fullscreen"
expect "settings problems" "$(grep -c settings "$work/full.err" || true)" 0

sed -i 's/^fullscreen = saved$/fullscreen = yes/' "$config/settings.ini"
cp "$config/settings.ini" "$work/settings.copy"
start_game file-full dummy
expect_size "the file's full screen" 1280x1024
quit "full screen from the file"
start_game file-window dummy --window
expect_size "--window over the file" 1024x704
wait_for "title in the window" "$work/title.png"
quit "--window game"
cmp -s "$config/settings.ini" "$work/settings.copy" || fail "the settings file was rewritten"
echo "display modes: $((SECONDS - begin)) s"

# --- Lay on Space -------------------------------------------------------------
begin=$SECONDS
sed -i 's/^fullscreen = yes$/fullscreen = no/; s/^key_lay = Z$/key_lay = Space/' \
  "$config/settings.ini"
start_game space dummy
wait_for title "$work/title.png"
# Z no longer confirms the title: it still shows a second later.
xdotool key z
sleep 1
wait_for "title after Z" "$work/title.png"
xdotool key space
wait_for_course_select
xdotool key space
wait_for_play
# The runner's lays with Space; Z where the runner lays nothing.
xdotool key --delay 400 Right space Right space Right space Up z
wait_for "stage cleared with Space" "$work/well-done.png"
wait_for "bonus inspection after Z" "$work/bonus.png"
quit "game with Space"
[[ -z $(cat "$work/space.err" | grep -v '^ALSA\|no sound' || true) ]] ||
  fail "the game with Space said: $(cat "$work/space.err")"
echo "lay on Space: $((SECONDS - begin)) s"
echo "settings window: ok"
