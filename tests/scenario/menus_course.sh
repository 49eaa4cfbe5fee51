#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# The course select: "HEYLAW" is the fourth line only for one player who
# has finished all three courses, and the world name of the line under the
# cursor is typed out one character every four frames with sound 15.
set -euo pipefail
source "$2/scenario/lib/game_root.bash"
scenario_start "$@"

# Z at 20 starts a one-player game (Down first for two players); the course
# select opens at 81 and Up at 101 moves from the first line to the last.
# The line reached tells how many lines the list has.
last_line() {
  local mask=$1 players=$2 dir=$work/m$1p$2
  make_root "$dir" "$runner"
  [[ $mask == none ]] || write_save "$dir" "$mask"
  if [[ $players == 2 ]]; then printf '5 Down tap\n'; fi > "$dir/script.txt"
  printf '20 Z tap\n101 Up tap\n' >> "$dir/script.txt"
  "$runner" --root "$dir" --input "$dir/script.txt" --frames 200 \
    --events "$dir/events.txt" --state "$dir/state.json"
  state_field "$dir/state.json" CourseNo
}

expect "mask 7, one player" "$(last_line 7 1)" 3
expect "mask 7, two players" "$(last_line 7 2)" 2
expect "mask 6, one player" "$(last_line 6 1)" 2
expect "no save file, one player" "$(last_line none 1)" 2

# "LITTLE BEAR'S WORLD" starts typing at 81 and is cut short by the move at
# 101; "ENDLESS WORLD" (13 characters) then types from 101 to 149.
typed="81 85 89 93 97"
for f in $(seq 101 4 149); do typed+=" $f"; done
expect "world name sounds" "$(sound_frames "$work/m7p1/events.txt" 15)" "$typed"
# Course C's name, "STRANGE METAL-WORLD", types all its 19 characters and stops.
typed="81 85 89 93 97"
for f in $(seq 101 4 173); do typed+=" $f"; done
expect "whole name sounds" "$(sound_frames "$work/m6p1/events.txt" 15)" "$typed"

echo "menus course: ok"
