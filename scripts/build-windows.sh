#!/usr/bin/env bash
# Builds Quorbel Alphabet for 64-bit Windows on Debian: one .exe that needs no DLL beside it, in
# build-windows/Quorbel Alphabet/ with its pictures, clips, licences and a short README, and a zip
# of that folder. Unzip and double-click is all a family does.
#
# The .exe links a static Qt and libsndfile, cross-built on first use from Debian's own source
# packages (the same Qt version as this machine's) with Debian's MinGW-w64 and cached in
# /var/cache/quorbel-alphabet/ (or ~/.cache/quorbel-alphabet/ when that is not writable), keyed
# by their versions and by how they are built.
#   scripts/build-windows.sh [--tests]      --tests also builds the unit and window tests
set -euo pipefail

main() {
    local source_dir build_dir tests=OFF
    source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    build_dir=$source_dir/build-windows
    [[ "${1:-}" == --tests ]] && tests=ON

    # shellcheck source=scripts/setup.sh
    . "$source_dir/scripts/setup.sh" --windows
    toolchain=$source_dir/cmake/mingw-w64-x86_64.cmake

    cache=/var/cache/quorbel-alphabet
    if ! mkdir -p "$cache" 2>/dev/null || [[ ! -w "$cache" ]]; then
        cache=${XDG_CACHE_HOME:-$HOME/.cache}/quorbel-alphabet
        mkdir -p "$cache"
    fi

    local qt libs
    qt=$(cached qt6-base qt6-base-dev build_qt)
    libs=$(cached libsndfile libsndfile1-dev build_sound_libraries)

    cmake -S "$source_dir" -B "$build_dir/build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" \
        -DQUORBEL_SNDFILE_LIBRARY="$libs/lib/libsndfile.a" -DQUORBEL_SNDFILE_INCLUDE="$libs/include" \
        -DCMAKE_BUILD_TYPE=Release -DQUORBEL_WERROR=ON -DBUILD_TESTING="$tests" \
        -DCMAKE_CROSSCOMPILING_EMULATOR=wine
    cmake --build "$build_dir/build"

    local folder="$build_dir/Quorbel Alphabet" exe
    rm -rf "$folder" "$build_dir/quorbel-alphabet-windows.zip"
    cmake --install "$build_dir/build" --prefix "$folder"
    mkdir "$folder/licences"
    cp -r "$qt/licences/." "$libs/licences/." "$folder/licences/"
    exe=$folder/quorbel-alphabet.exe
    # Everything it needs is inside it: the only DLLs it names are Windows' own, those MinGW-w64
    # has import libraries for and Windows' API sets.
    local dll own=()
    while read -r dll; do
        dll=${dll,,}
        [[ -e "/usr/x86_64-w64-mingw32/lib/lib${dll%.dll}.a" || "$dll" == api-ms-win-* ]] ||
            own+=("$dll")
    done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p')
    if ((${#own[@]})); then
        echo "build-windows: quorbel-alphabet.exe needs DLLs that Windows does not have: ${own[*]}" >&2
        return 1
    fi
    (cd "$build_dir" && TZ=UTC find "Quorbel Alphabet" -exec touch -d @"$(git -C "$source_dir" \
        log -1 --format=%ct 2>/dev/null || date +%s)" {} + &&
        find "Quorbel Alphabet" -type f | LC_ALL=C sort | zip -q -X -@ quorbel-alphabet-windows.zip)
    echo "build-windows: $exe ($(du -k "$exe" | cut -f1) KiB)"
    echo "build-windows: $build_dir/quorbel-alphabet-windows.zip ($(du -k \
        "$build_dir/quorbel-alphabet-windows.zip" | cut -f1) KiB)"
}

# Prints the folder where BUILDER has built SOURCE_PACKAGE at the version this machine's
# BINARY_PACKAGE comes from, building it there first when it is not cached. The key holds the
# builder's own text, so a changed recipe builds anew.
cached() { # SOURCE_PACKAGE BINARY_PACKAGE BUILDER
    local version key prefix
    version=$(dpkg-query -W -f='${source:Version}' "$2")
    key=$( (declare -f "$3" build_cmake_package; cat "$toolchain") | sha256sum | cut -c1-12)
    prefix=$cache/windows-$1-$version-$key
    (
        flock 9
        if [[ ! -e "$prefix/.complete" ]]; then
            echo "build-windows: building $1 $version for Windows into $prefix (once)" >&2
            local work started=$SECONDS
            work=$(mktemp -d "$cache/windows-work.XXXXXX")
            rm -rf "$prefix"
            "$3" "$1" "$version" "$work" "$prefix" >"$work.log" 2>&1 || {
                echo "build-windows: building $1 failed; its log: $work.log" >&2
                tail -n 30 "$work.log" >&2
                rm -rf "$work" "$prefix"
                return 1
            }
            touch "$prefix/.complete"
            rm -rf "$work" "$work.log"
            # Builds of other versions or recipes are not used again.
            find "$cache" -maxdepth 1 -name "windows-$1-*" ! -path "$prefix" -exec rm -rf {} +
            echo "build-windows: $1 built in $((SECONDS - started)) s" >&2
        fi
    ) 9>"$cache/windows-$1.lock" >&2 || return 1
    echo "$prefix"
}

# Unpacks Debian's source of PACKAGE at VERSION into WORK, through a source list of its own that
# names the mirrors this machine's apt uses: the machine's own apt set-up is left as it is.
fetch_source() { # PACKAGE VERSION WORK
    local apt=$3/apt archive
    mkdir -p "$apt/lists/partial" "$apt/archives/partial"
    apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Identifier: Packages' | sort -u |
        while read -r archive release; do
            echo "deb-src $archive $release main"
        done >"$apt/sources.list"
    local options=(-o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts=/nonexistent
        -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt" -o APT::Sandbox::User=root -q)
    apt-get "${options[@]}" update >&2
    (cd "$3" && apt-get "${options[@]}" source "$1=$2" >&2)
    find "$3" -mindepth 1 -maxdepth 1 -type d -name "$1-*"
}

build_cmake_package() { # SOURCE_FOLDER PREFIX CMAKE_ARGS...
    local source=$1 prefix=$2
    shift 2
    cmake -S "$source" -B "$source/build-windows" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
        -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" -DBUILD_TESTING=OFF "$@"
    cmake --build "$source/build-windows"
    cmake --install "$source/build-windows"
}

# Core, Gui, Widgets and Test, with the bundled zlib, PNG, JPEG, PCRE and HarfBuzz (the Hindi
# letters' shaping); Windows draws the text. This machine's own Qt gives the build tools (moc,
# rcc, uic) of the same version.
build_qt() { # PACKAGE VERSION WORK PREFIX
    local source
    source=$(fetch_source "$1" "$2" "$3")
    mkdir -p "$3/build"
    (
        cd "$3/build"
        "$source/configure" -prefix "$4" -static -release -xplatform win32-g++ \
            -opensource -confirm-license -nomake examples -nomake tests \
            -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre -qt-harfbuzz -qt-doubleconversion \
            -no-freetype -no-icu -no-zstd -no-dbus -no-opengl \
            -no-feature-sql -no-feature-network -no-feature-printsupport \
            -no-feature-concurrent -no-feature-xml \
            `# Debian's source leaves out the Windows tablet library.` \
            -no-feature-tabletevent \
            -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DQT_HOST_PATH=/usr \
            -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
        cmake --build . --parallel
        cmake --install .
    )
    keep_licences "$source" "$4" LICENSES
}

# The licence texts and Debian's copyright file of a library built into the .exe, for its zip.
keep_licences() { # SOURCE_FOLDER PREFIX FILES...
    local source=$1 into
    into=$2/licences/$(basename "${1%-*}")
    shift 2
    mkdir -p "$into"
    cp -r "$source/debian/copyright" "${@/#/$source/}" "$into/"
}

# libsndfile reads the clips; it reads WAV and the other uncompressed formats on its own.
build_sound_libraries() { # PACKAGE VERSION WORK PREFIX
    local source
    source=$(fetch_source "$1" "$2" "$3")
    build_cmake_package "$source" "$4" -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF \
        -DBUILD_REGTEST=OFF -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF -DENABLE_CPACK=OFF \
        -DINSTALL_MANPAGES=OFF
    keep_licences "$source" "$4" COPYING
}

main "$@"
