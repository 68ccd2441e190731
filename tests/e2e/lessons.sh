# shellcheck shell=bash disable=SC2034 # the globals set here are read by the test scripts
# Helpers for the lesson tests, sourced after lib.sh: opening frame menu items,
# reading parts of the screen and comparing them with pictures kept earlier or
# with the card picture files, message boxes, and the English lesson's places.

LESSON_REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
LESSON_APPLE="$LESSON_REPO/src/resources/apple.jpg"
LESSON_IMAGES="$(dirname "$E2E_PROGRAM")/images"
FRAME_TITLE="Quorbel Alphabet"
# Message boxes carry the program's name; its open menus do too, but those are popups.
MESSAGE_TITLE="QuorbelAlphabet"
DARK_RED="660404"

[[ -f "$LESSON_APPLE" ]] || { echo "e2e: no apple picture at $LESSON_APPLE" >&2; exit 2; }

# Opens the frame's menu MENU (0 Learn, 1 Window) and clicks its ITEMth entry.
pick_frame_menu() { # MENU ITEM EXPECTED_ITEM_COUNT
    local frame popup items ix iy
    frame=$(wait_window "$FRAME_TITLE")
    focus_window "$frame"
    find_menu_captions "$frame"
    click_menu "$frame" "$1"
    popup=$(wait_popup)
    sleep 0.3 # the menu paints just after it maps
    mapfile -t items < <(menu_item_centres "$popup")
    assert_eq "${#items[@]}" "$3" "number of items in frame menu $1"
    read -r ix iy <<<"${items[$2]}"
    click_screen "$ix" "$iy"
    wait_no_popup
}

# Learn > ITEM (0 Number, 1 English Alphabet): waits for the window and prints its id.
open_lesson() { # ITEM TITLE
    pick_frame_menu 0 "$1" 3 >&2
    wait_window "$2"
}

# Window > Exit; the program must end with status 0.
exit_from_frame() {
    pick_frame_menu 1 0 1
    wait_program_exit 15
    assert_eq "$E2E_STATUS" 0 "exit status after Window > Exit"
}

# Prints a checksum of the pixels of a screen rectangle.
crop_sum() { # X Y W H
    local sum
    sum=$(import -window root -crop "${3}x${4}+${1}+${2}" +repage -depth 8 rgb:- | md5sum) \
        || fail "import failed"
    echo "${sum%% *}"
}

# Waits until a rectangle holds still (two equal reads in a row) and prints its checksum.
settled_sum() { # X Y W H [TIMEOUT_SECONDS]
    local deadline=$((SECONDS + ${5:-5})) last="" now
    while :; do
        now=$(crop_sum "$1" "$2" "$3" "$4")
        if [[ "$now" == "$last" ]]; then
            echo "$now"
            return 0
        fi
        ((SECONDS < deadline)) || fail "the screen at ${3}x${4}+${1}+${2} kept changing"
        last=$now
        sleep 0.15
    done
}

# Prints the distinct checksums a rectangle shows over about 1.3 s: a blinking
# caret gives two, and a rectangle the program keeps redrawing gives more.
sample_sums() { # X Y W H
    local i
    for i in 1 2 3 4 5 6 7 8 9; do
        crop_sum "$1" "$2" "$3" "$4"
        sleep 0.15
    done | sort -u
}

# Waits until a rectangle shows something none of KNOWN (newline-separated checksums) is.
wait_not_among() { # X Y W H KNOWN WHAT [TIMEOUT_SECONDS]
    local deadline=$((SECONDS + ${7:-5})) now
    while :; do
        now=$(crop_sum "$1" "$2" "$3" "$4")
        grep -qxF "$now" <<<"$5" || return 0
        program_running || fail "the program ended while waiting for $6 to change"
        ((SECONDS < deadline)) || fail "$6 did not change within ${7:-5} s"
        sleep 0.1
    done
}

# Number of pixels of the screen, from X Y on, that differ clearly from a picture file
# of that size: 0 when the file is what shows there. Edges of letters drawn again
# and JPEG decoders may differ a little, so small differences are let through.
screen_difference() { # X Y FILE
    local size out
    size=$(identify -format '%wx%h' "$3") || fail "cannot read $3"
    out=$(import -window root -crop "${size}+${1}+${2}" +repage png:- \
        | compare -metric AE -fuzz 20% - "$3" null: 2>&1) || true
    out=${out%% *}
    [[ "$out" =~ ^[0-9.e+]+$ ]] || fail "compare failed on $3: $out"
    printf '%.0f\n' "$out"
}

# True when the screen from X Y on shows what FILE holds (at most 1% of it differs).
screen_shows() { # X Y FILE
    local w h
    read -r w h < <(identify -format '%w %h\n' "$3") || fail "cannot read $3"
    (($(screen_difference "$1" "$2" "$3") <= w * h / 100))
}

# Waits until the screen from X Y on shows what FILE holds.
wait_screen_shows() { # X Y FILE WHAT [TIMEOUT_SECONDS]
    local deadline=$((SECONDS + ${5:-5}))
    until screen_shows "$1" "$2" "$3"; do
        program_running || fail "the program ended while waiting for $4"
        ((SECONDS < deadline)) \
            || fail "$4: the screen does not show $(basename "$3") ($(screen_difference "$1" "$2" "$3") pixels differ)"
        sleep 0.1
    done
}

# Waits until the screen from X Y on no longer shows what FILE holds.
wait_screen_differs() { # X Y FILE WHAT [TIMEOUT_SECONDS]
    local deadline=$((SECONDS + ${5:-5}))
    while screen_shows "$1" "$2" "$3"; do
        program_running || fail "the program ended while waiting for $4"
        ((SECONDS < deadline)) || fail "$4 did not change within ${5:-5} s"
        sleep 0.1
    done
}

# Keeps what a screen rectangle shows, to compare with later.
save_screen() { # X Y W H FILE
    import -window root -crop "${3}x${4}+${1}+${2}" +repage "$5" || fail "import failed"
}

# Prints the colours of a screen rectangle, one RRGGBB a line.
colours_in() { # X Y W H
    import -window root -crop "${3}x${4}+${1}+${2}" +repage -depth 8 txt:- \
        | grep -oE '#[0-9A-Fa-f]{6}' | tr -d '#' | tr 'a-f' 'A-F' | sort -u
}

# Waits until a part of the client area holds a colour (RRGGBB): text drawn in it.
expect_colour() { # X Y W H RRGGBB WHAT
    local deadline=$((SECONDS + 5))
    # shellcheck disable=SC2046 # the point is two words
    until colours_in $(at "$1" "$2") "$3" "$4" | grep -qx "$5"; do
        program_running || fail "the program ended while waiting for $6"
        ((SECONDS < deadline)) || fail "$6: no #$5 pixel on the screen"
        sleep 0.1
    done
}

# Prints the ids of visible message boxes: windows with the program's name that are not popups.
message_boxes() {
    local id
    for id in $(windows_titled "$MESSAGE_TITLE"); do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: no' && echo "$id"
    done
    return 0
}

# Waits for a message box and prints its id.
wait_message_box() { # [TIMEOUT_SECONDS]
    local deadline=$((SECONDS + ${1:-10})) ids
    while :; do
        ids=$(message_boxes)
        if [[ -n "$ids" ]]; then
            head -n 1 <<<"$ids"
            return 0
        fi
        program_running || fail "the program ended instead of showing a message"
        ((SECONDS < deadline)) || fail "no message box '$MESSAGE_TITLE' within ${1:-10} s"
        sleep 0.1
    done
}

wait_no_message_box() { # [TIMEOUT_SECONDS]
    local deadline=$((SECONDS + ${1:-5}))
    while [[ -n "$(message_boxes)" ]]; do
        ((SECONDS < deadline)) || fail "the message box is still open after ${1:-5} s"
        sleep 0.1
    done
}

# Sets LESSON_X LESSON_Y, the screen point of a window's client area below its menu strip
# (STRIP pixels high; 0 for a window without a menu bar).
client_origin() { # WINDOW STRIP
    window_geometry "$1"
    LESSON_X=$GEOM_X
    LESSON_Y=$((GEOM_Y + $2))
}

# Prints the screen point of a point of the client area (see client_origin).
at() { # X Y
    echo $((LESSON_X + $1)) $((LESSON_Y + $2))
}

click_client() { # X Y
    # shellcheck disable=SC2046 # the point is two words
    click_screen $(at "$1" "$2")
}

# Keeps under NAME what a part of the client area shows, once it holds still.
remember() { # NAME X Y W H
    local x=$((LESSON_X + $2)) y=$((LESSON_Y + $3))
    settled_sum "$x" "$y" "$4" "$5" >/dev/null
    save_screen "$x" "$y" "$4" "$5" "$E2E_DIR/$1.png"
}

# Waits until a part of the client area shows what remember kept under NAME.
expect_shows() { # NAME X Y W H WHAT
    # shellcheck disable=SC2046
    wait_screen_shows $(at "$2" "$3") "$E2E_DIR/$1.png" "$6"
}

# Waits until a part of the client area no longer shows what remember kept under NAME.
expect_changed() { # NAME X Y W H WHAT
    # shellcheck disable=SC2046
    wait_screen_differs $(at "$2" "$3") "$E2E_DIR/$1.png" "$6"
}

ENGLISH_TITLE="English Alphabet"
ENGLISH_W=1117
ENGLISH_H=602

# Places in the English lesson's client area (pixels): its frame starts 24 to the right.
PICTURE=(368 176)             # Image1's top-left corner
PICTURE_AREA=(368 176 358 357) # as large as the apple
LETTER=(40 192 217 233)        # lblNum1
WORD=(32 24 1009 150)          # lblNum2, above the picture
ANSWER=(32 488 137 81)         # txtAnswer
BUTTON_Y=556
FIRST_X=912
PREVIOUS_X=952
NEXT_X=992
LAST_X=1032
MARGIN=(12 300) # left of the frame's border

# Waits until the English lesson's Image1 shows the picture FILE.
card_picture() { # FILE
    # shellcheck disable=SC2046
    wait_screen_shows $(at "${PICTURE[@]}") "$1" "the card picture"
}

# Waits until the picture area shows nothing but the window's dark red.
expect_no_picture() {
    local deadline=$((SECONDS + 5)) colours
    while :; do
        # shellcheck disable=SC2046 # the rectangle is four words
        colours=$(colours_in $(at "${PICTURE_AREA[0]}" "${PICTURE_AREA[1]}") \
            "${PICTURE_AREA[2]}" "${PICTURE_AREA[3]}")
        [[ "$colours" == "$DARK_RED" ]] && return 0
        program_running || fail "the program ended while waiting for the picture area to go blank"
        ((SECONDS < deadline)) \
            || fail "the picture area still shows a picture ($(wc -l <<<"$colours") colours)"
        sleep 0.1
    done
}

# Learn > English Alphabet: sets lesson (the window), strip (its menu strip's height)
# and the client area's place on the screen.
open_english() {
    lesson=$(open_lesson 1 "$ENGLISH_TITLE")
    window_geometry "$lesson"
    strip=$((GEOM_H - ENGLISH_H))
    client_origin "$lesson" "$strip"
}
