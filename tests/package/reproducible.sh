#!/usr/bin/env bash
# Builds the package a second time in another folder and checks that every .deb is
# byte-identical to the first build's; on a difference, names the files inside that differ.
#   reproducible.sh PACKAGE-DIR OTHER-OUTPUT-DIR
# shellcheck source=tests/package/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh" "$1"
again=$2

rm -rf "$again"
mkdir -p "$again"
bash "$PACKAGE_REPO/scripts/build-package.sh" "$again" >"$again/build.log" 2>&1 \
    || { tail -n 40 "$again/build.log" >&2; echo "FAIL: the second build failed" >&2; exit 1; }

mapfile -t first < <(cd "$PACKAGE_DIR" && ls -- *.deb)
mapfile -t second < <(cd "$again" && ls -- *.deb)
[[ "${first[*]}" == "${second[*]}" ]] \
    || { echo "FAIL: the builds made different packages: ${first[*]} / ${second[*]}" >&2; exit 1; }

status=0
for deb in "${first[@]}"; do
    if cmp -s "$PACKAGE_DIR/$deb" "$again/$deb"; then
        echo "identical: $deb (sha256 $(sha256sum "$again/$deb" | cut -c1-16)...)"
        continue
    fi
    status=1
    echo "FAIL: $deb differs between $PACKAGE_DIR and $again" >&2
    mkdir -p "$again/compare"
    dpkg-deb -e "$PACKAGE_DIR/$deb" "$again/compare/first"
    dpkg-deb -e "$again/$deb" "$again/compare/second"
    diff "$again/compare/first/md5sums" "$again/compare/second/md5sums" >&2 \
        && echo "(the files inside are the same; the archives' metadata differs)" >&2
    rm -rf "$again/compare"
done
((status == 0)) && rm -rf "$again"
exit "$status"
