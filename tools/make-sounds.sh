#!/usr/bin/env bash
# Makes the spoken cards' clips in sounds/ again: flite's rms voice says each card's text from
# the spoken-lines tool, and sox trims, levels and stores it. Running it twice gives the same bytes.
# Usage: tools/make-sounds.sh [BUILD-DIR]
#   With BUILD-DIR (a configured build of the whole program), builds spoken-lines there;
#   otherwise configures the program in a scratch folder that is removed afterwards.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

if [[ $# -ge 1 ]]; then
    build=$(cd "$1" && pwd)
else
    build=$scratch/build
    cmake -S "$repo" -B "$build" -DBUILD_TESTING=OFF -DQUORBEL_BENCHMARKS=OFF \
        -DQUORBEL_E2E=OFF >/dev/null
fi
cmake --build "$build" --target spoken-lines >/dev/null
"$build/tools/spoken-lines" >"$scratch/lines"

# Every clip's speech, pauses left out, is brought to this level (dBFS RMS), so that no card
# sounds louder than another; the loudest peaks then stay below full scale.
level=-18
# -D: no dither, so the same voice gives the same bytes.
sox=(sox -D)

rm -f "$repo"/sounds/*.wav
mkdir -p "$repo/sounds"
while IFS=$'\t' read -r clip text; do
    flite -voice rms -t "$text" -o "$scratch/voice.wav"
    # Mono at 22050 Hz, in floating point with headroom for the resampler; the voice's silence
    # before its first sound and after its last (below -50 dBFS) is cut so a card speaks at once.
    "${sox[@]}" "$scratch/voice.wav" -e floating-point -b 32 "$scratch/trimmed.wav" \
        remix - gain -6 rate 22050 silence 1 0 -50d reverse silence 1 0 -50d reverse
    speech=$("${sox[@]}" "$scratch/trimmed.wav" -n silence 1 0.02 -40d -1 0.02 -40d stats 2>&1 |
        awk '/^RMS lev dB/ { print $4 }')
    gain=$(awk -v level="$level" -v speech="$speech" 'BEGIN { printf "%.2f", level - speech }')
    "${sox[@]}" "$scratch/trimmed.wav" -e signed-integer -b 16 "$repo/sounds/$clip" \
        gain "$gain" pad 0.005 0.15
    peak=$(sox "$repo/sounds/$clip" -n stats 2>&1 | awk '/^Pk lev dB/ { print $4 }')
    if awk -v peak="$peak" 'BEGIN { exit !(peak > -1) }'; then
        echo "make-sounds: $clip peaks at $peak dBFS; lower the level" >&2
        exit 1
    fi
    printf '%-7s gain %6s dB, peak %6s dBFS  %s\n' "$clip" "$gain" "$peak" "$text"
done <"$scratch/lines"
