#!/usr/bin/env bash
# The English lesson with pictures that cannot be read: without the images
# folder, and with a cut-off JPEG, an empty file, a folder and a FIFO in place of
# card pictures. Each bad card brings up a message; once it is dismissed the
# lesson is still open, the card shows without a picture, and the next good card
# shows its picture. The program neither ends nor hangs.
# shellcheck disable=SC2119 # the helpers take optional arguments
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh" "$@"
# shellcheck source=tests/e2e/lessons.sh
source "$(dirname "${BASH_SOURCE[0]}")/lessons.sh"

BUILT_PROGRAM=$E2E_PROGRAM
GOOD_IMAGES=$LESSON_IMAGES

# The program reads images/ beside itself: give it a folder of its own.
place_program() { # DIR
    mkdir -p "$1"
    cp "$BUILT_PROGRAM" "$1/quorbel-alphabet"
    E2E_PROGRAM="$1/quorbel-alphabet"
}

# Dismisses the message about a bad picture with Return and checks the lesson is still there.
dismiss_message() { # WHAT
    local box
    box=$(wait_message_box 10)
    program_running || fail "the program ended at $1"
    focus_window "$box"
    press_keys Return
    wait_no_message_box
    program_running || fail "the program ended after the message about $1"
    [[ -n "$(windows_titled "$ENGLISH_TITLE")" ]] || fail "the lesson closed after the message about $1"
    expect_no_picture
    focus_window "$lesson"
}

step "without an images folder: the program starts and the lesson opens"
place_program "$E2E_DIR/no-images"
start_program
wait_window "$FRAME_TITLE" >/dev/null
open_english
card_picture "$LESSON_APPLE"
expect_colour "${LETTER[@]}" FF00FF "the magenta letter"
remember letter_A "${LETTER[@]}"

step "'>' shows B without a picture, after a message"
click_client "$NEXT_X" "$BUTTON_Y"
dismiss_message "'>' without images"
expect_changed letter_A "${LETTER[@]}" "the letter after '>'"
remember letter_B "${LETTER[@]}"

step "the answer box still takes keys: 'k' shows K without a picture, after a message"
click_client "${ANSWER[0]}" "${ANSWER[1]}"
press_keys k
dismiss_message "'k' without images"
expect_changed letter_B "${LETTER[@]}" "the letter after typing k"

step "closing the lesson gives the frame back; Exit ends the program"
close_window "$lesson"
wait_window_gone "$ENGLISH_TITLE"
exit_from_frame

step "with bad pictures for B to E beside good ones: the lesson opens"
dir="$E2E_DIR/bad-pictures"
place_program "$dir"
mkdir "$dir/images"
cp "$GOOD_IMAGES"/*.jpg "$dir/images/"
size=$(stat -c %s "$GOOD_IMAGES/b.jpg")
head -c $((size / 2)) "$GOOD_IMAGES/b.jpg" >"$dir/images/b.jpg"
: >"$dir/images/c.jpg"
rm "$dir/images/d.jpg" "$dir/images/e.jpg"
mkdir "$dir/images/d.jpg"
mkfifo "$dir/images/e.jpg"
start_program
wait_window "$FRAME_TITLE" >/dev/null
open_english
card_picture "$LESSON_APPLE"
focus_window "$lesson"

for bad in "b:cut-off JPEG" "c:empty file" "d:folder" "e:FIFO"; do
    key=${bad%%:*}
    step "'$key' ($bad): a message, then the lesson goes on and 'f' shows its picture"
    press_keys "$key"
    dismiss_message "the ${bad#*:} $key.jpg"
    press_keys f
    card_picture "$GOOD_IMAGES/f.jpg"
done

step "the program is still running; Exit ends it"
close_window "$lesson"
wait_window_gone "$ENGLISH_TITLE"
exit_from_frame
