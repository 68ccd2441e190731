#!/usr/bin/env bash
# Checks on the built package, one group per call:
#   check.sh lintian|metadata|reuse|contents PACKAGE-DIR
# shellcheck source=tests/package/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh" "$2"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Runs a checker that must print nothing, or only lines matching ALLOWED.
quiet() { # ALLOWED COMMAND...
    local allowed=$1 out status=0
    shift
    out=$("$@" 2>&1) || status=$?
    out=$(grep -vE "$allowed" <<<"$out" || true)
    if ((status != 0)) || [[ -n "$out" ]]; then
        fail "$* (exit $status):"
        printf '%s\n' "$out" >&2
    else
        echo "ok: $*"
    fi
}

scratch=$(mktemp -d "${TMPDIR:-/tmp}/quorbel-package-check.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

case $1 in
lintian)
    # Errors and warnings fail; informational and pedantic notes do not.
    quiet '^(I|P|X|N): |^N:$|running with root privileges' \
        lintian --fail-on error,warning "$PACKAGE_CHANGES"
    ;;

metadata)
    # The files as they are in the package, not as they are in the source tree.
    dpkg-deb -x "$PACKAGE_DEB" "$scratch"
    quiet '^$' desktop-file-validate "$scratch/usr/share/applications/$APP_ID.desktop"
    quiet '^$|Validation was successful' \
        appstreamcli validate --no-net "$scratch/usr/share/metainfo/$APP_ID.metainfo.xml"
    # The listing names what the package really holds.
    grep -q "<launchable type=\"desktop-id\">$APP_ID.desktop</launchable>" \
        "$scratch/usr/share/metainfo/$APP_ID.metainfo.xml" || fail "the listing's launchable"
    grep -q "<release version=\"$PACKAGE_VERSION\"" \
        "$scratch/usr/share/metainfo/$APP_ID.metainfo.xml" \
        || fail "the listing has no release $PACKAGE_VERSION"
    grep -qx "Icon=$APP_ID" "$scratch/usr/share/applications/$APP_ID.desktop" \
        || fail "the desktop entry's icon is not $APP_ID"
    exec_line=$(sed -n 's/^Exec=//p' "$scratch/usr/share/applications/$APP_ID.desktop")
    [[ -L "$scratch/usr/bin/${exec_line%% *}" ]] \
        || fail "the desktop entry starts '$exec_line', which is not in /usr/bin"
    # The manual page reads cleanly.
    LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
        "$scratch/usr/share/man/man1/$PACKAGE_NAME.1.gz" 2>"$scratch/man.log" >/dev/null \
        || fail "man cannot show the manual page"
    [[ ! -s "$scratch/man.log" ]] || fail "the manual page has faults: $(cat "$scratch/man.log")"
    ;;

reuse)
    quiet '^$|^#|^\* |^Congratulations|^$' reuse --root "$PACKAGE_REPO" lint --quiet
    # debian/copyright repeats the REUSE data paragraph for paragraph.
    paragraphs() { sed -n '/^Files:/,/^$/p' "$1" | sed '/^$/d'; }
    if ! diff -u <(paragraphs "$PACKAGE_REPO/.reuse/dep5") \
        <(paragraphs "$PACKAGE_REPO/debian/copyright") >&2; then
        fail "debian/copyright's Files paragraphs differ from .reuse/dep5"
    fi
    # Every licence named there has its text in a stand-alone License paragraph.
    texts=$(awk 'BEGIN { RS = ""; FS = "\n" } $1 ~ /^License: / && NF > 1 { print $1 }' \
        "$PACKAGE_REPO/debian/copyright")
    while read -r licence; do
        grep -qxF "License: $licence" <<<"$texts" || fail "no text for the licence $licence"
    done < <(sed -n 's/^License: //p' "$PACKAGE_REPO/.reuse/dep5" | sort -u)
    dpkg-deb -x "$PACKAGE_DEB" "$scratch"
    cmp "$PACKAGE_REPO/debian/copyright" "$scratch/usr/share/doc/$PACKAGE_NAME/copyright" \
        || fail "the package's copyright file is not debian/copyright"
    ;;

contents)
    # "MODE PATH" or "MODE PATH -> TARGET", one line a file.
    dpkg-deb -c "$PACKAGE_DEB" | awk '{ line = $1 " " $6; if (NF > 6) line = line " " $7 " " $8; print line }' \
        >"$scratch/list"
    has() { # TYPE-AND-PATH-PATTERN WHAT
        grep -qE "$1" "$scratch/list" || fail "no $2 in the package"
    }
    program=usr/lib/$PACKAGE_NAME/$PACKAGE_NAME
    has "^-rwxr-xr-x \./$program$" "program file"
    has "^lrwxrwxrwx \./usr/bin/$PACKAGE_NAME -> \.\./lib/$PACKAGE_NAME/$PACKAGE_NAME\$" \
        "relative link from /usr/bin to the program"
    pictures=$(grep -cE "^-rw-r--r-- \./usr/lib/$PACKAGE_NAME/images/[a-z]\.jpg$" \
        "$scratch/list" || true)
    [[ "$pictures" == 26 ]] || fail "$pictures card pictures beside the program, not 26"
    for letter in {a..z}; do
        has "\./usr/lib/$PACKAGE_NAME/images/$letter\.jpg$" "picture $letter.jpg"
    done
    has "^-rw-r--r-- \./usr/share/applications/$APP_ID\.desktop$" "desktop entry"
    has "^-rw-r--r-- \./usr/share/metainfo/$APP_ID\.metainfo\.xml$" "AppStream listing"
    has "^-rw-r--r-- \./usr/share/man/man1/$PACKAGE_NAME\.1\.gz$" "compressed manual page"
    has "^-rw-r--r-- \./usr/share/doc/$PACKAGE_NAME/copyright$" "copyright file"
    # Each hicolor icon is a PNG of the size its folder says, showing the window icon's
    # letter: brought to 32 pixels on white, at most 15% of it differs from the window icon
    # (its 16 colours and the scaling account for about 10%; another picture for 60%).
    dpkg-deb -x "$PACKAGE_DEB" "$scratch/root"
    convert "$PACKAGE_REPO/src/resources/quorbel.ico" -background white -flatten "$scratch/window.png"
    for size in 16 22 24 32 48 64 128 256; do
        icon="$scratch/root/usr/share/icons/hicolor/${size}x${size}/apps/$APP_ID.png"
        if [[ ! -f "$icon" ]]; then
            fail "no ${size}x${size} icon"
            continue
        elif [[ "$(identify -format '%m %wx%h' "$icon")" != "PNG ${size}x${size}" ]]; then
            fail "the ${size}x${size} icon is $(identify -format '%m %wx%h' "$icon")"
            continue
        fi
        convert "$icon" -background white -flatten -resize '32x32!' "$scratch/menu.png"
        differ=$(compare -metric AE -fuzz 35% "$scratch/window.png" "$scratch/menu.png" null: 2>&1 || true)
        if [[ ! "$differ" =~ ^[0-9]+$ ]]; then
            fail "cannot compare the ${size}x${size} icon: $differ"
        elif ((differ > 32 * 32 * 15 / 100)); then
            fail "the ${size}x${size} icon is not the window icon's letter ($differ of 1024 pixels differ)"
        fi
    done
    # Nothing from a build or test run slipped in.
    if grep -vE "^(d|l|-)[rwx-]{9} \./(usr/bin/|usr/lib/$PACKAGE_NAME/|usr/share/(applications|metainfo|icons/hicolor|man/man1|doc/$PACKAGE_NAME)/|(usr/|usr/(lib|share|share/icons|share/man|share/doc)/)?$)" \
        "$scratch/list" >"$scratch/stray"; then
        fail "files outside the expected folders:"
        cat "$scratch/stray" >&2
    fi
    ;;

*)
    echo "usage: $0 lintian|metadata|reuse|contents PACKAGE-DIR" >&2
    exit 2
    ;;
esac

if ((failures > 0)); then
    echo "package $1: $failures check(s) failed" >&2
    exit 1
fi
echo "package $1: all checks passed"
