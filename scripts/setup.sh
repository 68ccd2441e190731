#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test Quorbel Alphabet.
# As root it installs what is missing; otherwise it prints the one command to run.
# Works when called (bash scripts/setup.sh) or sourced (. scripts/setup.sh).

quorbel_setup() {
    local packages=(
        build-essential cmake ninja-build
        qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev libxcb1-dev
        xvfb xauth xdotool x11-utils imagemagick clang-format
        # Look-alikes of the faces the windows ask for.
        fonts-liberation2 fonts-dejavu-core fonts-urw-base35 fonts-jura
        # Packaging and its checks.
        debhelper devscripts fakeroot lintian reuse appstream desktop-file-utils
        # A screen reader's side of the accessibility bus, and a headless Wayland desktop.
        dbus dbus-x11 at-spi2-core python3-pyatspi weston qt6-wayland
        # The fuzzer, and the X test extension and window manager for the random-input storm.
        clang libclang-rt-14-dev libxtst-dev openbox
    )
    local missing=() pkg status
    for pkg in "${packages[@]}"; do
        status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
        if [[ "$status" != "install ok installed" ]]; then
            missing+=("$pkg")
        fi
    done

    if ((${#missing[@]} == 0)); then
        return 0
    fi

    if [[ "$(id -u)" -ne 0 ]]; then
        echo "setup: missing packages: ${missing[*]}" >&2
        echo "setup: run this, then try again:" >&2
        echo "sudo apt-get install -y ${missing[*]}" >&2
        return 1
    fi

    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update || return 1
    apt-get install -y "${missing[@]}" || return 1
}

if [[ "${BASH_SOURCE[0]}" == "$0" ]]; then
    set -euo pipefail
    quorbel_setup
else
    quorbel_setup || return 1
fi
