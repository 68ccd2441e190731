#include "info/frmabout.h"
#include "modalcheck.h"
#include "runtime/forms.h"

#include <QLabel>

namespace {

const QString StoredTitle = QStringLiteral("Learn Alphabets and Number by Yourself");
const QString Whole = QStringLiteral("Learn Alphabet && Number Yourself");
const QString WholeDrawn = QStringLiteral("Learn Alphabet & Number Yourself");

frmabout &about()
{
    return static_cast<frmabout &>(forms::instance("frmabout"));
}

QString titleCaption()
{
    return forms::Label(&about(), "Label1", 0).caption();
}

// Opens About with its timer stopped, then ticks it by hand.
void openAndTick(int ticks)
{
    about().Show();
    about().window()->findChild<QTimer *>()->stop();
    for (int i = 0; i < ticks; ++i)
        about().Timer1_Timer();
}

} // namespace

class AboutTest : public QObject
{
    Q_OBJECT

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
        QTest::addColumn<QString>("drawn");

        QTest::addRow("before_first_tick_stored_caption") << 0 << StoredTitle << StoredTitle;
        QTest::addRow("tick_1_first_letter") << 1 << "L"
                                             << "L";
        QTest::addRow("tick_16_lone_ampersand_hidden") << 16 << "Learn Alphabet &"
                                                       << "Learn Alphabet ";
        QTest::addRow("tick_17_pair_draws_one") << 17 << "Learn Alphabet &&"
                                                << "Learn Alphabet &";
        QTest::addRow("tick_33_whole_text") << 33 << Whole << WholeDrawn;
        QTest::addRow("tick_34_whole_text_stands_again") << 34 << Whole << WholeDrawn;
        QTest::addRow("tick_35_starts_over") << 35 << "L"
                                             << "L";
        QTest::addRow("tick_68_second_cycle_whole") << 68 << Whole << WholeDrawn;
        QTest::addRow("tick_69_second_cycle_starts_over") << 69 << "L"
                                                          << "L";
    }
    void ticker()
    {
        QFETCH(int, ticks);
        QFETCH(QString, caption);
        QFETCH(QString, drawn);

        openAndTick(ticks);
        QCOMPARE(titleCaption(), caption);
        QCOMPARE(qobject_cast<QLabel *>(about().controlWidget("Label1", 0))->text(), drawn);
    }

    void timerTypesTheTitle()
    {
        about().Show();
        const QTimer *timer = about().window()->findChild<QTimer *>();
        QCOMPARE(timer->interval(), 170);
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

    void closesAndStartsOver_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("ticksBefore");

        QTest::addRow("ok_clicked_mid_line") << "click_ok" << 7;
        QTest::addRow("alt_o_at_whole_line") << "alt_o" << 33;
        QTest::addRow("escape_at_wrap") << "escape" << 34;
        QTest::addRow("close_box_mid_line") << "close_box" << 20;
    }
    void closesAndStartsOver()
    {
        QFETCH(QString, how);
        QFETCH(int, ticksBefore);

        openAndTick(ticksBefore);
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

        openAndTick(0);
        QCOMPARE(titleCaption(), StoredTitle);
        about().Timer1_Timer();
        QCOMPARE(titleCaption(), QStringLiteral("L"));
    }

    void opensAtItsPlace_data()
    {
        QTest::addColumn<QPoint>("movedTo");
        QTest::addColumn<int>("openings");

        QTest::addRow("first_opening") << QPoint() << 1;
        QTest::addRow("moved_then_reopened") << QPoint(500, 400) << 2;
        QTest::addRow("moved_to_corner_then_reopened_twice") << QPoint(0, 0) << 3;
    }
    void opensAtItsPlace()
    {
        QFETCH(QPoint, movedTo);
        QFETCH(int, openings);

        for (int i = 0; i < openings; ++i) {
            about().Show();
            QCOMPARE(about().window()->pos(), QPoint(147, 67)); // 2200, 1000 twips
            about().window()->move(movedTo);
            about().window()->close();
        }
    }

    void blocksWindowsBehind_data()
    {
        QTest::addColumn<bool>("byOk");

        QTest::addRow("closed_by_ok") << true;
        QTest::addRow("closed_by_close_box") << false;
    }
    void blocksWindowsBehind()
    {
        QFETCH(bool, byOk);

        const ModalRun run = showModallyOverAnother(
            about(), [byOk] { byOk ? about().cmdok_Click() : void(about().window()->close()); });
        QVERIFY(run.modal);
        QCOMPARE(run.whileOpen, Reached {});
        QCOMPARE(run.afterClose, (Reached {QStringLiteral("k"), 1}));
    }
};

QTEST_MAIN(AboutTest)
#include "tst_about.moc"
