#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# The game window as the player first meets it: caption, outer size, window
# manager hints, what is drawn where, and closing it.
# Usage: window.sh path/to/sorawata [bare|openbox]
source "$(dirname "$0")/lib.sh"

mode=${2:-bare}
e2e_start_xvfb
if [[ $mode == openbox ]]; then e2e_start_openbox; fi

# Every window mapped on the screen, the game's or its frame, is watched from
# before the game starts: once mapped it must keep its place and size.
xev -root -event substructure -event property >"$E2E_WORK/xev.log" &
E2E_PIDS+=($!)
xev_listens() {
    xprop -root -f _SORAWATA_PROBE 8s -set _SORAWATA_PROBE 1
    grep -q PropertyNotify "$E2E_WORK/xev.log"
}
e2e_wait 30 xev_listens || fail "xev does not report the root window's events"
e2e_record_titles

# A folder name with a space and Japanese characters must not matter.
folder="$E2E_WORK/夜 の 部屋"
e2e_make_assets "$folder"
e2e_install_game "$folder"
e2e_launch "$folder"
e2e_find_game_window

# The caption is the title from the moment the window shows until the first thinking tick,
# then the partner's moods.
readout_recorded() { e2e_shown_titles | grep -q -E '^[0-9]+_[0-9]+_[0-9]+_$'; }
e2e_wait 30 readout_recorded ||
    fail "no anger_sorrow_wish_ caption after the first tick; captions shown: $(e2e_shown_titles | xargs)"
before_tick=$(e2e_shown_titles | sed -E '/^[0-9]+_[0-9]+_[0-9]+_$/,$d' | sort -u)
[[ $before_tick == Sorawata ]] ||
    fail "until the first tick the caption was '$before_tick', expected only 'Sorawata'"
e2e_caption_is_readout || fail "_NET_WM_NAME is '$(e2e_caption "$E2E_WINDOW")', expected anger_sorrow_wish_"
legacy_is_readout() { e2e_is_readout "$(e2e_legacy_caption "$E2E_WINDOW")"; }
e2e_wait 30 legacy_is_readout ||
    fail "WM_NAME is '$(e2e_legacy_caption "$E2E_WINDOW")', expected anger_sorrow_wish_"

# On a 1024x768 screen at 96 dpi the window is 768x341 pixels including any frame.
outer_size() {
    local extents left=0 right=0 top=0 bottom=0
    extents=$(xprop -id "$E2E_WINDOW" -notype _NET_FRAME_EXTENTS |
        sed -n 's/^_NET_FRAME_EXTENTS = //p' | tr -d ,)
    if [[ -n $extents ]]; then read -r left right top bottom <<<"$extents"; fi
    e2e_measure_area
    echo "$((E2E_AREA_W + left + right))x$((E2E_AREA_H + top + bottom))"
}
has_frame_extents() {
    xprop -id "$E2E_WINDOW" _NET_FRAME_EXTENTS | grep -q =
}
outer_size_is_768x341() { [[ $(outer_size) == 768x341 ]]; }
if [[ $mode == openbox ]]; then
    e2e_wait 30 has_frame_extents || fail "openbox set no _NET_FRAME_EXTENTS"
fi
e2e_wait 30 outer_size_is_768x341 || fail "outer size is $(outer_size), expected 768x341"
e2e_measure_area

# Fixed size: the minimum and maximum size hints equal the drawing area.
hints=$(xprop -id "$E2E_WINDOW" WM_NORMAL_HINTS)
grep -q "program specified minimum size: $E2E_AREA_W by $E2E_AREA_H" <<<"$hints" ||
    fail "minimum size hint is not ${E2E_AREA_W}x$E2E_AREA_H: $hints"
grep -q "program specified maximum size: $E2E_AREA_W by $E2E_AREA_H" <<<"$hints" ||
    fail "maximum size hint is not ${E2E_AREA_W}x$E2E_AREA_H: $hints"

# Motif hints: functions given, with close and without minimise or maximise.
motif=$(xprop -id "$E2E_WINDOW" -notype _MOTIF_WM_HINTS | sed -n 's/^_MOTIF_WM_HINTS = //p' | tr -d ,)
read -r flags functions decorations _ <<<"$motif" || fail "no _MOTIF_WM_HINTS on the window"
((flags & 1)) || fail "_MOTIF_WM_HINTS gives no functions ($motif)"
((!(functions & (1 | 8 | 16)))) || fail "_MOTIF_WM_HINTS functions allow minimise or maximise ($motif)"
((functions & 32)) || fail "_MOTIF_WM_HINTS functions lack close ($motif)"
if ((flags & 2)); then
    ((!(decorations & (1 | 32 | 64)))) || fail "_MOTIF_WM_HINTS decorations show minimise or maximise ($motif)"
fi

# No taskbar entry.
xprop -id "$E2E_WINDOW" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR ||
    fail "_NET_WM_STATE lacks _NET_WM_STATE_SKIP_TASKBAR: $(xprop -id "$E2E_WINDOW" _NET_WM_STATE)"

# Under a window manager: what it concluded from those hints. (Openbox never lets
# Motif hints remove its minimise button, so only maximise and resize are checked.)
if [[ $mode == openbox ]]; then
    actions=$(xprop -id "$E2E_WINDOW" _NET_WM_ALLOWED_ACTIONS)
    grep -q _NET_WM_ACTION_CLOSE <<<"$actions" || fail "openbox offers no close: $actions"
    if grep -q -E '_NET_WM_ACTION_(MAXIMIZE|RESIZE)' <<<"$actions"; then
        fail "openbox offers maximise or resize: $actions"
    fi
fi

# The layout on screen: scene picture on the left 2 of 4.5 units, the option
# column from 2 to 3 on white, the three bar frames from 3 to 4.5.
e2e_measure_area
scene_shown() {
    shot=$(e2e_screenshot "$mode-first")
    scene=$(e2e_scene_colour "$shot")
}
e2e_wait 30 scene_shown || fail "the scene picture area shows none of the pictures ($shot)"
[[ $scene =~ ^[0-4]$ ]] || fail "the first scene is '$scene', expected one of 0-4"
# The picture is stretched over the whole area: near its corners too.
for point in "$((E2E_AREA_X + 2)) $((E2E_AREA_Y + E2E_AREA_H - 3))" \
    "$(($(e2e_unit_x 4) - 3)) $((E2E_AREA_Y + E2E_AREA_H - 3))" "$(($(e2e_unit_x 4) - 3)) $((E2E_AREA_Y + 2))"; do
    # shellcheck disable=SC2086
    e2e_expect_pixel "$shot" $point "${E2E_SCENE_COLOURS[scene]}" "scene picture corner"
done

option_left=$(e2e_unit_x 4)
option_width=$(($(e2e_unit_x 6) - option_left))
row_height=$((E2E_AREA_H / 3))
for i in 0 1 2; do
    row_top=$((E2E_AREA_Y + i * E2E_AREA_H / 3))
    e2e_expect_pixel "$shot" "$(e2e_unit_x 5)" "$((row_top + 3))" "$E2E_WHITE" "option $i cell top"
    e2e_expect_pixel "$shot" "$(($(e2e_unit_x 6) - 4))" "$((row_top + row_height / 2))" "$E2E_WHITE" \
        "option $i cell right end"
    text=$(e2e_count_colour "$shot" "$option_left" "$((row_top + row_height / 3))" \
        "$option_width" "$((row_height / 3))" "$E2E_OPTION_TEXT" 40)
    ((text >= 10)) || fail "option $i shows no text in RGB(0,100,255) in the middle of its cell ($shot)"
done

# Frame outlines: blue at each column's left edge, the right edge and the bottom.
bottom=$((E2E_AREA_Y + E2E_AREA_H - 1))
near_bottom=$(e2e_unit_y 5)
for edge in "$(e2e_unit_x 6)" "$(e2e_unit_x 7)" "$(e2e_unit_x 8)" "$((E2E_AREA_X + E2E_AREA_W - 2))"; do
    blue=$(e2e_count_colour "$shot" "$((edge - 1))" "$near_bottom" 3 1 "$E2E_BLUE" 0)
    ((blue >= 1)) || fail "no blue bar outline near x=$edge ($shot)"
done
for j in 0 1 2; do
    middle=$(($(e2e_unit_x $((6 + j))) + E2E_AREA_W / 18))
    e2e_expect_pixel "$shot" "$middle" "$bottom" "$E2E_BLUE" "bottom outline of bar $j"
    label=$(e2e_count_colour "$shot" "$(($(e2e_unit_x $((6 + j))) + 2))" "$((E2E_AREA_Y + 1))" \
        "$((E2E_AREA_W / 9 - 4))" 17 "$E2E_BLUE" 60)
    ((label >= 5)) || fail "bar $j has no blue label at its top ($shot)"
done

# The player's anger and sorrow fill their bars in cyan from the top down, more over time.
fill_height() {
    local column=$1 file=$2
    e2e_column_run "$file" "$(($(e2e_unit_x $((7 + column))) - 8))" "$((E2E_AREA_Y + 1))" \
        "$((E2E_AREA_Y + E2E_AREA_H - 1))" "$E2E_CYAN"
}
filled_before=$(($(fill_height 0 "$shot") + $(fill_height 1 "$shot")))
bars_grew() {
    later=$(e2e_screenshot "$mode-later")
    filled_after=$(($(fill_height 0 "$later") + $(fill_height 1 "$later")))
    ((filled_after > filled_before))
}
e2e_wait 30 bars_grew ||
    fail "the anger and sorrow bars did not grow: $filled_before then $filled_after pixels ($later)"
((filled_after < E2E_AREA_H)) || fail "bars overfilled: $filled_after pixels ($later)"

# The window was mapped once, at its final size and place: no window changed
# its geometry after it was mapped.
changes=$(awk '
    /^(ConfigureNotify|MapNotify) event/ { kind = $1; details = 1; next }
    details {
        details = 0
        match($0, /window 0x[0-9a-f]+/)
        window = substr($0, RSTART + 7, RLENGTH - 7)
        if (kind == "MapNotify") { mapped[window] = 1; next }
        match($0, /\(-?[0-9]+,-?[0-9]+\), width [0-9]+, height [0-9]+/)
        geometry = substr($0, RSTART, RLENGTH)
        if (mapped[window] && geometry != last[window]) print window ": " last[window] " then " geometry
        last[window] = geometry
    }' "$E2E_WORK/xev.log")
[[ -z $changes ]] || fail "windows changed their geometry after they were mapped: $changes"

# Closing the window ends the program.
if [[ $mode == openbox ]]; then
    xdotool windowactivate --sync "$E2E_WINDOW"
    xdotool key --clearmodifiers alt+F4
    e2e_wait 30 eval '! e2e_game_running' || fail "the game still runs after its window was closed"
    status=0
    wait "$E2E_GAME_PID" || status=$?
    ((status == 0)) || fail "the game ended with status $status after its window was closed"
fi

echo "$mode: scene $scene, anger+sorrow bars $filled_before -> $filled_after px"
e2e_pass
