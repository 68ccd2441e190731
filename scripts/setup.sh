#!/usr/bin/env bash
# Installs the Debian 12 or 13 packages that building and running Quorbel Alphabet needs, and with
# --windows also what cross-building it for Windows needs, and with --tests all of those and what
# the tests use (every name exists in both releases). As root it installs what is missing;
# otherwise it prints the one command to run. Works when called or sourced:
#   bash scripts/setup.sh [--windows|--tests]        . scripts/setup.sh [--windows|--tests]

quorbel_setup() {
    local packages=(
        build-essential cmake ninja-build qt6-base-dev qt6-multimedia-dev libxcb1-dev
        # Reads the spoken cards' clips: WAV, FLAC, Ogg Vorbis, Opus and MP3.
        libsndfile1-dev
        # Look-alikes of the faces the windows ask for.
        fonts-liberation2 fonts-dejavu-core fonts-urw-base35 fonts-jura
        # A virtual screen and its screenshot, for a start with no display.
        xvfb xauth imagemagick
    )
    if [[ "${1:-}" == --tests || "${1:-}" == --windows ]]; then
        packages+=(
            # The Windows build: Debian's MinGW-w64 compilers, and Debian's own Qt and
            # libsndfile sources (dpkg-source unpacks them), built once into a static Qt.
            g++-mingw-w64-x86-64-posix dpkg-dev xz-utils zip
        )
    fi
    if [[ "${1:-}" == --tests ]]; then
        packages+=(
            # The Windows build's tests, and the .exe started for real, under Wine.
            wine wine64
            clang-format git
            # The program driven on a virtual screen, under a window manager, and read by a
            # screen reader over AT-SPI on X and on a headless Wayland desktop.
            xdotool xdo x11-utils openbox dbus at-spi2-core python3-pyatspi weston
            qt6-wayland
            # The picture fuzzer.
            clang libclang-rt-dev
            # The Debian package and its checks.
            debhelper lintian reuse appstream desktop-file-utils piuparts debootstrap reprotest
            disorderfs faketime
            # The tests on the other Debian release, in a system of its own.
            mmdebstrap
            # The spoken cards: a private sound server, and a recogniser that hears the clips.
            pulseaudio pulseaudio-utils sox pocketsphinx pocketsphinx-en-us
            # Home recordings made up at test time in every format the program reads.
            libsox-fmt-all opus-tools
        )
    fi
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
    # The tests start PulseAudio themselves, each on a private socket. Its package also enables
    # it for every desktop login, where it would fight the desktop's own sound server
    # (pipewire-pulse on GNOME): keep the logins as they were.
    if [[ " ${missing[*]} " == *" pulseaudio "* ]] && command -v systemctl >/dev/null; then
        systemctl --global disable --quiet pulseaudio.service pulseaudio.socket 2>/dev/null || true
    fi
}

if [[ "${BASH_SOURCE[0]}" == "$0" ]]; then
    set -euo pipefail
    quorbel_setup "$@"
else
    quorbel_setup "$@" || return 1
fi
