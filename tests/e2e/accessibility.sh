#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT
#
# The game as a screen reader reads it over AT-SPI, under openbox: the tree of roles and names,
# the bars, the partner's readout and the murmurs following play without a word announced, the
# player's ending with the wish to apologise at 80; then the picture's press action and the Space
# key on the focused picture each start a new game, and Alt+F4 ends it cleanly. Runs on its own
# D-Bus session with its own accessibility bus.
# Usage: accessibility.sh path/to/sorawata
E2E_SESSION_BUS=1
source "$(dirname "$0")/lib.sh"
atspi=$(dirname "$0")/atspi.py

e2e_start_xvfb
e2e_start_openbox
folder=$E2E_WORK/game
e2e_make_assets "$folder"
e2e_install_game "$folder"
# Qt joins the accessibility bus only if it is there when the game starts.
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null ||
    fail "no accessibility bus"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
e2e_launch "$folder"
e2e_find_game_window

tree_now() { "$atspi" tree 2>"$E2E_WORK/atspi.err"; }
on_the_bus() { [[ $(tree_now) == *"label '相手 "* ]]; } # named from the first tick on
E2E_POLL=0.5 e2e_wait 30 on_the_bus || fail "the game is not on the accessibility bus: $(cat "$E2E_WORK/atspi.err")"

# The roles, names and actions; captions, murmurs and numbers change with play.
tree_now >"$E2E_WORK/tree-play.txt"
sed -E -e "s/^(  frame )'[^']*'/\1'CAPTION'/" -e "s/^(      label )'[^']*'/\1'TEXT'/" \
    -e 's/ [0-9]+ \/ / N \/ /g' "$E2E_WORK/tree-play.txt" >"$E2E_WORK/tree-shape.txt"
diff -u - "$E2E_WORK/tree-shape.txt" <<'EOF' || fail "the tree is not the expected one (above)"
application 'sorawata' [showing]
  frame 'CAPTION' [showing]
    push button '場面' actions=Press,SetFocus [showing focusable focused]
    notification '' [showing]
      label 'TEXT' [showing]
    panel '考え方' [showing]
      radio button '自分のことを考える' actions=Toggle,SetFocus [showing focusable checked]
      radio button '相手のことを考える' actions=Toggle,SetFocus [showing focusable]
      radio button '思い出す' actions=Toggle,SetFocus [showing focusable]
    label '怒 N / 200' [showing]
    label '哀 N / 200' [showing]
    label '謝りたい N / 80' [showing]
    label '相手 怒 N / 200 哀 N / 200 謝りたい N / 80' [showing]
EOF

# The frame is named by the caption the window manager shows, and the readout reads its numbers.
caption_is_the_name() {
    local tree caption
    tree=$(tree_now)
    caption=$(e2e_caption "$E2E_WINDOW")
    [[ $(sed -n "s/^  frame '\(.*\)' .*/\1/p" <<<"$tree") == "$caption" &&
        $(sed -En "s/^    label '相手 怒 ([0-9]+) \/ 200 哀 ([0-9]+) \/ 200 謝りたい ([0-9]+) \/ 80'.*/\1_\2_\3_/p" \
            <<<"$tree") == "$caption" ]]
}
E2E_POLL=0.5 e2e_wait 30 caption_is_the_name || fail "the frame's name or the readout is not the caption '$(e2e_caption "$E2E_WINDOW")'"

# Play as a screen reader hears it, until two murmurs have been named and the anger bar has moved
# three times: nothing announced; the murmur label names lines of dat.txt and the bars their
# values, within their range.
"$atspi" listen 120 >"$E2E_WORK/heard.txt" 2>"$E2E_WORK/listen.err" &
listener=$!
E2E_PIDS+=("$listener")
murmurs_heard() { grep -c "^name label 'ねむれない夜 その\([1-9]\|1[0-5]\)'$" "$E2E_WORK/heard.txt" || true; }
anger_moves_heard() { grep -c "^name label '怒 [0-9]* / 200'$" "$E2E_WORK/heard.txt" || true; }
heard_enough() { (($(murmurs_heard) >= 2 && $(anger_moves_heard) >= 3)); }
E2E_POLL=0.2 e2e_wait 60 heard_enough ||
    fail "$(murmurs_heard) murmurs and $(anger_moves_heard) anger values heard: $(cat "$E2E_WORK/heard.txt" "$E2E_WORK/listen.err")"
kill "$listener"
wait "$listener" 2>/dev/null || true
grep -q '^announce' "$E2E_WORK/heard.txt" && fail "something announced: $(cat "$E2E_WORK/heard.txt")"
sed -n "s/^name label '怒 \([0-9]*\) \/ 200'$/\1/p" "$E2E_WORK/heard.txt" |
    awk '$1 < 0 || $1 > 200 { bad = 1 } END { exit bad }' ||
    fail "the anger bar named a value out of range: $(cat "$E2E_WORK/heard.txt")"

# Left alone, the player gives in first: the wish bar reads 80 and the ending's three lines are
# read out below an empty first line.
ending='\n私から謝った。\n朝になった。\nおしまい。'
at_the_ending() { [[ $("$atspi" value 謝りたい) == 80 && $("$atspi" say) == "$ending" ]]; }
started=$SECONDS
E2E_POLL=0.5 e2e_wait 120 at_the_ending ||
    fail "no player's ending read out within 120 s: wish $("$atspi" value 謝りたい), text '$("$atspi" say)'"
echo "player's ending after $((SECONDS - started)) s"
tree_now >"$E2E_WORK/tree-ending.txt"

# new_game_after WHAT: the ending gives way to a new game: the wish bar empties, the title and
# then murmurs replace the ending text.
new_game_after() {
    playing() { [[ $("$atspi" value 謝りたい) != 80 && $("$atspi" say) =~ ^ねむれない夜 ]]; }
    E2E_POLL=0.5 e2e_wait 30 playing || fail "no new game after $1: wish $("$atspi" value 謝りたい), text '$("$atspi" say)'"
}

"$atspi" press 場面 || fail "the picture could not be pressed"
new_game_after "the picture's press action"

# The keyboard focus stays on the picture, where it started: Space there starts a new game.
E2E_POLL=0.5 e2e_wait 120 at_the_ending || fail "no second ending within 120 s"
tree=$(tree_now)
grep -q "^    push button '場面' .*focused" <<<"$tree" || fail "the focus is not on the picture: $tree"
xdotool key --clearmodifiers space
new_game_after "Space on the picture"

# Closing the window with the keyboard ends the game cleanly, the screen reader still attached.
xdotool key --clearmodifiers alt+F4
e2e_wait 30 eval '! e2e_game_running' || fail "the game is still running after Alt+F4"
status=0
wait "$E2E_GAME_PID" || status=$?
((status == 0)) || fail "the game ended with status $status: $(cat "$E2E_WORK/game.err")"

e2e_pass
