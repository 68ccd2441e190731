# shellcheck shell=bash
# Sourced by a benchmark to run with a screen reader present: re-runs the benchmark inside its
# own D-Bus session, starts the AT-SPI bus and a listener registered for the events Orca follows,
# and turns Qt's accessibility on for every program started after it.
#   source bench/atspi/session.sh "$0" "$@"      (when ACCESSIBILITY=1)

if [[ -z "${QUORBEL_ATSPI_SESSION:-}" ]]; then
    export QUORBEL_ATSPI_SESSION=1
    exec dbus-run-session -- bash "$@"
fi

atspi_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# pyatspi comes with Debian's own python3, whatever python3 comes first on the PATH.
atspi_python=/usr/bin/python3
atspi_listener=""
atspi_fifo=$(mktemp -u "${TMPDIR:-/tmp}/quorbel-atspi.XXXXXX")
mkfifo "$atspi_fifo"
"$atspi_python" "$atspi_dir/listener.py" >"$atspi_fifo" &
atspi_listener=$!
if ! read -r -t 20 line <"$atspi_fifo" || [[ "$line" != ready ]]; then
    echo "the AT-SPI listener did not start" >&2
    exit 1
fi
rm -f "$atspi_fifo"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

# Ends the listener; it prints how many events it heard.
atspi_stop() {
    if [[ -n "$atspi_listener" ]]; then
        kill -TERM "$atspi_listener" 2>/dev/null || true
        wait "$atspi_listener" 2>/dev/null || true
        atspi_listener=""
    fi
}
