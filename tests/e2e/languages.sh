#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# What the program says outside its window comes in the desktop's language: each kind of message
# under LANG=ja_JP.UTF-8 in Japanese, and under LANG=C in the English it has always had; the
# variables that choose the language, in their order. The environment is the test's own, whatever
# the caller's is.
# Usage: languages.sh path/to/sorawata
source "$(dirname "$0")/lib.sh"

# A pack with a fault of each kind the checker tells apart, and one to play without music or
# murmurs.
pack=$E2E_WORK/pack
e2e_make_assets "$pack"
mv "$pack/end0.txt" "$pack/END0.TXT"
rm "$pack/img/3.jpg"
head -c 20000 /dev/urandom >"$pack/img/1.jpg"
printf 'one\r\ntwo\r\nthree\r\n' >"$pack/end1.txt"
quiet=$E2E_WORK/quiet
e2e_make_assets "$quiet"
rm "$quiet/bgm.wav" "$quiet/dat.txt"

# The game's environment: nothing of the caller's but PATH, no display, the variables of the row.
own_environment=(env -i -C "$E2E_WORK" PATH="$PATH" HOME="$E2E_WORK" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR"
    PULSE_CLIENTCONFIG="$PULSE_CLIENTCONFIG")

# run LANG ARGUMENTS LINE: the game's stdout and stderr into $E2E_WORK/out and err. "play FOLDER"
# plays FOLDER on Qt's offscreen platform until stderr holds LINE, or long enough that it never
# will, and ends it.
run() {
    local lang=$1 arguments=$2 line=$3 status=0 game
    if [[ $arguments == play\ * ]]; then
        "${own_environment[@]}" LANG="$lang" QT_QPA_PLATFORM=offscreen "$E2E_GAME" "${arguments#play }" \
            >"$E2E_WORK/out" 2>"$E2E_WORK/err" &
        game=$!
        E2E_PIDS+=("$game")
        e2e_wait 30 grep -q -x -F -- "$line" "$E2E_WORK/err" || true
        kill "$game" 2>/dev/null || true
        wait "$game" 2>/dev/null || true
    else
        # shellcheck disable=SC2086 # the arguments are split on purpose
        "${own_environment[@]}" LANG="$lang" timeout 60 "$E2E_GAME" $arguments \
            >"$E2E_WORK/out" 2>"$E2E_WORK/err" || status=$?
        ((status < 124)) || fail "sorawata $arguments: exit status $status (timed out or crashed)"
    fi
}

# --- One row a message kind: arguments | stream | the Japanese line | the English line ----------

while IFS='|' read -r arguments stream japanese english; do
    for lang in ja_JP.UTF-8 C; do
        want=$([[ $lang == C ]] && echo "$english" || echo "$japanese")
        run "$lang" "$arguments" "$want"
        grep -q -x -F -- "$want" "$E2E_WORK/$stream" ||
            fail "LANG=$lang sorawata $arguments: no line '$want' on std$stream: $(cat "$E2E_WORK/$stream")"
    done
done <<MESSAGES
--help|out|使い方: $E2E_GAME [オプション] [folder]|Usage: $E2E_GAME [options] [folder]
--help|out|  -h, --help     このヘルプを表示する。|  -h, --help     Displays this help.
--help|out|  --check        ウィンドウも音も出さずに、ゲームと同じように素材を読み、|  --check        Reads the pack as the game would, without a window or sound,
--bogus|err|sorawata: 'bogus' は未知のオプションです。|sorawata: Unknown option 'bogus'.
$pack $pack|err|sorawata: フォルダーはひとつだけ指定してください|sorawata: give one folder at the most
$E2E_WORK/nowhere|err|sorawata: $E2E_WORK/nowhere: 読めるフォルダーではありません|sorawata: $E2E_WORK/nowhere: not a folder that can be read
$pack|err|sorawata: ディスプレイがありません: DISPLAY も WAYLAND_DISPLAY も設定されていません|sorawata: no display: DISPLAY and WAYLAND_DISPLAY are not set
--check $pack|out|dat.txt: あり; コードページ 932 (シフト JIS)、15 行中 15 行|dat.txt: found; code page 932 (Shift-JIS), 15 of 15 lines
--check $pack|out|end0.txt: あり (名前は END0.TXT); コードページ 932 (シフト JIS)、3 行中 3 行|end0.txt: found as END0.TXT; code page 932 (Shift-JIS), 3 of 3 lines
--check $pack|out|end1.txt: あり; UTF-8、3 行中 3 行|end1.txt: found; UTF-8, 3 of 3 lines
--check $pack|out|img/0.jpg: あり; 300 × 300 ピクセル、予算の中で読めます|img/0.jpg: found; 300 x 300 pixels, decoded within the budget
--check $pack|out|img/1.jpg: あり; 映りません|img/1.jpg: found; not shown
--check $pack|err|sorawata: $pack/img/1.jpg: JPEG、PNG、GIF、BMP のどれでもありません|sorawata: $pack/img/1.jpg: not a JPEG, PNG, GIF or BMP picture
--check $pack|out|img/3.jpg: なし|img/3.jpg: missing
--check $pack|out|bgm.wav: あり; WAV, Signed 16 bit PCM, 22050 Hz, モノラル, 1.0 秒, くりかえせます|bgm.wav: found; WAV, Signed 16 bit PCM, 22050 Hz, mono, 1.0 s, loops
play $quiet|err|sorawata: $quiet/bgm.wav: ファイルが見つかりません|sorawata: $quiet/bgm.wav: file not found
play $quiet|err|sorawata: $quiet/dat.txt: 読めません (見つかりません)。行はすべて空のままです|sorawata: $quiet/dat.txt: cannot be read (No such file or directory); its lines stay empty
MESSAGES

# --- The variables that choose the language: assignments | language -----------------------------
# An unknown option's lines hold Qt's words and the game's. A language without a catalogue of the
# game's keeps Qt's words in English too.

"${own_environment[@]}" LANG=ja_JP.UTF-8 "$E2E_GAME" --bogus 2>"$E2E_WORK/ja" || true
"${own_environment[@]}" LANG=C "$E2E_GAME" --bogus 2>"$E2E_WORK/en" || true
! cmp -s "$E2E_WORK/ja" "$E2E_WORK/en" || fail "the Japanese and the English lines are the same"
while read -r language assignments; do
    # shellcheck disable=SC2086 # the assignments are split on purpose
    "${own_environment[@]}" $assignments "$E2E_GAME" --bogus 2>"$E2E_WORK/err" || true
    cmp -s "$E2E_WORK/err" "$E2E_WORK/$language" ||
        fail "$assignments: not the lines in '$language': $(cat "$E2E_WORK/err")"
done <<VARIABLES
en LANG=POSIX
en LANG=en_US.UTF-8
en LANG=de_DE.UTF-8
en LANG=ja_JP.UTF-8 LC_ALL=C
ja LANG=C LC_MESSAGES=ja_JP.UTF-8
ja LANG=en_US.UTF-8 LC_ALL=ja_JP.UTF-8
ja LANG=en_US.UTF-8 LANGUAGE=ja:en
VARIABLES

e2e_pass
