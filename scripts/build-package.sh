#!/usr/bin/env bash
# Builds the Debian package of Quorbel Alphabet from this checkout.
# Usage: scripts/build-package.sh [--reprotest] [OUTPUT-DIR]     (default: build/package)
# The .deb files land in OUTPUT-DIR. Missing build dependencies are installed as root;
# otherwise the one command to install them is printed. Two builds of the same files,
# from any two folders, give byte-identical packages: --reprotest builds twice with reprotest,
# varying the folder, time, locale, file order and more, and fails if the .deb files differ;
# those builds also treat compiler warnings as errors.
set -euo pipefail
umask 022

reprotest=""
if [[ "${1:-}" == --reprotest ]]; then
    reprotest=1
    shift
fi
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$repo/build/package}
mkdir -p "$out"
out=$(cd "$out" && pwd)

# Build dependencies: the packaging tools, then what debian/control asks for.
missing=()
for pkg in dpkg-dev debhelper; do
    [[ "$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)" == "install ok installed" ]] \
        || missing+=("$pkg")
done
if ((${#missing[@]} == 0)) && (cd "$repo" && dpkg-checkbuilddeps >/dev/null 2>&1); then
    :
elif [[ "$(id -u)" -eq 0 ]]; then
    echo "build-package: installing the build dependencies"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get install -y dpkg-dev debhelper
    apt-get build-dep -y "$repo"
else
    echo "build-package: build dependencies are missing; run this, then try again:" >&2
    echo "sudo apt-get install -y dpkg-dev debhelper && sudo apt-get build-dep -y $repo" >&2
    exit 1
fi

version=$(cd "$repo" && dpkg-parsechangelog -S Version)
source=$(cd "$repo" && dpkg-parsechangelog -S Source)

# Build from a clean copy of the source files, never from a developer's build folders.
stage="$out/$source-$version"
rm -rf "$stage"
mkdir -p "$stage"
bash "$repo/scripts/copy-sources.sh" "$repo" "$stage"
rm -f "$out"/"${source}"_*.deb "$out"/"${source}"-dbgsym_*.deb "$out"/"${source}"_*.buildinfo \
    "$out"/"${source}"_*.changes

# The same environment for every build: the dates come from debian/changelog.
export LC_ALL=C.UTF-8 TZ=UTC
jobs=$(nproc 2>/dev/null || echo 2)
export DEB_BUILD_OPTIONS="parallel=$jobs"
if [[ -n "$reprotest" ]]; then
    rm -rf "$out/reprotest"
    reprotest --min-cpus="$jobs" --vary=-user_group,-domain_host --no-diffoscope \
        --store-dir="$out/reprotest" \
        -c "QUORBEL_WERROR=ON DEB_BUILD_OPTIONS=$DEB_BUILD_OPTIONS dpkg-buildpackage -b -us -uc" \
        "$stage" '../*.deb' -- null
    cp "$out"/reprotest/control/*.deb "$out/"
    rm -rf "$out/reprotest"
else
    (cd "$stage" && dpkg-buildpackage -b -us -uc)
fi
rm -rf "$stage"
echo "build-package: built $(ls "$out"/"${source}"_*.deb)"
