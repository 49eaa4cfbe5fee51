#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# The bot plays from the title: its own choice of players and course through
# the menus, a game of course A, then "EXIT GAME"; the same seed plays the
# same game again, and the bot's options refuse bad values.
set -euo pipefail
source "$2/scenario/lib/game_root.bash"
scenario_start "$@"
make_root "$work/root" "$runner"

for run in a b; do
  rm -f "$work/root/data/ductora.dat"
  "$runner" --root "$work/root" --bot --seed 5 --frames 60000 \
    --events "$work/$run-events.txt" --state "$work/$run-state.json" --shot "2000:$work/$run.png"
done
cmp "$work/a-events.txt" "$work/b-events.txt"
cmp "$work/a-state.json" "$work/b-state.json"
cmp "$work/a.png" "$work/b.png"
expect "players" "$(state_field "$work/a-state.json" PlayerCount)" 1
expect "course" "$(state_field "$work/a-state.json" CourseNo)" 0
# It played: pieces were laid (sound 1) and course A's music started.
grep -q ' sound 1$' "$work/a-events.txt"
grep -q 'music-play Cheerful Street.MID' "$work/a-events.txt"

# Two bots on course C, without a frame limit: the game ends by the bot's own
# "EXIT GAME" after its game (exit status 0, the state written at the exit).
"$runner" --root "$work/root" --bot --bot-players 2 --bot-course 2 --seed 3 \
  --events "$work/two-events.txt" --state "$work/two.json"
expect "two bots: players" "$(state_field "$work/two.json" PlayerCount)" 2
expect "two bots: course" "$(state_field "$work/two.json" CourseNo)" 2
read -r p1 p2 <<< "$(state_scores "$work/two.json")"
((p1 > 0 && p2 > 0)) || expect "two bots: scores" "$p1 $p2" "both above 0"
grep -q ' sound 1$' "$work/two-events.txt"

for bad in "--bot-players 3" "--bot-course 4" "--bot-players x"; do
  if "$runner" --root "$work/root" --bot $bad 2> "$work/err.txt"; then
    echo "accepted $bad"; exit 1
  fi
  grep -q "needs" "$work/err.txt"
done
echo "bot play: ok"
