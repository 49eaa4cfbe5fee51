#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# make package's work, checked: the game builds with BUILD_TESTING=OFF and
# neither GoogleTest nor Google Benchmark, and the .deb names its version,
# section and dependencies (the runtime libraries, a GM soundfont from either
# package) and holds the whole installed game and nothing of the tests.
# With "lintian" as the mode it then runs lintian on that package instead
# (skipped, status 77, when lintian is missing).
# usage: package_build.sh build|lintian SOURCE_DIR PACKAGE_DIR VERSION
set -euo pipefail
mode=$1
src=$2
dir=$3
version=$4

fail() {
  echo "FAIL: $*"
  exit 1
}

if [[ $mode == lintian ]]; then
  command -v lintian > /dev/null || { echo "SKIP: lintian is missing (.ci/run installs it)"; exit 77; }
  deb=$(ls "$dir"/ductora-fiesta_"$version"_*.deb 2> /dev/null | head -n 1) || true
  [[ -n $deb ]] || fail "no package in $dir (release.package_build makes it)"
  out=$(lintian --info --pedantic "$deb" 2>&1 | grep -v 'running with root privileges' || true)
  [[ -n $out ]] && echo "$out"
  if grep -E '^(E|W): ' <<< "$out"; then fail "lintian reports errors or warnings"; fi
  echo "ok: lintian finds no error or warning in $(basename "$deb")"
  exit 0
fi

mkdir -p "$dir"
deb=$(bash "$src/scripts/package.sh" "$dir" 2 | tail -n 1)
[[ -f $deb ]] || fail "scripts/package.sh made no package ($deb)"
grep -q '^BUILD_TESTING:BOOL=OFF$' "$dir/CMakeCache.txt" || fail "the package build has tests on"
for t in ductora_tests shotcmp soakgen ductora_bench ductora_frame_bench; do
  [[ -z $(find "$dir" -name "$t" -type f) ]] || fail "the package build made the test program $t"
done

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == ductora-fiesta ]] || fail "package name $(field Package)"
[[ $(field Version) == "$version" ]] || fail "package version $(field Version), not $version"
[[ $(field Section) == games ]] || fail "section $(field Section)"
depends=$(field Depends)
for dep in 'timgm6mb-soundfont | fluid-soundfont-gm' 'libsdl2-2.0-0 (' 'libsdl2-mixer-2.0-0 (' \
  'libsdl2-image-2.0-0 (' 'libc6 ('; do
  [[ $depends == *"$dep"* ]] || fail "Depends lacks '$dep': $depends"
done

# The path is all after the fifth column (it may hold spaces).
dpkg-deb -c "$deb" | sed -E 's/^([^ ]+ +){5}//; s:^\./:/:; s:/$::' | sort > "$dir/contents.txt"
outside=$(grep -v -e '^/usr$' -e '^/usr/' "$dir/contents.txt" | grep -v '^/$' || true)
[[ -z $outside ]] || fail "files outside /usr: $outside"
share=/usr/share/ductora-fiesta
expected=(/usr/games/ductora /usr/games/ductora-headless
  $share/data/stage/course0.dat $share/data/stage/course1.dat $share/data/stage/course2.dat
  $share/data/demo/course-a.replay $share/data/demo/course-b.replay $share/data/demo/course-c.replay
  /usr/share/man/man6/ductora.6.gz /usr/share/man/man6/ductora-headless.6.gz
  /usr/share/doc/ductora-fiesta/copyright /usr/share/doc/ductora-fiesta/changelog.gz)
for n in $(seq -w 0 18); do expected+=("$share/sound/se/se$n.wav"); done
for f in "${expected[@]}"; do grep -qxF "$f" "$dir/contents.txt" || fail "the package lacks $f"; done
tunes=$(grep -ci "^$share/sound/music/.*\.mid$" "$dir/contents.txt" || true)
[[ $tunes -eq 6 ]] || fail "the package holds $tunes tunes, not 6"
[[ $(grep -c '^/usr/share/icons/hicolor/.*/apps/.*\.png$' "$dir/contents.txt") -eq 7 ]] ||
  fail "the package does not hold the 7 icons"
grep -q '^/usr/share/applications/.*\.desktop$' "$dir/contents.txt" || fail "no desktop entry"
grep -q '^/usr/share/metainfo/.*\.metainfo\.xml$' "$dir/contents.txt" || fail "no metainfo"
if grep -E '/(data/ductora\.dat|settings\.ini)$' "$dir/contents.txt"; then
  fail "the package ships a save or settings file"
fi
echo "ok: $(basename "$deb"), built without tests: version $version, $(wc -l < "$dir/contents.txt") paths"
