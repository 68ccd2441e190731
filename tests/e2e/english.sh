#!/usr/bin/env bash
# The English lesson as a child and a parent use it: it opens at the screen's
# top-left corner with the apple card; typed letters and the four move buttons
# bring up cards and their pictures; a right click on the margin opens Help and
# About, which hold the lesson until they close; closing the lesson gives the
# frame back.
# shellcheck disable=SC2119 # the helpers take optional arguments
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh" "$@"
# shellcheck source=tests/e2e/lessons.sh
source "$(dirname "${BASH_SOURCE[0]}")/lessons.sh"

step "the program starts and Learn > English Alphabet opens the lesson"
start_program
wait_window "$FRAME_TITLE" >/dev/null
open_english

step "the lesson sits at the screen's top-left corner, 1117 wide, with an empty menu strip"
assert_between "$GEOM_X" 0 2 "lesson left edge"
assert_between "$GEOM_Y" 0 2 "lesson top edge"
assert_eq "$GEOM_W" "$ENGLISH_W" "lesson client width"
assert_between "$strip" 1 40 "height of the menu strip above the 602-high client area"
[[ -z "$(ink_spans y "$GEOM_X" "$GEOM_Y" "$GEOM_W" "$strip" 1)" ]] \
    || fail "the menu strip shows an entry"

step "the first card shows the apple, a magenta letter and a green word; typing 'k' shows K"
card_picture "$LESSON_APPLE"
expect_colour "${LETTER[@]}" FF00FF "the magenta letter"
expect_colour "${WORD[@]}" 00FF00 "the green word"
remember letter_A "${LETTER[@]}"
remember word_APPLE "${WORD[@]}"
focus_window "$lesson"
press_keys k
card_picture "$LESSON_IMAGES/k.jpg"
expect_changed letter_A "${LETTER[@]}" "the letter after typing k"
expect_changed word_APPLE "${WORD[@]}" "the word after typing k"
remember letter_K "${LETTER[@]}"

step "'>' after typing 'k' shows B (the buttons step from A), with B in the answer box"
click_client "$NEXT_X" "$BUTTON_Y"
card_picture "$LESSON_IMAGES/b.jpg"
expect_changed letter_K "${LETTER[@]}" "the letter after >"
remember letter_B "${LETTER[@]}"
remember answer_B "${ANSWER[@]}"

step "'>>|' shows Z; '>' there stays on Z, so '<' then shows Y"
click_client "$LAST_X" "$BUTTON_Y"
card_picture "$LESSON_IMAGES/z.jpg"
expect_changed letter_B "${LETTER[@]}" "the letter after >>|"
remember letter_Z "${LETTER[@]}"
click_client "$NEXT_X" "$BUTTON_Y"
sleep 0.5
card_picture "$LESSON_IMAGES/z.jpg"
expect_shows letter_Z "${LETTER[@]}" "the letter after > on the last card"
click_client "$PREVIOUS_X" "$BUTTON_Y"
card_picture "$LESSON_IMAGES/y.jpg"

step "'|<<' shows A with a.jpg, not the layout's apple; '<' stays on A, so '>' shows B"
click_client "$FIRST_X" "$BUTTON_Y"
card_picture "$LESSON_IMAGES/a.jpg"
# shellcheck disable=SC2046
screen_shows $(at "${PICTURE[@]}") "$LESSON_APPLE" && fail "'|<<' left the layout's apple"
expect_shows letter_A "${LETTER[@]}" "the letter after |<<"
click_client "$PREVIOUS_X" "$BUTTON_Y"
sleep 0.5
card_picture "$LESSON_IMAGES/a.jpg"
click_client "$NEXT_X" "$BUTTON_Y"
card_picture "$LESSON_IMAGES/b.jpg"
expect_shows letter_B "${LETTER[@]}" "the letter after |<<, < and >"
expect_shows answer_B "${ANSWER[@]}" "the answer box after |<<, < and >"

step "a right click on the margin opens the menu; 'h' opens Help Content"
click_client "${ANSWER[0]}" "${ANSWER[1]}" # the answer box takes the keys again
# shellcheck disable=SC2046
xdotool mousemove --sync $(at "${MARGIN[@]}")
xdotool click 3
wait_popup >/dev/null
press_keys h
help=$(wait_window "Help Content")
wait_no_popup
window_geometry "$help"
assert_eq "${GEOM_X},${GEOM_Y}" "80,40" "Help window position"
assert_eq "${GEOM_W}x${GEOM_H}" "819x609" "Help window size"

step "while Help is open the lesson takes no keys"
focus_window "$lesson"
press_keys q
sleep 0.5
[[ -n "$(windows_titled "Help Content")" ]] || fail "Help closed by itself"
close_window "$help"
wait_window_gone "Help Content"
card_picture "$LESSON_IMAGES/b.jpg"
expect_shows letter_B "${LETTER[@]}" "the letter after typing behind Help"

step "after Help the lesson takes keys again"
focus_window "$lesson"
press_keys m
card_picture "$LESSON_IMAGES/m.jpg"

step "the menu's 'a' opens About, whose title line types itself out"
# shellcheck disable=SC2046
xdotool mousemove --sync $(at "${MARGIN[0]}" $((MARGIN[1] + 20)))
xdotool click 3
wait_popup >/dev/null
press_keys a
about=$(wait_window "About")
wait_no_popup
window_geometry "$about"
assert_eq "${GEOM_W}x${GEOM_H}" "525x315" "About window size"
ticker=$(sample_sums $((GEOM_X + 72)) $((GEOM_Y + 8)) 377 25)
(($(wc -l <<<"$ticker") >= 3)) || fail "About's title line did not change: $(wc -l <<<"$ticker") different pictures in 1.3 s"

step "Alt+O closes About and the lesson takes keys again"
focus_window "$about"
press_keys alt+o
wait_window_gone "About"
program_running || fail "the program ended with About"
focus_window "$lesson"
press_keys n
card_picture "$LESSON_IMAGES/n.jpg"

step "closing the lesson and opening it again shows the apple card"
close_window "$lesson"
wait_window_gone "$ENGLISH_TITLE"
open_english
card_picture "$LESSON_APPLE"
expect_shows letter_A "${LETTER[@]}" "the letter after opening again"
expect_shows word_APPLE "${WORD[@]}" "the word after opening again"
close_window "$lesson"
wait_window_gone "$ENGLISH_TITLE"

step "the frame is back and Window > Exit ends the program"
exit_from_frame
