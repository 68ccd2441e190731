#include "picturefile.h"

#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace pictures {

bool saveJpeg(const QImage &image, const QString &path)
{
    // JPEG has no see-through parts, so lay the picture on white first.
    QImage flat(image.size(), QImage::Format_RGB888);
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
    }
    const int dotsPerMeter = int(std::lround(72 / 0.0254));
    flat.setDotsPerMeterX(dotsPerMeter);
    flat.setDotsPerMeterY(dotsPerMeter);

    QImageWriter writer(path, "jpeg");
    writer.setQuality(90);
    if (!writer.write(flat)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
        return false;
    }
    const QSize back = QImageReader(path, "jpeg").size();
    if (back != image.size()) {
        std::fprintf(stderr, "%s: reads back as %dx%d, expected %dx%d\n", qPrintable(path),
                     back.width(), back.height(), image.width(), image.height());
        return false;
    }
    std::printf("%s: %dx%d\n", qPrintable(path), image.width(), image.height());
    return true;
}

bool looksPainted(const QImage &image, QColor pen)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    auto near = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b))
            + std::abs(qBlue(a) - qBlue(b))
            < 48;
    };
    qsizetype painted = 0;
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb pixel = argb.pixel(x, y);
            if (qAlpha(pixel) >= 128 && !near(pixel, qRgb(255, 255, 255))
                && !(pen.isValid() && near(pixel, pen.rgb())))
                ++painted;
        }
    }
    return painted * 10 >= qsizetype(argb.width()) * argb.height();
}

} // namespace pictures
