#include "behindwindow.h"
#include "info/frmabout.h"
#include "runtime/forms.h"

#include <QLabel>
#include <QTimer>
#include <QtTest>

class AboutTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void ticker_data();
    void ticker();
    void timerRunsWhileLoaded();
    void linesFitTheirLabels_data();
    void linesFitTheirLabels();
    void closes_data();
    void closes();
    void opensAtItsPlace_data();
    void opensAtItsPlace();
    void blocksWindowsBehind_data();
    void blocksWindowsBehind();

private:
    static frmabout &about() { return static_cast<frmabout &>(forms::instance("frmabout")); }
    static QLabel *titleLine()
    {
        return qobject_cast<QLabel *>(about().controlWidget("Label1", 0));
    }
    static QString titleCaption();
    static void openStill();
    static void tick(int times);
};

namespace {

const QString StoredTitle = QStringLiteral("Learn Alphabets and Number by Yourself");
const QString WholeTicker = QStringLiteral("Learn Alphabet && Number Yourself");
const QString WholeTickerDrawn = QStringLiteral("Learn Alphabet & Number Yourself");
const QPoint AboutPlace(147, 67); // 2200, 1000 twips

} // namespace

void AboutTest::initTestCase()
{
    forms::installProject(
        {.name = "AboutTest",
         .startupObject = "frmabout",
         .windowClasses = {{"frmabout", [] { return std::make_unique<frmabout>(); }}}});
}

void AboutTest::cleanup()
{
    about().Unload();
}

QString AboutTest::titleCaption()
{
    // The caption as stored, before the label resolves its access-key marks.
    return forms::Label(&about(), "Label1", 0).caption();
}

// Opens the window with its timer stopped, so that only the test's ticks move the title line.
void AboutTest::openStill()
{
    about().Show();
    about().window()->findChild<QTimer *>()->stop();
}

void AboutTest::tick(int times)
{
    for (int i = 0; i < times; ++i)
        about().Timer1_Timer();
}

void AboutTest::ticker_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("drawn");

    QTest::addRow("before_first_tick_stored_caption") << 0 << StoredTitle << StoredTitle;
    QTest::addRow("tick_1_first_letter") << 1 << "L"
                                         << "L";
    QTest::addRow("tick_2_two_letters") << 2 << "Le"
                                        << "Le";
    QTest::addRow("tick_16_lone_ampersand_hidden") << 16 << "Learn Alphabet &"
                                                   << "Learn Alphabet ";
    QTest::addRow("tick_17_pair_draws_one_ampersand") << 17 << "Learn Alphabet &&"
                                                      << "Learn Alphabet &";
    QTest::addRow("tick_33_whole_text") << 33 << WholeTicker << WholeTickerDrawn;
    QTest::addRow("tick_34_whole_text_stands_again") << 34 << WholeTicker << WholeTickerDrawn;
    QTest::addRow("tick_35_starts_over") << 35 << "L"
                                         << "L";
    QTest::addRow("tick_68_second_cycle_whole") << 68 << WholeTicker << WholeTickerDrawn;
    QTest::addRow("tick_69_second_cycle_starts_over") << 69 << "L"
                                                      << "L";
}

void AboutTest::ticker()
{
    QFETCH(int, ticks);
    QFETCH(QString, caption);
    QFETCH(QString, drawn);

    openStill();
    tick(ticks);
    QCOMPARE(titleCaption(), caption);
    QCOMPARE(titleLine()->text(), drawn);
}

void AboutTest::timerRunsWhileLoaded()
{
    about().Show();
    const QTimer *timer = about().window()->findChild<QTimer *>();
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 170);
    QVERIFY(timer->isActive());
    // The timer itself types the line out: it leaves the stored caption for a start of the text.
    QTRY_VERIFY(titleCaption() != StoredTitle);
    QVERIFY2(WholeTicker.startsWith(titleCaption()), qPrintable(titleCaption()));
}

void AboutTest::linesFitTheirLabels_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");

    QTest::addRow("contact_line") << "Label3" << 0;
    QTest::addRow("copyright_line") << "Label4" << 1;
    QTest::addRow("rights_notice") << "Label5" << 1;
    QTest::addRow("dedication") << "Label6" << 1;
}

// Each of the program's lines, wrapped at words in its label's font, shows whole within the label's
// rectangle.
void AboutTest::linesFitTheirLabels()
{
    QFETCH(QString, name);
    QFETCH(int, index);

    about().Show();
    const auto *label = qobject_cast<QLabel *>(about().controlWidget(qPrintable(name), index));
    QVERIFY(label);
    QVERIFY(!label->text().isEmpty());
    const int needed = label->heightForWidth(label->width());
    QVERIFY2(needed <= label->height(),
             qPrintable(QStringLiteral("%1 needs %2 px, has %3")
                            .arg(label->text())
                            .arg(needed)
                            .arg(label->height())));
}

void AboutTest::closes_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("ticksBefore");

    QTest::addRow("ok_clicked_mid_line") << "click_ok" << 7;
    QTest::addRow("alt_o_at_whole_line") << "alt_o" << 33;
    QTest::addRow("escape_at_wrap") << "escape" << 34;
    QTest::addRow("close_box_mid_line") << "close_box" << 20;
}

void AboutTest::closes()
{
    QFETCH(QString, how);
    QFETCH(int, ticksBefore);

    openStill();
    tick(ticksBefore);
    QWidget *window = about().window();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QWidget *ok = about().controlWidget("cmdok");
    QCOMPARE(window->focusWidget(), ok);

    if (how == "click_ok")
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                          ok->mapTo(window, ok->rect().center()));
    else if (how == "alt_o")
        QTest::keyClick(window->windowHandle(), Qt::Key_O, Qt::AltModifier);
    else if (how == "escape")
        QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
    else
        window->close();
    QTRY_VERIFY(!about().isLoaded());

    // Opening again starts the ticker over from the stored caption.
    openStill();
    QCOMPARE(titleCaption(), StoredTitle);
    tick(1);
    QCOMPARE(titleCaption(), QStringLiteral("L"));
}

void AboutTest::opensAtItsPlace_data()
{
    QTest::addColumn<QPoint>("movedTo");
    QTest::addColumn<int>("openings");

    QTest::addRow("first_opening") << QPoint() << 1;
    QTest::addRow("moved_right_down_then_reopened") << QPoint(500, 400) << 2;
    QTest::addRow("moved_to_corner_then_reopened_twice") << QPoint(0, 0) << 3;
}

void AboutTest::opensAtItsPlace()
{
    QFETCH(QPoint, movedTo);
    QFETCH(int, openings);

    for (int i = 0; i < openings; ++i) {
        about().Show();
        QCOMPARE(about().window()->pos(), AboutPlace);
        about().window()->move(movedTo);
        about().window()->close();
        QVERIFY(!about().isLoaded());
    }
}

void AboutTest::blocksWindowsBehind_data()
{
    QTest::addColumn<bool>("byOkButton");

    QTest::addRow("closed_by_ok_button") << true;
    QTest::addRow("closed_by_close_box") << false;
}

void AboutTest::blocksWindowsBehind()
{
    QFETCH(bool, byOkButton);

    BehindWindow behind;
    behind.show();
    QVERIFY(QTest::qWaitForWindowExposed(&behind));

    bool modal = false;
    QString typedWhileOpen = QStringLiteral("not run");
    int clicksWhileOpen = -1;
    QTimer::singleShot(0, this, [&] {
        modal = about().isLoaded() && about().window()->isModal();
        behind.typeAndClick();
        typedWhileOpen = behind.typed();
        clicksWhileOpen = behind.clicks();
        if (byOkButton)
            about().cmdok_Click();
        else
            about().window()->close();
    });
    about().Show(forms::vbModal);

    QVERIFY(!about().isLoaded());
    QVERIFY(modal);
    QCOMPARE(typedWhileOpen, QString());
    QCOMPARE(clicksWhileOpen, 0);
    // Once About is gone the same input reaches the window behind.
    behind.typeAndClick();
    QCOMPARE(behind.typed(), QStringLiteral("k"));
    QCOMPARE(behind.clicks(), 1);
}

QTEST_MAIN(AboutTest)
#include "tst_about.moc"
