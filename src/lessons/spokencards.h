#pragma once

#include <array>

namespace lessons {

/// What a card says aloud, and the clip in the sounds folder that says it. The words are
/// written to be heard, not read: the X card says "Christmas tree", not its caption.
struct SpokenCard
{
    const char *clip; // file name in the sounds folder beside the program; its name alone
                      // finds a parent's recording in any format
    const char *text;
};

/// The 36 spoken cards: the letters A to Z, then the numbers 1 to 10.
const std::array<SpokenCard, 36> &spokenCards();

/// The spoken card of a capital letter "A" to "Z", or nullptr.
const SpokenCard *spokenLetter(const char *letter);

/// The spoken card of a numeral "1" to "10", or nullptr.
const SpokenCard *spokenNumber(const char *numeral);

/// Says a card aloud from its clip (a parent's recording of the same name first, in any format
/// the runtime plays), cutting off the card before it. Returns at once; nullptr says nothing.
void speak(const SpokenCard *card);

} // namespace lessons
