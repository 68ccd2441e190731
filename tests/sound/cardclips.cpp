// Opens both lessons, brings up every card by typing its key, and prints for each card the clip
// the lesson asks to play and what the card shows: "clip<TAB>letter or numeral<TAB>word".
// usage: card-clips PROGRAM-FOLDER
#include "lessons/english/frmenglishalphabet.h"
#include "lessons/number/frmnumber.h"
#include "runtime/forms.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

#include <cstdio>

using namespace forms;

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 2)
        return std::fputs("usage: card-clips PROGRAM-FOLDER\n", stderr), 2;
    installProject(
        {.name = "card-clips",
         .windowClasses = {
             {"frmEnglishAlphabet", [] { return std::make_unique<frmEnglishAlphabet>(); }},
             {"frmNumber", [] { return std::make_unique<frmNumber>(); }},
         }});
    App::setPath(QString::fromLocal8Bit(argv[1]));
    int status = 0;
    setErrorReporter([&status](const RuntimeError &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.description()));
        status = 1;
    });
    QString clip;
    setSoundPlayer([&clip](const QString &path) { clip = path; });
    const std::pair<const char *, const char *> lessons[]
        = {{"frmEnglishAlphabet", "abcdefghijklmnopqrstuvwxyz"}, {"frmNumber", "1234567890"}};
    for (const auto &[window, keys] : lessons) {
        Form &form = instance(window);
        form.Show();
        const auto shown = [&form](const char *label) {
            return qobject_cast<QLabel *>(form.controlWidget(label))->text().toUtf8();
        };
        for (const char *key = keys; *key; ++key) {
            clip.clear();
            const QChar typed = QChar::fromLatin1(*key);
            QKeyEvent press(QEvent::KeyPress, typed.toUpper().unicode(), Qt::NoModifier, typed);
            QApplication::sendEvent(form.controlWidget("txtAnswer"), &press);
            std::printf("%s\t%s\t%s\n", clip.toUtf8().constData(), shown("lblNum1").constData(),
                        shown("lblNum2").constData());
        }
        form.Unload();
    }
    releaseInstances();
    return std::fflush(stdout) == 0 ? status : 1;
}
