// The program's windows as a screen reader, an input method and the keyboard alone meet them.

#include "app/windowclasses.h"
#include "info/infotexts.h"

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

#include <functional>

using namespace forms;

namespace {

QAccessibleInterface *accessible(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object);
}

QMenu *popup()
{
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}

QString modalTitle()
{
    QWidget *modal = QApplication::activeModalWidget();
    return modal ? modal->windowTitle() : QString();
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
    void frameMenuItems();
    void cardChangeRenamesPicture_data();
    void cardChangeRenamesPicture();
    void inputMethod_data();
    void inputMethod();
    void learnItemAnswersBeforeLessonRuns();
    void f10ThenArrowsOpenALesson();
    void lessonMenuFromTheKeyboard_data();
    void lessonMenuFromTheKeyboard();
    void rightClickOnAnswerBoxKeepsEditMenu();

private:
    QWidget *control(const char *window, const char *name, int index = -1)
    {
        return instance(window).controlWidget(name, index);
    }
    QString caption(const char *window, const char *label)
    {
        return qobject_cast<QLabel *>(control(window, label))->text();
    }
    QLineEdit *answerBox(const char *window)
    {
        return qobject_cast<QLineEdit *>(control(window, "txtAnswer"));
    }
    void showLesson(const char *window);
    void when(const std::function<bool()> &ready, const std::function<void()> &step);

    std::vector<QString> m_errors;
    QObject m_steps; // the steps still waiting; a failed test leaves none behind
};

void Accessibility::initTestCase()
{
    setErrorReporter(
        [this](const RuntimeError &error) { m_errors.push_back(error.description()); });
    setEndHandler([](int) { qFatal("the program ended"); });
    App::setPath(QFileInfo(QStringLiteral(QUORBEL_SOURCE_IMAGES)).path());
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

// Runs a step once the condition holds, polling the event loop that a modal window or a menu runs.
void Accessibility::when(const std::function<bool()> &ready, const std::function<void()> &step)
{
    auto *timer = new QTimer(&m_steps);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, ready, step, tries = 0]() mutable {
        if (!ready() && ++tries < 400)
            return;
        timer->stop();
        timer->deleteLater();
        step();
    });
    timer->start();
}

void Accessibility::showLesson(const char *window)
{
    instance(window).Show();
    QVERIFY(QTest::qWaitForWindowActive(instance(window).window()));
}

void Accessibility::namesAndRoles_data()
{
    installProject(QuorbelAlphabet::project());
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control"); // empty: the window itself
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    const auto row = [](const char *window, const char *control, int index, QAccessible::Role role,
                        const QString &name) {
        QTest::addRow("%s_%s%s", window, *control ? control : "window",
                      index >= 0 ? qPrintable(QString::number(index)) : "")
            << QString(window) << QString(control) << index << int(role) << name;
    };
    const char *english = "frmEnglishAlphabet";
    row("frmMDIQuorbelAlphabet", "", -1, QAccessible::Window, "Quorbel Alphabet");
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
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(int, index);
    QFETCH(int, role);
    QFETCH(QString, name);
    const QByteArray windowClass = window.toUtf8(), controlName = control.toUtf8();
    Form &form = instance(windowClass.constData());
    form.Load();
    QWidget *widget
        = control.isEmpty() ? form.window() : form.controlWidget(controlName.constData(), index);
    QVERIFY(widget);
    QAccessibleInterface *iface = accessible(widget);
    QVERIFY(iface);
    QCOMPARE(int(iface->role()), role);
    QCOMPARE(iface->text(QAccessible::Name), name);
    // The Help picture tells what it shows.
    if (window == "frmHelp" && control == "Image1")
        QVERIFY(iface->text(QAccessible::Description).contains(QStringLiteral("answer box")));
}

void Accessibility::frameMenuItems()
{
    Form &frame = instance("frmMDIQuorbelAlphabet");
    frame.Load();
    QMenuBar *bar = qobject_cast<QMainWindow *>(frame.window())->menuBar();
    QStringList seen;
    for (QAction *top : bar->actions()) {
        QAccessibleInterface *menu = accessible(top->menu());
        seen << menu->text(QAccessible::Name) + ":";
        for (int i = 0; i < menu->childCount(); ++i) {
            QAccessibleInterface *item = menu->child(i);
            QCOMPARE(int(item->role()), int(QAccessible::MenuItem));
            seen << item->text(QAccessible::Name);
        }
    }
    QCOMPARE(
        seen,
        QStringList({"Learn:", "Number", "English Alphabet", "Hindi Alphabet", "Window:", "Exit"}));
}

void Accessibility::cardChangeRenamesPicture_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("name");
    QTest::addRow("next_button") << "cmdMoveNext"
                                 << "Picture: BOY";
    QTest::addRow("last_button") << "cmdMoveLast"
                                 << "Picture: ZEBRA";
    QTest::addRow("typed_k") << "k"
                             << "Picture: KITE";
    QTest::addRow("typed_digit_keeps_card") << "5"
                                            << "Picture: APPLE";
}

void Accessibility::cardChangeRenamesPicture()
{
    QFETCH(QString, step);
    QFETCH(QString, name);
    const char *english = "frmEnglishAlphabet";
    showLesson(english);
    if (step.startsWith(QStringLiteral("cmd"))) {
        QTest::mouseClick(control(english, qPrintable(step)), Qt::LeftButton);
    } else {
        answerBox(english)->setFocus();
        QTest::keyClick(instance(english).window()->windowHandle(), step.at(0).toLatin1());
    }
    QCOMPARE(accessible(control(english, "Image1"))->text(QAccessible::Name), name);
    QCOMPARE(accessible(control(english, "lblNum2"))->text(QAccessible::Name),
             name.mid(int(qstrlen("Picture: "))));
}

void Accessibility::inputMethod_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("preedit");
    QTest::addColumn<QString>("commit");
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("box");
    const QString english = "frmEnglishAlphabet", number = "frmNumber";
    QTest::addRow("english_k_shows_KITE") << english << ""
                                          << "k"
                                          << "K"
                                          << "KITE"
                                          << "k";
    QTest::addRow("english_preedit_does_nothing") << english << "k"
                                                  << ""
                                                  << "A"
                                                  << "APPLE"
                                                  << "";
    QTest::addRow("english_keys_in_order") << english << ""
                                           << "kb"
                                           << "B"
                                           << "BOY"
                                           << "kb";
    QTest::addRow("english_accented_keeps_card") << english << ""
                                                 << "\u00e9"
                                                 << "A"
                                                 << "APPLE"
                                                 << "\u00e9";
    QTest::addRow("number_7_shows_SEVEN") << number << ""
                                          << "7"
                                          << "7"
                                          << "SEVEN"
                                          << "7";
    QTest::addRow("number_0_shows_TEN") << number << ""
                                        << "0"
                                        << "10"
                                        << "TEN"
                                        << "0";
    // The lesson empties the box before each key goes in, as it does for typed keys.
    QTest::addRow("number_keys_in_order") << number << ""
                                          << "57"
                                          << "7"
                                          << "SEVEN"
                                          << "7";
    QTest::addRow("number_preedit_does_nothing") << number << "3"
                                                 << ""
                                                 << "1"
                                                 << "ONE"
                                                 << "";
}

void Accessibility::inputMethod()
{
    QFETCH(QString, window);
    QFETCH(QString, preedit);
    QFETCH(QString, commit);
    QFETCH(QString, letter);
    QFETCH(QString, word);
    QFETCH(QString, box);
    const QByteArray windowClass = window.toUtf8();
    showLesson(windowClass.constData());
    QLineEdit *edit = answerBox(windowClass.constData());
    edit->setFocus();
    QInputMethodEvent event(preedit, {});
    event.setCommitString(commit);
    QApplication::sendEvent(edit, &event);
    QCOMPARE(caption(windowClass.constData(), "lblNum1"), letter);
    QCOMPARE(caption(windowClass.constData(), "lblNum2"), word);
    QCOMPARE(edit->text(), box);
}

// A screen reader activating "English Alphabet" gets its answer before the modal lesson runs.
void Accessibility::learnItemAnswersBeforeLessonRuns()
{
    Form &frame = instance("frmMDIQuorbelAlphabet");
    frame.Show();
    QMenu *learn = qobject_cast<QMainWindow *>(frame.window())->menuBar()->actions()[0]->menu();
    QAccessibleInterface *item = accessible(learn)->child(1);
    QCOMPARE(item->text(QAccessible::Name), QStringLiteral("English Alphabet"));
    QString seen;
    when([] { return !modalTitle().isEmpty(); },
         [&] {
             seen = modalTitle();
             QApplication::activeModalWidget()->close();
         });
    item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(!hasInstance("frmEnglishAlphabet")); // the lesson has not started yet
    QTRY_COMPARE(seen, QStringLiteral("English Alphabet"));
    QTRY_VERIFY(!instance("frmEnglishAlphabet").isLoaded());
}

// F10 opens Learn; Down, Down, Enter opens the English lesson.
void Accessibility::f10ThenArrowsOpenALesson()
{
    Form &frame = instance("frmMDIQuorbelAlphabet");
    frame.Show();
    QVERIFY(QTest::qWaitForWindowActive(frame.window()));
    QTest::keyClick(frame.window()->windowHandle(), Qt::Key_F10);
    QMenu *menu = popup();
    QVERIFY(menu);
    QCOMPARE(menu->title(), QStringLiteral("Learn"));
    QString seen;
    when([] { return !modalTitle().isEmpty(); },
         [&] {
             seen = modalTitle();
             QApplication::activeModalWidget()->close();
         });
    QTest::keyClick(menu->windowHandle(), Qt::Key_Down);
    QTest::keyClick(menu->windowHandle(), Qt::Key_Down);
    QTest::keyClick(menu->windowHandle(), Qt::Key_Return); // returns once the lesson closed
    QCOMPARE(seen, QStringLiteral("English Alphabet"));
}

void Accessibility::lessonMenuFromTheKeyboard_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("key");
    QTest::addColumn<char>("item");
    QTest::addColumn<QString>("opened");
    QTest::addRow("menu_key_in_answer_box_help")
        << "txtAnswer" << 0 << int(Qt::Key_Menu) << 'h' << "Help Content";
    QTest::addRow("shift_f10_in_answer_box_about")
        << "txtAnswer" << int(Qt::ShiftModifier) << int(Qt::Key_F10) << 'a' << "About";
    QTest::addRow("menu_key_on_a_button_about")
        << "cmdMoveNext" << 0 << int(Qt::Key_Menu) << 'a' << "About";
}

// The lesson's menu, then the item's access key, then the window it opens: keys alone.
void Accessibility::lessonMenuFromTheKeyboard()
{
    QFETCH(QString, focus);
    QFETCH(int, modifiers);
    QFETCH(int, key);
    QFETCH(char, item);
    QFETCH(QString, opened);
    const char *english = "frmEnglishAlphabet";
    showLesson(english);
    control(english, qPrintable(focus))->setFocus();
    QStringList items;
    QString menuName, seen;
    when([] { return popup() != nullptr; },
         [&] {
             QMenu *menu = popup();
             QVERIFY(menu);
             menuName = accessible(menu)->text(QAccessible::Name);
             for (QAction *action : menu->actions())
                 items << (action->isSeparator() ? QStringLiteral("-") : action->text());
             when([] { return !modalTitle().isEmpty() && modalTitle() != "English Alphabet"; },
                  [&] {
                      seen = modalTitle();
                      // About closes on Alt+O, its button's access key; Help by its close box.
                      QWidget *modal = QApplication::activeModalWidget();
                      if (seen == QStringLiteral("About"))
                          QTest::keyClick(modal->windowHandle(), Qt::Key_O, Qt::AltModifier);
                      else
                          modal->close();
                  });
             QTest::keyClick(menu->windowHandle(), item);
         });
    QTest::keyClick(instance(english).window()->windowHandle(), Qt::Key(key),
                    Qt::KeyboardModifiers(modifiers));
    QCOMPARE(items, QStringList({"&Help", "-", "&About"}));
    QCOMPARE(menuName, QStringLiteral("Help and About"));
    QCOMPARE(seen, opened);
    QVERIFY(!instance("frmHelp").isLoaded());
    QTRY_VERIFY(!hasInstance("frmabout") || !instance("frmabout").isLoaded());
    QCOMPARE(answerBox(english)->text(), QString()); // the keys typed nothing
    QCOMPARE(caption(english, "lblNum2"), QStringLiteral("APPLE"));
}

void Accessibility::rightClickOnAnswerBoxKeepsEditMenu()
{
    const char *english = "frmEnglishAlphabet";
    showLesson(english);
    QString menuName;
    bool undoSeen = false;
    when([] { return popup() != nullptr; },
         [&] {
             QMenu *menu = popup();
             menuName = accessible(menu)->text(QAccessible::Name);
             for (QAction *action : menu->actions())
                 undoSeen = undoSeen || action->text().contains(QStringLiteral("Undo"));
             menu->close();
         });
    QLineEdit *box = answerBox(english);
    QContextMenuEvent event(QContextMenuEvent::Mouse, box->rect().center(),
                            box->mapToGlobal(box->rect().center()));
    QApplication::sendEvent(box, &event);
    QTRY_VERIFY(undoSeen);
    QVERIFY(menuName != QStringLiteral("Help and About"));
}

QTEST_MAIN(Accessibility)
#include "tst_accessibility.moc"
