// Makes src/resources/apple.jpg: a glossy red apple with a stalk and a leaf, on white.
#include "picturefile.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>

namespace {

constexpr QSize kSize(358, 357);

QPainterPath appleBody()
{
    // Two shoulders with a dip for the stalk, and a small dimple underneath.
    QPainterPath body;
    body.moveTo(179, 108);
    body.cubicTo(215, 78, 302, 80, 308, 172);
    body.cubicTo(314, 252, 270, 326, 226, 331);
    body.cubicTo(206, 334, 195, 322, 179, 322);
    body.cubicTo(163, 322, 152, 334, 132, 331);
    body.cubicTo(88, 326, 44, 252, 50, 172);
    body.cubicTo(56, 80, 143, 78, 179, 108);
    body.closeSubpath();
    return body;
}

QPainterPath leafShape()
{
    QPainterPath leaf;
    leaf.moveTo(188, 84);
    leaf.cubicTo(205, 40, 250, 28, 290, 40);
    leaf.cubicTo(272, 78, 230, 100, 188, 84);
    leaf.closeSubpath();
    return leaf;
}

QImage drawApple()
{
    QImage image(kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // A soft shadow on the table.
    QRadialGradient shadow(QPointF(179, 338), 130);
    shadow.setColorAt(0, QColor(0, 0, 0, 70));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(QPointF(179, 338), 125, 14);

    // The stalk first, so the apple hides where it comes out.
    p.setPen(QPen(QColor(95, 58, 28), 11, Qt::SolidLine, Qt::RoundCap));
    QPainterPath stalk;
    stalk.moveTo(178, 122);
    stalk.cubicTo(178, 90, 180, 60, 194, 36);
    p.setBrush(Qt::NoBrush);
    p.drawPath(stalk);
    p.setPen(QPen(QColor(140, 95, 55), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(stalk.translated(-2, 0));

    // The body: light from the upper left, deep red at the rim.
    const QPainterPath body = appleBody();
    QRadialGradient skin(QPointF(170, 200), 170, QPointF(120, 150));
    skin.setColorAt(0, QColor(248, 70, 60));
    skin.setColorAt(0.45, QColor(218, 22, 30));
    skin.setColorAt(0.85, QColor(160, 8, 22));
    skin.setColorAt(1, QColor(115, 0, 15));
    p.setPen(Qt::NoPen);
    p.setBrush(skin);
    p.drawPath(body);

    // Shade in the dip around the stalk.
    p.save();
    p.setClipPath(body);
    QRadialGradient dip(QPointF(180, 108), 42);
    dip.setColorAt(0, QColor(90, 0, 10, 170));
    dip.setColorAt(1, QColor(90, 0, 10, 0));
    p.setBrush(dip);
    p.drawEllipse(QPointF(180, 108), 60, 34);
    p.restore();

    // The gloss: a long shine on the left shoulder and a small spark beside it.
    p.save();
    p.translate(112, 170);
    p.rotate(-28);
    QLinearGradient shine(QPointF(0, -45), QPointF(0, 45));
    shine.setColorAt(0, QColor(255, 255, 255, 220));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(shine);
    p.drawEllipse(QPointF(0, 0), 17, 45);
    p.restore();
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(QPointF(148, 128), 9, 6);

    // The leaf, with a paler vein down its middle.
    const QPainterPath leaf = leafShape();
    QLinearGradient green(QPointF(188, 84), QPointF(290, 40));
    green.setColorAt(0, QColor(40, 120, 35));
    green.setColorAt(1, QColor(95, 185, 60));
    p.setBrush(green);
    p.setPen(QPen(QColor(30, 90, 25), 2));
    p.drawPath(leaf);
    QPainterPath vein;
    vein.moveTo(192, 82);
    vein.quadTo(240, 58, 284, 42);
    p.setPen(QPen(QColor(160, 215, 120), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(vein);
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.jpg\n", argv[0]);
        return 2;
    }
    const QImage apple = drawApple();
    if (!pictures::looksPainted(apple)) {
        std::fprintf(stderr, "the apple came out without colour\n");
        return 1;
    }
    return pictures::saveJpeg(apple, QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
