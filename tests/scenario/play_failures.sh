#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# Failed attempts, with no one playing (stages in tests/data/play_fail.txt):
#   "One Short": the laid route reaches the drain with 2 pieces of the 3
#     needed: the splash at the drain, "REQUIRE THE MORE PIPE !!" for one
#     three-second wait, and a life lost.
#   "Spill": the water runs out of the laid pipe into an empty cell: the
#     splash there and a life lost.
# Each course game has two lives: 2 in the first attempt, 1 in the second,
# and the second failure ends the game (game over saves).
set -euo pipefail
source "$2/scenario/lib/game_root.bash"
scenario_start "$@"
bin=$(cd "$(dirname "$runner")" && pwd)
"$bin/stagec" "$tests/data/play_fail.txt" "$work/fail.dat" > /dev/null

# root NAME RECORD: a program folder whose course holds one stage of the file.
root() {
  mkdir -p "$work/$1/data/stage"
  dd if="$work/fail.dat" of="$work/$1/data/stage/course0.dat" bs=110 skip="$2" count=1 2> /dev/null
  ln -s "$bin/sound" "$work/$1/sound"
}
start=$'20 Z tap\n90 Z tap'  # one player on course A
first_save() { awk '$2 == "save" { print $1; exit }' "$1"; }

# check_two_failures NAME RECORD: both attempts fail the same way, then the
# game is over. Sets gap: frames from the first splash to the second attempt.
check_two_failures() {
  local name=$1 ev=$work/$1-events.txt a1 a2 leak1 leak2 more
  root "$name" "$2"
  play "$name" 2600 "$start"
  read -r a1 a2 more <<< "$(music_starts "$ev")"
  expect "$name: attempts" "${more:-none}" none
  [[ -n ${a2:-} ]] || { echo "FAIL: $name: no second attempt"; exit 1; }
  expect "$name: lives at the end" "$(state_field "$work/$name-state.json" Lives)" 0
  expect "$name: stage" "$(state_field "$work/$name-state.json" StageNo)" 0
  # The water starts once in each attempt; the failure stops the music as
  # the splash sound plays.
  expect "$name: sound 9" "$(sound_frames "$ev" 9)" "$((a1 + 60)) $((a2 + 60))"
  read -r leak1 leak2 <<< "$(sound_frames "$ev" 7)"
  expect "$name: music stopped" "$(awk -v f="$leak1" '$1 == f && $2 == "music-stop"' "$ev" | wc -l)" 1
  # Same stage, same water: the second attempt fails as long after its start.
  expect "$name: same failure" "$((leak2 - a2))" "$((leak1 - a1))"
  # Lives 1 while the second attempt is played.
  play "$name" "$((a2 + 30))" "$start"
  expect "$name: lives in the second attempt" "$(state_field "$work/$name-state.json" Lives)" 1
  play "$name" "$((a1 + 30))" "$start"
  expect "$name: lives in the first attempt" "$(state_field "$work/$name-state.json" Lives)" 2
  # From the splash to the next intro: 9 splash steps, 181 frames of pause,
  # and for a drain reached short one more frame, the message's long wait.
  gap=$((a2 - leak1))
}

check_two_failures short 0
short_gap=$gap
check_two_failures spill 1
expect "the message's wait" "$((short_gap - gap))" 1
# Game over follows the second splash and saves.
[[ -n $(first_save "$work/spill-events.txt") ]] || { echo "FAIL: no save at game over"; exit 1; }
echo "play failures: ok"
