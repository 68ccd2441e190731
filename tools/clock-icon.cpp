// Makes src/resources/clock.ico: a red alarm clock, at 32 and 16 pixels.
#include "iconfile.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cstdio>

namespace {

// The point at a clock position (in hours) and distance from the middle of the dial.
QPointF onDial(QPointF centre, qreal hours, qreal radius)
{
    const qreal angle = qDegreesToRadians(hours * 30.0);
    return centre + QPointF(radius * std::sin(angle), -radius * std::cos(angle));
}

// Drawn on a 32-unit grid and scaled down; the small size keeps fewer, bolder marks.
// No smoothing: in sixteen colours soft edges turn into grey fringes.
QImage drawClock(int size)
{
    const bool small = size < 24;
    const QList<QRgb> vga = icons::vgaPalette();
    const QColor black(vga[0]), maroon(vga[1]), red(vga[9]), magenta(vga[13]), white(vga[15]);
    const QPointF centre(16, small ? 18 : 17.5);
    const qreal caseRadius = small ? 10.5 : 11.5;
    const qreal dial = small ? 7.5 : 8.5;

    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.scale(size / 32.0, size / 32.0);
    const qreal pixel = 32.0 / size; // one output pixel in grid units

    // Two small feet under the case.
    p.setPen(QPen(black, std::max(2.5, 1.5 * pixel), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.5, 25), QPointF(7, 30.5));
    p.drawLine(QPointF(21.5, 25), QPointF(25, 30.5));

    // The bell: a dome with a knob, sitting on the case.
    QPainterPath bell;
    bell.moveTo(8, 8);
    bell.arcTo(QRectF(8, 1.5, 16, 13), 180, -180);
    bell.closeSubpath();
    // A dark rim helps at 32 pixels; at 16 it would eat the red.
    p.setPen(small ? QPen(Qt::NoPen) : QPen(maroon, pixel));
    p.setBrush(red);
    p.drawPath(bell);
    p.drawRect(QRectF(15 - pixel / 2, 0, 2 + pixel / 2, 2));

    // The case and its white dial. Small, a see-through gap keeps the bell apart from it.
    if (small) {
        p.save();
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.drawEllipse(centre, caseRadius + pixel, caseRadius + pixel);
        p.restore();
    }
    p.drawEllipse(centre, caseRadius, caseRadius);
    p.setPen(Qt::NoPen);
    p.setBrush(white);
    p.drawEllipse(centre, dial, dial);

    // Hour marks: twelve short lines when there is room, else a dot at each quarter.
    for (int hour = 0; hour < 12; ++hour) {
        const bool quarter = hour % 3 == 0;
        if (small) {
            if (!quarter)
                continue;
            const QPointF at = onDial(centre, hour, dial - 1.5);
            const QPointF cell(std::floor(at.x() / pixel) * pixel,
                               std::floor(at.y() / pixel) * pixel);
            p.fillRect(QRectF(cell, QSizeF(pixel, pixel)), black);
            continue;
        }
        p.setPen(QPen(black, quarter ? 1.5 : 1.0, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(onDial(centre, hour, dial - (quarter ? 2.5 : 1.8)),
                   onDial(centre, hour, dial - 0.3));
    }

    // Three o'clock: square hands stay crisp at both sizes.
    p.setPen(QPen(black, std::max(2.0, pixel), Qt::SolidLine, Qt::FlatCap));
    p.drawLine(centre, onDial(centre, 3, small ? 4 : 5));
    p.setPen(QPen(black, std::max(1.5, pixel), Qt::SolidLine, Qt::FlatCap));
    p.drawLine(centre, onDial(centre, 0, small ? 6 : 7));
    p.setPen(QPen(magenta, pixel, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(centre, onDial(centre, 7.5, small ? 5 : 7));
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
    const bool ok = icons::write(QString::fromLocal8Bit(argv[1]), icons::Kind::Icon,
                                 {{drawClock(32), 4, {}}, {drawClock(16), 4, {}}});
    return ok ? 0 : 1;
}
