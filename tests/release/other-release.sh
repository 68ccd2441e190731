#!/usr/bin/env bash
# The unit, window, model and end-to-end tests (spoken cards and the screen reader's walk
# included) on another Debian release, in a system of its own: bare Debian RELEASE with the
# packages scripts/setup.sh --tests names, kept in /var/cache/quorbel-alphabet/ and made anew
# weekly or when the package lists change. Each run gets a throw-away layer over it and a copy of
# this checkout, and runs test.sh --core there. Needs root.
#   other-release.sh RELEASE
set -euo pipefail

release=$1
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
if [[ "$(id -u)" -ne 0 ]]; then
    echo "other-release: the Debian $release system needs root; run ./test.sh as root" >&2
    exit 1
fi
. "$root/scripts/debian-system.sh"

system=$quorbel_cache/tests-$release
stamp=$(sha256sum "$root/scripts/setup.sh" | cut -d' ' -f1)
if [[ "$(cat "$system.stamp" 2>/dev/null)" != "$stamp" \
    || -z "$(find "$system.stamp" -mtime -7 2>/dev/null)" ]]; then
    started=$SECONDS
    rm -rf "$system" "$system.new" "$system.stamp"
    debian_unpack "$(debian_bare "$release")" "$system.new"
    cp "$root/scripts/setup.sh" "$system.new/root/setup.sh"
    debian_enter "$system.new" bash /root/setup.sh --tests >"$system.log" 2>&1 \
        || { tail -n 40 "$system.log"; exit 1; }
    rm -rf "$system.new/var/cache/apt/archives"/*.deb "$system.new/var/lib/apt/lists"/*_Packages
    mv "$system.new" "$system"
    echo "$stamp" >"$system.stamp"
    echo "other-release: made the Debian $release test system in $((SECONDS - started)) s"
fi

work=$(mktemp -d /var/tmp/quorbel-"$release".XXXXXX)
trap 'rm -rf "$work"' EXIT
bash "$root/scripts/copy-sources.sh" "$root" "$work/system.upper/root/quorbel-alphabet"
mkdir -p "$work/system"
debian_enter --over "$system" "$work/system" \
    bash -c 'cd /root/quorbel-alphabet && ./test.sh --core </dev/null'
