#!/usr/bin/env bash
# The program with the keyboard alone, no mouse: F10 opens the frame's first menu and opens the
# English lesson; the Menu key in the answer box opens the lesson's pop-up (Help, About), not
# the box's edit menu; Shift+F10 then A opens About and Alt+O closes it; F10 reaches Exit.
# shellcheck disable=SC2119 # the helpers take optional arguments
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh" "$@"
# shellcheck source=tests/e2e/lessons.sh
source "$(dirname "${BASH_SOURCE[0]}")/lessons.sh"

ENGLISH_TITLE="English Alphabet"
LESSON_MENU_LINES=2 # Help and About; the edit menu has seven

# Waits for an open menu and prints how many lines of text it holds.
popup_lines() {
    local popup
    popup=$(wait_popup)
    sleep 0.3 # the menu paints just after it maps
    menu_item_centres "$popup" | wc -l
}

step "the program starts; F10 opens Learn, Down, Down, Return picks English Alphabet"
start_program
frame=$(wait_window "$FRAME_TITLE")
focus_window "$frame"
press_keys F10
lines=$(popup_lines)
assert_eq "$lines" 3 "lines in the Learn menu after F10"
press_keys Down Down Return
lesson=$(wait_window "$ENGLISH_TITLE")
wait_no_popup

step "the answer box takes letters from the keyboard"
focus_window "$lesson"
type_text d
sleep 0.3

step "the Menu key in the answer box opens the lesson's pop-up; Escape closes it"
press_keys Menu
lines=$(popup_lines)
assert_eq "$lines" "$LESSON_MENU_LINES" "lines in the pop-up after the Menu key"
press_keys Escape
wait_no_popup
[[ -n "$(windows_titled "Help Content")$(windows_titled "About")" ]] \
    && fail "Escape on the pop-up opened a window"

step "Shift+F10 opens the pop-up, A opens About, Alt+O closes it"
focus_window "$lesson"
press_keys shift+F10
lines=$(popup_lines)
assert_eq "$lines" "$LESSON_MENU_LINES" "lines in the pop-up after Shift+F10"
press_keys a
about=$(wait_window "About")
wait_no_popup
focus_window "$about"
press_keys alt+o
wait_window_gone "About"
program_running || fail "the program ended with About"

step "the Menu key then H opens Help"
focus_window "$lesson"
press_keys Menu
lines=$(popup_lines)
assert_eq "$lines" "$LESSON_MENU_LINES" "lines in the pop-up after the Menu key"
press_keys h
help=$(wait_window "Help Content")
wait_no_popup
close_window "$help"
wait_window_gone "Help Content"

step "closing the lesson gives the frame back; F10, Right, Return chooses Exit"
close_window "$lesson"
wait_window_gone "$ENGLISH_TITLE"
focus_window "$frame"
press_keys F10 Right
wait_popup >/dev/null # the Window menu, its one item Exit already picked out
sleep 0.3
press_keys Return
wait_program_exit 15
assert_eq "$E2E_STATUS" 0 "exit status after Exit from the keyboard"
