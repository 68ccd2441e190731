#pragma once

#include "runtime/integer.h"

#include <QString>

#include <array>

namespace lessons {

/// One card of the English lesson: a capital letter, a word that begins with it and the file
/// name of the word's picture in the images folder.
struct LetterCard
{
    forms::Integer code; // the capital letter's character code, 65 to 90
    const char *letter;
    const char *word;
    const char *pictureFile;
};

/// The 26 cards, A to Z, ordered by code.
const std::array<LetterCard, 26> &letterCards();

/// The card of a capital letter's character code, or nullptr outside 65..90.
const LetterCard *letterCardByCode(int code);

/// The card of a typed key, either case ("k" and "K" give the same card), or nullptr for any
/// key that is not a letter.
const LetterCard *letterCardByKey(int keyAscii);

const LetterCard &firstLetterCard();
const LetterCard &lastLetterCard();

/// Where a card's picture lies under a program folder: the folder, "\images\" and the file,
/// joined as they stand, so a drive root "C:\" keeps both backslashes.
QString letterPicturePath(const QString &programFolder, const LetterCard &card);

/// The file a picture path names on a system whose separator is "/": only the two separators of
/// "\images\" that the path rule put in are turned; a backslash in the program folder's own name
/// stays, as it is part of that name.
QString letterPictureFile(const QString &picturePath);

} // namespace lessons
