#!/usr/bin/env bash
# Runs COMMAND as a desktop session would give it the program, but private: its own
# XDG_RUNTIME_DIR, a session bus of its own (dbus-run-session) and a sound server of its own
# whose only output is a null sink, so that nothing a test plays reaches the speakers. With
# --no-bus there is no session bus at all, as in a kiosk.
#   session.sh [--no-bus] COMMAND...
set -euo pipefail

bus=(dbus-run-session --)
if [[ "${1:-}" == --no-bus ]]; then
    bus=(env -u DBUS_SESSION_BUS_ADDRESS)
    shift
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/quorbel-session.XXXXXX")
server=""
finish() {
    [[ -z "$server" ]] || kill "$server" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT

export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
pulseaudio -n --daemonize=no --exit-idle-time=-1 -L module-native-protocol-unix \
    -L module-null-sink 2>"$work/pulse.log" &
server=$!
for _ in {1..300}; do
    pactl info >/dev/null 2>&1 && break
    kill -0 "$server" 2>/dev/null || { cat "$work/pulse.log" >&2; exit 1; }
    sleep 0.1
done
status=0
"${bus[@]}" "$@" || status=$?
exit "$status"
