#!/usr/bin/env bash
# Installs what the tests need, builds Quorbel Alphabet once with the address and
# undefined-behaviour sanitizers and warnings as errors, and runs every check against it:
# formatting, the unit, window and end-to-end tests, a screen reader's walk, a random-input storm,
# then the Debian package (whose own optimised builds also treat warnings as errors) and the
# picture fuzzer. A missing test tool fails the run.
# Prints each stage's result and seconds; exits non-zero if anything failed.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$root"

jobs=$(nproc 2>/dev/null || echo 2)
results=()
failed=0
tests_passed=0
tests_failed=0

# Runs one stage: STAGE-NAME COMMAND...; keeps its result and seconds for the summary.
stage() {
    local name=$1 started=$SECONDS status=0
    shift
    printf '\n===== %s =====\n' "$name"
    "$@" || status=$?
    if ((status == 0)); then
        results+=("$(printf 'PASS %4ds  %s' $((SECONDS - started)) "$name")")
    else
        results+=("$(printf 'FAIL %4ds  %s' $((SECONDS - started)) "$name")")
        failed=1
    fi
    return "$status"
}

# Runs ctest and adds its counts to the totals.
run_ctest() {
    local log status=0 line
    log=$(mktemp)
    ctest -j "$jobs" --output-on-failure --no-tests=error "$@" 2>&1 | tee "$log" || status=$?
    line=$(grep -E '^[0-9]+% tests passed' "$log" | tail -n 1 || true)
    if [[ "$line" =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
        tests_failed=$((tests_failed + BASH_REMATCH[1]))
        tests_passed=$((tests_passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
    fi
    rm -f "$log"
    return "$status"
}

build() { # DIR CMAKE-OPTIONS...
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DQUORBEL_WERROR=ON -DQUORBEL_ALL_TESTS=ON "$@" \
        && cmake --build "$dir" -j "$jobs"
}

formatting() {
    git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
}

# Leaks inside Qt's and fontconfig's own internals only; the file must be there.
suppressions=$root/tests/robust/lsan.supp
sanitizers() {
    [[ -f "$suppressions" ]] || { echo "no leak suppressions at $suppressions" >&2; return 1; }
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    export LSAN_OPTIONS="suppressions=$suppressions:print_suppressions=0"
    echo "LSAN_OPTIONS=$LSAN_OPTIONS"
}

fuzz() {
    local status=0
    bash tests/fuzz/fuzz.sh 30 || status=$?
    if ((status == 0)); then
        tests_passed=$((tests_passed + 1))
    else
        tests_failed=$((tests_failed + 1))
    fi
    return "$status"
}

stage "Packages the tests need" bash scripts/setup.sh --tests || exit 1
stage "Leak suppressions" sanitizers || exit 1
if stage "Build with the sanitizers, warnings as errors (build-asan/)" build build-asan \
    -DCMAKE_BUILD_TYPE=Debug -DQUORBEL_SANITIZE=ON; then
    stage "Formatting (clang-format)" formatting || true
    stage "Tests under the sanitizers: unit, window, e2e (build-asan/)" \
        run_ctest --test-dir build-asan -LE 'package|a11y|storm' || true
    stage "Screen reader over AT-SPI, X11 and Wayland (build-asan/)" \
        run_ctest --test-dir build-asan -L a11y || true
    # Verbose, so the fresh seed shows in the log.
    stage "Random-input storm, fixed and fresh seed (build-asan/)" \
        run_ctest --test-dir build-asan -L storm -V || true
    stage "Debian package: reprotest, validators, piuparts (build-asan/)" \
        run_ctest --test-dir build-asan -L package || true
fi
stage "Picture fuzzer, 30 s (build-fuzz/)" fuzz || true

printf '\n===== Summary =====\n'
printf '%s\n' "${results[@]}"
echo "total: ${SECONDS}s"
echo "tests: $tests_passed passed, $tests_failed failed"
exit "$failed"
