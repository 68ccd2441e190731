#include "info/frmabout.h"
#include "modalcheck.h"
#include "runtime/forms.h"

#include <QLabel>

namespace {

const QString StoredTitle = QStringLiteral("Learn Alphabets and Number by Yourself");
const QString Whole = QStringLiteral("Learn Alphabet && Number Yourself");

} // namespace

class AboutTest : public QObject
{
    Q_OBJECT

    static frmabout &about() { return static_cast<frmabout &>(forms::instance("frmabout")); }
    static QString titleCaption() { return forms::Label(&about(), "Label1", 0).caption(); }
    // Opens About with its timer stopped, then ticks it by hand.
    static void openAndTick(int ticks)
    {
        about().Show();
        about().window()->findChild<QTimer *>()->stop();
        for (int i = 0; i < ticks; ++i)
            about().Timer1_Timer();
    }

private slots:
    void initTestCase()
    {
        forms::installProject(
            {.name = "AboutTest",
             .startupObject = "frmabout",
             .windowClasses = {{"frmabout", [] { return std::make_unique<frmabout>(); }}}});
    }
    void cleanup() { about().Unload(); }

    void ticker_data()
    {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QString>("caption");
        QTest::addRow("before_first_tick_stored_caption") << 0 << StoredTitle;
        QTest::addRow("tick_1_first_letter") << 1 << QStringLiteral("L");
        QTest::addRow("tick_33_whole_text") << 33 << Whole;
        QTest::addRow("tick_34_whole_text_stands_again") << 34 << Whole;
        QTest::addRow("tick_35_starts_over") << 35 << QStringLiteral("L");
    }
    void ticker()
    {
        QFETCH(int, ticks);
        QFETCH(QString, caption);
        openAndTick(ticks);
        QCOMPARE(titleCaption(), caption);
    }

    void timerTypesTheTitle()
    {
        about().Show();
        QCOMPARE(about().window()->findChild<QTimer *>()->interval(), 170);
        QTRY_VERIFY(titleCaption() != StoredTitle);
        QVERIFY2(Whole.startsWith(titleCaption()), qPrintable(titleCaption()));
    }

    void linesFitTheirLabels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::addRow("contact_line") << "Label3" << 0;
        QTest::addRow("copyright_line") << "Label4" << 1;
        QTest::addRow("rights_notice") << "Label5" << 1;
        QTest::addRow("dedication") << "Label6" << 1;
    }
    void linesFitTheirLabels()
    {
        QFETCH(QString, name);
        QFETCH(int, index);
        about().Show();
        const auto *label = qobject_cast<QLabel *>(about().controlWidget(qPrintable(name), index));
        QVERIFY(!label->text().isEmpty());
        QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
                 qPrintable(label->text()));
    }

    // OK closes About by click, access key or Escape; the next opening types the title anew.
    void closesAndStartsOver_data()
    {
        QTest::addColumn<int>("key"); // 0: a click
        QTest::addColumn<int>("ticksBefore");
        QTest::addRow("ok_clicked_mid_line") << 0 << 7;
        QTest::addRow("alt_o_at_whole_line") << int(Qt::Key_O) << 33;
        QTest::addRow("escape_at_wrap") << int(Qt::Key_Escape) << 34;
    }
    void closesAndStartsOver()
    {
        QFETCH(int, key);
        QFETCH(int, ticksBefore);

        openAndTick(ticksBefore);
        QWindow *window = about().window()->windowHandle();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QWidget *ok = about().controlWidget("cmdok");
        QCOMPARE(QApplication::focusWidget(), ok);
        if (key == 0)
            QTest::mouseClick(window, Qt::LeftButton, {},
                              ok->mapTo(about().window(), QPoint(5, 5)));
        else
            QTest::keyClick(window, Qt::Key(key),
                            key == Qt::Key_O ? Qt::AltModifier : Qt::NoModifier);
        QTRY_VERIFY(!about().isLoaded());

        openAndTick(1);
        QCOMPARE(titleCaption(), QStringLiteral("L"));
    }

    // The window opens at its own place, wherever it was moved to before.
    void opensAtItsPlace()
    {
        for (const QPoint movedTo : {QPoint(500, 400), QPoint(0, 0)}) {
            about().Show();
            QCOMPARE(about().window()->pos(), QPoint(147, 67)); // 2200, 1000 twips
            about().window()->move(movedTo);
            about().window()->close();
        }
    }

    void blocksWindowsBehind()
    {
        checkBlocksWindowsBehind(about(), [] { about().cmdok_Click(); });
    }
};

QTEST_MAIN(AboutTest)
#include "tst_about.moc"
