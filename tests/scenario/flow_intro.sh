#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# The stage intro keeps drawing on the screen that is shown: switching to
# full screen after the stage title and back after "READY?" leaves the same
# picture at "GO !!" as an intro watched in the window throughout.
set -euo pipefail
source "$2/scenario/lib/game_root.bash"
scenario_start "$@"
make_root "$work/root" "$runner"

# The game starts at 90; the stage title appears at 184, "READY?" at 244
# and "GO !!" at 304, each shown once and then held.
printf '20 Z tap\n90 Z tap\n' > "$work/plain.txt"
printf '20 Z tap\n90 Z tap\n200 F1 tap\n250 F1 tap\n' > "$work/switch.txt"
for run in plain switch; do
  rm -f "$work/root/data/ductora.dat"
  "$runner" --root "$work/root" --input "$work/$run.txt" --frames 340 \
    --shot "330:$work/$run.png" --events "$work/$run-events.txt"
done
expect "display switches" "$(grep -c ' display ' "$work/switch-events.txt")" 3
cmp "$work/plain.png" "$work/switch.png" || { echo "FAIL: intro texts lost by the switch"; exit 1; }
echo "flow intro: ok"
