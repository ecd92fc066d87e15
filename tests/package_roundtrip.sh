#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# The Debian package from end to end: pack it, check it with lintian, pack it
# again to the same bytes, install it with apt-get, check the hardening of the installed program, start
# `sorawata` from a player's PATH on a private X server, then remove it and
# find nothing left behind. Changes the machine, so it runs only as root (CI),
# and leaves alone a sorawata package that was installed before it ran.
# Usage: package_roundtrip.sh path/to/build/sorawata path/to/build
# Exits 77 (skipped) when it may not run.

if [[ $(id -u) != 0 ]]; then
    echo "SKIP: installs a package, needs root"
    exit 77
fi
if dpkg-query -W -f='${Status}' sorawata 2>/dev/null | grep -q "ok installed"; then
    echo "SKIP: a sorawata package is installed already; remove it to run this test"
    exit 77
fi

source "$(dirname "$0")/e2e/lib.sh"
build=$(realpath "${2:?usage: $0 path/to/sorawata path/to/build}")

# On every way out: remove the package if this script installed it.
installed_here=0
package_cleanup() {
    if ((installed_here)); then
        DEBIAN_FRONTEND=noninteractive apt-get remove -y sorawata >/dev/null 2>&1 || true
    fi
    e2e_cleanup
}
trap package_cleanup EXIT

echo "== pack"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$E2E_WORK/package" >"$E2E_WORK/cpack.log" 2>&1 ||
    fail "cpack failed: $(tail -n 20 "$E2E_WORK/cpack.log")"
debs=("$E2E_WORK"/package/sorawata_*.deb)
[[ -f ${debs[0]} ]] || fail "cpack made no sorawata_*.deb: $(ls "$E2E_WORK/package")"
deb=${debs[0]}
depends=$(dpkg-deb -f "$deb" Depends)
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes, installed size $(dpkg-deb -f "$deb" Installed-Size) KiB"
echo "Depends: $depends"
for needed in qt6-qpa-plugins libqt6widgets6 libpulse0 fonts-noto-cjk; do
    grep -q -E "(^|, )$needed( |,|$)" <<<"$depends" || fail "the package does not depend on $needed"
done

echo "== lintian"
# Debian's own checker: no errors and no warnings. Its remarks for information
# are shown too; the overrides name their reasons in packaging/lintian-overrides.
lintian_status=0
lintian --fail-on error,warning --display-info --pedantic --show-overrides "$deb" 2>&1 |
    sed '/running with root privileges is not recommended/d' >"$E2E_WORK/lintian.log" ||
    lintian_status=$?
cat "$E2E_WORK/lintian.log"
((lintian_status == 0)) || fail "lintian reports errors or warnings"

echo "== pack again"
# Some seconds later, the same build packs to the same bytes. Under a umask that
# keeps files private, too, the archives in the package are the same; only the
# file modes of the package's own ar headers follow the umask.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$E2E_WORK/again" >"$E2E_WORK/cpack-again.log" 2>&1 ||
    fail "cpack failed again: $(tail -n 20 "$E2E_WORK/cpack-again.log")"
cmp "$deb" "$E2E_WORK/again/$(basename "$deb")" || fail "packing the same build twice gave two packages"
(umask 077 && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$E2E_WORK/private") \
    >"$E2E_WORK/cpack-private.log" 2>&1 || fail "cpack failed: $(tail -n 20 "$E2E_WORK/cpack-private.log")"
for member in control.tar.gz data.tar.gz; do
    cmp <(ar p "$deb" "$member") <(ar p "$E2E_WORK/private/$(basename "$deb")" "$member") ||
        fail "under umask 077 the package's $member differs"
done
echo "packed again: the same $(sha256sum <"$deb" | cut -c1-16)..."
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' >"$E2E_WORK/files"

echo "== install"
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$deb" \
    >"$E2E_WORK/apt-install.log" 2>&1 || fail "apt-get install failed: $(tail -n 20 "$E2E_WORK/apt-install.log")"
installed_here=1
[[ $(readlink /usr/games/sorawata) == ../lib/sorawata/sorawata ]] ||
    fail "/usr/games/sorawata is not a relative link to ../lib/sorawata/sorawata: $(ls -l /usr/games/sorawata)"
for file in /usr/lib/sorawata/{dat.txt,end0.txt,end1.txt,bgm.wav,img/0.jpg,img/end1.jpg} \
    /usr/share/applications/sorawata.desktop /usr/share/icons/hicolor/{16x16,256x256}/apps/sorawata.png \
    /usr/share/icons/hicolor/scalable/apps/sorawata.svg /usr/share/metainfo/io.github.sorawata.sorawata.metainfo.xml \
    /usr/share/doc/sorawata/{copyright,changelog.gz} /usr/share/man/{,ja/}man6/sorawata.6.gz; do
    [[ -f $file ]] || fail "the package did not install $file"
done

echo "== hardening"
# PIE, stack protector, fortified functions, relro and immediate binding.
# Control-flow protection is not asked for: Debian 12's dpkg-buildflags does not
# turn it on and its C start-up files lack the marking, so no program built on
# Debian 12 carries it (/usr/bin/ls neither).
for program in /usr/lib/sorawata/sorawata{,-picture-decoder}; do
    hardening-check --nocfprotection "$program" || fail "$program lacks hardening"
done
# Built with the same flags, but its few copies are all into buffers whose size the compiler
# cannot see, so none of them is fortified and the check would count the library as unprotected.
hardening-check --nocfprotection --nofortify /usr/lib/sorawata/sound/libsorawata-sound.so ||
    fail "the sound library lacks hardening"

echo "== start from the PATH"
# A player's PATH on Debian, as /etc/profile sets it for users other than root.
export PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games
[[ $(command -v sorawata) == /usr/games/sorawata ]] || fail "sorawata on the PATH is '$(command -v sorawata)'"
e2e_start_xvfb
(cd "$E2E_WORK" && exec sorawata 2>"$E2E_WORK/game.err") &
E2E_GAME_PID=$!
E2E_PIDS+=("$E2E_GAME_PID")
e2e_find_game_window
caption=$(e2e_caption "$E2E_WINDOW")
[[ $caption == Sorawata ]] || e2e_is_readout "$caption" ||
    fail "the caption is '$caption', expected Sorawata or the partner's moods"
xprop -id "$E2E_WINDOW" WM_CLASS | grep -q '"sorawata", "sorawata"' ||
    fail "WM_CLASS is not sorawata: $(xprop -id "$E2E_WINDOW" WM_CLASS)"
e2e_measure_area
[[ ${E2E_AREA_W}x$E2E_AREA_H == 768x341 ]] || fail "the window is ${E2E_AREA_W}x$E2E_AREA_H, expected 768x341"
# Started through the link, the game must still find its assets beside the real
# executable: it names every asset it cannot use on stderr. Without a sound
# server here, only the missing audio output may be reported. By the first
# thinking tick it has read its texts and music and shown a scene.
e2e_wait 30 e2e_caption_is_readout || fail "the caption never showed the moods: '$(e2e_caption "$E2E_WINDOW")'"
e2e_game_running || fail "the game stopped; stderr: $(cat "$E2E_WORK/game.err")"
complaints=$(grep '^sorawata:' "$E2E_WORK/game.err" |
    grep -v -F 'sorawata: no audio output for the music (' || true)
[[ -z $complaints ]] || fail "the installed game reports asset problems: $complaints"
kill "$E2E_GAME_PID"
wait "$E2E_GAME_PID" 2>/dev/null || true

echo "== remove"
DEBIAN_FRONTEND=noninteractive apt-get remove -y sorawata >"$E2E_WORK/apt-remove.log" 2>&1 ||
    fail "apt-get remove failed: $(tail -n 20 "$E2E_WORK/apt-remove.log")"
installed_here=0
! dpkg-query -W -f='${Status}' sorawata 2>/dev/null | grep -q "ok installed" || fail "sorawata is still installed"
while read -r file; do
    [[ ! -e $file && ! -L $file ]] || fail "$file is left after removal"
done <"$E2E_WORK/files"
[[ ! -e /usr/lib/sorawata ]] || fail "/usr/lib/sorawata is left after removal"
echo "removed: $(wc -l <"$E2E_WORK/files") files gone"
e2e_pass
