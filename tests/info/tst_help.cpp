#include "info/frmhelp.h"
#include "modalcheck.h"
#include "runtime/forms.h"

#include <QLabel>

namespace {

const QRect PicturePlace(40, 160, 679, 439); // 600, 2400 twips; the picture's own size

forms::Form &help()
{
    return forms::instance("frmHelp");
}

bool near(QRgb pixel, QRgb colour)
{
    return std::abs(qRed(pixel) - qRed(colour)) + std::abs(qGreen(pixel) - qGreen(colour))
        + std::abs(qBlue(pixel) - qBlue(colour))
        < 60;
}

} // namespace

class HelpTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        forms::installProject(
            {.name = "HelpTest",
             .startupObject = "frmHelp",
             .windowClasses = {{"frmHelp", [] { return std::make_unique<frmHelp>(); }}}});
    }
    void cleanup() { help().Unload(); }

    void opensAtItsPlace_data()
    {
        QTest::addColumn<QPoint>("movedTo");
        QTest::addColumn<QSize>("resizedTo");
        QTest::addColumn<int>("openings");

        QTest::addRow("first_opening") << QPoint() << QSize() << 1;
        QTest::addRow("moved_then_reopened") << QPoint(400, 300) << QSize() << 2;
        QTest::addRow("moved_and_shrunk_then_reopened") << QPoint(0, 0) << QSize(300, 200) << 3;
    }
    void opensAtItsPlace()
    {
        QFETCH(QPoint, movedTo);
        QFETCH(QSize, resizedTo);
        QFETCH(int, openings);

        for (int i = 0; i < openings; ++i) {
            help().Show();
            QCOMPARE(help().window()->pos(), QPoint(80, 40)); // 1200, 600 twips
            QCOMPARE(help().window()->size(), QSize(819, 609)); // 12285 x 9135 twips
            help().window()->move(movedTo);
            if (resizedTo.isValid())
                help().window()->resize(resizedTo);
            help().window()->close();
        }
    }

    void pictureStaysPut_data()
    {
        QTest::addColumn<QSize>("windowSize");

        QTest::addRow("as_opened") << QSize();
        QTest::addRow("narrower_cuts_right") << QSize(400, 609);
        QTest::addRow("shorter_cuts_bottom") << QSize(819, 300);
        QTest::addRow("smaller_both_ways") << QSize(200, 150);
        QTest::addRow("larger") << QSize(1000, 800);
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
        const auto *image = qobject_cast<QLabel *>(help().controlWidget("Image1"));
        QCOMPARE(image->geometry(), PicturePlace);
        QCOMPARE(image->pixmap().size(), PicturePlace.size());
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
        const ModalRun run = showModallyOverAnother(help(), [] { help().window()->close(); });
        QVERIFY(run.modal);
        QCOMPARE(run.whileOpen, Reached {});
        QCOMPARE(run.afterClose, (Reached {QStringLiteral("k"), 1}));
    }
};

QTEST_MAIN(HelpTest)
#include "tst_help.moc"
