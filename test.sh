#!/usr/bin/env bash
# Installs what the tests need, builds Quorbel Alphabet once with the address and
# undefined-behaviour sanitizers and warnings as errors, and runs every check against it:
# formatting, the unit, window and end-to-end tests, a screen reader's walk, a random-input storm,
# then the Debian package (whose own optimised builds also treat warnings as errors) and the
# picture fuzzer. On Debian 12 the same tests also run on Debian 13, in a system of its own. A
# missing test tool fails the run.
# Prints each stage's result and seconds; exits non-zero if anything failed.
#   ./test.sh          every check
#   ./test.sh --core   the build, formatting, and the unit, window and end-to-end tests only
set -euo pipefail

core=""
[[ "${1:-}" == --core ]] && core=1

root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$root"

jobs=$(nproc 2>/dev/null || echo 2)
work=$(mktemp -d "${TMPDIR:-/tmp}/quorbel-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
: >"$work/results"
: >"$work/counts"

# Runs one stage: STAGE-NAME COMMAND...; keeps its result and seconds for the summary.
stage() {
    local name=$1 started=$SECONDS status=0 word=PASS
    shift
    printf '\n===== %s =====\n' "$name"
    "$@" || status=$?
    ((status == 0)) || word=FAIL
    printf '%s %4ds  %s\n' "$word" $((SECONDS - started)) "$name" >>"$work/results"
    return "$status"
}

# A stage that runs beside the ones after it (one waiting on the network or on one core while
# the others build); collect shows its output.
background=()
later() { # STAGE-NAME COMMAND...
    local log=$work/later${#background[@]}.log
    stage "$@" >"$log" 2>&1 &
    background+=("$!:$log")
}
collect() {
    local job
    for job in "${background[@]}"; do
        wait "${job%%:*}" || true
        cat "${job#*:}"
    done
    background=()
}

# Runs ctest (inside ${launcher[@]} when a stage sets it) and adds its counts to the totals.
launcher=()
run_ctest() {
    local log=$work/ctest.$BASHPID.log status=0 line
    "${launcher[@]}" ctest -j "$jobs" --output-on-failure --no-tests=error "$@" 2>&1 | tee "$log" || status=$?
    line=$(grep -E '^[0-9]+% tests passed' "$log" | tail -n 1 || true)
    if [[ "$line" =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
        echo "$((BASH_REMATCH[2] - BASH_REMATCH[1])) ${BASH_REMATCH[1]}" >>"$work/counts"
    fi
    return "$status"
}

build() { # DIR CMAKE-OPTIONS...
    local dir=$1 generator=(-G Ninja)
    shift
    # A folder already configured keeps its generator.
    [[ -f "$dir/CMakeCache.txt" ]] && generator=()
    cmake -S . -B "$dir" "${generator[@]}" -DQUORBEL_WERROR=ON -DQUORBEL_ALL_TESTS=ON "$@" \
        && cmake --build "$dir" -j "$jobs"
}

# The C++ files of a clone, or of an unpacked tarball, never of a build folder.
formatting() {
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files -z -- '*.cpp' '*.h'
    else
        find bench src tests tools \( -name '*.cpp' -o -name '*.h' \) -print0
    fi | xargs -0 clang-format --dry-run --Werror
}

# The tests on Debian 13 from Debian 12, counted with the rest.
other_release() {
    local log=$work/other-release.log status=0 line
    bash tests/release/other-release.sh trixie 2>&1 | tee "$log" || status=$?
    line=$(grep -E '^tests: [0-9]+ passed, [0-9]+ failed$' "$log" | tail -n 1 || true)
    if [[ "$line" =~ ([0-9]+)\ passed,\ ([0-9]+)\ failed ]]; then
        echo "${BASH_REMATCH[1]} ${BASH_REMATCH[2]}" >>"$work/counts"
    fi
    return "$status"
}

# Leaks inside Qt's and fontconfig's own internals only; the file must be there.
suppressions=$root/tests/robust/lsan.supp
sanitizers() {
    [[ -f "$suppressions" ]] || { echo "no leak suppressions at $suppressions" >&2; return 1; }
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    export LSAN_OPTIONS="suppressions=$suppressions:print_suppressions=0"
    echo "LSAN_OPTIONS=$LSAN_OPTIONS"
}

# The Windows build (scripts/build-windows.sh) and its tests under Wine: the unit and window
# tests and the real .exe, one at a time (their windows are real ones, which take the focus), on
# one virtual screen under openbox with one private sound server.
windows() {
    bash scripts/build-windows.sh --tests || return 1
    export WINEPREFIX=$root/build-windows/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
        xvfb-run -a sh -c 'wineboot --init && wineserver --wait' || return 1
    fi
    local launcher=(xvfb-run -a -s "-screen 0 1280x1024x24" bash tests/session/session.sh
        bash tests/windows/desktop.sh)
    local status=0 jobs=1
    run_ctest --test-dir build-windows/build || status=$?
    wineserver --kill 2>/dev/null || true
    return "$status"
}

fuzz() {
    local status=0
    bash tests/fuzz/fuzz.sh 30 || status=$?
    echo "$((status == 0)) $((status != 0))" >>"$work/counts"
    return "$status"
}

stage "Packages the tests need" bash scripts/setup.sh --tests || exit 1
stage "Leak suppressions" sanitizers || exit 1
. /etc/os-release
if [[ -z "$core" && "$VERSION_CODENAME" == bookworm ]]; then
    if [[ "$(id -u)" -eq 0 || -n "${CI:-}" ]]; then
        later "Debian 13: build, unit, window, e2e, screen reader (tests/release/)" other_release
    else
        echo "test.sh: the Debian 13 stage needs root to make its system; skipped" >&2
    fi
fi
if stage "Build with the sanitizers, warnings as errors (build-asan/)" build build-asan \
    -DCMAKE_BUILD_TYPE=Debug -DQUORBEL_SANITIZE=ON; then
    stage "Formatting (clang-format)" formatting || true
    stage "Tests under the sanitizers: unit, window, e2e (build-asan/)" \
        run_ctest --test-dir build-asan -LE 'package|a11y|storm' || true
    stage "Screen reader over AT-SPI, X11 and Wayland (build-asan/)" \
        run_ctest --test-dir build-asan -L a11y || true
    if [[ -z "$core" ]]; then
        # The fuzzer builds and then fuzzes on one core while the storm mostly waits on its
        # paced keys.
        later "Picture fuzzer, 30 s (build-fuzz/)" fuzz
        # Verbose, so the fresh seed shows in the log.
        stage "Random-input storm, fixed and fresh seed (build-asan/)" \
            run_ctest --test-dir build-asan -L storm -V || true
        # The Windows build is made on Debian 12, with its Qt's source; after the storm, whose
        # paced keys a build beside it would hold up.
        if [[ "$VERSION_CODENAME" == bookworm ]]; then
            later "Windows: cross-build, unit and window tests and the .exe under Wine (build-windows/)" \
                windows
        fi
        if stage "Debian package: reprotest, validators (build-asan/)" \
            run_ctest --test-dir build-asan -L package -E piuparts; then
            later "Debian package: piuparts on each release (build-asan/)" \
                run_ctest --test-dir build-asan -R piuparts -FS debian_package
        fi
    fi
elif [[ -z "$core" ]]; then
    later "Picture fuzzer, 30 s (build-fuzz/)" fuzz
fi
collect

printf '\n===== Summary =====\n'
cat "$work/results"
echo "total: ${SECONDS}s (Debian 13, the fuzzer and piuparts run beside other stages)"
read -r passed failed < <(awk '{p += $1; f += $2} END {print p + 0, f + 0}' "$work/counts")
echo "tests: $passed passed, $failed failed"
! grep -q '^FAIL' "$work/results"
