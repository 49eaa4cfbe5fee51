#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# The runner repeats itself exactly and refuses a bad script with its line.
set -euo pipefail
source "$2/scenario/lib/game_root.bash"
scenario_start "$@"

cat > "$work/script.txt" <<'SCRIPT'
# a few keys over the first screens
20 F12 tap
40 Down tap
60 Z tap
90 F1 tap
120 F1 tap
SCRIPT

for run in a b; do
  "$runner" --seed 7 --input "$work/script.txt" --frames 200 \
    --shot "30:$work/$run-30.png" --shot "100:$work/$run-100.png" \
    --events "$work/$run-events.txt" --state "$work/$run-state.json"
done
for f in 30.png 100.png events.txt state.json; do
  cmp "$work/a-$f" "$work/b-$f"
done
grep -q '^0 display 0$' "$work/a-events.txt"
grep -q '^90 display 1$' "$work/a-events.txt"
grep -q '^120 display 0$' "$work/a-events.txt"
# The runner has no display to fill: in full screen too it shows the
# 512 x 352 screen itself, no border around it.
file "$work/a-100.png" | grep -q '512 x 352'
file "$work/a-30.png" | grep -q '512 x 352'

printf '10 Z tap\n20 Q tap\n' > "$work/bad.txt"
if "$runner" --input "$work/bad.txt" 2> "$work/err.txt"; then
  echo "a bad script was accepted"; exit 1
fi
grep -q 'line 2: unknown key' "$work/err.txt"
echo "runner repeat: ok"
