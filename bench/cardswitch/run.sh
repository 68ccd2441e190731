#!/bin/bash
# Card changes in the English lesson: key press to card painted against a bare Qt floor, at
# scale 1 and 2, with every card speaking and with a screen reader listening, then resident
# memory over many card changes and many openings and closings.
# usage: bench/cardswitch/run.sh <build-dir> [program-folder holding images/]
set -euo pipefail

build=$(cd "${1:?usage: run.sh <build-dir> [program-folder]}" && pwd)
folder=${2:-$build}
bench=$build/bench/cardswitch/quorbel-bench-cardswitch
[[ -x $bench ]] || { echo "missing $bench: build it first" >&2; exit 2; }

export QT_QPA_PLATFORM=offscreen
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime
# Each in a fresh process, so the soak starts from a clean heap.
switch=$("$bench" switch "$folder")
switch2=$(QT_SCALE_FACTOR=2 "$bench" switch "$folder")
soak=$("$bench" soak "$folder")
# Every card speaking through a sound server of its own, with a null sink.
HOME=$runtime pulseaudio -n --daemonize=no --exit-idle-time=-1 -L module-native-protocol-unix \
    -L module-null-sink 2>/dev/null &
server=$!
until HOME=$runtime pactl info >/dev/null 2>&1; do sleep 0.1; done
speaking=$(HOME=$runtime "$bench" switch "$folder" | sed '1s/$/, speaking through a sound server/')
kill "$server"
wait "$server" || true
# Qt's accessibility bridge runs on the X and Wayland platforms only: a private X server, the
# AT-SPI bus and a listener in a D-Bus session of their own.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
a11y=$(xvfb-run -a -s "-screen 0 2400x1200x24" env QT_QPA_PLATFORM=xcb \
    bash "$here/accessible.sh" "$bench" switch "$folder")
printf '%s\n\n' "$switch" "$speaking" "$switch2" "$a11y" "$soak"
verdicts=$(printf '%s\n' "$switch" "$speaking" "$switch2" "$a11y" "$soak")
echo "Summary: $(grep -c PASS <<<"$verdicts") targets met, $(grep -c OVER <<<"$verdicts") over"
