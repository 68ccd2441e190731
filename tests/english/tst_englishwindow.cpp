#include "lessons/english/frmenglishalphabet.h"
#include "lessons/english/lettercards.h"
#include "runtime/forms.h"
#include "runtime/units.h"

#include <QtTest>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <memory>
#include <vector>

using namespace forms;
using lessons::LetterCard;

namespace {

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

const FormDef &standInLayout(const char *name)
{
    static const FormDef help {.name = "frmHelp", .clientWidth = 3000, .clientHeight = 2000};
    static const FormDef about {.name = "frmabout", .clientWidth = 3000, .clientHeight = 2000};
    return std::string_view(name) == "frmHelp" ? help : about;
}

const ProjectDescription &testProject()
{
    static const ProjectDescription project {
        .name = "tst_englishwindow",
        .windowClasses = {
            {"frmEnglishAlphabet", [] { return std::make_unique<frmEnglishAlphabet>(); }},
            {"frmHelp", [] { return std::make_unique<StandIn>(standInLayout("frmHelp")); }},
            {"frmabout", [] { return std::make_unique<StandIn>(standInLayout("frmabout")); }},
        }};
    return project;
}

QImage rgb(const QImage &image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

bool holdsColor(const QImage &image, const QColor &color)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == color)
                return true;
        }
    }
    return false;
}

enum Fault { NoFolder, Truncated, ZeroBytes, Directory, Fifo };
enum Step { Next, Previous, First, Last, TypeK };

} // namespace

class tst_EnglishWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void moveButtonsShowEveryCard_data();
    void moveButtonsShowEveryCard();
    void typedKeyShowsCard_data();
    void typedKeyShowsCard();
    void endsOfRange_data();
    void endsOfRange();
    void typingLeavesLetterCode();
    void otherKeysRereadPicture_data();
    void otherKeysRereadPicture();
    void everyKeyAsciiRereadsPicture();
    void emptyPicturePathBlanksPicture();
    void reopeningShowsFirstCard();
    void marginClicks_data();
    void marginClicks();
    void menuOpensWindowModally_data();
    void menuOpensWindowModally();
    void tabOrder();
    void moveButtonLook_data();
    void moveButtonLook();
    void windowLook();
    void brokenPicture_data();
    void brokenPicture();

private:
    frmEnglishAlphabet &lesson();
    QWidget *control(const char *name);
    QString caption(const char *label);
    QString answer();
    QImage shownPicture();
    QString imagesFolder() const;
    QImage cardPicture(const QString &file) const;
    void putMarkerPicture(const QString &file, QSize size) const;
    void copyMissingImages() const;
    void press(const char *button);
    void type(char key);

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
    copyMissingImages();
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

void tst_EnglishWindow::cleanupTestCase()
{
    releaseInstances();
}

frmEnglishAlphabet &tst_EnglishWindow::lesson()
{
    return static_cast<frmEnglishAlphabet &>(instance("frmEnglishAlphabet"));
}

QWidget *tst_EnglishWindow::control(const char *name)
{
    return lesson().controlWidget(name);
}

QString tst_EnglishWindow::caption(const char *label)
{
    return qobject_cast<QLabel *>(control(label))->text();
}

QString tst_EnglishWindow::answer()
{
    return qobject_cast<QLineEdit *>(control("txtAnswer"))->text();
}

QImage tst_EnglishWindow::shownPicture()
{
    return rgb(qobject_cast<QLabel *>(control("Image1"))->pixmap().toImage());
}

QString tst_EnglishWindow::imagesFolder() const
{
    return m_folder->path() + QStringLiteral("/images");
}

QImage tst_EnglishWindow::cardPicture(const QString &file) const
{
    return rgb(QImage(imagesFolder() + u'/' + file));
}

// A picture unlike any card's, so the window is seen to read the file again.
void tst_EnglishWindow::putMarkerPicture(const QString &file, QSize size) const
{
    QImage marker(size, QImage::Format_RGB32);
    marker.fill(Qt::cyan);
    QFile::remove(imagesFolder() + u'/' + file);
    QVERIFY(marker.save(imagesFolder() + u'/' + file, "JPG"));
}

void tst_EnglishWindow::copyMissingImages() const
{
    QDir().mkpath(imagesFolder());
    const QDir source(QStringLiteral(QUORBEL_SOURCE_IMAGES));
    for (const QString &file : source.entryList({QStringLiteral("*.jpg")}, QDir::Files)) {
        if (!QFileInfo::exists(imagesFolder() + u'/' + file))
            QVERIFY(QFile::copy(source.filePath(file), imagesFolder() + u'/' + file));
    }
}

void tst_EnglishWindow::press(const char *button)
{
    QTest::mouseClick(control(button), Qt::LeftButton);
}

void tst_EnglishWindow::type(char key)
{
    control("txtAnswer")->setFocus();
    QTest::keyClick(lesson().window()->windowHandle(), key);
}

void tst_EnglishWindow::moveButtonsShowEveryCard_data()
{
    QTest::addColumn<int>("index");
    for (const LetterCard &card : lessons::letterCards())
        QTest::addRow("%s_%s", card.letter, card.word) << int(card.code) - 65;
}

void tst_EnglishWindow::moveButtonsShowEveryCard()
{
    QFETCH(int, index);
    const LetterCard &card = lessons::letterCards().at(std::size_t(index));

    press("cmdMoveFirst");
    for (int i = 0; i < index; ++i)
        press("cmdMoveNext");
    QCOMPARE(caption("lblNum1"), card.letter);
    QCOMPARE(caption("lblNum2"), card.word);
    QCOMPARE(answer(), card.letter);
    QCOMPARE(int(lesson().letterCode()), int(card.code));
    QCOMPARE(shownPicture(), cardPicture(card.pictureFile));

    press("cmdMoveLast");
    for (int i = index; i < 25; ++i)
        press("cmdMovePrevious");
    QCOMPARE(caption("lblNum1"), card.letter);
    QCOMPARE(caption("lblNum2"), card.word);
    QCOMPARE(answer(), card.letter);
    QCOMPARE(int(lesson().letterCode()), int(card.code));
    QCOMPARE(shownPicture(), cardPicture(card.pictureFile));
}

void tst_EnglishWindow::typedKeyShowsCard_data()
{
    QTest::addColumn<char>("key");
    QTest::addColumn<int>("index");
    for (const LetterCard &card : lessons::letterCards()) {
        const char upper = card.letter[0];
        const char lower = char(upper - 'A' + 'a');
        QTest::addRow("lower_%c_gives_%s", lower, card.word) << lower << int(card.code) - 65;
        QTest::addRow("upper_%c_gives_%s", upper, card.word) << upper << int(card.code) - 65;
    }
}

void tst_EnglishWindow::typedKeyShowsCard()
{
    QFETCH(char, key);
    QFETCH(int, index);
    const LetterCard &card = lessons::letterCards().at(std::size_t(index));

    type(key);
    QCOMPARE(caption("lblNum1"), card.letter);
    QCOMPARE(caption("lblNum2"), card.word);
    QCOMPARE(shownPicture(), cardPicture(card.pictureFile));
    QCOMPARE(answer(), QString(QChar(key))); // the key itself goes into the box
    QCOMPARE(int(lesson().letterCode()), 65);
}

void tst_EnglishWindow::endsOfRange_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("code");
    QTest::addRow("next_on_Z_stays_Z") << "cmdMoveLast"
                                       << "cmdMoveNext"
                                       << "Z"
                                       << "ZEBRA" << 90;
    QTest::addRow("previous_on_A_stays_A") << "cmdMoveFirst"
                                           << "cmdMovePrevious"
                                           << "A"
                                           << "APPLE" << 65;
    QTest::addRow("first_from_Z") << "cmdMoveLast"
                                  << "cmdMoveFirst"
                                  << "A"
                                  << "APPLE" << 65;
    QTest::addRow("first_from_B") << "cmdMoveNext"
                                  << "cmdMoveFirst"
                                  << "A"
                                  << "APPLE" << 65;
    QTest::addRow("last_from_B") << "cmdMoveNext"
                                 << "cmdMoveLast"
                                 << "Z"
                                 << "ZEBRA" << 90;
}

void tst_EnglishWindow::endsOfRange()
{
    QFETCH(QString, before);
    QFETCH(QString, button);
    QFETCH(QString, letter);
    QFETCH(QString, word);
    QFETCH(int, code);

    press(qPrintable(before));
    const QString file = letter.toLower() + QStringLiteral(".jpg");
    putMarkerPicture(file, QSize(40, 30));
    qobject_cast<QLineEdit *>(control("txtAnswer"))->setText(QStringLiteral("q"));

    press(qPrintable(button));
    QCOMPARE(caption("lblNum1"), letter);
    QCOMPARE(caption("lblNum2"), word);
    QCOMPARE(answer(), letter);
    QCOMPARE(int(lesson().letterCode()), code);
    QCOMPARE(shownPicture(), cardPicture(file));
    QCOMPARE(shownPicture().size(), QSize(40, 30));
    QCOMPARE(lesson().picturePath(),
             lessons::letterPicturePath(m_folder->path(), *lessons::letterCardByCode(code)));
}

void tst_EnglishWindow::typingLeavesLetterCode()
{
    type('k');
    QCOMPARE(caption("lblNum2"), QStringLiteral("KITE"));
    type('>');
    QCOMPARE(caption("lblNum1"), QStringLiteral("K"));
    press("cmdMoveNext");
    QCOMPARE(caption("lblNum1"), QStringLiteral("B"));
    QCOMPARE(caption("lblNum2"), QStringLiteral("BOY"));
    QCOMPARE(shownPicture(), cardPicture(QStringLiteral("b.jpg")));
}

void tst_EnglishWindow::otherKeysRereadPicture_data()
{
    QTest::addColumn<char>("key");
    QTest::addColumn<QString>("text");
    QTest::addRow("digit_5") << '5' << "B5";
    QTest::addRow("blank") << ' ' << "B ";
    QTest::addRow("at_sign_64") << '@' << "B@";
    QTest::addRow("left_bracket_91") << '[' << "B[";
    QTest::addRow("grave_96") << '`' << "B`";
    QTest::addRow("left_brace_123") << '{' << "B{";
    QTest::addRow("backspace_8") << '\b' << "";
    QTest::addRow("enter_13") << '\r' << "B";
}

void tst_EnglishWindow::otherKeysRereadPicture()
{
    QFETCH(char, key);
    QFETCH(QString, text);

    press("cmdMoveNext");
    putMarkerPicture(QStringLiteral("b.jpg"), QSize(50, 20));
    type(key);
    QCOMPARE(caption("lblNum1"), QStringLiteral("B"));
    QCOMPARE(caption("lblNum2"), QStringLiteral("BOY"));
    QCOMPARE(shownPicture().size(), QSize(50, 20));
    QCOMPARE(answer(), text);
    QCOMPARE(int(lesson().letterCode()), 66);
}

void tst_EnglishWindow::everyKeyAsciiRereadsPicture()
{
    lesson().cmdMoveFirst_Click();
    QChar current = u'A';
    for (int ascii = 0; ascii < 256; ++ascii) {
        const bool letter = (ascii >= 'A' && ascii <= 'Z') || (ascii >= 'a' && ascii <= 'z');
        if (letter)
            current = QChar(ascii).toUpper();
        const QSize marker(20 + ascii % 40, 20 + ascii / 40);
        putMarkerPicture(QString(current.toLower()) + QStringLiteral(".jpg"), marker);

        Integer keyAscii = ascii;
        lesson().txtAnswer_KeyPress(keyAscii);
        QCOMPARE(int(keyAscii), ascii);
        QCOMPARE(caption("lblNum1"), QString(current));
        QCOMPARE(shownPicture().size(), marker);
        QCOMPARE(int(lesson().letterCode()), 65);
    }
}

void tst_EnglishWindow::emptyPicturePathBlanksPicture()
{
    QVERIFY(!shownPicture().isNull()); // the layout's apple
    type('7');
    QVERIFY(shownPicture().isNull());
    QCOMPARE(caption("lblNum1"), QStringLiteral("A"));
    QCOMPARE(caption("lblNum2"), QStringLiteral("APPLE"));
    QVERIFY(lesson().picturePath().isEmpty());
}

void tst_EnglishWindow::reopeningShowsFirstCard()
{
    press("cmdMoveNext");
    type('k');
    const QString kitePath = lesson().picturePath();
    QVERIFY(kitePath.endsWith(QStringLiteral("k.jpg")));

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
    QCOMPARE(shownPicture(), rgb(QImage(QStringLiteral(":/apple.jpg"))));
    QCOMPARE(lesson().picturePath(), kitePath);

    type('3'); // the last card's picture comes back beside the layout's letter
    QCOMPARE(shownPicture(), cardPicture(QStringLiteral("k.jpg")));
    QCOMPARE(caption("lblNum1"), QStringLiteral("A"));
}

void tst_EnglishWindow::marginClicks_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("at"); // in the client area
    QTest::addColumn<QStringList>("menu");
    const QStringList items {"&Help", "-", "&About"};
    QTest::addRow("right_left_strip") << Qt::RightButton << QPoint(10, 300) << items;
    QTest::addRow("right_right_strip") << Qt::RightButton << QPoint(1100, 100) << items;
    QTest::addRow("right_bottom_strip") << Qt::RightButton << QPoint(500, 590) << items;
    QTest::addRow("right_on_frame") << Qt::RightButton << QPoint(600, 100) << QStringList();
    QTest::addRow("left_left_strip") << Qt::LeftButton << QPoint(10, 300) << QStringList();
    QTest::addRow("middle_left_strip") << Qt::MiddleButton << QPoint(10, 300) << QStringList();
}

void tst_EnglishWindow::marginClicks()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, at);
    QFETCH(QStringList, menu);

    bool looked = false;
    QStringList seen;
    QObject scope; // no look after the test has returned
    QTimer::singleShot(0, &scope, [&] {
        looked = true;
        if (auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (const QAction *action : popup->actions())
                seen << (action->isSeparator() ? QStringLiteral("-") : action->text());
            popup->hide();
        }
    });
    QWidget *client = control("Frame1")->parentWidget();
    QTest::mouseClick(lesson().window()->windowHandle(), button, {},
                      client->mapTo(lesson().window(), at));
    QTRY_VERIFY(looked);
    QCOMPARE(seen, menu);
    QVERIFY(!hasInstance("frmHelp"));
    QVERIFY(!hasInstance("frmabout"));
}

void tst_EnglishWindow::menuOpensWindowModally_data()
{
    QTest::addColumn<int>("accessKey");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("notOpened");
    QTest::addRow("help") << int(Qt::Key_H) << "frmHelp"
                          << "frmabout";
    QTest::addRow("about") << int(Qt::Key_A) << "frmabout"
                           << "frmHelp";
}

void tst_EnglishWindow::menuOpensWindowModally()
{
    QFETCH(int, accessKey);
    QFETCH(QString, opened);
    QFETCH(QString, notOpened);

    bool picked = false;
    QObject scope; // no look after the test has returned
    QTimer::singleShot(0, &scope, [&] {
        if (auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            QTest::keyClick(popup, Qt::Key(accessKey));
            picked = true;
        }
    });
    QWidget *client = control("Frame1")->parentWidget();
    QTest::mouseClick(lesson().window()->windowHandle(), Qt::RightButton, {},
                      client->mapTo(lesson().window(), QPoint(10, 300)));
    QVERIFY(picked);

    // The click returns once the modal window has closed.
    auto &window = static_cast<StandIn &>(instance(qPrintable(opened)));
    QCOMPARE(window.timesShown, 1);
    QVERIFY(window.shownModal);
    QVERIFY(!window.isLoaded());
    QVERIFY(!hasInstance(qPrintable(notOpened)));

    QVERIFY(lesson().isLoaded());
    press("cmdMoveNext");
    QCOMPARE(caption("lblNum2"), QStringLiteral("BOY"));
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
    for (int i = 3; i >= 0; --i) {
        QTest::keyClick(handle, Qt::Key_Backtab, Qt::ShiftModifier);
        QTRY_COMPARE(QApplication::focusWidget(), control(cycle[i]));
    }
}

void tst_EnglishWindow::moveButtonLook_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QColor>("face");
    QTest::addRow("first_red") << "cmdMoveFirst"
                               << "|<<" << QRect(872, 544, 33, 25) << QColor(255, 0, 0);
    QTest::addRow("previous_blue") << "cmdMovePrevious"
                                   << "<" << QRect(912, 544, 33, 25) << QColor(0, 0, 255);
    QTest::addRow("next_yellow") << "cmdMoveNext"
                                 << ">" << QRect(952, 544, 33, 25) << QColor(255, 255, 0);
    QTest::addRow("last_green") << "cmdMoveLast"
                                << ">>|" << QRect(992, 544, 33, 25) << QColor(0, 255, 0);
}

void tst_EnglishWindow::moveButtonLook()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QRect, rect);
    QFETCH(QColor, face);

    auto *button = qobject_cast<QPushButton *>(control(qPrintable(name)));
    QCOMPARE(button->parentWidget(), control("Frame1"));
    QCOMPARE(button->geometry(), rect);
    QCOMPARE(button->text(), text);
    QCOMPARE(button->font().family(), installedFace(QStringLiteral("Verdana")));
    QCOMPARE(button->font().pixelSize(), pointsToPixels(8.25));
    QCOMPARE(button->font().weight(), QFont::Bold);
    QVERIFY(!button->isDefault());

    QVERIFY(QTest::qWaitForWindowExposed(lesson().window()));
    const QImage frame = lesson().controlWidget("Frame1")->grab().toImage();
    QCOMPARE(frame.pixelColor(rect.topLeft() + QPoint(3, 3)), face);
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
    QVERIFY(bar && bar->height() > 0);
    for (const QAction *action : bar->actions())
        QVERIFY(!action->isVisible());
    QCOMPARE(client->size(), QSize(1117, 602));
    QVERIFY(client->y() >= bar->geometry().bottom());
    QCOMPARE(client->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(client->cursor().hotSpot(), QPoint(5, 0));

    QCOMPARE(frame->geometry(), QRect(24, 0, 1033, 577));
    QCOMPARE(frame->toolTip(), QStringLiteral("To See  Help Right Click out side the border. "));

    auto *box = qobject_cast<QLineEdit *>(control("txtAnswer"));
    QCOMPARE(box->geometry(), QRect(8, 488, 137, 81));
    QCOMPARE(box->font().pixelSize(), pointsToPixels(48));
    QCOMPARE(box->palette().color(QPalette::Base), QColor(255, 192, 192));
    QCOMPARE(box->palette().color(QPalette::Text), QColor(0, 0, 255));

    auto *word = qobject_cast<QLabel *>(control("lblNum2"));
    auto *letter = qobject_cast<QLabel *>(control("lblNum1"));
    QCOMPARE(word->geometry(), QRect(8, 24, 1009, 161));
    QCOMPARE(letter->geometry(), QRect(16, 192, 217, 233));
    QCOMPARE(word->font().pixelSize(), pointsToPixels(99.75));
    QCOMPARE(letter->font().pixelSize(), pointsToPixels(150));
    for (QLabel *label : {word, letter}) {
        QCOMPARE(label->font().family(), installedFace(QStringLiteral("Times New Roman")));
        QCOMPARE(label->font().weight(), QFont::Bold);
        QVERIFY(label->alignment() & Qt::AlignHCenter);
        QCOMPARE(label->palette().color(QPalette::Window), QColor(102, 4, 4));
    }
    QCOMPARE(word->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    QCOMPARE(letter->palette().color(QPalette::WindowText), QColor(255, 0, 255));
    // The picture's top strip lies over the word's bottom strip.
    QCOMPARE(frame->childAt(QPoint(400, 180)), control("Image1"));

    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QImage shot = client->grab().toImage();
    QCOMPARE(shot.pixelColor(QPoint(10, 300)), QColor(102, 4, 4));
    QCOMPARE(shot.pixelColor(QPoint(1100, 300)), QColor(102, 4, 4));
    QCOMPARE(shot.pixelColor(box->geometry().topLeft() + frame->pos() + QPoint(12, 12)),
             QColor(255, 192, 192));
    QVERIFY(holdsColor(letter->grab().toImage(), QColor(255, 0, 255)));
    QVERIFY(holdsColor(word->grab().toImage(), QColor(0, 255, 0)));
}

void tst_EnglishWindow::brokenPicture_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    QTest::addRow("images_folder_removed_next") << int(NoFolder) << int(Next) << "B"
                                                << "BOY"
                                                << "B" << 66;
    QTest::addRow("images_folder_removed_typed_key") << int(NoFolder) << int(TypeK) << "K"
                                                     << "KITE"
                                                     << "k" << 65;
    QTest::addRow("truncated_jpeg_typed_key") << int(Truncated) << int(TypeK) << "K"
                                              << "KITE"
                                              << "k" << 65;
    QTest::addRow("zero_byte_file_last") << int(ZeroBytes) << int(Last) << "Z"
                                         << "ZEBRA"
                                         << "Z" << 90;
    QTest::addRow("directory_named_like_picture_first") << int(Directory) << int(First) << "A"
                                                        << "APPLE"
                                                        << "A" << 65;
    QTest::addRow("fifo_named_like_picture_previous") << int(Fifo) << int(Previous) << "Y"
                                                      << "YACHT"
                                                      << "Y" << 89;
}

void tst_EnglishWindow::brokenPicture()
{
    QFETCH(int, fault);
    QFETCH(int, step);
    QFETCH(QString, letter);
    QFETCH(QString, word);
    QFETCH(QString, text);
    QFETCH(int, code);

    // Stand on a neighbouring card, so the step shows a new one.
    if (step == First)
        press("cmdMoveNext");
    if (step == Previous)
        press("cmdMoveLast");
    QVERIFY(m_errors.empty());

    const QString path = imagesFolder() + u'/' + letter.toLower() + QStringLiteral(".jpg");
    QFile file(path);
    switch (Fault(fault)) {
    case NoFolder:
        QVERIFY(QDir(imagesFolder()).removeRecursively());
        break;
    case Truncated: {
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(file.size() / 2));
        file.close();
        break;
    }
    case ZeroBytes:
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.close();
        break;
    case Directory:
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));
        break;
    case Fifo:
        QVERIFY(QFile::remove(path));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        break;
    }

    switch (Step(step)) {
    case Next:
        press("cmdMoveNext");
        break;
    case Previous:
        press("cmdMovePrevious");
        break;
    case First:
        press("cmdMoveFirst");
        break;
    case Last:
        press("cmdMoveLast");
        break;
    case TypeK:
        type('k');
        break;
    }
    QVERIFY(lesson().isLoaded());
    QCOMPARE(caption("lblNum1"), letter);
    QCOMPARE(caption("lblNum2"), word);
    QCOMPARE(answer(), text);
    QCOMPARE(int(lesson().letterCode()), code);
    const LetterCard *shown = lessons::letterCardByKey(letter.at(0).unicode());
    QCOMPARE(lesson().picturePath(), lessons::letterPicturePath(m_folder->path(), *shown));

    QCOMPARE(m_errors.size(), std::size_t(1));
    QVERIFY2(m_errors.front().description().contains(path),
             qPrintable(m_errors.front().description()));
    QVERIFY(shownPicture().isNull());
    m_errors.clear();

    copyMissingImages();
    type('c');
    QCOMPARE(caption("lblNum2"), QStringLiteral("CAT"));
    QCOMPARE(shownPicture(), cardPicture(QStringLiteral("c.jpg")));
}

QTEST_MAIN(tst_EnglishWindow)
#include "tst_englishwindow.moc"
