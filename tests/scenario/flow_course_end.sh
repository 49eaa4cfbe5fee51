#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# Finishing a course: the stages run to the last one, the course's bit is
# set in the cleared-course mask and saved at once, the ending plays and
# saves the hi-score, and once all three courses are finished the next
# one-player course select offers "HEYLAW".
set -euo pipefail
source "$2/scenario/lib/game_root.bash"
scenario_start "$@"

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
"$(dirname "$runner")/stagec" "$work/quick.txt" "$work/quick.dat" > /dev/null

# A program folder whose three courses are that one stage, with courses A
# and C already finished (mask 5) and a low hi-score for course B.
make_root "$work/root" "$runner"
for c in 0 1 2; do cp "$work/quick.dat" "$work/root/data/stage/course$c.dat"; done
write_save "$work/root" 5 0:1=20

# Course B, with a piece laid off the water's way (100 points, of which the
# inspection takes 50 back when it breaks the piece). The water reaches the
# drain at 596; the course's bit is saved then, before the ending, which
# saves the hi-score at its end. Back on the title, Z starts a game whose
# course select now offers "HEYLAW" above course A.
printf '20 Z tap\n90 Down tap\n100 Z tap\n380 Down tap\n390 Z tap\n12000 Z tap\n12150 Up tap\n' \
  > "$work/script.txt"
"$runner" --root "$work/root" --input "$work/script.txt" --frames 12200 \
  --events "$work/events.txt" --state "$work/state.json"
expect "saves: the finish, the ending, the quit" \
  "$(awk '$2 == "save" { printf "%s ", ($1 < 1400 ? "finish" : $1 < 12000 ? "ending" : "quit") }' \
    "$work/events.txt")" "finish ending quit "
expect "ending music" "$(grep -c 'music-play laz_wind.mid' "$work/events.txt")" 1
expect "new hi-score" "$(saved_hiscore "$work/root/data/ductora.dat" 0 1)" 50
expect "all courses" "$(saved_mask "$work/root/data/ductora.dat")" 7
expect "confirm after the ending" "$(sound_frames "$work/events.txt" 4)" "20 100 12000"
expect "line above the first" "$(state_field "$work/state.json" CourseNo)" 3

# A music file in place of the ending tune that would play for hours: the
# last page of the roll waits 300 s for it at most, then the ending saves.
make_root "$work/long" "$runner" copy
for c in 0 1 2; do cp "$work/quick.dat" "$work/long/data/stage/course$c.dat"; done
write_save "$work/long" 5 0:1=20
# One track at 16.8 s a beat whose end is 1000 beats in: about 4.7 hours.
printf 'MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x01MTrk\x00\x00\x00\x0c%b' \
  '\x00\xff\x51\x03\xff\xff\xff\x87\x68\xff\x2f\x00' > "$work/long/sound/music/laz_wind.mid"
"$runner" --root "$work/long" --input "$work/script.txt" --frames 32000 \
  --events "$work/long.txt"
expect "the ending's save after the longest wait" \
  "$(awk '$2 == "save" && $1 > 1400 { print ($1 > 12000 + 17000 ? "late" : "in time"); exit }' \
    "$work/long.txt")" "in time"
expect "new hi-score despite the long music" "$(saved_hiscore "$work/long/data/ductora.dat" 0 1)" 50
echo "flow course end: ok"
