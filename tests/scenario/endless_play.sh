#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# The endless game reached from the course select ("HEYLAW", one player who
# has finished all three courses): the first piece falls at level 1 speed and
# rests before it is fixed; held down it falls every frame for 10 points a
# frame; pieces left in the middle pile up until one lands above the well,
# which ends the game, stops the music and, only for a new best, saves.
set -euo pipefail
source "$2/scenario/lib/game_root.bash"
scenario_start "$@"

# Z at 20 starts a one-player game, Up at 101 moves to the last course line,
# Z at 130 chooses it.
choose='20 Z tap
101 Up tap
130 Z tap'

# The endless tune starts at the end of the first frame of play; the frame
# before it is frame 0 of the game.
start_frame() { awk '$2 == "music-play" && $3 == "Cheerful" { print $1 - 1; exit }' "$1"; }

# Left alone: the first piece reaches the floor on frame 923 of the game
# (44 steps of 21 frames) with sound 16, and nothing has scored.
make_root "$work/idle" "$runner"
write_save "$work/idle" 7
play idle 1300 "$choose"
game=$(start_frame "$work/idle-events.txt")
[[ -n $game ]] || { echo "FAIL: the endless game never started"; exit 1; }
expect "course" "$(state_field "$work/idle-state.json" CourseNo)" 3
expect "first landing" "$(sound_frames "$work/idle-events.txt" 16)" "$((game + 923))"
expect "idle score" "$(state_field "$work/idle-state.json" EndlessScore)" 0
expect "idle level" "$(state_field "$work/idle-state.json" EndlessLevel)" 1
expect "idle blocks" "$(state_field "$work/idle-state.json" EndlessBlocks)" 0

# Down held from the first frame: the first piece lands on frame 43 having
# scored 430; it rests 30 frames, so at frame 60 the score is still 430.
make_root "$work/down" "$runner"
write_save "$work/down" 7
play down "$((game + 61))" "$choose
$game Down down"
expect "landing held down" "$(sound_frames "$work/down-events.txt" 16)" "$((game + 43))"
expect "points while falling" "$(state_field "$work/down-state.json" EndlessScore)" 430

# The whole game with down held: the middle column fills, the last landing
# ends the game at once, the music stops there and the title follows. The
# saved best (80000) is not beaten: only the shutdown saves.
play down 2500 "$choose
$game Down down"
events=$work/down-events.txt
over=$(sound_frames "$events" 16 | awk '{ print $NF }')
expect "music stops at the last landing" \
  "$(awk '$2 == "music-stop" { print $1 }' "$events" | tail -1)" "$over"
expect "no save before the shutdown" "$(awk '$2 == "save" { print $1 }' "$events")" 2500
score=$(state_field "$work/down-state.json" EndlessScore)
(( score > 430 )) || { echo "FAIL: final score $score"; exit 1; }
expect "best kept" "$(saved_hiscore "$work/down/data/ductora.dat" 0 3)" 80000

# The same game against a best of 100: saved 300 frames after the game over
# ("GAME  OVER" held five seconds), with the game's score.
make_root "$work/best" "$runner"
write_save "$work/best" 7 0:3=100
play best 2500 "$choose
$game Down down"
expect "same game" "$(sound_frames "$work/best-events.txt" 16)" "$(sound_frames "$events" 16)"
expect "save after the game over" \
  "$(awk '$2 == "save" { printf "%s ", $1 }' "$work/best-events.txt")" "$((over + 300)) 2500 "
expect "new best saved" "$(saved_hiscore "$work/best/data/ductora.dat" 0 3)" "$score"
echo "endless play: ok"
