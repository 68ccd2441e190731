#!/usr/bin/env bash
# Runs COMMAND on the current X display under openbox: Wine waits on a window manager for every
# window it shows (two seconds each without one), as Windows' own windows always have one.
#   desktop.sh COMMAND...
set -euo pipefail

openbox --config-file "$(dirname "${BASH_SOURCE[0]}")/../storm/openbox-rc.xml" >/dev/null 2>&1 &
manager=$!
trap 'kill "$manager" 2>/dev/null || true' EXIT
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do sleep 0.1; done
"$@"
