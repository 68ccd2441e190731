// Prints the spoken cards as "clip<TAB>text" lines, one a card, so that the script making the
// clips and the check listening to them read the one table the lessons use.
#include "lessons/spokencards.h"

#include <cstdio>

int main()
{
    for (const lessons::SpokenCard &card : lessons::spokenCards())
        std::printf("%s\t%s\n", card.clip, card.text);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
