#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT
#
# The game played by ear with Orca, under openbox, on its own D-Bus session with its own
# accessibility bus, where no Orca of the caller's is seen: Orca speaks through speech-dispatcher to
# a silent voice that writes down each text it is given and takes as long as a voice would. A night left alone to its ending, then a
# night by keyboard alone: what reaches the voice, and how soon after what the player did or saw.
# Usage: screen_reader.sh path/to/sorawata
E2E_SESSION_BUS=1 E2E_OWN_PROCESSES=1
source "$(dirname "$0")/lib.sh"
here=$(realpath "$(dirname "$0")")

e2e_start_xvfb
e2e_start_openbox
export XDG_CONFIG_HOME=$E2E_WORK/config XDG_DATA_HOME=$E2E_WORK/data XDG_CACHE_HOME=$E2E_WORK/cache
export GSETTINGS_BACKEND=memory
speech=$E2E_WORK/speech.log
export SORAWATA_SPEECH_LOG=$speech SPEECHD_ADDRESS=unix_socket:$E2E_WORK/speechd.sock
mkdir -p "$E2E_WORK/speechd"
cat >"$E2E_WORK/speechd/speechd.conf" <<EOF
LogDir "$E2E_WORK"
SymbolsPreproc "char"
SymbolsPreprocFile "symbols.dic"
SymbolsPreprocFile "orca.dic"
AddModule "log" "$here/speech_log.py" "/dev/null"
DefaultModule log
EOF
speech-dispatcher --run-single --timeout 0 --config-dir "$E2E_WORK/speechd" \
    --communication-method unix_socket --socket-path "$E2E_WORK/speechd.sock" \
    >"$E2E_WORK/speechd.out" 2>&1 &
E2E_PIDS+=($!)
orca --user-prefs "$E2E_WORK/orca" --debug-file "$E2E_WORK/orca-debug.out" >"$E2E_WORK/orca.out" 2>&1 &
E2E_PIDS+=($!)
e2e_wait 60 grep -q 'say' "$speech" 2>/dev/null || fail "Orca said nothing: $(cat "$E2E_WORK/orca.out")"

folder=$E2E_WORK/game
e2e_make_assets "$folder"
e2e_install_game "$folder"
ending='私から謝った。 朝になった。 おしまい。'

now() { date +%s.%N; }
# said_since TIME REGEX: prints when the voice first got a text matching REGEX at TIME or later.
said_since() {
    awk -F'\t' -v since="$1" -v re="$2" '$2 == "say" && $1 >= since && $3 ~ re { print $1; exit }' "$speech"
}
# act ACTION: what the player does or waits for; sets since, the earliest time that what it
# brings could show.
act() {
    case $1 in
    -) ;; # as the step before
    launch)
        since=$(now)
        e2e_launch "$folder"
        ;;
    ending) # since the last look that did not see it began
        since=$(now)
        local look deadline=$((SECONDS + 120))
        until look=$(now) && [[ $("$here/atspi.py" say 2>/dev/null) == '\n私から謝った。'* ]]; do
            ((SECONDS < deadline)) || fail "no ending within 120 s"
            since=$look
            sleep 0.3
        done
        ;;
    review) # Orca's own keys wait on Orca, not on the game: the game's keys are done with
        grep keyEventError "$E2E_WORK/game.err" && fail "keys waited for the screen reader (above)"
        act KP_Up
        ;;
    *)
        since=$(now)
        xdotool key --clearmodifiers "$1"
        ;;
    esac
}

# Each step: what the player does (a key, or waits for the player's ending), and the text the
# voice gets for it within so many seconds: Orca's English role names around the game's words.
# Review, then the keypad keys, read the window line by line from the picture's down.
steps=(
    "launch 15 ^Sorawata frame"
    "- 15 ^題名の数は相手の怒、哀、謝りたい"
    "- 15 ^場面 push button"
    "ending 5 ^$ending"
    "space 3 ^Sorawata"
    "Tab 3 ^考え方 panel"
    "Down 3 ^相手のことを考える"
    "Up 3 ^自分のことを考える"
    "ending 5 ^$ending"
    "Tab 3 ^場面 push button"
    "review 3 ^場面 怒 [0-9]+ .*200 哀 [0-9]+ .*200 謝りたい 80 .*80$"
    "KP_Page_Up 3 ^相手 怒 [0-9]+ .*200 哀 [0-9]+ .*200 謝りたい [0-9]+ .*80$"
    "KP_Page_Up 3 ^$ending"
    "KP_Subtract 3 ^Leaving flat review"
    "space 3 ^Sorawata"
)
for step in "${steps[@]}"; do
    read -r action within text <<<"$step"
    act "$action"
    heard() { [[ -n $(said_since "$since" "$text") ]]; }
    e2e_wait 60 heard || fail "'$text' never said after $action: $(cat "$speech")"
    lag=$(awk -v a="$since" -v b="$(said_since "$since" "$text")" 'BEGIN { printf "%.2f", b - a }')
    echo "$action: '$text' said after $lag s"
    awk -v lag="$lag" -v within="$within" 'BEGIN { exit !(lag <= within) }' ||
        fail "'$text' said $lag s after $action, more than $within s: $(cat "$speech")"
done

# Never a murmur, the caption's numbers or a bar's share: the voice keeps up with the screen.
# Each ending is read out once, and once more in review; braille shows it too.
grep -E $'\tsay\t.*(ねむれない夜|line|percent)' "$speech" && fail "said more than asked (above)"
(($(grep -c $'\tsay\t'"$ending" "$speech") == 3)) || fail "an ending said other than once: $(cat "$speech")"
grep -q "BRAILLE LINE:  '私から謝った。" "$E2E_WORK/orca-debug.out" || fail "no ending in braille"

e2e_pass
