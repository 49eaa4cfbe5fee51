#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# Files that are not what they seem: a FIFO, a link to /dev/zero, a folder or
# a huge file in place of the save file, an effect, a tune or a course. Each
# game must end on its own well inside the time limit (a FIFO read would
# wait for ever, /dev/zero would exhaust the memory), say what it could not
# read, and go on playing.
set -euo pipefail
source "$2/scenario/lib/game_root.bash"
scenario_start "$@"
limit=60  # seconds; a normal game of these lengths takes well under one

read_fail='データファイルの読み込みに失敗しました。'
write_fail='データファイルの書き込みに失敗しました。'
# hostile FILE KIND [SIZE]: FILE replaced by a FIFO, a link to /dev/zero, a
# folder or a sparse file of SIZE (default 4 GiB).
hostile() {
  rm -f "$1"
  case $2 in
    fifo) mkfifo "$1" ;;
    zero) ln -s /dev/zero "$1" ;;
    folder) mkdir "$1" ;;
    huge) truncate -s "${3:-4G}" "$1" ;;
  esac
}

# A save file that is no file: the game says it could not read it, plays on
# with the defaults and, at the end, saves a real file in its place (a
# folder cannot be replaced: that save says it failed).
for kind in fifo zero folder; do
  make_root "$work/save-$kind" "$runner"
  save=$work/save-$kind/data/ductora.dat
  hostile "$save" $kind
  expect "$kind save file: status" "$(play_status "save-$kind" 120)" 0
  if [[ $kind == folder ]]; then
    expect "$kind save file: messages" "$(messages "$work/save-$kind-events.txt")" \
      "$read_fail"$'\n'"$write_fail"
    [[ -d $save ]] || { echo "FAIL: the folder in place of the save file is gone"; exit 1; }
  else
    expect "$kind save file: messages" "$(messages "$work/save-$kind-events.txt")" "$read_fail"
    expect "$kind save file: saved in its place" "$(stat -c '%F %s' "$save")" "regular file 69"
    expect "$kind save file: the defaults" "$(saved_hiscore "$save" 0 0)" 100000
  fi
done
[[ -c /dev/zero ]] || { echo "FAIL: /dev/zero is no longer a device"; exit 1; }

# A valid save record followed by a 1 GiB tail (sparse: it costs no disk):
# the record is read, the player's hi-scores and cleared courses survive,
# and the save after the game writes the record without the tail.
make_root "$work/tail" "$runner"
write_save "$work/tail" 5 0:0=654321 1:2=777777
truncate -s +1G "$work/tail/data/ductora.dat"
expect "1 GiB tail: status" "$(play_status tail 120)" 0
expect "1 GiB tail: messages" "$(messages "$work/tail-events.txt")" ""
expect "1 GiB tail: hi-score" "$(saved_hiscore "$work/tail/data/ductora.dat" 0 0)" 654321
expect "1 GiB tail: 2-player hi-score" "$(saved_hiscore "$work/tail/data/ductora.dat" 1 2)" 777777
expect "1 GiB tail: cleared courses" "$(saved_mask "$work/tail/data/ductora.dat")" 5
expect "1 GiB tail: the record saved" "$(stat -c %s "$work/tail/data/ductora.dat")" 69

# Effects and tunes that are no sound: each effect says once that it could
# not be read, a tune leaves the game silent, and the game is the same frame
# for frame as one with its sounds: the first stage of course A, with the
# course select's cursor sound (se02), the confirm sound (se04) and the
# stage's tune.
play='10 Down tap
20 Up tap
30 Z tap
110 Z tap
430 Z tap'
make_root "$work/sound" "$runner"
expect "with sound: status" "$(play_status sound 600 "$play")" 0
tune=$(awk '$2 == "music-play" { $1 = $2 = ""; sub(/^ +/, ""); print; exit }' \
  "$work/sound-events.txt")
[[ -n $tune ]] || { echo "FAIL: the stage played no music"; exit 1; }
for kind in fifo zero folder huge; do
  for what in se/se02.wav "music/$tune"; do
    name=${what%%/*}-$kind
    make_root "$work/$name" "$runner" copy
    hostile "$work/$name/sound/$what" $kind
    expect "$kind $what: status" "$(play_status "$name" 600 "$play")" 0
    cmp -s "$work/sound.png" "$work/$name.png" ||
      { echo "FAIL: $kind $what: the game went differently"; exit 1; }
    expect "$kind $what: the confirm sound" "$(sound_frames "$work/$name-events.txt" 4)" \
      "$(sound_frames "$work/sound-events.txt" 4)"
  done
  expect "$kind effect: message" "$(messages "$work/se-$kind-events.txt")" \
    "Waveデータ<$work/se-$kind/sound/se/se02.wav>の読み込みに失敗しました。"
  expect "$kind effect: the others sound" "$(sound_frames "$work/se-$kind-events.txt" 2)" ""
  expect "$kind tune: no message" "$(messages "$work/music-$kind-events.txt")" ""
  expect "$kind tune: silent" "$(grep -c music-play "$work/music-$kind-events.txt" || true)" 0
done

# A course file that is no file is a course that cannot be read: the game
# says so and ends (status 1), as for a missing one, without waiting.
for kind in fifo zero folder huge; do
  make_root "$work/co-$kind" "$runner"
  course=$work/co-$kind/data/stage/course0.dat
  hostile "$course" $kind 2G
  expect "$kind course: status" "$(play_status "co-$kind" 600 $'20 Z tap\n100 Z tap')" 1
  expect "$kind course: message" "$(messages "$work/co-$kind-events.txt")" \
    "cannot read the course file $course"
done
echo "all hostile file cases passed"
