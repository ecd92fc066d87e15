#!/bin/bash
# The Debian package from end to end: pack it, install it with apt-get, start
# `sorawata` from the PATH on a private X server, then remove it and find
# nothing left behind. Changes the machine, so it runs only as root (CI), and
# leaves alone a sorawata package that was installed before it ran.
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
for needed in qt6-qpa-plugins libqt6multimedia6 libqt6widgets6 libpulse0 fonts-noto-cjk; do
    grep -q -E "(^|, )$needed( |,|$)" <<<"$depends" || fail "the package does not depend on $needed"
done
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' >"$E2E_WORK/files"

echo "== install"
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$deb" \
    >"$E2E_WORK/apt-install.log" 2>&1 || fail "apt-get install failed: $(tail -n 20 "$E2E_WORK/apt-install.log")"
installed_here=1
[[ $(readlink /usr/bin/sorawata) == ../lib/sorawata/sorawata ]] ||
    fail "/usr/bin/sorawata is not a relative link to ../lib/sorawata/sorawata: $(ls -l /usr/bin/sorawata)"
for file in /usr/lib/sorawata/{dat.txt,end0.txt,end1.txt,bgm.wav,img/0.jpg,img/end1.jpg} \
    /usr/share/applications/sorawata.desktop /usr/share/icons/hicolor/{16x16,256x256}/apps/sorawata.png \
    /usr/share/icons/hicolor/scalable/apps/sorawata.svg /usr/share/metainfo/io.github.sorawata.Sorawata.metainfo.xml; do
    [[ -f $file ]] || fail "the package did not install $file"
done

echo "== start from the PATH"
[[ $(command -v sorawata) == /usr/bin/sorawata ]] || fail "sorawata on the PATH is '$(command -v sorawata)'"
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
# server here, only the music may be reported, from /usr/lib/sorawata.
sleep 2
e2e_game_running || fail "the game stopped; stderr: $(cat "$E2E_WORK/game.err")"
complaints=$(grep '^sorawata:' "$E2E_WORK/game.err" |
    grep -v -F 'sorawata: /usr/lib/sorawata/bgm.wav: no audio output device' || true)
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
