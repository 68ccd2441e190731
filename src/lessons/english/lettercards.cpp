#include "lessons/english/lettercards.h"

namespace lessons {

const std::array<LetterCard, 26> &letterCards()
{
    static const std::array<LetterCard, 26> cards {{
        {65, "A", "APPLE", "a.jpg"},      {66, "B", "BOY", "b.jpg"},
        {67, "C", "CAT", "c.jpg"},        {68, "D", "DOG", "d.jpg"},
        {69, "E", "ELEPHANT", "e.jpg"},   {70, "F", "FISH", "f.jpg"},
        {71, "G", "GRAPES", "g.jpg"},     {72, "H", "HORSE", "h.jpg"},
        {73, "I", "INKPOT", "i.jpg"},     {74, "J", "JEEP", "j.jpg"},
        {75, "K", "KITE", "k.jpg"},       {76, "L", "LION", "l.jpg"},
        {77, "M", "MANGO", "m.jpg"},      {78, "N", "NEST", "n.jpg"},
        {79, "O", "OWL", "o.jpg"},        {80, "P", "PEACOCK", "p.jpg"},
        {81, "Q", "QUEEN", "q.jpg"},      {82, "R", "ROSE", "r.jpg"},
        {83, "S", "SHIP", "s.jpg"},       {84, "T", "TIGER", "t.jpg"},
        {85, "U", "UMBRELLA", "u.jpg"},   {86, "V", "VAN", "v.jpg"},
        {87, "W", "WATERMELON", "w.jpg"}, {88, "X", "X-MAS TREE", "x.jpg"},
        {89, "Y", "YACHT", "y.jpg"},      {90, "Z", "ZEBRA", "z.jpg"},
    }};
    return cards;
}

const LetterCard *letterCardByCode(int code)
{
    for (const LetterCard &card : letterCards()) {
        if (card.code == code)
            return &card;
    }
    return nullptr;
}

const LetterCard *letterCardByKey(int keyAscii)
{
    if (keyAscii >= 'a' && keyAscii <= 'z')
        return letterCardByCode(keyAscii - 'a' + 'A');
    if (keyAscii >= 'A' && keyAscii <= 'Z')
        return letterCardByCode(keyAscii);
    return nullptr;
}

const LetterCard &firstLetterCard()
{
    return letterCards().front();
}

const LetterCard &lastLetterCard()
{
    return letterCards().back();
}

QString letterPicturePath(const QString &programFolder, const LetterCard &card)
{
    return programFolder + QStringLiteral("\\images\\") + QString::fromUtf8(card.pictureFile);
}

QString letterPictureFile(const QString &picturePath)
{
    static const QString joint = QStringLiteral("\\images\\");
    QString file = picturePath;
    // The last one is the rule's: a card's file name holds no backslash.
    if (const qsizetype at = file.lastIndexOf(joint); at >= 0)
        file.replace(at, joint.size(), QStringLiteral("/images/"));
    return file;
}

} // namespace lessons
