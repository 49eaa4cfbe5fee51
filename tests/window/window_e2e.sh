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
source "$4/scenario/lib/game_root.bash"
source "$4/window/lib/display.bash"
window_test_start window_e2e "$@"

# Crosses at (2,3), (3,3) and (4,3) join the source to the drain; one more
# at (4,2) is spare.
keys=(Right Z Right Z Right Z Up Z)
runner_pictures "${keys[@]}"

start_xvfb 91 140
begin=$SECONDS
start_game window dummy
to_stage_play
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
to_stage_play "without sound"
grep -q "no sound" "$err" || fail "no message about the missing sound device: $(cat "$err")"
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
start_xvfb 91 140 1920x1080
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

start_xvfb 91 140 1366x768
start_game full dummy
wait_shown "saved full screen on 1366 x 768" "$work/title.png" display 2
xdotool key F1
wait_shown "F1 on 1366 x 768" "$work/title.png" window 2
quit "full-screen game on 1366 x 768"
expect "saved display mode after F1" "$(saved_display "$root/data/ductora.dat")" 0

start_xvfb 91 140 2560x1440
start_game full dummy --fullscreen
wait_shown "--fullscreen on 2560 x 1440" "$work/title.png" display 4
xdotool key F1
wait_shown "F1 on 2560 x 1440" "$work/title.png" window 3
quit "full-screen game on 2560 x 1440"
echo "full screen: $((SECONDS - begin)) s"
echo "window e2e: ok"
