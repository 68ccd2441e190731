#include "lessons/english/frmenglishalphabet.h"
#include "lessons/number/frmnumber.h"
#include "lessons/spokencards.h"
#include "runtime/forms.h"
#include "runtime/sound_p.h"

#include <QtTest>

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <unistd.h>

using namespace forms;

namespace {

// Captures what the program writes to standard error while it lives.
class StandardError
{
public:
    StandardError()
    {
        std::fflush(stderr);
        m_saved = ::dup(2);
        ::dup2(m_file.open() ? int(m_file.handle()) : 2, 2);
    }
    ~StandardError() { restore(); }
    QString text()
    {
        restore();
        m_file.seek(0);
        return QString::fromLocal8Bit(m_file.readAll());
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
        m_saved = -1;
    }
    QTemporaryFile m_file;
    int m_saved = -1;
};

// Opens a lesson and takes steps: ">" "<" "F" (first) "L" (last) move; any other character is
// typed.
Form &showAfter(const QString &window, const QString &steps)
{
    Form &form = instance(window.toLatin1().constData());
    form.Show();
    const char *const buttons[] = {"cmdMoveNext", "cmdMovePrevious", "cmdMoveFirst", "cmdMoveLast"};
    for (const QChar step : steps) {
        if (const int button = QStringLiteral("><FL").indexOf(step);
            button >= 0 && window == "frmEnglishAlphabet")
            QTest::mouseClick(form.controlWidget(buttons[button]), Qt::LeftButton);
        else
            QTest::keyClick(form.controlWidget("txtAnswer"), step.toLatin1());
    }
    return form;
}

// What the lesson shows, the card its buttons chose and the control that has the keys.
QStringList seen(Form &form)
{
    QStringList shown;
    for (const char *name : {"lblNum1", "lblNum2", "txtAnswer"})
        shown << form.controlWidget(name)->property("text").toString();
    if (auto *image = qobject_cast<QLabel *>(form.controlWidget("Image1")))
        shown << QString::number(image->pixmap().cacheKey());
    if (auto *english = dynamic_cast<frmEnglishAlphabet *>(&form))
        shown << QString::number(english->letterCode());
    return shown << QString::number(quintptr(form.window()->focusWidget()));
}

} // namespace

class tst_Speech : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        // Silent: no sound server of the machine's is reached, nor started.
        qputenv("PULSE_SERVER", "unix:" + home.filePath("none").toUtf8());
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
        installProject(
            {.name = "tst_speech",
             .dataFolder = "tst-speech",
             .windowClasses = {
                 {"frmEnglishAlphabet", [] { return std::make_unique<frmEnglishAlphabet>(); }},
                 {"frmNumber", [] { return std::make_unique<frmNumber>(); }},
             }});
        setErrorReporter([this](const RuntimeError &error) { errors << error.message(); });
        App::setPath(QStringLiteral(QUORBEL_SOURCE_IMAGES "/.."));
    }
    void cleanup()
    {
        setSoundPlayer({});
        releaseInstances();
        errors.clear();
    }

    void spokenTable()
    {
        const auto &cards = lessons::spokenCards();
        QCOMPARE(cards.size(), 36u);
        QCOMPARE(lessons::spokenLetter("X")->text, "X. Christmas tree.");
        QCOMPARE(lessons::spokenLetter("I")->text, "I. Ink pot.");
        QCOMPARE(lessons::spokenNumber("10")->clip, "10.wav");
        QCOMPARE(lessons::spokenNumber("1")->clip, "1.wav");
        QVERIFY(!lessons::spokenLetter("AB") && !lessons::spokenNumber("0"));
    }

    // Steps as showAfter takes them.
    void cardsSpeak_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QStringList>("clips");
        const QString english = QStringLiteral("frmEnglishAlphabet");
        const QString number = QStringLiteral("frmNumber");
        QTest::addRow("opening says A") << english << "" << QStringList {"a"};
        QTest::addRow("every move says its card")
            << english << "><LF" << QStringList {"a", "b", "a", "z", "a"};
        QTest::addRow("ends say their card again")
            << english << "<FL>" << QStringList {"a", "a", "a", "z", "z"};
        QTest::addRow("either case, the same card too")
            << english << "kKa" << QStringList {"a", "k", "k", "a"};
        QTest::addRow("keys with no card say nothing") << english << "1[`{@\b" << QStringList {"a"};
        QTest::addRow("number opening says one") << number << "" << QStringList {"1"};
        QTest::addRow("digits say their number, 0 says ten")
            << number << "7077" << QStringList {"1", "7", "10", "7", "7"};
        QTest::addRow("other keys say nothing") << number << "a/\b" << QStringList {"1"};
    }
    void cardsSpeak()
    {
        QFETCH(QString, window);
        QFETCH(QString, steps);
        QFETCH(QStringList, clips);
        QStringList heard;
        setSoundPlayer([&heard](const QString &path) {
            QVERIFY2(path.startsWith(App::Path() + QStringLiteral("/sounds/")), qPrintable(path));
            heard << QFileInfo(path).completeBaseName();
        });
        showAfter(window, steps);
        QCOMPARE(heard, clips);
    }

    // A left click on the card, or Space or Enter in the answer box, asks again for the clip of
    // the card shown (a typed letter's, not LetterCode's) and changes nothing seen; a right
    // click says nothing.
    void sayAgain_data()
    {
        QTest::addColumn<QString>("again"); // a control clicked ("right ": so), or a key typed
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("steps"); // before, as showAfter takes them
        const QString english = QStringLiteral("frmEnglishAlphabet");
        const QString number = QStringLiteral("frmNumber");
        QTest::addRow("click on the picture") << "Image1" << english << ">k";
        QTest::addRow("click on the letter") << "lblNum1" << english << "k>";
        QTest::addRow("click on the word") << "lblNum2" << english << "";
        QTest::addRow("space") << " " << english << ">k";
        QTest::addRow("enter") << "\r" << english << "kL";
        QTest::addRow("right click on the picture") << "right Image1" << english << "k";
        QTest::addRow("click on the numeral") << "lblNum1" << number << "7";
        QTest::addRow("click on the number's word") << "lblNum2" << number << "0";
        QTest::addRow("space in the number box") << " " << number << "3";
        QTest::addRow("enter in the number box") << "\r" << number << "";
        QTest::addRow("right click on the numeral") << "right lblNum1" << number << "5";
    }
    void sayAgain()
    {
        QFETCH(QString, again);
        QFETCH(QString, window);
        QFETCH(QString, steps);
        QStringList heard;
        setSoundPlayer([&heard](const QString &path) { heard << path; });
        Form &form = showAfter(window, steps);
        QVERIFY(QTest::qWaitForWindowActive(form.window()));
        form.controlWidget("txtAnswer")->setFocus();
        const bool right = again.startsWith("right ");
        const QStringList before = seen(form);
        const QStringList clips = right ? heard : heard + QStringList {heard.last()};
        if (QWidget *control = form.controlWidget(again.section(u' ', -1).toLatin1().constData()))
            QTest::mouseClick(form.window()->windowHandle(),
                              right ? Qt::RightButton : Qt::LeftButton, {},
                              control->mapTo(form.window(), control->rect().center()));
        else
            QTest::keyClick(form.controlWidget("txtAnswer"), again.at(0).toLatin1());
        QCOMPARE(heard, clips);
        QCOMPARE(seen(form), before);
    }

    // A parent's own clip that is missing or damaged leaves its card silent, named once on
    // standard error, with no message and the card shown as before.
    void badClipStaysSilent_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("problem");
        QByteArray wav(
            "RIFF\0\0\0\0WAVEfmt "
            "\x10\0\0\0\x01\0\x01\0\x22\x56\0\0\x44\xac\0\0\x02\0\x10\0data\x04\0\0\0\0\0\0\0",
            48);
        QTest::addRow("missing") << QByteArray() << "File not found";
        QTest::addRow("empty") << QByteArray("") << "not a sound file";
        QTest::addRow("a picture") << QByteArray("\xFF\xD8\xFF\xE0", 4) << "not a sound file";
        QTest::addRow("text") << QByteArray("RIFF, said the parent\n") << "not a sound file";
        QTest::addRow("cut off") << wav.left(46) << "the file is cut off";
        QTest::addRow("only silence") << wav << "no sound in it";
        QTest::addRow("float samples") << QByteArray(wav)
                                              .replace(20, 2, QByteArray("\x03\0", 2))
                                              .replace(32, 4, QByteArray("\x04\0\x20\0", 4))
                                              .replace(44, 4, QByteArray("\0\0\0\x3f", 4))
                                       << "";
        QTest::addRow("sound") << QByteArray(wav).replace(44, 4, QByteArray("\0\x40\0\xc0", 4))
                               << "";
    }
    void badClipStaysSilent()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problem);
        ClipSamples samples;
        if (const QString said = readClip(bytes, samples); !bytes.isNull())
            QVERIFY2(problem.isEmpty() ? said.isEmpty() : said.startsWith(problem),
                     qPrintable(said));
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkpath("sounds"));
        QVERIFY(QDir(folder.path()).mkpath("images"));
        for (const QFileInfo &card :
             QDir(QStringLiteral(QUORBEL_SOURCE_IMAGES)).entryInfoList(QDir::Files))
            QVERIFY(QFile::copy(card.filePath(), folder.filePath("images/" + card.fileName())));
        App::setPath(folder.path());
        QFile clip(folder.filePath("sounds/k.wav"));
        if (!bytes.isNull())
            QVERIFY(clip.open(QIODevice::WriteOnly) && clip.write(bytes) == bytes.size());
        clip.close();
        Form &form = instance("frmEnglishAlphabet");
        form.Show();
        StandardError standardError;
        QTest::keyClicks(form.controlWidget("txtAnswer"), "kk");
        QVERIFY(settleSound(10000));
        const QStringList lines
            = standardError.text().split(u'\n', Qt::SkipEmptyParts).filter("k.wav");
        App::setPath(QStringLiteral(QUORBEL_SOURCE_IMAGES "/.."));
        QCOMPARE(qobject_cast<QLineEdit *>(form.controlWidget("txtAnswer"))->text(), "kk");
        QCOMPARE(lines.size(), problem.isEmpty() ? 0 : 1);
        if (!problem.isEmpty())
            QVERIFY2(lines[0].contains(clip.fileName()) && lines[0].contains(problem),
                     qPrintable(lines[0]));
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(u';')));
    }

    // A parent's recording in the user's data folder wins over the program's clip of the same
    // card, in any format; the other cards keep theirs, and the player is told the file it plays.
    void homeRecordingWins()
    {
        const QString mine = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
            + "/tst-speech/sounds/";
        QVERIFY(QDir().mkpath(mine) && QFile(mine + "k.opus").open(QIODevice::WriteOnly));
        QStringList heard;
        setSoundPlayer([&heard](const QString &path) { heard << path; });
        Form &form = instance("frmEnglishAlphabet");
        form.Show();
        QTest::keyClicks(form.controlWidget("txtAnswer"), "kb");
        QFile::remove(mine + "k.opus");
        const QString shipped = App::Path() + "/sounds/";
        QCOMPARE(heard, QStringList({shipped + "a.wav", mine + "k.opus", shipped + "b.wav"}));
    }

    // Recordings made up here (a tone between half seconds of quiet, quiet or loud, stereo 44.1
    // kHz, in each format) play at the shipped clips' loudness, never clipped, from their first
    // sound to their last; a damaged one says why.
    void recordings_data()
    {
        QTest::addColumn<QString>("make"); // a shell command that makes clip.* from nothing
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("problem");
        const QString tone
            = "sox -n -r 44100 -c 2 %1 tone.wav synth 1 sine 440 vol %2 pad 0.5 0.5 && ";
        QTest::addRow("quiet WAV 24-bit")
            << tone.arg("-b 24", "0.01") + "mv tone.wav clip.wav" << 1.0 << "";
        QTest::addRow("loud WAV float")
            << tone.arg("-e floating-point -b 32", "0.99") + "mv tone.wav clip.wav" << 1.0 << "";
        QTest::addRow("FLAC") << tone.arg("-b 16", "0.3") + "sox tone.wav clip.flac" << 1.0 << "";
        QTest::addRow("Ogg") << tone.arg("-b 16", "0.3") + "sox tone.wav clip.ogg" << 1.0 << "";
        QTest::addRow("Opus") << tone.arg("-b 16", "0.3") + "opusenc --quiet tone.wav clip.opus"
                              << 1.0 << "";
        QTest::addRow("MP3") << tone.arg("-b 16", "0.3") + "sox tone.wav clip.mp3" << 1.0 << "";
        QTest::addRow("8-bit mono 8 kHz")
            << "sox -n -r 8000 -b 8 clip.wav synth 1 sine 440 vol 0.9 pad 0.5 0.5" << 1.0 << "";
        QTest::addRow("a click before a tone") << tone.arg("-b 16", "0.1")
                + "sox -n -r 44100 -c 2 click.wav synth 0.005 sine 440 vol 0.9 && "
                  "sox click.wav tone.wav clip.wav"
                                               << 1.5 << "";
        QTest::addRow("cut-off FLAC") << tone.arg("-b 16", "0.3")
                + "sox tone.wav whole.flac && head -c 30000 whole.flac > clip.flac"
                                      << 0.0 << "the sound is damaged";
        QTest::addRow("silence") << "sox -n -r 44100 clip.wav trim 0 1" << 0.0 << "no sound in it";
    }
    void recordings()
    {
        QFETCH(QString, make);
        QFETCH(double, seconds);
        QFETCH(QString, problem);
        if (QStandardPaths::findExecutable("sox").isEmpty()
            || QStandardPaths::findExecutable("opusenc").isEmpty())
            QSKIP("needs sox and opusenc");
        QTemporaryDir folder;
        QProcess shell;
        shell.setWorkingDirectory(folder.path());
        shell.start("sh", {"-c", make});
        QVERIFY(shell.waitForFinished(60000) && shell.exitCode() == 0);
        QFile file(folder.filePath(QDir(folder.path()).entryList({"clip.*"}).value(0)));
        QVERIFY(file.open(QIODevice::ReadOnly));
        ClipSamples clip;
        const QString said = readClip(file.readAll(), clip);
        QVERIFY2(problem.isEmpty() ? said.isEmpty() : said.startsWith(problem), qPrintable(said));
        if (!problem.isEmpty())
            return;
        const auto *samples = reinterpret_cast<const qint16 *>(clip.samples.constData());
        const qsizetype count = clip.samples.size() / 2;
        double sum = 0;
        int peak = 0;
        qsizetype first = -1;
        for (qsizetype i = 0; i < count; ++i) {
            sum += double(samples[i]) * samples[i];
            peak = std::max(peak, std::abs(int(samples[i])));
            if (first < 0 && std::abs(samples[i]) > 32767 / 100)
                first = i;
        }
        const double rms = 20 * std::log10(std::sqrt(sum / double(count)) / 32767);
        const double top = 20 * std::log10(peak / 32767.0);
        const QByteArray figures = QByteArray::number(rms) + " dBFS RMS, peak "
            + QByteArray::number(top) + ", first sound at " + QByteArray::number(first) + " of "
            + QByteArray::number(count) + " at " + QByteArray::number(clip.rate) + " Hz";
        QVERIFY2(top < -0.9 && (std::abs(rms + 18) <= 1 || top > -1.1), figures);
        QVERIFY2(first >= 0 && first <= clip.rate / 200, figures);
        QVERIFY2(std::abs(double(count) / clip.rate - seconds) < 0.1, figures);
    }

private:
    QTemporaryDir home;
    QStringList errors;
};

QTEST_MAIN(tst_Speech)
#include "tst_speech.moc"
