#!/usr/bin/env bash
# The English lesson speaks through a real sound server: its first card as it opens, the card of
# a typed letter, a new card cuts off the one before, and it speaks again after the server
# restarts. Without a server it stays silent and answers keys as before. Runs inside xvfb-run; the server and its null sink are its own.
# A burst of keys ends on the card shown, and the frame's close box ends the program while it
# speaks, also with the sound server frozen.
# usage: speech.sh PROGRAM OPENBOX-CONFIG
set -euo pipefail

program=$1
folder=$(dirname "$program")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
    kill "${pids[@]}" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    tail -n 5 "$work/program.err" 2>/dev/null
    exit 1
}

export XDG_RUNTIME_DIR=$work/run HOME=$work
mkdir -m 700 "$XDG_RUNTIME_DIR"
# A sound server with a null sink, and a recording of what it plays into $recording.
servers=0
start_server() {
    pulseaudio -n --daemonize=no --exit-idle-time=-1 -L module-native-protocol-unix \
        -L module-null-sink 2>>"$work/pulse.log" &
    server=$!
    pids+=("$server")
    until pactl info >/dev/null 2>&1; do sleep 0.1; done
    # A silent stream keeps the sink running; the monitor delivers only after a warm-up.
    pacat -p --raw --format=s16le --rate=22050 --channels=1 /dev/zero &
    pids+=($!)
    recording=$work/heard-$((++servers)).raw
    : >"$recording"
    parec -d null.monitor --raw --format=s16le --rate=22050 --channels=1 >"$recording" &
    pids+=($!)
    until (($(stat -c %s "$recording") > 2 * 44100)); do sleep 0.1; done
}
stop_server() {
    kill "$server"
    wait "$server" 2>/dev/null || true
}

# Waits (at most TRIES tenths of a second) until the recording holds N stretches of sound; sets
# duration and clip to the Nth.
heard() {
    local lines
    for _ in $(seq "${2:-200}"); do
        lines=$(/usr/bin/python3 "$here/segments.py" "$folder/sounds" "$recording")
        if [[ -n $lines ]] && (($(wc -l <<<"$lines") >= $1)); then
            read -r duration clip < <(sed -n "${1}p" <<<"$lines")
            return
        fi
        sleep 0.1
    done
    [[ -n ${2:-} ]] && return 1
    fail "heard ${lines:+$(wc -l <<<"$lines")} clips, waited for $1"
}
length() { /usr/bin/python3 "$here/segments.py" "$folder/sounds" | awk -v c="$1" '$2 == c {print $1}'; }

# The id of a window titled exactly NAME. A window that goes while xdotool reads it makes
# xdotool fail: look again.
find_window() {
    local found=""
    for _ in {1..300}; do
        found=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) || true
        [[ -n $found ]] && break
        sleep 0.1
    done
    [[ -n $found ]] || { echo "FAIL: no window '$1'" >&2; exit 1; }
    echo "$found"
}
open_lesson() {
    "$program" 2>>"$work/program.err" &
    pid=$!
    pids+=("$pid")
    frame=$(find_window 'Quorbel Alphabet')
    xdotool key F10 Down Down Return
    lesson=$(find_window 'English Alphabet')
    xdotool windowfocus --sync "$lesson"
}

start_server
open_lesson
heard 1
[[ $clip == a.wav ]] || fail "the lesson opened saying $clip, not a.wav"
pactl list clients | grep -q 'application.name = "Quorbel Alphabet"' ||
    fail "the sound server does not list the program as Quorbel Alphabet"
pactl list clients | grep -q 'application.icon_name = "org.quorbel.Alphabet"' ||
    fail "the sound server has no icon name for the program"

xdotool type k
heard 2
[[ $clip == k.wav ]] || fail "typed k said $clip, not k.wav"
# The card above the answer box, whose caret blinks.
card() { import -window "$lesson" -crop x480+0+0 "$1"; }
card "$work/with-sound.png"

# A long clip cut off by a short one: what is heard ends with the short one, well before the long
# one would have, and nothing is queued behind.
xdotool type --delay 150 wb
heard 3
[[ $clip == b.wav ]] || fail "w then b ended saying $clip, not b.wav"
awk -v d="$duration" -v w="$(length w.wav)" -v b="$(length b.wav)" 'BEGIN { exit !(d < w - 0.2 && d < b + 0.5) }' ||
    fail "w then b sounded for $duration s: w is $(length w.wav) s, b $(length b.wav) s; not cut off"

# The sound server restarts under the open lesson: a card speaks again once it is back.
stop_server
start_server
for _ in $(seq 10); do
    xdotool type z
    heard 1 30 && break
done
[[ ${clip:-} == z.wav ]] || fail "after the sound server restarted, z said ${clip:-nothing}"

# A burst of keys: whatever is cut off on the way, the last thing heard is the card shown.
stretches() { /usr/bin/python3 "$here/segments.py" "$folder/sounds" "$recording" | wc -l; }
before=$(stretches)
xdotool type --delay 25 qwertyuiopmnbvcxlkjhgfdsazm
count=$before still=0
until ((count > before && still >= 30)); do
    sleep 0.1
    now=$(stretches)
    ((now == count)) && still=$((still + 1)) || still=0
    count=$now
done
heard "$count"
[[ $clip == m.wav ]] || fail "a burst of keys ending on m ended saying $clip"

# The frame's close box while a clip plays ends the program with status 0, with the sound server
# answering and with it frozen: no way out waits on the server.
openbox --config-file "$2" >>"$work/openbox.log" 2>&1 &
pids+=($!)
until xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; do sleep 0.2; done
close_while_speaking() {
    # Under load openbox may not have given the lesson the focus yet: a key that went nowhere is
    # sent again.
    local try
    for try in 1 2 3 4 5; do
        xdotool windowactivate --sync "$lesson" 2>/dev/null || true
        xdotool type w
        heard "$((count + 1))" 50 && break
    done
    ((try < 5)) || heard "$((count + 1))"
    # Frozen, a new card's stream waits inside Qt's open for a server that never answers.
    [[ -n ${1:-} ]] && kill -STOP "$server" && xdotool type b
    # The lesson is modal: its own close box first, then the frame's.
    xdo close "$lesson"
    while [[ $(xwininfo -id "$lesson" 2>/dev/null | awk '/Map State/ {print $3}') == IsViewable ]]; do
        sleep 0.1
    done
    xdo close "$frame"
    timeout 20 tail --pid="$pid" -f /dev/null || fail "the close box did not end the program ${1:-}"
    status=0
    wait "$pid" || status=$?
    ((status == 0)) || fail "the close box ended the program ${1:-} with status $status"
    [[ -n ${1:-} ]] && kill -CONT "$server"
    return 0
}
count=$(stretches)
close_while_speaking
open_lesson
count=$(stretches)
close_while_speaking "with the sound server frozen"

# No sound server at all: the same card, no message box, and keys still answered.
stop_server
open_lesson
xdotool type k
xdotool search --sync --name '^English Alphabet$' >/dev/null
# Once drawn, the card is the same as with sound.
for _ in {1..100}; do
    card "$work/without-sound.png"
    [[ $(compare -metric AE "$work/with-sound.png" "$work/without-sound.png" null: 2>&1) == 0 ]] \
        && break
    sleep 0.1
done
[[ $(compare -metric AE "$work/with-sound.png" "$work/without-sound.png" null: 2>&1) == 0 ]] ||
    fail "without a sound server the k card looks different"
if xdotool search --onlyvisible --name '^QuorbelAlphabet$' >/dev/null; then
    fail "a message box opened without a sound server"
fi
kill -0 "$pid" || fail "the program ended without a sound server"
if grep -v -e PulseAudioService "$work/program.err" | grep .; then
    fail "the program complained on standard error"
fi
echo "PASS: the lesson speaks its cards, cuts one off, ends on the last of a burst, outlives a server restart, closes with it frozen, works without one"
