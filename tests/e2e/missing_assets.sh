#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# With none of its files beside it the game still comes up and plays to an
# ending, and says once per file what is missing instead of once per tick.
# Usage: missing_assets.sh path/to/sorawata
source "$(dirname "$0")/lib.sh"

e2e_start_xvfb
folder="$E2E_WORK/empty"
e2e_install_game "$folder"
e2e_launch "$folder"
e2e_find_game_window
e2e_measure_area

e2e_wait 30 e2e_caption_is_readout ||
    fail "caption is '$(e2e_caption "$E2E_WINDOW")', expected anger_sorrow_wish_ after the first tick"

# Every option shows a (missing) picture; a few clicks try several of them. Once the last one is
# taken, play goes on for three seconds, in which nothing more may be reported; the caption moves.
for i in 0 1 2 0; do
    e2e_choose "$i"
done
first_caption=$(e2e_caption "$E2E_WINDOW")
lines_then=$(wc -l <"$E2E_WORK/game.err")
sleep 3
caption_moved() { [[ $(e2e_caption "$E2E_WINDOW") != "$first_caption" ]]; }
e2e_wait 30 caption_moved || fail "the caption did not change while playing"
lines_now=$(wc -l <"$E2E_WORK/game.err")
((lines_now == lines_then)) ||
    fail "stderr grew from $lines_then to $lines_now lines during play: $(cat "$E2E_WORK/game.err")"

# mentions NAME: how many stderr lines name the asset file.
mentions() {
    grep -c -F "$folder/$1" "$E2E_WORK/game.err" || true
}
expect_named_at_most_once() {
    local name
    for name in "$@"; do
        (($(mentions "$name") <= 1)) || fail "$name is named more than once on stderr: $(cat "$E2E_WORK/game.err")"
    done
}
(($(mentions dat.txt) == 1)) || fail "dat.txt is not named exactly once on stderr: $(cat "$E2E_WORK/game.err")"
expect_named_at_most_once bgm.wav img/0.jpg img/1.jpg img/2.jpg img/3.jpg img/4.jpg

# The player's ending is reached without its picture and text: the wish bar is
# full, and an option chosen afterwards no longer moves the partner's moods.
E2E_POLL=0.5 e2e_wait 120 e2e_wish_bar_full || fail "the player's wish bar did not fill within 120 s"
e2e_game_running || fail "the game ended at the player's ending"
e2e_choose 1
frozen=$(e2e_caption "$E2E_WINDOW")
sleep 1.2 # four tick intervals, for ticks that must not come
[[ $(e2e_caption "$E2E_WINDOW") == "$frozen" ]] ||
    fail "the partner's moods still change after the ending: '$frozen' became '$(e2e_caption "$E2E_WINDOW")'"
(($(mentions end0.txt) == 1)) || fail "end0.txt is not named exactly once on stderr: $(cat "$E2E_WORK/game.err")"
expect_named_at_most_once img/end0.jpg img/0.jpg img/1.jpg img/2.jpg img/3.jpg img/4.jpg bgm.wav
e2e_game_running || fail "the game ended after an option was chosen at the ending"

echo "stderr:"
cat "$E2E_WORK/game.err"
e2e_pass
