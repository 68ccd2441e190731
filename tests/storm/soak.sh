#!/usr/bin/env bash
# A long storm, by hand (not part of ./test.sh): 100,000 events by default against the Release
# program, printing the events sent per second and how much the resident size grew after a
# warm-up of 10,000 events (it should stay under 2 MiB), read with the frame alone open. The
# soak spares the frame: it never closes it nor picks Window > Exit, so one life of the program
# mostly takes the whole storm.
#   tests/storm/soak.sh [EVENTS] [SEED] [PROGRAM]
# Builds the program and xclose in build/ as needed, and the storm driver in a temporary folder.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
events=${1:-100000}
seed=${2:-fresh}
program=${3:-$root/build/quorbel-alphabet}

cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" --target quorbel-alphabet xclose
driver=$(mktemp -d "${TMPDIR:-/tmp}/quorbel-soak.XXXXXX")
trap 'rm -rf "$driver"' EXIT
cc -O2 -o "$driver/storm" "$root/tests/storm/storm.c" -lX11 -lXtst

STORM_SOAK=1 STORM_WARMUP=${STORM_WARMUP:-10000} xvfb-run -a -s "-screen 0 1920x1080x24" \
    bash "$root/tests/storm/storm.sh" "$program" "$root/build/tests/e2e/xclose" \
    "$driver/storm" "$seed" "$events" 1000
