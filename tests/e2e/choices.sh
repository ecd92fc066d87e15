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
e2e_wait 30 game_is_active || fail "openbox did not make the game's window active"

# press KEY MARKED: presses KEY and waits until option MARKED is the marked one. A key that must
# move nothing passes at once; the keys after it show whether it did, as the game takes keys in
# order.
press() {
    xdotool key --clearmodifiers "$1"
    e2e_wait 30 e2e_marked_is "$2" || fail "after $1 the marked option is '$(e2e_marked_options)', expected $2"
}

e2e_wait 30 e2e_marked_is 0 || fail "at start-up the marked option is '$(e2e_marked_options)', expected 0"
press Down 0 # the focus is on the picture: the arrows move nothing
press Tab 0  # on to option 0, the marked one
press Down 1 # the mark moves with the focus
press Tab 1  # back to the picture, past the hidden picture box and the labels
press Down 1 # the arrows move nothing there
press Tab 1  # into the options again, at the marked one
press Up 0   # from option 1 up to option 0
echo "keyboard: picture, Tab to option 0, Down to 1, Tab to the picture, Tab to 1, Up to 0"

# Sets scene to the picture on screen (0-4, end0, end1); false while none of them shows whole.
scene_shown() { scene=$(e2e_scene_colour "$(e2e_screenshot scene)"); }
scene_other_than() { scene_shown && [[ $scene != "$1" ]]; }

# Option 1, the picture (a new game marks option 0), then option 0: the last click draws anew.
# A draw may give the same scene again (1 in 5), so the history is played until the scene
# changes, eight times at most.
# shellcheck disable=SC2046 # the centres are two words, X and Y
for round in $(seq 8); do
    e2e_choose 1
    e2e_click $(e2e_picture_centre)
    e2e_wait 30 e2e_marked_is 0 || fail "a click on the picture marked '$(e2e_marked_options)', expected 0"
    e2e_wait 30 scene_shown || fail "no scene shows after a new game"
    before=$scene
    e2e_click $(e2e_option_centre 0)
    e2e_wait 5 scene_other_than "$before" && break
    ((round < 8)) || fail "option 1, the picture, option 0: eight times the scene stayed $before"
done
after=$scene
echo "history: option 1, picture, option 0 changed the scene in round $round ($before to $after)"

# Every click on the marked option draws, so within ten clicks the scene changes.
# shellcheck disable=SC2046
for click in $(seq 10); do
    e2e_click $(e2e_option_centre 0)
    e2e_wait 5 scene_other_than "$after" && break
    ((click < 10)) || fail "ten clicks on the marked option 0 never changed the scene from $after"
done
echo "clicks on the marked option 0: the scene changed at click $click ($after to $scene)"

e2e_pass
