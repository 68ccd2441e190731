#!/usr/bin/env bash
# Listens to every spoken card's clip with pocketsphinx and checks that it says its card's word.
# Usage: hear-clips.sh SPOKEN-LINES SOUNDS-DIR
# The words come from the table the clips are made from (the spoken-lines program). Each lesson's
# clips are heard against a grammar of that lesson's words only; an English clip may start with
# any letter's name, which is not checked: letter names rhyme too much for the recogniser.
set -euo pipefail

lines=$("$1")
sounds=$2
model=/usr/share/pocketsphinx/model/en-us
work=$(mktemp -d "${TMPDIR:-/tmp}/quorbel-hear-clips.XXXXXX")
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
}

ids=()
declare -A want heard
while IFS=$'\t' read -r clip text; do
    id=${clip%.wav}
    ids+=("$id")
    if [[ $id == [0-9]* ]]; then lesson=number; else lesson=english text=${text#*. }; fi
    text=${text//./}
    want[$id]=${text,,}
    echo "${want[$id]}" >>"$work/$lesson.words"
    [[ $lesson == english ]] && echo "$id" >>"$work/letters"
    file=$sounds/$clip
    [[ -f $file ]] || continue
    format="$(soxi -r "$file") Hz, $(soxi -c "$file") channel, $(soxi -e "$file") $(soxi -b "$file")"
    [[ $format == "22050 Hz, 1 channel, Signed Integer PCM 16" ]] || fail "$clip: $format"
    # The recogniser wants 16 kHz, with silence either side as a recording would have.
    sox -D "$file" -t raw -r 16000 -e signed-integer -b 16 -c 1 "$work/$id.raw" pad 0.3 0.3
    echo "$id" >>"$work/$lesson.ctl"
done <<<"$lines"

choice() { paste -sd '|' "$1" | sed 's/|/ | /g'; }
printf '#JSGF V1.0;\ngrammar english;\npublic <card> = [<letter>] <word>;\n<letter> = %s;\n<word> = %s;\n' \
    "$(choice "$work/letters")" "$(choice "$work/english.words")" >"$work/english.gram"
printf '#JSGF V1.0;\ngrammar number;\npublic <card> = %s;\n' \
    "$(choice "$work/number.words")" >"$work/number.gram"

for lesson in english number; do
    [[ -s $work/$lesson.ctl ]] || continue
    # -dither: pocketsphinx's own seeded noise, as digital silence upsets its features.
    pocketsphinx_batch -hmm "$model/en-us" -dict "$model/cmudict-en-us.dict" \
        -jsgf "$work/$lesson.gram" -ctl "$work/$lesson.ctl" -cepdir "$work" -cepext .raw \
        -adcin yes -dither yes -hyp "$work/$lesson.hyp" -logfn "$work/$lesson.log" \
        || { tail -n 20 "$work/$lesson.log"; fail "pocketsphinx on the $lesson clips"; }
    # Lines "words (id score)", with no words when nothing was heard.
    while read -r id words; do
        heard[$id]=$words
    done < <(sed -E 's/^ *(.*[^ ])? *\(([^ ]+) [-0-9]+\)$/\2 \1/' "$work/$lesson.hyp")
done

for id in "${ids[@]}"; do
    if [[ ! -f $sounds/$id.wav ]]; then
        fail "$id.wav: missing"
    elif [[ ${heard[$id]:-} == "${want[$id]}" || ${heard[$id]:-} == *" ${want[$id]}" ]]; then
        echo "ok   $id.wav: heard '${heard[$id]}'"
    else
        fail "$id.wav: heard '${heard[$id]:-}', not '${want[$id]}'"
    fi
done
echo "$failures of ${#ids[@]} clips failed"
((failures == 0))
