#!/usr/bin/env bash
# The package's files as a parent would have them installed: unpacked into a scratch root,
# the program started through its bin link and through PATH, from a folder that holds no
# pictures. It must find its own pictures beside the real program file, open the English
# lesson from the menu and show a typed letter's card and picture with no message.
# Runs under xvfb-run: bash installed.sh PACKAGE-DIR XCLOSE
# shellcheck disable=SC2119 # the helpers take optional arguments
package_dir=$1
xclose=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
# shellcheck source=tests/package/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh" "$package_dir"

root="$PACKAGE_DIR/unpacked"
rm -rf "$root"
dpkg-deb -x "$PACKAGE_DEB" "$root"
link="$root/usr/bin/$PACKAGE_NAME"

# shellcheck source=tests/e2e/lib.sh
source "$PACKAGE_REPO/tests/e2e/lib.sh" "$link" "$xclose"
# shellcheck source=tests/e2e/lessons.sh
source "$PACKAGE_REPO/tests/e2e/lessons.sh"
# The pictures to compare with are the package's own.
LESSON_IMAGES="$root/usr/lib/$PACKAGE_NAME/images"
[[ ! -e "$(dirname "$link")/images" ]] || fail "the bin folder holds pictures: the test proves nothing"

# Opens the English lesson, types LETTER and waits for its card picture; no message may show.
typed_letter_shows_its_card() { # LETTER
    wait_window "$FRAME_TITLE" >/dev/null
    open_english
    focus_window "$lesson"
    press_keys "$1"
    card_picture "$LESSON_IMAGES/$1.jpg"
    [[ -z "$(message_boxes)" ]] || fail "a message box is open: $(message_boxes | tr '\n' ' ')"
    close_window "$lesson"
    wait_window_gone "$ENGLISH_TITLE"
    exit_from_frame
}

# The working folder is a scratch folder with no images in it.
cd "$E2E_DIR"

step "started through the extracted bin link, the lesson shows k's card and picture"
start_program
typed_letter_shows_its_card k

step "started by name through PATH, the lesson shows z's card and picture"
E2E_PROGRAM=$PACKAGE_NAME
PATH="$root/usr/bin:$PATH" start_program
typed_letter_shows_its_card z
