#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# The manual page formats without a single warning and names every option of
# both programs.
# usage: man_page.sh PAGE
set -euo pipefail
page=$1
if ! command -v groff >/dev/null; then
  echo "SKIP: groff is not installed"
  exit 0
fi
out=$(groff -man -ww -z "$page" 2>&1)
if [ -n "$out" ]; then
  echo "FAIL: groff -man -ww -z $page:"; echo "$out"; exit 1
fi
text=$(groff -man -Tutf8 -P-c "$page" 2>/dev/null | sed 's/\x1b\[[0-9;]*m//g; s/.\x08//g')
for opt in --help --version --fullscreen --window --scale --mute --settings --play \
           --root --seed --input --frames --shot --events --state --export-sheets \
           --bot --bot-course --bot-players; do
  grep -q -- "$opt" <<<"$text" || { echo "FAIL: the manual page does not describe $opt"; exit 1; }
done
for section in SYNOPSIS OPTIONS KEYS FILES ENVIRONMENT "EXIT STATUS"; do
  grep -q "^$section" <<<"$text" || { echo "FAIL: the manual page has no $section section"; exit 1; }
done
echo "ok: $page formats cleanly and describes every option"
