#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# Two games on one program folder, each saving over and over: the save file
# reads back whole after every save. Games killed with SIGKILL in a loop
# leave no growing pile of temporary files beside it.
set -euo pipefail
source "$2/scenario/lib/game_root.bash"
scenario_start "$@"
pids=()
trap 'for p in "${pids[@]}"; do kill -9 "$p" 2> /dev/null || true; done; wait; rm -rf "$work"' EXIT
make_root "$work/root" "$runner"
write_save "$work/root" 3 0:0=424242
save=$work/root/data/ductora.dat

whole() {  # whole FILE: "ok" when it is a whole save record with its scores
  local size
  size=$(stat -c %s "$1" 2> /dev/null || echo missing)
  [[ $size == 69 ]] || { echo "size $size"; return; }
  [[ $(head -c 16 "$1") == 'Ductora Fiesta  ' ]] || { echo "header"; return; }
  [[ $(saved_hiscore "$1" 0 0) == 424242 && $(saved_mask "$1") == 3 ]] || { echo "scores"; return; }
  echo ok
}

games() {  # games NAME: 25 short games, each saving at its end, checked after each
  local i
  for i in $(seq 25); do
    timeout 60 "$runner" --root "$work/root" --frames 1 > /dev/null 2>&1 ||
      { echo "$1 game $i: failed"; return; }
    local got
    got=$(whole "$save")
    [[ $got == ok ]] || { echo "$1 game $i: $got"; return; }
  done
  echo done
}
games first > "$work/first.txt" &
pids+=($!)
games second > "$work/second.txt" &
pids+=($!)
wait "${pids[@]}"
pids=()
expect "first game loop" "$(cat "$work/first.txt")" done
expect "second game loop" "$(cat "$work/second.txt")" done
expect "after both: the save file" "$(whole "$save")" ok

temps() { find "$work/root/data" -maxdepth 1 -name 'ductora.dat.tmp*' | wc -l; }
# Kills at random moments of a game's start, play and save. A killed game
# may leave its one temporary file; the next save removes it.
RANDOM=16
for round in $(seq 40); do
  "$runner" --root "$work/root" --frames $(( RANDOM % 3 + 1 )) > /dev/null 2>&1 &
  pid=$!
  sleep "0.0$(( RANDOM % 10 ))"
  kill -9 "$pid" 2> /dev/null || true
  wait "$pid" 2> /dev/null || true
  expect "kill $round: the save file" "$(whole "$save")" ok
  (( $(temps) <= 1 )) || { echo "FAIL: kill $round: $(temps) temporary files"; exit 1; }
done
timeout 60 "$runner" --root "$work/root" --frames 1 > /dev/null 2>&1
expect "after the kills: temporary files" "$(temps)" 0
expect "after the kills: the save file" "$(whole "$save")" ok
echo "two games and killed games kept the save file whole"
