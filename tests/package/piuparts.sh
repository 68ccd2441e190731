#!/usr/bin/env bash
# piuparts: the package installed with its dependencies into a clean chroot of a Debian release
# (this machine's by default) from the apt mirror this machine uses, checked by adequate
# (libraries, links) and purged again, leaving nothing behind. The base chroot is kept for a
# week between runs. Needs root: without it, says so and is skipped, except in CI.
#   piuparts.sh PACKAGE-DIR [RELEASE]
set -euo pipefail
. /etc/os-release
release=${2:-$VERSION_CODENAME}
if [[ "$(id -u)" -ne 0 ]]; then
    echo "piuparts: needs root to make its chroot; run ./test.sh as root to include it" >&2
    [[ -n "${CI:-}" ]] && exit 1
    exit 77
fi
base=/var/cache/quorbel-alphabet/piuparts-$release.tgz
mirror=$(apt-get indextargets --format '$(REPO_URI)' "Codename: $VERSION_CODENAME" \
    "Identifier: Packages" | head -n 1)
mkdir -p "$(dirname "$base")"
if [[ -n "$(find "$base" -mtime -7 2>/dev/null)" ]]; then
    from=(--basetgz="$base")
else
    from=(--save="$base")
fi
# Debian 13's debconf leaves a folder of its own that Debian 12's piuparts does not know of.
known=()
[[ "$VERSION_CODENAME" == bookworm && "$release" != bookworm ]] \
    && known=(--ignore=/var/cache/debconf/tmp.ci/)
piuparts --log-level=info --fail-if-inadequate --fail-on-broken-symlinks "${known[@]}" \
    --distribution="$release" --mirror="$mirror" "${from[@]}" \
    "$1"/quorbel-alphabet_*_"$(dpkg --print-architecture)".deb
