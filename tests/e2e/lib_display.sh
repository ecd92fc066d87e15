# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# shellcheck shell=bash
# The end-to-end tests' display (sourced by lib.sh): a private X server, openbox, the game's
# window and its captions, and clicks.

# Starts Xvfb on a free display (1024x768 unless SIZE is given, 96 dpi) and exports DISPLAY.
# -noreset: by default the server resets when its last client goes, and drops a client that
# connects meanwhile; a game started right after the previous one closed then finds no display.
#   usage: e2e_start_xvfb [SIZE]
e2e_start_xvfb() {
    local numberFile=$E2E_WORK/display
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -dpi 96 -nolisten tcp -noreset 3>"$numberFile" \
        2>"$E2E_WORK/xvfb.log" &
    E2E_PIDS+=($!)
    e2e_wait 20 grep -q '^[0-9]\+$' "$numberFile" || fail "Xvfb did not start: $(cat "$E2E_WORK/xvfb.log")"
    DISPLAY=":$(cat "$numberFile")"
    export DISPLAY
}

e2e_window_manager_running() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# Starts openbox with its stock configuration and waits until it manages the screen.
e2e_start_openbox() {
    XDG_CONFIG_HOME=$E2E_WORK/config openbox --sm-disable >"$E2E_WORK/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait 20 e2e_window_manager_running || fail "openbox did not start: $(cat "$E2E_WORK/openbox.log")"
}

e2e_find_visible_window() {
    E2E_WINDOW=$(xdotool search --onlyvisible --pid "$E2E_GAME_PID" 2>/dev/null | head -n1)
    [[ -n $E2E_WINDOW ]]
}

# Waits for the game's top-level window to be mapped; sets E2E_WINDOW.
e2e_find_game_window() {
    e2e_wait 30 e2e_find_visible_window || fail "no game window appeared; stderr: $(cat "$E2E_WORK/game.err")"
}

# Records from now on every caption any window is given and every window mapped, in the order the
# X server gets them, into $E2E_WORK/titles.log (see titles.py).
e2e_record_titles() {
    "$E2E_LIB/titles.py" >"$E2E_WORK/titles.log" 2>"$E2E_WORK/titles.err" &
    E2E_PIDS+=($!)
    e2e_wait 20 grep -q '^recording$' "$E2E_WORK/titles.log" ||
        fail "cannot record the X server's requests: $(cat "$E2E_WORK/titles.err")"
}

# The captions of the game's window as shown, one a line: the one it had when it was mapped,
# then every one it was given after.
e2e_shown_titles() {
    awk -v window="$E2E_WINDOW" '
        $2 != window { next }
        $1 == "title" { title = substr($0, length($1) + length($2) + 3); if (mapped) print title }
        $1 == "map" && !mapped { mapped = 1; print title }' "$E2E_WORK/titles.log"
}

# e2e_caption WINDOW: the caption a window manager shows (_NET_WM_NAME, UTF-8).
e2e_caption() {
    xprop -id "$1" -notype _NET_WM_NAME | sed -n 's/^_NET_WM_NAME = "\(.*\)"$/\1/p'
}

# e2e_legacy_caption WINDOW: the plain WM_NAME, for window managers without EWMH.
e2e_legacy_caption() {
    xprop -id "$1" -notype WM_NAME | sed -n 's/^WM_NAME = "\(.*\)"$/\1/p'
}

e2e_is_readout() {
    [[ $1 =~ ^[0-9]+_[0-9]+_[0-9]+_$ ]]
}

e2e_caption_is_readout() {
    e2e_is_readout "$(e2e_caption "$E2E_WINDOW")"
}

# e2e_client_geometry WINDOW: prints "X Y WIDTH HEIGHT" of the drawing area on the root.
e2e_client_geometry() {
    xwininfo -id "$1" | awk '
        /Absolute upper-left X:/ { x = $NF }
        /Absolute upper-left Y:/ { y = $NF }
        /^ *Width:/ { w = $NF }
        /^ *Height:/ { h = $NF }
        END { print x, y, w, h }'
}

# e2e_click X Y: a left click at a screen point. (mousemove --sync waits for the
# pointer to move, which takes 15 s when it already stands there.)
e2e_click() {
    # shellcheck disable=SC2034 # SCREEN and WINDOW come with the location
    local X Y SCREEN WINDOW
    eval "$(xdotool getmouselocation --shell)"
    if ((X == $1 && Y == $2)); then
        xdotool click 1
    else
        xdotool mousemove --sync "$1" "$2" click 1
    fi
}

# e2e_choose I: clicks option I and waits until it is the marked one, so that the game has taken
# the click (and every input before it) when this returns.
e2e_choose() {
    # shellcheck disable=SC2046 # the centre is two words, X and Y
    e2e_click $(e2e_option_centre "$1")
    e2e_wait 30 e2e_marked_is "$1" || fail "option $1 is not marked after a click on it: '$(e2e_marked_options)'"
}
