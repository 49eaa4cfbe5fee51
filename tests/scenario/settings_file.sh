#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# The runner and the settings file: it reads none unless given --settings,
# so scripted runs never depend on the player's file; with --settings the
# file's display mode wins over the saved one and the options over the
# file; a bad file reports each problem with its line, is never written,
# and the game plays on.
#   settings_file.sh DUCTORA-HEADLESS TESTS-DIR
set -euo pipefail
source "$2/scenario/lib/game_root.bash"
scenario_start "$@"

make_root "$work/r" "$runner"
write_save "$work/r" 0
export XDG_CONFIG_HOME=$work/config HOME=$work/home
mkdir -p "$HOME"

# display_at_start ARGS...: the display mode of frame 0 ($work/err gets stderr).
display_at_start() {
  "$runner" --root "$work/r" --frames 5 --events "$work/display.txt" \
    --state "$work/state.json" "$@" 2> "$work/err"
  awk '$1 == 0 && $2 == "display" { print $3; exit }' "$work/display.txt"
}

# The player's own file is neither read nor made by the runner.
expect "no settings file without --settings" "$(display_at_start)" 0
[[ ! -e $XDG_CONFIG_HOME ]] || expect "a config folder made by the runner" yes no
mkdir -p "$XDG_CONFIG_HOME/ductora-fiesta"
printf 'fullscreen = yes\n' > "$XDG_CONFIG_HOME/ductora-fiesta/settings.ini"
expect "the player's full screen ignored" "$(display_at_start)" 0

# Given: the file over the saved mode, the options over the file.
printf 'fullscreen = yes\nkey_lay = Space\n' > "$work/full.ini"
expect "the file's full screen" "$(display_at_start --settings "$work/full.ini")" 1
expect "--window over the file" "$(display_at_start --settings "$work/full.ini" --window)" 0
expect "no problems reported" "$(cat "$work/err")" ""
# (Each run's shutdown saves the mode it ended in.)
save_full_screen() { poke "$work/r/data/ductora.dat" 65 1 0 0 0; }
printf 'fullscreen = no\n' > "$work/window.ini"
save_full_screen
expect "the file's window over the saved full screen" \
  "$(display_at_start --settings "$work/window.ini")" 0
printf 'fullscreen = saved\n' > "$work/saved.ini"
save_full_screen
expect "the saved full screen when the file says saved" \
  "$(display_at_start --settings "$work/saved.ini")" 1

# A bad file: each problem once, with its line; the game runs its frames
# and the file is left byte for byte as it was.
printf '%s\n' '# keys' 'key_lay = Space' 'key_hurry = Spacebar' 'fullscreen = yes' \
  'volume = 3' 'just words' 'key_up = space' > "$work/bad.ini"
printf '\x00\xff\xfe=\x80\n' >> "$work/bad.ini"
cp "$work/bad.ini" "$work/bad.copy"
expect "the bad file's full screen still read" "$(display_at_start --settings "$work/bad.ini")" 1
f=$work/bad.ini
expect "problems of the bad file" "$(cat "$work/err")" \
  "ductora-headless: $f:3: key_hurry: 'Spacebar' is not a key name; using the default 'X'
ductora-headless: $f:5: unknown setting 'volume'
ductora-headless: $f:6: not a 'key = value' line: 'just words'
ductora-headless: $f:8: unknown setting '\\x00\\xFF\\xFE'
ductora-headless: $f:7: key_up and key_lay are both 'Space'; using their defaults 'Up' and 'Z'"
cmp -s "$work/bad.ini" "$work/bad.copy" || expect "the bad file unchanged" no yes
expect "frames played with the bad file" "$(awk '$2 == "save" { print $1 }' "$work/display.txt")" 5
[[ -s $work/state.json ]] || expect "a state file after the bad file" no yes

# Files that cannot be read at all: the defaults, one line, the game runs.
mkdir "$work/folder.ini"
expect "a folder in place of the file" "$(display_at_start --settings "$work/folder.ini")" 1
expect "the folder's message" "$(cat "$work/err")" \
  "ductora-headless: $work/folder.ini: not a regular file; using the default settings"
head -c 100000 /dev/urandom > "$work/noise.ini"
cp "$work/noise.ini" "$work/noise.copy"
expect "binary noise" "$(display_at_start --settings "$work/noise.ini")" 1
expect "the noise's message" "$(cat "$work/err")" \
  "ductora-headless: $work/noise.ini: larger than 64 KiB; using the default settings"
cmp -s "$work/noise.ini" "$work/noise.copy" || expect "the noise unchanged" no yes
head -c 3000 /dev/urandom > "$work/noise.ini"
display_at_start --settings "$work/noise.ini" > /dev/null
(($(wc -l < "$work/err") <= 21)) || expect "at most 21 lines for noise" "$(wc -l < "$work/err")" 21
[[ -s $work/state.json ]] || expect "a state file after the noise" no yes
display_at_start --settings "$work/missing.ini" > /dev/null
expect "a missing file" "$(cat "$work/err")" \
  "ductora-headless: $work/missing.ini: no such file; using the default settings"
[[ ! -e $work/missing.ini ]] || expect "a missing --settings file made" yes no
echo "settings file: ok"
