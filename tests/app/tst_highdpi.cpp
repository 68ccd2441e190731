// Every window on a scaled screen (QT_SCALE_FACTOR, set by the test's ctest entry): its layout
// is the 96-DPI layout scaled, its pictures keep their size in device-independent pixels and its
// big captions are drawn at the screen's own resolution.

#include "app/windowclasses.h"

#include "runtime/forms.h"

#include <QImageReader>
#include <QLabel>
#include <QMainWindow>
#include <QtTest>

#include <cmath>

using namespace forms;

// Rows name a control by its place in the window's definition, which lives as long as the program.
Q_DECLARE_METATYPE(const ControlDef *)

namespace {

constexpr double TwipsPerDip = 15.0;

QRectF scaled(const QRectF &rect, double factor)
{
    return QRectF(rect.topLeft() * factor, rect.size() * factor);
}

bool within(const QRectF &actual, const QRectF &expected, double tolerance)
{
    return std::abs(actual.left() - expected.left()) <= tolerance
        && std::abs(actual.top() - expected.top()) <= tolerance
        && std::abs(actual.right() - expected.right()) <= tolerance
        && std::abs(actual.bottom() - expected.bottom()) <= tolerance;
}

QString describe(const QRectF &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// Mean width, in pixels, of the anti-aliased bands between the background and the ink along the
// rows: about one pixel for text drawn at the image's resolution, about the scale for text drawn
// at a lower one and scaled up.
double edgeWidth(const QImage &image, QRgb background, QRgb ink)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const double span = qRed(ink) - qRed(background) + qGreen(ink) - qGreen(background) + qBlue(ink)
        - qBlue(background);
    long bandPixels = 0;
    long bands = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        bool inBand = false;
        for (int x = 0; x < rgb.width(); ++x) {
            const double t = (qRed(row[x]) - qRed(background) + qGreen(row[x]) - qGreen(background)
                              + qBlue(row[x]) - qBlue(background))
                / span;
            const bool between = t > 0.1 && t < 0.9;
            bandPixels += between;
            bands += between && !inBand;
            inBand = between;
        }
    }
    return bands ? double(bandPixels) / double(bands) : 0.0;
}

} // namespace

class HighDpi : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { releaseInstances(); }
    void layoutScales_data() { controlRows(false); }
    void layoutScales();
    void picturesKeepTheirSize_data() { controlRows(true); }
    void picturesKeepTheirSize();
    void bigLetterAtDeviceResolution();

private:
    void controlRows(bool pictures);
    Form &shown(const char *windowClass);
    double m_scale = 1.0;
};

void HighDpi::initTestCase()
{
    m_scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
    QVERIFY2(m_scale > 1.0, "run with QT_SCALE_FACTOR above 1");
    installProject(QuorbelAlphabet::project());
    // The screen the windows open on is the scaled one.
    QCOMPARE(qApp->devicePixelRatio(), m_scale);
}

Form &HighDpi::shown(const char *windowClass)
{
    Form &form = instance(windowClass);
    form.Show(vbModeless);
    if (!QTest::qWaitForWindowExposed(form.window()))
        qFatal("%s was never exposed", windowClass);
    return form;
}

// One row per placed control (and per window sized by its definition, its client area), or one
// per picture control that holds a picture.
void HighDpi::controlRows(bool pictures)
{
    QTest::addColumn<QString>("windowClass");
    QTest::addColumn<const ControlDef *>("control");
    for (const WindowClass &entry : QuorbelAlphabet::project().windowClasses) {
        const FormDef &def = entry.create()->definition();
        if (!pictures && !def.startMaximized)
            QTest::addRow("%s", entry.name)
                << QString(entry.name) << static_cast<const ControlDef *>(nullptr);
        for (const ControlDef &c : def.controls) {
            if (pictures ? c.kind != ControlKind::Image || !*c.picture
                         : c.kind == ControlKind::Timer)
                continue;
            const QString tag
                = c.index < 0 ? QString(c.name) : QStringLiteral("%1(%2)").arg(c.name).arg(c.index);
            QTest::addRow("%s/%s", entry.name, qPrintable(tag)) << QString(entry.name) << &c;
        }
    }
}

// Each control sits where its twips put it on a 96-DPI screen, scaled, to a device pixel.
void HighDpi::layoutScales()
{
    QFETCH(QString, windowClass);
    QFETCH(const ControlDef *, control);
    Form &form = shown(qPrintable(windowClass));
    const double dpr = form.window()->devicePixelRatioF();
    QCOMPARE(dpr, m_scale);
    const FormDef &def = form.definition();

    // No control: the client area of a window sized by its definition.
    QRectF actual, expected(0, 0, def.clientWidth, def.clientHeight);
    bool sizedByPicture = false;
    if (!control) {
        auto *window = qobject_cast<QMainWindow *>(form.window());
        QVERIFY(window);
        actual = QRectF(QPointF(), window->centralWidget()->size());
    } else {
        QWidget *widget = form.controlWidget(control->name, control->index);
        QVERIFY(widget);
        actual = widget->geometry();
        expected = QRectF(control->left, control->top, control->width, control->height);
        sizedByPicture = control->kind == ControlKind::Image;
    }
    actual = scaled(actual, dpr);
    expected = scaled(expected, m_scale / TwipsPerDip);
    // A picture control takes its picture's size (checked in picturesKeepTheirSize).
    if (sizedByPicture)
        expected.setSize(actual.size());
    QVERIFY2(within(actual, expected, 1.0),
             qPrintable(QStringLiteral("%1 is at %2 device pixels, expected %3")
                            .arg(control ? QString(control->name) : windowClass, describe(actual),
                                 describe(expected))));
}

// A picture shows each of its pixels as one device-independent pixel: scale device pixels.
void HighDpi::picturesKeepTheirSize()
{
    QFETCH(QString, windowClass);
    QFETCH(const ControlDef *, control);
    const QString file = QString::fromUtf8(control->picture);
    const QSize pixels = QImageReader(file).size();
    QVERIFY2(pixels.isValid(), qPrintable(file));
    Form &form = shown(qPrintable(windowClass));
    auto *picture = qobject_cast<QLabel *>(form.controlWidget(control->name));
    QVERIFY(picture);
    const double dpr = picture->devicePixelRatioF();
    QCOMPARE(QSizeF(picture->size()) * dpr, QSizeF(pixels) * m_scale);
    // Drawn to fill that size, not at its pixel size in the corner.
    const QImage shown = picture->grab().toImage();
    QCOMPARE(shown.size(), (QSizeF(pixels) * m_scale).toSize());
    const QImage source = QImage(file).scaled(shown.size()).convertToFormat(QImage::Format_RGB32);
    const QRgb bottomRight = shown.pixel(shown.width() - 2, shown.height() - 2);
    const QRgb expected = source.pixel(source.width() - 2, source.height() - 2);
    QVERIFY2(std::abs(qGray(bottomRight) - qGray(expected)) < 48,
             qPrintable(QStringLiteral("bottom-right pixel %1, the picture has %2 there")
                            .arg(bottomRight, 8, 16)
                            .arg(expected, 8, 16)));
}

// The card letter has edges as fine as the scaled screen's pixels, even after the same letter
// was drawn at 96 DPI (its glyphs cached for that resolution).
void HighDpi::bigLetterAtDeviceResolution()
{
    Form &english = shown("frmEnglishAlphabet");
    QWidget *letter = english.controlWidget("lblNum1");
    QVERIFY(letter);
    const QRgb background = letter->palette().color(QPalette::Window).rgb();
    const QRgb ink = letter->palette().color(QPalette::WindowText).rgb();

    QImage plain(letter->size(), QImage::Format_ARGB32_Premultiplied);
    plain.setDevicePixelRatio(1.0);
    letter->render(&plain);
    const QImage scaled = letter->grab().toImage();
    QCOMPARE(scaled.devicePixelRatio(), m_scale);
    QCOMPARE(scaled.size(), (QSizeF(letter->size()) * m_scale).toSize());

    const double fine = edgeWidth(scaled, background, ink);
    const double coarse
        = edgeWidth(plain.scaled(scaled.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation),
                    background, ink);
    qInfo("edge width at scale %.2f: %.2f device pixels; the 96-DPI letter scaled up: %.2f",
          m_scale, fine, coarse);
    QVERIFY2(fine > 0.0, "the letter has no anti-aliased edges");
    QVERIFY2(fine < coarse * (1.0 + 1.0 / m_scale) / 2.0,
             "the letter's edges are no finer than the 96-DPI letter scaled up");
}

QTEST_MAIN(HighDpi)
#include "tst_highdpi.moc"
