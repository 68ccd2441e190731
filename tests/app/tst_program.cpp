// The program's own windows, on a screen scaled 1, 1.5 and 2 times (QT_SCALE_FACTOR, set by the
// test's ctest entries): the frame's Learn items, where each window opens, the lesson's menus,
// About's title line, and every control of every window where its definition puts it. The
// lessons' cards are checked step by step in tests/robust/tst_lessonmodel.

#include "app/windowclasses.h"
#include "info/frmabout.h"
#include "info/infotexts.h"
#include "runtime/forms.h"
#include "runtime/units.h"

#include <QAccessible>
#include <QFontDatabase>
#include <QImageReader>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include <cmath>

using namespace forms;

// Rows name a control by its place in the window's definition, which lives as long as the program.
Q_DECLARE_METATYPE(const ControlDef *)

namespace {

const char *const frame = "frmMDIQuorbelAlphabet";
const char *const english = "frmEnglishAlphabet";
const QString StoredTitle = QStringLiteral("Learn Alphabets and Number by Yourself");
const QString WholeTicker = QStringLiteral("Learn Alphabet & Number Yourself"); // as drawn

// How a menu is opened on a window, what it holds and what picking in it opens.
struct MenuCase
{
    const char *window, *focus; // "": the window itself
    const char *send; // "right", "left" or "middle" click on the margin, keys, the context-menu
                      // event of a "click" or a "key", or a call of "PopupMenu"
    const char *items = ""; // the items of the menu that opens
    const char *pick = ""; // keys in that menu, or "close" its window
    const char *opens = ""; // the modal window that opens
};

QMainWindow *mainWindow(Form &form)
{
    return qobject_cast<QMainWindow *>(form.window());
}

QAction *menuItem(Form &form, int menu, int item)
{
    return mainWindow(form)->menuBar()->actions()[menu]->menu()->actions()[item];
}

QMenu *popup()
{
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}

// Runs step once ready() holds, polling from whatever event loop runs (a menu's, a modal
// window's); the poll belongs to owner and ends with it.
void when(QObject *owner, const std::function<bool()> &ready, const std::function<void()> &step)
{
    auto *timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, ready, step] {
        if (ready()) {
            delete timer;
            step();
        }
    });
    timer->start(5);
}

void typeKeys(QWidget *window, const QString &keys)
{
    const QKeyCombination key = QKeySequence(keys)[0];
    QTest::keyClick(window->windowHandle(), key.key(), key.keyboardModifiers());
}

} // namespace

Q_DECLARE_METATYPE(MenuCase)

class Program : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void frameMenuItems_data();
    void frameMenuItems();
    void windowsOpenAtTheirPlace_data();
    void windowsOpenAtTheirPlace();
    void menus_data();
    void menus();
    void aboutTitleLine_data();
    void aboutTitleLine();
    void layoutAtScreenScale_data();
    void layoutAtScreenScale();

private:
    Form &shown(const char *windowClass);

    std::vector<QString> m_errors;
    QObject m_steps; // the steps still waiting; a failed test leaves none behind
    double m_scale = 1.0;
};

void Program::initTestCase()
{
    m_scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
    QCOMPARE(qApp->devicePixelRatio(), m_scale);
    setErrorReporter(
        [this](const RuntimeError &error) { m_errors.push_back(error.description()); });
    setEndHandler([](int status) { throw status; }); // what End would end
    App::setPath(QFileInfo(QStringLiteral(QUORBEL_SOURCE_IMAGES)).path());
    // The table creates each window class under its own name, not a neighbour's.
    for (const WindowClass &entry : QuorbelAlphabet::project().windowClasses)
        QCOMPARE(entry.create()->name(), QString(entry.name));
    installProject(QuorbelAlphabet::project());
}

void Program::cleanup()
{
    qDeleteAll(m_steps.children());
    if (QWidget *menu = QApplication::activePopupWidget())
        menu->close();
    installProject(QuorbelAlphabet::project()); // fresh instances for the next test
    if (!QTest::currentTestFailed() && !m_errors.empty())
        QFAIL(qPrintable(m_errors.front()));
    m_errors.clear();
}

Form &Program::shown(const char *windowClass)
{
    Form &form = instance(windowClass);
    form.Show();
    if (!QTest::qWaitForWindowActive(form.window()))
        qFatal("%s was never shown", windowClass);
    return form;
}

void Program::frameMenuItems_data()
{
    QTest::addColumn<QPoint>("item"); // menu, item
    QTest::addColumn<QByteArray>("opens"); // empty: ends the program
    QTest::addRow("number") << QPoint(0, 0) << QByteArray("frmNumber");
    QTest::addRow("english") << QPoint(0, 1) << QByteArray(english);
    QTest::addRow("hindi") << QPoint(0, 2) << QByteArray("frmHindiAlphabet");
    QTest::addRow("exit") << QPoint(1, 0) << QByteArray();
}

// A Learn item shows its window's program-wide instance modally and returns once it has closed;
// chosen again, it loads the same instance again. Exit ends the program at once.
void Program::frameMenuItems()
{
    QFETCH(QPoint, item);
    QFETCH(QByteArray, opens);
    QAction *action = menuItem(shown(frame), item.x(), item.y());
    for (int opening = 0; opening < 2; ++opening) {
        bool opened = false;
        QObject scope;
        QTimer::singleShot(0, &scope, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            QWidget *window = opens.isEmpty() ? nullptr : instance(opens.constData()).window();
            opened = window && modal == window;
            if (QWidget *shown = modal ? modal : window) // modal or not: it must not hold us up
                shown->close();
        });
        try {
            // Exit ends by throwing from the test's End: straight from the signal, not through
            // QAction, whose guards (built without exceptions) would leak on the way out.
            if (opens.isEmpty())
                emit action->triggered();
            else
                action->trigger();
        } catch (int status) {
            QVERIFY(opens.isEmpty());
            QCOMPARE(status, 0);
            return;
        }
        QVERIFY(opened);
        QVERIFY(!instance(opens.constData()).isLoaded());
    }
}

void Program::windowsOpenAtTheirPlace_data()
{
    QTest::addColumn<QByteArray>("windowClass");
    QTest::addColumn<QPoint>("place"); // in twips, as Form_Load puts it
    QTest::addRow("english") << QByteArray(english) << QPoint(10, 10);
    QTest::addRow("number") << QByteArray("frmNumber") << QPoint(1200, 800);
    QTest::addRow("about") << QByteArray("frmabout") << QPoint(2200, 1000);
    QTest::addRow("help") << QByteArray("frmHelp") << QPoint(1200, 600);
}

// Wherever a window was moved and however it was sized, it opens again at its place and size;
// resizing it moves none of its controls.
void Program::windowsOpenAtTheirPlace()
{
    QFETCH(QByteArray, windowClass);
    QFETCH(QPoint, place);
    Form &form = shown(windowClass.constData());
    const QSize size = form.window()->size();
    const auto places = [&form] {
        QList<QRect> rects;
        for (const QWidget *control : mainWindow(form)->centralWidget()->findChildren<QWidget *>())
            rects << control->geometry();
        return rects;
    };
    for (int opening = 0; opening < 2; ++opening) {
        QCOMPARE(form.window()->pos(), QPoint(twipsToPixels(place.x()), twipsToPixels(place.y())));
        QCOMPARE(form.window()->size(), size);
        const QList<QRect> before = places();
        form.window()->setGeometry(QRect(QPoint(300, 200), size / 2));
        QCOMPARE(places(), before);
        form.window()->close();
        QVERIFY(!form.isLoaded());
        shown(windowClass.constData());
    }
}

void Program::menus_data()
{
    QTest::addColumn<MenuCase>("c");
    const char *items = "&Help - &About";
    QTest::newRow("right_click_on_margin_picks_help")
        << MenuCase {english, "", "right", items, "H", "frmHelp"};
    QTest::newRow("left_click_on_margin_opens_nothing") << MenuCase {english, "", "left"};
    QTest::newRow("middle_click_on_margin_opens_nothing") << MenuCase {english, "", "middle"};
    QTest::newRow("left_click_on_the_picture_opens_nothing")
        << MenuCase {english, "Image1", "left"};
    QTest::newRow("right_click_on_the_frame_opens_nothing")
        << MenuCase {english, "Frame1", "right"};
    // The menu goes with its window; it was once freed twice.
    QTest::newRow("window_closed_under_its_menu")
        << MenuCase {english, "", "PopupMenu", items, "close"};
    QTest::newRow("shift_f10_in_answer_box_picks_about")
        << MenuCase {english, "txtAnswer", "Shift+F10", items, "A", "frmabout"};
    QTest::newRow("right_click_in_answer_box_keeps_edit_menu")
        << MenuCase {english, "txtAnswer", "click", "Undo"};
    // The Menu key's press opens the lesson's menu; the context-menu event it also brings does not.
    QTest::newRow("menu_key_event_opens_nothing") << MenuCase {english, "txtAnswer", "key"};
    QTest::newRow("number_menu_key_event_keeps_edit_menu")
        << MenuCase {"frmNumber", "txtAnswer", "key", "Undo"};
}

// The lesson's menu opens from a right click on its margin and from the keyboard; its access
// keys open Help and About modally; the keys type nothing into the answer box.
void Program::menus()
{
    QFETCH(MenuCase, c);
    Form &form = shown(c.window);
    QWidget *target = *c.focus ? form.controlWidget(c.focus) : form.window();
    target->setFocus();
    const QString send = QString::fromLatin1(c.send);
    QString seen;
    QByteArray opened;
    // The window that opens, modal or not: a window shown modeless would hold the test up.
    const auto openedWindow = [&c]() -> QWidget * {
        if (QWidget *modal = QApplication::activeModalWidget())
            return modal;
        return *c.opens && hasInstance(c.opens) ? instance(c.opens).window() : nullptr;
    };
    when(
        &m_steps, [&] { return openedWindow() != nullptr; },
        [&] {
            QWidget *window = openedWindow();
            opened = window->objectName().toLatin1() + (window->isModal() ? "" : " (not modal)");
            window->close();
        });
    when(
        &m_steps, [] { return popup() != nullptr; },
        [&] {
            for (QAction *item : popup()->actions())
                seen += (seen.isEmpty() ? "" : " ")
                    + (item->isSeparator() ? QStringLiteral("-") : item->text());
            if (QByteArrayView(c.pick) == "close") // the window, under its menu
                return (void)form.window()->close();
            if (*c.pick)
                typeKeys(popup(), QString::fromLatin1(c.pick));
            if (popup()) // nothing picked
                popup()->close();
        });
    if (const int button = QStringList {"left", "right", "middle"}.indexOf(send); button >= 0) {
        // On the margin left of the frame, or on the control named.
        const QPoint at = *c.focus ? target->mapTo(form.window(), target->rect().center())
                                   : target->mapTo(form.window(), QPoint(10, 300));
        QTest::mouseClick(form.window()->windowHandle(), Qt::MouseButton(1 << button), {}, at);
    } else if (send == QStringLiteral("click") || send == QStringLiteral("key")) {
        const QPoint at = target->rect().center();
        QContextMenuEvent event(send == "click" ? QContextMenuEvent::Mouse
                                                : QContextMenuEvent::Keyboard,
                                at, target->mapToGlobal(at));
        QApplication::sendEvent(target, &event);
    } else if (send == QStringLiteral("PopupMenu")) {
        form.PopupMenu(form.definition().keyboardMenu);
    } else {
        typeKeys(form.window(), send);
    }
    if (*c.items)
        QTRY_VERIFY2(seen.contains(QString::fromLatin1(c.items)), qPrintable(seen));
    else // a menu would be up by now
        QVERIFY2(!popup() && seen.isEmpty(), qPrintable(seen));
    QTRY_COMPARE(opened, QByteArray(c.opens));
    QTRY_VERIFY(!popup());
    QCOMPARE(form.isLoaded(), QByteArrayView(c.pick) != "close");
    if (auto *box = qobject_cast<QLineEdit *>(form.controlWidget("txtAnswer")))
        QCOMPARE(box->text(), QString());
}

void Program::aboutTitleLine_data()
{
    QTest::addColumn<int>("ticks"); // -1: the timer's own
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("close"); // then: "click" on OK, or keys
    QTest::newRow("stored_caption_before_first_tick") << 0 << StoredTitle << QString();
    QTest::newRow("tick_1_first_letter") << 1 << QStringLiteral("L") << QString();
    QTest::newRow("tick_33_whole_then_ok_clicked") << 33 << WholeTicker << QStringLiteral("click");
    QTest::newRow("tick_34_whole_again_then_alt_o") << 34 << WholeTicker << QStringLiteral("Alt+O");
    QTest::newRow("tick_35_starts_over_then_escape") << 35 << QStringLiteral("L") << "Escape";
    QTest::newRow("the_timer_types_it") << -1 << QString() << QString();
}

// The timer types the title out; closing About by OK, its access key or Escape, and opening it
// again, starts the line over.
void Program::aboutTitleLine()
{
    QFETCH(int, ticks);
    QFETCH(QString, caption);
    QFETCH(QString, close);
    auto &about = static_cast<frmabout &>(shown("frmabout"));
    const auto aboutTitle
        = [&about] { return about.controlWidget("Label1", 0)->property("text").toString(); };
    QWidget *window = about.window();
    if (ticks < 0) {
        QTRY_VERIFY(aboutTitle() != StoredTitle);
        QVERIFY2(WholeTicker.startsWith(aboutTitle()), qPrintable(aboutTitle()));
        return;
    }
    window->findChild<QTimer *>()->stop();
    for (int i = 0; i < ticks; ++i)
        about.Timer1_Timer();
    QCOMPARE(aboutTitle(), caption);
    if (close.isEmpty())
        return;
    QWidget *ok = about.controlWidget("cmdok");
    QCOMPARE(QApplication::focusWidget(), ok);
    if (close == QStringLiteral("click"))
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                          ok->mapTo(window, QPoint(5, 5)));
    else
        typeKeys(window, close);
    QTRY_VERIFY(!about.isLoaded());
    shown("frmabout").window()->findChild<QTimer *>()->stop();
    about.Timer1_Timer();
    QCOMPARE(aboutTitle(), QStringLiteral("L"));
}

// One row per window sized by its definition and one per placed control.
void Program::layoutAtScreenScale_data()
{
    QTest::addColumn<QByteArray>("windowClass");
    QTest::addColumn<const ControlDef *>("control"); // nullptr: the window itself
    for (const WindowClass &entry : QuorbelAlphabet::project().windowClasses) {
        const FormDef &def = entry.create()->definition();
        if (!def.startMaximized)
            QTest::addRow("%s", entry.name)
                << QByteArray(entry.name) << (const ControlDef *)nullptr;
        for (const ControlDef &c : def.controls) {
            if (c.kind != ControlKind::Timer)
                QTest::addRow("%s/%s", entry.name, c.name) << QByteArray(entry.name) << &c;
        }
    }
}

// Each control sits where its twips put it on a 96-DPI screen, scaled, to a device pixel, in its
// font, read by a screen reader as its kind and by its given name; our own lines fit their
// labels; a picture shows each of its pixels as one device-independent pixel, drawn to fill that
// size. A window of fixed border keeps its size.
void Program::layoutAtScreenScale()
{
    QFETCH(QByteArray, windowClass);
    QFETCH(const ControlDef *, control);
    Form &form = shown(windowClass.constData());
    const FormDef &def = form.definition();
    QWidget *client = mainWindow(form)->centralWidget();
    QWidget *widget = control ? form.controlWidget(control->name, control->index) : form.window();
    QAccessibleInterface *read = QAccessible::queryAccessibleInterface(widget);
    if (const char *name = control ? control->accessibleName : def.accessibleName;
        *name && !(control && control->accessibleNameFrom))
        QCOMPARE(read->text(QAccessible::Name), QString::fromUtf8(name));
    QRectF actual(QPointF(), client->size()), expected(0, 0, def.clientWidth, def.clientHeight);
    if (!control) {
        QCOMPARE(widget->minimumSize() == widget->maximumSize(),
                 def.borderStyle != BorderStyle::Sizable);
        QCOMPARE(bool(widget->windowFlags() & Qt::WindowMaximizeButtonHint), def.maxButton);
        if (def.mousePointer == MousePointer::Custom)
            QCOMPARE(client->cursor().hotSpot(), QPoint(5, 0));
    } else {
        constexpr QAccessible::Role byKind[]
            = {QAccessible::Grouping, QAccessible::StaticText, QAccessible::EditableText,
               QAccessible::Button, QAccessible::Graphic};
        QCOMPARE(read->role(),
                 control->accessibleRole == AccessibleRole::Heading ? QAccessible::Heading
                                                                    : byKind[int(control->kind)]);
        actual = widget->geometry();
        expected = QRectF(control->left, control->top, control->width, control->height);
        if (control->font) { // the face asked for, or an installed look-alike
            QVERIFY2(QFontDatabase::hasFamily(widget->font().family()), control->font->face);
            QCOMPARE(widget->font().pixelSize(), pointsToPixels(control->font->points));
            QCOMPARE(widget->font().weight(), control->font->weight);
        }
        for (const char *line :
             {info::Dedication, info::ContactLine, info::CopyrightLine, info::RightsNotice}) {
            if (QString::fromUtf8(control->caption) == QString::fromUtf8(line))
                QVERIFY2(widget->heightForWidth(widget->width()) <= widget->height(), line);
        }
        if (const QString picture = QString::fromUtf8(control->picture); !picture.isEmpty()) {
            expected.setSize(QSizeF(QImageReader(picture).size()) * TwipsPerPixel);
            const QImage drawn = widget->grab().toImage();
            const QImage source
                = QImage(picture).scaled(drawn.size()).convertToFormat(QImage::Format_RGB32);
            const QPoint corner(drawn.width() - 2, drawn.height() - 2);
            QVERIFY(std::abs(qGray(drawn.pixel(corner)) - qGray(source.pixel(corner))) < 48);
        }
    }
    const double dpr = widget->devicePixelRatioF();
    actual = QRectF(actual.topLeft() * dpr, actual.size() * dpr);
    expected = QRectF(expected.topLeft() * m_scale / TwipsPerPixel,
                      expected.size() * m_scale / TwipsPerPixel);
    QString apart;
    QDebug(&apart) << actual << "device pixels, expected" << expected;
    for (const QPointF edge :
         {actual.topLeft() - expected.topLeft(), actual.bottomRight() - expected.bottomRight()})
        QVERIFY2(std::abs(edge.x()) <= 1.0 && std::abs(edge.y()) <= 1.0, qPrintable(apart));
}

QTEST_MAIN(Program)
#include "tst_program.moc"
