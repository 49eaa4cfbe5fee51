#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# Records the demos the title plays after a while without input: the bot's
# play of courses A, B and C and of the endless world, the opening minute and
# a half of each, into content/demos/. Run it again after a change to the
# stages or the rules of play (the demo test says when one is out of step).
#   tools/demos/record.sh [BUILD_DIR]
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$repo/build}" && pwd)
runner=$build/ductora-headless
source "$repo/tests/scenario/lib/game_root.bash"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_root "$work/root" "$runner"
# Frames of each demo from the title, and the bot's seed for each course.
frames=5400
declare -A seed=([0]=1 [1]=1 [2]=1 [3]=1)
names=(course-a course-b course-c endless)
courses=${DEMO_COURSES:-0 1 2 3}
for course in $courses; do
  write_save "$work/root" 7  # every course finished: the endless world is offered
  out=$repo/content/demos/${names[$course]}.replay
  "$runner" --root "$work/root" --bot --bot-course "$course" --seed "${seed[$course]}" \
    --frames "$frames" --record "$out"
  echo "$out: score $(sed -n 's/^score //p' "$out"), $(sed -n 's/^frames //p' "$out") frames"
done
