#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# Demo play: thirty seconds without input on the title start a demo ("F demo
# 1") that plays a stage; a key ends it ("F demo 0") and the title is back as
# it was; left alone a demo ends by itself and the next one takes its turn.
# The save file is the same, byte for byte, before and after. Every shipped
# demo plays back to the end it was recorded with.
set -euo pipefail
source "$2/scenario/lib/game_root.bash"
scenario_start "$@"
demos=$(cd "$(dirname "$runner")" && pwd)/data/demo
make_root "$work/root" "$runner"
mkdir -p "$work/root/data/demo"
cp "$demos"/*.replay "$work/root/data/demo/"
write_save "$work/root" 3 0:0=123450
cp "$work/root/data/ductora.dat" "$work/save-before"
idle=$(( 30000 / 17 ))
frames_of() { sed -n 's/^frames //p' "$1"; }
demo_frames() { awk -v v="$2" '$2 == "demo" && $3 == v { printf "%s ", $1 }' "$1" | sed 's/ $//'; }

# Idle from the start: the first demo comes after 30 s of frames; a key
# 1500 frames into it brings the title back at once.
start=$(( idle + 1 ))
key=$(( start + 1500 ))
printf '%s Z down\n%s Z up\n' "$key" $(( key + 1 )) > "$work/key.txt"
"$runner" --root "$work/root" --input "$work/key.txt" --frames $(( key + 100 )) \
  --events "$work/a.txt" --state "$work/a.json" --shot "100:$work/title-before.png" \
  --shot "$(( start + 1200 )):$work/demo.png" --shot "$(( key + 90 )):$work/title-after.png"
expect "demo starts" "$(demo_frames "$work/a.txt" 1)" "$start"
expect "demo ends on the key" "$(demo_frames "$work/a.txt" 0)" "$(( key + 1 ))"
# A stage was played: its music started and pieces were laid (sound 1).
awk -v s="$start" -v k="$key" '$1 > s && $1 < k' "$work/a.txt" > "$work/during.txt"
grep -q ' music-play ' "$work/during.txt"
grep -q ' sound 1$' "$work/during.txt"
# The key that ended it chose nothing on the title; the title is as it was.
cmp "$work/title-before.png" "$work/title-after.png"
! cmp -s "$work/title-before.png" "$work/demo.png"
cmp "$work/save-before" "$work/root/data/ductora.dat"
expect "hi-score kept" "$(state_field "$work/a.json" PlayerCount)" 1
grep -q '"HiScore": \[\[123450, 200000, 300000, 80000\]' "$work/a.json"

# Left alone, each demo ends with its last frame and, after another 30 s on
# the title, the next one plays: courses A, B and C, then the endless world,
# whose own faint shift and turn effects (17, 18) sound only in its turn.
a=$(frames_of "$work/root/data/demo/course-a.replay")
b=$(frames_of "$work/root/data/demo/course-b.replay")
c=$(frames_of "$work/root/data/demo/course-c.replay")
fourth=$(( 4 * start + a + b + c ))
"$runner" --root "$work/root" --frames $(( fourth + 1300 )) --events "$work/b.txt" \
  --shot "$(( start + 1200 )):$work/b1.png" --shot "$(( 2 * start + a + 1200 )):$work/b2.png"
expect "demos" "$(demo_frames "$work/b.txt" 1)" \
  "$start $(( 2 * start + a )) $(( 3 * start + a + b )) $fourth"
expect "demo end" "$(demo_frames "$work/b.txt" 0 | cut -d' ' -f1)" "$(( start + a ))"
cmp "$work/demo.png" "$work/b1.png"
! cmp -s "$work/b1.png" "$work/b2.png"
expect "endless effects before its turn" \
  "$(awk -v f="$fourth" '$1 < f && / sound 1[78]$/' "$work/b.txt" | wc -l)" 0
awk -v f="$fourth" '$1 > f && / sound 1[78]$/' "$work/b.txt" | grep -q .
cmp "$work/save-before" "$work/root/data/ductora.dat"

# Every shipped demo is in step with the game: played back, it ends where
# and with the score it was recorded with (else the runner fails).
for demo in "$demos"/*.replay; do
  "$runner" --root "$work/root" --replay "$demo" --state "$work/r.json"
  field=TotalScore
  grep -q '^course endless$' "$demo" && field=EndlessScore
  expect "score of $(basename "$demo")" "$(state_field "$work/r.json" $field)" \
    "$(sed -n 's/^score //p' "$demo")"
done
echo "demo play: ok"
