#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# Builds the fuzz targets with clang's libFuzzer and runs each for a while.
#   tests/fuzz/run.sh [SECONDS_EACH] [BUILD_DIR]
set -euo pipefail
seconds=${1:-10}
out=${2:-build-fuzz}
repo=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$out"
src=$repo/src
# The version header CMake would generate, for the shared command line.
mkdir -p "$out/generated"
version=$(sed -n 's/^project(DuctoraFiesta VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
sed "s/@PROJECT_VERSION@/$version/" "$src/platform/version.h.in" > "$out/generated/ductora_version.h"
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I"$src"
       -I"$out/generated"
       # the install layout's relative folders, as CMake's default prefix gives them
       -DDUCTORA_DATA_FROM_BIN='"../share/ductora-fiesta"'
       -DDUCTORA_OLD_GAME_FROM_BIN='"../lib/ductora-fiesta"')
sdl=$(pkg-config --cflags --libs sdl2 SDL2_image)
platform=("$src/platform/surface.cpp" "$src/platform/bmp.cpp" "$src/platform/files.cpp"
          "$src/platform/midi_length.cpp" "$src/platform/cmdline.cpp" "$src/platform/signals.cpp")
headless=("$src/platform/headless/headless.cpp")

build() {
  local name=$1; shift
  clang++ "${flags[@]}" "$repo/tests/fuzz/$name.cpp" "$@" -o "$out/$name" $sdl
}
build fuzz_bmp "${platform[@]}"
build fuzz_midi "$src/platform/midi_length.cpp"
build fuzz_script "${platform[@]}" "${headless[@]}"
build fuzz_stage "$src/puzzle/board.cpp" "$src/puzzle/stagerecord.cpp"
build fuzz_files "$src/platform/files.cpp"
build fuzz_save "${platform[@]}" "${headless[@]}" "$src/shell/savedata.cpp" "$src/shell/gamestate.cpp"
build fuzz_settings "${platform[@]}" "${headless[@]}" "$src/platform/settings.cpp"
build fuzz_replay "$src/shell/replayfile.cpp" "$src/platform/files.cpp"
build fuzz_courses "$src/shell/coursefile.cpp" "$src/puzzle/stagerecord.cpp" "$src/puzzle/board.cpp"
build fuzz_gamepad_db "${platform[@]}" "${headless[@]}" "$src/platform/settings.cpp" \
  "$src/platform/sdl/gamepad_db.cpp"

for target in fuzz_bmp fuzz_midi fuzz_script fuzz_stage fuzz_files fuzz_save fuzz_settings fuzz_gamepad_db fuzz_replay fuzz_courses; do
  corpus=$out/corpus-$target
  mkdir -p "$corpus"
  echo "== $target: ${seconds}s"
  status=0
  (cd "$out" && "./$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -close_fd_mask=2 "corpus-$target") > "$out/$target.log" 2>&1 || status=$?
  grep -E '^Done|number_of_executed_units|ERROR|SUMMARY' "$out/$target.log" || true
  if [ "$status" -ne 0 ]; then
    tail -40 "$out/$target.log"
    echo "fuzz: $target failed (status $status)"
    exit 1
  fi
done
echo "fuzz: all targets ran without a crash"
