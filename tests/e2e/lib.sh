# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# shellcheck shell=bash disable=SC2034 # the colours below are for the scripts
# Shared helpers for the end-to-end tests: a private X server, an optional
# window manager, asset folders made of solid colours, the game's window and
# pixel sampling on screenshots. Sourced by the test scripts, which pass the
# game executable as their first argument.
#
# Set SORAWATA_E2E_KEEP=1 to keep the work folder (screenshots, stderr logs).

set -euo pipefail

E2E_GAME=$(realpath "${1:?usage: $0 path/to/sorawata}")
# The game's lines in the English the tests expect, whatever the caller's language.
unset LANGUAGE LC_MESSAGES
export LC_ALL=C.UTF-8
E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/sorawata-e2e.XXXXXX")
E2E_PULSE_DIR=$E2E_WORK/pulse
E2E_PIDS=()
E2E_FAILED=1

# Colours of the test pictures (scenes 0-4, then the two endings) and of the layout.
E2E_SCENE_COLOURS=("255 0 0" "0 200 0" "255 255 0" "255 0 255" "120 60 0")
E2E_END0_COLOUR="0 128 128"
E2E_END1_COLOUR="128 128 255"
E2E_CYAN="0 255 255"
E2E_BLUE="0 0 255"
E2E_WHITE="255 255 255"

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
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR
    export XDG_RUNTIME_DIR=$E2E_WORK/runtime
    mkdir -m 700 "$XDG_RUNTIME_DIR"
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

e2e_window_manager_running() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# Starts openbox with its stock configuration and waits until it manages the screen.
e2e_start_openbox() {
    XDG_CONFIG_HOME=$E2E_WORK/config openbox --sm-disable >"$E2E_WORK/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait 20 e2e_window_manager_running || fail "openbox did not start: $(cat "$E2E_WORK/openbox.log")"
}

# e2e_solid_jpeg FILE "R G B": a 300x300 JPEG of one colour.
e2e_solid_jpeg() {
    local r g b
    read -r r g b <<<"$2"
    convert -size 300x300 "xc:rgb($r,$g,$b)" -quality 95 "$1"
}

# e2e_make_assets FOLDER [ENCODING]: a full asset set with solid-colour pictures,
# texts in ENCODING (default CP932) and a short silent bgm.wav.
e2e_make_assets() {
    local folder=$1 encoding=${2:-CP932} i
    mkdir -p "$folder/img"
    for i in 0 1 2 3 4; do
        e2e_solid_jpeg "$folder/img/$i.jpg" "${E2E_SCENE_COLOURS[i]}"
    done
    e2e_solid_jpeg "$folder/img/end0.jpg" "$E2E_END0_COLOUR"
    e2e_solid_jpeg "$folder/img/end1.jpg" "$E2E_END1_COLOUR"
    for i in $(seq 1 15); do printf 'ねむれない夜 その%d\r\n' "$i"; done |
        iconv -f UTF-8 -t "$encoding" >"$folder/dat.txt"
    printf '私から謝った。\r\n朝になった。\r\nおしまい。\r\n' |
        iconv -f UTF-8 -t "$encoding" >"$folder/end0.txt"
    printf '相手が先に謝ってきた。\r\nほっとした。\r\nおしまい。\r\n' |
        iconv -f UTF-8 -t "$encoding" >"$folder/end1.txt"
    sox -n -r 22050 -c 1 -b 16 "$folder/bgm.wav" trim 0 1
}

# e2e_install_game FOLDER: copies the executable and its picture decoder into FOLDER.
e2e_install_game() {
    mkdir -p "$1"
    cp "$E2E_GAME" "$1/sorawata"
    cp "$(dirname "$E2E_GAME")/sorawata-picture-decoder" "$1/"
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
    "$(dirname "${BASH_SOURCE[0]}")/titles.py" >"$E2E_WORK/titles.log" 2>"$E2E_WORK/titles.err" &
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

# e2e_screenshot NAME: grabs the whole screen into $E2E_WORK/NAME.png; prints the path.
e2e_screenshot() {
    local file=$E2E_WORK/$1.png
    import -window root "$file"
    echo "$file"
}

# e2e_pixel FILE X Y: prints "R G B" of one pixel.
e2e_pixel() {
    e2e_pixels "$1" "$2" "$3" | xargs
}

# e2e_near "R G B" "R G B" [TOLERANCE]: true when every channel is within tolerance.
e2e_near() {
    local r1 g1 b1 r2 g2 b2 tolerance=${3:-24}
    read -r r1 g1 b1 <<<"$1"
    read -r r2 g2 b2 <<<"$2"
    ((r1 - r2 <= tolerance && r2 - r1 <= tolerance)) &&
        ((g1 - g2 <= tolerance && g2 - g1 <= tolerance)) &&
        ((b1 - b2 <= tolerance && b2 - b1 <= tolerance))
}

# An awk function near(r, g, b) comparing with the variables want ("R G B") and tolerance.
E2E_AWK_NEAR='
    function off(a, b) { return a > b ? a - b : b - a }
    function near(r, g, b,    w) {
        split(want, w, " ")
        return off(r, w[1]) <= tolerance && off(g, w[2]) <= tolerance && off(b, w[3]) <= tolerance
    }'

# e2e_expect_pixel FILE X Y "R G B" WHAT: fails unless the pixel is near the colour.
e2e_expect_pixel() {
    local actual
    actual=$(e2e_pixel "$1" "$2" "$3")
    e2e_near "$actual" "$4" || fail "$5: pixel ($2,$3) is ($actual), expected about ($4) in $1"
}

# e2e_column_run FILE X Y0 Y1 "R G B": how many pixels from Y0 down to Y1-1 in
# column X have the colour before the first one that does not.
e2e_column_run() {
    convert "$1" -crop "1x$(($4 - $3))+$2+$3" -depth 8 rgb:- | od -An -v -tu1 -w3 |
        awk -v want="$5" -v tolerance=24 "$E2E_AWK_NEAR"'
            !near($1, $2, $3) { ended = 1 } !ended { count++ } END { print count + 0 }'
}

# The layout in screen pixels for a drawing area at (X, Y) of W x H: the window
# is 4.5 units across and 3 down; the picture takes units 0-2, the options 2-3
# and the three bars 3-4.5.
e2e_unit_x() { echo $((E2E_AREA_X + $1 * E2E_AREA_W / 9)); } # argument in half units

# True when the player's wish-to-apologise bar (the last column) is full.
e2e_wish_bar_full() {
    local shot filled
    shot=$(e2e_screenshot bars)
    filled=$(e2e_column_run "$shot" "$(($(e2e_unit_x 9) - 8))" "$((E2E_AREA_Y + 1))" \
        "$((E2E_AREA_Y + E2E_AREA_H - 1))" "$E2E_CYAN")
    ((filled >= E2E_AREA_H - 3))
}
e2e_unit_y() { echo $((E2E_AREA_Y + $1 * E2E_AREA_H / 6)); } # argument in half units

e2e_measure_area() {
    read -r E2E_AREA_X E2E_AREA_Y E2E_AREA_W E2E_AREA_H < <(e2e_client_geometry "$E2E_WINDOW")
}

# The middle of the scene picture and of option I's cell.
e2e_picture_centre() { echo "$(e2e_unit_x 2) $(e2e_unit_y 3)"; }
e2e_option_centre() { echo "$(e2e_unit_x 5) $(e2e_unit_y $((2 * $1 + 1)))"; }

# e2e_pixels FILE X Y [X Y]...: prints "R G B" of each pixel, one a line.
e2e_pixels() {
    local file=$1 format="" channel
    shift
    while (($# >= 2)); do
        for channel in r g b; do format+="%[fx:round(255*p{$1,$2}.$channel)] "; done
        format+=$'\n'
        shift 2
    done
    convert "$file" -format "$format" info:
}

# e2e_scene_colour FILE: prints which picture fills the scene (0-4, end0, end1)
# judged from four points away from the murmur label; false for anything else.
e2e_scene_colour() {
    local samples name colour ok rgb
    samples=$(e2e_pixels "$1" "$(e2e_unit_x 2)" "$(e2e_unit_y 3)" "$(e2e_unit_x 1)" "$(e2e_unit_y 5)" \
        "$(e2e_unit_x 3)" "$(e2e_unit_y 5)" "$(e2e_unit_x 3)" "$(e2e_unit_y 2)")
    for name in 0 1 2 3 4 end0 end1; do
        case $name in
        end0) colour=$E2E_END0_COLOUR ;;
        end1) colour=$E2E_END1_COLOUR ;;
        *) colour=${E2E_SCENE_COLOURS[name]} ;;
        esac
        ok=1
        while read -r rgb; do
            e2e_near "$rgb" "$colour" || ok=0
        done <<<"$samples"
        if ((ok)); then
            echo "$name"
            return 0
        fi
    done
    return 1
}

# e2e_click X Y: a left click at a screen point. (mousemove --sync waits for the
# pointer to move, which takes 15 s when it already stands there.)
e2e_click() {
    local X Y SCREEN WINDOW
    eval "$(xdotool getmouselocation --shell)"
    if ((X == $1 && Y == $2)); then
        xdotool click 1
    else
        xdotool mousemove --sync "$1" "$2" click 1
    fi
}

# The options whose mark shows its dark dot, e.g. "0".
e2e_marked_options() {
    local shot i dots marked=""
    shot=$(e2e_screenshot options)
    for i in 0 1 2; do
        dots=$(e2e_count_colour "$shot" "$(e2e_unit_x 4)" "$(($(e2e_unit_y $((2 * i + 1))) - 10))" 20 20 \
            "75 75 75" 40)
        ((dots >= 6)) && marked+=$i
    done
    echo "$marked"
}

e2e_marked_is() { [[ $(e2e_marked_options) == "$1" ]]; }

# e2e_choose I: clicks option I and waits until it is the marked one, so that the game has taken
# the click (and every input before it) when this returns.
e2e_choose() {
    # shellcheck disable=SC2046 # the centre is two words, X and Y
    e2e_click $(e2e_option_centre "$1")
    e2e_wait 30 e2e_marked_is "$1" || fail "option $1 is not marked after a click on it: '$(e2e_marked_options)'"
}

# e2e_long_murmur_in FILE: true when murmur-coloured text reaches past the first third of the
# scene picture: a murmur of ten or more full-width characters, never the title "Sorawata".
e2e_long_murmur_in() {
    (($(e2e_count_colour "$1" $((E2E_AREA_X + E2E_AREA_W * 4 / 27)) "$E2E_AREA_Y" \
        $((E2E_AREA_W * 8 / 27)) $((E2E_AREA_H / 6)) "100 0 0") > 20))
}

# e2e_count_colour FILE X Y W H "R G B" [TOLERANCE]: pixels of the rectangle near the colour.
e2e_count_colour() {
    convert "$1" -crop "$4x$5+$2+$3" -depth 8 rgb:- | od -An -v -tu1 -w3 |
        awk -v want="$6" -v tolerance="${7:-24}" "$E2E_AWK_NEAR"'
            near($1, $2, $3) { count++ } END { print count + 0 }'
}
