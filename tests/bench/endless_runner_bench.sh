#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# Frames per second of the headless runner through long scripted endless
# games: a player who has finished all three courses chooses "HEYLAW" on the
# course select, four games one after another. Each game lays 36 pieces
# about the well (shifted to a column, sometimes turned, then dropped with
# Down held), lets the rest fall into the middle until the well overflows,
# sits through "GAME  OVER" and goes back to the title: 4 x 5700 frames.
#
#   bash tests/bench/endless_runner_bench.sh BUILD_DIR [RUNS]
#
# Prints each run's wall-clock and processor-time frame rate, then the
# medians. The wall-clock figure depends on what else the machine is doing.
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-5}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../scenario/lib/game_root.bash"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
games=4
cycle=5700
frames=$((games * cycle))

# Z on the title, Up to the last line of the course select, Z to choose it;
# the endless game starts on frame 192 of each cycle and, with the runner's
# fixed seed, overflows on frame 5164; the title is back well before 5700.
awk -v games="$games" -v cycle="$cycle" 'BEGIN {
  split("0 6 1 5 2 4 3 0 6 2 5 1 4 6 0 3", column, " ")
  for (g = 0; g < games; g++) {
    base = cycle * g
    print base + 20, "Z tap"
    print base + 101, "Up tap"
    print base + 130, "Z tap"
    for (p = 0; p < 36; p++) {
      f = base + 200 + 120 * p
      shift = column[(p % 16) + 1] - 3
      key = shift < 0 ? "Left" : "Right"
      for (i = 0; i < (shift < 0 ? -shift : shift); i++) print f + 2 + 3 * i, key, "tap"
      if (p % 3 == 1) print f + 12, "Z tap"
      if (p % 5 == 2) print f + 14, "X tap"
      print f + 16, "Down down"
      print f + 70, "Down up"
    }
  }
}' > "$work/script.txt"

make_root "$work/root" "$build/ductora-headless"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
TIMEFORMAT='%R %U %S'
for ((r = 1; r <= runs; r++)); do
  write_save "$work/root" 7
  { time "$build/ductora-headless" --root "$work/root" --input "$work/script.txt" \
      --frames "$frames" --events "$work/events.txt" --state "$work/state.json" > /dev/null; } \
    2> "$work/time.txt"
  read -r wall user sys < "$work/time.txt"
  # Every game must have been an endless one that ran until the well overflowed:
  # its tune started, pieces landed, and the tune stopped at the game over.
  ended=$(grep -c ' music-stop$' "$work/events.txt" || true)
  tunes=$(grep -c ' music-play Cheerful' "$work/events.txt" || true)
  landings=$(grep -c ' sound 16$' "$work/events.txt" || true)
  course=$(state_field "$work/state.json" CourseNo)
  score=$(state_field "$work/state.json" EndlessScore)
  if [[ $ended -ne $games || $tunes -lt $games || $landings -lt $((games * 36)) ||
        $course -ne 3 || $score -le 0 ]]; then
    echo "the endless games were not played as scripted: $ended game overs, $tunes tunes," \
      "$landings landings, course $course, score $score" >&2
    exit 1
  fi
  awk -v f="$frames" -v w="$wall" -v u="$user" -v s="$sys" \
    'BEGIN { printf "run: %.0f fps wall, %.0f fps cpu\n", f / w, f / (u + s) }' | tee -a "$work/rates.txt"
done
echo "median: $(awk '{ print $2 }' "$work/rates.txt" | median) fps wall," \
  "$(awk '{ print $5 }' "$work/rates.txt" | median) fps cpu ($frames frames)"
