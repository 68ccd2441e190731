#!/usr/bin/env bash
# The real program on an X screen, from a folder with no images/. With no window manager: the
# frame fills the screen; by the keyboard alone F10 opens Learn and the English lesson, a letter
# typed in the answer box brings up the message about its missing picture, and Shift+F10 and the
# Menu key open About and Help from the answer box. Under openbox: the frame's close box ends the
# program with status 0.
#   xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" bash x11.sh PROGRAM OPENBOX-RC
set -euo pipefail
# No session bus here: libdbus's own leak on that path is suppressed by its function, which only
# a full unwind shows.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}fast_unwind_on_malloc=0"
dir=$(mktemp -d "${TMPDIR:-/tmp}/quorbel-x11.XXXXXX")
cp "$1" "$dir/quorbel-alphabet"
pid=""
finish() {
    local status=$?
    [[ -n "$pid" ]] && kill "$pid" 2>/dev/null
    if ((status != 0)); then
        import -window root "$dir/failure.png" && echo "the screen at the failure: $dir/failure.png"
        cat "$dir/log"
    else
        rm -rf "$dir"
    fi
}
trap finish EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
start() {
    QT_QPA_PLATFORM=xcb "$dir/quorbel-alphabet" >>"$dir/log" 2>&1 &
    pid=$!
}
# Waits for a shown window titled exactly TITLE and prints its id. Message boxes carry the
# program's own name, QuorbelAlphabet.
window() {
    timeout 60 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1 \
        || fail "no window '$1'"
}
gone() {
    for _ in {1..300}; do
        [[ -z "$(xdotool search --onlyvisible --name "^$1\$")" ]] && return
        sleep 0.2
    done
    fail "window '$1' stays open"
}
# With no window manager nobody hands out the keyboard: take it as a click would.
focus() {
    timeout 60 xdotool windowfocus --sync "$1" || fail "window $1 does not take the keyboard"
}

start
frame=$(window "Quorbel Alphabet")
echo "-- with no window manager the frame fills the screen"
for _ in {1..300}; do
    eval "$(xdotool getwindowgeometry --shell "$frame")"
    [[ "$X,$Y ${WIDTH}x$HEIGHT" == "0,0 1920x1080" ]] && break
    sleep 0.2
done
[[ "$X,$Y ${WIDTH}x$HEIGHT" == "0,0 1920x1080" ]] || fail "the frame is ${WIDTH}x$HEIGHT at $X,$Y"

# The keys after one that opens a menu go to that menu.
echo "-- F10 opens Learn; Down, Down, Return opens the English lesson"
focus "$frame"
xdotool key F10 Down Down Return
lesson=$(window "English Alphabet")

echo "-- k in the answer box: a message about its missing picture; Return goes back"
focus "$lesson"
xdotool type k
box=$(window QuorbelAlphabet)
focus "$box"
xdotool key Return
gone QuorbelAlphabet
kill -0 "$pid" || fail "the program ended after the message"

echo "-- Shift+F10 then a opens About; Alt+O closes it"
focus "$lesson"
xdotool key shift+F10 a
about=$(window About)
focus "$about"
xdotool key alt+o
gone About

echo "-- the Menu key then h opens Help"
focus "$lesson"
xdotool key Menu h
window "Help Content" >/dev/null
kill "$pid"
wait "$pid" || true

echo "-- under openbox, the frame's close box ends the program with status 0"
openbox --config-file "$2" >>"$dir/log" 2>&1 &
until xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; do sleep 0.2; done
start
frame=$(window "Quorbel Alphabet")
xdo close "$frame"
timeout 60 tail --pid="$pid" -f /dev/null || fail "the program did not end"
status=0
wait "$pid" || status=$?
pid=""
((status == 0)) || fail "the program ended with status $status"
echo "PASS"
