#!/bin/bash
# Card changes in the English lesson: key press to card painted against a bare Qt floor, then
# resident memory over many card changes and many openings and closings.
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
soak=$("$bench" soak "$folder")
printf '%s\n\n%s\n\n' "$switch" "$soak"
verdicts=$(printf '%s\n%s\n' "$switch" "$soak")
echo "Summary: $(grep -c PASS <<<"$verdicts") targets met, $(grep -c OVER <<<"$verdicts") over"
