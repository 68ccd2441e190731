#!/usr/bin/env bash
# The built package through Debian's validators (lintian, desktop-file-validate, appstreamcli,
# reuse), and what they cannot know: the card pictures, spoken cards and sound module beside the
# program, the menu icons drawn from the window icon's letter, debian/copyright against
# .reuse/dep5, and nothing stray.
#   check.sh PACKAGE-DIR
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
deb=$(echo "$1"/quorbel-alphabet_*.deb)
root=$(mktemp -d "${TMPDIR:-/tmp}/quorbel-package.XXXXXX")
sources=$(mktemp -d "${TMPDIR:-/tmp}/quorbel-sources.XXXXXX")
trap 'rm -rf "$root" "$sources"' EXIT
dpkg-deb -x "$deb" "$root"
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The program has no homepage, and AppStream 1.0 (Debian 13) warns of that, as lintian's
# appstream check does after it; any other warning or error fails.
appstream=$(appstreamcli validate-tree --no-net "$root" 2>&1) \
    || [[ -z "$(grep -E '^ *[EW]: ' <<<"$appstream" | grep -v ': url-homepage-missing$')" \
        && "$appstream" == *url-homepage-missing* ]] \
    || fail "appstreamcli: $appstream"
quiet=()
lintian-explain-tags appstream-metadata-validation-failed >/dev/null 2>&1 \
    && quiet=(--suppress-tags appstream-metadata-validation-failed)
lintian --fail-on error,warning "${quiet[@]}" "$1"/*.deb || fail "lintian"
desktop=$(echo "$root"/usr/share/applications/*.desktop)
desktop-file-validate "$desktop" || fail "desktop-file-validate"
version=$(cd "$repo" && dpkg-parsechangelog -S Version)
grep -q "<release version=\"$version\"" "$root"/usr/share/metainfo/*.xml \
    || fail "the AppStream listing has no release $version"
# Of the project's own files only: where no git tells them from a build folder's, of a copy.
lint=$repo
if ! git -C "$repo" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    bash "$repo/scripts/copy-sources.sh" "$repo" "$sources"
    lint=$sources
fi
reuse --root "$lint" lint --quiet || fail "reuse lint"
paragraphs() { sed -n '/^Files:/,/^$/{/./p}' "$1"; }
diff -u <(paragraphs "$repo/.reuse/dep5") <(paragraphs "$repo/debian/copyright") \
    || fail "the Files paragraphs of debian/copyright and .reuse/dep5 differ"

program=$(readlink -f "$root/usr/bin/quorbel-alphabet")
[[ -x "$program" ]] || fail "/usr/bin/quorbel-alphabet leads to no program"
pictures=$(find "$(dirname "$program")/images" -name '[a-z].jpg' | wc -l)
((pictures == 26)) || fail "$pictures card pictures beside the program, not 26"
clips=$(find "$(dirname "$program")/sounds" -name '*.wav' | wc -l)
((clips == 36)) || fail "$clips spoken cards beside the program, not 36"
[[ -f "$(dirname "$program")/quorbel-sound.so" ]] || fail "no sound module beside the program"
dpkg-deb -f "$deb" Depends | grep -q libqt6multimedia6 || fail "the package does not bring Qt Multimedia"
# Each icon the desktop entry names, brought to 32 pixels on white: at most 15% of it differs
# from the window icon (its 16 colours and the scaling make about 10%; another picture 60%).
icon=$(sed -n 's/^Icon=//p' "$desktop")
convert "$repo/src/resources/quorbel.ico" -background white -flatten "$root/window.png"
for size in 16 22 24 32 48 64 128 256; do
    png=$root/usr/share/icons/hicolor/${size}x$size/apps/$icon.png
    if [[ "$(identify -format '%m %wx%h' "$png")" != "PNG ${size}x$size" ]]; then
        fail "no ${size}x$size PNG icon $icon"
        continue
    fi
    differ=$(convert "$png" -background white -flatten -resize '32x32!' png:- \
        | compare -metric AE -fuzz 35% "$root/window.png" - null: 2>&1 || true)
    ((differ <= 32 * 32 * 15 / 100)) || fail "the ${size}x$size icon is not the letter ($differ)"
done
ours='usr/bin/|usr/lib/quorbel-alphabet/|usr/share/(applications|metainfo|icons/hicolor|man/man1)/'
above='(usr/|usr/(lib|share|share/icons|share/man|share/doc)/)?'
stray=$(dpkg-deb -c "$deb" | awk '{print $6}' \
    | grep -vE "^\./($ours|usr/share/doc/quorbel-alphabet/|$above\$)" || true)
[[ -z "$stray" ]] || fail "files outside the program's folders: $stray"
((failures == 0))
