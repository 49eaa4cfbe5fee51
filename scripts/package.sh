#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# Builds the Debian package in a build folder of its own: the game without
# its tests (BUILD_TESTING=OFF), with Debian's hardening flags, the programs
# in /usr/games as Debian's policy has games, then CPack's DEB generator.
# GoogleTest and Google Benchmark are kept out of reach, so the build proves
# that it needs neither. Prints the package's path as its last line.
#   scripts/package.sh [DIR [JOBS]]     DIR defaults to build-package/
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$src/build-package}
jobs=${2:-$(nproc)}

cxxflags="-g -O2"
ldflags=""
if command -v dpkg-buildflags > /dev/null; then
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
  ldflags=$(dpkg-buildflags --get LDFLAGS)
fi
cmake -S "$src" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
  -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games \
  "-DCMAKE_CXX_FLAGS=$cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" > /dev/null
cmake --build "$dir" -j "$jobs" > "$dir/package-build.log" 2>&1 || {
  tail -n 30 "$dir/package-build.log"
  exit 1
}
rm -f "$dir"/ductora-fiesta_*.deb
(cd "$dir" && cpack -G DEB > cpack.log 2>&1) || {
  cat "$dir/cpack.log"
  exit 1
}
ls "$dir"/ductora-fiesta_*.deb
