#!/usr/bin/env bash
# Builds Quorbel Alphabet and runs every check: warnings as errors, formatting,
# all tests (unit, window, e2e), then unit and window tests again under the
# address and undefined-behaviour sanitizers. Exits non-zero if anything fails.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$root"

bash scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
results=()
failed=0
tests_passed=0
tests_failed=0

banner() { printf '\n===== %s =====\n' "$*"; }

record() {
    local name=$1 status=$2
    if [[ "$status" -eq 0 ]]; then
        results+=("PASS  $name")
    else
        results+=("FAIL  $name")
        failed=1
    fi
}

skip() { results+=("SKIP  $1 ($2)"); }

# Runs ctest, keeps its log and adds its counts to the totals.
run_ctest() {
    local log=$1
    shift
    local status=0
    ctest "$@" --output-on-failure --no-tests=error 2>&1 | tee "$log" || status=$?
    local line
    line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
    if [[ -n "$line" ]]; then
        local bad total
        bad=$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$line")
        total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
        tests_failed=$((tests_failed + bad))
        tests_passed=$((tests_passed + total - bad))
    fi
    return "$status"
}

# 1. Release build, warnings as errors.
banner "Release build (build/)"
status=0
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORBEL_WERROR=ON || status=$?
if [[ "$status" -eq 0 ]]; then
    cmake --build build -j "$jobs" || status=$?
fi
record "Release build, warnings as errors" "$status"
release_built=$status

# 2. Formatting of the tracked C++ sources.
banner "Formatting (clang-format)"
mapfile -t sources < <(git ls-files -- '*.cpp' '*.h')
if ((${#sources[@]} == 0)); then
    skip "Formatting" "no tracked C++ files"
else
    status=0
    clang-format --dry-run --Werror "${sources[@]}" || status=$?
    record "Formatting of ${#sources[@]} files" "$status"
fi

# 3. Every test against the Release build.
banner "Tests: unit, window, e2e (build/)"
if [[ "$release_built" -eq 0 ]]; then
    status=0
    run_ctest build/ctest-all.log --test-dir build -LE 'package|e2e-a11y' || status=$?
    record "Tests: unit, window, e2e" "$status"
else
    skip "Tests: unit, window, e2e" "the build failed"
fi

# 3b. The Debian package: build, lintian and the other validators, its file list, the
# program started from its unpacked files, and a second build that must be byte-identical.
banner "Debian package (build/package/)"
if [[ "$release_built" -eq 0 ]]; then
    status=0
    run_ctest build/ctest-package.log --test-dir build -L package || status=$?
    record "Debian package: build, lint, contents, installed program, reproducible" "$status"
else
    skip "Debian package" "the build failed"
fi

# 3c. A screen reader over AT-SPI on X and on Wayland, and the keyboard alone.
banner "Tests: accessibility and Wayland, e2e-a11y (build/)"
if [[ "$release_built" -eq 0 ]]; then
    status=0
    run_ctest build/ctest-a11y.log --test-dir build -L 'e2e-a11y' || status=$?
    record "Tests: accessibility and Wayland" "$status"
else
    skip "Tests: accessibility and Wayland" "the build failed"
fi

# 4. Debug build under the sanitizers; the e2e tests are left out there.
banner "Sanitizer build (build-asan/)"
status=0
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DQUORBEL_SANITIZE=ON -DQUORBEL_WERROR=ON -DQUORBEL_E2E=OFF || status=$?
if [[ "$status" -eq 0 ]]; then
    cmake --build build-asan -j "$jobs" || status=$?
fi
record "Sanitizer build" "$status"
asan_built=$status

banner "Tests under the sanitizers: unit, window (build-asan/)"
if [[ "$status" -eq 0 ]]; then
    status=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    # Leaks stay detected; a suppressions file, if present, lists only leaks
    # inside Qt's and fontconfig's own internals.
    if [[ -f "$root/tests/lsan.supp" ]]; then
        export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
    fi
    run_ctest build-asan/ctest-sanitize.log --test-dir build-asan -L 'unit|window' || status=$?
    record "Tests under the sanitizers: unit, window" "$status"
else
    skip "Tests under the sanitizers" "the build failed"
fi

# 4b. Random input against the real program under the sanitizers: a fixed seed and a fresh one.
banner "Random-input storm (build-asan/)"
if [[ "$asan_built" -eq 0 ]]; then
    status=0
    # Verbose, so the fresh seed and the storm's figures show in the log.
    run_ctest build-asan/ctest-storm.log --test-dir build-asan -L storm -V || status=$?
    record "Random-input storm, fixed and fresh seed" "$status"
else
    skip "Random-input storm" "the sanitizer build failed"
fi

# 4c. Arbitrary bytes as a card picture, for 60 s, in a clang build of its own.
banner "Picture fuzzer, 60 s (build-fuzz/)"
status=0
bash tests/fuzz/fuzz.sh 60 || status=$?
record "Picture fuzzer, 60 s" "$status"
if [[ "$status" -eq 0 ]]; then
    tests_passed=$((tests_passed + 1))
else
    tests_failed=$((tests_failed + 1))
fi

banner "Summary"
printf '%s\n' "${results[@]}"
if [[ "$failed" -eq 0 ]]; then
    echo "All checks passed."
else
    echo "Some checks FAILED (see above)."
fi
echo "tests: $tests_passed passed, $tests_failed failed"
exit "$failed"
