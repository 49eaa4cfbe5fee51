#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# The title menu: auto-repeat and wrap of the cursor, every device confirms,
# a held button does not, and "EXIT GAME" saves and ends the program.
set -euo pipefail
source "$2/scenario/lib/game_root.bash"
scenario_start "$@"

# Down held from frame 10 to 51 moves at 10, 34, 40 and 46, wrapping from
# "EXIT GAME" back to the first line; joystick 1 then moves the cursor to
# "START 2 PLAYERS" and its second button starts the game.
make_root "$work/a" "$runner"
cat > "$work/a.txt" <<'SCRIPT'
10 Down down
51 Down up
60 J1.Down tap
80 J1.B2 tap
SCRIPT
"$runner" --root "$work/a" --input "$work/a.txt" --frames 200 \
  --events "$work/a-events.txt" --state "$work/a-state.json"
expect "first cursor sound" "$(sound_frames "$work/a-events.txt" 2 | cut -d' ' -f1)" 10
expect "confirm sound" "$(sound_frames "$work/a-events.txt" 4)" "80"
expect "players" "$(state_field "$work/a-state.json" PlayerCount)" 2

# A button still held when the course select opens does not choose a
# course: Z starts the game and stays down through the blink; only X,
# pressed after Z is let go, chooses.
make_root "$work/b" "$runner"
cat > "$work/b.txt" <<'SCRIPT'
20 Z down
250 Z up
270 X tap
SCRIPT
"$runner" --root "$work/b" --input "$work/b.txt" --frames 400 \
  --events "$work/b-events.txt" --state "$work/b-state.json"
expect "confirm sounds" "$(sound_frames "$work/b-events.txt" 4)" "20 270"
expect "players" "$(state_field "$work/b-state.json" PlayerCount)" 1
expect "stages loaded" "$(state_field "$work/b-state.json" StageCount)" 10

# Up from the first line reaches "EXIT GAME"; choosing it saves and ends the
# program at once, with status 0, without the confirm sound or the blink.
make_root "$work/c" "$runner"
printf '10 Up tap\n30 Z tap\n' > "$work/c.txt"
status=0
"$runner" --root "$work/c" --input "$work/c.txt" --frames 500 \
  --events "$work/c-events.txt" --state "$work/c-state.json" || status=$?
expect "exit status" "$status" 0
expect "last event" "$(tail -n 1 "$work/c-events.txt")" "30 save"
expect "confirm sound" "$(sound_frames "$work/c-events.txt" 4)" ""
expect "save file size" "$(stat -c %s "$work/c/data/ductora.dat")" 69
test -s "$work/c-state.json"

# "EDIT STAGES" twice: each time "NEW COURSE" opens the editor on a course
# with a free name, one cell changed (Z), then "EXIT" on the right panel's
# foot line leaves it, saving, and the title is back as it was at the start.
make_root "$work/d" "$runner"
export XDG_DATA_HOME=$work/xdg
: > "$work/d.txt"
edit_new() {  # edit_new FRAME: the title is shown at FRAME
  local f=$(( $1 + 10 )) i
  printf '%s Down tap\n%s Down tap\n%s Z tap\n%s Z tap\n%s Z tap\n' \
    "$f" $(( f + 10 )) $(( f + 30 )) $(( f + 140 )) $(( f + 220 )) >> "$work/d.txt"
  f=$(( f + 230 ))
  for (( i = 0; i < 11; i++, f += 2 )); do echo "$f Right tap" >> "$work/d.txt"; done
  for (( i = 0; i < 8; i++, f += 2 )); do echo "$f Down tap" >> "$work/d.txt"; done
  echo "$(( f + 10 )) Z tap" >> "$work/d.txt"
  left=$(( f + 10 ))
}
edit_new 0; first=$left
edit_new $(( first + 20 ))
"$runner" --root "$work/d" --input "$work/d.txt" --frames $(( left + 40 )) \
  --edit-log "$work/d.log" --shot "5:$work/d-title.png" --shot "$(( left + 35 )):$work/d-back.png"
courses=$XDG_DATA_HOME/ductora-fiesta/courses
expect "saved on leaving" "$(grep course-saved "$work/d.log" | sed "s|$courses/||")" \
  "$(( first + 1 )) course-saved MYCOURSE1.dat
$(( left + 1 )) course-saved MYCOURSE2.dat"
expect "new course sizes" "$(stat -c %s "$courses/MYCOURSE1.dat" "$courses/MYCOURSE2.dat")" \
  "110
110"
cmp "$work/d-title.png" "$work/d-back.png" || expect "the title after the editor" differs same
echo "menus title: ok"
