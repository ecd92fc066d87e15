#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT
#
# Choosing as a player does, under openbox. From start-up the keyboard is on
# the picture and Tab follows the tab positions, entering the options at the
# marked one; the arrow keys move the mark. With the mouse every click on an
# option draws a new scene, also on the option already marked, whatever came
# before it.
# Usage: choices.sh path/to/sorawata
source "$(dirname "$0")/lib.sh"

e2e_start_xvfb
e2e_start_openbox
folder=$E2E_WORK/game
e2e_make_assets "$folder"
e2e_install_game "$folder"
e2e_launch "$folder"
e2e_find_game_window
e2e_measure_area
game_is_active() { [[ $(xdotool getactivewindow 2>/dev/null) == "$E2E_WINDOW" ]]; }
e2e_wait 10 game_is_active || fail "openbox did not make the game's window active"

# The options whose mark shows its dark dot, e.g. "0".
marked_options() {
    local shot i dots marked=""
    shot=$(e2e_screenshot options)
    for i in 0 1 2; do
        dots=$(e2e_count_colour "$shot" "$(e2e_unit_x 4)" "$(($(e2e_unit_y $((2 * i + 1))) - 10))" 20 20 \
            "75 75 75" 40)
        ((dots >= 6)) && marked+=$i
    done
    echo "$marked"
}
marked_is() { [[ $(marked_options) == "$1" ]]; }

# press KEY MARKED: presses KEY, then expects option MARKED to be the marked one.
press() {
    xdotool key --clearmodifiers "$1"
    sleep 0.3
    e2e_wait 3 marked_is "$2" || fail "after $1 the marked option is '$(marked_options)', expected $2"
}

marked_is 0 || fail "at start-up the marked option is '$(marked_options)', expected 0"
press Down 0 # the focus is on the picture: the arrows move nothing
press Tab 0  # on to option 0, the marked one
press Down 1 # the mark moves with the focus
press Tab 1  # back to the picture, past the hidden picture box and the labels
press Down 1 # the arrows move nothing there
press Tab 1  # into the options again, at the marked one
press Up 0   # from option 1 up to option 0
echo "keyboard: picture, Tab to option 0, Down to 1, Tab to the picture, Tab to 1, Up to 0"

scene_now() { e2e_scene_colour "$(e2e_screenshot scene)" || echo "none"; }
# click_and_look X Y: clicks, then prints the scene once it has been drawn.
click_and_look() {
    e2e_click "$1" "$2"
    sleep 0.3
    scene_now
}

# Option 1, the picture (a new game marks option 0), then option 0: the last
# click draws anew. A draw may give the same scene again (1 in 5), so the
# history is played until the scene changes, eight times at most.
# shellcheck disable=SC2046 # the centres are two words, X and Y
for round in $(seq 8); do
    click_and_look $(e2e_option_centre 1) >/dev/null
    before=$(click_and_look $(e2e_picture_centre))
    after=$(click_and_look $(e2e_option_centre 0))
    [[ $after != "$before" ]] && break
    ((round < 8)) || fail "option 1, the picture, option 0: eight times the scene stayed $before"
done
echo "history: option 1, picture, option 0 changed the scene in round $round ($before to $after)"

# Ten clicks on the marked option: each draws, so the scene changes at least once.
scenes=$after
# shellcheck disable=SC2046
for _ in $(seq 10); do
    scenes+=" $(click_and_look $(e2e_option_centre 0))"
done
read -r -a seen <<<"$scenes"
changes=0
for ((i = 1; i < ${#seen[@]}; i++)); do
    [[ ${seen[i]} != "${seen[i - 1]}" ]] && changes=$((changes + 1))
done
((changes >= 1)) || fail "ten clicks on the marked option 0 never changed the scene: $scenes"
echo "ten clicks on option 0: $scenes ($changes changes)"

e2e_pass
