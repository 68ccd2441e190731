#!/usr/bin/env bash
# The Number lesson as a child uses it: it opens at its place with the card of
# 1; a typed digit shows that digit's card (0 shows 10); a typed letter leaves
# the card as it was; closing and opening again brings the card of 1 back; Exit
# ends the program cleanly.
# shellcheck disable=SC2119 # the helpers take optional arguments
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh" "$@"
# shellcheck source=tests/e2e/lessons.sh
source "$(dirname "${BASH_SOURCE[0]}")/lessons.sh"

NUMBER_TITLE="Number"
# Places in the client area (pixels): the frame starts at 72, 16.
NUMERAL=(88 40 257 265)    # lblNum1
NUMBER_WORD=(304 272 593 225) # lblNum2, right of and below the numeral
NUMBER_ANSWER=(80 496 137 81) # txtAnswer

open_number() {
    number=$(open_lesson 0 "$NUMBER_TITLE")
    window_geometry "$number"
    assert_eq "$GEOM_X" 80 "Number window left edge (1200 twips)"
    assert_between "$GEOM_Y" 53 54 "Number window top edge (800 twips)"
    assert_eq "${GEOM_W}x${GEOM_H}" "956x631" "Number window client size"
    client_origin "$number" 0
}

step "the program starts and Learn > Number opens the lesson at its place"
start_program
wait_window "$FRAME_TITLE" >/dev/null
open_number
expect_colour "${NUMERAL[@]}" 00FF00 "the green numeral"
expect_colour "${NUMBER_WORD[@]}" 00FF00 "the green word"
remember numeral_1 "${NUMERAL[@]}"
remember word_ONE "${NUMBER_WORD[@]}"

step "typing 7 shows another numeral and word"
focus_window "$number"
press_keys 7
expect_changed numeral_1 "${NUMERAL[@]}" "the numeral after typing 7"
expect_changed word_ONE "${NUMBER_WORD[@]}" "the word after typing 7"
remember numeral_7 "${NUMERAL[@]}"

step "typing 0 shows a numeral unlike 7 and 1 (the card of 10)"
press_keys 0
expect_changed numeral_7 "${NUMERAL[@]}" "the numeral after typing 0"
# shellcheck disable=SC2046
screen_shows $(at "${NUMERAL[0]}" "${NUMERAL[1]}") "$E2E_DIR/numeral_1.png" \
    && fail "typing 0 brought back the numeral 1"
remember numeral_10 "${NUMERAL[@]}"
remember word_TEN "${NUMBER_WORD[@]}"

step "typing 1 shows the first card's numeral and word again"
press_keys 1
expect_shows numeral_1 "${NUMERAL[@]}" "the numeral after typing 1"
expect_shows word_ONE "${NUMBER_WORD[@]}" "the word after typing 1"
press_keys 0
expect_shows numeral_10 "${NUMERAL[@]}" "the numeral after typing 0 again"

step "typing a letter goes into the answer box and leaves the card as it was"
# shellcheck disable=SC2046 # the rectangle is four words
answer_before=$(sample_sums $(at "${NUMBER_ANSWER[0]}" "${NUMBER_ANSWER[1]}") \
    "${NUMBER_ANSWER[2]}" "${NUMBER_ANSWER[3]}")
press_keys a
# shellcheck disable=SC2046
wait_not_among $(at "${NUMBER_ANSWER[0]}" "${NUMBER_ANSWER[1]}") \
    "${NUMBER_ANSWER[2]}" "${NUMBER_ANSWER[3]}" "$answer_before" "the answer box after typing a"
sleep 0.3
# shellcheck disable=SC2046
screen_shows $(at "${NUMERAL[0]}" "${NUMERAL[1]}") "$E2E_DIR/numeral_10.png" \
    || fail "typing a letter changed the numeral"
# shellcheck disable=SC2046
screen_shows $(at "${NUMBER_WORD[0]}" "${NUMBER_WORD[1]}") "$E2E_DIR/word_TEN.png" \
    || fail "typing a letter changed the word"

step "closing the lesson on another card and opening it again shows the card of 1"
press_keys 5
expect_changed numeral_10 "${NUMERAL[@]}" "the numeral after typing 5"
close_window "$number"
wait_window_gone "$NUMBER_TITLE"
open_number
expect_shows numeral_1 "${NUMERAL[@]}" "the numeral after opening again"
expect_shows word_ONE "${NUMBER_WORD[@]}" "the word after opening again"

step "closing the lesson gives the frame back; Exit ends the program with status 0"
close_window "$number"
wait_window_gone "$NUMBER_TITLE"
exit_from_frame
