#!/usr/bin/env bash
# Runs a command against a private headless Weston: its own XDG_RUNTIME_DIR and socket, so any
# number of these can run side by side. The command sees WAYLAND_DISPLAY and no DISPLAY.
# usage: wayland_session.sh COMMAND [ARG...]
set -euo pipefail

runtime=$(mktemp -d "${TMPDIR:-/tmp}/quorbel-wayland.XXXXXX")
chmod 700 "$runtime"
socket="quorbel-$$"
weston=""
cleanup() {
    local status=$?
    if [[ -n "$weston" ]]; then
        kill "$weston" 2>/dev/null || true
        wait "$weston" 2>/dev/null || true
    fi
    if ((status != 0)) && [[ -s "$runtime/weston.log" ]]; then
        echo "---- weston log ----" >&2
        tail -n 30 "$runtime/weston.log" >&2
    fi
    rm -rf "$runtime"
    exit "$status"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$runtime
unset DISPLAY
weston --backend=headless-backend.so --socket="$socket" --no-config --idle-time=0 \
    --width=1920 --height=1080 >"$runtime/weston.log" 2>&1 &
weston=$!
for _ in $(seq 100); do
    [[ -S "$runtime/$socket" ]] && break
    kill -0 "$weston" 2>/dev/null || { echo "weston did not start" >&2; exit 1; }
    sleep 0.1
done
[[ -S "$runtime/$socket" ]] || { echo "no Wayland socket after 10 s" >&2; exit 1; }
export WAYLAND_DISPLAY=$socket
status=0
"$@" || status=$?
exit "$status"
