#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# Every source file names the game's licence in its first two lines, the
# LICENSE file names the same one, and the staff roll's rights page agrees.
# usage: licence_lines.sh SOURCE_ROOT
set -euo pipefail
root=$1
cd "$root"

licence=$(sed -n 's/^SPDX-License-Identifier: *//p' LICENSE)
if [ "$licence" != "Zlib" ]; then
  echo "FAIL: LICENSE names '$licence', the sources say Zlib"
  exit 1
fi

# The files people edit: code, build lists, scripts and human-written content.
sources() {
  find src tools tests cmake scripts content packaging -type f \
    \( -name '*.cpp' -o -name '*.h' -o -name '*.sh' -o -name '*.bash' -o -name '*.cmake' \
       -o -name 'CMakeLists.txt' -o -name '*.txt' -o -name '*.desktop' -o -name '*.in' \)
  printf '%s\n' CMakeLists.txt Makefile .ci/run
}

missing=0
checked=0
while read -r f; do
  checked=$((checked + 1))
  if ! head -n 2 "$f" | grep -q "SPDX-License-Identifier: $licence\$"; then
    echo "FAIL: $f has no 'SPDX-License-Identifier: $licence' line at its top"
    missing=$((missing + 1))
  fi
done < <(sources)
[ "$missing" -eq 0 ] || exit 1
[ "$checked" -gt 150 ] || { echo "FAIL: only $checked source files found under $root"; exit 1; }

# The rights page (page 21 of the roll) names the licence and claims no
# reserved rights.
page=$(awk '/^\[21\]$/ {on = 1; next} /^\[/ {on = 0} on && !/^#/ && NF' content/credits.txt)
if ! grep -q 'ZLIB LICENCE' <<<"$page"; then
  echo "FAIL: the rights page does not name the zlib licence:"; echo "$page"; exit 1
fi
if grep -q 'RESERVED' <<<"$page"; then
  echo "FAIL: the rights page still reserves all rights:"; echo "$page"; exit 1
fi
echo "ok: $checked source files carry the $licence licence line; the rights page agrees"
