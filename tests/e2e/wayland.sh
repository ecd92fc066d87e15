#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# The game as a Wayland client of a headless weston: it names itself for the
# desktop (app id, title), then shows the partner's moods in the title, and
# weston's own screenshot shows the whole scene picture and the mood bars.
# Usage: wayland.sh path/to/sorawata [screenshot.png]
# With a second argument, weston's screenshot is copied there. Skipped (77)
# when weston or Qt's Wayland plugin is not installed.
source "$(dirname "$0")/lib.sh"
keep_shot=${2:-}

if ! command -v weston >/dev/null || ! command -v weston-screenshooter >/dev/null; then
    echo "SKIP: weston is not installed"
    E2E_FAILED=0
    exit 77
fi
if ! compgen -G "/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so" >/dev/null; then
    echo "SKIP: Qt's Wayland platform plugin (qt6-wayland) is not installed"
    E2E_FAILED=0
    exit 77
fi

export WAYLAND_DISPLAY=wayland-sorawata
# The pixman renderer, so that there is a picture to take; --debug lets
# weston-screenshooter ask for it.
weston --backend=headless-backend.so --use-pixman --width=1024 --height=768 --idle-time=0 \
    --socket="$WAYLAND_DISPLAY" --debug >"$E2E_WORK/weston.log" 2>&1 &
E2E_PIDS+=($!)
e2e_wait 20 test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" || fail "weston did not start: $(cat "$E2E_WORK/weston.log")"

folder=$E2E_WORK/game
e2e_make_assets "$folder"
e2e_install_game "$folder"
export QT_QPA_PLATFORM=wayland
# The game's Wayland requests go to its stderr.
WAYLAND_DEBUG=client e2e_launch "$folder"
requests() { grep -o -E 'xdg_toplevel@[0-9]+\.set_(title|app_id)\("[^"]*"\)' "$E2E_WORK/game.err"; }
titled() { requests | grep -q 'set_title("Sorawata")'; }
e2e_wait 30 titled || fail "no window titled Sorawata; Wayland log: $(tail -n 20 "$E2E_WORK/game.err")"
requests | grep -q 'set_app_id("sorawata")' || fail "the window's app id is not sorawata: $(requests)"
shows_moods() { requests | grep -q -E 'set_title\("[0-9]+_[0-9]+_[0-9]+_"\)'; }
e2e_wait 30 shows_moods || fail "the title never showed the moods: $(requests | tail -n 3)"

# The title is sent before the frame that shows the same tick, and the first
# ticks may leave the anger bar empty: take pictures until the bar shows.
shot=
cyan=0
take_shot() {
    rm -f "$E2E_WORK"/wayland-screenshot-*.png
    (cd "$E2E_WORK" && weston-screenshooter) || fail "weston-screenshooter failed"
    shots=("$E2E_WORK"/wayland-screenshot-*.png)
    shot=${shots[0]}
    [[ -f $shot ]] || fail "weston-screenshooter left no picture"
    cyan=$(e2e_count_colour "$shot" 0 0 1024 768 "$E2E_CYAN")
    ((cyan > 0))
}
E2E_POLL=0.3 e2e_wait 30 take_shot || fail "no bar is filled with cyan ($shot)"
# The scene picture, 341 pixels square, is one solid colour but for the murmur
# line.
best=0
for colour in "${E2E_SCENE_COLOURS[@]}"; do
    count=$(e2e_count_colour "$shot" 0 0 1024 768 "$colour")
    ((count > best)) && best=$count
done
((best > 341 * 341 * 9 / 10 && best <= 341 * 341)) ||
    fail "the scene colour covers $best pixels, expected about 341x341 ($shot)"
if [[ -n $keep_shot ]]; then cp "$shot" "$keep_shot"; fi
echo "wayland: $(requests | head -n 2 | xargs), scene $best pixels, cyan $cyan pixels"
e2e_pass
