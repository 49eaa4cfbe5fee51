#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# What the bot's planning costs: a one-player bot game of each course in the
# headless runner (recorded), then the same game played back from its
# replay, which reads the same input words without planning. Both play the
# game's frames with the same pictures (the bot's run also has the title
# before the game and after it); the ratio of their processor time a frame
# is the bot's cost (it must stay under 2).
#
#   bash tests/bench/bot_speed_bench.sh BUILD_DIR [RUNS] [SEED]
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-5}
seed=${3:-1}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/root/data"
ln -s "$build/data/stage" "$work/root/data/stage"
ln -s "$build/sound" "$work/root/sound"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
cpu() {  # cpu COMMAND...: the processor seconds the command took
  local TIMEFORMAT='%U %S'
  { time "$@" > /dev/null 2>&1; } 2> "$work/time.txt"
  awk '{ print $1 + $2 }' "$work/time.txt"
}
for course in 0 1 2; do
  rm -f "$work"/bot.txt "$work"/replay.txt
  for ((r = 1; r <= runs; r++)); do
    rm -f "$work/root/data/ductora.dat"
    cpu "$build/ductora-headless" --root "$work/root" --bot --bot-course "$course" \
      --bot-players 1 --seed "$seed" --frames 40000 --record "$work/game.replay" \
      --events "$work/bot-events.txt" >> "$work/bot.txt"
    cpu "$build/ductora-headless" --root "$work/root" --replay "$work/game.replay" \
      --events "$work/replay-events.txt" >> "$work/replay.txt"
  done
  last() { tail -n 1 "$1" | cut -d' ' -f1; }
  bot=$(median < "$work/bot.txt")
  replay=$(median < "$work/replay.txt")
  awk -v c="$course" -v bf="$(last "$work/bot-events.txt")" -v b="$bot" \
    -v pf="$(last "$work/replay-events.txt")" -v p="$replay" 'BEGIN {
    printf "course %s: bot %d frames at %.0f fps, replay %d frames at %.0f fps, bot/replay %.2f\n",
      substr("ABC", c + 1, 1), bf, bf / b, pf, pf / p, (b / bf) / (p / pf) }'
done
