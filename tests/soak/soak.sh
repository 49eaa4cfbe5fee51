#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# Soak test: ductora-headless played by random input for many frames, in
# sessions of SESSION frames each, through every screen the game has.
#
#   bash tests/soak/soak.sh RUNNER SOAKGEN TESTS_DIR TOTAL [SESSION] [SEED]
#
# Sessions take turns between two program folders that keep their save
# files from one session to the next:
#   real   the shipped courses, every course finished already, so random play
#          meets the menus, one- and two-player play, leaks, game overs and the
#          endless mode;
#   quick  courses of two stages in which the water finds the drain on its
#          own, so random play also meets the bonus inspection, the ending
#          and the cleared-course bits being set one by one.
# Every session must end with status 0 and without a message box (a message
# means a file the game wrote could not be read back); the sanitizers of an
# ASan/UBSan build abort on the first fault. At the end both save files must
# be whole and load without complaint.
set -euo pipefail
runner=$1
soakgen=$2
source "$3/scenario/lib/game_root.bash"
total=$4
session_frames=${5:-50000}
seed=${6:-1}
work=$(mktemp -d)
# Random play reaches the stage editor: its courses stay in the scratch folder.
export XDG_DATA_HOME=$work/xdg
trap 'rm -rf "$work"' EXIT

quick_stage() {  # quick_stage NAME SET: the drain right beside the source
  cat <<STAGE
stage $1
set $2
supply straights 30 elbows 40 crosses 30
require 0
delay 1
map
..........
..#.......
..........
.@X.......
..........
.....#....
..........
..........
source flows right
drain opens left
STAGE
}

make_root "$work/real" "$runner"
write_save "$work/real" 7
make_root "$work/quick" "$runner"
for c in 0 1 2; do
  { quick_stage "Quick $c one" $(( (2 * c) % 5 )); quick_stage "Quick $c two" $(( (2 * c + 1) % 5 )); } \
    > "$work/quick$c.txt"
  "$(dirname "$runner")/stagec" "$work/quick$c.txt" "$work/quick/data/stage/course$c.dat" > /dev/null
done

fail() { echo "FAIL: $*"; exit 1; }

# check_save DIR: the save file is whole and the game reads it back quietly.
check_save() {
  local file=$1/data/ductora.dat
  [[ -f $file ]] || fail "no save file in $1"
  [[ $(stat -c %s "$file") == 69 ]] || fail "$file is $(stat -c %s "$file") bytes, not 69"
  [[ $(head -c 16 "$file") == "Ductora Fiesta  " ]] || fail "$file has a wrong header"
  "$runner" --root "$1" --frames 5 --events "$work/check-events.txt" > /dev/null
  if grep -q ' message ' "$work/check-events.txt"; then
    fail "reading back $file: $(grep ' message ' "$work/check-events.txt")"
  fi
}

played=0 session=0
: > "$work/tunes.txt"
while (( played < total )); do
  frames=$(( total - played < session_frames ? total - played : session_frames ))
  folder=$([[ $(( session % 2 )) == 0 ]] && echo real || echo quick)
  "$soakgen" --seed "$seed" --session "$session" --frames "$frames" > "$work/script.txt"
  status=0
  "$runner" --root "$work/$folder" --seed "$(( seed * 1000 + session ))" --input "$work/script.txt" \
    --frames "$frames" --events "$work/events.txt" --state "$work/state.json" || status=$?
  heading=$(head -1 "$work/script.txt")
  (( status == 0 )) || fail "session $session (${heading#\# }) ended with status $status"
  if grep -q ' message ' "$work/events.txt"; then
    fail "session $session (${heading#\# }): $(grep ' message ' "$work/events.txt" | head -1)"
  fi
  # What the session went through: the tunes it started, by name.
  awk '$2 == "music-play" { print $3 }' "$work/events.txt" >> "$work/tunes.txt"
  # Random input may end a session early ("EXIT GAME", Esc, the window
  # closed); the shutdown's save marks the frame it ended on.
  ran=$(awk '$2 == "save" { f = $1 } END { print f + 0 }' "$work/events.txt")
  (( ran > 0 && ran <= frames )) || ran=$frames
  echo "session $session in $folder: ${heading#\# }; ran $ran frames"
  played=$(( played + ran ))
  session=$(( session + 1 ))
done
check_save "$work/real"
check_save "$work/quick"
echo "$played frames in $session sessions; tunes started:" \
  "$(sort "$work/tunes.txt" | uniq -c | awk '{ printf "%s %s, ", $2, $1 }')" \
  "cleared mask of the quick courses: $(saved_mask "$work/quick/data/ductora.dat")"
