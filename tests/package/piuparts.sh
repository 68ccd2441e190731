#!/usr/bin/env bash
# piuparts: the package installed with its dependencies into a clean chroot of this Debian
# release from apt's own mirror, checked by adequate (libraries, links) and purged again, leaving
# nothing behind. The base chroot is kept for a week between runs. Needs root.
#   piuparts.sh PACKAGE-DIR
set -euo pipefail
. /etc/os-release
base=/var/cache/quorbel-alphabet/piuparts-$VERSION_CODENAME.tgz
mirror=$(apt-get indextargets --format '$(REPO_URI)' "Codename: $VERSION_CODENAME" \
    "Identifier: Packages" | head -n 1)
mkdir -p "$(dirname "$base")"
if [[ -n "$(find "$base" -mtime -7 2>/dev/null)" ]]; then
    from=(--basetgz="$base")
else
    from=(--save="$base")
fi
piuparts --log-level=info --fail-if-inadequate --fail-on-broken-symlinks \
    --distribution="$VERSION_CODENAME" --mirror="$mirror" "${from[@]}" \
    "$1"/quorbel-alphabet_*_"$(dpkg --print-architecture)".deb
