#!/bin/sh
# Makes the program's icons, cursor and pictures again from the tools in this folder.
# Usage: tools/make-pictures.sh [BUILD-DIR]
#   With BUILD-DIR (a configured build of the whole program), builds the tools there;
#   otherwise builds them on their own in a scratch folder that is removed afterwards.
set -eu

repo=$(cd "$(dirname "$0")/.." && pwd)
tools="make-quorbel-icon make-clock-icon make-click-cursor make-apple-picture make-card-pictures"

if [ $# -ge 1 ]; then
    build=$(cd "$1" && pwd)
    # shellcheck disable=SC2086
    cmake --build "$build" --target $tools
    bin="$build/tools"
else
    build=$(mktemp -d)
    trap 'rm -rf "$build"' EXIT
    cmake -S "$repo/tools" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" --parallel
    bin="$build"
fi

# The tools draw off screen; no display is needed.
export QT_QPA_PLATFORM=offscreen
mkdir -p "$repo/src/resources" "$repo/images"
"$bin/make-quorbel-icon" "$repo/src/resources/quorbel.ico"
"$bin/make-clock-icon" "$repo/src/resources/clock.ico"
"$bin/make-click-cursor" "$repo/src/resources/click.cur"
"$bin/make-apple-picture" "$repo/src/resources/apple.jpg"
"$bin/make-card-pictures" "$repo/images"
