#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# A course game has two lives: a failed stage is played again, the second
# failure ends the game with "GAME  OVER", the hi-score rule and a save, and
# the next game starts afresh from the title.
set -euo pipefail
source "$2/scenario/lib/game_root.bash"
scenario_start "$@"

# One player on course A: the play starts at 364; the player lays two pieces
# away from the water's way (200 points) and lets the water leak twice.
one_player='20 Z tap
90 Z tap
430 Down tap
432 Down tap
440 Z tap
450 Right tap
460 Z tap'

# Lives 1 in the second attempt, at the same stage.
make_root "$work/a" "$runner"
write_save "$work/a" 0 0:0=150
play a 2700 "$one_player"
expect "lives, second attempt" "$(state_field "$work/a-state.json" Lives)" 1
expect "stage, second attempt" "$(state_field "$work/a-state.json" StageNo)" 0

# The whole game: two leaks, the game over at 4719, its save at 5019 with
# the new hi-score, the title back at 5021. Z held from 4900 to 5050 does
# not start a game on the title; pressed again at 5100 it does, and the new
# game starts with two lives and no score.
rm -f "$work/a/data/ductora.dat"
write_save "$work/a" 0 0:0=150
play a 5300 "$one_player
4900 Z down
5050 Z up
5100 Z tap"
expect "leaks" "$(sound_frames "$work/a-events.txt" 7)" "2245 4529"
# Each intro: the wipe and the slide-in, then the stage title and "READY?"
# with sound 5 and "GO !!" with sound 6, 60 frames apart, then the music.
expect "intro texts" "$(sound_frames "$work/a-events.txt" 5)" "184 244 2468 2528"
expect "intro go" "$(sound_frames "$work/a-events.txt" 6)" "304 2588"
expect "stage music" "$(grep 'music-play' "$work/a-events.txt" | cut -d' ' -f1 | tr '\n' ' ')" \
  "364 2648 "
expect "game over save" "$(grep -m1 ' save$' "$work/a-events.txt")" "5019 save"
expect "new hi-score" "$(saved_hiscore "$work/a/data/ductora.dat" 0 0)" 200
expect "confirm sounds" "$(sound_frames "$work/a-events.txt" 4)" "20 90 5100"
expect "lives, new game" "$(state_field "$work/a-state.json" Lives)" 2
expect "score, new game" "$(state_field "$work/a-state.json" TotalScore)" 0

# Two players (the keyboard and joystick 0): their combined total goes to
# the two-player entry of the course; the one-player entry is not touched.
make_root "$work/c" "$runner"
write_save "$work/c" 0 1:0=250
play c 5200 "5 Down tap
20 Z tap
90 Z tap
430 Down tap
432 Down tap
440 Z tap
430 J0.Down tap
432 J0.Down tap
440 J0.B1 tap
450 J0.Left tap
460 J0.B1 tap"
expect "total" "$(state_field "$work/c-state.json" TotalScore)" 300
expect "two-player hi-score" "$(saved_hiscore "$work/c/data/ductora.dat" 1 0)" 300
expect "one-player hi-score" "$(saved_hiscore "$work/c/data/ductora.dat" 0 0)" 100000
expect "lives" "$(state_field "$work/c-state.json" Lives)" 0
echo "flow lives: ok"
