#!/usr/bin/env bash
# Fuzzes the picture loader: builds tests/fuzz/picturefuzz with clang in build-fuzz/ (only that
# target), seeds it with the 26 card pictures, the apple and damaged pictures, and runs it.
#   tests/fuzz/fuzz.sh [SECONDS]       (60 by default; 3600 for a longer hunt)
# Every input that crashes or hangs it lands in build-fuzz/fuzz-findings/: copy it into
# tests/fuzz/regressions/, which every run replays first and the unit test tst_runtimerules
# loads too (each file must load or be refused with a runtime error).
set -euo pipefail

seconds=${1:-60}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${QUORBEL_FUZZ_BUILD:-$root/build-fuzz}

mkdir -p "$build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DQUORBEL_FUZZ=ON -DQUORBEL_E2E=OFF -DQUORBEL_WERROR=ON >"$build/configure.log" 2>&1 \
    || { cat "$build/configure.log"; exit 1; }
cmake --build "$build" --target picturefuzz

# The seeds: every card, the apple, and the damaged pictures the other tests make.
seeds="$build/fuzz-seeds"
rm -rf "$seeds"
mkdir -p "$seeds" "$build/fuzz-corpus" "$build/fuzz-findings"
cp "$root"/images/*.jpg "$root/src/resources/apple.jpg" "$seeds/"
: >"$seeds/empty.jpg"
head -c "$(($(stat -c %s "$root/images/b.jpg") / 2))" "$root/images/b.jpg" >"$seeds/cut-off.jpg"
printf 'not a picture at all' >"$seeds/text.jpg"
convert -size 16385x1 xc:black "$seeds/too-wide.png" 2>/dev/null || true
# A card whose header claims 16384 x 16384 pixels.
frame=$(LC_ALL=C grep -obUaP '\xFF\xC0' "$root/images/a.jpg" | head -n 1 | cut -d: -f1)
cp "$root/images/a.jpg" "$seeds/huge-header.jpg"
printf '\x40\x00\x40\x00' | dd of="$seeds/huge-header.jpg" bs=1 seek=$((frame + 5)) conv=notrunc 2>/dev/null
convert -size 40x30 xc:red "$seeds/small.gif" 2>/dev/null || true
convert -size 40x30 xc:red "$seeds/small.bmp" 2>/dev/null || true

cd "$build"
status=0
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ASAN_OPTIONS=detect_leaks=1 \
    LSAN_OPTIONS="suppressions=$root/tests/robust/lsan.supp:print_suppressions=0" \
    "$build/tests/fuzz/picturefuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
    -malloc_limit_mb=128 -print_final_stats=1 -print_pcs=0 \
    -artifact_prefix="$build/fuzz-findings/" \
    "$build/fuzz-corpus" "$seeds" "$root/tests/fuzz/regressions" \
    >"$build/fuzz.log" 2>&1 || status=$?

grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)' "$build/fuzz.log" || true
grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$build/fuzz.log" || true
if ((status != 0)); then
    tail -n 60 "$build/fuzz.log"
    echo "fuzz: a crash or hang; its input is in $build/fuzz-findings/" >&2
    ls -l "$build/fuzz-findings/" >&2
fi
exit "$status"
