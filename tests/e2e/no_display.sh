#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# Without a display to talk to, the game says so in one line and exits with an
# error status rather than crashing; a WAYLAND_DISPLAY at which no compositor
# answers counts as none, and so does a platform plugin that cannot start. On
# Qt's offscreen platform it needs none: it starts and plays.
# Usage: no_display.sh path/to/sorawata
source "$(dirname "$0")/lib.sh"

# expect_clean_refusal WHAT ENV...: runs the game under `env ENV...`.
expect_clean_refusal() {
    local what=$1 status=0
    shift
    (cd "$E2E_WORK" && env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" timeout 20 "$E2E_GAME") \
        >"$E2E_WORK/out" 2>"$E2E_WORK/err" || status=$?
    ((status != 0)) || fail "$what: exit status 0, expected an error"
    ((status < 124)) || fail "$what: exit status $status (killed, timed out or crashed)"
    local lines
    lines=$(wc -l <"$E2E_WORK/err")
    ((lines == 1)) || fail "$what: $lines lines on stderr, expected 1: $(cat "$E2E_WORK/err")"
    [[ ! -s $E2E_WORK/out ]] || fail "$what: unexpected output on stdout: $(cat "$E2E_WORK/out")"
    [[ -z $(find "$E2E_WORK" -maxdepth 1 -name 'core*') ]] || fail "$what: left a core file"
    echo "$what: status $status, $(cat "$E2E_WORK/err")"
}

# A display number with neither a socket nor a lock file has no server.
dead_display() {
    local n
    for n in $(seq 90 199); do
        if [[ ! -e /tmp/.X11-unix/X$n && ! -e /tmp/.X$n-lock ]]; then
            echo ":$n"
            return
        fi
    done
    fail "no free display number between 90 and 199"
}

# The offscreen platform with no X server anywhere: the window is shown, a new
# game starts and the timers run for a few seconds without a crash.
expect_offscreen_play() {
    local folder=$E2E_WORK/offscreen pid status=0
    e2e_make_assets "$folder"
    e2e_install_game "$folder"
    (cd "$E2E_WORK" && exec env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen \
        "$folder/sorawata" 2>"$E2E_WORK/offscreen.err") &
    pid=$!
    E2E_PIDS+=("$pid")
    sleep 3
    kill -0 "$pid" 2>/dev/null || {
        wait "$pid" || status=$?
        fail "offscreen: the game ended with status $status within 3 s: $(cat "$E2E_WORK/offscreen.err")"
    }
    echo "offscreen: still playing after 3 s"
}

# A socket file that nobody listens on any more, as a compositor that crashed leaves.
stale_socket() {
    python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$1"
}

# With a WAYLAND_DISPLAY that names no compositor beside a live X display, the
# game shows its window on X, and Qt says nothing about Wayland.
expect_x11_beside_dead_wayland() {
    local folder=$E2E_WORK/beside-x
    e2e_start_xvfb
    e2e_make_assets "$folder"
    e2e_install_game "$folder"
    WAYLAND_DISPLAY=sorawata-none e2e_launch "$folder"
    e2e_find_game_window
    ! grep -q -i -e wayland -e wl_display -e qt.qpa "$E2E_WORK/game.err" ||
        fail "dead Wayland beside X: $(cat "$E2E_WORK/game.err")"
    echo "dead Wayland beside X: the window shows on X"
}

ulimit -c unlimited 2>/dev/null || true
stale_socket "$E2E_WORK/stale-wayland"
expect_clean_refusal "DISPLAY unset" -u DISPLAY
expect_clean_refusal "DISPLAY empty" DISPLAY=
expect_clean_refusal "dead display" DISPLAY="$(dead_display)"
expect_clean_refusal "WAYLAND_DISPLAY names no socket" -u DISPLAY XDG_RUNTIME_DIR="$E2E_WORK" \
    WAYLAND_DISPLAY=sorawata-none
expect_clean_refusal "WAYLAND_DISPLAY a socket nobody listens on" -u DISPLAY \
    WAYLAND_DISPLAY="$E2E_WORK/stale-wayland"
expect_clean_refusal "Wayland asked for, no compositor" -u DISPLAY XDG_RUNTIME_DIR="$E2E_WORK" \
    QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=sorawata-none
expect_offscreen_play
expect_x11_beside_dead_wayland

e2e_pass
