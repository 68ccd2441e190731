// The program's windows as a screen reader, an input method and the keyboard alone meet them.
// tst_accessibleforms holds the runtime's rules that these windows never reach.

#include "../accessibilitytesting.h"

#include "app/windowclasses.h"
#include "info/infotexts.h"

#include "runtime/forms.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QtTest>

using namespace forms;
using namespace a11ytest;

namespace {

const char *const frame = "frmMDIQuorbelAlphabet";
const char *const english = "frmEnglishAlphabet";

QWidget *control(const char *window, const char *name, int index = -1)
{
    return instance(window).controlWidget(name, index);
}

QLineEdit *answerBox(const char *window)
{
    return qobject_cast<QLineEdit *>(control(window, "txtAnswer"));
}

QMenu *barMenu(const char *window, int index)
{
    auto *main = qobject_cast<QMainWindow *>(instance(window).window());
    return main->menuBar()->actions().at(index)->menu();
}

void showWindow(const char *window)
{
    instance(window).Show();
    QVERIFY(QTest::qWaitForWindowActive(instance(window).window()));
}

} // namespace

class Accessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void namesAndRoles_data();
    void namesAndRoles();
    void cardChange_data();
    void cardChange();
    void menus_data();
    void menus();

private:
    void closeModalWhenUp(QString &title);

    std::vector<QString> m_errors;
    QObject m_steps; // the steps still waiting; a failed test leaves none behind
};

void Accessibility::initTestCase()
{
    setErrorReporter(
        [this](const RuntimeError &error) { m_errors.push_back(error.description()); });
    setEndHandler([](int) { qFatal("the program ended"); });
    App::setPath(QFileInfo(QStringLiteral(QUORBEL_SOURCE_IMAGES)).path());
    installProject(QuorbelAlphabet::project());
}

void Accessibility::cleanup()
{
    qDeleteAll(m_steps.children());
    if (QWidget *menu = QApplication::activePopupWidget())
        menu->close();
    installProject(QuorbelAlphabet::project()); // fresh instances for the next test
    if (!QTest::currentTestFailed() && !m_errors.empty())
        QFAIL(qPrintable(m_errors.front()));
    m_errors.clear();
}

// Once a modal window is up, notes its title and closes it: About by Alt+O, its OK's access key.
void Accessibility::closeModalWhenUp(QString &title)
{
    when(
        &m_steps, [] { return QApplication::activeModalWidget() != nullptr; },
        [&title] {
            QWidget *modal = QApplication::activeModalWidget();
            title = modal->windowTitle();
            if (title == QStringLiteral("About"))
                QTest::keyClick(modal->windowHandle(), Qt::Key_O, Qt::AltModifier);
            else
                modal->close();
        });
}

void Accessibility::namesAndRoles_data()
{
    QTest::addColumn<QByteArray>("window");
    QTest::addColumn<QByteArray>("control"); // empty: the window; "menuN": its Nth menu
    QTest::addColumn<int>("index"); // in a control array, or a menu's item
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    const auto row = [](const char *window, const char *control, int index, QAccessible::Role role,
                        const QString &name) {
        QTest::addRow("%s_%s%s", window, *control ? control : "window",
                      index >= 0 ? qPrintable(QString::number(index)) : "")
            << QByteArray(window) << QByteArray(control) << index << int(role) << name;
    };
    row(frame, "", -1, QAccessible::Window, "Quorbel Alphabet");
    row(frame, "menu0", -1, QAccessible::PopupMenu, "Learn");
    row(frame, "menu0", 0, QAccessible::MenuItem, "Number");
    row(frame, "menu0", 1, QAccessible::MenuItem, "English Alphabet");
    row(frame, "menu0", 2, QAccessible::MenuItem, "Hindi Alphabet");
    row(frame, "menu1", -1, QAccessible::PopupMenu, "Window");
    row(frame, "menu1", 0, QAccessible::MenuItem, "Exit");
    row(english, "", -1, QAccessible::Window, "English Alphabet");
    row(english, "Frame1", -1, QAccessible::Grouping, "Letter card");
    row(english, "cmdMoveFirst", -1, QAccessible::Button, "First card");
    row(english, "cmdMovePrevious", -1, QAccessible::Button, "Previous card");
    row(english, "cmdMoveNext", -1, QAccessible::Button, "Next card");
    row(english, "cmdMoveLast", -1, QAccessible::Button, "Last card");
    row(english, "txtAnswer", -1, QAccessible::EditableText, "Type a letter");
    row(english, "Image1", -1, QAccessible::Graphic, "Picture: APPLE");
    row(english, "lblNum1", -1, QAccessible::StaticText, "A");
    row(english, "lblNum2", -1, QAccessible::StaticText, "APPLE");
    row("frmNumber", "", -1, QAccessible::Window, "Number");
    row("frmNumber", "Frame1", -1, QAccessible::Grouping, "Number card");
    row("frmNumber", "txtAnswer", -1, QAccessible::EditableText, "Type a digit");
    row("frmNumber", "lblNum1", -1, QAccessible::StaticText, "1");
    row("frmNumber", "lblNum2", -1, QAccessible::StaticText, "ONE");
    // The title bar keeps its spelling; a screen reader hears the window's real name.
    row("frmHindiAlphabet", "", -1, QAccessible::Window, "Hindi Alphabet");
    row("frmabout", "", -1, QAccessible::Window, "About Quorbel Alphabet");
    row("frmabout", "Frame1", -1, QAccessible::Grouping, "Close");
    row("frmabout", "cmdok", -1, QAccessible::Button, "OK");
    row("frmabout", "Label1", 0, QAccessible::Heading, "Learn Alphabets and Number by Yourself");
    row("frmabout", "Label3", 0, QAccessible::StaticText, info::ContactLine);
    row("frmabout", "Label4", 1, QAccessible::StaticText, info::CopyrightLine);
    row("frmabout", "Label5", 1, QAccessible::StaticText, info::RightsNotice);
    row("frmabout", "Label6", 1, QAccessible::StaticText, info::Dedication);
    row("frmHelp", "", -1, QAccessible::Window, "Help Content");
    row("frmHelp", "Label2", -1, QAccessible::Heading, "Learn Alphabets and Number by Yourself.");
    row("frmHelp", "Label1", -1, QAccessible::StaticText, info::Dedication);
    row("frmHelp", "Image1", -1, QAccessible::Graphic, "Picture: how to use the English lesson");
}

void Accessibility::namesAndRoles()
{
    QFETCH(QByteArray, window);
    QFETCH(QByteArray, control);
    QFETCH(int, index);
    QFETCH(int, role);
    QFETCH(QString, name);
    instance(window.constData()).Load();
    QAccessibleInterface *iface = nullptr;
    if (control.startsWith("menu")) {
        iface = accessible(barMenu(window.constData(), control.mid(4).toInt()));
        iface = index < 0 ? iface : iface->child(index);
    } else {
        iface = accessible(control.isEmpty()
                               ? instance(window.constData()).window()
                               : ::control(window.constData(), control.constData(), index));
    }
    QVERIFY(iface);
    QCOMPARE(int(iface->role()), role);
    QCOMPARE(iface->text(QAccessible::Name), name);
    // The Help picture tells what it shows.
    if (window == "frmHelp" && control == "Image1")
        QVERIFY(iface->text(QAccessible::Description).contains(QStringLiteral("answer box")));
}

void Accessibility::cardChange_data()
{
    QTest::addColumn<QByteArray>("window");
    QTest::addColumn<QString>("step"); // Next card's "click" or "press", or input-method text
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("box");
    const auto row = [](const char *name, const char *window, const QString &step, const char *word,
                        const char *box) {
        QTest::newRow(name) << QByteArray(window) << step << QString(word) << QString(box);
    };
    row("next_card_clicked", english, "click", "BOY", "B");
    // A screen reader's press answers before the Click runs, and the Click runs once.
    row("next_card_pressed", english, "press", "BOY", "B");
    row("committed_k", english, "k", "KITE", "k");
    row("preedit_does_nothing", english, "preedit:k", "APPLE", "");
    row("committed_keys_in_order", english, "kb", "BOY", "kb");
    // The lesson empties the box before each key goes in, as it does for typed keys.
    row("number_committed_keys_in_order", "frmNumber", "57", "SEVEN", "7");
}

// A card shown through a button or an input method; the picture's name follows it.
void Accessibility::cardChange()
{
    QFETCH(QByteArray, window);
    QFETCH(QString, step);
    QFETCH(QString, word);
    QFETCH(QString, box);
    const char *w = window.constData();
    showWindow(w);
    answerBox(w)->setFocus();
    if (step == QStringLiteral("click")) {
        QTest::mouseClick(control(w, "cmdMoveNext"), Qt::LeftButton);
    } else if (step == QStringLiteral("press")) {
        QVERIFY(pressChild(control(w, "cmdMoveNext")->parentWidget(), "Next card"));
        QCOMPARE(nameOf(control(w, "lblNum2")), QStringLiteral("APPLE"));
        QTRY_COMPARE(nameOf(control(w, "lblNum2")), word);
        QTest::qWait(150); // time for a second Click
    } else if (step.startsWith(QStringLiteral("preedit:"))) {
        sendInputMethod(answerBox(w), step.mid(8), QString());
    } else {
        sendInputMethod(answerBox(w), QString(), step);
    }
    QCOMPARE(nameOf(control(w, "lblNum2")), word);
    QCOMPARE(answerBox(w)->text(), box);
    if (window == english)
        QCOMPARE(nameOf(control(w, "Image1")), "Picture: " + word);
}

void Accessibility::menus_data()
{
    QTest::addColumn<QByteArray>("window");
    QTest::addColumn<QByteArray>("focus"); // empty: the window
    QTest::addColumn<QString>("send"); // keys, or the context-menu event of a "click" or a "key"
    QTest::addColumn<QString>("menu"); // the menu that opens: its name, then its items
    QTest::addColumn<QString>("pick"); // keys in that menu, or a screen reader's "press" of an item
    QTest::addColumn<QString>("opened"); // the modal window that opens
    const auto row = [](const char *name, const char *window, const char *focus, const char *send,
                        const char *menu, const char *pick, const char *opened) {
        QTest::newRow(name) << QByteArray(window) << QByteArray(focus) << QString(send)
                            << QString(menu) << QString(pick) << QString(opened);
    };
    const char *lessonMenu = "Help and About &Help - &About";
    row("frame_f10_opens_learn", frame, "", "F10", "Learn Number", "Down, Down, Return",
        "English Alphabet");
    // A screen reader's press answers before the modal lesson runs.
    row("frame_learn_item_pressed", frame, "", "press English Alphabet", "", "",
        "English Alphabet");
    row("frame_shift_f10_opens_nothing", frame, "", "Shift+F10", "", "", "");
    row("lesson_f10_opens_no_hidden_menu", english, "txtAnswer", "F10", "", "", "");
    row("lesson_menu_key_in_answer_box", english, "txtAnswer", "Menu", lessonMenu, "H",
        "Help Content");
    row("lesson_shift_f10_in_answer_box", english, "txtAnswer", "Shift+F10", lessonMenu, "A",
        "About");
    row("lesson_menu_key_on_button", english, "cmdMoveNext", "Menu", lessonMenu, "press About",
        "About");
    row("lesson_ctrl_f10_opens_nothing", english, "txtAnswer", "Ctrl+F10", "", "", "");
    row("lesson_right_click_keeps_edit_menu", english, "txtAnswer", "click", "Undo", "", "");
    // The Menu key's press opens the lesson's menu; the context-menu event it also brings does not.
    row("lesson_menu_key_event_opens_nothing", english, "txtAnswer", "key", "", "", "");
    row("number_menu_key_event_keeps_edit_menu", "frmNumber", "txtAnswer", "key", "Undo", "", "");
}

// F10 opens the first shown menu as Alt does; the Menu key and Shift+F10 open the lesson's menu
// from any control; a right click on the answer box keeps its own menu. The keys type nothing.
void Accessibility::menus()
{
    QFETCH(QByteArray, window);
    QFETCH(QByteArray, focus);
    QFETCH(QString, send);
    QFETCH(QString, menu);
    QFETCH(QString, pick);
    QFETCH(QString, opened);
    const char *w = window.constData();
    showWindow(w);
    QWidget *target = focus.isEmpty() ? instance(w).window() : control(w, focus.constData());
    target->setFocus();
    QString seen, title;
    closeModalWhenUp(title);
    when(
        &m_steps, [] { return popup() != nullptr; },
        [&] {
            seen = nameOf(popup()); // then the item captions, "-" for a line
            for (QAction *item : popup()->actions())
                seen += u' ' + (item->isSeparator() ? QStringLiteral("-") : item->text());
            const bool press = pick.startsWith(QStringLiteral("press "));
            if (pick.isEmpty() || (press && !pressChild(popup(), pick.mid(6))))
                popup()->close();
            const QKeySequence keys(press ? QString() : pick);
            for (int i = 0; i < keys.count(); ++i)
                QTest::keyClick(popup()->windowHandle(), keys[i].key());
        });
    if (send == QStringLiteral("click") || send == QStringLiteral("key")) {
        const QPoint at = target->rect().center();
        QContextMenuEvent event(send == "click" ? QContextMenuEvent::Mouse
                                                : QContextMenuEvent::Keyboard,
                                at, target->mapToGlobal(at));
        QApplication::sendEvent(target, &event);
    } else if (send.startsWith(QStringLiteral("press "))) {
        QVERIFY(pressChild(barMenu(w, 0), send.mid(6)));
        QCOMPARE(title, QString()); // answered before the lesson runs
    } else {
        const QKeyCombination key = QKeySequence(send)[0];
        QTest::keyClick(instance(w).window()->windowHandle(), key.key(), key.keyboardModifiers());
    }
    QTRY_COMPARE(seen.isEmpty(), menu.isEmpty());
    QVERIFY2(seen.contains(menu), qPrintable(seen));
    QTRY_COMPARE(title, opened);
    QVERIFY(!popup());
    if (!focus.isEmpty())
        QCOMPARE(answerBox(w)->text(), QString());
}

QTEST_MAIN(Accessibility)
#include "tst_accessibility.moc"
