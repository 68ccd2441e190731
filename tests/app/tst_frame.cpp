#include "app/frmmdiquorbelalphabet.h"
#include "app/windowclasses.h"

#include "runtime/forms.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QtTest>

using namespace forms;

namespace {

struct EndCalled
{
    int status;
};

QStringList titles(const QList<QAction *> &actions)
{
    QStringList texts;
    for (QAction *action : actions)
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

} // namespace

class MainFrame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void windowClassTable();
    void opensMaximizedWithItsMenus();
    void learnItemsOpenTheirWindowModally_data();
    void learnItemsOpenTheirWindowModally();
    void exitEndsAtOnce();
};

void MainFrame::initTestCase()
{
    installProject(QuorbelAlphabet::project());
}

void MainFrame::cleanup()
{
    releaseInstances();
}

void MainFrame::windowClassTable()
{
    const ProjectDescription &project = QuorbelAlphabet::project();
    QCOMPARE(QString(project.name), QStringLiteral("QuorbelAlphabet"));
    QCOMPARE(QString(project.startupObject), QStringLiteral("frmMDIQuorbelAlphabet"));
    QStringList names;
    for (const WindowClass &entry : project.windowClasses) {
        names << entry.name;
        // Each entry must create its own class, not a neighbour's.
        QCOMPARE(entry.create()->name(), QString(entry.name));
    }
    QCOMPARE(names,
             QStringList({"frmEnglishAlphabet", "frmabout", "frmMDIQuorbelAlphabet", "frmNumber",
                          "frmHindiAlphabet", "frmHelp"}));
}

void MainFrame::opensMaximizedWithItsMenus()
{
    Form &frame = instance("frmMDIQuorbelAlphabet");
    frame.Show();
    auto *window = qobject_cast<QMainWindow *>(frame.window());
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Quorbel Alphabet"));
    QVERIFY(window->windowState() & Qt::WindowMaximized);
    QVERIFY(!window->windowIcon().isNull());
    auto *area = qobject_cast<QMdiArea *>(window->centralWidget());
    QVERIFY(area);
    QCOMPARE(area->background().color(), QGuiApplication::palette().color(QPalette::Dark));
    QVERIFY(area->subWindowList().isEmpty());

    const QList<QAction *> bar = window->menuBar()->actions();
    QCOMPARE(titles(bar), QStringList({"Learn", "Window"}));
    QCOMPARE(titles(bar[0]->menu()->actions()),
             QStringList({"Number", "English Alphabet", "HindiAlphabet"}));
    QCOMPARE(titles(bar[1]->menu()->actions()), QStringList({"Exit"}));
    for (QAction *top : bar) {
        for (QAction *item : top->menu()->actions()) {
            QVERIFY(item->isEnabled() && item->isVisible() && !item->isCheckable());
            QVERIFY(item->shortcut().isEmpty());
        }
    }
}

void MainFrame::learnItemsOpenTheirWindowModally_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("windowClass");
    QTest::addColumn<QString>("title");
    QTest::addRow("number") << 0 << "frmNumber"
                            << "Number";
    QTest::addRow("english") << 1 << "frmEnglishAlphabet"
                             << "English Alphabet";
    QTest::addRow("hindi") << 2 << "frmHindiAlphabet"
                           << "Hindi Alpphabet";
}

void MainFrame::learnItemsOpenTheirWindowModally()
{
    QFETCH(int, item);
    QFETCH(QString, windowClass);
    QFETCH(QString, title);
    Form &frame = instance("frmMDIQuorbelAlphabet");
    frame.Show();
    QAction *learnItem = qobject_cast<QMainWindow *>(frame.window())
                             ->menuBar()
                             ->actions()[0]
                             ->menu()
                             ->actions()[item];
    const QByteArray className = windowClass.toUtf8();

    for (int opening = 0; opening < 2; ++opening) {
        QString seen;
        QTimer::singleShot(0, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            seen = modal ? modal->windowTitle() : QString();
            // While the lesson is open, the frame's menus take no input.
            QVERIFY(!QApplication::activeModalWidget()
                    || QApplication::activeModalWidget() != frame.window());
            if (modal)
                modal->close();
        });
        learnItem->trigger(); // returns once the window has been closed
        QCOMPARE(seen, title);
        QVERIFY(hasInstance(className.constData()));
        QVERIFY(!instance(className.constData()).isLoaded());
    }
}

void MainFrame::exitEndsAtOnce()
{
    const EndHandler previous = setEndHandler([](int status) { throw EndCalled {status}; });
    frmMDIQuorbelAlphabet frame;
    int status = -1;
    try {
        frame.mnuExit_Click();
    } catch (const EndCalled &end) {
        status = end.status;
    }
    setEndHandler(previous);
    QCOMPARE(status, 0);
}

QTEST_MAIN(MainFrame)
#include "tst_frame.moc"
