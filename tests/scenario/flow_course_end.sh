#!/usr/bin/env bash
# Finishing a course: the stages run to the last one, the course's bit is
# set in the cleared-course mask and saved at once, the ending plays and
# saves the hi-score, and once all three courses are finished the next
# one-player course select offers "HEYLAW".
set -euo pipefail
runner=$1
source "$2/scenario/lib/game_root.bash"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stagec=$(dirname "$runner")/stagec

# Courses of one stage each: the drain right beside the source, nothing to
# lay, so the water clears the stage on its own soon after the intro.
cat > "$work/quick.txt" <<'STAGES'
stage Beside
set 0
supply straights 50 elbows 50
require 0
delay 1
map
..........
..........
..........
.@X.......
..........
..........
..........
..........
source flows right
drain opens left
STAGES
"$stagec" "$work/quick.txt" "$work/quick.dat" > /dev/null

quick_root() {  # quick_root DIR MASK
  make_root "$1" "$runner"
  for c in 0 1 2; do cp "$work/quick.dat" "$1/data/stage/course$c.dat"; done
  write_save "$1" "$2"
}

# finish DIR SCRIPT: plays until well after the stage is cleared (the water
# reaches the drain at 586) and quits; prints the frame of the first save.
finish() {
  printf '%s\n' "$2" > "$1.txt"
  "$runner" --root "$1" --input "$1.txt" --frames 1400 --events "$1-events.txt" \
    --state "$1-state.json"
  awk '$2 == "save" { print $1; exit }' "$1-events.txt"
}

# Course B with A and C already finished completes the mask.
# The bit is saved as soon as the course is finished, before the run is cut.
quick_root "$work/b" 5
saved_at=$(finish "$work/b" $'20 Z tap\n90 Down tap\n100 Z tap')
(( saved_at < 1400 )) || { echo "FAIL: no save when the course was finished"; exit 1; }
expect "mask after course B" "$(saved_mask "$work/b/data/ductora.dat")" 7
expect "stage reached" "$(state_field "$work/b-state.json" StageNo)" 1

# A whole finish from a mask of 6: a piece laid off the water's way (100
# points, of which the inspection takes 50 back when it breaks the piece),
# the ending with its hi-score rule, then the title again, where Z starts a
# game whose course select now offers "HEYLAW" above course A.
quick_root "$work/d" 6
write_save "$work/d" 6 0:0=20
printf '20 Z tap\n90 Z tap\n370 Down tap\n380 Z tap\n12000 Z tap\n12150 Up tap\n' \
  > "$work/d.txt"
"$runner" --root "$work/d" --input "$work/d.txt" --frames 12200 --events "$work/d-events.txt" \
  --state "$work/d-state.json"
expect "saves: the finish, the ending" \
  "$(awk '$2 == "save" { printf "%s ", ($1 < 1400 ? "finish" : $1 < 12000 ? "ending" : "quit") }' \
    "$work/d-events.txt")" "finish ending quit "
expect "ending music" "$(grep -c 'music-play laz_wind.mid' "$work/d-events.txt")" 1
expect "new hi-score" "$(saved_hiscore "$work/d/data/ductora.dat" 0 0)" 50
expect "all courses" "$(saved_mask "$work/d/data/ductora.dat")" 7
expect "confirm after the ending" "$(sound_frames "$work/d-events.txt" 4)" "20 90 12000"
expect "line above the first" "$(state_field "$work/d-state.json" CourseNo)" 3
echo "flow course end: ok"
