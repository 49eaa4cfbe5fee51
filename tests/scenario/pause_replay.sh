#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# A game paused for 1000 frames plays on exactly as if it had not been
# paused: the same state and the same events, shifted by the paused frames.
set -euo pipefail
source "$2/scenario/lib/game_root.bash"
scenario_start "$@"
make_root "$work/root" "$runner"

base='20 Z tap
90 Z tap
430 Down tap
440 Z tap
450 Right tap
460 Z tap
470 Z down'

run() {  # run NAME FRAMES SCRIPT
  printf '%s\n' "$3" > "$work/$1.txt"
  rm -f "$work/root/data/ductora.dat"
  "$runner" --root "$work/root" --seed 3 --input "$work/$1.txt" --frames "$2" \
    --events "$work/$1-events.txt" --state "$work/$1-state.json" \
    --shot "$(( $2 - 2400 )):$work/$1-shot.png"
}

run plain 3000 "$base"
# Paused by P in the middle of play with Z held, resumed 1000 frames later.
run paused 4000 "$base
600 P tap
1600 P tap"

expect "pause lines" "$(grep pause "$work/paused-events.txt" | tr '\n' ' ')" \
  "600 pause 1 1600 pause 0 "
grep -v pause "$work/paused-events.txt" |
  awk '$1 >= 600 { $1 -= 1000 } { print }' > "$work/shifted.txt"
cmp "$work/plain-events.txt" "$work/shifted.txt"
cmp "$work/plain-state.json" "$work/paused-state.json"
# The picture 1000 frames into the pause is the dimmed play with "PAUSE".
file "$work/paused-shot.png" | grep -q '512 x 352'
echo "pause replay: ok"
