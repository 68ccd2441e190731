// Makes src/resources/help.jpg: the English lesson window as it opens, in a drawn window frame
// (offscreen windows have none), with notes on how to use it in red and blue.
#include "lessons/english/frmenglishalphabet.h"

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QWidget>

#include <cmath>
#include <cstdio>

namespace {

constexpr QSize PictureSize(679, 439);
constexpr int DotsPerInch = 96;
constexpr int Border = 3;
constexpr int TitleHeight = 22;
// The notes need this much white below the screenshot.
constexpr int MinimumStrip = 36;

const QColor ButtonFace(192, 192, 192);
const QColor NoteRed(255, 0, 0);
const QColor NoteBlue(0, 0, 255);

// A classic raised bevel: light on the top and left, dark on the bottom and right.
void bevel(QPainter &p, QRect box)
{
    p.setPen(Qt::white);
    p.drawLine(box.topLeft(), box.topRight() - QPoint(1, 0));
    p.drawLine(box.topLeft(), box.bottomLeft() - QPoint(0, 1));
    p.setPen(Qt::black);
    p.drawLine(box.bottomLeft(), box.bottomRight());
    p.drawLine(box.topRight(), box.bottomRight());
    box.adjust(1, 1, -1, -1);
    p.setPen(QColor(128, 128, 128));
    p.drawLine(box.bottomLeft(), box.bottomRight());
    p.drawLine(box.topRight(), box.bottomRight());
}

enum class Glyph { Minimize, Maximize, Close };

void captionButton(QPainter &p, const QRect &box, Glyph glyph, bool enabled)
{
    p.fillRect(box, ButtonFace);
    bevel(p, box);
    const QColor ink = enabled ? Qt::black : QColor(128, 128, 128);
    const QRect inner = box.adjusted(4, 3, -5, -4);
    switch (glyph) {
    case Glyph::Minimize:
        p.fillRect(QRect(inner.left(), inner.bottom() - 1, 6, 2), ink);
        break;
    case Glyph::Maximize:
        p.setPen(ink);
        p.drawRect(inner.adjusted(0, 0, -1, 0));
        p.drawLine(inner.topLeft() + QPoint(0, 1), inner.topRight() + QPoint(-1, 1));
        break;
    case Glyph::Close:
        p.setPen(QPen(ink, 1.6));
        p.setRenderHint(QPainter::Antialiasing);
        p.drawLine(inner.topLeft(), inner.bottomRight());
        p.drawLine(inner.topRight(), inner.bottomLeft());
        p.setRenderHint(QPainter::Antialiasing, false);
        break;
    }
}

// The window's grabbed surface inside a border and a title bar such as the window system draws.
QImage framed(const QImage &surface, const QString &title, const QIcon &icon)
{
    const QSize size(surface.width() + 2 * Border, surface.height() + TitleHeight + 2 * Border);
    QImage image(size, QImage::Format_RGB32);
    image.fill(ButtonFace);
    QPainter p(&image);
    bevel(p, image.rect());

    const QRect bar(Border, Border, surface.width(), TitleHeight - 1);
    QLinearGradient blue(bar.topLeft(), bar.topRight());
    blue.setColorAt(0, QColor(0, 0, 128));
    blue.setColorAt(1, QColor(16, 132, 208));
    p.fillRect(bar, blue);
    icon.paint(&p, QRect(bar.left() + 3, bar.top() + 2, 16, 16));

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(bar.adjusted(24, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, title);

    // Minimise and close; maximise is there but greyed, as the window cannot be maximised.
    const QSize button(18, 16);
    const int top = bar.top() + (bar.height() - button.height()) / 2;
    const int right = bar.right() - 2;
    captionButton(p, QRect(QPoint(right - button.width() + 1, top), button), Glyph::Close, true);
    captionButton(p, QRect(QPoint(right - 2 * button.width() - 1, top), button), Glyph::Maximize,
                  false);
    captionButton(p, QRect(QPoint(right - 3 * button.width() - 1, top), button), Glyph::Minimize,
                  true);

    p.drawImage(Border, Border + TitleHeight, surface);
    return image;
}

// An arrow outlined in red whose tip points up at `tip`, its tail at `tailY`.
void arrowUp(QPainter &p, QPointF tip, qreal tailY)
{
    const qreal head = 10, shaft = 4, headLength = std::min<qreal>(12, (tailY - tip.y()) * 0.6);
    QPainterPath arrow;
    arrow.moveTo(tip);
    arrow.lineTo(tip.x() + head, tip.y() + headLength);
    arrow.lineTo(tip.x() + shaft, tip.y() + headLength);
    arrow.lineTo(tip.x() + shaft, tailY);
    arrow.lineTo(tip.x() - shaft, tailY);
    arrow.lineTo(tip.x() - shaft, tip.y() + headLength);
    arrow.lineTo(tip.x() - head, tip.y() + headLength);
    arrow.closeSubpath();
    p.setPen(QPen(NoteRed, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::white);
    p.drawPath(arrow);
}

// A note in blue underlined letters, centred on `centreX` but kept inside the picture.
void note(QPainter &p, const QString &text, qreal centreX, int top)
{
    const int width = p.fontMetrics().horizontalAdvance(text);
    const int left
        = std::clamp(int(std::lround(centreX - width / 2.0)), 6, PictureSize.width() - 6 - width);
    p.drawText(QPoint(left, top + p.fontMetrics().ascent()), text);
}

QRect placeIn(const QWidget *control, const QWidget *window)
{
    return QRect(control->mapTo(window, QPoint(0, 0)), control->size());
}

bool saveJpeg(const QImage &picture, const QString &path)
{
    QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const int dotsPerMeter = int(std::lround(DotsPerInch / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);

    // Written whole or not at all: a failed run leaves the old picture in place.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    QImageWriter writer(&file, "jpeg");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(false);
    writer.setOptimizedWrite(false);
    if (!writer.write(image) || !file.commit()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path),
                     qPrintable(writer.error() != QImageWriter::UnknownError ? writer.errorString()
                                                                             : file.errorString()));
        return false;
    }
    const QSize back = QImageReader(path, "jpeg").size();
    if (back != PictureSize) {
        std::fprintf(stderr, "%s: reads back as %dx%d\n", qPrintable(path), back.width(),
                     back.height());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: QT_QPA_PLATFORM=offscreen %s OUTPUT.jpg\n", argv[0]);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);

    // The lesson window as the child first sees it: built from its layout, then its Form_Load.
    frmEnglishAlphabet lesson;
    lesson.Show();
    QWidget *window = lesson.window();
    QCoreApplication::processEvents();
    const QImage surface = window->grab().toImage();
    const QImage shot = framed(surface, window->windowTitle(), window->windowIcon());
    const QPoint surfaceOrigin(Border, Border + TitleHeight);

    const qreal scale = qreal(PictureSize.width()) / shot.width();
    const int shotHeight = int(std::lround(shot.height() * scale));
    const int strip = PictureSize.height() - shotHeight;
    if (strip < MinimumStrip) {
        std::fprintf(stderr, "the lesson window scales to %d pixels high: no room for the notes\n",
                     shotHeight);
        return 1;
    }
    auto scaled = [&](QRect r) {
        r.translate(surfaceOrigin);
        return QRectF(r.left() * scale, r.top() * scale, r.width() * scale, r.height() * scale);
    };
    const QRectF answerBox = scaled(placeIn(lesson.controlWidget("txtAnswer"), window));
    QRectF buttons;
    for (const char *name : {"cmdMoveFirst", "cmdMovePrevious", "cmdMoveNext", "cmdMoveLast"})
        buttons |= scaled(placeIn(lesson.controlWidget(name), window));

    QImage picture(PictureSize, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(0, 0, PictureSize.width(), shotHeight), shot);
    p.setRenderHint(QPainter::Antialiasing);

    const int noteTop = shotHeight + strip / 2 - 4;
    arrowUp(p, QPointF(answerBox.center().x(), answerBox.bottom() + 2), noteTop - 3);
    p.setPen(QPen(NoteRed, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(buttons.adjusted(-9, -6, 9, 6));

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(15);
    font.setBold(true);
    font.setUnderline(true);
    p.setFont(font);
    p.setPen(NoteBlue);
    note(p, QStringLiteral("Either type here"), answerBox.center().x(), noteTop);
    note(p, QStringLiteral("or"), PictureSize.width() / 2.0, noteTop);
    note(p, QStringLiteral("use  buttons to learn."), buttons.center().x(), noteTop);
    p.end();

    lesson.Unload();
    if (!saveJpeg(picture, output))
        return 1;
    std::printf("%s: %dx%d\n", qPrintable(output), PictureSize.width(), PictureSize.height());
    return 0;
}
