#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# A whole evening played through the real window: left alone the player gives
# in first; a click on the picture starts again; remembering leads to the
# partner's ending.
# Usage: game.sh path/to/sorawata
source "$(dirname "$0")/lib.sh"

e2e_start_xvfb
folder="$E2E_WORK/game"
e2e_make_assets "$folder"
e2e_install_game "$folder"
e2e_launch "$folder"
e2e_find_game_window
e2e_measure_area

scene_is() {
    local shot
    shot=$(e2e_screenshot scene)
    [[ $(e2e_scene_colour "$shot" || true) == "$1" ]]
}

scene_now() {
    e2e_scene_colour "$(e2e_screenshot scene)" || echo "no known picture"
}

scene_is_one_of_0_4() { [[ $(scene_now) =~ ^[0-4]$ ]]; }

# With no input, option 0 stays selected and the player's wish reaches 80 first.
started=$SECONDS
E2E_POLL=0.5 e2e_wait 120 scene_is end0 || fail "no player's ending within 120 s; the scene shows: $(scene_now)"
echo "player's ending after $((SECONDS - started)) s"

# After an ending the game is frozen. By now the partner's anger stands at its
# ceiling, so choosing option 1 (partner's sorrow climbs) is what would move
# the caption if ticks still ran; the choice itself still shows a scene. Ticks
# that must not come are given four of their intervals to show.
frozen=$(e2e_caption "$E2E_WINDOW")
e2e_is_readout "$frozen" || fail "caption at the ending is '$frozen', expected anger_sorrow_wish_"
e2e_choose 1
e2e_wait 30 scene_is_one_of_0_4 || fail "an option chosen after the ending shows $(scene_now), expected one of 0-4"
sleep 1.2
[[ $(e2e_caption "$E2E_WINDOW") == "$frozen" ]] ||
    fail "caption changed after the ending: '$frozen' became '$(e2e_caption "$E2E_WINDOW")'"

# A click on the scene picture starts a new game: ticks resume, a scene 0-4 shows.
# shellcheck disable=SC2046
e2e_click $(e2e_picture_centre)
caption_moved_on() {
    local caption
    caption=$(e2e_caption "$E2E_WINDOW")
    [[ $caption != "$frozen" ]] && e2e_is_readout "$caption"
}
e2e_wait 30 caption_moved_on ||
    fail "caption still '$(e2e_caption "$E2E_WINDOW")' after a click on the picture"
e2e_wait 30 scene_is_one_of_0_4 || fail "after a new game the scene shows $(scene_now), expected one of 0-4"

# Remembering (option 2) keeps the player's anger near 100 while the partner's
# sorrow climbs, so the partner's wish reaches 80 first. The click lands in the
# middle of the cell, right of the option's text.
e2e_choose 2
started=$SECONDS
E2E_POLL=0.5 e2e_wait 90 scene_is end1 || fail "no partner's ending within 90 s of choosing option 2; the scene shows: $(scene_now)"
echo "partner's ending after $((SECONDS - started)) s"
ending_text=$(e2e_count_colour "$(e2e_screenshot ending)" "$E2E_AREA_X" "$((E2E_AREA_Y + 5))" \
    "$((E2E_AREA_W / 3))" "$((E2E_AREA_H / 4))" "$E2E_MURMUR" 60)
((ending_text >= 20)) || fail "no ending text in RGB(100,0,0) at the top left of the picture"
caption=$(e2e_caption "$E2E_WINDOW")
[[ $caption =~ _80_$ ]] || fail "at the partner's ending the caption is '$caption', expected a wish of 80"

e2e_pass
