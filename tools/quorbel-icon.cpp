// Makes src/resources/quorbel.ico, the window icon: a bright green handwritten "A".
#include "iconfile.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstdio>

namespace {

// URW's Zapf Chancery lookalike, from fonts-urw-base35.
const QString kScriptFamily = QStringLiteral("Z003");

QImage drawLetter()
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

    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // A dark green rim keeps the thin strokes whole and visible on light title bars.
    const QList<QRgb> vga = icons::vgaPalette();
    painter.strokePath(letter,
                       QPen(QColor(vga[2]), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(letter, QColor(vga[10]));
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.ico\n", argv[0]);
        return 2;
    }
    const QImage letter = drawLetter();
    if (letter.isNull())
        return 1;
    const bool ok
        = icons::write(QString::fromLocal8Bit(argv[1]), icons::Kind::Icon, {{letter, 4, {}}});
    return ok ? 0 : 1;
}
