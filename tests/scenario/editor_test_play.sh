#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# Test play from the stage editor: one key plays the stage as it stands for
# one player with two lives, and the editor comes back with the stage and
# the save file as they were. A stage whose pipe is laid from the source to
# the drain clears; one without pipe loses both lives, unless the player lays
# the route during the play; a stage the record checks refuse is not played
# at all.
#   editor_test_play.sh DUCTORA-HEADLESS TESTS-DIR
set -euo pipefail
source "$2/scenario/lib/game_root.bash"
scenario_start "$@"
stagec=$(dirname "$runner")/stagec
export XDG_DATA_HOME=$work/xdg

# course NAME MAP-ROW-3: a one-stage course with that fourth map row.
course() {
  cat > "$work/$1.txt" <<EOF2
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
$2
..........
..........
..........
..........
source flows right
drain opens left
EOF2
  "$stagec" --no-solve "$work/$1.txt" "$work/$1.dat" > /dev/null
}
course laid '.@------X.'
course bare '.@......X.'

# TEST is the right panel's eighth line: from (0, 0) right 11, down 6.
script=$work/keys.txt
: > "$script"
taps 10 Right 11
taps $next Down 6
echo "60 Z tap" >> "$script"

for name in laid bare; do
  make_root "$work/$name-root" "$runner"
  write_save "$work/$name-root" 5 0:0=123456
  cp "$work/$name-root/data/ductora.dat" "$work/$name-before.dat"
  "$runner" --root "$work/$name-root" --edit "$work/$name.dat" --input "$work/keys.txt" \
    --frames 4000 --edit-log "$work/$name.log" --state "$work/$name.json"
  cmp "$work/$name-before.dat" "$work/$name-root/data/ductora.dat" ||
    expect "$name: the save file" "changed" "as it was"
  expect "$name: no save of the course" "$(grep -c course-saved "$work/$name.log" || true)" 0
  expect "$name: one start" "$(grep -c "test-play start" "$work/$name.log")" 1
done
expect "laid: the outcome" "$(grep -o 'test-play [a-z]*$' "$work/laid.log" | tail -n 1)" \
  "test-play cleared"
expect "laid: lives left" "$(state_field "$work/laid.json" Lives)" 2
expect "laid: one player" "$(state_field "$work/laid.json" PlayerCount)" 1
expect "bare: the outcome" "$(grep -o 'test-play [a-z]*$' "$work/bare.log" | tail -n 1)" \
  "test-play failed"
expect "bare: lives left" "$(state_field "$work/bare.json" Lives)" 0
# Back in the editor the verdict is the stage's again.
expect "laid: verdict after" "$(tail -n 1 "$work/laid.log" | cut -d' ' -f2-)" "test-play cleared"
cleared=$(grep "test-play cleared" "$work/laid.log" | cut -d' ' -f1)
(( cleared < 4000 )) || expect "laid: back in the editor" "$cleared" "before frame 4000"

# A bare stage dealing only crosses, its water held back longer, cleared by
# a scripted route: from the source (where the play cursor starts) six
# times right and lay.
sed 's/supply straights 50 elbows 50/supply crosses 100/; s/delay 1/delay 20/' "$work/bare.txt" \
  > "$work/cross.txt"
"$stagec" --no-solve "$work/cross.txt" "$work/cross.dat" > /dev/null
cp "$work/keys.txt" "$work/route.txt"
for (( i = 0, f = 500; i < 6; i++, f += 20 )); do
  printf '%s Right tap\n%s Z tap\n' "$f" $(( f + 10 )) >> "$work/route.txt"
done
"$runner" --edit "$work/cross.dat" --input "$work/route.txt" --frames 4000 \
  --edit-log "$work/cross.log" --state "$work/cross.json"
expect "cross: the outcome" "$(grep -o 'test-play [a-z]*$' "$work/cross.log" | tail -n 1)" \
  "test-play cleared"
expect "cross: six pieces laid" "$(state_field "$work/cross.json" TotalScore)" 600

# A stage without a drain is refused: no play starts.
cp "$work/laid.dat" "$work/nodrain.dat"
poke "$work/nodrain.dat" 98 255
"$runner" --edit "$work/nodrain.dat" --input "$work/keys.txt" --frames 200 \
  --edit-log "$work/nodrain.log"
expect "nodrain: verdict" "$(grep verdict "$work/nodrain.log" | tail -n 1 | cut -d' ' -f2-)" \
  "verdict NO DRAIN"
expect "nodrain: no play" "$(grep -c "test-play" "$work/nodrain.log" || true)" 0
