// Drives the English and Number lessons with long seeded random step lists and compares each
// window, after every step, with a small model of what the lesson must show. A failing list is
// shrunk to the shortest one that still fails; a seed replays exactly:
//   QUORBEL_MODEL_SEED=N [QUORBEL_MODEL_STEPS=M] tst_lessonmodel

#include "lessons/english/frmenglishalphabet.h"
#include "lessons/number/frmnumber.h"
#include "runtime/forms.h"

#include <QtTest>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <array>
#include <memory>
#include <optional>
#include <set>
#include <vector>

using namespace forms;

namespace {

// The same numbers from the same seed on every machine and library.
class Random
{
public:
    explicit Random(quint64 seed)
        : m_state(seed)
    { }
    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % quint64(n)); }

private:
    quint64 m_state;
};

enum class Kind { Key, First, Previous, Next, Last, Reopen, Fault };

struct Step
{
    Kind kind;
    char32_t code = 0; // Key: the character typed; 8, 13 and 27 are Backspace, Enter and Escape
    int card = 0; // Fault: which card's picture (0 is A)
    bool missing = false; // Fault: taken away, or put back
};

// Characters beyond the runtime's Latin-1: Cyrillic, a euro sign, Chinese, and one beyond 16 bits.
constexpr char32_t Beyond[] = {0x416, 0x20AC, 0x4E2D, 0x1F600};

const char *const Words[26] = {
    "APPLE", "BOY",   "CAT",      "DOG",   "ELEPHANT",   "FISH",       "GRAPES",  "HORSE", "INKPOT",
    "JEEP",  "KITE",  "LION",     "MANGO", "NEST",       "OWL",        "PEACOCK", "QUEEN", "ROSE",
    "SHIP",  "TIGER", "UMBRELLA", "VAN",   "WATERMELON", "X-MAS TREE", "YACHT",   "ZEBRA"};
const char *const Numbers[10][2]
    = {{"10", "TEN"}, {"1", "ONE"}, {"2", "TWO"},   {"3", "THREE"}, {"4", "FOUR"},
       {"5", "FIVE"}, {"6", "SIX"}, {"7", "SEVEN"}, {"8", "EIGHT"}, {"9", "NINE"}};

char32_t randomKey(Random &random)
{
    switch (random.below(10)) {
    case 0:
    case 1:
    case 2:
        return char32_t((random.below(2) ? 'a' : 'A') + random.below(26));
    case 3:
    case 4:
        return char32_t('0' + random.below(10));
    case 5:
        return char32_t(std::array {8, 13, 27}[std::size_t(random.below(3))]);
    case 6:
        return Beyond[random.below(4)];
    default:
        return char32_t(random.below(256)); // any Latin-1 character, controls included
    }
}

std::vector<Step> randomSteps(quint64 seed, int count, bool english)
{
    Random random(seed);
    std::vector<Step> steps;
    for (int i = 0; i < count; ++i) {
        const int pick = random.below(100);
        if (!english || pick < 55)
            steps.push_back(pick < 97 ? Step {Kind::Key, randomKey(random)} : Step {Kind::Reopen});
        else if (pick < 85)
            steps.push_back({Kind(int(Kind::First) + random.below(4))});
        else if (pick < 88)
            steps.push_back({Kind::Reopen});
        else
            steps.push_back({Kind::Fault, 0, random.below(26), random.below(3) != 0});
    }
    return steps;
}

QString describe(const Step &step)
{
    switch (step.kind) {
    case Kind::Key: {
        const QString shown = step.code < 32 || (step.code >= 0x7F && step.code <= 0x9F)
            ? QString()
            : QStringLiteral(" '%1'").arg(QString::fromUcs4(&step.code, 1));
        return QStringLiteral("key U+%1%2").arg(quint32(step.code), 4, 16, QChar(u'0')).arg(shown);
    }
    case Kind::First:
        return QStringLiteral("button |<<");
    case Kind::Previous:
        return QStringLiteral("button <");
    case Kind::Next:
        return QStringLiteral("button >");
    case Kind::Last:
        return QStringLiteral("button >>|");
    case Kind::Reopen:
        return QStringLiteral("close and open the window");
    case Kind::Fault:
        return QStringLiteral("picture %1.jpg %2")
            .arg(QChar(u'a' + step.card))
            .arg(step.missing ? QStringLiteral("taken away") : QStringLiteral("put back"));
    }
    return {};
}

// A character the answer box takes as typed text: anything but the control characters.
bool goesIntoBox(char32_t code)
{
    return code >= 32 && !(code >= 0x7F && code <= 0x9F);
}

void typeIntoBox(QString &box, char32_t code)
{
    if (code == 8) {
        if (!box.isEmpty())
            box.chop(box.size() >= 2 && box.back().isLowSurrogate() ? 2 : 1);
    } else if (goesIntoBox(code)) {
        box += QString::fromUcs4(&code, 1);
    }
}

int letterOfKey(char32_t code)
{
    if (code >= 'a' && code <= 'z')
        return int(code - 'a');
    if (code >= 'A' && code <= 'Z')
        return int(code - 'A');
    return -1;
}

QSize cardPictureSize(int card)
{
    return {12 + card, 9};
}

// What the English lesson must show, from its rules alone.
struct EnglishModel
{
    QString folder;
    int letterCode = 65;
    int shownCard = 0; // the card whose letter and word show
    int pathCard = -1; // the card whose picture path is kept; -1 before any card was shown
    QString answer;
    enum Picture { Apple, Blank, Card } picture = Apple;
    int pictureCard = -1;
    std::set<int> missing;
    int errors = 0;
    QString lastErrorFile;

    QString pathOf(int card) const
    {
        return folder + QStringLiteral("\\images\\") + QChar(u'a' + card) + QStringLiteral(".jpg");
    }
    QString fileOf(int card) const
    {
        return folder + QStringLiteral("/images/") + QChar(u'a' + card) + QStringLiteral(".jpg");
    }
    void showCard(int card)
    {
        shownCard = card;
        pathCard = card;
    }
    void readPicture()
    {
        if (pathCard < 0) {
            picture = Blank;
        } else if (missing.count(pathCard)) {
            picture = Blank;
            ++errors;
            lastErrorFile = fileOf(pathCard);
        } else {
            picture = Card;
            pictureCard = pathCard;
        }
    }
    void moveTo(int code)
    {
        letterCode = code;
        showCard(code - 65);
        answer = QChar(char16_t(code));
        readPicture();
    }
    void apply(const Step &step)
    {
        switch (step.kind) {
        case Kind::Key:
            if (const int card = letterOfKey(step.code); card >= 0)
                showCard(card);
            readPicture();
            typeIntoBox(answer, step.code);
            break;
        case Kind::First:
            moveTo(65);
            break;
        case Kind::Last:
            moveTo(90);
            break;
        case Kind::Next:
            moveTo(letterCode == 90 ? 90 : letterCode + 1);
            break;
        case Kind::Previous:
            moveTo(letterCode == 65 ? 65 : letterCode - 1);
            break;
        case Kind::Reopen:
            letterCode = 65;
            shownCard = 0;
            answer.clear();
            picture = Apple;
            break;
        case Kind::Fault:
            if (step.missing)
                missing.insert(step.card);
            else
                missing.erase(step.card);
            break;
        }
    }
};

// What the Number lesson must show.
struct NumberModel
{
    int digit = 1;
    QString answer;

    void apply(const Step &step)
    {
        if (step.kind == Kind::Reopen) {
            digit = 1;
            answer.clear();
            return;
        }
        if (step.kind != Kind::Key)
            return;
        if (step.code >= '0' && step.code <= '9')
            digit = int(step.code - '0');
        answer.clear();
        if (goesIntoBox(step.code))
            answer = QString::fromUcs4(&step.code, 1);
    }
};

QLabel *label(Form &form, const char *name)
{
    return qobject_cast<QLabel *>(form.controlWidget(name));
}

QLineEdit *answerBox(Form &form)
{
    return qobject_cast<QLineEdit *>(form.controlWidget("txtAnswer"));
}

// What went wrong after a step: the message, and which things differed (a shrunk step list
// must fail in the same things).
struct Failure
{
    QString message;
    QStringList what;
};

struct Differences
{
    QStringList messages, what;
    void check(const char *thing, const QVariant &shown, const QVariant &model)
    {
        if (shown == model)
            return;
        messages << QStringLiteral("%1 is '%2', the model says '%3'")
                        .arg(QLatin1String(thing), shown.toString(), model.toString());
        what << QLatin1String(thing);
    }
};

QString sizeText(const QSize &size)
{
    return size.isEmpty() ? QStringLiteral("none")
                          : QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

void typeKey(QWindow *window, char32_t code)
{
    const QString text = QString::fromUcs4(&code, 1);
    Qt::Key key = Qt::Key_unknown;
    if (code == 8)
        key = Qt::Key_Backspace;
    else if (code == 13)
        key = Qt::Key_Return;
    else if (code == 27)
        key = Qt::Key_Escape;
    else if (goesIntoBox(code) && code < 256 && QChar(char16_t(code)).toUpper().unicode() < 256)
        key = Qt::Key(QChar(char16_t(code)).toUpper().unicode());
    QTest::sendKeyEvent(QTest::Click, window, key, text, Qt::NoModifier);
}

void clickButton(Form &form, const char *name)
{
    QWidget *button = form.controlWidget(name);
    QWidget *window = form.window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      button->mapTo(window, button->rect().center()));
}

bool open(Form &form)
{
    form.Show();
    return QTest::qWaitForWindowActive(form.window());
}

std::vector<RuntimeError> g_errors;
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
    void english_data() { seeds(); }
    void english();
    void number_data() { seeds(); }
    void number();

private:
    using Runner = std::optional<Failure> (tst_LessonModel::*)(const std::vector<Step> &);
    void seeds();
    void check(bool english, Runner run);
    std::optional<Failure> runEnglish(const std::vector<Step> &steps);
    std::optional<Failure> runNumber(const std::vector<Step> &steps);
    std::vector<Step> shrink(std::vector<Step> steps, Runner run, const QStringList &what);
    void putPicturesBack();

    QTemporaryDir m_folder;
    int m_steps = 1000;
    qint64 m_checked = 0;
};

void tst_LessonModel::initTestCase()
{
    g_messages = qInstallMessageHandler(quietMessages);
    QVERIFY(m_folder.isValid());
    QVERIFY(QDir().mkpath(m_folder.filePath(QStringLiteral("images"))));
    putPicturesBack();
    App::setPath(m_folder.path());
    setErrorReporter([](const RuntimeError &error) { g_errors.push_back(error); });
    setEndHandler([](int) { qFatal("a lesson ended the program"); });
    if (const int steps = qEnvironmentVariableIntValue("QUORBEL_MODEL_STEPS"); steps > 0)
        m_steps = steps;
}

// Every card's picture, told apart by its size.
void tst_LessonModel::putPicturesBack()
{
    for (int card = 0; card < 26; ++card) {
        const QString file
            = m_folder.filePath(QStringLiteral("images/%1.jpg").arg(QChar(u'a' + card)));
        if (QFile::exists(file))
            continue;
        QImage picture(cardPictureSize(card), QImage::Format_RGB32);
        picture.fill(QColor(0, 160 + card, 200));
        QVERIFY(picture.save(file, "JPG"));
    }
}

void tst_LessonModel::seeds()
{
    QTest::addColumn<quint64>("seed");
    bool given = false;
    const quint64 replay = qEnvironmentVariable("QUORBEL_MODEL_SEED").toULongLong(&given);
    if (given) {
        QTest::addRow("seed_%llu", replay) << replay;
        return;
    }
    for (const quint64 seed : {1ull, 2ull, 3ull, 42ull, 1234ull, 20261207ull})
        QTest::addRow("seed_%llu", seed) << seed;
    static const quint64 fresh = QRandomGenerator::system()->generate64() >> 1;
    QTest::addRow("fresh_seed_%llu", fresh) << fresh;
}

void tst_LessonModel::english()
{
    check(true, &tst_LessonModel::runEnglish);
}

void tst_LessonModel::number()
{
    check(false, &tst_LessonModel::runNumber);
}

void tst_LessonModel::check(bool english, Runner run)
{
    QFETCH(quint64, seed);
    qInfo("seed %llu, %d steps (replay: QUORBEL_MODEL_SEED=%llu)", seed, m_steps, seed);
    const std::vector<Step> steps = randomSteps(seed, m_steps, english);
    const qint64 before = m_checked;
    const std::optional<Failure> failure = (this->*run)(steps);
    if (!failure) {
        qInfo("%lld steps checked against the model, %lld in all so far", m_checked - before,
              m_checked);
        return;
    }
    const std::vector<Step> shortest = shrink(steps, run, failure->what);
    QString report = QStringLiteral("seed %1: %2\nshortest step list that fails the same way "
                                    "(%3 of %4):")
                         .arg(seed)
                         .arg(failure->message)
                         .arg(shortest.size())
                         .arg(steps.size());
    for (std::size_t i = 0; i < shortest.size(); ++i)
        report += QStringLiteral("\n  %1. %2").arg(i + 1).arg(describe(shortest[i]));
    if (const std::optional<Failure> there = (this->*run)(shortest))
        report += QStringLiteral("\nthere: %1").arg(there->message);
    QFAIL(qPrintable(report));
}

// Takes away chunks of steps, halving them, as long as what is left still fails.
std::vector<Step> tst_LessonModel::shrink(std::vector<Step> steps, Runner run,
                                          const QStringList &what)
{
    std::size_t parts = 2;
    while (steps.size() >= 2) {
        const std::size_t chunk = (steps.size() + parts - 1) / parts;
        bool smaller = false;
        for (std::size_t start = 0; start < steps.size(); start += chunk) {
            std::vector<Step> candidate(steps.begin(), steps.begin() + qsizetype(start));
            candidate.insert(candidate.end(),
                             steps.begin() + qsizetype(std::min(start + chunk, steps.size())),
                             steps.end());
            if (const std::optional<Failure> failure = (this->*run)(candidate);
                failure && failure->what == what) {
                steps = std::move(candidate);
                parts = std::max<std::size_t>(parts - 1, 2);
                smaller = true;
                break;
            }
        }
        if (!smaller) {
            if (parts >= steps.size())
                break;
            parts = std::min(parts * 2, steps.size());
        }
    }
    return steps;
}

std::optional<Failure> tst_LessonModel::runEnglish(const std::vector<Step> &steps)
{
    installProject(project()); // a fresh instance: no picture path kept
    putPicturesBack();
    g_errors.clear();
    auto &lesson = static_cast<frmEnglishAlphabet &>(instance("frmEnglishAlphabet"));
    if (!open(lesson))
        return Failure {QStringLiteral("the window did not open"), {QStringLiteral("opening")}};
    EnglishModel model;
    model.folder = App::Path();
    const QSize apple = QImage(QStringLiteral(":/apple.jpg")).size();

    std::optional<Failure> failure;
    for (std::size_t i = 0; i <= steps.size() && !failure; ++i) {
        if (i > 0) {
            const Step &step = steps[i - 1];
            switch (step.kind) {
            case Kind::Key:
                answerBox(lesson)->setFocus();
                typeKey(lesson.window()->windowHandle(), step.code);
                break;
            case Kind::First:
                clickButton(lesson, "cmdMoveFirst");
                break;
            case Kind::Previous:
                clickButton(lesson, "cmdMovePrevious");
                break;
            case Kind::Next:
                clickButton(lesson, "cmdMoveNext");
                break;
            case Kind::Last:
                clickButton(lesson, "cmdMoveLast");
                break;
            case Kind::Reopen:
                lesson.window()->close();
                if (lesson.isLoaded() || !open(lesson))
                    return Failure {QStringLiteral("the window did not close and open again"),
                                    {QStringLiteral("reopening")}};
                break;
            case Kind::Fault: {
                const QString file = model.fileOf(step.card);
                if (step.missing)
                    QFile::rename(file, file + QStringLiteral(".away"));
                else
                    QFile::rename(file + QStringLiteral(".away"), file);
                break;
            }
            }
            model.apply(step);
        }
        if (!lesson.isLoaded())
            return Failure {QStringLiteral("the window closed at step %1").arg(i),
                            {QStringLiteral("closing")}};
        Differences wrong;
        wrong.check("LetterCode", int(lesson.letterCode()), model.letterCode);
        wrong.check("the letter", label(lesson, "lblNum1")->text(),
                    QString(QChar(u'A' + model.shownCard)));
        wrong.check("the word", label(lesson, "lblNum2")->text(),
                    QString::fromLatin1(Words[model.shownCard]));
        wrong.check("the answer box", answerBox(lesson)->text(), model.answer);
        wrong.check("PicturePath", lesson.picturePath(),
                    model.pathCard < 0 ? QString() : model.pathOf(model.pathCard));
        const QPixmap &shown = label(lesson, "Image1")->pixmap();
        const QSize expected = model.picture == EnglishModel::Apple ? apple
            : model.picture == EnglishModel::Card ? cardPictureSize(model.pictureCard)
                                                  : QSize();
        wrong.check("the picture", sizeText(shown.isNull() ? QSize() : shown.size()),
                    sizeText(expected));
        wrong.check("errors reported", int(g_errors.size()), model.errors);
        if (!g_errors.empty() && model.errors == int(g_errors.size())
            && !g_errors.back().description().contains(model.lastErrorFile))
            wrong.check("the file the error names", g_errors.back().description(),
                        model.lastErrorFile);
        ++m_checked;
        if (!wrong.what.isEmpty())
            failure = Failure {QStringLiteral("after step %1 (%2): %3")
                                   .arg(i)
                                   .arg(i ? describe(steps[i - 1]) : QStringLiteral("opening"))
                                   .arg(wrong.messages.join(QStringLiteral("; "))),
                               wrong.what};
    }
    lesson.Unload();
    putPicturesBack();
    for (const QString &away : QDir(m_folder.filePath(QStringLiteral("images")))
                                   .entryList({QStringLiteral("*.away")}, QDir::Files))
        QFile::remove(m_folder.filePath(QStringLiteral("images/") + away));
    return failure;
}

std::optional<Failure> tst_LessonModel::runNumber(const std::vector<Step> &steps)
{
    installProject(project());
    g_errors.clear();
    Form &lesson = instance("frmNumber");
    if (!open(lesson))
        return Failure {QStringLiteral("the window did not open"), {QStringLiteral("opening")}};
    NumberModel model;

    std::optional<Failure> failure;
    for (std::size_t i = 0; i <= steps.size() && !failure; ++i) {
        if (i > 0) {
            const Step &step = steps[i - 1];
            if (step.kind == Kind::Reopen) {
                lesson.window()->close();
                if (lesson.isLoaded() || !open(lesson))
                    return Failure {QStringLiteral("the window did not close and open again"),
                                    {QStringLiteral("reopening")}};
            } else {
                answerBox(lesson)->setFocus();
                typeKey(lesson.window()->windowHandle(), step.code);
            }
            model.apply(step);
        }
        if (!lesson.isLoaded())
            return Failure {QStringLiteral("the window closed at step %1").arg(i),
                            {QStringLiteral("closing")}};
        Differences wrong;
        wrong.check("the numeral", label(lesson, "lblNum1")->text(),
                    QString::fromLatin1(Numbers[model.digit][0]));
        wrong.check("the word", label(lesson, "lblNum2")->text(),
                    QString::fromLatin1(Numbers[model.digit][1]));
        wrong.check("the answer box", answerBox(lesson)->text(), model.answer);
        wrong.check("errors reported", int(g_errors.size()), 0);
        ++m_checked;
        if (!wrong.what.isEmpty())
            failure = Failure {QStringLiteral("after step %1 (%2): %3")
                                   .arg(i)
                                   .arg(i ? describe(steps[i - 1]) : QStringLiteral("opening"))
                                   .arg(wrong.messages.join(QStringLiteral("; "))),
                               wrong.what};
    }
    lesson.Unload();
    return failure;
}

QTEST_MAIN(tst_LessonModel)
#include "tst_lessonmodel.moc"
