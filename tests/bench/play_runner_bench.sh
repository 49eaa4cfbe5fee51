#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# Frames per second of the headless runner through a long scripted course
# game: four one-player games of course A, each two attempts at its first
# stage with the cursor moving about (every frame of play is composed in
# full and shown), the game over, and back to the title: 20320 frames.
#
#   bash tests/bench/play_runner_bench.sh BUILD_DIR [RUNS]
#
# Prints each run's wall-clock and processor-time frame rate, then the
# medians. The wall-clock figure depends on what else the machine is doing.
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
frames=20320

# A game starts with Z on the title and Z on the course select; the second
# failure's game over is back on the title 5001 frames after the first Z.
awk 'BEGIN {
  split("Right Down Right Down Left Up", keys, " ")
  for (c = 0; c < 4; c++) {
    base = 5080 * c
    print base + 20, "Z tap"
    print base + 90, "Z tap"
    for (f = base + 400; f < base + 2100; f += 11) print f, keys[(i++ % 6) + 1], "tap"
  }
}' > "$work/script.txt"

mkdir -p "$work/root/data"
ln -s "$build/data/stage" "$work/root/data/stage"
ln -s "$build/sound" "$work/root/sound"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
TIMEFORMAT='%R %U %S'
for ((r = 1; r <= runs; r++)); do
  rm -f "$work/root/data/ductora.dat"
  { time "$build/ductora-headless" --root "$work/root" --input "$work/script.txt" \
      --frames "$frames" --events "$work/events.txt" > /dev/null; } 2> "$work/time.txt"
  read -r wall user sys < "$work/time.txt"
  games=$(grep -c ' save$' "$work/events.txt")
  [[ $games -ge 4 ]] || { echo "only $games games were played" >&2; exit 1; }
  awk -v f="$frames" -v w="$wall" -v u="$user" -v s="$sys" \
    'BEGIN { printf "run: %.0f fps wall, %.0f fps cpu\n", f / w, f / (u + s) }' | tee -a "$work/rates.txt"
done
echo "median: $(awk '{ print $2 }' "$work/rates.txt" | median) fps wall," \
  "$(awk '{ print $5 }' "$work/rates.txt" | median) fps cpu ($frames frames)"
