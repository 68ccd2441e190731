#!/usr/bin/env bash
# Proves the set-up on a machine that never saw this project: a brand-new Debian system (only
# the bare system is cached, in /var/cache/quorbel-alphabet/), a clone of HEAD in it, and
# .ci/run there, as CI runs it. Prints the stages' summary and PASS or FAIL. Needs root.
#   scripts/fresh-check.sh bookworm|trixie
set -euo pipefail

# All in one function, read whole before it runs: editing this file meanwhile changes nothing.
main() {
    # work stays global: the exit trap removes it.
    local release=${1:-} root log status started bare tool
    if [[ "$release" != bookworm && "$release" != trixie ]]; then
        echo "usage: $0 bookworm|trixie" >&2
        exit 2
    fi
    if [[ "$(id -u)" -ne 0 ]]; then
        echo "fresh-check: needs root to make and enter a Debian system; run: sudo $0 $release" >&2
        exit 1
    fi
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    . "$root/scripts/debian-system.sh"
    for tool in mmdebstrap git; do
        command -v "$tool" >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y "$tool"
    done

    started=$SECONDS
    bare=$(debian_bare "$release")
    echo "fresh-check: bare Debian $release ready after $((SECONDS - started)) s"

    work=$(mktemp -d /var/tmp/quorbel-fresh-"$release".XXXXXX)
    trap 'rm -rf "$work"' EXIT
    debian_unpack "$bare" "$work/system"
    if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git clone --quiet --no-hardlinks "$root" "$work/system/root/quorbel-alphabet"
    else # an unpacked tarball: its files as they are
        bash "$root/scripts/copy-sources.sh" "$root" "$work/system/root/quorbel-alphabet"
    fi
    log=$work/ci.log
    echo "fresh-check: running .ci/run in the new system (log: $log while it runs)"
    status=0
    CI=true debian_enter "$work/system" bash -c 'cd /root/quorbel-alphabet && bash .ci/run </dev/null' \
        >"$log" 2>&1 || status=$?

    sed -n '/^===== Summary =====$/,$p' "$log"
    if ((status != 0)); then
        echo "--- the last lines of .ci/run's output:"
        tail -n 60 "$log"
        cp "$log" "/var/tmp/quorbel-fresh-$release.log"
        echo "fresh-check: Debian $release FAIL after $((SECONDS - started)) s (log: /var/tmp/quorbel-fresh-$release.log)"
        exit 1
    fi
    echo "fresh-check: Debian $release PASS after $((SECONDS - started)) s"
}
main "$@"
