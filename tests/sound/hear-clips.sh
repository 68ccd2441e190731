#!/usr/bin/env bash
# Listens with pocketsphinx to the clip that each card of both lessons really asks to play, and
# checks that it says the word the card shows.
# Usage: hear-clips.sh CARD-CLIPS SPOKEN-LINES PROGRAM-FOLDER
# CARD-CLIPS opens the lessons from PROGRAM-FOLDER and names each card's clip and shown word.
# Each lesson's clips are heard against a grammar of the words that lesson speaks (SPOKEN-LINES,
# the table the clips are made from); an English clip may start with any letter's name, which is
# not checked: letter names rhyme too much for the recogniser.
set -euo pipefail

cards=$("$1" "$3")
spoken=$("$2")
model=/usr/share/pocketsphinx/model/en-us
work=$(mktemp -d "${TMPDIR:-/tmp}/quorbel-hear-clips.XXXXXX")
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
}

# An English card says its letter, then its word; a number card its word.
while IFS=$'\t' read -r _ text; do
    text=${text//./}
    text=${text,,}
    if [[ $text == [a-z]" "* ]]; then
        echo "${text%% *}" >>"$work/letters"
        echo "${text#* }" >>"$work/english.words"
    else
        echo "$text" >>"$work/number.words"
    fi
done <<<"$spoken"

ids=()
declare -A clips shown heard
# Cut at the tabs by hand: read would pass over an empty clip.
while IFS= read -r line; do
    id=card$((${#ids[@]} + 1))
    ids+=("$id")
    clip=${line%%$'\t'*} card=${line#*$'\t'}
    clips[$id]=$clip shown[$id]=${card/$'\t'/ }
    if [[ -z $clip ]]; then
        fail "${shown[$id]}: the lesson asks for no clip"
        continue
    fi
    [[ -f $clip ]] || { fail "${shown[$id]}: $clip is missing"; continue; }
    format="$(soxi -r "$clip") Hz, $(soxi -c "$clip") channel, $(soxi -e "$clip") $(soxi -b "$clip")"
    [[ $format == "22050 Hz, 1 channel, Signed Integer PCM 16" ]] || fail "$clip: $format"
    # The recogniser wants 16 kHz, with silence either side as a recording would have.
    sox -D "$clip" -t raw -r 16000 -e signed-integer -b 16 -c 1 "$work/$id.raw" pad 0.3 0.3
    if [[ $card == [0-9]* ]]; then lesson=number; else lesson=english; fi
    echo "$id" >>"$work/$lesson.ctl"
done <<<"$cards"
((${#ids[@]} > 0)) || fail "no cards"

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

# Heard and shown words alike: lower case, no blanks or hyphens; a caption's "X-mas" is said
# "Christmas".
plain() {
    local text=${1,,}
    text=${text//christmas/xmas}
    echo "${text//[^a-z]/}"
}
for id in "${ids[@]}"; do
    [[ -v heard[$id] ]] || continue
    said=${heard[$id]} word=$(plain "${shown[$id]#* }")
    # Past a letter's name, when there is one.
    if [[ -n $word && ($(plain "$said") == "$word" || $(plain "${said#* }") == "$word") ]]; then
        echo "ok   ${shown[$id]}: ${clips[$id]} says '$said'"
    else
        fail "${shown[$id]}: ${clips[$id]} says '$said'"
    fi
done
echo "$failures of ${#ids[@]} cards failed"
((failures == 0))
