// A window closed (by its close box, a window manager or an assistive tool) while its pop-up menu
// is up takes the menu with it, and the program goes on.

#include "runtime/forms.h"

#include <QtTest>

using namespace forms;

namespace {

const FormDef &layout()
{
    static const FormDef definition {
        .name = "frmWaiting",
        .caption = "Waiting",
        .clientWidth = 4500,
        .clientHeight = 3000,
        .menus = {
            {.name = "mnuPop", .caption = "Pop", .visible = false},
            {.name = "mnuOne", .caption = "&One", .parent = "mnuPop"},
        },
    };
    return definition;
}

class frmWaiting : public Form
{
public:
    frmWaiting()
        : Form(layout())
    {
        on("mnuOne_Click", [this] { ++picked; });
    }

    int picked = 0;
};

} // namespace

class ClosedUnder : public QObject
{
    Q_OBJECT

private slots:
    void windowClosedUnderItsMenu();
};

void ClosedUnder::windowClosedUnderItsMenu()
{
    frmWaiting form;
    form.Show();
    QWidget *window = form.window();
    QVERIFY(QTest::qWaitForWindowActive(window));

    // Once the menu is up, the window is closed as a close box would; then whatever menu is left
    // is dismissed.
    bool closed = false;
    QTimer::singleShot(100, window, [&closed, window] {
        closed = window->close();
        QTimer::singleShot(100, [] {
            if (QWidget *popup = QApplication::activePopupWidget())
                popup->close();
        });
    });
    form.PopupMenu("mnuPop");

    QVERIFY(closed);
    QVERIFY(!form.isLoaded());
    QCOMPARE(form.picked, 0);
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

QTEST_MAIN(ClosedUnder)
#include "tst_closedunder.moc"
