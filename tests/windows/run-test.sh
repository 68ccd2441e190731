#!/usr/bin/env bash
# Runs a cross-built QtTest program under Wine and prints its log, which Wine would lose on the
# way to a pipe.
#   run-test.sh PROGRAM.exe [ARGUMENTS...]
set -uo pipefail

log=$(mktemp "${TMPDIR:-/tmp}/quorbel-test.XXXXXX")
trap 'rm -f "$log"' EXIT
wine "$@" -o "$(winepath -w "$log")",txt
status=$?
cat "$log"
exit "$status"
