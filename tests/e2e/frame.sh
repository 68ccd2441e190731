#!/usr/bin/env bash
# The main frame as a person sees it: a maximized window with the Learn and
# Window menus; the Hindi alphabet window holds the menus while it is open;
# Window > Exit and the close box both end the program cleanly.
# shellcheck disable=SC2119 # the helpers take optional arguments
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh" "$@"

FRAME_TITLE="Quorbel Alphabet"
HINDI_TITLE="Hindi Alpphabet"

step "the program opens its frame, maximized"
start_program
frame=$(wait_window "$FRAME_TITLE")
# Maximizing may land just after the window is mapped.
deadline=$((SECONDS + 5))
window_geometry "$frame"
while ((GEOM_W < 1880 || GEOM_H < 1000)) && ((SECONDS < deadline)); do
    sleep 0.2
    window_geometry "$frame"
done
assert_between "$GEOM_X" 0 8 "frame left"
assert_between "$GEOM_Y" 0 8 "frame top"
assert_between "$GEOM_W" 1880 1920 "frame width"
assert_between "$GEOM_H" 1000 1080 "frame height"
sleep 1 # let the first paint land before reading pixels
find_menu_captions "$frame"

step "the Learn menu holds Number, English Alphabet and HindiAlphabet"
click_menu "$frame" 0
popup=$(wait_popup)
sleep 0.3
mapfile -t items < <(menu_item_centres "$popup")
assert_eq "${#items[@]}" 3 "number of items in the Learn menu"

step "picking HindiAlphabet opens the Hindi alphabet window"
read -r ix iy <<<"${items[2]}"
click_screen "$ix" "$iy"
hindi=$(wait_window "$HINDI_TITLE")
wait_no_popup
window_geometry "$hindi"
assert_eq "${GEOM_W}x${GEOM_H}" "846x437" "Hindi window client size"
assert_eq "${GEOM_X},${GEOM_Y}" "8,30" "Hindi window client position"

step "while the Hindi window is open the frame's menus do not open"
# Click on the part of the caption the Hindi window does not cover.
window_geometry "$frame"
read -r from to <<<"${MENU_SPANS[0]}"
if ((to < 8 || MENU_BOTTOM < 30)); then
    click_menu "$frame" 0
    expect_no_popup 2
else
    fail "the Hindi window covers the Learn caption"
fi
[[ -n "$(windows_titled "$HINDI_TITLE")" ]] || fail "the Hindi window went away"

step "closing the Hindi window gives the menus back"
close_window "$hindi"
wait_window_gone "$HINDI_TITLE"
click_menu "$frame" 0
popup=$(wait_popup)
sleep 0.3
mapfile -t items < <(menu_item_centres "$popup")
assert_eq "${#items[@]}" 3 "number of items in the Learn menu, opened again"
press_keys Escape
wait_no_popup

step "Window > Exit ends the program with status 0"
click_menu "$frame" 1
popup=$(wait_popup)
sleep 0.3
mapfile -t items < <(menu_item_centres "$popup")
assert_eq "${#items[@]}" 1 "number of items in the Window menu"
read -r ix iy <<<"${items[0]}"
click_screen "$ix" "$iy"
wait_program_exit 15
assert_eq "$E2E_STATUS" 0 "exit status after Window > Exit"

step "closing the frame with its close box ends the program with status 0"
start_program
frame=$(wait_window "$FRAME_TITLE")
sleep 0.5
close_window "$frame"
wait_program_exit 15
assert_eq "$E2E_STATUS" 0 "exit status after closing the frame"
