#include "runtime/forms.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

using namespace forms;

namespace {

const FormDef &probeLayout()
{
    static const FormDef definition{
        .name = "frmProbe",
        .caption = "Probe",
        .borderStyle = BorderStyle::FixedSingle,
        .maxButton = false,
        .clientLeft = 150,
        .clientTop = 300,
        .clientWidth = 6000,
        .clientHeight = 4500,
        .backColor = 0x00040466,
        .menus = {
            {.name = "mnuPop", .caption = "Pop", .visible = false},
            {.name = "mnuOne", .caption = "&One", .parent = "mnuPop"},
            {.name = "mnuLine", .caption = "-", .parent = "mnuPop"},
            {.name = "mnuTwo", .caption = "&Two", .parent = "mnuPop"},
        },
        .controls = {
            {.name = "Frame1", .kind = ControlKind::Frame, .left = 300, .top = 0, .width = 4500,
             .height = 3000, .tabIndex = 2, .backColor = 0x00FF0000},
            {.name = "cmdB", .kind = ControlKind::CommandButton, .container = "Frame1", .left = 150,
             .top = 2400, .width = 900, .height = 375, .tabIndex = 3, .caption = "&B",
             .backColor = 0x0000FFFF, .graphical = true},
            {.name = "cmdA", .kind = ControlKind::CommandButton, .container = "Frame1", .left = 1200,
             .top = 2400, .width = 900, .height = 375, .tabIndex = 1, .caption = "A&&B"},
            {.name = "txtIn", .kind = ControlKind::TextBox, .container = "Frame1", .left = 150, .top = 150,
             .width = 2000, .height = 600, .tabIndex = 0, .caption = "x"},
            {.name = "lblTop", .kind = ControlKind::Label, .container = "Frame1", .left = 150, .top = 900,
             .width = 1500, .height = 900, .tabIndex = 4, .caption = "Fish && &Chips",
             .font = FontDef{.face = "Times New Roman", .points = 99.75, .weight = 700},
             .backColor = 0x000000FF},
            {.name = "lblUnder", .kind = ControlKind::Label, .container = "Frame1", .left = 900,
             .top = 1200, .width = 1500, .height = 900, .tabIndex = 5, .backColor = 0x0000FF00},
            {.name = "Timer1", .kind = ControlKind::Timer, .interval = 20},
        },
    };
    return definition;
}

class frmProbe : public Form
{
public:
    frmProbe()
        : Form(probeLayout())
    {
        on("Form_Load", [this] { ++loads; });
        on("txtIn_KeyPress", [this](Integer &KeyAscii) {
            keys.push_back(KeyAscii);
            if (KeyAscii == 'z')
                KeyAscii = 0;
            else if (KeyAscii == 'u')
                KeyAscii = 'U';
        });
        on("cmdA_Click", [this] { ++clicks; });
        on("Form_MouseDown", [this](Integer Button, Integer, float X, float Y) {
            downs.push_back({int(Button), int(X), int(Y)});
        });
        on("mnuOne_Click", [this] { ++ones; });
        on("Timer1_Timer", [this] { ++ticks; });
    }

    int loads = 0;
    int clicks = 0;
    int ones = 0;
    int ticks = 0;
    QString field;
    std::vector<int> keys;
    std::vector<std::array<int, 3>> downs;
    Label lblTop {this, "lblTop"};
};

struct EndCalled
{
    int status;
};

} // namespace

class FormsRuntime : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void unloadKeepsFieldsAndLoadRunsAgain();
    void buildsFromTwips();
    void earlierControlDrawnAbove();
    void bigCaptionsLaidOutAsQtDoes_data();
    void bigCaptionsLaidOutAsQtDoes();
    void tabOrderFollowsTabIndex();
    void keyPress_data();
    void keyPress();
    void mouseDownOnlyOnSurface_data();
    void mouseDownOnlyOnSurface();
    void modalShowBlocksOtherWindows();
    void popupMenuRunsPickedItem();
    void windowClosedUnderItsPopupMenu();
    void timerTicksOnlyWhileLoaded();
    void handlerNamesAreChecked();
    void errorsAtTheBoundaryEndTheProgram();
    void instancesAreProgramWide();

private:
    std::unique_ptr<frmProbe> m_probe;
};

void FormsRuntime::init()
{
    m_probe = std::make_unique<frmProbe>();
}

void FormsRuntime::cleanup()
{
    m_probe.reset();
}

void FormsRuntime::unloadKeepsFieldsAndLoadRunsAgain()
{
    m_probe->Show();
    QCOMPARE(m_probe->loads, 1);
    m_probe->field = QStringLiteral("kept");
    m_probe->lblTop.setCaption(QStringLiteral("changed"));
    m_probe->Unload();
    QVERIFY(!m_probe->isLoaded());
    QVERIFY(!m_probe->window());
    QCOMPARE(m_probe->field, QStringLiteral("kept"));
    m_probe->Show();
    QCOMPARE(m_probe->loads, 2);
    QCOMPARE(m_probe->lblTop.caption(), QStringLiteral("Fish && &Chips"));
    // Using a control of an unloaded window loads it, as on the original platform.
    m_probe->Unload();
    QCOMPARE(m_probe->lblTop.caption(), QStringLiteral("Fish && &Chips"));
    QCOMPARE(m_probe->loads, 3);
}

void FormsRuntime::buildsFromTwips()
{
    m_probe->Load();
    QWidget *window = m_probe->window();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Probe"));
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(window->minimumSize(), window->maximumSize()); // fixed single border
    QWidget *frame = m_probe->controlWidget("Frame1");
    QCOMPARE(frame->geometry(), QRect(20, 0, 300, 200));
    QCOMPARE(frame->parentWidget()->size(), QSize(400, 300));
    QCOMPARE(m_probe->controlWidget("cmdB")->geometry(), QRect(10, 160, 60, 25));
    auto *label = qobject_cast<QLabel *>(m_probe->controlWidget("lblTop"));
    QCOMPARE(label->text(), QStringLiteral("Fish & Chips"));
    QCOMPARE(label->font().pixelSize(), 133);
    QCOMPARE(label->font().weight(), QFont::Bold);
    QCOMPARE(label->palette().color(QPalette::Window), QColor(255, 0, 0));
    QCOMPARE(qobject_cast<QPushButton *>(m_probe->controlWidget("cmdA"))->text(),
             QStringLiteral("A&&B"));
    QCOMPARE(frame->parentWidget()->palette().color(QPalette::Window), QColor(102, 4, 4));
    QVERIFY(!m_probe->controlWidget("nothing"));
}

void FormsRuntime::earlierControlDrawnAbove()
{
    m_probe->Show();
    QVERIFY(QTest::qWaitForWindowExposed(m_probe->window()));
    const QImage shot = m_probe->controlWidget("Frame1")->grab().toImage();
    // lblTop spans 10..110 x 60..120 in the frame, lblUnder 60..160 x 80..140.
    QCOMPARE(shot.pixelColor(100, 110), QColor(255, 0, 0));
    QCOMPARE(shot.pixelColor(150, 130), QColor(0, 255, 0));
    // The big caption's letters are really painted, in the label's text colour (black).
    const QImage label = m_probe->controlWidget("lblTop")->grab().toImage();
    int inked = 0;
    for (int y = 0; y < label.height(); ++y) {
        for (int x = 0; x < label.width(); ++x)
            inked += label.pixelColor(x, y) == QColor(Qt::black);
    }
    QVERIFY2(inked > 100, qPrintable(QString::number(inked)));
}

static QRect inkBounds(const QImage &image, const QColor &ink)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == ink)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

void FormsRuntime::bigCaptionsLaidOutAsQtDoes_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("width");
    QTest::addRow("one_line") << "WATERMELON" << 1009;
    QTest::addRow("blank_and_hyphen") << "X-MAS TREE" << 1009;
    QTest::addRow("wraps_at_words") << "Fish Chips" << 400;
}

// Big captions are drawn from the runtime's own glyph cache; where the letters land must not
// differ from Qt's own drawing of the same label.
void FormsRuntime::bigCaptionsLaidOutAsQtDoes()
{
    QFETCH(QString, caption);
    QFETCH(int, width);
    m_probe->Load();
    auto *label = qobject_cast<QLabel *>(m_probe->controlWidget("lblTop"));
    m_probe->lblTop.setCaption(caption);
    label->resize(width, 330);
    QLabel plain(caption);
    plain.setFont(label->font());
    plain.setWordWrap(true);
    plain.setAlignment(label->alignment());
    plain.setPalette(label->palette());
    plain.setAutoFillBackground(true);
    plain.resize(label->size());
    const QRect ours = inkBounds(label->grab().toImage(), Qt::black);
    const QRect qts = inkBounds(plain.grab().toImage(), Qt::black);
    QVERIFY(!qts.isEmpty());
    for (int edge = 0; edge < 4; ++edge) {
        const int a[] = {ours.left(), ours.top(), ours.right(), ours.bottom()};
        const int b[] = {qts.left(), qts.top(), qts.right(), qts.bottom()};
        QVERIFY2(std::abs(a[edge] - b[edge]) <= 2,
                 qPrintable(QStringLiteral("ours %1,%2 %3x%4, Qt's %5,%6 %7x%8")
                                .arg(ours.x())
                                .arg(ours.y())
                                .arg(ours.width())
                                .arg(ours.height())
                                .arg(qts.x())
                                .arg(qts.y())
                                .arg(qts.width())
                                .arg(qts.height())));
    }
}

void FormsRuntime::tabOrderFollowsTabIndex()
{
    m_probe->Show();
    QWidget *window = m_probe->window();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QCOMPARE(QApplication::focusWidget(), m_probe->controlWidget("txtIn"));
    const char *expected[] = {"cmdA", "cmdB", "txtIn", "cmdA"};
    for (const char *name : expected) {
        QTest::keyClick(window->windowHandle(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), m_probe->controlWidget(name));
    }
    QTest::keyClick(window->windowHandle(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), m_probe->controlWidget("txtIn"));
}

void FormsRuntime::keyPress_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("keyAscii"); // -1: no KeyPress raised
    QTest::addColumn<QString>("boxAfter");
    QTest::addRow("letter_taken") << int(Qt::Key_A) << "a" << 97 << "xa";
    QTest::addRow("discarded_by_zero") << int(Qt::Key_Z) << "z" << 122 << "x";
    QTest::addRow("replaced") << int(Qt::Key_U) << "u" << 117 << "xU";
    QTest::addRow("backspace") << int(Qt::Key_Backspace) << "" << 8 << "";
    QTest::addRow("enter") << int(Qt::Key_Return) << "" << 13 << "x";
    QTest::addRow("escape") << int(Qt::Key_Escape) << "" << 27 << "x";
    QTest::addRow("arrow_raises_none") << int(Qt::Key_Left) << "" << -1 << "x";
    QTest::addRow("beyond_latin1_is_question_mark")
        << int(Qt::Key_unknown) << "\u03A9" << 63 << "x\u03A9";
}

void FormsRuntime::keyPress()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(int, keyAscii);
    QFETCH(QString, boxAfter);
    m_probe->Show();
    QWidget *box = m_probe->controlWidget("txtIn");
    auto *edit = qobject_cast<QLineEdit *>(box);
    edit->setCursorPosition(1);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(box, &press);
    if (keyAscii < 0)
        QVERIFY(m_probe->keys.empty());
    else
        QCOMPARE(m_probe->keys, std::vector<int> {keyAscii});
    QCOMPARE(edit->text(), boxAfter);
}

void FormsRuntime::mouseDownOnlyOnSurface_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("qtButton");
    QTest::addColumn<int>("button"); // 0: no MouseDown
    QTest::addRow("left_on_margin") << "margin" << int(Qt::LeftButton) << 1;
    QTest::addRow("right_on_margin") << "margin" << int(Qt::RightButton) << 2;
    QTest::addRow("middle_on_margin") << "margin" << int(Qt::MiddleButton) << 4;
    QTest::addRow("right_on_frame") << "Frame1" << int(Qt::RightButton) << 0;
    QTest::addRow("right_on_label") << "lblTop" << int(Qt::RightButton) << 0;
}

void FormsRuntime::mouseDownOnlyOnSurface()
{
    QFETCH(QString, where);
    QFETCH(int, qtButton);
    QFETCH(int, button);
    m_probe->Show();
    QWidget *surface = m_probe->controlWidget("Frame1")->parentWidget();
    QWidget *target = where == "margin" ? surface : m_probe->controlWidget(qPrintable(where));
    QTest::mousePress(target, Qt::MouseButton(qtButton), {}, QPoint(5, 7));
    if (!button) {
        QVERIFY(m_probe->downs.empty());
        return;
    }
    QCOMPARE(m_probe->downs.size(), std::size_t(1));
    QCOMPARE(m_probe->downs[0], (std::array<int, 3> {button, 75, 105}));
}

void FormsRuntime::modalShowBlocksOtherWindows()
{
    frmProbe behind;
    behind.Show();
    QVERIFY(QTest::qWaitForWindowExposed(behind.window()));
    bool checked = false;
    QTimer::singleShot(0, this, [&] {
        QWidget *modal = m_probe->window();
        QCOMPARE(QApplication::activeModalWidget(), modal);
        QWidget *button = behind.controlWidget("cmdA");
        QTest::mouseClick(button->window()->windowHandle(), Qt::LeftButton, {},
                          button->mapTo(button->window(), button->rect().center()));
        QCOMPARE(behind.clicks, 0);
        checked = true;
        modal->close(); // the close box
    });
    m_probe->Show(vbModal);
    QVERIFY(checked);
    QVERIFY(!m_probe->isLoaded());
    QWidget *button = behind.controlWidget("cmdA");
    QTest::mouseClick(button->window()->windowHandle(), Qt::LeftButton, {},
                      button->mapTo(button->window(), button->rect().center()));
    QCOMPARE(behind.clicks, 1);
}

void FormsRuntime::popupMenuRunsPickedItem()
{
    m_probe->Show();
    QStringList items;
    QTimer::singleShot(0, this, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction *action : menu->actions())
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        menu->actions().constFirst()->trigger();
        menu->close();
    });
    m_probe->PopupMenu("mnuPop");
    QCOMPARE(items, QStringList({"&One", "-", "&Two"}));
    QCOMPARE(m_probe->ones, 1);
    QVERIFY_THROWS_EXCEPTION(RuntimeError, m_probe->PopupMenu("mnuOne"));
}

// Closing a window (close box, window manager) while its pop-up menu is up takes the menu with
// it; the menu was once freed twice.
void FormsRuntime::windowClosedUnderItsPopupMenu()
{
    m_probe->Show();
    QWidget *window = m_probe->window();
    bool closed = false;
    QTimer::singleShot(0, window, [&closed, window] {
        QVERIFY(QApplication::activePopupWidget());
        closed = window->close();
    });
    m_probe->PopupMenu("mnuPop");
    QVERIFY(closed);
    QVERIFY(!m_probe->isLoaded());
    QCOMPARE(m_probe->ones, 0);
    QTRY_VERIFY(!QApplication::activePopupWidget());
}

void FormsRuntime::timerTicksOnlyWhileLoaded()
{
    m_probe->Show();
    QTRY_VERIFY(m_probe->ticks >= 2);
    m_probe->Unload();
    const int ticks = m_probe->ticks;
    QTest::qWait(100);
    QCOMPARE(m_probe->ticks, ticks);
}

void FormsRuntime::handlerNamesAreChecked()
{
    struct Wrong : Form
    {
        explicit Wrong(int which)
            : Form(probeLayout())
        {
            if (which == 0)
                on("cmdZ_Click", [] {});
            else if (which == 1)
                on("txtIn_Click", [] {});
            else if (which == 2)
                on("Form_MouseDown", [] {});
            else
                on("Frame1_Click", [] {});
        }
    };
    for (int which = 0; which < 4; ++which)
        QVERIFY_THROWS_EXCEPTION(std::logic_error, Wrong {which});
    struct WrongControl : Form
    {
        WrongControl()
            : Form(probeLayout())
        { }
        TextBox box {this, "lblTop"};
    };
    QVERIFY_THROWS_EXCEPTION(std::logic_error, WrongControl {});
}

void FormsRuntime::errorsAtTheBoundaryEndTheProgram()
{
    QStringList reported;
    const ErrorReporter previousReporter
        = setErrorReporter([&](const RuntimeError &error) { reported << error.message(); });
    const EndHandler previousEnd = setEndHandler([](int status) { throw EndCalled {status}; });
    int status = -1;
    try {
        runHandler([] { Integer(40000); });
    } catch (const EndCalled &end) {
        status = end.status;
    }
    setErrorReporter(previousReporter);
    setEndHandler(previousEnd);
    QCOMPARE(status, 1);
    QCOMPARE(reported, QStringList {"Run-time error '6':\n\nOverflow"});
}

void FormsRuntime::instancesAreProgramWide()
{
    int created = 0;
    installProject({.name = "Probe",
                    .startupObject = "frmProbe",
                    .windowClasses = {{"frmProbe", [&created] {
                                           ++created;
                                           return std::make_unique<frmProbe>();
                                       }}}});
    QVERIFY(!hasInstance("frmProbe"));
    Form &first = instance("frmProbe");
    QCOMPARE(&instance("frmProbe"), &first);
    QCOMPARE(created, 1);
    QCOMPARE(App::Title(), QStringLiteral("Probe"));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, instance("frmNothing"));
    releaseInstances();
    QVERIFY(!hasInstance("frmProbe"));
}

QTEST_MAIN(FormsRuntime)
#include "tst_forms.moc"
