// Card changes in the English lesson, on the offscreen platform.
//   switch: key press in the answer box to card painted, against a bare Qt floor doing the same
//           work (texts, a JPEG decoded from disk, a repaint), interleaved in one run;
//   soak:   resident memory growth over many card changes and many openings and closings.
//
// usage: quorbel-bench-cardswitch switch|soak [program-folder holding images/]

#include "lessons/english/frmenglishalphabet.h"
#include "runtime/bigtext_p.h" // the glyph cache's figures
#include "runtime/forms.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontDatabase>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int Letters = 26;
constexpr int Presses = 1000;
constexpr int SoakWarmUpChanges = 300;
constexpr int SoakChanges = 10000;
constexpr int SoakWarmUpOpenings = 30;
constexpr int SoakOpenings = 500;
constexpr double TargetP99Ms = 4.0;
constexpr double TargetP99Ratio = 1.5;
constexpr long TargetGrowthKiB = 1024;

const char *const Words[Letters] = {
    "APPLE", "BOY",   "CAT",      "DOG",   "ELEPHANT",   "FISH",       "GRAPES",  "HORSE", "INKPOT",
    "JEEP",  "KITE",  "LION",     "MANGO", "NEST",       "OWL",        "PEACOCK", "QUEEN", "ROSE",
    "SHIP",  "TIGER", "UMBRELLA", "VAN",   "WATERMELON", "X-MAS TREE", "YACHT",   "ZEBRA"};

QtMessageHandler qtMessages = nullptr;

// The offscreen platform cannot raise a window and says so at every Show.
void withoutRaiseWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message != QLatin1String("This plugin does not support raise()"))
        qtMessages(type, context, message);
}

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "cardswitch: %s\n", what);
    std::exit(1);
}

QFont cardFont(int pixels)
{
    static const QString face = QFontDatabase::hasFamily(QStringLiteral("Times New Roman"))
        ? QStringLiteral("Times New Roman")
        : QStringLiteral("Liberation Serif");
    QFont font(face);
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

void colour(QWidget *widget, QColor back, QColor fore)
{
    QPalette palette = widget->palette();
    palette.setColor(widget->backgroundRole(), back);
    palette.setColor(widget->foregroundRole(), fore);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// The floor: the lesson's labels, answer box and picture in bare Qt, at the same places.
class FloorWindow : public QWidget
{
public:
    explicit FloorWindow(const QString &imagesFolder)
        : m_images(imagesFolder)
    {
        const QColor darkRed(102, 4, 4);
        colour(this, darkRed, Qt::white);
        setFixedSize(1117, 602);
        m_word.setGeometry(32, 24, 1009, 161);
        m_letter.setGeometry(40, 192, 217, 233);
        m_picture.move(368, 176);
        m_answer.setGeometry(32, 488, 137, 81);
        m_word.setFont(cardFont(133));
        m_letter.setFont(cardFont(200));
        m_answer.setFont(cardFont(64));
        colour(&m_word, darkRed, Qt::green);
        colour(&m_letter, darkRed, Qt::magenta);
        colour(&m_answer, QColor(255, 192, 192), Qt::blue);
        for (QLabel *label : {&m_word, &m_letter}) {
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            label->setWordWrap(true);
        }
        m_answer.setAlignment(Qt::AlignCenter);
        m_picture.raise(); // the picture covers the word's bottom strip
        m_answer.onKey = [this](QKeyEvent *event) { showCard(event); };
    }

    QLineEdit *answer() { return &m_answer; }

private:
    struct Answer : QLineEdit
    {
        using QLineEdit::QLineEdit;
        std::function<void(QKeyEvent *)> onKey;
        void keyPressEvent(QKeyEvent *event) override
        {
            onKey(event);
            QLineEdit::keyPressEvent(event);
        }
    };

    void showCard(QKeyEvent *event)
    {
        const QString key = event->text().toUpper();
        if (key.size() == 1 && key[0] >= u'A' && key[0] <= u'Z') {
            const int index = key[0].unicode() - u'A';
            m_letter.setText(key);
            m_word.setText(QString::fromLatin1(Words[index]));
            m_path = m_images + QChar(u'a' + index) + QStringLiteral(".jpg");
        }
        QImageReader reader(m_path);
        const QPixmap pixmap = QPixmap::fromImage(reader.read());
        if (pixmap.isNull())
            fail("the floor cannot read its picture");
        m_picture.setPixmap(pixmap);
        m_picture.resize(pixmap.size());
    }

    QString m_images;
    QString m_path;
    QLabel m_word {this};
    QLabel m_letter {this};
    QLabel m_picture {this};
    Answer m_answer {this};
};

void clearAndSettle(QWidget *answer)
{
    // A fresh box for each cycle of letters; setText also drops the undo history.
    static_cast<QLineEdit *>(answer)->setText(QString());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

qint64 pressAndPaint(QWidget *answer, char key)
{
    auto *box = static_cast<QLineEdit *>(answer);
    const qsizetype typed = box->text().size();
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(answer, key);
    // With a screen reader listening, Qt first hands each key to the accessibility registry and
    // delivers it once the registry answers: the key counts from its press to its arrival.
    while (box->text().size() == typed) {
        if (timer.elapsed() > 2000)
            fail("a typed key never reached the answer box");
        QCoreApplication::processEvents();
    }
    answer->window()->repaint();
    return timer.nsecsElapsed();
}

// The answer box paints its caret and focus frame only while its window is active.
void focus(QWidget *answer)
{
    answer->window()->activateWindow();
    answer->setFocus();
    if (!QTest::qWaitForWindowActive(answer->window()) || QApplication::focusWidget() != answer)
        fail("the answer box did not take the focus");
}

void pressCycle(QWidget *answer, int count, std::vector<qint64> *times = nullptr)
{
    focus(answer);
    for (int i = 0; i < count; ++i) {
        const qint64 ns = pressAndPaint(answer, char('a' + i % Letters));
        if (times)
            times->push_back(ns);
    }
    clearAndSettle(answer);
}

double percentileMs(std::vector<qint64> times, double p)
{
    std::sort(times.begin(), times.end());
    const auto rank = std::size_t(std::max(1.0, std::ceil(p * double(times.size()))));
    return double(times[rank - 1]) / 1e6;
}

const char *verdict(bool pass)
{
    return pass ? "PASS" : "OVER";
}

QWidget *showLesson(frmEnglishAlphabet &form)
{
    form.Show(forms::vbModeless);
    if (!QTest::qWaitForWindowExposed(form.window()))
        fail("the lesson window was never exposed");
    QWidget *answer = form.controlWidget("txtAnswer");
    if (!qobject_cast<QLineEdit *>(answer))
        fail("the lesson window has no answer box");
    return answer;
}

int runSwitch(const QString &folder)
{
    frmEnglishAlphabet form;
    QWidget *answer = showLesson(form);
    FloorWindow floor(folder + QStringLiteral("/images/"));
    // Side by side: on an X server a window hidden behind another is not painted at all.
    floor.move(form.window()->frameGeometry().right() + 1, 0);
    floor.show();
    if (!QTest::qWaitForWindowExposed(&floor))
        fail("the floor window was never exposed");
    if (!form.window()->windowHandle()->isExposed())
        fail("the floor window hides the lesson");

    pressCycle(answer, Letters);
    pressCycle(floor.answer(), Letters);
    std::vector<qint64> lesson, bare;
    for (int done = 0; done < Presses; done += Letters) {
        const int count = std::min(Letters, Presses - done);
        pressCycle(answer, count, &lesson);
        pressCycle(floor.answer(), count, &bare);
    }

    const double p50 = percentileMs(lesson, 0.50), p99 = percentileMs(lesson, 0.99);
    const double f50 = percentileMs(bare, 0.50), f99 = percentileMs(bare, 0.99);
    std::printf("Key press to card painted, %d presses a..z each, %s, scale %g%s\n", Presses,
                qPrintable(QGuiApplication::platformName()), qApp->devicePixelRatio(),
                QAccessible::isActive() ? ", accessibility on" : "");
    std::printf("%-20s %9s %9s\n", "", "p50 ms", "p99 ms");
    std::printf("%-20s %9.3f %9.3f\n", "frmEnglishAlphabet", p50, p99);
    std::printf("%-20s %9.3f %9.3f\n", "bare Qt floor", f50, f99);
    std::printf("p99 %.3f ms  (target <= %.0f ms: %s)\n", p99, TargetP99Ms,
                verdict(p99 <= TargetP99Ms));
    std::printf("p99 / p99 floor %.3f  (target <= %.1f: %s)\n", p99 / f99, TargetP99Ratio,
                verdict(p99 / f99 <= TargetP99Ratio));
    const qsizetype cached = forms::glyphCacheBytes();
    std::printf("glyph cache %.1f MiB, %lld glyphs drawn  (bound %.0f MiB: %s)\n",
                double(cached) / 1048576.0, static_cast<long long>(forms::glyphsRasterized()),
                double(forms::GlyphCacheBudget) / 1048576.0,
                verdict(cached <= forms::GlyphCacheBudget));
    return 0;
}

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    fail("no VmRSS in /proc/self/status");
}

void changeCards(QWidget *answer, int count)
{
    for (int done = 0; done < count; done += Letters)
        pressCycle(answer, std::min(Letters, count - done));
}

void openAndClose(frmEnglishAlphabet &form, int count)
{
    for (int i = 0; i < count; ++i) {
        showLesson(form);
        QPointer<QWidget> window = form.window();
        window->repaint();
        form.Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        if (window)
            fail("an unloaded window was not destroyed");
    }
}

void printGrowth(const char *what, long before, long after)
{
    const long growth = after - before;
    std::printf("%-34s %8ld -> %8ld KiB  growth %6ld KiB  (target <= %ld KiB: %s)\n", what, before,
                after, growth, TargetGrowthKiB, verdict(growth <= TargetGrowthKiB));
}

int runSoak()
{
    frmEnglishAlphabet form;
    QWidget *answer = showLesson(form);
    changeCards(answer, SoakWarmUpChanges);
    const long cardsBefore = residentKiB();
    changeCards(answer, SoakChanges);
    const long cardsAfter = residentKiB();
    form.Unload();

    openAndClose(form, SoakWarmUpOpenings);
    const long windowsBefore = residentKiB();
    openAndClose(form, SoakOpenings);
    const long windowsAfter = residentKiB();

    std::printf("Resident memory (VmRSS), offscreen\n");
    printGrowth(qPrintable(QStringLiteral("%1 card changes").arg(SoakChanges)), cardsBefore,
                cardsAfter);
    printGrowth(qPrintable(QStringLiteral("%1 openings and closings").arg(SoakOpenings)),
                windowsBefore, windowsAfter);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qtMessages = qInstallMessageHandler(withoutRaiseWarnings);
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    const QStringList arguments = QCoreApplication::arguments();
    const QString mode = arguments.value(1);
    const QString folder = arguments.value(2, QStringLiteral(QUORBEL_BUILD_DIR));
    if (mode != QLatin1String("switch") && mode != QLatin1String("soak")) {
        std::fprintf(stderr, "usage: quorbel-bench-cardswitch switch|soak [program-folder]\n");
        return 2;
    }
    if (!QFileInfo::exists(folder + QStringLiteral("/images/a.jpg")))
        fail(qPrintable(QStringLiteral("no card pictures in %1/images").arg(folder)));
    forms::App::setPath(folder);
    forms::setErrorReporter([](const forms::RuntimeError &error) {
        std::fprintf(stderr, "cardswitch: %s\n", qPrintable(error.message()));
    });
    return mode == QLatin1String("switch") ? runSwitch(folder) : runSoak();
}
