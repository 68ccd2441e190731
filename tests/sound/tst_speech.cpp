#include "lessons/english/frmenglishalphabet.h"
#include "lessons/number/frmnumber.h"
#include "lessons/spokencards.h"
#include "runtime/forms.h"
#include "runtime/sound_p.h"

#include <QtTest>

#include <QLineEdit>
#include <QTemporaryDir>

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

} // namespace

class tst_Speech : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        installProject(
            {.name = "tst_speech",
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

    // Steps: ">" "<" "F" (first) "L" (last) move; any other character is typed.
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
        QTest::addRow("keys with no card say nothing")
            << english << "1 [`{@\b\r" << QStringList {"a"};
        QTest::addRow("number opening says one") << number << "" << QStringList {"1"};
        QTest::addRow("digits say their number, 0 says ten")
            << number << "7077" << QStringList {"1", "7", "10", "7", "7"};
        QTest::addRow("other keys say nothing") << number << "a /\b" << QStringList {"1"};
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
        Form &form = instance(window.toLatin1().constData());
        form.Show();
        const char *const buttons[]
            = {"cmdMoveNext", "cmdMovePrevious", "cmdMoveFirst", "cmdMoveLast"};
        for (const QChar step : steps) {
            if (const int button = QStringLiteral("><FL").indexOf(step);
                button >= 0 && window == "frmEnglishAlphabet")
                QTest::mouseClick(form.controlWidget(buttons[button]), Qt::LeftButton);
            else
                QTest::keyClick(form.controlWidget("txtAnswer"), step.toLatin1());
        }
        QCOMPARE(heard, clips);
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
        QTest::addRow("empty") << QByteArray("") << "not a WAV file";
        QTest::addRow("a picture") << QByteArray("\xFF\xD8\xFF\xE0", 4) << "not a WAV file";
        QTest::addRow("cut off") << wav.left(46) << "the file is cut off";
        QTest::addRow("no samples") << wav.left(40) << "no samples";
        QTest::addRow("float samples")
            << QByteArray(wav).replace(20, 2, QByteArray("\x03\0", 2)) << "not 8- or 16-bit PCM";
        QTest::addRow("sound") << wav << "";
    }
    void badClipStaysSilent()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problem);
        QCOMPARE(clipProblem(bytes), bytes.isNull() ? QStringLiteral("not a WAV file") : problem);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkpath("sounds"));
        QVERIFY(QFile::link(QStringLiteral(QUORBEL_SOURCE_IMAGES), folder.filePath("images")));
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

private:
    QStringList errors;
};

QTEST_MAIN(tst_Speech)
#include "tst_speech.moc"
