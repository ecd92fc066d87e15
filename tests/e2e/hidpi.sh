#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# The game on a high-density screen (QT_SCALE_FACTOR=2): the window is twice as
# large, the layout holds, and the scene and the text are drawn at device
# pixels, not blown up from a buffer of half the resolution.
# Usage: hidpi.sh path/to/sorawata [screenshot.png]
# With a second argument, the screenshot of the window is copied there.
source "$(dirname "$0")/lib.sh"
keep_shot=${2:-}

# block_detail FILE: how far the pixels stray from the mean of their 2x2 block,
# from 0 to 0.5. A picture blown up from half the pixels has none (blocks
# repeated) or little (blocks smoothed) of it.
block_detail() {
    convert "$1" -colorspace gray \( +clone -filter box -resize 50% -sample 200% \) \
        -compose difference -composite -format "%[fx:mean]" info:
}

# detail_against_half_resolution FILE X Y W H: prints the block detail of the
# rectangle (X, Y, W and H even), then that of the same rectangle after a
# round trip through half the resolution (a smooth blow-up from logical pixels).
detail_against_half_resolution() {
    local crop=$E2E_WORK/crop-$2-$3.png blurred=$E2E_WORK/half-$2-$3.png
    convert "$1" -crop "$4x$5+$2+$3" +repage "$crop"
    convert "$crop" -resize 50% -resize 200% "$blurred"
    echo "$(block_detail "$crop") $(block_detail "$blurred")"
}

even() { echo $(($1 / 2 * 2)); }

# A screen big enough for the doubled window: the window is 3/4 of 1024
# logical pixels across, as on the 1024x768 screen of window.sh.
e2e_start_xvfb 2048x1536
folder=$E2E_WORK/game
e2e_make_assets "$folder"
# Every scene is one-pixel black and white stripes, 682 pixels square: the scene
# area's size in device pixels. Painted at device resolution they stay stripes;
# through a half-resolution buffer they turn grey.
for i in 0 1 2 3 4; do
    convert -size 682x682 pattern:vertical2 -quality 95 "$folder/img/$i.jpg"
done
e2e_install_game "$folder"
export QT_SCALE_FACTOR=2
e2e_launch "$folder"
e2e_find_game_window

# Twice the 768x341 of a 1024-pixel-wide screen.
area_is_doubled() {
    e2e_measure_area
    [[ ${E2E_AREA_W}x$E2E_AREA_H == 1536x682 ]]
}
e2e_wait 30 area_is_doubled || fail "the window is ${E2E_AREA_W}x$E2E_AREA_H, expected 1536x682"
e2e_wait 30 e2e_caption_is_readout || fail "caption is '$(e2e_caption "$E2E_WINDOW")', expected the moods"
# The screenshot once the window shows its last option's text.
painted() {
    shot=$(e2e_screenshot hidpi)
    (($(e2e_count_colour "$shot" "$(e2e_unit_x 4)" "$(e2e_unit_y 5)" "$((E2E_AREA_W * 2 / 9))" 1 \
        "$E2E_OPTION_TEXT" 40) > 0))
}
e2e_wait 30 painted || fail "the window shows no option text ($shot)"

# The layout: stripes to the picture's corners, white option cells with blue
# text, blue bar outlines and labels, as at the normal scale.
picture_right=$(($(e2e_unit_x 4) - 1))
bottom=$((E2E_AREA_Y + E2E_AREA_H - 1))
for corner in "$((E2E_AREA_X + 2)) $((bottom - 3))" "$((picture_right - 42)) $((bottom - 3))" \
    "$((picture_right - 42)) $((E2E_AREA_Y + 40))"; do
    read -r x y <<<"$corner"
    stripes=$(detail_against_half_resolution "$shot" "$(even "$x")" "$(even "$y")" 40 2)
    (($(awk '{ print ($1 > 0.3) }' <<<"$stripes"))) || fail "no striped scene near ($x,$y): $stripes ($shot)"
done
option_left=$(e2e_unit_x 4)
option_width=$(($(e2e_unit_x 6) - option_left))
row_height=$((E2E_AREA_H / 3))
for i in 0 1 2; do
    row_top=$((E2E_AREA_Y + i * row_height))
    e2e_expect_pixel "$shot" "$(e2e_unit_x 5)" "$((row_top + 6))" "$E2E_WHITE" "option $i cell top"
    text=$(e2e_count_colour "$shot" "$option_left" "$((row_top + row_height / 3))" \
        "$option_width" "$((row_height / 3))" "$E2E_OPTION_TEXT" 40)
    ((text >= 40)) || fail "option $i shows no text in RGB(0,100,255) in the middle of its cell ($shot)"
done
for j in 0 1 2; do
    edge=$(e2e_unit_x $((6 + j)))
    blue=$(e2e_count_colour "$shot" "$((edge - 2))" "$(e2e_unit_y 5)" 5 1 "$E2E_BLUE" 0)
    ((blue >= 1)) || fail "no blue outline at the left of bar $j near x=$edge ($shot)"
    blue=$(e2e_count_colour "$shot" "$((edge + E2E_AREA_W / 18))" "$((bottom - 2))" 1 3 "$E2E_BLUE" 0)
    ((blue >= 1)) || fail "no blue outline at the bottom of bar $j ($shot)"
    label=$(e2e_count_colour "$shot" "$((edge + 4))" "$((E2E_AREA_Y + 2))" \
        "$((E2E_AREA_W / 9 - 8))" 34 "$E2E_BLUE" 60)
    ((label >= 20)) || fail "bar $j has no blue label at its top ($shot)"
done

# Crisp: the scene keeps its one-pixel stripes, below the murmur line.
read -r scene scene_half < <(detail_against_half_resolution "$shot" "$(even $((E2E_AREA_X + 10)))" \
    "$(even "$(e2e_unit_y 3)")" "$(even $((picture_right - E2E_AREA_X - 20)))" "$(even $((E2E_AREA_H / 3)))")
awk -v s="$scene" -v h="$scene_half" 'BEGIN { exit !(s > 0.4 && s > 3 * h) }' ||
    fail "the scene is not drawn at device pixels: detail $scene, half resolution $scene_half ($shot)"
# So is the text of the first option.
read -r text text_half < <(detail_against_half_resolution "$shot" "$(even "$option_left")" \
    "$(even $((E2E_AREA_Y + row_height / 2 - 16)))" "$(even "$option_width")" 32)
awk -v s="$text" -v h="$text_half" 'BEGIN { exit !(s > 1.5 * h) }' ||
    fail "the option text is not drawn at device pixels: detail $text, half resolution $text_half ($shot)"

if [[ -n $keep_shot ]]; then
    convert "$shot" -crop "${E2E_AREA_W}x$E2E_AREA_H+$E2E_AREA_X+$E2E_AREA_Y" +repage "$keep_shot"
fi
echo "2x: window ${E2E_AREA_W}x$E2E_AREA_H; block detail of the scene $scene (half resolution" \
    "$scene_half), of the text $text (half resolution $text_half)"
e2e_pass
