// The floor for start-up: a bare Qt window of the same kind as the program's main frame.

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>

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
    window.showMaximized();
    return QApplication::exec();
}
