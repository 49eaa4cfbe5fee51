#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# Review pictures of the five worlds, taken by the headless runner:
#   tools/artshots/shots.sh BUILD_DIR OUT_DIR
# For each world N (0..4) in OUT_DIR:
#   worldN-play.png      water halfway along a laid route, the route ahead lit, a full queue
#   worldN-welldone.png  "WELL DONE !!" over the water-filled route
#   worldN-break.png     an unused piece breaking, its "-50" label over the board
#   worldN-bonus.png     the bonus lines over the darkened board
#   worldN-short.png     "REQUIRE THE MORE PIPE !!" over the water-filled route
#   worldN-gameover.png  "GAME  OVER" over the last picture of the stage
# and endless-play.png, endless-gameover.png, the pipe sheets side by side
# (contact-pipes.png, twice the size), and a 3x copy of every picture in OUT_DIR/x3/.
set -euo pipefail
build=$(cd "$1" && pwd)
out=$2
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out/x3"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$here/../../tests/scenario/lib/game_root.bash"

"$build/stagec" "$here/clear.txt" "$work/clear.dat" > /dev/null
"$build/stagec" "$here/short.txt" "$work/short.dat" > /dev/null
printf '20 Z tap\n90 Z tap\n' > "$work/start.txt"

# root NAME FILE RECORD: a program folder whose course is that record (all with "all").
root() {
  mkdir -p "$work/$1/data/stage"
  if [[ $3 == all ]]; then
    cp "$2" "$work/$1/data/stage/course0.dat"
  else
    dd if="$2" of="$work/$1/data/stage/course0.dat" bs=110 skip="$3" count=1 2> /dev/null
  fi
  ln -s "$build/sound" "$work/$1/sound"
}
column() { awk -v k="$2" '$2 == k { print $1 }' "$1"; }

# The clear course: every stage starts with its music and ends with "WELL DONE !!".
root clear "$work/clear.dat" all
"$build/ductora-headless" --root "$work/clear" --input "$work/start.txt" --frames 10000 \
  --events "$work/clear.ev"
mapfile -t starts < <(column "$work/clear.ev" music-play)
mapfile -t stops < <(column "$work/clear.ev" music-stop)
mapfile -t lines < <(awk '$2 == "sound" && $3 == 3 { print $1 }' "$work/clear.ev")
shots=()
for n in 0 1 2 3 4; do
  brk=$(awk -v n="$((10 + n))" -v a="${stops[n]}" '$2 == "sound" && $3 == n && $1 > a { print $1; exit }' \
    "$work/clear.ev")
  shots+=(--shot "$((starts[n] + 560)):$out/world$n-play.png"
    --shot "$((stops[n] + 100)):$out/world$n-welldone.png"
    --shot "$((brk + 24)):$out/world$n-break.png"
    --shot "$((lines[n] + 40)):$out/world$n-bonus.png")
done
"$build/ductora-headless" --root "$work/clear" --input "$work/start.txt" --frames 10000 "${shots[@]}"

# One short stage a world: the shortage message after the splash and the
# pause, then the same again and the game over.
for n in 0 1 2 3 4; do
  root "short$n" "$work/short.dat" "$n"
  "$build/ductora-headless" --root "$work/short$n" --input "$work/start.txt" --frames 4000 \
    --events "$work/short$n.ev"
  mapfile -t stops < <(column "$work/short$n.ev" music-stop)
  save=$(column "$work/short$n.ev" save | head -1)
  "$build/ductora-headless" --root "$work/short$n" --input "$work/start.txt" --frames 4000 \
    --shot "$((stops[0] + 9 + 181)):$out/world$n-short.png" --shot "$((save - 10)):$out/world$n-gameover.png"
done

# The endless mode, open once the three courses are cleared: a few pieces
# shifted and turned, then nothing until the well fills.
make_root "$work/endless" "$build/ductora-headless"
write_save "$work/endless" 7
printf '20 Z tap\n60 Down tap\n61 Down tap\n62 Down tap\n90 Z tap\n' > "$work/endless.txt"
for f in $(seq 400 40 640); do printf '%s Left tap\n%s Z tap\n' "$f" "$((f + 10))"; done >> "$work/endless.txt"
"$build/ductora-headless" --root "$work/endless" --input "$work/endless.txt" --frames 12000 \
  --events "$work/endless.ev"
save=$(column "$work/endless.ev" save | head -1)
"$build/ductora-headless" --root "$work/endless" --input "$work/endless.txt" --frames 12000 \
  --shot "600:$out/endless-play.png" --shot "$((save - 10)):$out/endless-gameover.png"

"$build/tools/sheetgen/sheetgen" --contact "$work/sheets" > /dev/null
python3 "$here/pngtool.py" row "$out/contact-pipes.png" "$work"/sheets/pipe{0,1,2,3,4}.png
for f in "$out"/*.png; do python3 "$here/pngtool.py" scale 3 "$f" "$out/x3/$(basename "$f")"; done
ls "$out"
