#!/bin/bash
# Start-up to first pixels and peak memory: the program against a bare Qt window of the same
# kind, alternating, on one private virtual screen.
# usage: bench/startup/run.sh <build-dir>      (RUNS=n overrides the 15 runs of each)
#        ACCESSIBILITY=1 bench/startup/run.sh <build-dir>   both with a screen reader listening
set -euo pipefail

accessibility=${ACCESSIBILITY:-0}
if [[ $accessibility == 1 ]]; then
    # shellcheck source=bench/atspi/session.sh
    source "$(dirname "${BASH_SOURCE[0]}")/../atspi/session.sh" "$0" "$@"
fi

build=$(cd "${1:?usage: run.sh <build-dir>}" && pwd)
runs=${RUNS:-15}
title="Quorbel Alphabet"
program=$build/quorbel-alphabet
bare=$build/bench/startup/quorbel-bench-barewindow
helper=$build/bench/startup/quorbel-bench-firstpixels
for file in "$program" "$bare" "$helper"; do
    [[ -x $file ]] || { echo "missing $file: build it first" >&2; exit 2; }
done

work=$(mktemp -d)
xvfb=
cleanup() {
    if [[ $accessibility == 1 ]]; then
        atspi_stop
    fi
    if [[ -n $xvfb ]]; then
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# -br: a black root, so an undrawn window reads black; -noreset: one server for every run.
Xvfb -displayfd 3 -noreset -br -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" \
    2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    kill -0 "$xvfb" 2>/dev/null || { cat "$work/xvfb.log" >&2; exit 1; }
    sleep 0.1
done
[[ -s $work/display ]] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY

measure() { "$helper" "$title" "$1"; }

measure "$program" >/dev/null # warm-up: disk cache, font cache
measure "$bare" >/dev/null
for _ in $(seq "$runs"); do
    measure "$program" >>"$work/program"
    measure "$bare" >>"$work/bare"
done

# median of column $2 of file $1
median() { cut -d' ' -f"$2" "$1" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# min and max of column $2 of file $1
spread() { cut -d' ' -f"$2" "$1" | sort -g | awk 'NR == 1 { lo = $1 } { hi = $1 } END { print lo, hi }'; }

read -r pmin pmax < <(spread "$work/program" 1)
read -r bmin bmax < <(spread "$work/bare" 1)
setting="no accessibility"
[[ $accessibility == 1 ]] && setting="AT-SPI bus up, a screen reader listening, Qt accessibility on"
awk -v runs="$runs" -v setting="$setting" -v pt="$(median "$work/program" 1)" -v pm="$(median "$work/program" 2)" \
    -v bt="$(median "$work/bare" 1)" -v bm="$(median "$work/bare" 2)" \
    -v pmin="$pmin" -v pmax="$pmax" -v bmin="$bmin" -v bmax="$bmax" 'BEGIN {
    tr = pt / bt; mr = pm / bm
    printf "Start-up to first pixels on the X server, median of %d runs each (%s)\n", runs, setting
    printf "%-18s %10s %16s %10s\n", "", "time ms", "(min..max)", "peak MiB"
    printf "%-18s %10.1f %7.1f..%-7.1f %10.1f\n", "quorbel-alphabet", pt, pmin, pmax, pm / 1024
    printf "%-18s %10.1f %7.1f..%-7.1f %10.1f\n", "bare Qt window", bt, bmin, bmax, bm / 1024
    printf "time ratio   %.3f  (target <= 1.15: %s)\n", tr, tr <= 1.15 ? "PASS" : "OVER"
    printf "memory ratio %.3f  (target <= 1.2: %s)\n", mr, mr <= 1.2 ? "PASS" : "OVER"
}'
