# shellcheck shell=bash disable=SC2034 # globals E2E_*, GEOM_* are read by the test scripts
# Helpers for the end-to-end tests. Each test script runs under xvfb-run as
#   bash SCRIPT PROGRAM XCLOSE
# and starts with:
#   source "$(dirname "${BASH_SOURCE[0]}")/lib.sh" "$@"
set -euo pipefail

if (($# < 2)); then
    echo "usage: bash SCRIPT PROGRAM XCLOSE" >&2
    exit 2
fi
E2E_PROGRAM=$1
E2E_XCLOSE=$2
E2E_NAME=$(basename "$0" .sh)
E2E_DIR=$(mktemp -d "${TMPDIR:-/tmp}/quorbel-e2e-$E2E_NAME.XXXXXX")
E2E_LOG="$E2E_DIR/program.log"
E2E_PID=""      # the program, while it runs
E2E_RUNNER=""   # the subshell that waits for it and keeps its exit status
E2E_STATUS=""   # the program's exit status once it has ended
E2E_STEP="start"

[[ -x "$E2E_PROGRAM" ]] || { echo "e2e: no program at $E2E_PROGRAM" >&2; exit 2; }
[[ -x "$E2E_XCLOSE" ]] || { echo "e2e: no xclose at $E2E_XCLOSE" >&2; exit 2; }
[[ -n "${DISPLAY:-}" ]] || { echo "e2e: no DISPLAY; run under xvfb-run -a" >&2; exit 2; }

step() {
    E2E_STEP=$*
    echo "-- [${SECONDS}s] $*"
}

fail() {
    echo "FAIL [$E2E_NAME] $E2E_STEP: $*" >&2
    exit 1
}

assert_eq() { # ACTUAL EXPECTED MESSAGE
    [[ "$1" == "$2" ]] || fail "$3: expected '$2', got '$1'"
}

assert_between() { # VALUE LOW HIGH MESSAGE
    [[ "$1" =~ ^-?[0-9]+$ ]] || fail "$4: '$1' is not a number"
    (($1 >= $2 && $1 <= $3)) || fail "$4: expected $2..$3, got $1"
}

e2e_cleanup() {
    local status=$?
    set +e
    # While the program still shows what went wrong.
    if ((status != 0)); then
        import -window root "$E2E_DIR/failure.png" 2>/dev/null \
            && echo "screenshot at failure: $E2E_DIR/failure.png" >&2
    fi
    if [[ -n "$E2E_PID" ]] && kill -0 "$E2E_PID" 2>/dev/null; then
        kill "$E2E_PID" 2>/dev/null
        sleep 0.5
        kill -0 "$E2E_PID" 2>/dev/null && kill -9 "$E2E_PID" 2>/dev/null
    fi
    [[ -n "$E2E_RUNNER" ]] && wait "$E2E_RUNNER" 2>/dev/null
    if ((status != 0)); then
        echo "---- program output ($E2E_LOG) ----" >&2
        cat "$E2E_LOG" >&2 2>/dev/null
        echo "---- end of program output ----" >&2
    else
        rm -rf "$E2E_DIR"
        echo "PASS [$E2E_NAME]"
    fi
    exit "$status"
}
trap e2e_cleanup EXIT

# Starts the program in the background; its output goes to the log.
start_program() {
    E2E_STATUS=""
    rm -f "$E2E_DIR/status" "$E2E_DIR/pid"
    (
        "$E2E_PROGRAM" "$@" >>"$E2E_LOG" 2>&1 &
        echo $! >"$E2E_DIR/pid"
        status=0
        wait $! || status=$?
        echo "$status" >"$E2E_DIR/status"
    ) &
    E2E_RUNNER=$!
    local deadline=$((SECONDS + 5))
    until [[ -s "$E2E_DIR/pid" ]]; do
        ((SECONDS < deadline)) || fail "the program did not start"
        sleep 0.05
    done
    E2E_PID=$(<"$E2E_DIR/pid")
}

# Waits for the program to end; sets E2E_STATUS to its exit status.
wait_program_exit() { # [TIMEOUT_SECONDS]
    local deadline=$((SECONDS + ${1:-15}))
    until [[ -s "$E2E_DIR/status" ]]; do
        ((SECONDS < deadline)) || fail "the program did not end within ${1:-15} s"
        sleep 0.1
    done
    wait "$E2E_RUNNER" 2>/dev/null || true
    E2E_STATUS=$(<"$E2E_DIR/status")
    E2E_PID=""
    E2E_RUNNER=""
}

program_running() { [[ -n "$E2E_PID" && ! -s "$E2E_DIR/status" ]]; }

# shellcheck disable=SC2016 # the $ is a character to quote, not an expansion
regex_quote() { sed -e 's/[][\.*^$(){}?+|/]/\\&/g' <<<"$1"; }

# Prints the ids of the visible windows whose title is exactly TITLE.
windows_titled() { # TITLE
    xdotool search --onlyvisible --name "^$(regex_quote "$1")\$" 2>/dev/null || true
}

# Waits for a visible window titled exactly TITLE and prints its id.
wait_window() { # TITLE [TIMEOUT_SECONDS]
    local title=$1 timeout=${2:-20} ids
    local deadline=$((SECONDS + timeout))
    while :; do
        ids=$(windows_titled "$title")
        if [[ -n "$ids" ]]; then
            head -n 1 <<<"$ids"
            return 0
        fi
        program_running || fail "the program ended before a window '$title' appeared"
        ((SECONDS < deadline)) || fail "no window titled '$title' within $timeout s"
        sleep 0.2
    done
}

# Waits until no visible window is titled exactly TITLE.
wait_window_gone() { # TITLE [TIMEOUT_SECONDS]
    local title=$1 timeout=${2:-10}
    local deadline=$((SECONDS + timeout))
    while [[ -n "$(windows_titled "$title")" ]]; do
        ((SECONDS < deadline)) || fail "window '$title' still open after $timeout s"
        sleep 0.2
    done
}

# Without a window manager nobody hands out focus: take it as a click would.
focus_window() { # WINDOW
    xdotool windowraise "$1"
    timeout 10 xdotool windowfocus --sync "$1" || fail "could not focus window $1"
}

# Sets GEOM_X GEOM_Y (absolute upper-left) GEOM_W GEOM_H of a window.
window_geometry() { # WINDOW
    local info
    info=$(xwininfo -id "$1") || fail "xwininfo failed for window $1"
    GEOM_X=$(awk -F: '/Absolute upper-left X/ {gsub(/ /, "", $2); print $2}' <<<"$info")
    GEOM_Y=$(awk -F: '/Absolute upper-left Y/ {gsub(/ /, "", $2); print $2}' <<<"$info")
    GEOM_W=$(awk -F: '/^ *Width/ {gsub(/ /, "", $2); print $2}' <<<"$info")
    GEOM_H=$(awk -F: '/^ *Height/ {gsub(/ /, "", $2); print $2}' <<<"$info")
}

# Clicks the left button at a point of the screen.
click_screen() { # X Y
    local here
    here=$(xdotool getmouselocation --shell | awk -F= '/^[XY]=/ {printf "%s ", $2}')
    # mousemove --sync waits for a motion, which never comes if the pointer is there already.
    if [[ "$here" != "$1 $2 " ]]; then
        xdotool mousemove --sync "$1" "$2"
    fi
    xdotool click 1
}

# Clicks the left button at a point given relative to a window.
click_at() { # WINDOW X Y
    local info x y
    info=$(xwininfo -id "$1") || fail "xwininfo failed for window $1"
    x=$(awk -F: '/Absolute upper-left X/ {gsub(/ /, "", $2); print $2}' <<<"$info")
    y=$(awk -F: '/Absolute upper-left Y/ {gsub(/ /, "", $2); print $2}' <<<"$info")
    click_screen $((x + $2)) $((y + $3))
}

# Presses keys (xdotool names: Return, Escape, Down, ctrl+q ...) in the focused window.
press_keys() { # KEY...
    xdotool key --clearmodifiers --delay 80 "$@"
}

type_text() { # TEXT
    xdotool type --clearmodifiers --delay 60 -- "$1"
}

# Asks a window to close as a window manager's close box would.
close_window() { # WINDOW
    "$E2E_XCLOSE" "$1" || fail "xclose could not close window $1"
}

# Prints the colour of a screen point as RRGGBB.
pixel_at() { # X Y
    local out
    out=$(import -window root -crop "1x1+$1+$2" -depth 8 txt:-) || fail "import failed"
    grep -oE '#[0-9A-Fa-f]{6}' <<<"$out" | head -n 1 | tr -d '#' | tr 'a-f' 'A-F'
}

# Prints the visible override-redirect top-level windows: open menus and other popups.
popup_windows() {
    local id
    while read -r id; do
        if xwininfo -id "$id" 2>/dev/null \
            | grep -q 'Map State: IsViewable' \
            && xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes'; then
            echo "$id"
        fi
    done < <(xwininfo -root -children | awk '/^ +0x[0-9a-f]+ / {print $1}')
}

# Waits for a popup (such as an opened menu) and prints its id.
wait_popup() { # [TIMEOUT_SECONDS]
    local deadline=$((SECONDS + ${1:-5})) ids
    while :; do
        ids=$(popup_windows)
        if [[ -n "$ids" ]]; then
            tail -n 1 <<<"$ids"
            return 0
        fi
        ((SECONDS < deadline)) || fail "no popup opened within ${1:-5} s"
        sleep 0.1
    done
}

# Fails if a popup shows up within the time given.
expect_no_popup() { # [SECONDS]
    local deadline=$((SECONDS + ${1:-2}))
    while ((SECONDS < deadline)); do
        [[ -z "$(popup_windows)" ]] || fail "a popup opened: $(popup_windows | tr '\n' ' ')"
        sleep 0.1
    done
}

wait_no_popup() { # [TIMEOUT_SECONDS]
    local deadline=$((SECONDS + ${1:-5}))
    while [[ -n "$(popup_windows)" ]]; do
        ((SECONDS < deadline)) || fail "a popup is still open after ${1:-5} s"
        sleep 0.1
    done
}

# Finds where text is drawn in a screen rectangle: prints one "FROM TO" line per
# run of columns (AXIS x) or rows (AXIS y) holding dark pixels, runs closer than
# GAP merged. Lets a test find menu captions whatever font the machine has.
ink_spans() { # AXIS X Y W H [GAP]
    local axis=$1 x=$2 y=$3 w=$4 h=$5 gap=${6:-6}
    import -window root -crop "${w}x${h}+${x}+${y}" +repage -depth 8 txt:- \
        | awk -v axis="$axis" -v gap="$gap" '
            /^#/ { next }
            {
                split($1, p, /[,:]/)
                c = $2
                gsub(/[()]/, "", c)
                split(c, v, ",")
                if (0.299 * v[1] + 0.587 * v[2] + 0.114 * v[3] < 110)
                    ink[axis == "x" ? p[1] : p[2]] = 1
                n = (axis == "x" ? p[1] : p[2])
                if (n > last) last = n
            }
            END {
                start = -1
                for (i = 0; i <= last; i++) {
                    if (i in ink) {
                        if (start < 0) start = i
                        else if (i - end > gap) { print start, end; start = i }
                        end = i
                    }
                }
                if (start >= 0) print start, end
            }'
}

# Finds the menu bar captions on screen: sets MENU_TOP MENU_BOTTOM (rows of the
# caption text, relative to the frame) and MENU_SPANS (one "FROM TO" column run
# per caption, left to right).
find_menu_captions() { # FRAME
    window_geometry "$1"
    local rows
    rows=$(ink_spans y "$GEOM_X" "$GEOM_Y" 400 40 1 | head -n 1)
    [[ -n "$rows" ]] || fail "no menu bar text at the top of the frame"
    read -r MENU_TOP MENU_BOTTOM <<<"$rows"
    mapfile -t MENU_SPANS < <(ink_spans x "$GEOM_X" $((GEOM_Y + MENU_TOP)) 600 \
        $((MENU_BOTTOM - MENU_TOP + 1)) 6)
    ((${#MENU_SPANS[@]} >= 2)) || fail "expected the Learn and Window captions, found ${#MENU_SPANS[@]}"
}

# Clicks the middle of the Nth menu bar caption (0 = Learn, 1 = Window).
click_menu() { # FRAME N
    local from to
    read -r from to <<<"${MENU_SPANS[$2]}"
    click_at "$1" $(((from + to) / 2)) $(((MENU_TOP + MENU_BOTTOM) / 2))
}

# Prints the middle of each text line of an open menu as "X Y" in screen
# coordinates, top to bottom.
menu_item_centres() { # POPUP
    window_geometry "$1"
    local inset=3 from to
    while read -r from to; do
        echo $((GEOM_X + GEOM_W / 2)) $((GEOM_Y + inset + (from + to) / 2))
    done < <(ink_spans y $((GEOM_X + inset)) $((GEOM_Y + inset)) \
        $((GEOM_W - 2 * inset)) $((GEOM_H - 2 * inset)) 2)
}

# Saves a screenshot of the virtual screen (handy when writing a test).
screenshot() { # FILE
    import -window root "$1"
}
