#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# The stage editor through the runner: a stage built by keys alone from a
# new course is found clearable, saved in the player's course folder and
# byte for byte what the stage compiler makes of the same stage written as
# text, and once its crosses' share is raised, test-played and cleared by a
# scripted route; a drain walled in shows NO ROUTE; a course with one fault a stage
# shows each fault as the player steps through it, and the editor leaves
# the file alone until something changes.
#   editor_build.sh DUCTORA-HEADLESS TESTS-DIR
set -euo pipefail
source "$2/scenario/lib/game_root.bash"
scenario_start "$@"
stagec=$(dirname "$runner")/stagec
export XDG_DATA_HOME=$work/xdg
courses=$XDG_DATA_HOME/ductora-fiesta/courses

script=$work/build.txt
: > "$script"
# The cursor starts on cell (0, 0). Source at (1, 3) flowing right: 15
# steps back from empty; drain at (8, 3) opening left: 9 steps back.
taps 10 Right 1; taps $next Down 3; taps $next X 15
taps $next Right 7; taps $next X 9
# The required pipes (the left panel's eighth line): 10 down to 6.
taps $next Left 10; taps $next Down 3; taps $next X 4
built=$next
# SAVE is the right panel's ninth line.
taps $(( built + 200 )) Right 13; taps $next Down 1; taps $next Z 1
saved=$next
"$runner" --edit "$work/mine.dat" --input "$script" --frames $(( saved + 20 )) \
  --edit-log "$work/build.log" --shot "$(( built + 150 )):$work/built.png"
grep -q "verdict CLEARABLE 7 CELLS 30.0 S" "$work/build.log" ||
  expect "verdict after building" "$(cat "$work/build.log")" "... verdict CLEARABLE 7 CELLS 30.0 S"
clearable=$(grep "verdict CLEARABLE" "$work/build.log" | cut -d' ' -f1)
(( clearable < built + 150 )) || expect "clearable within 150 frames" "$clearable" "< $(( built + 150 ))"
expect "saves" "$(grep -c course-saved "$work/build.log")" 1
expect "the last verdict" "$(grep verdict "$work/build.log" | tail -n 1 | cut -d' ' -f2-)" \
  "verdict CLEARABLE 7 CELLS 30.0 S"

cat > "$work/mine.txt" <<'EOF2'
stage 1
set 0
supply straights 40 elbows 60
require 6
delay 20
speed 128
map
..........
..........
..........
.@......X.
..........
..........
..........
..........
source flows right
drain opens left
EOF2
"$stagec" "$work/mine.txt" "$work/compiled.dat" > /dev/null
cmp "$courses/mine.dat" "$work/compiled.dat" || expect "saved course" "differs" "as compiled"
[[ ! -e $work/mine.dat ]] || expect "the opened path" "written" "left alone"

# The same stage built by keys again, its crosses' share raised to 100 (the
# left panel's third line), then test-played: from the source, where the
# play cursor starts, six crosses laid to the right clear it.
script=$work/play.txt
awk -v b="$built" '$1 < b' "$work/build.txt" > "$script"
taps "$built" Up 4; taps $next Z 100
taps $(( next + 100 )) Right 13; taps $next Down 4; taps $next Z 1
for (( i = 0, f = next + 400; i < 6; i++, f += 20 )); do
  printf '%s Right tap\n%s Z tap\n' "$f" $(( f + 10 )) >> "$script"
done
"$runner" --edit "$work/again.dat" --input "$script" --frames $(( f + 3500 )) \
  --edit-log "$work/again.log" --state "$work/again.json"
expect "built stage: test play" "$(grep -o 'test-play [a-z]*$' "$work/again.log" | tail -n 1)" \
  "test-play cleared"
expect "built stage: six crosses laid" "$(state_field "$work/again.json" TotalScore)" 600

# The drain walled in: opened, looked at, left without a change.
sed '11s/.*/........#./; 12s/.*/.@.....#X#/; 13s/.*/........#./' "$work/mine.txt" \
  > "$work/walled.txt"
"$stagec" --no-solve "$work/walled.txt" "$work/walled.dat" > /dev/null
"$runner" --edit "$work/walled.dat" --frames 300 --edit-log "$work/walled.log"
expect "walled drain" "$(grep verdict "$work/walled.log" | tail -n 1 | cut -d' ' -f2-)" \
  "verdict NO ROUTE"
expect "no change, no save" "$(grep -c course-saved "$work/walled.log" || true)" 0

# One fault a stage, written into copies of the compiled record.
good=$work/compiled.dat
: > "$work/faults.dat"
fault() {  # fault OFFSET BYTE...: the good record with bytes from OFFSET on
  cp "$good" "$work/one.dat"
  poke "$work/one.dat" "$@"
  cat "$work/one.dat" >> "$work/faults.dat"
}
fault 98 255               # the drain absent
fault 94 255               # the source absent
fault 2 55                 # elbows 55: 95 in all
fault 8 0                  # start delay 0
fault 0 5                  # pipe set 5
fault 37 41                # cell (3, 2) holds kind 41
fault 99 8                 # the drain at row 8
fault 96 4                 # the source's direction 4
fault 102 4 4 0 0 5 5 0 0   # a warp entrance without its link
fault 102 4 4 0 1          # a warp entrance without an exit
fault 98 1 3 0 0           # the drain on the source
fault 9 124                # too slow for a normal cell
script=$work/faults.txt
: > "$script"
# NEXT is the right panel's first line: from (0, 0) right 11, up 1.
taps 10 Right 11; taps $next Up 1; taps $(( next + 10 )) Z 11
"$runner" --edit "$work/faults.dat" --input "$script" --frames $(( next + 10 )) \
  --edit-log "$work/faults.log"
expect "faults one by one" "$(grep verdict "$work/faults.log" | cut -d' ' -f3- | tr '\n' '|')" \
  "NO DRAIN|NO SOURCE|SUPPLY 95 OF 100|START DELAY 0|PIPE SET 5|BAD CELL 3,2|DRAIN OFF BOARD|SOURCE DIRECTION 4|WARP NOT LINKED|NO WARP EXIT|DRAIN ON SOURCE|SPEED 124 TOO SLOW|"
expect "stepping saves nothing" "$(grep -c course-saved "$work/faults.log" || true)" 0
