#!/usr/bin/env bash
# Installs the built package into this very system with apt, checks what a parent would
# get, removes it again and checks that nothing of it is left. Not part of ./test.sh: it
# changes the machine. Run as root on a machine without the package installed:
#   bash tests/package/apt-install.sh [PACKAGE-DIR]      (default: build/package)
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=tests/package/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh" "${1:-$repo/build/package}"

[[ "$(id -u)" -eq 0 ]] || { echo "apt-install: run as root" >&2; exit 2; }
installed() { dpkg-query -W -f='${db:Status-Abbrev}' "$PACKAGE_NAME" 2>/dev/null | grep -q '^ii'; }
if installed; then
    echo "apt-install: $PACKAGE_NAME is installed already; remove it first" >&2
    exit 2
fi

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Every file and folder the package could touch, less the caches the desktop's own
# triggers keep up to date for every program.
snapshot() {
    find /usr /etc /opt -xdev \( -path /usr/share/icons/hicolor/icon-theme.cache \
        -o -path /usr/share/applications/mimeinfo.cache \) -prune -o -print | sort
}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/quorbel-apt-install.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
snapshot >"$scratch/before"

export DEBIAN_FRONTEND=noninteractive
apt-get install -y "$PACKAGE_DEB"
installed || fail "the package is not installed after apt install"

program=/usr/lib/$PACKAGE_NAME/$PACKAGE_NAME
[[ "$(readlink -f "/usr/bin/$PACKAGE_NAME")" == "$program" ]] \
    || fail "/usr/bin/$PACKAGE_NAME does not lead to $program"
[[ "$(command -v "$PACKAGE_NAME")" == "/usr/bin/$PACKAGE_NAME" ]] || fail "not on PATH"
(($(find "/usr/lib/$PACKAGE_NAME/images" -name '[a-z].jpg' | wc -l) == 26)) \
    || fail "not 26 pictures beside the program"
[[ "$(man -w "$PACKAGE_NAME" 2>/dev/null)" == "/usr/share/man/man1/$PACKAGE_NAME.1.gz" ]] \
    || fail "man does not find the manual page"
grep -q '^Categories=.*Education;' "/usr/share/applications/$APP_ID.desktop" \
    || fail "the desktop entry is not in the Education menu"
[[ -f "/usr/share/icons/hicolor/48x48/apps/$APP_ID.png" ]] || fail "no menu icon"
for font in fonts-liberation2 fonts-dejavu-core fonts-urw-base35 fonts-jura; do
    dpkg-query -W -f='${db:Status-Abbrev}' "$font" | grep -q '^ii' || fail "$font is missing"
done
ldd "$program" | grep -q 'not found' && fail "the program misses a library"

apt-get remove -y "$PACKAGE_NAME"
status=$(dpkg-query -W -f='${db:Status-Abbrev}' "$PACKAGE_NAME" 2>/dev/null || true)
[[ -z "$status" || "$status" == un* ]] || fail "dpkg still knows the package: '$status'"
snapshot >"$scratch/after"
if ! diff "$scratch/before" "$scratch/after" >"$scratch/left"; then
    fail "apt remove left the system changed:"
    cat "$scratch/left" >&2
fi

if ((failures > 0)); then
    echo "apt-install: $failures check(s) failed" >&2
    exit 1
fi
echo "apt-install: installed, checked and removed cleanly"
