#include "info/frmhelp.h"
#include "modalcheck.h"
#include "runtime/forms.h"

#include <QLabel>

class HelpTest : public QObject
{
    Q_OBJECT

    static forms::Form &help() { return forms::instance("frmHelp"); }
    static bool near(QRgb pixel, QRgb colour)
    {
        return std::abs(qRed(pixel) - qRed(colour)) + std::abs(qGreen(pixel) - qGreen(colour))
            + std::abs(qBlue(pixel) - qBlue(colour))
            < 60;
    }

private slots:
    void initTestCase()
    {
        forms::installProject(
            {.name = "HelpTest",
             .startupObject = "frmHelp",
             .windowClasses = {{"frmHelp", [] { return std::make_unique<frmHelp>(); }}}});
    }
    void cleanup() { help().Unload(); }

    // The window opens at its own place and size, however it was moved or sized before.
    void opensAtItsPlace()
    {
        for (const QRect changedTo : {QRect(400, 300, 819, 609), QRect(0, 0, 300, 200)}) {
            help().Show();
            QCOMPARE(help().window()->pos(), QPoint(80, 40)); // 1200, 600 twips
            QCOMPARE(help().window()->size(), QSize(819, 609)); // 12285 x 9135 twips
            help().window()->setGeometry(changedTo);
            help().window()->close();
        }
    }

    void pictureStaysPut_data()
    {
        QTest::addColumn<QSize>("windowSize");
        QTest::addRow("as_opened") << QSize();
        QTest::addRow("smaller_cuts_it_off") << QSize(200, 150);
    }
    void pictureStaysPut()
    {
        QFETCH(QSize, windowSize);
        help().Show();
        QWidget *window = help().window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        if (windowSize.isValid()) {
            window->resize(windowSize);
            QTRY_COMPARE(window->size(), windowSize);
        }
        // At 600, 2400 twips, in the picture's own size.
        const auto *image = qobject_cast<QLabel *>(help().controlWidget("Image1"));
        QCOMPARE(image->geometry(), QRect(40, 160, 679, 439));
        QCOMPARE(image->pixmap().size(), QSize(679, 439));
    }

    // Mostly the lesson's dark red surface, with a white strip for the notes at the bottom.
    void pictureShowsTheLesson()
    {
        help().Show();
        const QImage picture
            = qobject_cast<QLabel *>(help().controlWidget("Image1"))->pixmap().toImage();
        qsizetype darkRed = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x)
                darkRed += near(picture.pixel(x, y), qRgb(102, 4, 4)) ? 1 : 0;
        }
        QVERIFY2(darkRed * 3 > picture.width() * picture.height(),
                 qPrintable(QString::number(darkRed)));
        for (int x : {1, picture.width() / 3, picture.width() - 2})
            QVERIFY(near(picture.pixel(x, picture.height() - 2), qRgb(255, 255, 255)));
    }

    void blocksWindowsBehind()
    {
        checkBlocksWindowsBehind(help(), [] { help().window()->close(); });
    }
};

QTEST_MAIN(HelpTest)
#include "tst_help.moc"
