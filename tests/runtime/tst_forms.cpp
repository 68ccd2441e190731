// The forms runtime on a probe window of its own: loading, drawing, focus, keys and input
// methods, timers, and definitions or errors that no window of the program reaches.

#include "runtime/bigtext_p.h"
#include "runtime/forms.h"
#include "runtime/units.h"

#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QtTest>

#include <stdexcept>

using namespace forms;

namespace {

FormDef probeLayout(const char *keyboardMenu = nullptr, const char *nameFrom = "lblUnder")
{
    return {
        .name = "frmProbe",
        .clientWidth = 6000,
        .clientHeight = 4500,
        .keyboardMenu = keyboardMenu,
        .menus = {
            {.name = "mnuPop", .caption = "&Pop", .visible = false},
            {.name = "mnuOne", .caption = "&One", .parent = "mnuPop"},
        },
        .controls = {
            {.name = "Frame1", .kind = ControlKind::Frame, .left = 300, .top = 0, .width = 4500,
             .height = 3000, .tabIndex = 2, .backColor = 0x00FF0000},
            {.name = "cmdB", .kind = ControlKind::CommandButton, .container = "Frame1", .left = 150,
             .top = 2400, .width = 900, .height = 375, .tabIndex = 3},
            {.name = "cmdA", .kind = ControlKind::CommandButton, .container = "Frame1", .left = 1200,
             .top = 2400, .width = 900, .height = 375, .tabIndex = 1},
            {.name = "txtIn", .kind = ControlKind::TextBox, .container = "Frame1", .left = 150,
             .top = 150, .width = 2000, .height = 600, .tabIndex = 0, .caption = "x"},
            {.name = "lblTop", .kind = ControlKind::Label, .container = "Frame1", .left = 150,
             .top = 900, .width = 1500, .height = 900, .tabIndex = 4, .caption = "Fish && &Chips",
             .font = FontDef{.face = "Times New Roman", .points = 99.75, .weight = 700},
             .backColor = 0x000000FF},
            {.name = "lblUnder", .kind = ControlKind::Label, .container = "Frame1", .left = 900,
             .top = 1200, .width = 1500, .height = 900, .tabIndex = 5, .caption = "APPLE",
             .backColor = 0x0000FF00},
            {.name = "Image1", .kind = ControlKind::Image, .top = 3600, .width = 900,
             .height = 600, .accessibleName = "Picture: %1", .accessibleNameFrom = nameFrom},
            {.name = "Timer1", .kind = ControlKind::Timer, .interval = 20},
        },
    };
}

// The probe's usual definition; a window keeps a reference to its definition.
const FormDef &probe()
{
    static const FormDef definition = probeLayout();
    return definition;
}

class frmProbe : public Form
{
public:
    explicit frmProbe(const FormDef &definition = probe())
        : Form(definition)
    {
        on("Form_Load", [this] { ++loads; });
        // Notes each KeyAscii with the box as it found it; discards z, makes u an U, closes on q.
        on("txtIn_KeyPress", [this](Integer &KeyAscii) {
            heard << QStringLiteral("%1:%2").arg(int(KeyAscii)).arg(txtIn.text());
            if (KeyAscii == 'q')
                Unload();
            else if (KeyAscii == 'z')
                KeyAscii = 0;
            else if (KeyAscii == 'u')
                KeyAscii = 'U';
        });
        on("Timer1_Timer", [this] { ++ticks; });
    }

    int loads = 0, ticks = 0;
    QString field;
    QStringList heard;
    Label lblTop {this, "lblTop"};
    TextBox txtIn {this, "txtIn"};
};

QRect inkBounds(const QImage &image, const QColor &ink)
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

// Mean width, in pixels, of the grey bands between white and black ink along the rows: about one
// pixel for text drawn at the image's resolution, about the scale for text drawn at a lower one.
double edgeWidth(const QImage &image)
{
    long bandPixels = 0, bands = 0;
    for (int y = 0; y < image.height(); ++y) {
        bool inBand = false;
        for (int x = 0; x < image.width(); ++x) {
            const int gray = qGray(image.pixel(x, y));
            bandPixels += gray > 25 && gray < 230;
            bands += gray > 25 && gray < 230 && !inBand;
            inBand = gray > 25 && gray < 230;
        }
    }
    return bands ? double(bandPixels) / double(bands) : 0.0;
}

} // namespace

class FormsRuntime : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_probe.reset(); }
    void unloadKeepsFieldsAndLoadRunsAgain();
    void earlierControlDrawnAbove();
    void bigCaptionsLaidOutAsQtDoes_data();
    void bigCaptionsLaidOutAsQtDoes();
    void bigLetterAtDeviceResolution();
    void tabOrderFollowsTabIndex();
    void keyPress_data();
    void keyPress();
    void timerTicksOnlyWhileLoaded();
    void wrongDefinitionLeavesNothing_data();
    void wrongDefinitionLeavesNothing();
    void errorsAtTheBoundaryEndTheProgram();

private:
    std::unique_ptr<frmProbe> m_probe;
};

void FormsRuntime::init()
{
    m_probe = std::make_unique<frmProbe>();
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

void FormsRuntime::earlierControlDrawnAbove()
{
    m_probe->Show();
    QVERIFY(QTest::qWaitForWindowExposed(m_probe->window()));
    const QImage shot = m_probe->controlWidget("Frame1")->grab().toImage();
    // lblTop spans 10..110 x 60..120 in the frame, lblUnder 60..160 x 80..140.
    QCOMPARE(shot.pixelColor(100, 110), QColor(255, 0, 0));
    QCOMPARE(shot.pixelColor(150, 130), QColor(0, 255, 0));
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
    QString apart;
    QDebug(&apart) << "ours" << ours << "Qt's" << qts;
    for (const QPoint edge :
         {ours.topLeft() - qts.topLeft(), ours.bottomRight() - qts.bottomRight()})
        QVERIFY2(std::abs(edge.x()) <= 2 && std::abs(edge.y()) <= 2, qPrintable(apart));
}

// A big letter drawn on a screen scaled twice has edges as fine as its pixels, even after the
// same letter was drawn at 96 DPI (its glyphs cached for that resolution).
void FormsRuntime::bigLetterAtDeviceResolution()
{
    QFont font(installedFace(QStringLiteral("Times New Roman")));
    font.setPixelSize(200);
    QImage drawn[2];
    for (const int scale : {1, 2}) {
        drawn[scale - 1] = QImage(QSize(220, 220) * scale, QImage::Format_RGB32);
        drawn[scale - 1].setDevicePixelRatio(scale);
        drawn[scale - 1].fill(Qt::white);
        QPainter painter(&drawn[scale - 1]);
        drawBigText(painter, QRect(0, 0, 220, 220), QStringLiteral("Q"), font, Qt::black, {});
    }
    const double fine = edgeWidth(drawn[1]), coarse = edgeWidth(drawn[0].scaled(drawn[1].size()));
    QVERIFY2(fine > 0 && fine < coarse * 0.75,
             qPrintable(QString::number(fine) + " against " + QString::number(coarse)));
}

void FormsRuntime::tabOrderFollowsTabIndex()
{
    m_probe->Show();
    QWidget *window = m_probe->window();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QCOMPARE(QApplication::focusWidget(), m_probe->controlWidget("txtIn"));
    for (const char *name : {"cmdA", "cmdB", "txtIn", "cmdA"}) {
        QTest::keyClick(window->windowHandle(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), m_probe->controlWidget(name));
    }
    QTest::keyClick(window->windowHandle(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), m_probe->controlWidget("txtIn"));
}

void FormsRuntime::keyPress_data()
{
    QTest::addColumn<int>("key"); // 0: the text is committed by an input method
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("preedit");
    QTest::addColumn<int>("replaceFrom");
    QTest::addColumn<QStringList>("heard"); // each KeyAscii, and the box as its handler found it
    QTest::addColumn<QString>("boxAfter"); // null: the window has closed
    const auto row = [](const char *name, int key, const QString &text, const QStringList &heard,
                        const QString &after, const char *preedit = "", int from = 0) {
        QTest::newRow(name) << key << text << QString(preedit) << from << heard << after;
    };
    row("letter_taken", Qt::Key_A, "a", {"97:x"}, "xa");
    row("discarded_by_zero", Qt::Key_Z, "z", {"122:x"}, "x");
    row("replaced", Qt::Key_U, "u", {"117:x"}, "xU");
    row("backspace", Qt::Key_Backspace, "", {"8:x"}, "");
    row("enter", Qt::Key_Return, "", {"13:x"}, "x");
    row("escape", Qt::Key_Escape, "", {"27:x"}, "x");
    row("arrow_raises_none", Qt::Key_Right, "", {}, "x");
    row("beyond_latin1_is_question_mark", Qt::Key_unknown, "\u03A9", {"63:x"}, "x\u03A9");
    // An input method's text is typed one character at a time; text being composed is not.
    row("committed_discarded_changed_kept", 0, "zuk", {"122:x", "117:x", "107:xU"}, "xUk");
    const QString wide = QString::fromUcs4(U"\u00e9\u20ac\U0001F34E");
    row("committed_beyond_latin1_and_16_bits", 0, wide,
        {"233:x", "63:x" + wide.left(1), "63:x" + wide.left(2)}, "x" + wide);
    row("committed_then_preedit", 0, "a", {"97:x"}, "xa", "b");
    row("committed_in_place_of_the_box", 0, "k", {"107:"}, "k", "", -1);
    row("window_closed_mid_commit", 0, "qa", {"113:x"}, QString());
}

void FormsRuntime::keyPress()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(QString, preedit);
    QFETCH(int, replaceFrom);
    QFETCH(QStringList, heard);
    QFETCH(QString, boxAfter);
    m_probe->Show();
    auto *box = qobject_cast<QLineEdit *>(m_probe->controlWidget("txtIn"));
    box->setFocus();
    if (key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(box, &press);
    } else {
        QInputMethodEvent event(preedit, {});
        event.setCommitString(text, replaceFrom, replaceFrom ? 1 : 0);
        QApplication::sendEvent(box, &event);
    }
    QCOMPARE(m_probe->heard, heard);
    QCOMPARE(m_probe->isLoaded(), !boxAfter.isNull()); // and no key came after it closed
    if (boxAfter.isNull())
        return;
    QCOMPARE(box->text(), boxAfter);
    QCOMPARE(box->cursorPosition(), int(boxAfter.size()));
}

// The timer runs from the load and goes with the unload; it ticks no more on the way.
void FormsRuntime::timerTicksOnlyWhileLoaded()
{
    m_probe->Show();
    const QPointer<QTimer> timer = m_probe->window()->findChild<QTimer *>();
    QTRY_VERIFY(m_probe->ticks >= 2);
    m_probe->Unload();
    const int ticks = m_probe->ticks;
    QTRY_VERIFY(!timer);
    QCOMPARE(m_probe->ticks, ticks);
}

void FormsRuntime::wrongDefinitionLeavesNothing_data()
{
    QTest::addColumn<QByteArray>("keyboardMenu");
    QTest::addColumn<QByteArray>("nameFrom");
    QTest::newRow("name_from_a_text_box") << QByteArray() << QByteArray("txtIn");
    QTest::newRow("name_from_no_control") << QByteArray() << QByteArray("lblNone");
    QTest::newRow("no_such_keyboard_menu") << QByteArray("mnuNone") << QByteArray("lblUnder");
    QTest::newRow("keyboard_menu_is_an_item") << QByteArray("mnuOne") << QByteArray("lblUnder");
}

// A definition found wrong while the window is built throws, and no widget of it stays behind.
void FormsRuntime::wrongDefinitionLeavesNothing()
{
    QFETCH(QByteArray, keyboardMenu);
    QFETCH(QByteArray, nameFrom);
    const FormDef wrong = probeLayout(keyboardMenu.isEmpty() ? nullptr : keyboardMenu.constData(),
                                      nameFrom.constData());
    const qsizetype widgets = QApplication::allWidgets().size();
    frmProbe probe(wrong);
    QVERIFY_THROWS_EXCEPTION(std::logic_error, probe.Load());
    QVERIFY(!probe.isLoaded());
    QCOMPARE(QApplication::allWidgets().size(), widgets);
}

void FormsRuntime::errorsAtTheBoundaryEndTheProgram()
{
    QStringList reported;
    const ErrorReporter previousReporter
        = setErrorReporter([&](const RuntimeError &error) { reported << error.message(); });
    const EndHandler previousEnd = setEndHandler([](int status) { throw status; });
    int status = -1;
    try {
        runHandler([] { Integer(40000); });
    } catch (int ended) {
        status = ended;
    }
    setErrorReporter(previousReporter);
    setEndHandler(previousEnd);
    QCOMPARE(status, 1);
    QCOMPARE(reported, QStringList {"Run-time error '6':\n\nOverflow"});
}

QTEST_MAIN(FormsRuntime)
#include "tst_forms.moc"
