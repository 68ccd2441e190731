#include "lessons/spokencards.h"

#include "runtime/sound.h"

#include <QByteArray>

namespace lessons {

const std::array<SpokenCard, 36> &spokenCards()
{
    static constexpr std::array<SpokenCard, 36> cards {{
        {"a.wav", "A. Apple."},   {"b.wav", "B. Boy."},        {"c.wav", "C. Cat."},
        {"d.wav", "D. Dog."},     {"e.wav", "E. Elephant."},   {"f.wav", "F. Fish."},
        {"g.wav", "G. Grapes."},  {"h.wav", "H. Horse."},      {"i.wav", "I. Ink pot."},
        {"j.wav", "J. Jeep."},    {"k.wav", "K. Kite."},       {"l.wav", "L. Lion."},
        {"m.wav", "M. Mango."},   {"n.wav", "N. Nest."},       {"o.wav", "O. Owl."},
        {"p.wav", "P. Peacock."}, {"q.wav", "Q. Queen."},      {"r.wav", "R. Rose."},
        {"s.wav", "S. Ship."},    {"t.wav", "T. Tiger."},      {"u.wav", "U. Umbrella."},
        {"v.wav", "V. Van."},     {"w.wav", "W. Watermelon."}, {"x.wav", "X. Christmas tree."},
        {"y.wav", "Y. Yacht."},   {"z.wav", "Z. Zebra."},      {"1.wav", "One."},
        {"2.wav", "Two."},        {"3.wav", "Three."},         {"4.wav", "Four."},
        {"5.wav", "Five."},       {"6.wav", "Six."},           {"7.wav", "Seven."},
        {"8.wav", "Eight."},      {"9.wav", "Nine."},          {"10.wav", "Ten."},
    }};
    return cards;
}

const SpokenCard *spokenLetter(const char *letter)
{
    if (!letter || letter[0] < 'A' || letter[0] > 'Z' || letter[1] != '\0')
        return nullptr;
    return &spokenCards()[static_cast<std::size_t>(letter[0] - 'A')];
}

const SpokenCard *spokenNumber(const char *numeral)
{
    bool ok = false;
    const int number = QByteArray(numeral).toInt(&ok);
    // The numbers follow the 26 letters, in order.
    if (!ok || number < 1 || number > 10 || QByteArray::number(number) != numeral)
        return nullptr;
    return &spokenCards()[static_cast<std::size_t>(25 + number)];
}

void speak(const SpokenCard *card)
{
    if (card)
        forms::PlayClip(QLatin1String(card->clip));
}

} // namespace lessons
