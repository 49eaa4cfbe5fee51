#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# The command line of both programs: --help, --version and bad options
# answer at once without a window; --fullscreen and --window win over the
# saved display mode; --play starts the course file's first stage at once,
# goes on to the title after the game and leaves the save file alone.
#   command_line.sh DUCTORA-HEADLESS TESTS-DIR
set -euo pipefail
source "$2/scenario/lib/game_root.bash"
scenario_start "$@"
game=$(dirname "$runner")/ductora

# run NAME PROGRAM ARGS...: stdout, stderr and status into $work/NAME.*,
# with no display at all: a program that tried to open its window would
# fail with "cannot start the display" and status 1.
run() {
  local name=$1 status=0
  shift
  env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 "$@" > "$work/$name.out" \
    2> "$work/$name.err" || status=$?
  echo "$status" > "$work/$name.status"
}

for program in "$game" "$runner"; do
  name=$(basename "$program")
  run version "$program" --version
  expect "$name --version" "$(cat "$work/version.out")" "$name (Ductora Fiesta) 1.0.0"
  expect "$name --version status" "$(cat "$work/version.status")" 0
  run help "$program" --help
  expect "$name --help status" "$(cat "$work/help.status")" 0
  expect "$name --help first line" "$(head -n 1 "$work/help.out")" "Usage: $name [OPTION]..."
  for option in --fullscreen --window "--scale N" --mute "--settings FILE" "--play COURSEFILE"; do
    grep -q -- "^  $option " "$work/help.out" || expect "$name --help lists $option" no yes
  done
  expect "$name --help on stderr" "$(cat "$work/help.err")" ""

  # A bad command line: its one-line message, then the usage, status 2
  # (cmdline_test.cpp has every message).
  while IFS='|' read -r args message; do
    # shellcheck disable=SC2086  # the arguments are split on purpose
    run bad "$program" $args
    expect "$name $args: status" "$(cat "$work/bad.status")" 2
    expect "$name $args: message" "$(head -n 1 "$work/bad.err")" "$name: $message"
    expect "$name $args: usage" "$(sed -n 2p "$work/bad.err")" "Usage: $name [OPTION]..."
    expect "$name $args: stdout" "$(cat "$work/bad.out")" ""
  done << 'EOF'
--speed 3|unknown option '--speed'
--scale 9|--scale needs a whole number from 0 to 8, not '9'
EOF
done
run root "$game" --root "$work"
expect "the runner's --root in the game" "$(head -n 1 "$work/root.err")" \
  "ductora: unknown option '--root'"
run seed "$runner" --seed x1
expect "a bad seed" "$(head -n 1 "$work/seed.err")" \
  "ductora-headless: --seed needs a whole number, not 'x1'"
# Files the runner cannot use are refused before it plays a frame, as root
# too: a folder in place of a file, a file in a folder that is not there.
mkdir "$work/folder"
for args in "--input $work/folder|cannot read $work/folder" \
  "--state $work/folder|cannot write $work/folder" \
  "--state $work/none/state.json|cannot write $work/none/state.json" \
  "--events $work/none/events.txt|cannot write $work/none/events.txt"; do
  # shellcheck disable=SC2086  # the arguments are split on purpose
  run refused "$runner" --frames 5 ${args%%|*}
  expect "runner ${args%%|*}: status" "$(cat "$work/refused.status")" 2
  expect "runner ${args%%|*}: message" "$(head -n 1 "$work/refused.err")" "ductora-headless: ${args#*|}"
done
[ ! -e "$work/none" ] || expect "a refused run leaves nothing behind" no yes

# --- Display mode: the command line wins over the save file ---------------
make_root "$work/r" "$runner"
write_save "$work/r" 0
poke "$work/r/data/ductora.dat" 65 1 0 0 0  # saved in full screen
display_at_start() {
  "$runner" --root "$work/r" --frames 5 --events "$work/display.txt" "$@"
  awk '$1 == 0 && $2 == "display" { print $3; exit }' "$work/display.txt"
}
expect "saved full screen" "$(display_at_start)" 1
expect "--window over the saved full screen" "$(display_at_start --window)" 0
expect "the last of --window and --fullscreen" "$(display_at_start --window --fullscreen)" 1

# --- --play ------------------------------------------------------------------
"$(dirname "$runner")/stagec" "$tests/data/window_stage.txt" "$work/one.dat" > /dev/null
write_save "$work/r" 0 0:0=0
cp "$work/r/data/ductora.dat" "$work/before.dat"
# A piece laid in each attempt (100 points, over the hi-score of 0); the
# water then leaks twice and the game is over by frame 1500.
printf '250 Z tap\n990 Z tap\n' > "$work/lay.txt"
"$runner" --root "$work/r" --play "$work/one.dat" --input "$work/lay.txt" --frames 3000 \
  --events "$work/play.txt" --state "$work/play.json" --shot "2990:$work/after.png"
play=$(awk '$2 == "music-play" { print $1; exit }' "$work/play.txt")
expect "stage music of the course file's first stage" \
  "$(grep -m 1 -o 'music-play .*' "$work/play.txt")" "music-play Cheerful Street.MID"
# The title needs a key, the course select two; neither was pressed.
((play < 250)) || expect "stage play began at once" "$play" "before frame 250"
expect "lives at the end" "$(state_field "$work/play.json" Lives)" 0
expect "stages of the course file" "$(state_field "$work/play.json" StageCount)" 1
expect "saves" "$(awk '$2 == "save" { printf "%s ", $1 }' "$work/play.txt")" "3000 "
expect "hi-score after the played game" "$(saved_hiscore "$work/r/data/ductora.dat" 0 0)" 0
"$runner" --root "$work/r" --frames 20 --shot "10:$work/title.png"
cmp -s "$work/title.png" "$work/after.png" || expect "the title after the played game" no yes

# Quitting during the played game writes nothing at all.
cp "$work/before.dat" "$work/r/data/ductora.dat"
"$runner" --root "$work/r" --play "$work/one.dat" --input "$work/lay.txt" --frames 400 \
  --events "$work/quit.txt"
expect "saves when quitting the played game" "$(grep -c ' save$' "$work/quit.txt" || true)" 0
cmp -s "$work/before.dat" "$work/r/data/ductora.dat" || expect "save file untouched" no yes
rm "$work/r/data/ductora.dat"
"$runner" --root "$work/r" --play "$work/one.dat" --frames 400
[[ ! -e $work/r/data/ductora.dat ]] || expect "no save file made by --play" no yes

echo "command line: ok"
