# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# shellcheck shell=bash disable=SC2034 # the colours below are for the scripts
# The end-to-end tests' pixels (sourced by lib.sh): where the window's parts stand on screen,
# screenshots, and the colours sampled on them.

# The colours of the test pictures and the layout, the unit tests' own: E2E_COLOUR[name]="R G B".
declare -A E2E_COLOUR
while read -r name red green blue; do
    E2E_COLOUR[$name]="$red $green $blue"
done < <(sed -n 's/^SORAWATA_COLOUR(\(\w*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\))$/\1 \2 \3 \4/p' \
    "$E2E_LIB/../colours.h")
E2E_SCENE_COLOURS=("${E2E_COLOUR[scene0]}" "${E2E_COLOUR[scene1]}" "${E2E_COLOUR[scene2]}"
    "${E2E_COLOUR[scene3]}" "${E2E_COLOUR[scene4]}")
E2E_END0_COLOUR=${E2E_COLOUR[end0]}
E2E_END1_COLOUR=${E2E_COLOUR[end1]}
E2E_CYAN=${E2E_COLOUR[barFill]}
E2E_BLUE=${E2E_COLOUR[barFrame]}
E2E_WHITE=${E2E_COLOUR[background]}
E2E_MURMUR=${E2E_COLOUR[murmurText]}
E2E_OPTION_TEXT=${E2E_COLOUR[optionText]}

# The layout in screen pixels for a drawing area at (X, Y) of W x H: the window
# is 4.5 units across and 3 down; the picture takes units 0-2, the options 2-3
# and the three bars 3-4.5.
e2e_unit_x() { echo $((E2E_AREA_X + $1 * E2E_AREA_W / 9)); } # argument in half units
e2e_unit_y() { echo $((E2E_AREA_Y + $1 * E2E_AREA_H / 6)); } # argument in half units

e2e_measure_area() {
    read -r E2E_AREA_X E2E_AREA_Y E2E_AREA_W E2E_AREA_H < <(e2e_client_geometry "$E2E_WINDOW")
}

# The middle of the scene picture and of option I's cell.
e2e_picture_centre() { echo "$(e2e_unit_x 2) $(e2e_unit_y 3)"; }
e2e_option_centre() { echo "$(e2e_unit_x 5) $(e2e_unit_y $((2 * $1 + 1)))"; }

# e2e_screenshot NAME: grabs the whole screen into $E2E_WORK/NAME.png; prints the path.
e2e_screenshot() {
    local file=$E2E_WORK/$1.png
    import -window root "$file"
    echo "$file"
}

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

# e2e_near "R G B" "R G B" [TOLERANCE]: true when every channel is within tolerance.
e2e_near() {
    local r1 g1 b1 r2 g2 b2 tolerance=${3:-24}
    read -r r1 g1 b1 <<<"$1"
    read -r r2 g2 b2 <<<"$2"
    ((r1 - r2 <= tolerance && r2 - r1 <= tolerance)) &&
        ((g1 - g2 <= tolerance && g2 - g1 <= tolerance)) &&
        ((b1 - b2 <= tolerance && b2 - b1 <= tolerance))
}

# e2e_expect_pixel FILE X Y "R G B" WHAT: fails unless the pixel is near the colour.
e2e_expect_pixel() {
    local actual
    actual=$(e2e_pixels "$1" "$2" "$3" | xargs)
    e2e_near "$actual" "$4" || fail "$5: pixel ($2,$3) is ($actual), expected about ($4) in $1"
}

# e2e_rgb FILE X Y W H: the rectangle's pixels, "R G B" a line, row by row.
e2e_rgb() {
    convert "$1" -crop "$4x$5+$2+$3" -depth 8 rgb:- | od -An -v -tu1 -w3
}

# An awk function near(r, g, b) comparing with the variables want ("R G B") and tolerance.
E2E_AWK_NEAR='
    function off(a, b) { return a > b ? a - b : b - a }
    function near(r, g, b,    w) {
        split(want, w, " ")
        return off(r, w[1]) <= tolerance && off(g, w[2]) <= tolerance && off(b, w[3]) <= tolerance
    }'

# e2e_count_colour FILE X Y W H "R G B" [TOLERANCE]: pixels of the rectangle near the colour.
e2e_count_colour() {
    e2e_rgb "$@" | awk -v want="$6" -v tolerance="${7:-24}" "$E2E_AWK_NEAR"'
        near($1, $2, $3) { count++ } END { print count + 0 }'
}

# e2e_column_run FILE X Y0 Y1 "R G B": how many pixels from Y0 down to Y1-1 in
# column X have the colour before the first one that does not.
e2e_column_run() {
    e2e_rgb "$1" "$2" "$3" 1 "$(($4 - $3))" | awk -v want="$5" -v tolerance=24 "$E2E_AWK_NEAR"'
        !near($1, $2, $3) { ended = 1 } !ended { count++ } END { print count + 0 }'
}

# True when the player's wish-to-apologise bar (the last column) is full.
e2e_wish_bar_full() {
    local shot filled
    shot=$(e2e_screenshot bars)
    filled=$(e2e_column_run "$shot" "$(($(e2e_unit_x 9) - 8))" "$((E2E_AREA_Y + 1))" \
        "$((E2E_AREA_Y + E2E_AREA_H - 1))" "$E2E_CYAN")
    ((filled >= E2E_AREA_H - 3))
}

# e2e_scene_colour FILE: prints which picture fills the scene (0-4, end0, end1)
# judged from four points away from the murmur label; false for anything else.
e2e_scene_colour() {
    local samples name colour ok rgb
    samples=$(e2e_pixels "$1" "$(e2e_unit_x 2)" "$(e2e_unit_y 3)" "$(e2e_unit_x 1)" "$(e2e_unit_y 5)" \
        "$(e2e_unit_x 3)" "$(e2e_unit_y 5)" "$(e2e_unit_x 3)" "$(e2e_unit_y 2)")
    for name in 0 1 2 3 4 end0 end1; do
        colour=${E2E_COLOUR[$([[ $name == end* ]] && echo "$name" || echo "scene$name")]}
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

# e2e_long_murmur_in FILE: true when murmur-coloured text reaches past the first third of the
# scene picture: a murmur of ten or more full-width characters, never the title "Sorawata".
e2e_long_murmur_in() {
    (($(e2e_count_colour "$1" $((E2E_AREA_X + E2E_AREA_W * 4 / 27)) "$E2E_AREA_Y" \
        $((E2E_AREA_W * 8 / 27)) $((E2E_AREA_H / 6)) "$E2E_MURMUR") > 20))
}
