#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# The game under bad conditions: sound or music folders missing, a course
# file missing, a data folder it may not write to, and a joystick pulled out
# in the middle of play.
set -euo pipefail
source "$2/scenario/lib/game_root.bash"
scenario_start "$@"
extra=
trap 'chmod -R u+w "$work" $extra; rm -rf "$work" $extra' EXIT

# One player on course A: the cursor starts on the source; a piece laid
# right of it at 430 and another below that at 460.
play_a='20 Z tap
100 Z tap
420 Right tap
430 Z tap
440 Down tap
460 Z tap'

# No sound folder at all, then sounds without their music folder: the game
# says once for each effect that it could not load it, then plays on in
# silence, lays its pieces and saves.
mkdir -p "$work/nosound/data/stage"
cp "$(dirname "$runner")"/data/stage/course*.dat "$work/nosound/data/stage/"
expect "no sound folder: status" "$(play_status nosound 600 "$play_a")" 0
expect "no sound folder: score" "$(state_field "$work/nosound-state.json" TotalScore)" 200
expect "no sound folder: messages" "$(messages "$work/nosound-events.txt" | sort -u | wc -l)" 19
expect "no sound folder: the first message" "$(messages "$work/nosound-events.txt" | head -1)" \
  "Waveデータ<$work/nosound/sound/se/se00.wav>の読み込みに失敗しました。"
expect "no sound folder: saved" "$(stat -c %s "$work/nosound/data/ductora.dat")" 69

make_root "$work/nomusic" "$runner"
rm "$work/nomusic/sound"
mkdir "$work/nomusic/sound"
ln -s "$(cd "$(dirname "$runner")" && pwd)/sound/se" "$work/nomusic/sound/se"
expect "no music folder: status" "$(play_status nomusic 600 "$play_a")" 0
expect "no music folder: score" "$(state_field "$work/nomusic-state.json" TotalScore)" 200
expect "no music folder: effects still sound" \
  "$(awk '$2 == "sound" { n++ } END { print (n > 0) }' "$work/nomusic-events.txt")" 1
expect "no music folder: messages" "$(messages "$work/nomusic-events.txt")" ""

# Silence changes nothing else: the picture is the same as with sound.
make_root "$work/sound" "$runner"
play_status sound 600 "$play_a" > /dev/null
cmp -s "$work/sound.png" "$work/nosound.png" || { echo "FAIL: silence changed the picture"; exit 1; }

# Course B's file missing: choosing it says which file could not be read
# and ends the program with status 1, leaving the save file as it was.
make_root "$work/nocourse" "$runner"
rm "$work/nocourse/data/stage/course1.dat"
write_save "$work/nocourse" 3 0:0=123456
cp "$work/nocourse/data/ductora.dat" "$work/saved-before.dat"
expect "missing course: status" "$(play_status nocourse 600 $'20 Z tap\n90 Down tap\n100 Z tap')" 1
expect "missing course: message" "$(messages "$work/nocourse-events.txt")" \
  "cannot read the course file $work/nocourse/data/stage/course1.dat"
cmp -s "$work/saved-before.dat" "$work/nocourse/data/ductora.dat" ||
  { echo "FAIL: the missing course file changed the save file"; exit 1; }

# A data folder the player may not write to (a system-wide install): the
# installed save file is read, and saves go to $XDG_DATA_HOME instead, from
# where the next start reads them. Root writes anywhere, so as root the game
# runs as nobody, from copies of the program and its files: nobody may not
# be allowed into the build folder.
ro=$work
as_player=()
if (( EUID == 0 )); then
  as_player=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  # TMPDIR may lie in a folder nobody cannot enter; /tmp is open to all.
  "${as_player[@]}" test -x "$work" || { ro=$(mktemp -d -p /tmp); extra=$ro; }
fi
make_root "$ro/readonly" "$runner" copy
write_save "$ro/readonly" 7 0:3=90000
cp "$runner" "$ro/runner"
mkdir -p "$ro/xdg"
if (( EUID == 0 )); then
  chown -R 65534:65534 "$ro/xdg"
  chmod 755 "$ro"
  touch "$ro/readonly-events.txt" "$ro/readonly-state.json"
  chmod 666 "$ro"/readonly*.*
fi
chmod -R a-w "$ro/readonly/data"
XDG_DATA_HOME=$ro/xdg "${as_player[@]}" "$ro/runner" --root "$ro/readonly" --frames 600 \
  --events "$ro/readonly-events.txt" --state "$ro/readonly-state.json" > /dev/null 2>&1 ||
  { echo "FAIL: the game did not end cleanly with a read-only data folder"; exit 1; }
expect "read-only data folder: messages" "$(messages "$ro/readonly-events.txt")" ""
saved=$ro/xdg/ductora-fiesta/ductora.dat
expect "read-only data folder: save file in XDG_DATA_HOME" "$(stat -c %s "$saved" 2>&1)" 69
expect "read-only data folder: the installed file was read" "$(saved_mask "$saved")" 7
expect "read-only data folder: its hi-score too" "$(saved_hiscore "$saved" 0 3)" 90000
expect "read-only data folder: the read-only save untouched" \
  "$(saved_hiscore "$ro/readonly/data/ductora.dat" 0 3)" 90000

# A joystick pulled out while its direction is held acts as if released:
# the cursor stops, the keyboard plays on, and the game is the same frame
# for frame as one in which the direction was let go.
pad_game() {  # pad_game END: J0 plays, holds Down from 440 and ends it with END
  printf '0 J0 connect\n20 J0.B1 tap\n100 J0.B1 tap\n420 J0.Right tap\n430 J0.B1 tap\n'
  printf '440 J0.Down down\n%s\n475 Z tap\n480 Right tap\n490 Z tap\n' "$1"
}
make_root "$work/unplug" "$runner"
make_root "$work/release" "$runner"
expect "unplugged: status" "$(play_status unplug 700 "$(pad_game '460 J0 disconnect')")" 0
play_status release 700 "$(pad_game '460 J0.Down up')" > /dev/null
expect "unplugged: score" "$(state_field "$work/unplug-state.json" TotalScore)" 300
cmp -s "$work/unplug.png" "$work/release.png" ||
  { echo "FAIL: the unplugged joystick left a different game than a released one"; exit 1; }
echo "all fault cases passed"
