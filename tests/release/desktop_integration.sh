#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# The game as a desktop sees it, from a real install into a scratch prefix:
#   files     the desktop entry, AppStream metadata and hicolor icons are
#             installed under the one id, name each other by it, and carry
#             the project's version and the installed programs
#   validate  desktop-file-validate and appstreamcli validate --no-net pass
#             (skipped, status 77, when a validator is missing)
#   window    the installed game's window under Xvfb has the id as its class
#             (the entry's StartupWMClass) and a 64 px icon (skipped, status
#             77, without Xvfb, xdotool or xprop)
# usage: desktop_integration.sh files|validate|window BUILD_DIR APP_ID VERSION
set -euo pipefail
mode=$1
build=$2
id=$3
version=$4
source "$(dirname "$0")/../window/lib/display.bash"

skip_without() {
  for tool in "$@"; do
    if ! command -v "$tool" > /dev/null; then
      echo "SKIP: $tool is missing (.ci/run installs it)"
      exit 77
    fi
  done
}

case $mode in
  validate) skip_without desktop-file-validate appstreamcli ;;
  window) skip_without Xvfb xdotool xprop ;;
  files) ;;
  *) fail "unknown mode $mode" ;;
esac

window_scratch

prefix=$work/usr
cmake --install "$build" --prefix "$prefix" > "$work/install.log" ||
  fail "cmake --install failed: $(tail -n 3 "$work/install.log")"
share=$prefix/share
desktop=$share/applications/$id.desktop
metainfo=$share/metainfo/$id.metainfo.xml

# The value of KEY in the desktop entry's main group.
entry() {
  awk -F= -v key="$1" '/^\[/ { main = ($0 == "[Desktop Entry]") } main && $1 == key { print substr($0, length(key) + 2) }' "$desktop"
}
# The text of every <TAG> element of the metainfo, one a line.
tags() {
  sed -n "s:.*<$1[^>]*>\\([^<]*\\)</$1>.*:\\1:p" "$metainfo"
}
# Width, height and colour type of a PNG, from its IHDR chunk.
png_header() {
  od -An -tu1 -j16 -N10 "$1" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8, $10 }'
}

check_files() {
  [[ -f $desktop ]] || fail "no desktop entry $desktop"
  [[ -f $metainfo ]] || fail "no AppStream metadata $metainfo"
  [[ $(entry Icon) == "$id" ]] || fail "the entry's Icon is '$(entry Icon)', not $id"
  [[ $(entry StartupWMClass) == "$id" ]] ||
    fail "the entry's StartupWMClass is '$(entry StartupWMClass)', not $id"
  local exec
  exec=$(entry Exec)
  [[ -x $prefix/bin/${exec%% *} ]] || fail "the entry starts '$exec', which is not installed in bin/"
  [[ $(tags id) == "$id" ]] || fail "the metainfo's id is '$(tags id)', not $id"
  [[ $(tags launchable) == "$id.desktop" ]] ||
    fail "the metainfo launches '$(tags launchable)', not $id.desktop"
  grep -q "<release version=\"$version\" date=\"[0-9]\{4\}-[0-9][0-9]-[0-9][0-9]\"" "$metainfo" ||
    fail "the metainfo has no dated release $version"
  grep -q '<content_rating type="oars-1.1"' "$metainfo" || fail "the metainfo has no OARS rating"
  local binary binaries=0
  for binary in $(tags binary); do
    [[ -x $prefix/bin/$binary ]] || fail "the metainfo provides '$binary', which is not installed"
    binaries=$((binaries + 1))
  done
  [[ $binaries -eq 2 ]] || fail "the metainfo provides $binaries programs, not 2"
  local size png icons=0
  for size in 16 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x$size/apps/$id.png
    [[ -f $png ]] || fail "no ${size} px icon $png"
    [[ $(png_header "$png") == "$size $size 6" ]] ||
      fail "$png is '$(png_header "$png")', not $size x $size RGBA"
    icons=$((icons + 1))
  done
  local stray
  stray=$(find "$share/icons" -type f ! -name "$id.png")
  [[ -z $stray ]] || fail "icons not named by the id: $stray"
  echo "ok: entry, metadata (version $version) and $icons icons all under $id"
}

check_validators() {
  local out
  out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
  [[ -z $out ]] || fail "desktop-file-validate: $out"
  appstreamcli validate --no-net "$metainfo" > "$work/as.txt" 2>&1 ||
    fail "appstreamcli validate: $(cat "$work/as.txt")"
  # Errors and warnings fail; info and pedantic hints are listed in the
  # release notes where they stay.
  if grep -E '^(E|W):' "$work/as.txt"; then fail "appstreamcli found problems"; fi
  echo "ok: desktop-file-validate and appstreamcli validate --no-net pass"
}

check_window() {
  start_xvfb 141 190
  unset SDL_VIDEO_X11_WMCLASS SDL_VIDEO_WAYLAND_WMCLASS
  mkdir -p "$work/home"
  HOME=$work/home XDG_DATA_HOME= XDG_CONFIG_HOME= SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
    "$prefix/bin/ductora" > "$work/game.log" 2>&1 &
  game_pid=$!
  local window
  window=$(timeout 60 xdotool search --sync --onlyvisible --pid "$game_pid" 2> /dev/null |
    head -n 1) || true
  [[ -n $window ]] || fail "no game window within 60 s ($(tail -n 3 "$work/game.log"))"
  local class
  class=$(xprop -id "$window" WM_CLASS)
  [[ $class == "WM_CLASS(STRING) = \"$id\", \"$id\"" ]] || fail "window class: $class"
  local icon
  xprop -id "$window" -notype 32c _NET_WM_ICON > "$work/icon.txt"
  icon=$(head -c 200 "$work/icon.txt")
  [[ $icon == "_NET_WM_ICON = 64, 64, "* ]] || fail "window icon: ${icon:0:80}"
  echo "ok: the installed game's window has the class $id and a 64 px icon"
}

case $mode in
  files) check_files ;;
  validate) check_validators ;;
  window) check_window ;;
esac
