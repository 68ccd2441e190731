# shellcheck shell=bash disable=SC2034 # the globals set here are read by the scripts that source it
# What the package tests share: where the built package is and its name.
#   source lib.sh PACKAGE-DIR
set -euo pipefail

PACKAGE_DIR=$(cd "$1" && pwd)
PACKAGE_REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
PACKAGE_NAME=$(cd "$PACKAGE_REPO" && dpkg-parsechangelog -S Source)
PACKAGE_VERSION=$(cd "$PACKAGE_REPO" && dpkg-parsechangelog -S Version)
PACKAGE_ARCH=$(dpkg --print-architecture)
PACKAGE_DEB="$PACKAGE_DIR/${PACKAGE_NAME}_${PACKAGE_VERSION}_${PACKAGE_ARCH}.deb"
PACKAGE_CHANGES="$PACKAGE_DIR/${PACKAGE_NAME}_${PACKAGE_VERSION}_${PACKAGE_ARCH}.changes"
APP_ID=org.quorbel.Alphabet

[[ -f "$PACKAGE_DEB" ]] || { echo "package: no package at $PACKAGE_DEB" >&2; exit 2; }
