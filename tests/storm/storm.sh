#!/usr/bin/env bash
# A seeded storm of random input against the real program, built with the sanitizers, on a
# virtual screen with a window manager (openbox), as a child at the keyboard and mouse would
# send it. Every CHUNK events and at the end: the program lives (or ended cleanly through its
# own Exit, and is started again), no sanitizer has spoken, it answers the window manager's
# ping, and the window at the top of its modal chain comes up and takes the focus. At the end
# the windows are closed back to the frame, each lesson is opened once and its first card read,
# and Window > Exit ends the program cleanly.
#   xvfb-run -a -s "-screen 0 1920x1080x24" bash tests/storm/storm.sh PROGRAM XCLOSE STORM \
#       SEED|fresh EVENTS [CHUNK]
# A storm replays exactly: event N of a seed is always the same input. With STORM_WARMUP=N set,
# the resident size is read after every chunk that leaves the frame alone open, and its growth
# since the first such reading after N events is printed.
# shellcheck disable=SC2119 # the helpers take optional arguments
set -euo pipefail
STORM_BIN=$3
SEED=$4
if [[ "$SEED" == fresh ]]; then
    SEED=$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')
fi
EVENTS=$5
CHUNK=${6:-200}
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh" "$1" "$2"
# shellcheck source=tests/e2e/lessons.sh
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lessons.sh"

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
[[ -x "$STORM_BIN" ]] || { echo "storm: no driver at $STORM_BIN" >&2; exit 2; }
command -v openbox >/dev/null || { echo "storm: openbox is not installed" >&2; exit 2; }

export QT_QPA_PLATFORM=xcb
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS="suppressions=$HERE/../robust/lsan.supp:print_suppressions=0"

# Only the program's own popups count: openbox keeps a window of its own mapped off the screen.
popup_windows() {
    "$STORM_BIN" popups "$E2E_PID" | awk '{print $1}'
}

WM_PID=""
storm_cleanup() {
    local status=$?
    set +e
    (exit "$status") # e2e_cleanup reads the status from $?; openbox ends with the X server
    e2e_cleanup
}
trap storm_cleanup EXIT

step "openbox manages the screen"
openbox --config-file "$HERE/openbox-rc.xml" >"$E2E_DIR/openbox.log" 2>&1 &
WM_PID=$!
deadline=$((SECONDS + 10))
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    ((SECONDS < deadline)) || fail "openbox did not start"
    sleep 0.1
done

sanitizer_quiet() {
    ! grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:|UndefinedBehaviorSanitizer' "$E2E_LOG"
}

FRAME=""
start_storm_program() {
    start_program
    FRAME=$(printf '0x%x' "$(wait_window "$FRAME_TITLE" 60)")
    LIFE_EVENTS=0
    WARM_RSS=""
}

resident_kib() {
    awk '/^VmRSS:/ {print $2}' "/proc/$E2E_PID/status" 2>/dev/null || echo 0
}

# The growth of the resident size after warm-up, over the longest life of the program.
LIFE_EVENTS=0
WARM_RSS=""
MEMORY_REPORT=""
note_memory() { # EVENTS_JUST_SENT
    [[ -n "${STORM_WARMUP:-}" ]] || return 0
    program_running || return 0
    LIFE_EVENTS=$((LIFE_EVENTS + $1))
    # Like with like: only samples taken with the frame alone open are compared.
    [[ "$(program_windows | wc -l)" -eq 1 ]] || return 0
    local now
    now=$(resident_kib)
    if [[ -z "$WARM_RSS" ]]; then
        ((LIFE_EVENTS >= STORM_WARMUP)) && WARM_RSS=$now && WARM_AT=$LIFE_EVENTS
        return 0
    fi
    local line
    line=$(printf '%d %d KiB after %d events of warm-up, %d KiB after %d: growth %d KiB' \
        $((LIFE_EVENTS - WARM_AT)) "$WARM_RSS" "$WARM_AT" "$now" "$LIFE_EVENTS" $((now - WARM_RSS)))
    if [[ -z "$MEMORY_REPORT" || ${line%% *} -ge ${MEMORY_REPORT%% *} ]]; then
        MEMORY_REPORT=$line
    fi
    echo "   memory: resident ${line#* }"
}

# The program's managed windows, oldest first: "ID modal|plain viewable|iconic|hidden TITLE".
program_windows() {
    "$STORM_BIN" windows "$E2E_PID"
}

# The window at the top of the modal chain: the newest modal window still there, else the frame.
top_window() {
    local top
    top=$(program_windows | awk '$2 == "modal" && $3 != "hidden" {id = $1} END {print id}')
    echo "${top:-$FRAME}"
}

# Escape closes open menus; a tool tip goes by itself.
dismiss_popups() {
    local deadline=$((SECONDS + 15))
    while [[ -n "$(popup_windows)" ]]; do
        program_running || return 0
        ((SECONDS < deadline)) || fail "a popup stays open: $(popup_windows | tr '\n' ' ')"
        xdotool key Escape
        sleep 0.5
    done
}

# The top of the chain comes back if minimised, is raised and takes the focus.
check_input() {
    local top deadline
    dismiss_popups
    top=$(top_window)
    deadline=$((SECONDS + 10))
    while :; do
        "$STORM_BIN" activate "$top"
        sleep 0.2
        if [[ "$("$STORM_BIN" active)" == "$top" ]] \
            && program_windows | grep -q "^$top [a-z]* viewable "; then
            return 0
        fi
        program_running || return 0
        ((SECONDS < deadline)) \
            || fail "the window at the top of the chain ($top) does not take the focus: $(program_windows | tr '\n' ';')"
    done
}

EXITS=0
# Between chunks: a program that ended must have ended cleanly; a running one must answer.
check_program() {
    sanitizer_quiet || fail "a sanitizer reported a fault"
    if ! program_running; then
        wait_program_exit 60
        sanitizer_quiet || fail "a sanitizer reported a fault at exit"
        [[ "$E2E_STATUS" == 0 ]] || fail "the program ended with status $E2E_STATUS"
        EXITS=$((EXITS + 1))
        echo "the program ended cleanly (Exit, or its last window closed); starting it again"
        start_storm_program
        return 0
    fi
    "$STORM_BIN" ping "$FRAME" 20000 || fail "the program does not answer the window manager"
    check_input
    sanitizer_quiet || fail "a sanitizer reported a fault"
}

step "the program starts"
start_storm_program

step "storm $SEED: $EVENTS events (replay: the same seed and count)"
echo "seed $SEED"
sent=0
storm_seconds=0
declare -A SEEN
while ((sent < EVENTS)); do
    n=$((EVENTS - sent < CHUNK ? EVENTS - sent : CHUNK))
    if program_running; then
        start=$(date +%s%N)
        out=$("$STORM_BIN" send "$SEED" "$sent" "$n" "$E2E_PID")
        storm_seconds=$((storm_seconds + ($(date +%s%N) - start) / 1000000))
        got=$(awk '/^sent / {print $2}' <<<"$out")
        sent=$((sent + got))
        open_now=$(program_windows | cut -d' ' -f4- | paste -sd '|' -)
        echo "-- [${SECONDS}s] $sent events sent; open: ${open_now:-none}"
        IFS='|' read -ra titles <<<"$open_now"
        for title in "${titles[@]}"; do SEEN["$title"]=1; done
        note_memory "$got"
    fi
    check_program
done
awk -v n="$sent" -v ms="$storm_seconds" 'BEGIN {printf "storm: %d events in %.1f s of sending, %.0f events/s\n", n, ms / 1000, n * 1000 / ms}'
echo "storm: the program ended cleanly and was started again $EXITS times"
echo "storm: windows seen open between chunks: $(printf '%s; ' "${!SEEN[@]}")"
if [[ -n "$MEMORY_REPORT" ]]; then
    echo "memory: resident ${MEMORY_REPORT#* }"
fi

step "close the windows back to the frame"
for _ in 1 2 3 4 5 6 7 8; do
    dismiss_popups
    top=$(top_window)
    [[ "$top" == "$FRAME" ]] && break
    "$E2E_XCLOSE" "$top" || true
    sleep 0.5
done
[[ "$(top_window)" == "$FRAME" ]] || fail "could not close back to the frame: $(program_windows | tr '\n' ';')"
for id in $(program_windows | awk '$1 != "'"$FRAME"'" {print $1}'); do
    "$E2E_XCLOSE" "$id" || true # a modeless window left over is closed too
done
check_input
# The storm may have moved or shrunk the frame; its menus are read from the screen.
"$STORM_BIN" maximize "$FRAME"
sleep 1

step "each lesson opens once from the frame and shows its first card"
number=$(open_lesson 0 "Number")
client_origin "$number" 0
expect_colour 88 40 257 265 00FF00 "the Number lesson's green numeral"
close_window "$number"
wait_window_gone "Number"
open_english
card_picture "$LESSON_APPLE"
expect_colour "${LETTER[@]}" FF00FF "the English lesson's magenta letter A"
close_window "$lesson"
wait_window_gone "$ENGLISH_TITLE"
hindi=$(open_lesson 2 "Hindi Alpphabet")
close_window "$hindi"
wait_window_gone "Hindi Alpphabet"

step "Window > Exit ends the program cleanly"
exit_from_frame
sanitizer_quiet || fail "a sanitizer reported a fault at exit"
