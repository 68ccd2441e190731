#include <QtTest>

#include "lessons/english/lettercards.h"

using lessons::LetterCard;

class tst_LetterCards : public QObject
{
    Q_OBJECT

private slots:
    // Each card carries its own letter, a word that begins with it and that letter's picture file.
    void cardsRunAToZ()
    {
        int code = 65;
        for (const LetterCard &card : lessons::letterCards()) {
            const QString letter(QChar(code++));
            QCOMPARE(int(card.code), letter.at(0).unicode());
            QCOMPARE(QString::fromUtf8(card.letter), letter);
            QVERIFY2(QString::fromUtf8(card.word).startsWith(letter), card.word);
            QCOMPARE(QString::fromUtf8(card.pictureFile),
                     letter.toLower() + QStringLiteral(".jpg"));
            QCOMPARE(lessons::letterCardByCode(card.code), &card);
        }
        QCOMPARE(code, 91);
        QCOMPARE(&lessons::firstLetterCard(), lessons::letterCardByCode(65));
        QCOMPARE(&lessons::lastLetterCard(), lessons::letterCardByCode(90));
    }

    void lookUp_data()
    {
        QTest::addColumn<bool>("byKey"); // else by code
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("word"); // empty: no card
        const auto row = [](const char *tag, bool byKey, int value, const char *word) {
            QTest::newRow(tag) << byKey << value << QString(word);
        };
        row("code_65_APPLE", false, 65, "APPLE");
        row("code_88_X_MAS_TREE", false, 88, "X-MAS TREE");
        row("code_90_ZEBRA", false, 90, "ZEBRA");
        row("code_64_below_A", false, 64, "");
        row("code_91_above_Z", false, 91, "");
        row("code_97_lower_a", false, 97, "");
        row("key_lower_a", true, 'a', "APPLE");
        row("key_lower_z", true, 'z', "ZEBRA");
        row("key_upper_A", true, 'A', "APPLE");
        row("key_upper_Z", true, 'Z', "ZEBRA");
        row("key_64_at_sign", true, 64, "");
        row("key_91_left_bracket", true, 91, "");
        row("key_96_grave", true, 96, "");
        row("key_123_left_brace", true, 123, "");
        row("key_digit_0", true, '0', "");
        row("key_latin1_a_grave_224", true, 224, "");
    }

    void lookUp()
    {
        QFETCH(bool, byKey);
        QFETCH(int, value);
        QFETCH(QString, word);
        const LetterCard *card
            = byKey ? lessons::letterCardByKey(value) : lessons::letterCardByCode(value);
        QCOMPARE(card ? QString::fromUtf8(card->word) : QString(), word);
    }

    void picturePath_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("path");
        QTest::addRow("drive_root_keeps_both_backslashes") << "C:\\" << 65 << "C:\\\\images\\a.jpg";
        QTest::addRow("unix_folder_joined_as_it_stands")
            << "/opt/quorbel" << 88 << "/opt/quorbel\\images\\x.jpg";
    }

    void picturePath()
    {
        QFETCH(QString, folder);
        QFETCH(int, code);
        QFETCH(QString, path);
        QCOMPARE(lessons::letterPicturePath(folder, *lessons::letterCardByCode(code)), path);
    }
};

QTEST_APPLESS_MAIN(tst_LetterCards)
#include "tst_lettercards.moc"
