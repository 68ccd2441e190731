#!/bin/bash
# Key to sound: the time from a key sent to the English lesson until its card's first sound
# sample reaches a PulseAudio null sink, against a bare Qt window that plays one preloaded
# QSoundEffect on every key, both in one run on a private sound server and virtual screen.
# Also the lesson's resident memory with all clips loaded, against the same program alone in a
# folder without its sounds and its sound module, which then starts and runs as it did before it
# had a voice.
# usage: bench/keysound/run.sh <build-dir>     (KEYS=n overrides the 25 keys of each;
#        RECORDINGS=folder puts its clips where a parent's recordings go)
set -euo pipefail

build=$(cd "${1:?usage: run.sh <build-dir>}" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
program=$build/quorbel-alphabet
bare=$build/bench/keysound/quorbel-bench-barekey
for file in "$program" "$bare" "$build/sounds/k.wav"; do
    [[ -e $file ]] || { echo "missing $file: build it first" >&2; exit 2; }
done
if [[ -z ${KEYSOUND_SCREEN:-} ]]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" env KEYSOUND_SCREEN=1 "$0" "$@"
fi
keys=$(printf 'k%.0s' $(seq "${KEYS:-25}"))

work=$(mktemp -d)
pids=()
cleanup() {
    kill "${pids[@]}" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$work/run HOME=$work
mkdir -m 700 "$XDG_RUNTIME_DIR"
# RECORDINGS=folder: its clips stand in as a parent's recordings for every card.
if [[ -n ${RECORDINGS:-} ]]; then
    mkdir -p "$work/.local/share/quorbel-alphabet"
    cp -r "$RECORDINGS" "$work/.local/share/quorbel-alphabet/sounds"
fi
pulseaudio -n --daemonize=no --exit-idle-time=-1 -L module-native-protocol-unix \
    -L module-null-sink 2>"$work/pulse.log" &
pids+=($!)
until pactl info >/dev/null 2>&1; do sleep 0.1; done
# A silent stream keeps the sink running, so the first key does not wake it up.
pacat -p --raw --format=s16le --rate=22050 --channels=1 /dev/zero &
pids+=($!)
sleep 2

# The bare window: one preloaded effect, played on every key.
"$bare" "$build/sounds/k.wav" 2>/dev/null &
pid=$!
pids+=("$pid")
xdotool search --sync --name '^Bare key sound$' windowfocus --sync >/dev/null
sleep 1
read -r floor_median floor_p10 floor_p90 floor_rss floor_missed < <(/usr/bin/python3 "$here/keysound.py" bare "$keys" "$pid")
kill "$pid"

# The lesson, opened from the frame's menu; it says its first card as it opens.
lesson() {
    "$1" 2>/dev/null &
    pid=$!
    pids+=("$pid")
    xdotool search --sync --name '^Quorbel Alphabet$' >/dev/null
    xdotool key F10 Down Down Return
    xdotool search --sync --name '^English Alphabet$' windowfocus --sync >/dev/null
    sleep 2
}
lesson "$program"
read -r median p10 p90 rss missed < <(/usr/bin/python3 "$here/keysound.py" lesson "$keys" "$pid")
kill "$pid"

# The same program without its clips and sound module: it loads neither and says nothing.
mkdir "$work/silent"
cp "$program" "$work/silent/"
ln -s "$build/images" "$work/silent/images"
lesson "$work/silent/quorbel-alphabet"
xdotool type --delay 50 "$keys"
sleep 1
silent_rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")

printf 'key to sound, %d keys (ms): median p10..p90\n' "${#keys}"
printf '  bare QSoundEffect  %6.1f  %.1f..%.1f  (silent keys: %d)\n' "$floor_median" "$floor_p10" \
    "$floor_p90" "$floor_missed"
printf '  English lesson     %6.1f  %.1f..%.1f  (silent keys: %d)\n' "$median" "$p10" "$p90" "$missed"
awk -v a="$median" -v b="$floor_median" \
    'BEGIN { d = a - b; printf "  above the floor    %6.1f ms (target <= 30: %s)\n", d, d <= 30 ? "PASS" : "OVER" }'
awk -v a="$rss" -v b="$silent_rss" 'BEGIN { d = (a - b) / 1024;
    printf "resident memory: %.1f MiB with all clips loaded, %.1f MiB without sound; +%.1f MiB (target <= 8: %s)\n",
        a / 1024, b / 1024, d, d <= 8 ? "PASS" : "OVER" }'
