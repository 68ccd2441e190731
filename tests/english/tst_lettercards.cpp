#include <QtTest>

#include "lessons/english/lettercards.h"

using lessons::LetterCard;

class tst_LetterCards : public QObject
{
    Q_OBJECT

private slots:
    void table_data();
    void table();
    void codeOutsideTable_data();
    void codeOutsideTable();
    void keyPicksCard_data();
    void keyPicksCard();
    void keyPicksNoCard_data();
    void keyPicksNoCard();
    void firstAndLast();
    void picturePath_data();
    void picturePath();
};

void tst_LetterCards::table_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("file");

    const char *rows[][3] = {
        {"A", "APPLE", "a.jpg"},   {"B", "BOY", "b.jpg"},        {"C", "CAT", "c.jpg"},
        {"D", "DOG", "d.jpg"},     {"E", "ELEPHANT", "e.jpg"},   {"F", "FISH", "f.jpg"},
        {"G", "GRAPES", "g.jpg"},  {"H", "HORSE", "h.jpg"},      {"I", "INKPOT", "i.jpg"},
        {"J", "JEEP", "j.jpg"},    {"K", "KITE", "k.jpg"},       {"L", "LION", "l.jpg"},
        {"M", "MANGO", "m.jpg"},   {"N", "NEST", "n.jpg"},       {"O", "OWL", "o.jpg"},
        {"P", "PEACOCK", "p.jpg"}, {"Q", "QUEEN", "q.jpg"},      {"R", "ROSE", "r.jpg"},
        {"S", "SHIP", "s.jpg"},    {"T", "TIGER", "t.jpg"},      {"U", "UMBRELLA", "u.jpg"},
        {"V", "VAN", "v.jpg"},     {"W", "WATERMELON", "w.jpg"}, {"X", "X-MAS TREE", "x.jpg"},
        {"Y", "YACHT", "y.jpg"},   {"Z", "ZEBRA", "z.jpg"},
    };
    int code = 65;
    for (const auto &row : rows) {
        QTest::addRow("%d_%s", code, row[1]) << code << row[0] << row[1] << row[2];
        ++code;
    }
}

void tst_LetterCards::table()
{
    QFETCH(int, code);
    QFETCH(QString, letter);
    QFETCH(QString, word);
    QFETCH(QString, file);

    const LetterCard &card = lessons::letterCards().at(std::size_t(code - 65));
    QCOMPARE(int(card.code), code);
    QCOMPARE(QString::fromUtf8(card.letter), letter);
    QCOMPARE(QString::fromUtf8(card.word), word);
    QCOMPARE(QString::fromUtf8(card.pictureFile), file);
    QCOMPARE(lessons::letterCardByCode(code), &card);
}

void tst_LetterCards::codeOutsideTable_data()
{
    QTest::addColumn<int>("code");
    QTest::addRow("64_below_A") << 64;
    QTest::addRow("91_above_Z") << 91;
    QTest::addRow("97_lower_a") << 97;
    QTest::addRow("zero") << 0;
    QTest::addRow("most_negative") << -32768;
}

void tst_LetterCards::codeOutsideTable()
{
    QFETCH(int, code);
    QCOMPARE(lessons::letterCardByCode(code), nullptr);
}

void tst_LetterCards::keyPicksCard_data()
{
    QTest::addColumn<int>("keyAscii");
    QTest::addColumn<int>("code");
    for (int i = 0; i < 26; ++i) {
        QTest::addRow("lower_%c_gives_%c", 'a' + i, 'A' + i) << 'a' + i << 65 + i;
        QTest::addRow("upper_%c_gives_%c", 'A' + i, 'A' + i) << 'A' + i << 65 + i;
    }
}

void tst_LetterCards::keyPicksCard()
{
    QFETCH(int, keyAscii);
    QFETCH(int, code);
    const LetterCard *card = lessons::letterCardByKey(keyAscii);
    QVERIFY(card);
    QCOMPARE(int(card->code), code);
    QCOMPARE(QString::fromUtf8(card->letter), QString(QChar(code)));
}

void tst_LetterCards::keyPicksNoCard_data()
{
    QTest::addColumn<int>("keyAscii");
    QTest::addRow("64_at_sign") << 64;
    QTest::addRow("91_left_bracket") << 91;
    QTest::addRow("96_grave") << 96;
    QTest::addRow("123_left_brace") << 123;
    QTest::addRow("digit_0") << int('0');
    QTest::addRow("digit_9") << int('9');
    QTest::addRow("blank") << int(' ');
    QTest::addRow("backspace_8") << 8;
    QTest::addRow("enter_13") << 13;
    QTest::addRow("zero") << 0;
    QTest::addRow("latin1_a_grave_224") << 224;
}

void tst_LetterCards::keyPicksNoCard()
{
    QFETCH(int, keyAscii);
    QCOMPARE(lessons::letterCardByKey(keyAscii), nullptr);
}

void tst_LetterCards::firstAndLast()
{
    QCOMPARE(int(lessons::firstLetterCard().code), 65);
    QCOMPARE(QString::fromUtf8(lessons::firstLetterCard().word), QStringLiteral("APPLE"));
    QCOMPARE(int(lessons::lastLetterCard().code), 90);
    QCOMPARE(QString::fromUtf8(lessons::lastLetterCard().word), QStringLiteral("ZEBRA"));
}

void tst_LetterCards::picturePath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("path");
    QTest::addRow("folder_C_Lessons") << "C:\\Lessons" << 65 << "C:\\Lessons\\images\\a.jpg";
    QTest::addRow("drive_root_keeps_both_backslashes") << "C:\\" << 65 << "C:\\\\images\\a.jpg";
    QTest::addRow("unix_folder_joined_as_it_stands")
        << "/opt/quorbel" << 88 << "/opt/quorbel\\images\\x.jpg";
    QTest::addRow("empty_folder") << "" << 90 << "\\images\\z.jpg";
}

void tst_LetterCards::picturePath()
{
    QFETCH(QString, folder);
    QFETCH(int, code);
    QFETCH(QString, path);
    QCOMPARE(lessons::letterPicturePath(folder, *lessons::letterCardByCode(code)), path);
}

QTEST_APPLESS_MAIN(tst_LetterCards)
#include "tst_lettercards.moc"
