// libFuzzer target: arbitrary bytes lie in the place of a card picture, are read with
// LoadPicture and shown in a label, as the English lesson does with every card.
// Built only with -DQUORBEL_FUZZ=ON and clang; tests/fuzz/fuzz.sh builds and runs it.

#include "runtime/forms.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

int g_argc = 1;
char g_name[] = "picturefuzz";
char *g_argv[] = {g_name, nullptr};

// Never destroyed: the application must outlive every widget, down to the process's exit.
struct Harness
{
    QApplication application {g_argc, g_argv};
    QTemporaryDir folder;
    QLabel card;
};
Harness *g_harness = nullptr;

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
        for (const char c : word + ' ') {
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == ' ')
                hash = (hash ^ std::uint8_t(c)) * 16777619u;
        }
    }
    std::uint8_t &counter = g_outcomes[hash % sizeof g_outcomes];
    counter += counter < 255;
}

// Also keeps millions of decoder warnings out of the log.
void quiet(QtMsgType, const QMessageLogContext &, const QString &message)
{
    note(message.toLatin1());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    g_harness = new Harness;
    qInstallMessageHandler(quiet);
    QDir(g_harness->folder.path()).mkdir(QStringLiteral("images"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString path = g_harness->folder.filePath(QStringLiteral("images/a.jpg"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    try {
        const QImage image = forms::LoadPicture(path).image();
        note(QByteArray("shown ") + QByteArray::number(int(image.format()), 36)
             + QByteArray(std::min(image.width(), 8), 'w')
             + QByteArray(std::min(image.height(), 8), 'h'));
        g_harness->card.setPixmap(QPixmap::fromImage(image));
    } catch (const forms::RuntimeError &error) {
        note(error.description().toLatin1()); // reported, and the card goes blank
    }
    g_harness->card.clear();
    return 0;
}
