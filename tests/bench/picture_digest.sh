#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# Digests of the pictures the game shows, for proving that a change to the
# drawing code leaves every picture byte-identical: random play from soakgen
# through every screen (one and two players, joysticks, pauses, full screen,
# the frame-rate label, the endless mode), a screenshot every STEP frames,
# one line "SESSION FRAME SHA256" a picture.
#
#   bash tests/bench/picture_digest.sh BUILD_DIR OUT_FILE [FRAMES] [STEP]
#
# Run it on the build before and after a change and compare the two files
# with cmp; the same build, seed and script always give the same file.
set -euo pipefail
build=$(cd "$1" && pwd)
out=$2
frames=${3:-6000}
step=${4:-20}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../scenario/lib/game_root.bash"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

make_root "$work/root" "$build/ductora-headless"
: > "$out"
session=0
for opener in one-player two-keyboard-j0 endless two-with-j1 one-joystick; do
  write_save "$work/root" 7
  "$build/soakgen" --seed 7 --session "$session" --frames "$frames" --opener "$opener" \
    > "$work/script.txt"
  shots=()
  for ((f = step; f < frames; f += step)); do shots+=(--shot "$f:$work/shot-$f.png"); done
  "$build/ductora-headless" --root "$work/root" --seed "$((70 + session))" \
    --input "$work/script.txt" --frames "$frames" "${shots[@]}" > /dev/null 2>&1 || true
  for ((f = step; f < frames; f += step)); do
    if [[ -f $work/shot-$f.png ]]; then
      echo "$opener $f $(sha256sum < "$work/shot-$f.png" | cut -c1-64)" >> "$out"
    fi
  done
  rm -f "$work"/shot-*.png
  session=$((session + 1))
done
echo "$(wc -l < "$out") pictures digested into $out"
