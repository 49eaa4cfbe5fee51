#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# The player's own courses in the course select: "MY COURSES" is offered
# only when one of them can be played; its list greys a broken file, which
# cannot be chosen, and scrolls to the courses below the screen's foot. A
# chosen course plays to "COURSE CLEAR" in place of the ending, its best
# score goes to the file beside it, and the 69-byte save file stays as it
# was, as it does for a course played with --play.
#   my_courses.sh DUCTORA-HEADLESS TESTS-DIR
set -euo pipefail
runner=$1
source "$2/scenario/lib/game_root.bash"
stagec=$(dirname "$runner")/stagec
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/xdg
courses=$XDG_DATA_HOME/ductora-fiesta/courses
mkdir -p "$courses"

# The pipe from the source to the drain is laid: the water clears it alone.
cat > "$work/laid.txt" <<'EOF2'
stage 1
set 3
supply straights 50 elbows 50
require 6
delay 1
speed 140
map
..........
..........
..........
.@------X.
..........
..........
..........
..........
source flows right
drain opens left
EOF2
"$stagec" --no-solve "$work/laid.txt" "$work/laid.dat" > /dev/null

# play NAME SCRIPT FRAMES: the game from the title (60 s at most), with the save file
# kept to compare.
play() {
  make_root "$work/$1" "$runner"
  write_save "$work/$1" 0 0:0=123456
  cp "$work/$1/data/ductora.dat" "$work/$1-before.dat"
  printf "$2" > "$work/$1.txt"
  timeout 60 "$runner" --root "$work/$1" --input "$work/$1.txt" --frames "$3" \
    --events "$work/$1-events.txt" --state "$work/$1.json" "${@:4}"
  cmp "$work/$1-before.dat" "$work/$1/data/ductora.dat" || expect "$1: the save file" changed same
}

# Only a broken course: the course select has its three lines, and Up from
# course A reaches course C.
# A FIFO, a folder and a 2 GiB file named as courses are no courses either,
# and listing them neither waits nor reads them whole.
head -c 100 "$work/laid.dat" > "$courses/broken.dat"
mkfifo "$courses/fifo.dat"
mkdir "$courses/folder.dat"
truncate -s 2G "$courses/huge.dat"
play none '10 Z tap\n150 Up tap\n170 Z tap\n' 300
expect "none: Up from course A" "$(state_field "$work/none.json" CourseNo)" 2
rm -r "$courses/fifo.dat" "$courses/folder.dat" "$courses/huge.dat"

# With playable courses the line above course A is MY COURSES. Its list:
# broken, good, z01 .. z10, BACK. Z on the greyed broken line does
# nothing; Down and Z play good.
cp "$work/laid.dat" "$courses/good.dat"
for i in 01 02 03 04 05 06 07 08 09 10; do cp "$work/laid.dat" "$courses/z$i.dat"; done
play good '10 Z tap\n150 Up tap\n170 Z tap\n260 Z tap\n270 Down tap\n280 Z tap\n600 Up tap\n610 Z tap\n' 2400
expect "good: confirm sounds" "$(sound_frames "$work/good-events.txt" 4)" "10 170 280"
expect "good: the ending's tune" "$(grep -c "music-play laz_wind.mid" "$work/good-events.txt" || true)" 0
expect "good: best scores" "$(cat "$courses/good.best")" "1P $(state_field "$work/good.json" TotalScore)
2P 0"
[[ $(state_field "$work/good.json" TotalScore) -gt 0 ]] || expect "good: a score" 0 "above 0"
[[ ! -e $courses/z10.best ]] || expect "z10: best scores" written "none yet"

# Two players choose the same course: its two-player best joins the
# one-player best already in the file.
one=$(state_field "$work/good.json" TotalScore)
play two '10 Down tap\n20 Z tap\n160 Up tap\n180 Z tap\n270 Down tap\n280 Z tap\n600 Up tap\n610 Z tap\n' 2400
expect "two: players" "$(state_field "$work/two.json" PlayerCount)" 2
expect "two: best scores" "$(cat "$courses/good.best")" "1P $one
2P $(state_field "$work/two.json" TotalScore)"
[[ $(state_field "$work/two.json" TotalScore) -gt 0 ]] || expect "two: a score" 0 "above 0"

# Up from the list's first line wraps to BACK, once more to z10, the last
# course, below the nine lines shown: the list scrolls and z10 is played.
play scroll '10 Z tap\n150 Up tap\n170 Z tap\n260 Up tap\n270 Up tap\n280 Z tap\n600 Up tap\n610 Z tap\n' 2400
expect "scroll: best scores" "$(cat "$courses/z10.best")" "1P $(state_field "$work/scroll.json" TotalScore)
2P 0"

# --play clears the same course to COURSE CLEAR, not the ending, and goes
# on to the title; the save file stays as it was and no best is kept.
make_root "$work/p" "$runner"
write_save "$work/p" 0 0:0=123456
cp "$work/p/data/ductora.dat" "$work/p-before.dat"
cp "$work/laid.dat" "$work/played.dat"
"$runner" --root "$work/p" --play "$work/played.dat" --frames 2400 --events "$work/p-events.txt" \
  --state "$work/p.json"
cmp "$work/p-before.dat" "$work/p/data/ductora.dat" || expect "--play: the save file" changed same
expect "--play: the ending's tune" "$(grep -c "music-play laz_wind.mid" "$work/p-events.txt" || true)" 0
expect "--play: stage cleared" "$(state_field "$work/p.json" Lives) $(state_field "$work/p.json" StageNo)" "2 1"
[[ ! -e $work/played.best ]] || expect "--play: best scores" written "none"
echo "my courses: ok"
