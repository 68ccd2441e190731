// Drives the English and Number lessons with long seeded random step lists (keys typed or
// committed by an input method, the move buttons, closing and opening, pictures taken away) and
// compares each window, after every step, with a small model of what the lesson must show. A
// failing list is shrunk to the shortest one that still fails; a seed replays exactly:
//   QUORBEL_MODEL_SEED=N [QUORBEL_MODEL_STEPS=M] tst_lessonmodel

#include "lessons/english/frmenglishalphabet.h"
#include "lessons/number/frmnumber.h"
#include "runtime/forms.h"

#include <QtTest>

#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <bitset>
#include <memory>
#include <optional>
#include <random>
#include <tuple>
#include <vector>

using namespace forms;

namespace {

// The same numbers from the same seed on every machine and library.
using Random = std::mt19937_64;

int below(Random &random, int n)
{
    return int(random() % quint64(n));
}

enum class Kind { Key, First, Previous, Next, Last, Reopen, Fault };

struct Step
{
    Kind kind;
    char32_t code = 0; // Key: the character typed; 8, 13 and 27 are Backspace, Enter and Escape
    bool committed = false; // Key: committed by an input method, not typed
    int card = 0; // Fault: which card's picture (0 is A)
    bool missing = false; // Fault: taken away, or put back
};

// Characters beyond the runtime's Latin-1: Cyrillic, a euro sign, Chinese, and one beyond 16 bits.
constexpr char32_t Beyond[] = {0x416, 0x20AC, 0x4E2D, 0x1F600};
constexpr char32_t Controls[] = {8, 13, 27};

const char *const Words[26] = {
    "APPLE", "BOY",   "CAT",      "DOG",   "ELEPHANT",   "FISH",       "GRAPES",  "HORSE", "INKPOT",
    "JEEP",  "KITE",  "LION",     "MANGO", "NEST",       "OWL",        "PEACOCK", "QUEEN", "ROSE",
    "SHIP",  "TIGER", "UMBRELLA", "VAN",   "WATERMELON", "X-MAS TREE", "YACHT",   "ZEBRA"};
const char *const Numbers[10][2]
    = {{"10", "TEN"}, {"1", "ONE"}, {"2", "TWO"},   {"3", "THREE"}, {"4", "FOUR"},
       {"5", "FIVE"}, {"6", "SIX"}, {"7", "SEVEN"}, {"8", "EIGHT"}, {"9", "NINE"}};

// The four move buttons, in the order of Kind::First to Kind::Last.
constexpr const char *Buttons[4][2] = {{"cmdMoveFirst", "|<<"},
                                       {"cmdMovePrevious", "<"},
                                       {"cmdMoveNext", ">"},
                                       {"cmdMoveLast", ">>|"}};

// A character the answer box takes as typed text: anything but the control characters.
bool goesIntoBox(char32_t code)
{
    return code >= 32 && !(code >= 0x7F && code <= 0x9F);
}

char32_t randomKey(Random &random)
{
    const int pick = below(random, 10);
    if (pick < 3)
        return char32_t((below(random, 2) ? 'a' : 'A') + below(random, 26));
    if (pick < 5)
        return char32_t('0' + below(random, 10));
    if (pick == 5)
        return Controls[below(random, 3)];
    if (pick == 6)
        return Beyond[below(random, 4)];
    return char32_t(below(random, 256)); // any Latin-1 character, controls included
}

std::vector<Step> randomSteps(quint64 seed, int count, bool english)
{
    Random random(seed);
    std::vector<Step> steps;
    for (int i = 0; i < count; ++i) {
        const int pick = below(random, 100);
        if (!english || pick < 55) {
            const char32_t key = randomKey(random);
            steps.push_back(pick < 97 ? Step {Kind::Key, key, goesIntoBox(key) && !below(random, 4)}
                                      : Step {Kind::Reopen});
        } else if (pick < 85) {
            steps.push_back({Kind(int(Kind::First) + below(random, 4))});
        } else if (pick < 88) {
            steps.push_back({Kind::Reopen});
        } else {
            steps.push_back({Kind::Fault, 0, false, below(random, 26), below(random, 3) != 0});
        }
    }
    return steps;
}

QString describe(const Step &step)
{
    switch (step.kind) {
    case Kind::Key:
        return QStringLiteral("%1 U+%2%3")
            .arg(step.committed ? "committed" : "key")
            .arg(quint32(step.code), 4, 16, QChar(u'0'))
            .arg(goesIntoBox(step.code) ? " '" + QString::fromUcs4(&step.code, 1) + "'" : "");
    case Kind::Reopen:
        return QStringLiteral("close and open the window");
    case Kind::Fault:
        return QStringLiteral("picture %1.jpg %2")
            .arg(QChar(u'a' + step.card))
            .arg(step.missing ? "taken away" : "put back");
    default:
        return QStringLiteral("button ") + Buttons[int(step.kind) - int(Kind::First)][1];
    }
}

QSize cardPictureSize(int card)
{
    return {12 + card, 9};
}

QString pictureFile(const QString &folder, int card, QChar slash = u'/')
{
    return folder + slash + "images" + slash + QChar(u'a' + card) + ".jpg";
}

QString sizeText(const QSize &size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

// The text a label or the answer box shows.
QString textOf(Form &form, const char *name)
{
    return form.controlWidget(name)->property("text").toString();
}

std::vector<RuntimeError> g_errors;

// One thing the window shows: its name, what it shows, and what the model says it must be.
using Row = std::tuple<const char *, QVariant, QVariant>;

// What a lesson must show, from its rules alone.
struct Model
{
    virtual ~Model() = default;
    virtual void apply(const Step &step) = 0;
    virtual std::vector<Row> compare(Form &lesson) const = 0;
};

struct EnglishModel : Model
{
    int letterCode = 65;
    int shownCard = 0; // the card whose letter and word show
    int pathCard = -1; // the card whose picture path is kept; -1 before any card was shown
    QString answer;
    enum Picture { Apple, Blank, Card } picture = Apple;
    int pictureCard = -1;
    std::bitset<26> missing;
    int errors = 0;
    QString lastErrorFile;

    void readPicture()
    {
        picture = pathCard < 0 || missing[std::size_t(pathCard)] ? Blank : Card;
        if (picture == Card) {
            pictureCard = pathCard;
        } else if (pathCard >= 0) {
            ++errors;
            lastErrorFile = pictureFile(App::Path(), pathCard);
        }
    }
    void moveTo(int code)
    {
        letterCode = code;
        shownCard = pathCard = code - 65;
        answer = QChar(char16_t(code));
        readPicture();
    }
    void apply(const Step &step) override
    {
        switch (step.kind) {
        case Kind::Key:
            if (step.code == ' ' || step.code == 13) // they only say the card again
                break;
            // A letter in either case: only those two ranges land on 'A'..'Z' without bit 5.
            if (const char32_t upper = step.code & ~0x20u; upper >= 'A' && upper <= 'Z')
                shownCard = pathCard = int(upper - 'A');
            readPicture();
            if (step.code == 8) // Backspace takes away one character, two halves of a surrogate
                answer.chop(answer.size() >= 2 && answer.back().isLowSurrogate() ? 2 : 1);
            else if (goesIntoBox(step.code))
                answer += QString::fromUcs4(&step.code, 1);
            break;
        case Kind::First:
            return moveTo(65);
        case Kind::Last:
            return moveTo(90);
        case Kind::Next:
            return moveTo(std::min(letterCode + 1, 90));
        case Kind::Previous:
            return moveTo(std::max(letterCode - 1, 65));
        case Kind::Reopen:
            letterCode = 65;
            shownCard = 0;
            answer.clear();
            picture = Apple;
            break;
        case Kind::Fault:
            missing[std::size_t(step.card)] = step.missing;
            break;
        }
    }
    std::vector<Row> compare(Form &form) const override
    {
        auto &lesson = static_cast<frmEnglishAlphabet &>(form);
        const auto *image = qobject_cast<QLabel *>(lesson.controlWidget("Image1"));
        const QPixmap &shown = image->pixmap();
        static const QSize apple = QImage(QStringLiteral(":/apple.jpg")).size();
        const QSize expected = picture == Apple ? apple
            : picture == Card                   ? cardPictureSize(pictureCard)
                                                : QSize();
        // Only once the count is right: a wrong count says it already.
        const QString named = g_errors.empty() ? QString() : g_errors.back().description();
        const bool nameRight = errors != int(g_errors.size()) || named.contains(lastErrorFile);
        const QString word = QString::fromLatin1(Words[shownCard]);
        return {
            {"LetterCode", int(lesson.letterCode()), letterCode},
            {"the letter", textOf(lesson, "lblNum1"), QString(QChar(u'A' + shownCard))},
            {"the word", textOf(lesson, "lblNum2"), word},
            {"the answer box", textOf(lesson, "txtAnswer"), answer},
            {"PicturePath", lesson.picturePath(),
             pathCard < 0 ? QString() : pictureFile(App::Path(), pathCard, u'\\')},
            {"the picture in its control",
             shown.isNull() ? "none" : sizeText(shown.size()) + " in " + sizeText(image->size()),
             expected.isEmpty() ? "none" : sizeText(expected) + " in " + sizeText(expected)},
            {"the picture's name", image->accessibleName(), "Picture: " + word},
            {"errors reported", int(g_errors.size()), errors},
            {"the file the error names", nameRight ? lastErrorFile : named, lastErrorFile},
        };
    }
};

struct NumberModel : Model
{
    int digit = 1;
    QString answer;

    void apply(const Step &step) override
    {
        if (step.kind == Kind::Key && (step.code == ' ' || step.code == 13))
            return; // they only say the card again
        if (step.kind == Kind::Reopen)
            digit = 1;
        else if (step.code >= '0' && step.code <= '9')
            digit = int(step.code - '0');
        answer.clear();
        if (step.kind == Kind::Key && goesIntoBox(step.code))
            answer = QString::fromUcs4(&step.code, 1);
    }
    std::vector<Row> compare(Form &lesson) const override
    {
        return {
            {"the numeral", textOf(lesson, "lblNum1"), QString::fromLatin1(Numbers[digit][0])},
            {"the word", textOf(lesson, "lblNum2"), QString::fromLatin1(Numbers[digit][1])},
            {"the answer box", textOf(lesson, "txtAnswer"), answer},
            {"errors reported", int(g_errors.size()), 0},
        };
    }
};

// What went wrong after a step: the message, and which things differed (a shrunk step list
// must fail in the same things).
struct Failure
{
    QString message;
    QStringList what;
};

void typeKey(QWindow *window, char32_t code, bool committed)
{
    if (committed) {
        QInputMethodEvent event;
        event.setCommitString(QString::fromUcs4(&code, 1));
        QApplication::sendEvent(QApplication::focusWidget(), &event);
        return;
    }
    const QChar upper = QChar(char16_t(code)).toUpper();
    Qt::Key key = code == 8                                        ? Qt::Key_Backspace
        : code == 13                                               ? Qt::Key_Return
        : code == 27                                               ? Qt::Key_Escape
        : goesIntoBox(code) && code < 256 && upper.unicode() < 256 ? Qt::Key(upper.unicode())
                                                                   : Qt::Key_unknown;
    QTest::sendKeyEvent(QTest::Click, window, key, QString::fromUcs4(&code, 1), Qt::NoModifier);
}

QtMessageHandler g_messages = nullptr;

// The offscreen platform says so at every opening; thousands of those hide what matters.
void quietMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message != QLatin1String("This plugin does not support raise()"))
        g_messages(type, context, message);
}

const ProjectDescription &project()
{
    static const ProjectDescription description {
        .name = "tst_lessonmodel",
        .windowClasses = {
            {"frmEnglishAlphabet", [] { return std::make_unique<frmEnglishAlphabet>(); }},
            {"frmNumber", [] { return std::make_unique<frmNumber>(); }},
        }};
    return description;
}

} // namespace

class tst_LessonModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { releaseInstances(); }
    void english_data() { seeds(true); }
    void english() { check(true); }
    void number_data() { seeds(false); }
    void number() { check(false); }

private:
    void seeds(bool english);
    void check(bool english);
    std::optional<Failure> run(const std::vector<Step> &steps, bool english);
    std::vector<Step> shrink(std::vector<Step> steps, bool english, const QStringList &what);
    void putPicturesBack();

    QTemporaryDir m_root;
    QString m_folder; // the program folder, inside m_root
    int m_steps = 1000;
    qint64 m_checked = 0;
};

void tst_LessonModel::initTestCase()
{
    g_messages = qInstallMessageHandler(quietMessages);
    QVERIFY(m_root.isValid() && QDir::setCurrent(m_root.path()));
    setErrorReporter([](const RuntimeError &error) { g_errors.push_back(error); });
    setEndHandler([](int) { qFatal("a lesson ended the program"); });
    if (const int steps = qEnvironmentVariableIntValue("QUORBEL_MODEL_STEPS"); steps > 0)
        m_steps = steps;
}

// Every card's picture, told apart by its size, and none taken away.
void tst_LessonModel::putPicturesBack()
{
    const QDir images(m_folder + QStringLiteral("/images"));
    QVERIFY(images.mkpath(QStringLiteral(".")));
    for (const QString &away : images.entryList({QStringLiteral("*.away")}, QDir::Files))
        QFile::remove(images.filePath(away));
    for (int card = 0; card < 26; ++card) {
        QImage picture(cardPictureSize(card), QImage::Format_RGB32);
        picture.fill(QColor(0, 160 + card, 200));
        const QString file = pictureFile(m_folder, card);
        QVERIFY(QFile::exists(file) || picture.save(file, "JPG"));
    }
}

// Program folders whose name holds a backslash (legal here), one like a drive root ("C:\", in
// the current folder): the cards must find their pictures.
void tst_LessonModel::seeds(bool english)
{
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<QString>("folder");
    const QString plain = QStringLiteral("Games"), backslash = QStringLiteral("Kid\\Games");
    bool given = false;
    const quint64 replay = qEnvironmentVariable("QUORBEL_MODEL_SEED").toULongLong(&given);
    if (given) {
        QTest::addRow("seed_%llu", replay) << replay << plain;
        QTest::addRow("seed_%llu_folder_with_backslash", replay) << replay << backslash;
        return;
    }
    for (const quint64 seed : {1ull, 2ull, 3ull, 42ull, 1234ull, 20261207ull})
        QTest::addRow("seed_%llu", seed) << seed << plain;
    if (english) {
        QTest::addRow("seed_7_folder_with_backslash") << 7ull << backslash;
        QTest::addRow("seed_9_folder_like_a_drive_root") << 9ull << QStringLiteral("C:\\");
    }
    static const quint64 fresh = QRandomGenerator::system()->generate64() >> 1;
    QTest::addRow("fresh_seed_%llu", fresh) << fresh << plain;
}

void tst_LessonModel::check(bool english)
{
    QFETCH(quint64, seed);
    QFETCH(QString, folder);
    m_folder = folder.startsWith(QStringLiteral("C:")) ? folder : m_root.filePath(folder);
    App::setPath(m_folder);
    qInfo("seed %llu, %d steps (replay: QUORBEL_MODEL_SEED=%llu)", seed, m_steps, seed);
    const std::vector<Step> steps = randomSteps(seed, m_steps, english);
    const qint64 before = m_checked;
    const std::optional<Failure> failure = run(steps, english);
    if (!failure) {
        qInfo("%lld steps checked against the model, %lld in all so far", m_checked - before,
              m_checked);
        return;
    }
    const std::vector<Step> shortest = shrink(steps, english, failure->what);
    QString report = QStringLiteral("seed %1: %2\nshortest step list that fails the same way "
                                    "(%3 of %4):")
                         .arg(QString::number(seed), failure->message,
                              QString::number(shortest.size()), QString::number(steps.size()));
    for (std::size_t i = 0; i < shortest.size(); ++i)
        report += QStringLiteral("\n  %1. %2").arg(i + 1).arg(describe(shortest[i]));
    if (const std::optional<Failure> there = run(shortest, english))
        report += QStringLiteral("\nthere: %1").arg(there->message);
    QFAIL(qPrintable(report));
}

// Takes away chunks of steps, then halves the chunks, as long as what is left fails the same way.
std::vector<Step> tst_LessonModel::shrink(std::vector<Step> steps, bool english,
                                          const QStringList &what)
{
    for (std::size_t chunk = steps.size() / 2; chunk > 0;) {
        bool smaller = false;
        for (std::size_t start = 0; start < steps.size();) {
            std::vector<Step> candidate = steps;
            candidate.erase(candidate.begin() + qsizetype(start),
                            candidate.begin() + qsizetype(std::min(start + chunk, steps.size())));
            if (const auto failure = run(candidate, english); failure && failure->what == what) {
                steps = std::move(candidate);
                smaller = true;
            } else {
                start += chunk;
            }
        }
        // Single steps are tried again until none can go.
        if (chunk > 1 || !smaller)
            chunk = std::min(chunk / 2, steps.size() / 2 + 1);
    }
    return steps;
}

std::optional<Failure> tst_LessonModel::run(const std::vector<Step> &steps, bool english)
{
    installProject(project()); // a fresh instance: no picture path kept
    putPicturesBack();
    g_errors.clear();
    Form &lesson = instance(english ? "frmEnglishAlphabet" : "frmNumber");
    const auto open
        = [&lesson] { return lesson.Show(), QTest::qWaitForWindowActive(lesson.window()); };
    const auto broken = [](const QString &how) { return Failure {how, {how}}; };
    if (!open())
        return broken(QStringLiteral("the window did not open"));
    const std::unique_ptr<Model> model = english ? std::unique_ptr<Model>(new EnglishModel)
                                                 : std::unique_ptr<Model>(new NumberModel);
    for (std::size_t i = 0; i <= steps.size(); ++i) {
        if (i > 0) {
            const Step &step = steps[i - 1];
            const QString file = pictureFile(m_folder, step.card), away = file + ".away";
            if (step.kind == Kind::Key) {
                lesson.controlWidget("txtAnswer")->setFocus();
                typeKey(lesson.window()->windowHandle(), step.code, step.committed);
            } else if (step.kind == Kind::Reopen) {
                lesson.window()->close();
                if (lesson.isLoaded() || !open())
                    return broken(QStringLiteral("the window did not close and open again"));
            } else if (step.kind == Kind::Fault) {
                QFile::rename(step.missing ? file : away, step.missing ? away : file);
            } else {
                QWidget *button = lesson.controlWidget(Buttons[int(step.kind) - 1][0]);
                QTest::mouseClick(lesson.window()->windowHandle(), Qt::LeftButton, {},
                                  button->mapTo(lesson.window(), button->rect().center()));
            }
            model->apply(step);
        }
        if (!lesson.isLoaded())
            return Failure {QStringLiteral("the window closed at step %1").arg(i), {"closing"}};
        QStringList messages, what;
        for (const auto &[thing, shown, expected] : model->compare(lesson)) {
            if (shown == expected)
                continue;
            messages << QStringLiteral("%1 is '%2', the model says '%3'")
                            .arg(QLatin1String(thing), shown.toString(), expected.toString());
            what << QLatin1String(thing);
        }
        ++m_checked;
        if (!what.isEmpty()) {
            lesson.Unload();
            return Failure {QStringLiteral("after step %1 (%2): %3")
                                .arg(QString::number(i),
                                     i ? describe(steps[i - 1]) : QStringLiteral("opening"),
                                     messages.join(QStringLiteral("; "))),
                            what};
        }
    }
    lesson.Unload();
    return std::nullopt;
}

QTEST_MAIN(tst_LessonModel)
#include "tst_lessonmodel.moc"
