#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# Leaving always saves: a hang-up, SIGQUIT, SIGINT and SIGTERM close the game
# as its window's close button does (save, exit 0); a signal ignored from
# the start (nohup) stays ignored; a bad stage record says so and saves on
# its way out (exit 1).
set -euo pipefail
source "$2/scenario/lib/game_root.bash"
scenario_start "$@"
pid=
trap '[[ -n $pid ]] && kill -9 "$pid" 2> /dev/null; rm -rf "$work"' EXIT

start() {  # start NAME [ENV OPTION]: a long game in the background, once it plays
  make_root "$work/$1" "$runner"
  # Background jobs of a script start with SIGINT and SIGQUIT ignored.
  env --default-signal=HUP,QUIT,INT,TERM ${2:-} "$runner" --root "$work/$1" --frames 100000000 \
    --events "$work/$1-events.txt" --state "$work/$1-state.json" --shot "5:$work/$1.png" \
    > "$work/$1-out.txt" 2>&1 &
  pid=$!
  local i
  for i in $(seq 300); do
    [[ -e $work/$1.png ]] && return
    sleep 0.1
  done
  echo "FAIL: $1: the game did not start within 30 s"
  exit 1
}
finish() {  # finish: waits up to 60 s for the background game; its status in $status
  local i
  for i in $(seq 600); do
    kill -0 "$pid" 2> /dev/null || break
    sleep 0.1
  done
  status=0
  wait "$pid" || status=$?
  pid=
}
last_event() { tail -1 "$1" | cut -d' ' -f2-; }

for signal in HUP QUIT INT TERM; do
  start "$signal"
  kill -s "$signal" "$pid"
  finish
  expect "SIG$signal: status" "$status" 0
  expect "SIG$signal: saved" "$(grep -c ' save$' "$work/$signal-events.txt")" 1
  expect "SIG$signal: the save file" "$(stat -c %s "$work/$signal/data/ductora.dat")" 69
  expect "SIG$signal: state written" "$(state_field "$work/$signal-state.json" PlayerCount)" 1
done

# nohup: the hang-up is not the player's; SIGTERM still saves.
start nohup --ignore-signal=HUP
kill -s HUP "$pid"
sleep 0.5
kill -0 "$pid" 2> /dev/null || { echo "FAIL: an ignored hang-up ended the game"; exit 1; }
kill -s TERM "$pid"
finish
expect "ignored SIGHUP, then SIGTERM: status" "$status" 0
expect "ignored SIGHUP, then SIGTERM: saved" "$(last_event "$work/nohup-events.txt")" save

# Course A's first stage with a start delay of 0: the game shows which file,
# stage and fault, and saves the hi-scores it holds before it ends.
make_root "$work/bad" "$runner"
course=$work/bad/data/stage/course0.dat
rm "$course"
cp "$(dirname "$runner")/data/stage/course0.dat" "$course"
poke "$course" 8 0
write_save "$work/bad" 1 0:0=515151
rm -f "$work/bad-events.txt"
status=0
printf '20 Z tap\n100 Z tap\n' > "$work/bad.txt"
timeout 60 "$runner" --root "$work/bad" --input "$work/bad.txt" --frames 2000 \
  --events "$work/bad-events.txt" > /dev/null 2>&1 || status=$?
expect "bad stage: status" "$status" 1
expect "bad stage: message" \
  "$(awk '$2 == "message" { $1 = $2 = ""; sub(/^ +/, ""); print }' "$work/bad-events.txt")" \
  "stage data error : $course, stage 1: the start delay is 0"
expect "bad stage: saved on the way out" "$(last_event "$work/bad-events.txt")" save
expect "bad stage: hi-score kept" "$(saved_hiscore "$work/bad/data/ductora.dat" 0 0)" 515151
echo "every way out saved"
