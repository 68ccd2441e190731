// libFuzzer target: arbitrary bytes lie in the place of a card picture, are read with
// LoadPicture and shown in an Image control, as the English lesson does with every card.
// Built only with -DQUORBEL_FUZZ=ON and clang; tests/fuzz/fuzz.sh builds and runs it.

#include "runtime/forms.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace {

const forms::FormDef &cardWindow()
{
    static const forms::FormDef definition {
        .name = "frmCard",
        .clientWidth = 6000,
        .clientHeight = 6000,
        .controls
        = {{.name = "Image1", .kind = forms::ControlKind::Image, .width = 5370, .height = 5355}},
    };
    return definition;
}

class CardWindow : public forms::Form
{
public:
    CardWindow()
        : Form(cardWindow())
    { }
    forms::Image Image1 {this, "Image1"};
};

struct Harness
{
    std::unique_ptr<QApplication> application;
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<CardWindow> window;
    QString picture;
};

// Never destroyed: the application must outlive every widget, down to the process's exit.
Harness &harness()
{
    static Harness *h = new Harness;
    return *h;
}

// The decoders are Qt's and the system's, built without coverage. What they say about an input
// (the format, the outcome, each warning with its numbers left out) stands in for it: libFuzzer
// keeps an input that makes them say something new, as it does for new code covered.
extern "C" {
__attribute__((section("__libfuzzer_extra_counters"))) std::uint8_t g_outcomes[1 << 14];
}

void note(QByteArrayView what)
{
    // Words only: numbers, offsets, bytes quoted in brackets and PNG chunk names ("zqxw:")
    // would make every input new.
    std::uint32_t hash = 2166136261u;
    for (const QByteArray &word : what.toByteArray().split(' ')) {
        if (word.contains('[') || (word.size() == 5 && word.endsWith(':'))
            || std::any_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        for (const char c : word) {
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
                hash ^= std::uint8_t(c);
                hash *= 16777619u;
            }
        }
        hash ^= ' ';
        hash *= 16777619u;
    }
    std::uint8_t &counter = g_outcomes[hash % sizeof g_outcomes];
    if (counter < 255)
        ++counter;
}

// Also keeps millions of decoder warnings out of the log.
void quiet(QtMsgType, const QMessageLogContext &, const QString &message)
{
    static const bool show = qEnvironmentVariableIsSet("QUORBEL_FUZZ_SHOW");
    if (show)
        fprintf(stderr, "message: %s\n", qPrintable(message));
    note(message.toLatin1());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "picturefuzz";
    static char *argv[] = {name, nullptr};
    Harness &h = harness();
    h.application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(quiet);
    h.folder = std::make_unique<QTemporaryDir>();
    QDir().mkpath(h.folder->filePath(QStringLiteral("images")));
    h.picture = h.folder->filePath(QStringLiteral("images/a.jpg"));
    h.window = std::make_unique<CardWindow>();
    h.window->Load();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Harness &h = harness();
    {
        QFile file(h.folder->filePath(QStringLiteral("images/a.jpg")));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    try {
        const forms::Picture picture = forms::LoadPicture(h.picture);
        note(QByteArray("shown ") + QByteArray::number(int(picture.image().format()), 36)
             + QByteArray(std::min(picture.image().width(), 8), 'w')
             + QByteArray(std::min(picture.image().height(), 8), 'h'));
        h.window->Image1.setPicture(picture);
    } catch (const forms::RuntimeError &error) {
        note(error.description().toLatin1());
        h.window->Image1.setPicture({}); // as the lesson does: reported, and the card goes blank
    }
    h.window->Image1.setPicture({});
    return 0;
}
