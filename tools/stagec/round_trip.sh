#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# Every course file the build made comes back byte for byte from its
# decompiled text, and the text of a plain course needs no 'byte' line.
#   round_trip.sh STAGEC STAGE-DIR
set -euo pipefail
stagec=$1
dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for dat in "$dir"/course*.dat; do
  name=$(basename "$dat" .dat)
  "$stagec" --decompile "$dat" "$work/$name.txt" > /dev/null
  "$stagec" "$work/$name.txt" "$work/$name.dat" > /dev/null
  if ! cmp -s "$dat" "$work/$name.dat"; then
    echo "FAIL: $name.dat does not come back from its text"
    status=1
  fi
  if grep -q '^byte' "$work/$name.txt"; then
    echo "FAIL: $name.txt needs 'byte' lines"
    status=1
  fi
done
# A file that is not whole records is refused without writing anything.
head -c 111 "$dir/course0.dat" > "$work/short.dat"
if "$stagec" --decompile "$work/short.dat" "$work/short.txt" 2> "$work/err"; then
  echo "FAIL: 111 bytes decompiled"
  status=1
fi
grep -q "111 bytes are not whole 110-byte stage records" "$work/err" || {
  echo "FAIL: message for 111 bytes: $(cat "$work/err")"
  status=1
}
[[ ! -e $work/short.txt ]] || { echo "FAIL: short.txt written"; status=1; }
exit $status
