#!/bin/bash
# Runs a command with a screen reader present (see bench/atspi/session.sh).
# usage: accessible.sh COMMAND [ARG...]
set -euo pipefail
# shellcheck source=bench/atspi/session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../atspi/session.sh" "$0" "$@"
status=0
"$@" || status=$?
atspi_stop
exit "$status"
