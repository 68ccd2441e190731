// Makes src/resources/quorbel.ico, the window icon: a bright green handwritten "A"; and, from
// the same drawing at any size, the PNG icons the desktop's menus show.
#include "iconfile.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstdio>

namespace {

// URW's Zapf Chancery lookalike, from fonts-urw-base35.
const QString kScriptFamily = QStringLiteral("Z003");

// The letter is drawn on a 32-unit grid, the window icon's size, and scaled to SIZE pixels.
QImage drawLetter(int pixels)
{
    constexpr int size = 32;
    QFont font(kScriptFamily);
    font.setPixelSize(100);
    // Qt may name it with its foundry, as in "Z003 [urw]".
    if (!QFontInfo(font).family().startsWith(kScriptFamily)) {
        std::fprintf(stderr, "the script font \"%s\" is missing (fonts-urw-base35)\n",
                     qPrintable(kScriptFamily));
        return {};
    }
    QPainterPath letter;
    letter.addText(0, 0, font, QStringLiteral("A"));

    // Fit the letter's own outline, swashes and all, into the square with a pixel to spare.
    const QRectF bounds = letter.boundingRect();
    const qreal room = size - 2.5;
    const qreal scale = room / std::max(bounds.width(), bounds.height());
    QTransform fit;
    fit.translate(size / 2.0, size / 2.0);
    fit.scale(scale, scale);
    fit.translate(-bounds.center().x(), -bounds.center().y());
    letter = fit.map(letter);

    QImage image(pixels, pixels, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(qreal(pixels) / size, qreal(pixels) / size);
    // A dark green rim keeps the thin strokes whole and visible on light title bars.
    const QList<QRgb> vga = icons::vgaPalette();
    painter.strokePath(letter,
                       QPen(QColor(vga[2]), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(letter, QColor(vga[10]));
    return image;
}

// Writes a PNG icon and reads it back, so a bad file never reaches an install.
bool writePng(const QString &path, const QImage &image)
{
    QImageWriter writer(path, "png");
    if (!writer.write(image)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return false;
    }
    if (QImageReader(path).read().size() != image.size()) {
        std::fprintf(stderr, "%s does not read back as a %dx%d picture\n", qPrintable(path),
                     image.width(), image.height());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() == 1 && !args[0].startsWith(u'-')) {
        const QImage letter = drawLetter(32);
        if (letter.isNull())
            return 1;
        return icons::write(args[0], icons::Kind::Icon, {{letter, 4, {}}}) ? 0 : 1;
    }
    bool sizeOk = false;
    const int size
        = args.size() == 3 && args[0] == QLatin1String("--png") ? args[1].toInt(&sizeOk) : 0;
    if (!sizeOk || size < 8 || size > 1024) {
        std::fprintf(stderr,
                     "usage: %s OUTPUT.ico\n"
                     "       %s --png SIZE OUTPUT.png   (SIZE 8 to 1024 pixels)\n",
                     argv[0], argv[0]);
        return 2;
    }
    const QImage letter = drawLetter(size);
    if (letter.isNull())
        return 1;
    return writePng(args[2], letter) ? 0 : 1;
}
