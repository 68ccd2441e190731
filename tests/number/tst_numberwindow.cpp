#include "lessons/number/frmnumber.h"
#include "runtime/units.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QtTest>

using forms::twipsToPixels;

namespace {

const QColor DarkRed(102, 4, 4), Green(0, 255, 0), Pink(255, 192, 192), Blue(0, 0, 255),
    Red(255, 0, 0);
const Qt::KeyboardModifiers None, Shift(Qt::ShiftModifier), Keypad(Qt::KeypadModifier);

} // namespace

class NumberWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { open(); }
    void cleanup() { m_form->Unload(); }

    void windowLooksAsLaidOut();
    void controlLooksAsLaidOut_data();
    void controlLooksAsLaidOut();
    void paintsGreenCardOnDarkRed();
    void numeralDrawnAboveWord();
    void keysPickCards_data();
    void keysPickCards();
    void clickOnSurfaceDoesNothing_data();
    void clickOnSurfaceDoesNothing();
    void resizeMovesNoControl_data();
    void resizeMovesNoControl();
    void opensOnCardOfOne_data();
    void opensOnCardOfOne();

private:
    void open();
    // A printable character goes as that character, anything else as its key.
    void type(int key, Qt::KeyboardModifiers modifiers = None) const;
    QMainWindow *window() const { return qobject_cast<QMainWindow *>(m_form->window()); }
    QWidget *control(const char *name) const { return m_form->controlWidget(name); }
    QString numeral() const { return qobject_cast<QLabel *>(control("lblNum1"))->text(); }
    QString word() const { return qobject_cast<QLabel *>(control("lblNum2"))->text(); }
    QLineEdit *answerBox() const { return qobject_cast<QLineEdit *>(control("txtAnswer")); }

    forms::Form *m_form = nullptr;
};

void NumberWindowTest::initTestCase()
{
    forms::installProject(
        {.name = "NumberTest",
         .startupObject = "frmNumber",
         .windowClasses = {{"frmNumber", [] { return std::make_unique<frmNumber>(); }}}});
    m_form = &forms::instance("frmNumber");
    forms::setErrorReporter([](const forms::RuntimeError &e) { QFAIL(qPrintable(e.message())); });
}

void NumberWindowTest::open()
{
    m_form->Show();
    QVERIFY(window());
    QVERIFY(QTest::qWaitForWindowExposed(window()));
    QVERIFY(QTest::qWaitForWindowActive(window()));
}

void NumberWindowTest::type(int key, Qt::KeyboardModifiers modifiers) const
{
    if (key < 0x100)
        QTest::keyClick(window()->windowHandle(), char(key), modifiers);
    else
        QTest::keyClick(window()->windowHandle(), Qt::Key(key), modifiers);
}

void NumberWindowTest::windowLooksAsLaidOut()
{
    QMainWindow *w = window();
    QCOMPARE(w->windowTitle(), "Number");
    QCOMPARE(w->centralWidget()->size(), QSize(956, 631));
    QVERIFY(!w->windowIcon().isNull());
    QVERIFY(!w->menuWidget());
    QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(w->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(w->minimumSize() != w->maximumSize());
    QVERIFY(!w->centralWidget()->testAttribute(Qt::WA_SetCursor));
    QCOMPARE(w->centralWidget()->palette().color(QPalette::Window), DarkRed);
    QCOMPARE(control("Frame1")->toolTip(), "To See  Help Right Click out side the border. ");
}

void NumberWindowTest::controlLooksAsLaidOut_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("face");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QColor>("back");
    QTest::addColumn<QColor>("fore");
    QTest::addColumn<bool>("takesFocus");

    QTest::addRow("frame_on_the_surface")
        << "Frame1"
        << "" << QRect(72, 16, 833, 569) << "Verdana" << 24 << false << DarkRed << Red << false;
    QTest::addRow("answer_box_bottom_left_of_frame")
        << "txtAnswer"
        << "Frame1" << QRect(8, 480, 137, 81) << "Times New Roman" << 64 << true << Pink << Blue
        << true;
    QTest::addRow("numeral_top_left_of_frame")
        << "lblNum1"
        << "Frame1" << QRect(16, 24, 257, 265) << "Times New Roman" << 267 << true << DarkRed
        << Green << false;
    QTest::addRow("word_across_the_middle")
        << "lblNum2"
        << "Frame1" << QRect(232, 256, 593, 225) << "Times New Roman" << 167 << true << DarkRed
        << Green << false;
}

void NumberWindowTest::controlLooksAsLaidOut()
{
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QRect, geometry);
    QFETCH(QString, face);
    QFETCH(int, pixelSize);
    QFETCH(bool, bold);
    QFETCH(QColor, back);
    QFETCH(QColor, fore);
    QFETCH(bool, takesFocus);

    QWidget *widget = control(name.toLatin1().constData());
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget(),
             container.isEmpty() ? window()->centralWidget()
                                 : control(container.toLatin1().constData()));
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(widget->font().family(), forms::installedFace(face));
    QCOMPARE(widget->font().pixelSize(), pixelSize);
    QCOMPARE(widget->font().bold(), bold);
    QVERIFY(!widget->font().italic());
    auto *box = qobject_cast<QLineEdit *>(widget);
    QCOMPARE(widget->palette().color(box ? QPalette::Base : QPalette::Window), back);
    QCOMPARE(widget->palette().color(box ? QPalette::Text : QPalette::WindowText), fore);
    QCOMPARE(widget->focusPolicy() != Qt::NoFocus, takesFocus);
    if (box)
        QCOMPARE(box->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        QVERIFY(label->autoFillBackground());
        QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }
}

void NumberWindowTest::paintsGreenCardOnDarkRed()
{
    QWidget *surface = window()->centralWidget();
    const QImage image = surface->grab().toImage();
    QCOMPARE(image.pixelColor(30, 300), DarkRed); // the strip left of the frame
    QCOMPARE(image.pixelColor(500, 620), DarkRed); // the strip below it
    const QPoint box = answerBox()->mapTo(surface, QPoint(10, 10));
    QCOMPARE(image.pixelColor(box), Pink);

    for (const char *name : {"lblNum1", "lblNum2"}) {
        const QRect area(control(name)->mapTo(surface, QPoint(0, 0)), control(name)->size());
        int green = 0, ground = 0, other = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                green += c == Green;
                ground += c == DarkRed;
                other += c.blue() > DarkRed.blue(); // no blend of green and dark red
            }
        }
        QVERIFY2(green > 500 && ground > 500, name);
        QCOMPARE(other, 0);
    }
}

void NumberWindowTest::numeralDrawnAboveWord()
{
    QWidget *numeralLabel = control("lblNum1");
    QWidget *wordLabel = control("lblNum2");
    const QRect overlap = numeralLabel->geometry() & wordLabel->geometry();
    QCOMPARE(overlap.size(), QSize(41, 33)); // 615 by 495 twips
    QCOMPARE(control("Frame1")->childAt(overlap.center()), numeralLabel);

    // Give the word another ground: the overlap keeps the numeral's dark red.
    const QColor probe(255, 255, 0);
    QPalette palette = wordLabel->palette();
    palette.setColor(QPalette::Window, probe);
    wordLabel->setPalette(palette);
    const QImage image = window()->centralWidget()->grab().toImage();
    const QPoint frame = control("Frame1")->pos();
    QCOMPARE(image.pixelColor(frame + overlap.center()), DarkRed);
    QCOMPARE(image.pixelColor(frame + wordLabel->pos() + QPoint(5, 100)), probe);
}

void NumberWindowTest::keysPickCards_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers"); // held for the last key
    QTest::addColumn<QString>("numeral");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("answer");

    const struct
    {
        char key;
        const char *numeral, *word;
    } cards[] = {{'1', "1", "ONE"},  {'2', "2", "TWO"}, {'3', "3", "THREE"}, {'4', "4", "FOUR"},
                 {'5', "5", "FIVE"}, {'6', "6", "SIX"}, {'7', "7", "SEVEN"}, {'8', "8", "EIGHT"},
                 {'9', "9", "NINE"}, {'0', "10", "TEN"}};
    for (const auto &card : cards) {
        // Each starts from another card.
        const QList<int> keys {card.key == '5' ? '6' : '5', card.key};
        QTest::addRow("digit_%c_gives_%s", card.key, card.word)
            << keys << None << card.numeral << card.word << QString(QChar(card.key));
        QTest::addRow("keypad_%c_gives_%s", card.key, card.word)
            << keys << Keypad << card.numeral << card.word << QString(QChar(card.key));
    }

    const struct
    {
        const char *tag;
        int key;
        Qt::KeyboardModifiers modifiers;
        const char *answer;
    } others[] = {
        {"lower_letter", 'a', None, "a"},
        {"capital_letter", 'Z', Shift, "Z"},
        {"letter_o", 'o', None, "o"},
        {"blank", ' ', None, " "},
        {"shifted_1", '!', Shift, "!"},
        {"shifted_2", '@', Shift, "@"},
        {"shifted_0", ')', Shift, ")"},
        {"keypad_point", '.', Keypad, "."},
        {"backspace", Qt::Key_Backspace, None, ""},
        {"return", Qt::Key_Return, None, ""},
        {"keypad_enter", Qt::Key_Enter, Keypad, ""},
        {"escape", Qt::Key_Escape, None, ""},
        {"tab_keeps_box_text", Qt::Key_Tab, None, "345"},
        {"shift_tab_keeps_box_text", Qt::Key_Backtab, Shift, "345"},
    };
    for (const auto &other : others) {
        QTest::addRow("%s_keeps_SEVEN", other.tag)
            << QList<int> {'7', other.key} << other.modifiers << "7"
            << "SEVEN" << other.answer;
    }

    QTest::addRow("1_then_2_gives_TWO") << QList<int> {'1', '2'} << None << "2"
                                        << "TWO"
                                        << "2";
    QTest::addRow("1_then_0_gives_TEN") << QList<int> {'1', '0'} << None << "10"
                                        << "TEN"
                                        << "0";
    QTest::addRow("digit_then_letter") << QList<int> {'4', 'x'} << None << "4"
                                       << "FOUR"
                                       << "x";
    QTest::addRow("letter_then_digit") << QList<int> {'x', '4'} << None << "4"
                                       << "FOUR"
                                       << "4";
    QTest::addRow("same_digit_twice") << QList<int> {'8', '8'} << None << "8"
                                      << "EIGHT"
                                      << "8";
}

void NumberWindowTest::keysPickCards()
{
    QFETCH(QList<int>, keys);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, numeral);
    QFETCH(QString, word);
    QFETCH(QString, answer);

    // Whatever the box holds before the last key, that key empties it.
    for (qsizetype i = 0; i < keys.size() - 1; ++i)
        type(keys.at(i));
    answerBox()->setText("345");
    type(keys.last(), modifiers);
    QCOMPARE(this->numeral(), numeral);
    QCOMPARE(this->word(), word);
    QCOMPARE(answerBox()->text(), answer);
    QCOMPARE(QApplication::focusWidget(), answerBox());
}

void NumberWindowTest::clickOnSurfaceDoesNothing_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("at");

    QTest::addRow("right_click_left_strip") << Qt::RightButton << QPoint(30, 300);
    QTest::addRow("right_click_bottom_strip") << Qt::RightButton << QPoint(500, 620);
    QTest::addRow("left_click_right_strip") << Qt::LeftButton << QPoint(940, 300);
}

void NumberWindowTest::clickOnSurfaceDoesNothing()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, at);

    type('2');
    QMainWindow *w = window();
    QCOMPARE(w->centralWidget()->childAt(at), nullptr);
    QTest::mouseClick(w->windowHandle(), button, None, w->centralWidget()->mapTo(w, at));
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
    QCOMPARE(window(), w);
    QCOMPARE(numeral(), "2");
    QCOMPARE(word(), "TWO");
    QCOMPARE(answerBox()->text(), "2");
}

void NumberWindowTest::resizeMovesNoControl_data()
{
    QTest::addColumn<QSize>("size");

    QTest::addRow("larger") << QSize(1200, 800);
    QTest::addRow("smaller_cuts_off") << QSize(500, 300);
    QTest::addRow("narrower_only") << QSize(700, 631);
}

void NumberWindowTest::resizeMovesNoControl()
{
    QFETCH(QSize, size);

    const char *names[] = {"Frame1", "txtAnswer", "lblNum1", "lblNum2"};
    QList<QRect> before;
    for (const char *name : names)
        before << control(name)->geometry();
    window()->resize(size);
    QTRY_COMPARE(window()->centralWidget()->size(), size);
    for (qsizetype i = 0; i < before.size(); ++i)
        QCOMPARE(control(names[i])->geometry(), before.at(i));
}

void NumberWindowTest::opensOnCardOfOne_data()
{
    QTest::addColumn<QString>("closedBy");

    QTest::addRow("first_opening") << "";
    QTest::addRow("reopened_after_unload") << "unload";
    QTest::addRow("reopened_after_close_box") << "close box";
}

void NumberWindowTest::opensOnCardOfOne()
{
    QFETCH(QString, closedBy);

    if (!closedBy.isEmpty()) {
        type('9');
        QCOMPARE(word(), "NINE");
        window()->setGeometry(300, 200, 600, 400);
        if (closedBy == "unload")
            m_form->Unload();
        else
            QVERIFY(window()->close());
        QVERIFY(!m_form->isLoaded());
        open();
    }
    QCOMPARE(numeral(), "1");
    QCOMPARE(word(), "ONE");
    QCOMPARE(answerBox()->text(), "");
    QCOMPARE(QApplication::focusWidget(), answerBox());
    QCOMPARE(window()->pos(), QPoint(twipsToPixels(1200), twipsToPixels(800)));
    QCOMPARE(m_form->left(), 1200.0f);
    QCOMPARE(window()->centralWidget()->size(), QSize(956, 631));
}

QTEST_MAIN(NumberWindowTest)
#include "tst_numberwindow.moc"
