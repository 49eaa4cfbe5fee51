#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# The Debian package as a player gets it: apt-get installs it, the installed
# runner tells its version, the installed game plays 2000 frames headless as
# the unprivileged user nobody with a fresh HOME and keeps its save file in
# that HOME's XDG folder, nothing new appears under /usr, and apt-get purge
# leaves nothing of it behind. The windowed game, started as nobody too
# (SDL's dummy drivers), writes its settings file in that HOME's XDG folder.
# Skipped (status 77, one line) when not root, without apt-get, when the
# package is already installed (this test never removes a package it did not
# install), or when installing it would need any other package, which would
# need the network and would change the machine.
# usage: package_install.sh PACKAGE_DIR VERSION TESTS_DIR
set -euo pipefail
dir=$1
version=$2
tests=$3
package=ductora-fiesta

fail() {
  echo "FAIL: $*"
  exit 1
}
skip() {
  echo "SKIP: $*"
  exit 77
}

[[ $(id -u) -eq 0 ]] || skip "installing the package needs root"
command -v apt-get > /dev/null || skip "no apt-get on this machine"
id nobody > /dev/null 2>&1 || skip "no user nobody to play as"
deb=$(ls "$dir"/${package}_"$version"_*.deb 2> /dev/null | head -n 1) || true
[[ -n $deb ]] || fail "no package in $dir (release.package_build makes it)"
deb=$(realpath "$deb")

# One install test at a time on this machine, whichever worktree runs it.
exec 9> /run/lock/ductora-fiesta-package-test.lock
flock -w 900 9 || fail "another package test held the lock for 15 minutes"

installed() { dpkg-query -W -f='${Status}' "$package" 2> /dev/null | grep -q 'installed'; }
installed && skip "$package is already installed here; this test removes only what it installs"

export DEBIAN_FRONTEND=noninteractive
apt=(apt-get -q -o DPkg::Lock::Timeout=300)
plan=$("${apt[@]}" install -s --no-install-recommends "$deb" 2>&1) ||
  skip "apt-get cannot plan the install: $(tail -n 1 <<< "$plan")"
others=$(awk '$1 == "Inst" && $2 != "'$package'" { print $2 }' <<< "$plan" | tr '\n' ' ')
[[ -z $others ]] || skip "installing would also bring in: $others(needs the network)"

work=$(mktemp -d)
home=$(mktemp -d -p /tmp ductora-home-XXXXXX)
we_installed=0
cleanup() {
  if [[ $we_installed -eq 1 ]] && installed; then
    "${apt[@]}" purge -y "$package" > /dev/null 2>&1 || true
  fi
  rm -rf "$work" "$home"
}
trap cleanup EXIT

# Every path under /usr, less the caches that dpkg's triggers refresh for
# every package with icons or desktop entries.
snapshot() {
  find /usr -xdev 2> /dev/null | grep -v -e '/icon-theme\.cache$' -e '/mimeinfo\.cache$' |
    sort > "$1"
}
snapshot "$work/before.txt"

we_installed=1
"${apt[@]}" install -y --no-install-recommends "$deb" > "$work/install.log" 2>&1 ||
  fail "apt-get install failed: $(tail -n 5 "$work/install.log")"
installed || fail "$package is not installed after apt-get install"
runner=/usr/games/ductora-headless
[[ -x $runner ]] || fail "no $runner"
out=$("$runner" --version) || fail "$runner --version failed"
[[ $out == *"$version"* ]] || fail "$runner --version says '$out', not $version"
snapshot "$work/installed.txt"

# Z on the title, Z on the course select: the first stage of course A plays.
printf '20 Z tap\n200 Z tap\n600 Right tap\n620 Z tap\n' > "$home/keys.txt"
chown -R nobody "$home"
chmod 0700 "$home"
runuser -u nobody -- env -i HOME="$home" PATH=/usr/games:/usr/bin:/bin \
  "$runner" --seed 5 --frames 2000 --input "$home/keys.txt" --events "$home/events.txt" \
  > "$work/play.log" 2>&1 || fail "the installed game failed as nobody: $(tail -n 3 "$work/play.log")"
grep -q ' music-play ' "$home/events.txt" || fail "the installed game played no music-play event"
save=$home/.local/share/ductora-fiesta/ductora.dat
[[ -s $save ]] || fail "no save file in $home/.local/share/ductora-fiesta/: $(cd "$home" && find .)"
[[ $(stat -c %U "$save") == nobody ]] || fail "the save file belongs to $(stat -c %U "$save")"
# The windowed game writes its settings file at its first start; SDL's dummy
# drivers stand in for a display and a sound card, and it is stopped after
# a few seconds.
status=0
runuser -u nobody -- env -i HOME="$home" PATH=/usr/games:/usr/bin:/bin SDL_VIDEODRIVER=dummy \
  SDL_AUDIODRIVER=dummy timeout 5 /usr/games/ductora > "$work/window.log" 2>&1 || status=$?
[[ $status -eq 0 || $status -eq 124 ]] ||
  fail "the installed ductora failed as nobody ($status): $(tail -n 3 "$work/window.log")"
settings=$home/.config/ductora-fiesta/settings.ini
[[ -s $settings ]] || fail "no settings file in $home/.config/ductora-fiesta/: $(cd "$home" && find .)"
snapshot "$work/played.txt"
changed=$(diff "$work/installed.txt" "$work/played.txt" || true)
[[ -z $changed ]] || fail "playing changed /usr: $changed"

"${apt[@]}" purge -y "$package" > "$work/purge.log" 2>&1 ||
  fail "apt-get purge failed: $(tail -n 5 "$work/purge.log")"
if installed || dpkg-query -W "$package" > /dev/null 2>&1 &&
  [[ -n $(dpkg-query -W -f='${db:Status-Abbrev}' "$package" 2> /dev/null | tr -d ' n') ]]; then
  fail "dpkg still knows $package after the purge"
fi
snapshot "$work/after.txt"
left=$(diff "$work/before.txt" "$work/after.txt" || true)
[[ -z $left ]] || fail "the purge left /usr changed: $left"
[[ -z $(ls /var/lib/dpkg/info/$package.* 2> /dev/null) ]] || fail "dpkg's records of $package remain"
echo "ok: installed $(basename "$deb"), played 2000 frames as nobody (save and settings in XDG), purged clean"
