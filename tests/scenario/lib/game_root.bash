# SPDX-License-Identifier: Zlib
# Helpers for scenario tests: a scratch folder, program folders of their own,
# games played in them, a save file written to order, and readers for the
# event log, the state file and the save file the game leaves behind.

# scenario_start RUNNER TESTS-DIR: the test's $runner and $tests, and a
# scratch folder $work removed at the exit.
scenario_start() {
  runner=$1
  tests=$2
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  # The player's own courses and settings never reach a test, and a test
  # never writes into the home folder of whoever runs it.
  export XDG_DATA_HOME=$work/xdg-data XDG_CONFIG_HOME=$work/xdg-config
}

# make_root DIR RUNNER [copy]: a program folder with the built stages and
# sounds. The sounds are linked from the build folder, or copied with "copy"
# for a game run as another user, who may not be allowed into the build
# folder (a clone under a private home folder).
make_root() {
  local dir=$1 bin
  bin=$(cd "$(dirname "$2")" && pwd)
  mkdir -p "$dir/data/stage"
  cp "$bin"/data/stage/course*.dat "$dir/data/stage/"
  if [[ ${3:-} == copy ]]; then
    cp -R "$bin/sound" "$dir/sound"
  else
    ln -s "$bin/sound" "$dir/sound"
  fi
}

# play NAME FRAMES SCRIPT [OPTION...]: one game in the program folder
# $work/NAME with the script lines SCRIPT, its events and state beside the
# folder in NAME-events.txt and NAME-state.json. A game still running after
# $limit seconds (default 600) is stopped, with status 124.
play() {
  local dir=$work/$1 frames=$2
  printf '%s\n' "$3" > "$dir.txt"
  shift 3
  timeout "${limit:-600}" "$runner" --root "$dir" --input "$dir.txt" --frames "$frames" \
    --events "$dir-events.txt" --state "$dir-state.json" "$@"
}

# play_status NAME FRAMES [SCRIPT]: play, with a picture of the last frame in
# NAME.png and the output in NAME-out.txt; prints the exit status. A game
# stopped by the time limit fails the test.
play_status() {
  local status=0
  play "$1" "$2" "${3:-}" --shot "$2:$work/$1.png" > "$work/$1-out.txt" 2>&1 || status=$?
  if ((status == 124)); then
    echo "FAIL: $1: still running after ${limit:-600}s"
    exit 1
  fi
  echo "$status"
}

# taps FRAME KEY COUNT: COUNT taps of KEY two frames apart from FRAME, added
# to the script file $script; sets $next to the frame after the last.
taps() {
  local f=$1 i
  for ((i = 0; i < $3; i++)); do echo "$((f + 2 * i)) $2 tap" >> "$script"; done
  next=$((f + 2 * $3))
}

# poke FILE OFFSET BYTE...: the bytes written into FILE from OFFSET on.
poke() {
  local file=$1 at=$2 b
  shift 2
  for b in "$@"; do
    printf "\\x$(printf %02x "$b")" | dd of="$file" bs=1 seek="$at" conv=notrunc 2> /dev/null
    at=$((at + 1))
  done
}

# le32 VALUE: the four little-endian bytes of a 32-bit value, as printf escapes.
le32() {
  local v=$(( $1 & 0xFFFFFFFF ))
  printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(( v & 255 )) $(( (v >> 8) & 255 )) \
    $(( (v >> 16) & 255 )) $(( (v >> 24) & 255 ))
}

# write_save DIR MASK [p:c=SCORE ...]: the save file with the default
# hi-scores except those given, and the cleared-course mask.
write_save() {
  local dir=$1 mask=$2 bytes p c v
  shift 2
  declare -A score
  for p in 0 1 2; do
    for c in 0 1 2 3; do
      v=0
      if (( p <= 1 && c <= 2 )); then v=$(( (p + 1) * 100000 * (c + 1) )); fi
      if (( p == 0 && c == 3 )); then v=80000; fi
      score[$p:$c]=$v
    done
  done
  for arg in "$@"; do score[${arg%%=*}]=${arg#*=}; done
  bytes='Ductora Fiesta  '
  for c in 0 1 2 3; do
    for p in 0 1 2; do
      v=${score[$p:$c]}
      if (( p <= 1 && c <= 2 )); then v=$(( v ^ 0x6B1F3A95 )); fi
      bytes+=$(le32 "$v")
    done
  done
  bytes+=$(printf '\\x%02x' "$mask")$(le32 0)
  printf "$bytes" > "$dir/data/ductora.dat"
}

# saved_hiscore FILE P C: the hi-score entry (p, c) of a save file.
saved_hiscore() {
  local v
  v=$(od -An -tu4 -j $(( 16 + 4 * ($2 + 3 * $3) )) -N4 "$1" | tr -d ' ')
  if (( $2 <= 1 && $3 <= 2 )); then v=$(( v ^ 0x6B1F3A95 )); fi
  echo "$v"
}

# saved_mask FILE: the cleared-course mask of a save file.
saved_mask() { od -An -tu1 -j64 -N1 "$1" | tr -d ' '; }

# sound_frames EVENTS N: the frames at which sound N started, on one line.
sound_frames() { awk -v n="$2" '$2 == "sound" && $3 == n { printf "%s ", $1 }' "$1" | sed 's/ $//'; }

# music_starts EVENTS: the frames at which a tune started, on one line.
music_starts() { awk '$2 == "music-play" { printf "%s ", $1 }' "$1" | sed 's/ $//'; }

# messages EVENTS: the texts of the game's messages, one a line.
messages() { awk '$2 == "message" { $1 = $2 = ""; sub(/^ +/, ""); print }' "$1"; }

# state_field STATE NAME: a number of the runner's state file.
state_field() { grep -o "\"$2\": -\?[0-9]*" "$1" | head -1 | awk '{ print $2 }'; }

# state_scores STATE: the two players' scores of the runner's state file.
state_scores() { grep -o '"Score": \[[-0-9, ]*\]' "$1" | tr -d '[],' | awk '{ print $2, $3 }'; }

# expect WHAT GOT WANTED: fails the test with a message when they differ.
expect() {
  if [[ "$2" != "$3" ]]; then
    echo "FAIL: $1: got '$2', wanted '$3'"
    exit 1
  fi
}
