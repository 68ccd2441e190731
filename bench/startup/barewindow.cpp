// The floor for start-up: a bare Qt window of the same kind as the program's main frame.

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quorbel Alphabet"));
    window.setCentralWidget(new QMdiArea(&window));
    QMenu *learn = window.menuBar()->addMenu(QStringLiteral("Learn"));
    learn->addAction(QStringLiteral("Number"));
    learn->addAction(QStringLiteral("English Alphabet"));
    learn->addAction(QStringLiteral("HindiAlphabet"));
    QMenu *windowMenu = window.menuBar()->addMenu(QStringLiteral("Window"));
    windowMenu->addAction(QStringLiteral("Exit"), &application, &QApplication::quit);
    // The benchmark's X server runs no window manager, so a maximized window sizes itself to the
    // screen, as the program's frame does: both then paint the same area.
    window.setGeometry(window.screen()->availableGeometry());
    window.showMaximized();
    return QApplication::exec();
}
