#!/usr/bin/env bash
# One user's session with qzview in a real X server: the title, the navigation panel
# with its wrap-around, the menu, the editor (mark, box number, box placement, append,
# save) and the quit through the menu. Every step waits, with a time-out, until the
# screen shows what the step should have done; the checks read pixels of screenshots
# and compare them with the show's own bitmap files. After the save the show file is
# compared with bytes worked out here from the original file and the edits made.
#
# Usage: scenario.sh --show DIR [--out DIR] [--depth 24|16] [--name TITLE] [-- PROGRAM ARGS...]
#   --show DIR   a fresh copy of the demo show (build/qzview-demo DIR); the program
#                runs there and overwrites its SCR1.BIL
#   --out DIR    where screenshots and logs go (default: DIR/../e2e-out); kept on failure
#   --depth N    colour depth of the X server (16 also widens the colour tolerance)
#   --name T     the window's title (QZVIEW)
#   PROGRAM      the program's command line; without one, QZ_PROGRAM is split on blanks
#                (e.g. QZ_PROGRAM="wine build-win/qzview.exe")
# The caller's environment reaches the program. Further hooks for other builds:
#   QZ_BEFORE_START   a command run once the X server is up (DISPLAY is set)
#   QZ_FOCUS_HOOK     a command run with the window id once it has the X focus
#   QZ_AFTER_EXIT     a command run after the program ended (e.g. wineserver -k)
#   QZ_START_DIR      the working directory the program starts in (the show's);
#                     a program told the show's place by its arguments starts elsewhere
#   QZ_EXIT_LIMIT_MS  how soon after the quit click the program must be gone (2000)
#   QZ_START_TIMEOUT_MS  how long the title may take to appear (20000)
#   QZ_STEP_TIMEOUT_MS   how long any other step may take to reach the screen (10000)
#   QZ_DRIVER         a file sourced after lib.sh that replaces its X server, program,
#                     input, screenshot and show-file functions (the web page's driver)
#   QZ_STEPS          the steps to play (default: start navigation menu editor quit)
# Exit status: 0 passed, 1 failed, 2 wrong usage.
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
if [ -n "${QZ_DRIVER:-}" ]; then
    # shellcheck disable=SC1090  # the driver is named by the caller
    source "$QZ_DRIVER"
fi

usage() {
    sed -n '9,27p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//' >&2
    exit 2
}

SHOW=""
DEPTH=24
WINDOW_NAME=QZVIEW
PROGRAM=()
while [ $# -gt 0 ]; do
    case $1 in
        --show) SHOW=$2; shift 2 ;;
        --out) E2E_OUT=$2; shift 2 ;;
        --depth) DEPTH=$2; shift 2 ;;
        --name) WINDOW_NAME=$2; shift 2 ;;
        --) shift; PROGRAM=("$@"); break ;;
        *) usage ;;
    esac
done
if [ ${#PROGRAM[@]} -eq 0 ] && [ -n "${QZ_PROGRAM:-}" ]; then
    read -r -a PROGRAM <<<"$QZ_PROGRAM"
fi
if [ -z "$SHOW" ] || [ ! -d "$SHOW" ] || [ ${#PROGRAM[@]} -eq 0 ]; then usage; fi
case $DEPTH in
    24) E2E_TOL=3 ;;
    # 5 and 6 bits a channel: the screen may be up to 8 away from the 24-bit bitmaps.
    16) E2E_TOL=10 ;;
    *) usage ;;
esac
SHOW=$(cd "$SHOW" && pwd)
E2E_OUT=${E2E_OUT:-$SHOW/../e2e-out}
mkdir -p "$E2E_OUT/shots" "$E2E_OUT/ref"
E2E_OUT=$(cd "$E2E_OUT" && pwd)
EXIT_LIMIT_MS=${QZ_EXIT_LIMIT_MS:-2000}
START_TIMEOUT_MS=${QZ_START_TIMEOUT_MS:-20000}
E2E_STEP_MS=${QZ_STEP_TIMEOUT_MS:-10000}

cleanup() {
    program_stop
    if [ -n "${QZ_AFTER_EXIT:-}" ]; then
        # shellcheck disable=SC2086  # the hook is a command line
        $QZ_AFTER_EXIT || true
    fi
    xvfb_stop
}
trap cleanup EXIT

# ---------------------------------------------------------------- the show as expected

# The show file as it should be after the edits so far: a copy of the original, edited
# here byte by byte. It doubles as the model of the picture table that the expected
# screens are built from.
EXPECTED_BIL="$E2E_OUT/SCR1.BIL.expected"
cp "$SHOW/SCR1.BIL" "$EXPECTED_BIL"
# model_get sets VALUE; what was read once is kept.
declare -A MODEL=()
VALUE=0
model_get() {
    local cell="$1,${2:-0}"
    [ -n "${MODEL[$cell]:-}" ] || MODEL[$cell]=$(bil_get "$EXPECTED_BIL" "$1" "${2:-0}")
    VALUE=${MODEL[$cell]}
}
model_set() {
    bil_set "$EXPECTED_BIL" "$1" "$2" "$3"
    MODEL[$1,$2]=$3
}
CURRENT=1

# Set KEY to the reference of screenshot or box number n, loaded first. (Not through
# $(...): the loaded references must stay in this shell.)
picture_ref() {
    KEY="pic$1"
    ref_load "$KEY" "$SHOW/$(printf 'scs%05d.BMP' "$1")"
}
box_ref() {
    KEY="box$1"
    ref_load "$KEY" "$SHOW/$(printf 'scb%05d.BMP' "$1")"
}
KEY=""
ref_load sheet "$SHOW/scs00001.BMP"

# ---------------------------------------------------------------- expected screens

# What a screen is made of, in drawing order: rectangles of the layers drawn over the
# screenshot, and zones where text may be drawn. A check point of a layer must not lie
# under a later layer or in a text zone.
LAYER_X=() LAYER_Y=() LAYER_W=() LAYER_H=()
ZONE_X=() ZONE_Y=() ZONE_W=() ZONE_H=()
UNDER=""       # reference key of the screenshot under everything
MAX_POINTS=4   # check points per layer

new_screen() {
    expect_reset
    LAYER_X=() LAYER_Y=() LAYER_W=() LAYER_H=()
    ZONE_X=() ZONE_Y=() ZONE_W=() ZONE_H=()
}
add_layer() { LAYER_X+=("$1") LAYER_Y+=("$2") LAYER_W+=("$3") LAYER_H+=("$4"); }
add_zone() { ZONE_X+=("$1") ZONE_Y+=("$2") ZONE_W+=("$3") ZONE_H+=("$4"); }

# 0 when (px, py) lies under a layer after index `after` or in a text zone.
covered() {
    local px=$1 py=$2 after=$3 i
    for ((i = after + 1; i < ${#LAYER_X[@]}; i++)); do
        ((px >= LAYER_X[i] && px < LAYER_X[i] + LAYER_W[i] &&
            py >= LAYER_Y[i] && py < LAYER_Y[i] + LAYER_H[i])) && return 0
    done
    for ((i = 0; i < ${#ZONE_X[@]}; i++)); do
        ((px >= ZONE_X[i] && px < ZONE_X[i] + ZONE_W[i] &&
            py >= ZONE_Y[i] && py < ZONE_Y[i] + ZONE_H[i])) && return 0
    done
    return 1
}

# Two colours that a check can tell apart even at the widest tolerance.
distinct() { ! colour_near "$1" "$2" $((3 * E2E_TOL + 6)); }

# Adds check points for a rectangle (x, y, w, h) of the screen that shows, or must not
# show, the part of reference `key` starting at (sx, sy):
#   opaque  the overlay is drawn (layer `index`)
#   keyed   the overlay is drawn with black see-through (layer `index`)
#   absent  the overlay is not drawn: the screenshot shows there
# Only points where the overlay differs from the screenshot are used, so each point
# tells the two apart. A rectangle that is wholly covered has nothing to check.
add_points() {
    local mode=$1 key=$2 sx=$3 sy=$4 x=$5 y=$6 w=$7 h=$8 index=$9 what=${10}
    local i j px py found=0 at=() from=() overlay=() under=()
    for j in 1 2 3; do
        for i in 1 2 3 4 5; do
            px=$((x + w * i / 6))
            py=$((y + h * j / 4))
            covered "$px" "$py" "$index" && continue
            at+=("$px" "$py")
            from+=($((sx + px - x)) $((sy + py - y)))
        done
    done
    ((${#at[@]} > 0)) || return 0
    # one read: first the overlay's pixels, then the screenshot's
    local first second both=()
    ref_args "$key"
    first=("${REF_ARGS[@]}")
    ref_args "$UNDER"
    second=("${REF_ARGS[@]}")
    mapfile -t both < <(pixels_of "${first[@]}" "${from[@]}" @ "${second[@]}" "${at[@]}")
    overlay=("${both[@]:0:${#at[@]}/2}")
    under=("${both[@]:${#at[@]}/2}")
    for ((i = 0; i < ${#overlay[@]} && found < MAX_POINTS; i++)); do
        px=${at[2 * i]}
        py=${at[2 * i + 1]}
        [ "$mode" != opaque ] && [ "${overlay[i]}" = "0 0 0" ] && continue
        distinct "${overlay[i]}" "${under[i]}" || continue
        if [ "$mode" = absent ]; then
            expect_pixel "$px" "$py" "${under[i]}" "no $what"
        else
            expect_pixel "$px" "$py" "${overlay[i]}" "$what"
        fi
        found=$((found + 1))
    done
    ((found >= 2)) || e2e_fail "too few check points for '$what' ($found)"
}

# Points of the screenshot that no layer and no text covers, at most 16, spread over
# the screen.
add_picture_points() {
    local x y i at=() under=()
    for y in 30 120 210 300 390 480 570 660 750; do
        for x in 40 136 232 328 424 520 616 712 808 904 1000; do
            covered "$x" "$y" -1 || at+=("$x" "$y")
        done
    done
    ((${#at[@]} >= 16)) || e2e_fail "too few free points on the screenshot ($((${#at[@]} / 2)))"
    ref_args "$UNDER"
    mapfile -t under < <(pixels_of "${REF_ARGS[@]}" "${at[@]}")
    for ((i = 0; i < ${#under[@]}; i += ${#under[@]} / 16)); do
        expect_pixel "${at[2 * i]}" "${at[2 * i + 1]}" "${under[i]}" "screenshot $UNDER"
    done
}

# The panel's black is see-through: points that are black on the sheet must show the
# screenshot, wherever the screenshot itself is not dark.
add_panel_see_through_points() {
    local i j k r g b found=0 at=() from=() sheet=() under=()
    for j in 1 29 56; do
        for i in 1 57 58 115 116 173; do
            covered $((840 + i)) $((702 + j)) "$PANEL_LAYER" && continue
            at+=($((840 + i)) $((702 + j)))
            from+=($((40 + i)) "$j")
        done
    done
    local both=() first
    ref_args sheet
    first=("${REF_ARGS[@]}")
    ref_args "$UNDER"
    mapfile -t both < <(pixels_of "${first[@]}" "${from[@]}" @ "${REF_ARGS[@]}" "${at[@]}")
    sheet=("${both[@]:0:${#at[@]}/2}")
    under=("${both[@]:${#at[@]}/2}")
    for ((k = 0; k < ${#sheet[@]}; k++)); do
        [ "${sheet[k]}" = "0 0 0" ] || continue
        read -r r g b <<<"${under[k]}"
        ((r + g + b > 60)) || continue
        expect_pixel "${at[2 * k]}" "${at[2 * k + 1]}" "${under[k]}" "see-through black of the panel"
        found=$((found + 1))
    done
    ((found >= 1)) || e2e_fail "no check point for the panel's see-through black"
}

# Text drawn in a rectangle: at least `extra` more pixels of its colour than the
# screenshot has there. Glyph edges are smoothed; the strokes' inner pixels are not.
add_text_count() {
    local x=$1 y=$2 w=$3 h=$4 rgb=$5 extra=$6 what=$7 base
    # shellcheck disable=SC2086  # the colour is three numbers
    base=$(count_colour "${REF_PATH[$UNDER]}" "${REF_W[$UNDER]}" "$x" "$y" "$w" "$h" $rgb "$E2E_TOL")
    expect_count "$x" "$y" "$w" "$h" "$rgb" $((base + extra)) "$what"
}

# Fills BOXES with "k number x y w h" for each box that entry p draws.
BOXES=()
entry_boxes() {
    local p=$1 k n x y
    BOXES=()
    for k in 1 2 3; do
        model_get "pic_box$k" "$p"
        n=$VALUE
        ((n > 0)) || continue
        model_get "pic_box${k}_x" "$p"
        x=$VALUE
        model_get "pic_box${k}_y" "$p"
        y=$VALUE
        box_ref "$n"
        BOXES+=("$k $n $x $y ${REF_W[$KEY]} ${REF_H[$KEY]}")
    done
}

# The screen of entry p as presented: screenshot, boxes, level strip, panel, mark and,
# in the editor, the bar and the text lines; with prompt=1 a number prompt is open.
PANEL_LAYER=0
expect_entry() {
    local p=$1 editor=$2 prompt=$3 file level marked drawn=() box layer k n x y w h
    new_screen
    model_get pic_file "$p"
    file=$VALUE
    picture_ref "$file"
    UNDER=$KEY
    entry_boxes "$p"
    for box in "${BOXES[@]}"; do
        read -r k n x y w h <<<"$box"
        add_layer "$x" "$y" "$w" "$h"
        drawn+=("opaque box$n 0 0 $x $y $w $h box$k($n)")
    done
    model_get pic_level "$p"
    level=$VALUE
    if ((level > 0)); then
        ((level > 48)) && level=48
        add_layer 80 50 200 16
        drawn+=("opaque sheet 600 $((16 * (level - 1))) 80 50 200 16 level-strip-$level")
    fi
    PANEL_LAYER=${#LAYER_X[@]}
    add_layer 840 702 174 58
    drawn+=("keyed sheet 40 0 840 702 174 58 panel")
    model_get pic_marked "$p"
    marked=$VALUE
    if ((marked != 0)); then
        add_layer 870 690 40 18
        drawn+=("keyed sheet 224 50 870 690 40 18 mark")
    fi
    if ((editor)); then
        add_layer 0 700 400 50
        add_layer 400 700 400 50
        drawn+=("opaque sheet 0 600 0 700 400 50 editor-bar-left")
        drawn+=("opaque sheet 0 650 400 700 400 50 editor-bar-right")
        # status lines at the top, the edit-mode line above the bar
        add_zone 0 0 1024 52
        add_zone 0 652 1024 46
    fi
    ((prompt)) && add_zone 0 40 360 80
    for ((k = 0; k < ${#drawn[@]}; k++)); do
        read -r -a layer <<<"${drawn[k]}"
        add_points "${layer[0]}" "${layer[1]}" "${layer[2]}" "${layer[3]}" "${layer[4]}" \
            "${layer[5]}" "${layer[6]}" "${layer[7]}" "$k" "${layer[8]}"
    done
    ((level > 0)) || add_points absent sheet 600 0 80 50 200 16 -1 level-strip
    ((marked != 0)) || add_points absent sheet 224 50 870 690 40 18 -1 mark
    if ((!editor)); then
        add_points absent sheet 0 600 0 700 400 50 -1 editor-bar-left
        add_points absent sheet 0 650 400 700 400 50 -1 editor-bar-right
    fi
    add_panel_see_through_points
    add_picture_points
    ((editor)) && add_text_count 10 6 900 44 "255 255 255" 800 "white status lines"
    ((prompt)) && add_text_count 20 50 330 16 "200 100 100" 200 "red prompt text"
    return 0
}

# The menu panel over entry p's screenshot, and nothing else of the entry.
expect_menu() {
    local p=$1 file box k n x y w h
    new_screen
    add_layer 100 100 600 450
    model_get pic_file "$p"
    file=$VALUE
    picture_ref "$file"
    UNDER=$KEY
    add_points opaque sheet 0 80 100 100 600 450 0 menu
    add_points absent sheet 40 0 840 702 174 58 -1 panel
    entry_boxes "$p"
    for box in "${BOXES[@]}"; do
        read -r k n x y w h <<<"$box"
        add_points absent "box$n" 0 0 "$x" "$y" "$w" "$h" -1 "box$k"
    done
    add_picture_points
}

expect_title() {
    new_screen
    add_zone 0 664 700 80
    picture_ref 2
    UNDER=$KEY
    add_picture_points
    add_text_count 10 684 640 26 "255 255 0" 1000 "yellow title line"
}

# ---------------------------------------------------------------- steps

bar_x() { echo $((50 * $1 - 25)); }

# The first click on a bar button only selects it: its edit-mode line appears.
select_bar_button() {
    click_at "$(bar_x "$1")" 725
    wait_rows_change "select button $1" 652 698
}

step_start() {
    model_get picture_count
    ((VALUE >= 3)) || e2e_fail "the show needs three pictures or more"
    xvfb_start "1024x768x$DEPTH"
    if [ -n "${QZ_BEFORE_START:-}" ]; then
        # shellcheck disable=SC2086  # the hook is a command line
        $QZ_BEFORE_START || e2e_fail "QZ_BEFORE_START failed"
    fi
    program_start "${QZ_START_DIR:-$SHOW}" "${PROGRAM[@]}"
    expect_title
    wait_screen "title" "$START_TIMEOUT_MS"
    local id
    id=$(window_find "$WINDOW_NAME" 5000)
    window_focus "$id" 5000
    # A window that has just appeared may not read its input yet: wait until the
    # screen stays the same for a while.
    sleep 0.3
    screen_shot "title-settled"
    rows_equal "$LAST_SHOT" "$PREV_SHOT" 0 "$SCREEN_H" || e2e_fail "the title screen changed"
}

step_navigation() {
    local count
    model_get picture_count
    count=$VALUE
    click_left   # ends the title; the first picture follows
    CURRENT=1
    expect_entry 1 0 0
    wait_screen "first picture"
    click_at 981 731
    CURRENT=2
    expect_entry 2 0 0
    wait_screen "next"
    click_at 919 731
    CURRENT=1
    expect_entry 1 0 0
    wait_screen "previous"
    click_left
    CURRENT=$count
    expect_entry "$count" 0 0
    wait_screen "previous from the first is the last"
    click_at 981 731
    CURRENT=1
    expect_entry 1 0 0
    wait_screen "next from the last is the first"
}

step_menu() {
    local count
    model_get picture_count
    count=$VALUE
    click_right
    expect_menu 1
    wait_screen "menu"
    click_at 501 245   # row 3: the last picture
    CURRENT=$count
    expect_entry "$count" 0 0
    wait_screen "menu: last picture"
    click_right
    expect_menu "$count"
    wait_screen "menu again"
    click_at 501 195   # row 2: the first picture
    CURRENT=1
    expect_entry 1 0 0
    wait_screen "menu: first picture"
}

step_editor() {
    local count box_x box_y box_w box_h file
    click_right
    expect_menu 1
    wait_screen "menu for the editor"
    click_at 141 121   # the editor switch
    expect_entry 1 1 0
    wait_screen "editor on"

    # button 7 twice: mark the picture
    select_bar_button 7
    click_left
    model_get pic_marked 1
    model_set pic_marked 1 $((1 - VALUE))
    expect_entry 1 1 0
    wait_screen "mark"

    # button 10 twice: the prompt for box 1's number; replace the offered number by 4
    select_bar_button 10
    click_left
    expect_entry 1 1 1
    wait_screen "box number prompt"
    press_keys BackSpace BackSpace BackSpace BackSpace
    type_text 4
    press_keys Return
    model_set pic_box1 1 4
    expect_entry 1 1 0
    wait_screen "box number 4"

    # button 13 once starts placing box 1; a click puts it at the pointer
    model_get pic_box1_x 1
    box_x=$VALUE
    model_get pic_box1_y 1
    box_y=$VALUE
    box_ref 4
    box_w=${REF_W[$KEY]}
    box_h=${REF_H[$KEY]}
    select_bar_button 13
    click_at 400 300
    model_set pic_box1_x 1 400
    model_set pic_box1_y 1 300
    expect_entry 1 1 0
    add_points absent box4 0 0 "$box_x" "$box_y" "$box_w" "$box_h" -1 "box 1 at its old place"
    wait_screen "box placed"
    click_right        # placing ends, the editor stays
    wait_rows_change "placing ended" 652 698

    # button 1 twice: the last picture, with a prompt offering its number + 1
    model_get picture_count
    count=$VALUE
    model_get pic_file "$count"
    file=$VALUE
    select_bar_button 1
    click_left
    CURRENT=$count
    expect_entry "$count" 1 1
    wait_screen "append prompt"
    press_keys Return
    wait_rows_change "append number taken" 652 698
    # button 2 twice: append
    select_bar_button 2
    click_left
    count=$((count + 1))
    model_set picture_count 0 "$count"
    model_set pic_file "$count" $((file + 1))
    CURRENT=$count
    expect_entry "$count" 1 0
    wait_screen "appended"

    # button 8 twice: save, which also leaves the editor
    select_bar_button 8
    click_left
    expect_entry "$count" 0 0
    wait_screen "saved"
    saved_show_file "$SHOW"
    bil_compare "$EXPECTED_BIL" "$SAVED_SHOW_FILE"
    e2e_log "SCR1.BIL: as expected"
}

step_quit() {
    local clicked
    click_right
    expect_menu "$CURRENT"
    wait_screen "menu to quit"
    pointer_to 501 145 # row 1: ENDE
    click_left
    # xdotool has handed the click to the X server when it returns
    clicked=$(now_ms)
    program_wait_exit "$EXIT_LIMIT_MS" ||
        e2e_fail "the program still runs $EXIT_LIMIT_MS ms after the quit click"
    e2e_log "ended $((PROGRAM_EXIT_MS - clicked)) ms after the quit click (seen then), status $PROGRAM_STATUS"
    [ "$PROGRAM_STATUS" -eq 0 ] || e2e_fail "exit status $PROGRAM_STATUS after quitting"
}

for step in ${QZ_STEPS:-start navigation menu editor quit}; do
    "step_$step"
done
e2e_log "PASS ($DEPTH-bit screen)"
