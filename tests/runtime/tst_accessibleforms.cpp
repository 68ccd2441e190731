// What the runtime tells assistive tools and input methods, on a probe window of its own.

#include "runtime/forms.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include <stdexcept>

using namespace forms;

namespace {

FormDef probeLayout(const char *keyboardMenu, bool barShown)
{
    return {
        .name = "frmProbe",
        .caption = "Probe",
        .clientLeft = 150,
        .clientTop = 300,
        .clientWidth = 6000,
        .clientHeight = 4500,
        .accessibleName = "Probe window",
        .accessibleDescription = "A window to probe",
        .keyboardMenu = keyboardMenu,
        .menus = {
            {.name = "mnuBar", .caption = "&Bar", .visible = barShown},
            {.name = "mnuGo", .caption = "&Go", .parent = "mnuBar", .accessibleName = "Go on"},
            {.name = "mnuPop", .caption = "&Pop", .visible = false},
            {.name = "mnuOne", .caption = "&One", .parent = "mnuPop"},
            {.name = "mnuLine", .caption = "-", .parent = "mnuPop"},
            {.name = "mnuTwo", .caption = "&Two", .parent = "mnuPop"},
        },
        .controls = {
            {.name = "Frame1", .kind = ControlKind::Frame, .width = 5000, .height = 4000,
             .tabIndex = 3, .toolTip = "frame tip", .accessibleName = "Box"},
            {.name = "txtIn", .kind = ControlKind::TextBox, .container = "Frame1", .left = 150,
             .top = 150, .width = 2000, .height = 600, .tabIndex = 0, .caption = "x",
             .accessibleName = "Type here"},
            {.name = "cmdA", .kind = ControlKind::CommandButton, .container = "Frame1",
             .left = 150, .top = 900, .width = 900, .height = 375, .tabIndex = 1, .caption = "&A",
             .accessibleName = "Press A"},
            {.name = "cmdB", .kind = ControlKind::CommandButton, .container = "Frame1",
             .left = 1200, .top = 900, .width = 900, .height = 375, .tabIndex = 2,
             .caption = "B&&&C"},
            {.name = "lblWord", .kind = ControlKind::Label, .container = "Frame1", .left = 150,
             .top = 1500, .width = 1500, .height = 300, .caption = "APPLE"},
            {.name = "lblFixed", .kind = ControlKind::Label, .container = "Frame1", .left = 150,
             .top = 1800, .width = 1500, .height = 300, .caption = "ticking",
             .accessibleName = "Steady"},
            {.name = "lblTitle", .kind = ControlKind::Label, .container = "Frame1", .left = 150,
             .top = 2100, .width = 1500, .height = 300, .caption = "&Title",
             .accessibleRole = AccessibleRole::Heading},
            {.name = "Image1", .kind = ControlKind::Image, .container = "Frame1", .left = 2400,
             .top = 1500, .width = 900, .height = 900, .accessibleName = "Picture: %1",
             .accessibleDescription = "what it shows", .accessibleNameFrom = "lblWord"},
        },
    };
}

class frmProbe : public Form
{
public:
    explicit frmProbe(const FormDef &definition)
        : Form(definition)
    {
        on("txtIn_KeyPress", [this](Integer &KeyAscii) {
            keys.push_back(KeyAscii);
            if (unloadOnKey) {
                Unload();
                return;
            }
            boxesSeen.push_back(txtIn.text());
            if (KeyAscii == 'z')
                KeyAscii = 0;
            else if (KeyAscii == 'u')
                KeyAscii = 'U';
        });
        on("cmdA_Click", [this] { ++clicks; });
        on("mnuGo_Click", [this] { ++goes; });
        on("mnuOne_Click", [this] { ++ones; });
    }

    bool unloadOnKey = false;
    std::vector<int> keys;
    QStringList boxesSeen;
    int clicks = 0;
    int goes = 0;
    int ones = 0;
    Label lblWord {this, "lblWord"};
    Label lblFixed {this, "lblFixed"};
    TextBox txtIn {this, "txtIn"};
};

QAccessibleInterface *accessible(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object);
}

} // namespace

class AccessibleForms : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void namesAndRoles_data();
    void namesAndRoles();
    void nameTemplateFollowsCaption();
    void nameTemplateNeedsALabel();
    void inputMethodCommit_data();
    void inputMethodCommit();
    void inputMethodCommitMayCloseTheWindow();
    void accessibleActionReturnsBeforeClick_data();
    void accessibleActionReturnsBeforeClick();
    void keyboardMenu_data();
    void keyboardMenu();
    void keyboardContextMenu_data();
    void keyboardContextMenu();
    void f10OpensTheFirstShownMenu_data();
    void f10OpensTheFirstShownMenu();

private:
    void showProbe(const char *keyboardMenu = "mnuPop", bool barShown = true);
    QWidget *control(const char *name) { return m_probe->controlWidget(name); }
    QLineEdit *box() { return qobject_cast<QLineEdit *>(control("txtIn")); }
    QAction *barItem(int menu, int item);

    std::unique_ptr<FormDef> m_layout;
    std::unique_ptr<frmProbe> m_probe;
};

void AccessibleForms::init()
{
    showProbe();
}

void AccessibleForms::cleanup()
{
    m_probe.reset();
    m_layout.reset();
}

void AccessibleForms::showProbe(const char *keyboardMenu, bool barShown)
{
    m_probe.reset();
    m_layout = std::make_unique<FormDef>(probeLayout(keyboardMenu, barShown));
    m_probe = std::make_unique<frmProbe>(*m_layout);
    m_probe->Show();
    QVERIFY(QTest::qWaitForWindowActive(m_probe->window()));
}

QAction *AccessibleForms::barItem(int menu, int item)
{
    QMenuBar *bar = qobject_cast<QMainWindow *>(m_probe->window())->menuBar();
    return bar->actions().at(menu)->menu()->actions().at(item);
}

void AccessibleForms::namesAndRoles_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::addRow("window") << "" << int(QAccessible::Window) << "Probe window"
                            << "A window to probe";
    QTest::addRow("frame_grouping") << "Frame1" << int(QAccessible::Grouping) << "Box"
                                    << "frame tip";
    QTest::addRow("text_box") << "txtIn" << int(QAccessible::EditableText) << "Type here"
                              << "";
    QTest::addRow("button_named") << "cmdA" << int(QAccessible::Button) << "Press A"
                                  << "";
    QTest::addRow("button_by_caption") << "cmdB" << int(QAccessible::Button) << "B&C"
                                       << "";
    QTest::addRow("label_by_caption") << "lblWord" << int(QAccessible::StaticText) << "APPLE"
                                      << "";
    QTest::addRow("label_named") << "lblFixed" << int(QAccessible::StaticText) << "Steady"
                                 << "";
    QTest::addRow("heading") << "lblTitle" << int(QAccessible::Heading) << "Title"
                             << "";
    QTest::addRow("blank_picture_graphic")
        << "Image1" << int(QAccessible::Graphic) << "Picture: APPLE"
        << "what it shows";
}

void AccessibleForms::namesAndRoles()
{
    QFETCH(QString, control);
    QFETCH(int, role);
    QFETCH(QString, name);
    QFETCH(QString, description);
    QWidget *widget = control.isEmpty() ? m_probe->window() : this->control(qPrintable(control));
    QAccessibleInterface *iface = accessible(widget);
    QVERIFY(iface);
    QCOMPARE(int(iface->role()), role);
    QCOMPARE(iface->text(QAccessible::Name), name);
    QCOMPARE(iface->text(QAccessible::Description), description);
}

void AccessibleForms::nameTemplateFollowsCaption()
{
    m_probe->lblWord.setCaption(QStringLiteral("B&&OY"));
    QCOMPARE(accessible(control("Image1"))->text(QAccessible::Name),
             QStringLiteral("Picture: B&OY"));
    QCOMPARE(accessible(control("lblWord"))->text(QAccessible::Name), QStringLiteral("B&OY"));
    // A label with a name of its own keeps it when its caption changes.
    m_probe->lblFixed.setCaption(QStringLiteral("tick"));
    QCOMPARE(accessible(control("lblFixed"))->text(QAccessible::Name), QStringLiteral("Steady"));
    // Loaded again, the name starts from the layout's caption.
    m_probe->Unload();
    m_probe->Show();
    QCOMPARE(accessible(control("Image1"))->text(QAccessible::Name),
             QStringLiteral("Picture: APPLE"));
}

void AccessibleForms::nameTemplateNeedsALabel()
{
    FormDef wrong = probeLayout(nullptr, true);
    wrong.controls.back().accessibleNameFrom = "cmdA";
    frmProbe probe(wrong);
    QVERIFY_THROWS_EXCEPTION(std::logic_error, probe.Load());
    FormDef noMenu = probeLayout("mnuNothing", true);
    frmProbe other(noMenu);
    QVERIFY_THROWS_EXCEPTION(std::logic_error, other.Load());
}

void AccessibleForms::inputMethodCommit_data()
{
    QTest::addColumn<QString>("preedit");
    QTest::addColumn<QString>("commit");
    QTest::addColumn<int>("replaceFrom");
    QTest::addColumn<int>("replaceLength");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("boxAfter");
    QTest::addRow("one_letter") << ""
                                << "k" << 0 << 0 << QList<int> {'k'} << "xk";
    QTest::addRow("several_in_order") << ""
                                      << "abc" << 0 << 0 << QList<int> {'a', 'b', 'c'} << "xabc";
    QTest::addRow("discarded") << ""
                               << "z" << 0 << 0 << QList<int> {'z'} << "x";
    QTest::addRow("changed") << ""
                             << "u" << 0 << 0 << QList<int> {'u'} << "xU";
    QTest::addRow("mixed") << ""
                           << "zuk" << 0 << 0 << QList<int> {'z', 'u', 'k'} << "xUk";
    QTest::addRow("latin1") << ""
                            << "\u00e9" << 0 << 0 << QList<int> {0xe9} << "x\u00e9";
    QTest::addRow("beyond_latin1") << ""
                                   << "\u20ac" << 0 << 0 << QList<int> {'?'} << "x\u20ac";
    QTest::addRow("beyond_the_bmp_is_one_key")
        << "" << QString::fromUcs4(U"\U0001F34E") << 0 << 0 << QList<int> {'?'}
        << QString::fromUcs4(U"x\U0001F34E");
    QTest::addRow("preedit_only") << "k"
                                  << "" << 0 << 0 << QList<int> {} << "x";
    QTest::addRow("commit_then_preedit") << "b"
                                         << "a" << 0 << 0 << QList<int> {'a'} << "xa";
    QTest::addRow("replacing") << ""
                               << "k" << -1 << 1 << QList<int> {'k'} << "k";
}

void AccessibleForms::inputMethodCommit()
{
    QFETCH(QString, preedit);
    QFETCH(QString, commit);
    QFETCH(int, replaceFrom);
    QFETCH(int, replaceLength);
    QFETCH(QList<int>, keys);
    QFETCH(QString, boxAfter);
    box()->setFocus();
    QInputMethodEvent event(preedit, {});
    event.setCommitString(commit, replaceFrom, replaceLength);
    QApplication::sendEvent(box(), &event);
    QCOMPARE(QList<int>(m_probe->keys.begin(), m_probe->keys.end()), keys);
    QCOMPARE(box()->text(), boxAfter);
    // Each key's handler sees the box as the keys before it left it.
    if (commit == QStringLiteral("zuk"))
        QCOMPARE(m_probe->boxesSeen, QStringList({"x", "x", "xU"}));
    QCOMPARE(box()->inputMethodQuery(Qt::ImCursorPosition).toInt(),
             int(boxAfter.size())); // the caret after the last character
}

void AccessibleForms::inputMethodCommitMayCloseTheWindow()
{
    m_probe->unloadOnKey = true;
    QInputMethodEvent event(QString(), {});
    event.setCommitString(QStringLiteral("ab"));
    QApplication::sendEvent(box(), &event);
    QVERIFY(!m_probe->isLoaded());
    QCOMPARE(m_probe->keys, std::vector<int> {'a'}); // no key after the window went
}

void AccessibleForms::accessibleActionReturnsBeforeClick_data()
{
    QTest::addColumn<bool>("menuItem");
    QTest::addRow("menu_item") << true;
    QTest::addRow("button") << false;
}

// A screen reader's press answers at once; the Click runs afterwards, from the event loop.
void AccessibleForms::accessibleActionReturnsBeforeClick()
{
    QFETCH(bool, menuItem);
    QObject *target = menuItem ? static_cast<QObject *>(barItem(0, 0)) : control("cmdA");
    int &count = menuItem ? m_probe->goes : m_probe->clicks;
    QAccessibleInterface *iface = accessible(target);
    QVERIFY(iface);
    QCOMPARE(iface->text(QAccessible::Name), menuItem ? QStringLiteral("Go on") : "Press A");
    QCOMPARE(int(iface->role()), int(menuItem ? QAccessible::MenuItem : QAccessible::Button));
    QAccessibleActionInterface *action = iface->actionInterface();
    QVERIFY(action);
    QVERIFY(action->actionNames().contains(QAccessibleActionInterface::pressAction()));
    action->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(count, 0);
    QTRY_COMPARE(count, 1);
    QTest::qWait(150);
    QCOMPARE(count, 1); // once
}

void AccessibleForms::keyboardMenu_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("opens");
    QTest::addRow("menu_key_in_text_box") << "txtIn" << int(Qt::Key_Menu) << 0 << true;
    QTest::addRow("shift_f10_in_text_box")
        << "txtIn" << int(Qt::Key_F10) << int(Qt::ShiftModifier) << true;
    QTest::addRow("menu_key_on_button") << "cmdB" << int(Qt::Key_Menu) << 0 << true;
    QTest::addRow("shift_f10_on_button")
        << "cmdA" << int(Qt::Key_F10) << int(Qt::ShiftModifier) << true;
    QTest::addRow("ctrl_f10_opens_nothing")
        << "txtIn" << int(Qt::Key_F10) << int(Qt::ControlModifier) << false;
}

void AccessibleForms::keyboardMenu()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, opens);
    control(qPrintable(focus))->setFocus();
    QStringList items;
    QString menuName;
    bool popupSeen = false;
    QTimer watch; // until the menu is up, or for a while when none comes
    int waited = 0;
    watch.callOnTimeout(this, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu) {
            if (++waited > 10)
                watch.stop();
            return;
        }
        watch.stop();
        popupSeen = true;
        menuName = accessible(menu)->text(QAccessible::Name);
        for (QAction *action : menu->actions())
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        // Picked through its accessible press, the item closes the menu and runs its Click.
        QAccessibleInterface *one = accessible(menu)->child(0);
        QCOMPARE(one->text(QAccessible::Name), QStringLiteral("One"));
        one->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    });
    watch.start(5);
    QTest::keyClick(m_probe->window()->windowHandle(), Qt::Key(key),
                    Qt::KeyboardModifiers(modifiers));
    if (!opens) {
        QTRY_VERIFY(!watch.isActive());
        QVERIFY(!popupSeen);
        QCOMPARE(m_probe->ones, 0);
        return;
    }
    QVERIFY(popupSeen);
    QCOMPARE(items, QStringList({"&One", "-", "&Two"}));
    QCOMPARE(menuName, QStringLiteral("Pop"));
    QCOMPARE(m_probe->ones, 1);
    QVERIFY(!QApplication::activePopupWidget());
    QCOMPARE(box()->text(), QStringLiteral("x")); // the key typed nothing
    QVERIFY(m_probe->keys.empty());
}

void AccessibleForms::keyboardContextMenu_data()
{
    QTest::addColumn<bool>("keyboardMenu");
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("editMenu");
    QTest::addRow("menu_key_with_keyboard_menu")
        << true << int(QContextMenuEvent::Keyboard) << false;
    QTest::addRow("right_click_with_keyboard_menu")
        << true << int(QContextMenuEvent::Mouse) << true;
    QTest::addRow("menu_key_without_keyboard_menu")
        << false << int(QContextMenuEvent::Keyboard) << true;
}

// The Menu key's context-menu event is left to the key itself; a right click keeps the box's menu.
void AccessibleForms::keyboardContextMenu()
{
    QFETCH(bool, keyboardMenu);
    QFETCH(int, reason);
    QFETCH(bool, editMenu);
    showProbe(keyboardMenu ? "mnuPop" : nullptr);
    box()->setFocus();
    bool popupSeen = false;
    QTimer::singleShot(0, this, [&] {
        QWidget *popup = QApplication::activePopupWidget();
        popupSeen = popup != nullptr;
        if (popup)
            popup->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Reason(reason), QPoint(5, 5),
                            box()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(box(), &event);
    QTest::qWait(20);
    QCOMPARE(popupSeen, editMenu);
}

void AccessibleForms::f10OpensTheFirstShownMenu_data()
{
    QTest::addColumn<bool>("barShown");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("opens");
    QTest::addRow("f10_opens_bar") << true << 0 << true;
    QTest::addRow("shift_f10_does_not") << true << int(Qt::ShiftModifier) << false;
    QTest::addRow("hidden_bar_stays_shut") << false << 0 << false;
}

void AccessibleForms::f10OpensTheFirstShownMenu()
{
    QFETCH(bool, barShown);
    QFETCH(int, modifiers);
    QFETCH(bool, opens);
    showProbe(nullptr, barShown);
    QMenuBar *bar = qobject_cast<QMainWindow *>(m_probe->window())->menuBar();
    box()->setFocus();
    QTest::keyClick(m_probe->window()->windowHandle(), Qt::Key_F10,
                    Qt::KeyboardModifiers(modifiers));
    QCOMPARE(bar->activeAction() != nullptr, opens);
    QCOMPARE(QApplication::activePopupWidget() != nullptr, opens);
    if (!opens)
        return;
    QCOMPARE(bar->activeAction(), bar->actions().constFirst());
    // The keys now work the open menu: Down and Enter pick its item.
    QWidget *popup = QApplication::activePopupWidget();
    QTest::keyClick(popup->windowHandle(), Qt::Key_Down);
    QTest::keyClick(popup->windowHandle(), Qt::Key_Return);
    QCOMPARE(m_probe->goes, 1);
    QCOMPARE(box()->text(), QStringLiteral("x"));
}

QTEST_MAIN(AccessibleForms)
#include "tst_accessibleforms.moc"
