#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# The bonus inspection after a cleared stage, on a course of three stages
# whose routes are laid before the water starts (tests/data/play_bonus.txt):
#   1 "Full Board": every other cell a block, 3 pieces on the route, 1 needed:
#     the exhaustive bonus (100000 to every player) and a long-range bonus
#     of 2 x 500 to the one who owns the pieces.
#   2 "Round the Cross": the water passes one cross on both axes (1000) and
#     leaves two pre-laid pieces unused (-50 each, each with the iron set's
#     breaking sound 11); exactly the 5 pieces needed, so no long-range bonus.
#   3 "Just Enough": 2 pieces for 2 needed and empty cells: "NO BONUS".
set -euo pipefail
source "$2/scenario/lib/game_root.bash"
scenario_start "$@"
bin=$(cd "$(dirname "$runner")" && pwd)

# A program folder whose only course is the bonus course.
root() {
  mkdir -p "$work/$1/data/stage"
  "$bin/stagec" "$tests/data/play_bonus.txt" "$work/$1/data/stage/course0.dat" > /dev/null
  ln -s "$bin/sound" "$work/$1/sound"
}
# Sounds n between two frames (from included, to excluded).
count_between() {
  awk -v n="$2" -v a="$3" -v b="$4" '$2 == "sound" && $3 == n && $1 >= a && $1 < b' "$1" | wc -l
}

# One player through the whole course.
root one
play one 3600 '20 Z tap
90 Z tap'
ev=$work/one-events.txt
read -r s1 s2 s3 _ <<< "$(music_starts "$ev")"
[[ -n ${s3:-} ]] || { echo "FAIL: the three stages were not all played: $(music_starts "$ev")"; exit 1; }
expect "final scores" "$(state_scores "$work/one-state.json")" "101900 0"
expect "stages cleared" "$(state_field "$work/one-state.json" StageNo)" 3
expect "lives kept" "$(state_field "$work/one-state.json" Lives)" 2
# The water starts once in every stage, 60 frames after play begins.
expect "sound 9" "$(sound_frames "$ev" 9)" "$((s1 + 60)) $((s2 + 60)) $((s3 + 60))"
# Bonus lines: two in stage 1, the intersect line in stage 2, none in stage 3.
expect "lines of stage 1" "$(count_between "$ev" 3 "$s1" "$s2")" 2
expect "lines of stage 2" "$(count_between "$ev" 3 "$s2" "$s3")" 1
expect "lines of stage 3" "$(count_between "$ev" 3 "$s3" 99999)" 0
# Consecutive bonus lines stand 60 frames apart.
read -r l1 l2 _ <<< "$(sound_frames "$ev" 3)"
expect "line spacing" "$((l2 - l1))" 60
# Two pieces broken in stage 2, one 32-frame break after the other.
read -r b1 b2 rest <<< "$(sound_frames "$ev" 11)"
expect "breaks" "${rest:-none}" none
expect "break spacing" "$((b2 - b1))" 32
(( b1 > s2 && b2 < s3 )) || { echo "FAIL: breaks at $b1 $b2 outside stage 2"; exit 1; }

# The score after each stage: the state as the next stage begins.
play one "$s2" '20 Z tap
90 Z tap'
expect "after the full board" "$(state_scores "$work/one-state.json")" "101000 0"
play one "$s3" '20 Z tap
90 Z tap'
expect "after the cross" "$(state_scores "$work/one-state.json")" "101900 0"

# Two players: the full board pays both on one line; the long-range line is
# player 1's alone (player 2 owns no pipe on the route and needs none).
root two
play two 1700 '5 Down tap
20 Z tap
90 Z tap'
read -r t1 t2 _ <<< "$(music_starts "$work/two-events.txt")"
play two "$t2" '5 Down tap
20 Z tap
90 Z tap'
expect "two players after the full board" "$(state_scores "$work/two-state.json")" "101500 100000"
expect "two-player lines" "$(count_between "$work/two-events.txt" 3 "$t1" "$t2")" 2
echo "play bonus: ok"
