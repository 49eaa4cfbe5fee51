#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# Replays: a game recorded by the runner plays back in the runner to the same
# state, the same sounds and the same last picture; a game that sets a new
# hi-score leaves its replay beside the save file and only a better game
# replaces it; a replay never writes the save file; a key ends a replay; a
# broken file or one of another version is refused with a message.
set -euo pipefail
source "$2/scenario/lib/game_root.bash"
scenario_start "$@"
make_root "$work/root" "$runner"
save=$work/root/data/ductora.dat
kept=$work/root/data/replays/course-a-1p.replay
header() { sed -n "s/^$2 //p" "$1"; }
# the events of a run from frame FROM on, renumbered from 0
events_from() { awk -v f="$2" '$1 >= f { $1 = $1 - f; print }' "$1"; }

# A game cut short by --frames, recorded, played back: the recording's last
# frame is the playback's, with the same state, sounds and picture.
"$runner" --root "$work/root" --bot --seed 5 --frames 6000 --record "$work/cut.replay" \
  --state "$work/cut-a.json" --events "$work/cut-a.txt" --shot "6000:$work/cut-a.png"
frames=$(header "$work/cut.replay" frames)
start=$(( 6000 - frames ))
"$runner" --root "$work/root" --replay "$work/cut.replay" --state "$work/cut-b.json" \
  --events "$work/cut-b.txt" --shot "$frames:$work/cut-b.png"
cmp "$work/cut-a.json" "$work/cut-b.json"
cmp "$work/cut-a.png" "$work/cut-b.png"
diff <(events_from "$work/cut-a.txt" "$start" | grep -v ' save$') \
  <(events_from "$work/cut-b.txt" 0 | grep -v ' display 0$')
grep -q ' sound 1$' "$work/cut-b.txt"  # pieces were laid

# A whole game to a new hi-score: its replay is kept and plays back to the
# same end, and the save file stays as it was, byte for byte.
write_save "$work/root" 0 0:0=1000
"$runner" --root "$work/root" --bot --seed 5 --state "$work/full-a.json"
[[ -f $kept ]] || { echo "FAIL: no replay kept after a new hi-score"; exit 1; }
score=$(header "$kept" score)
expect "kept replay's score" "$score" "$(saved_hiscore "$save" 0 0)"
expect "hi-score it played against" "$(header "$kept" hiscore)" 1000
cp "$save" "$work/save-before"
"$runner" --root "$work/root" --replay "$kept" --state "$work/full-b.json" --events "$work/full-b.txt"
cmp "$work/save-before" "$save"
! grep -q ' save$' "$work/full-b.txt"
expect "replayed score" "$(state_field "$work/full-b.json" TotalScore)" "$score"
expect "replayed stage" "$(state_field "$work/full-b.json" StageNo)" \
  "$(state_field "$work/full-a.json" StageNo)"

# A new hi-score below the kept replay's score (the save file was lost) leaves
# the replay alone; one above it replaces it.
sed -i "s/^score .*/score 2000000000/" "$kept"
cp "$kept" "$work/kept-before"
write_save "$work/root" 0 0:0=1000
"$runner" --root "$work/root" --bot --seed 5
cmp "$work/kept-before" "$kept"
sed -i "s/^score .*/score 1/" "$kept"
write_save "$work/root" 0 0:0=1000
"$runner" --root "$work/root" --bot --seed 5
expect "replaced replay's score" "$(header "$kept" score)" "$score"
cp "$save" "$work/save-before"

# A key pressed during a replay ends it at once, saving nothing.
printf '300 Z down\n301 Z up\n' > "$work/key.txt"
"$runner" --root "$work/root" --replay "$kept" --input "$work/key.txt" --events "$work/key-ev.txt" \
  --state "$work/key.json"
last=$(tail -1 "$work/key-ev.txt" | cut -d' ' -f1)
(( last <= 302 )) || { echo "FAIL: the replay went on to frame $last after the key"; exit 1; }
cmp "$work/save-before" "$save"

# Refused files: a clear message naming the file, status 1, the save file untouched.
sed 's/^version .*/version 0.0.1/' "$kept" > "$work/old.replay"
head -c 300 "$kept" | sed '$ s/ [0-9a-f]*$/ zz/' > "$work/cut-off.replay"
printf 'DUCTORA-FIESTA REPLAY\n' > "$work/header-only.replay"
# A FIFO, /dev/zero and a huge file are refused without waiting or reading them whole.
for bad in old cut-off header-only folder missing fifo zero huge; do
  file=$work/$bad.replay
  case $bad in
    folder) mkdir -p "$file" ;;
    fifo) mkfifo "$file" ;;
    zero) ln -s /dev/zero "$file" ;;
    huge) truncate -s 2G "$file" ;;
  esac
  status=0
  timeout 60 "$runner" --root "$work/root" --replay "$file" --events "$work/bad.txt" \
    2> "$work/err.txt" || status=$?
  expect "exit status for $bad" "$status" 1
  grep -q "replay $file: " "$work/err.txt" || { cat "$work/err.txt"; exit 1; }
  cmp "$work/save-before" "$save"
done
grep -q "recorded by version 0.0.1" <(
  "$runner" --root "$work/root" --replay "$work/old.replay" 2>&1 || true)
echo "replay play: ok"
