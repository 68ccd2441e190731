#!/usr/bin/env bash
# Builds Quorbel Alphabet (Release) and starts it. Without a display it runs on a
# virtual screen, saves a screenshot of it and keeps going until Ctrl+C.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$root"

bash scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
# A build folder already configured (say by a plain "cmake -S . -B build") keeps its generator.
generator=(-G Ninja)
[[ -f build/CMakeCache.txt ]] && generator=()
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$jobs"

program="$root/build/quorbel-alphabet"
if [[ ! -x "$program" ]]; then
    echo "run: $program was not built" >&2
    exit 1
fi

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    exec "$program" "$@"
fi

shots="$root/build/screenshots"
mkdir -p "$shots"
shot="$shots/quorbel-$(date +%Y%m%d-%H%M%S).png"

echo "run: no display found; starting the program on a virtual screen (Xvfb, 1920x1080)."
echo "run: a screenshot will be saved to $shot"
echo "run: press Ctrl+C to stop."

# Runs inside xvfb-run, so DISPLAY is whatever free display it picked.
inner=$(mktemp "${TMPDIR:-/tmp}/quorbel-run.XXXXXX")
trap 'rm -f "$inner"' EXIT
cat >"$inner" <<'INNER'
set -euo pipefail
program=$1
shot=$2
shift 2
"$program" "$@" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; exit 130' INT TERM
sleep 4
if kill -0 "$pid" 2>/dev/null; then
    if import -window root "$shot"; then
        echo "run: screenshot saved to $shot"
    else
        echo "run: could not save the screenshot" >&2
    fi
    echo "run: the program keeps running; press Ctrl+C to stop."
fi
status=0
wait "$pid" || status=$?
exit "$status"
INNER

status=0
xvfb-run -a -s "-screen 0 1920x1080x24" bash "$inner" "$program" "$shot" "$@" || status=$?
exit "$status"
