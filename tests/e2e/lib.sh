# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# shellcheck shell=bash disable=SC2034 # E2E_GAME and the like are for the scripts
# The end-to-end tests' own session, sourced by every test script, which passes the game
# executable as its first argument: an environment that owes nothing to the caller's shell, a work
# folder, waiting, failing, the game's process and a private sound server. The rest lies beside:
#   lib_display.sh  a private X server, openbox, the game's window, its captions, clicks
#   lib_assets.sh   asset folders of solid-colour pictures, the game installed beside them
#   lib_pixels.sh   the layout on screen, screenshots and their colours (../colours.h)
# A script that sets E2E_SESSION_BUS=1 before sourcing runs on a D-Bus session of its own; one
# that sets E2E_OWN_PROCESSES=1 also where it sees no process of the caller's (see below).
#
# Set SORAWATA_E2E_KEEP=1 to keep the work folder (screenshots, stderr logs).

set -euo pipefail

# Nothing of the caller's session reaches the test, whether set, empty or unset: no display, no
# session or accessibility bus, no runtime folder, no sound server, no Qt platform of theirs.
e2e_forget_callers_session() {
    unset DISPLAY WAYLAND_DISPLAY XAUTHORITY DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS \
        SESSION_MANAGER XDG_SESSION_TYPE PULSE_SERVER PULSE_RUNTIME_PATH PULSE_STATE_PATH \
        PULSE_COOKIE PULSE_SINK PULSE_SOURCE PULSE_PROP PIPEWIRE_REMOTE PIPEWIRE_RUNTIME_DIR \
        QT_QPA_PLATFORM QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_SCALE_FACTOR
    export XDG_RUNTIME_DIR=$E2E_WORK/runtime
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    # No sound server is started behind the test's back, nor looked up in the caller's home.
    export PULSE_CLIENTCONFIG=$E2E_WORK/pulse-client.conf
    echo "autospawn = no" >"$PULSE_CLIENTCONFIG"
}

# Orca will not start while another Orca of the same user runs; the caller's own screen reader
# must be neither seen nor replaced. Runs "$@" in a process namespace of its own, or, where none
# can be had and an Orca of the user's runs, skips the test saying why.
e2e_without_callers_processes() {
    if unshare --pid --fork --mount-proc true 2>/dev/null; then
        unshare --pid --fork --mount-proc "$@"
    elif unshare --map-current-user --pid --fork --mount-proc true 2>/dev/null; then
        unshare --map-current-user --pid --fork --mount-proc "$@"
    elif pgrep -u "$(id -u)" -x orca >/dev/null; then
        echo "SKIP: an Orca of this user runs, and no process namespace of the test's own can be had"
        return 77
    else
        "$@"
    fi
}

# The outermost shell makes the work folder and the session; the script started again in its
# private bus or namespace (SORAWATA_E2E_SESSION set) takes them over.
if [[ -z ${SORAWATA_E2E_SESSION:-} ]]; then
    E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/sorawata-e2e.XXXXXX")
    e2e_forget_callers_session
    if [[ ${E2E_SESSION_BUS:-0} == 1 ]]; then
        session=(env SORAWATA_E2E_SESSION="$E2E_WORK" dbus-run-session -- "$0" "$@")
        status=0
        if [[ ${E2E_OWN_PROCESSES:-0} == 1 ]]; then
            e2e_without_callers_processes "${session[@]}" || status=$?
        else
            "${session[@]}" || status=$?
        fi
        ((status == 0 || status == 77)) && [[ ${SORAWATA_E2E_KEEP:-0} != 1 ]] && rm -rf "$E2E_WORK"
        exit "$status"
    fi
else
    E2E_WORK=$SORAWATA_E2E_SESSION
fi

E2E_GAME=$(realpath "${1:?usage: $0 path/to/sorawata}")
# The game's lines in the English the tests expect, whatever the caller's language.
unset LANGUAGE LC_MESSAGES
export LC_ALL=C.UTF-8
E2E_PULSE_DIR=$E2E_WORK/pulse
E2E_PIDS=()
E2E_FAILED=1

e2e_cleanup() {
    local i
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        kill "${E2E_PIDS[i]}" 2>/dev/null || true
    done
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        wait "${E2E_PIDS[i]}" 2>/dev/null || true
    done
    if [[ $E2E_FAILED == 0 && ${SORAWATA_E2E_KEEP:-0} != 1 ]]; then
        rm -rf "$E2E_WORK"
    else
        echo "work folder kept: $E2E_WORK" >&2
    fi
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Call at the end of a script that got there: removes the work folder.
e2e_pass() {
    E2E_FAILED=0
    echo "PASS: $(basename "$0")"
}

# e2e_wait SECONDS COMMAND...: polls COMMAND every E2E_POLL seconds (default
# 0.05) until it succeeds; false if it has not within SECONDS.
e2e_wait() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep "${E2E_POLL:-0.05}"
    done
}

# e2e_launch FOLDER: starts FOLDER/sorawata from another working folder, stderr
# into $E2E_WORK/game.err; sets E2E_GAME_PID.
e2e_launch() {
    (cd "$E2E_WORK" && exec "$1/sorawata" 2>"$E2E_WORK/game.err") &
    E2E_GAME_PID=$!
    E2E_PIDS+=("$E2E_GAME_PID")
}

e2e_game_running() {
    kill -0 "$E2E_GAME_PID" 2>/dev/null
}

# Starts a private PulseAudio server with a null sink named NAME and points
# the game at it, so that music plays without a sound card. After
# e2e_stop_null_sink it starts again at the same socket, as a desktop's sound
# server restarts.
e2e_start_null_sink() {
    [[ -d $E2E_PULSE_DIR ]] || mkdir -m 700 "$E2E_PULSE_DIR"
    rm -f "$E2E_PULSE_DIR/native" # left behind by a killed server
    XDG_RUNTIME_DIR=$E2E_PULSE_DIR HOME=$E2E_PULSE_DIR pulseaudio --daemonize=no --exit-idle-time=-1 \
        --system=false -n --use-pid-file=false --log-level=0 -L "module-null-sink sink_name=$1" \
        -L "module-native-protocol-unix auth-anonymous=1 socket=$E2E_PULSE_DIR/native" \
        >>"$E2E_WORK/pulse.log" 2>&1 &
    E2E_PULSE_PID=$!
    E2E_PIDS+=($!)
    e2e_wait 30 test -S "$E2E_PULSE_DIR/native" || fail "PulseAudio did not start: $(cat "$E2E_WORK/pulse.log")"
    e2e_use_null_sink
}

# Points the game at the private server's socket, whether or not it runs.
e2e_use_null_sink() {
    export PULSE_SERVER=unix:$E2E_PULSE_DIR/native
}

# Kills the private server as a crash would.
e2e_stop_null_sink() {
    kill -KILL "$E2E_PULSE_PID"
    wait "$E2E_PULSE_PID" 2>/dev/null || true
}

E2E_LIB=$(dirname "${BASH_SOURCE[0]}")
source "$E2E_LIB/lib_display.sh"
source "$E2E_LIB/lib_assets.sh"
source "$E2E_LIB/lib_pixels.sh"
