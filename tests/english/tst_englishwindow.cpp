#include "lessons/english/frmenglishalphabet.h"
#include "runtime/forms.h"
#include "runtime/units.h"

#include <QtTest>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

#include <memory>
#include <vector>

using namespace forms;

namespace {

const QColor DarkRed(102, 4, 4), Pink(255, 192, 192), Red(255, 0, 0), Green(0, 255, 0),
    Blue(0, 0, 255), Yellow(255, 255, 0), Magenta(255, 0, 255);

enum Fault { Sound, Missing, CutOff };

// Stands in for Help and About: notes how it was shown, then closes itself.
class StandIn : public Form
{
public:
    explicit StandIn(const FormDef &definition)
        : Form(definition)
    {
        on("Form_Load", [this] {
            QTimer::singleShot(0, window(), [this] {
                shownModal = window()->isVisible() && QApplication::activeModalWidget() == window();
                ++timesShown;
                Unload();
            });
        });
    }
    bool shownModal = false;
    int timesShown = 0;
};

const ProjectDescription &testProject()
{
    static const FormDef help {.name = "frmHelp", .clientWidth = 3000, .clientHeight = 2000};
    static const FormDef about {.name = "frmabout", .clientWidth = 3000, .clientHeight = 2000};
    static const ProjectDescription project {
        .name = "tst_englishwindow",
        .windowClasses = {
            {"frmEnglishAlphabet", [] { return std::make_unique<frmEnglishAlphabet>(); }},
            {"frmHelp", [] { return std::make_unique<StandIn>(help); }},
            {"frmabout", [] { return std::make_unique<StandIn>(about); }},
        }};
    return project;
}

} // namespace

class tst_EnglishWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase() { releaseInstances(); }

    void steps_data();
    void steps();
    void emptyPicturePathBlanksPicture();
    void reopeningShowsFirstCard();
    void marginClicks_data();
    void marginClicks();
    void tabOrder();
    void windowLook();
    void controlLook_data();
    void controlLook();

private:
    frmEnglishAlphabet &lesson();
    QWidget *control(const char *name) { return lesson().controlWidget(name); }
    QString caption(const char *label) { return qobject_cast<QLabel *>(control(label))->text(); }
    QString answer() { return qobject_cast<QLineEdit *>(control("txtAnswer"))->text(); }
    QImage shownPicture()
    {
        const QPixmap &shown = qobject_cast<QLabel *>(control("Image1"))->pixmap();
        return shown.toImage().convertToFormat(QImage::Format_RGB32);
    }
    QString pictureFile(QChar letter) const;
    QSize mark(QChar letter) const;
    void act(const QString &step);

    std::unique_ptr<QTemporaryDir> m_folder;
    std::vector<RuntimeError> m_errors;
};

void tst_EnglishWindow::initTestCase()
{
    setErrorReporter([this](const RuntimeError &error) { m_errors.push_back(error); });
    setEndHandler([](int) { qFatal("the lesson ended the program"); });
}

void tst_EnglishWindow::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    QVERIFY(QDir().mkpath(m_folder->path() + QStringLiteral("/images")));
    const QDir source(QStringLiteral(QUORBEL_SOURCE_IMAGES));
    for (const QString &file : source.entryList({QStringLiteral("*.jpg")}, QDir::Files))
        QVERIFY(QFile::copy(source.filePath(file), pictureFile(file.at(0))));
    App::setPath(m_folder->path());
    installProject(testProject()); // a fresh instance for every test
    m_errors.clear();
    lesson().Show();
    QVERIFY(QTest::qWaitForWindowActive(lesson().window()));
}

void tst_EnglishWindow::cleanup()
{
    lesson().Unload();
    App::setPath(QString());
    m_folder.reset();
    if (!QTest::currentTestFailed() && !m_errors.empty())
        QFAIL(qPrintable(m_errors.front().description()));
}

frmEnglishAlphabet &tst_EnglishWindow::lesson()
{
    return static_cast<frmEnglishAlphabet &>(instance("frmEnglishAlphabet"));
}

QString tst_EnglishWindow::pictureFile(QChar letter) const
{
    return m_folder->path() + QStringLiteral("/images/") + letter.toLower()
        + QStringLiteral(".jpg");
}

// Puts a picture unlike any card's in place of a letter's, sized by the letter, so the window is
// seen to read that very file again.
QSize tst_EnglishWindow::mark(QChar letter) const
{
    QImage marker(20 + letter.toUpper().unicode() - 'A', 30, QImage::Format_RGB32);
    marker.fill(Qt::cyan);
    QFile::remove(pictureFile(letter));
    return marker.save(pictureFile(letter), "JPG") ? marker.size() : QSize();
}

// A step names a move button, or else is the one key to type into the answer box.
void tst_EnglishWindow::act(const QString &step)
{
    if (step.startsWith(QStringLiteral("cmd"))) {
        QTest::mouseClick(control(qPrintable(step)), Qt::LeftButton);
    } else {
        control("txtAnswer")->setFocus();
        QTest::keyClick(lesson().window()->windowHandle(), step.at(0).toLatin1());
    }
}

void tst_EnglishWindow::steps_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("step");
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    const auto row = [](const char *tag, const QStringList &before, const char *step, Fault fault,
                        const char *letter, const char *word, const char *text, int code) {
        QTest::newRow(tag) << before << QString(step) << int(fault) << QString(letter)
                           << QString(word) << QString(text) << code;
    };
    const QString previous = "cmdMovePrevious", next = "cmdMoveNext", last = "cmdMoveLast";
    row("next_from_A_gives_B", {}, "cmdMoveNext", Sound, "B", "BOY", "B", 66);
    row("next_from_Y_gives_Z", {last, previous}, "cmdMoveNext", Sound, "Z", "ZEBRA", "Z", 90);
    row("next_on_Z_stays_Z", {last}, "cmdMoveNext", Sound, "Z", "ZEBRA", "Z", 90);
    row("previous_from_B_gives_A", {next}, "cmdMovePrevious", Sound, "A", "APPLE", "A", 65);
    row("previous_on_A_stays_A", {}, "cmdMovePrevious", Sound, "A", "APPLE", "A", 65);
    row("first_from_Z", {last}, "cmdMoveFirst", Sound, "A", "APPLE", "A", 65);
    row("last_from_B", {next}, "cmdMoveLast", Sound, "Z", "ZEBRA", "Z", 90);
    // Typing shows a card but leaves the box to the key and LetterCode where the buttons left it.
    row("lower_k_gives_KITE", {next}, "k", Sound, "K", "KITE", "qk", 66);
    row("upper_K_gives_KITE", {next}, "K", Sound, "K", "KITE", "qK", 66);
    row("lower_a_gives_APPLE", {next}, "a", Sound, "A", "APPLE", "qa", 66);
    row("upper_Z_gives_ZEBRA", {next}, "Z", Sound, "Z", "ZEBRA", "qZ", 66);
    row("digit_5_keeps_BOY", {next}, "5", Sound, "B", "BOY", "q5", 66);
    row("at_sign_64_keeps_BOY", {next}, "@", Sound, "B", "BOY", "q@", 66);
    row("backspace_keeps_BOY", {next}, "\b", Sound, "B", "BOY", "", 66);
    // A broken picture is reported and blanked; the card and the lesson go on.
    row("missing_on_next", {}, "cmdMoveNext", Missing, "B", "BOY", "B", 66);
    row("missing_on_last", {}, "cmdMoveLast", Missing, "Z", "ZEBRA", "Z", 90);
    row("cut_off_on_typed_key", {}, "k", CutOff, "K", "KITE", "qk", 65);
}

// Every step reads the shown card's picture afresh.
void tst_EnglishWindow::steps()
{
    QFETCH(QStringList, before);
    QFETCH(QString, step);
    QFETCH(int, fault);
    QFETCH(QString, letter);
    QFETCH(QString, word);
    QFETCH(QString, text);
    QFETCH(int, code);

    for (const QString &earlier : before)
        act(earlier);
    const QSize marker = mark(letter.at(0));
    QFile file(pictureFile(letter.at(0)));
    if (fault == Missing)
        QVERIFY(file.remove());
    if (fault == CutOff) {
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(file.size() / 2));
        file.close();
    }
    qobject_cast<QLineEdit *>(control("txtAnswer"))->setText(QStringLiteral("q"));

    act(step);
    QVERIFY(lesson().isLoaded());
    QCOMPARE(caption("lblNum1"), letter);
    QCOMPARE(caption("lblNum2"), word);
    QCOMPARE(answer(), text);
    QCOMPARE(int(lesson().letterCode()), code);
    if (fault == Sound) {
        QCOMPARE(shownPicture().size(), marker);
        return;
    }
    QCOMPARE(m_errors.size(), std::size_t(1));
    QVERIFY2(m_errors.front().description().contains(file.fileName()),
             qPrintable(m_errors.front().description()));
    QVERIFY(shownPicture().isNull());
    m_errors.clear();
    act(QStringLiteral("c"));
    QCOMPARE(shownPicture().size(), QImage(pictureFile(u'c')).size());
}

void tst_EnglishWindow::emptyPicturePathBlanksPicture()
{
    QVERIFY(!shownPicture().isNull()); // the layout's apple
    act(QStringLiteral("7"));
    QVERIFY(shownPicture().isNull());
    QCOMPARE(caption("lblNum2"), QStringLiteral("APPLE"));
}

void tst_EnglishWindow::reopeningShowsFirstCard()
{
    act(QStringLiteral("cmdMoveNext"));
    act(QStringLiteral("k"));
    lesson().window()->close();
    QVERIFY(!lesson().isLoaded());
    lesson().Show();
    QVERIFY(QTest::qWaitForWindowExposed(lesson().window()));

    QCOMPARE(lesson().window()->pos(), QPoint(1, 1)); // 10 twips
    QCOMPARE(caption("lblNum1"), QStringLiteral("A"));
    QCOMPARE(caption("lblNum2"), QStringLiteral("APPLE"));
    QCOMPARE(answer(), QString());
    QCOMPARE(int(lesson().letterCode()), 65);
    QCOMPARE(control("Image1")->geometry(), QRect(344, 176, 358, 357));
    QCOMPARE(shownPicture(),
             QImage(QStringLiteral(":/apple.jpg")).convertToFormat(QImage::Format_RGB32));

    // The last card's picture path outlives the window: a non-letter shows it beside "A".
    const QSize kite = mark(u'k');
    act(QStringLiteral("3"));
    QCOMPARE(shownPicture().size(), kite);
    QCOMPARE(caption("lblNum1"), QStringLiteral("A"));
}

void tst_EnglishWindow::marginClicks_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("at"); // in the client area
    QTest::addColumn<QStringList>("menu");
    QTest::addColumn<int>("accessKey"); // picks an item
    QTest::addColumn<QString>("opened");
    const QStringList items {"&Help", "-", "&About"};
    QTest::addRow("right_left_strip_picks_help")
        << Qt::RightButton << QPoint(10, 300) << items << int(Qt::Key_H) << "frmHelp";
    QTest::addRow("right_bottom_strip_picks_about")
        << Qt::RightButton << QPoint(500, 590) << items << int(Qt::Key_A) << "frmabout";
    QTest::addRow("left_left_strip")
        << Qt::LeftButton << QPoint(10, 300) << QStringList() << 0 << QString();
    QTest::addRow("middle_left_strip")
        << Qt::MiddleButton << QPoint(10, 300) << QStringList() << 0 << QString();
}

// A right click on the margin pops the menu up; the picked window is shown modally, and the
// click returns once it has closed.
void tst_EnglishWindow::marginClicks()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, at);
    QFETCH(QStringList, menu);
    QFETCH(int, accessKey);
    QFETCH(QString, opened);

    bool looked = false;
    QStringList seen;
    QObject scope; // no look after the test has returned
    QTimer::singleShot(0, &scope, [&] {
        looked = true;
        if (auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (const QAction *action : popup->actions())
                seen << (action->isSeparator() ? QStringLiteral("-") : action->text());
            if (accessKey)
                QTest::keyClick(popup, Qt::Key(accessKey));
            else
                popup->hide();
        }
    });
    QWidget *window = lesson().window();
    QTest::mouseClick(window->windowHandle(), button, {},
                      control("Frame1")->parentWidget()->mapTo(window, at));
    QTRY_VERIFY(looked);
    QCOMPARE(seen, menu);
    for (const char *name : {"frmHelp", "frmabout"})
        QCOMPARE(hasInstance(name), opened == QLatin1String(name));
    if (!opened.isEmpty()) {
        auto &shown = static_cast<StandIn &>(instance(qPrintable(opened)));
        QCOMPARE(shown.timesShown, 1);
        QVERIFY(shown.shownModal);
        QVERIFY(!shown.isLoaded());
    }
    QVERIFY(lesson().isLoaded());
}

void tst_EnglishWindow::tabOrder()
{
    QWindow *handle = lesson().window()->windowHandle();
    QCOMPARE(QApplication::focusWidget(), control("txtAnswer"));
    const char *cycle[]
        = {"cmdMoveFirst", "cmdMoveLast", "cmdMovePrevious", "cmdMoveNext", "txtAnswer"};
    for (const char *name : cycle) {
        QTest::keyClick(handle, Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), control(name));
    }
    QTest::keyClick(handle, Qt::Key_Backtab, Qt::ShiftModifier);
    QTRY_COMPARE(QApplication::focusWidget(), control("cmdMoveNext"));
}

void tst_EnglishWindow::windowLook()
{
    QWidget *window = lesson().window();
    QWidget *frame = control("Frame1");
    QWidget *client = frame->parentWidget();
    QCOMPARE(window->windowTitle(), QStringLiteral("English Alphabet"));
    QVERIFY(!window->windowIcon().isNull());
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(window->minimumSize(), window->maximumSize());

    const QMenuBar *bar = window->findChild<QMenuBar *>();
    QVERIFY(bar);
    for (const QAction *action : bar->actions())
        QVERIFY(!action->isVisible());
    QCOMPARE(client->size(), QSize(1117, 602));
    QCOMPARE(client->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(client->cursor().hotSpot(), QPoint(5, 0));
    QCOMPARE(frame->geometry(), QRect(24, 0, 1033, 577));
    QCOMPARE(frame->toolTip(), QStringLiteral("To See  Help Right Click out side the border. "));
    // The picture's top strip lies over the word's bottom strip.
    QCOMPARE(frame->childAt(QPoint(400, 180)), control("Image1"));

    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QImage shot = client->grab().toImage();
    QCOMPARE(shot.pixelColor(QPoint(10, 300)), DarkRed);
    QCOMPARE(shot.pixelColor(QPoint(1100, 300)), DarkRed);
}

void tst_EnglishWindow::controlLook_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect"); // in Frame1
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("face");
    QTest::addColumn<double>("points");
    QTest::addColumn<QColor>("fore"); // invalid: the usual
    QTest::addColumn<QColor>("back"); // as drawn
    const QString tnr = "Times New Roman";
    QTest::addRow("first_red") << "cmdMoveFirst" << QRect(872, 544, 33, 25) << "|<<"
                               << "Verdana" << 8.25 << QColor() << Red;
    QTest::addRow("previous_blue") << "cmdMovePrevious" << QRect(912, 544, 33, 25) << "<"
                                   << "Verdana" << 8.25 << QColor() << Blue;
    QTest::addRow("next_yellow") << "cmdMoveNext" << QRect(952, 544, 33, 25) << ">"
                                 << "Verdana" << 8.25 << QColor() << Yellow;
    QTest::addRow("last_green") << "cmdMoveLast" << QRect(992, 544, 33, 25) << ">>|"
                                << "Verdana" << 8.25 << QColor() << Green;
    QTest::addRow("answer_box_emptied")
        << "txtAnswer" << QRect(8, 488, 137, 81) << "" << tnr << 48.0 << Blue << Pink;
    QTest::addRow("letter") << "lblNum1" << QRect(16, 192, 217, 233) << "A" << tnr << 150.0
                            << Magenta << DarkRed;
    QTest::addRow("word") << "lblNum2" << QRect(8, 24, 1009, 161) << "APPLE" << tnr << 99.75
                          << Green << DarkRed;
}

void tst_EnglishWindow::controlLook()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    QFETCH(QString, text);
    QFETCH(QString, face);
    QFETCH(double, points);
    QFETCH(QColor, fore);
    QFETCH(QColor, back);

    QWidget *widget = control(qPrintable(name));
    QCOMPARE(widget->parentWidget(), control("Frame1"));
    QCOMPARE(widget->geometry(), rect);
    QCOMPARE(widget->property("text").toString(), text);
    QCOMPARE(widget->font().family(), installedFace(face));
    QCOMPARE(widget->font().pixelSize(), pointsToPixels(points));
    QCOMPARE(widget->font().weight(), QFont::Bold);
    if (fore.isValid())
        QCOMPARE(widget->palette().color(widget->foregroundRole()), fore);
    if (const QVariant alignment = widget->property("alignment"); alignment.isValid())
        QVERIFY(alignment.value<Qt::Alignment>() & Qt::AlignHCenter);

    QVERIFY(QTest::qWaitForWindowExposed(lesson().window()));
    const QImage frame = control("Frame1")->grab().toImage();
    QCOMPARE(frame.pixelColor(rect.topLeft() + QPoint(4, 4)), back);
}

QTEST_MAIN(tst_EnglishWindow)
#include "tst_englishwindow.moc"
