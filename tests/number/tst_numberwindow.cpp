#include "lessons/number/frmnumber.h"
#include "runtime/units.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QtTest>

namespace {

const QColor DarkRed(102, 4, 4), Green(0, 255, 0), Pink(255, 192, 192), Blue(0, 0, 255),
    Red(255, 0, 0);
const Qt::KeyboardModifiers None, Shift(Qt::ShiftModifier), Keypad(Qt::KeypadModifier);

} // namespace

class NumberWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        forms::installProject(
            {.name = "NumberTest",
             .startupObject = "frmNumber",
             .windowClasses = {{"frmNumber", [] { return std::make_unique<frmNumber>(); }}}});
        m_form = &forms::instance("frmNumber");
        forms::setErrorReporter(
            [](const forms::RuntimeError &e) { QFAIL(qPrintable(e.message())); });
    }

    void init() { open(); }
    void cleanup() { m_form->Unload(); }

    void windowLook()
    {
        QMainWindow *w = window();
        QCOMPARE(w->windowTitle(), "Number");
        QVERIFY(!w->windowIcon().isNull());
        QVERIFY(!w->menuWidget());
        QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(w->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(w->minimumSize() != w->maximumSize());
        QVERIFY(!surface()->testAttribute(Qt::WA_SetCursor));
        QCOMPARE(control("Frame1")->toolTip(), "To See  Help Right Click out side the border. ");

        // The numeral is drawn over the word where they overlap.
        const QRect overlap = control("lblNum1")->geometry() & control("lblNum2")->geometry();
        QCOMPARE(overlap.size(), QSize(41, 33)); // 615 by 495 twips
        QCOMPARE(control("Frame1")->childAt(overlap.center()), control("lblNum1"));

        const QImage image = surface()->grab().toImage();
        QCOMPARE(image.pixelColor(30, 300), DarkRed); // the strip left of the frame
        QCOMPARE(image.pixelColor(500, 620), DarkRed); // the strip below it
    }

    void controlLook_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("face");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QColor>("fore");
        QTest::addColumn<QColor>("back"); // as drawn

        const QString tnr = "Times New Roman";
        QTest::addRow("frame_on_the_surface")
            << "Frame1" << QRect(72, 16, 833, 569) << "Verdana" << 24 << false << Red << DarkRed;
        QTest::addRow("answer_box_bottom_left_of_frame")
            << "txtAnswer" << QRect(8, 480, 137, 81) << tnr << 64 << true << Blue << Pink;
        QTest::addRow("numeral_top_left_of_frame")
            << "lblNum1" << QRect(16, 24, 257, 265) << tnr << 267 << true << Green << DarkRed;
        QTest::addRow("word_across_the_middle")
            << "lblNum2" << QRect(232, 256, 593, 225) << tnr << 167 << true << Green << DarkRed;
    }

    void controlLook()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, face);
        QFETCH(int, pixelSize);
        QFETCH(bool, bold);
        QFETCH(QColor, fore);
        QFETCH(QColor, back);

        QWidget *widget = control(qPrintable(name));
        QCOMPARE(widget->parentWidget(), name == "Frame1" ? surface() : control("Frame1"));
        QCOMPARE(widget->geometry(), geometry);
        QCOMPARE(widget->font().family(), forms::installedFace(face));
        QCOMPARE(widget->font().pixelSize(), pixelSize);
        QCOMPARE(widget->font().bold(), bold);
        QCOMPARE(widget->palette().color(widget->foregroundRole()), fore);
        if (const QVariant alignment = widget->property("alignment"); alignment.isValid())
            QCOMPARE(alignment.value<Qt::Alignment>() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        const QImage image = surface()->grab().toImage();
        QCOMPARE(image.pixelColor(widget->mapTo(surface(), QPoint(widget->width() - 10, 10))),
                 back);
    }

    void keysPickCards_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("numeral");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("answer");
        const auto row = [](const char *tag, int key, Qt::KeyboardModifiers modifiers,
                            const char *numeral, const char *word, const char *answer) {
            QTest::newRow(tag) << key << modifiers << QString(numeral) << QString(word)
                               << QString(answer);
        };
        row("digit_1_gives_ONE", '1', None, "1", "ONE", "1");
        row("digit_9_gives_NINE", '9', None, "9", "NINE", "9");
        row("digit_0_gives_TEN", '0', None, "10", "TEN", "0");
        row("keypad_0_gives_TEN", '0', Keypad, "10", "TEN", "0");
        row("letter_o_keeps_FIVE", 'o', None, "5", "FIVE", "o");
        row("shifted_1_keeps_FIVE", '!', Shift, "5", "FIVE", "!");
        row("backspace_keeps_FIVE", Qt::Key_Backspace, None, "5", "FIVE", "");
        row("tab_keeps_box_text", Qt::Key_Tab, None, "5", "FIVE", "345");
    }

    // Whatever the box holds before a key, that key empties it; keys leave focus in the box.
    void keysPickCards()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, numeral);
        QFETCH(QString, word);
        QFETCH(QString, answer);

        type('5');
        qobject_cast<QLineEdit *>(control("txtAnswer"))->setText("345");
        type(key, modifiers);
        QCOMPARE(text("lblNum1"), numeral);
        QCOMPARE(text("lblNum2"), word);
        QCOMPARE(text("txtAnswer"), answer);
        QCOMPARE(QApplication::focusWidget(), control("txtAnswer"));
    }

    // There is no pop-up menu here: a right click on the margin changes nothing.
    void rightClickDoesNothing()
    {
        type('2');
        const QPoint at(30, 300);
        QCOMPARE(surface()->childAt(at), nullptr);
        QTest::mouseClick(window()->windowHandle(), Qt::RightButton, None,
                          surface()->mapTo(window(), at));
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
        QVERIFY(m_form->isLoaded());
        QCOMPARE(text("lblNum2"), "TWO");
        QCOMPARE(text("txtAnswer"), "2");
    }

    void opensOnCardOfOne_data()
    {
        QTest::addColumn<bool>("reopened");
        QTest::addRow("first_opening") << false;
        QTest::addRow("reopened_after_close_box") << true;
    }

    void opensOnCardOfOne()
    {
        QFETCH(bool, reopened);

        if (reopened) {
            type('9');
            QCOMPARE(text("lblNum2"), "NINE");
            // The window is sizable, but its controls keep their places.
            window()->setGeometry(300, 200, 600, 400);
            QTRY_COMPARE(surface()->size(), QSize(600, 400));
            QCOMPARE(control("Frame1")->geometry(), QRect(72, 16, 833, 569));
            QCOMPARE(control("lblNum2")->geometry(), QRect(232, 256, 593, 225));
            QVERIFY(window()->close());
            QVERIFY(!m_form->isLoaded());
            open();
        }
        QCOMPARE(text("lblNum1"), "1");
        QCOMPARE(text("lblNum2"), "ONE");
        QCOMPARE(text("txtAnswer"), "");
        QCOMPARE(QApplication::focusWidget(), control("txtAnswer"));
        QCOMPARE(window()->pos(), QPoint(forms::twipsToPixels(1200), forms::twipsToPixels(800)));
        QCOMPARE(surface()->size(), QSize(956, 631));
    }

private:
    void open()
    {
        m_form->Show();
        QVERIFY(QTest::qWaitForWindowActive(window()));
    }
    // A printable character goes as that character, anything else as its key.
    void type(int key, Qt::KeyboardModifiers modifiers = None) const
    {
        if (key < 0x100)
            QTest::keyClick(window()->windowHandle(), char(key), modifiers);
        else
            QTest::keyClick(window()->windowHandle(), Qt::Key(key), modifiers);
    }
    QMainWindow *window() const { return qobject_cast<QMainWindow *>(m_form->window()); }
    QWidget *surface() const { return window()->centralWidget(); }
    QWidget *control(const char *name) const { return m_form->controlWidget(name); }
    QString text(const char *name) const { return control(name)->property("text").toString(); }

    forms::Form *m_form = nullptr;
};

QTEST_MAIN(NumberWindowTest)
#include "tst_numberwindow.moc"
