#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# A replay made in the real window plays the same game in the runner and in
# the window. Under a private Xvfb, with a save file whose course A hi-score
# is 100, xdotool plays the test stage: two crosses from the source, then
# the water leaks twice and the game ends with 200 points, a new hi-score.
# The game keeps that game's replay beside its save file. Played back by
# the runner, the replay must end the same way (the runner says so by its
# exit status), with the score the window saved and the GAME OVER picture
# the window showed; played back in the window, it shows that picture too,
# ends by itself and leaves the save file as it was; a key ends it early.
#
#   window_replay.sh DUCTORA DUCTORA-HEADLESS SHOTCMP TESTS-DIR
set -euo pipefail
source "$4/scenario/lib/game_root.bash"
source "$4/window/lib/display.bash"
window_test_start window_replay "$@"
keys=(Right Z Right Z)

# The runner's pictures of the same game: the title, the course select,
# play before the first key, and GAME OVER, which stands still for the last
# four seconds before the game fades out (the picture the window must show).
stage_file "$work/ref"
write_save "$work/ref" 0 0:0=100
runner_script "${keys[@]}"
"$runner" --root "$work/ref" --seed $seed --input "$work/play.txt" --frames 6000 \
  --events "$work/play-events.txt" --state "$work/play-state.json"
over=$(awk -v p="$play" '$1 > p && $2 == "save" { print $1; exit }' "$work/play-events.txt")
[[ -n $over ]] || fail "the runner's game never ended"
expect "runner's score" "$(state_field "$work/play-state.json" TotalScore)" 200
write_save "$work/ref" 0 0:0=100
"$runner" --root "$work/ref" --seed $seed --input "$work/play.txt" --frames $((over - 30)) \
  --shot "10:$work/title.png" --shot "190:$work/course.png" \
  --shot "$((play + 5)):$work/play.png" --shot "$((over - 60)):$work/game-over.png"

start_xvfb 91 140
begin=$SECONDS
root=$work/window
stage_file "$root"
write_save "$root" 0 0:0=100
start_game window dummy
to_stage_play
xdotool key --delay 400 "${keys[@]/Z/z}"
# Two stages of 12 s for the water, the leaks and their black screens.
limit=180
wait_for "game over" "$work/game-over.png"
kept=$root/data/replays/course-a-1p.replay
start=$SECONDS
until [[ -s $kept ]]; do
  alive "the game's end"
  ((SECONDS - start < limit)) || fail "no replay was kept after the new hi-score"
  sleep 0.1
done
limit=60
quit "window game"
save=$root/data/ductora.dat
expect "saved hi-score" "$(saved_hiscore "$save" 0 0)" 200
expect "kept replay's score" "$(sed -n 's/^score //p' "$kept")" 200
expect "hi-score the replay played against" "$(sed -n 's/^hiscore //p' "$kept")" 100
echo "window game: $((SECONDS - begin)) s"

# The runner plays the window's replay to the same end, from a program
# folder of its own holding the same stage and the window's save file.
frames=$(sed -n 's/^frames //p' "$kept")
stage_file "$work/playback"
cp "$save" "$work/playback/data/ductora.dat"
"$runner" --root "$work/playback" --replay "$kept" --state "$work/replay-state.json" \
  --shot "$((frames - 60)):$work/replay-over.png" ||
  fail "the runner's playback of the window's replay went another way (status $?)"
expect "replayed score" "$(state_field "$work/replay-state.json" TotalScore)" 200
expect "replayed stage" "$(state_field "$work/replay-state.json" StageNo)" \
  "$(state_field "$work/play-state.json" StageNo)"
cmp "$work/playback/data/ductora.dat" "$save" || fail "the runner's playback wrote the save file"
cmp "$work/replay-over.png" "$work/game-over.png" ||
  fail "the runner's playback ended on another picture than the window showed"

# The window plays its own replay back: GAME OVER shows, the game ends by
# itself with status 0 and the save file stays as it was.
begin=$SECONDS
cp "$save" "$work/save-before"
start_game window dummy --replay "$kept"
limit=180
wait_for "replay's game over" "$work/game-over.png"
ends "the window's playback" "$limit"
cmp "$work/save-before" "$save" || fail "the window's playback wrote the save file"
echo "window playback: $((SECONDS - begin)) s"

# A key ends a playback in the window at once: pressed a second after the
# window has the focus, well before the 45 s the playback takes by itself
# (no picture of it is waited for: on a loaded machine the stage's first
# seconds can pass between two looks at the window).
limit=60
start_game window dummy --replay "$kept"
sleep 1
xdotool key z
ends "a playback after a key" 20
cmp "$work/save-before" "$save" || fail "a playback ended by a key wrote the save file"
echo "window replay: ok"
