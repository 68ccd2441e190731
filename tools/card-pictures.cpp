// Makes images/a.jpg .. images/z.jpg, the picture on each alphabet card, from the
// colour emoji font; the inkpot has no emoji, so it is drawn here.
#include "picturefile.h"

#include <QDir>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>

namespace {

constexpr int kPictureSize = 280;
constexpr int kMargin = 20;
const QString kEmojiFamily = QStringLiteral("Noto Color Emoji");
// Colour glyphs ignore the pen; a plain fallback glyph would come out in this colour.
const QColor kFallbackPen(255, 0, 255);

struct Card
{
    char letter;
    const char *word;
    const char32_t *emoji; // null when the picture is drawn by hand
};

const Card kCards[] = {
    {'a', "apple", U"\U0001F34E"},      {'b', "boy", U"\U0001F466"},
    {'c', "cat", U"\U0001F408"},        {'d', "dog", U"\U0001F415"},
    {'e', "elephant", U"\U0001F418"},   {'f', "fish", U"\U0001F41F"},
    {'g', "grapes", U"\U0001F347"},     {'h', "horse", U"\U0001F40E"},
    {'i', "inkpot", nullptr},           {'j', "jeep", U"\U0001F699"},
    {'k', "kite", U"\U0001FA81"},       {'l', "lion", U"\U0001F981"},
    {'m', "mango", U"\U0001F96D"},      {'n', "nest", U"\U0001FABA"},
    {'o', "owl", U"\U0001F989"},        {'p', "peacock", U"\U0001F99A"},
    {'q', "queen", U"\U0001F478"},      {'r', "rose", U"\U0001F339"},
    {'s', "ship", U"\U0001F6A2"},       {'t', "tiger", U"\U0001F405"},
    {'u', "umbrella", U"\u2602\uFE0F"}, {'v', "van", U"\U0001F690"},
    {'w', "watermelon", U"\U0001F349"}, {'x', "x-mas tree", U"\U0001F384"},
    {'y', "yacht", U"\u26F5"},          {'z', "zebra", U"\U0001F993"},
};

// The smallest rectangle holding every pixel that is not see-through.
QRect paintedArea(const QImage &image)
{
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                area |= QRect(x, y, 1, 1);
    return area;
}

// The emoji drawn on a see-through ground, cut to the glyph and scaled to fit the card.
QImage drawEmoji(const char32_t *emoji)
{
    QFont font(kEmojiFamily);
    font.setPixelSize(200);
    const QString text = QString::fromUcs4(emoji);
    if (QFontInfo(font).family() != kEmojiFamily
        || !QFontMetrics(font).inFontUcs4(uint(text.toUcs4().first()))) {
        std::fprintf(stderr, "the font \"%s\" is missing or has no U+%04X\n",
                     qPrintable(kEmojiFamily), uint(text.toUcs4().first()));
        return {};
    }

    QImage canvas(400, 400, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        painter.setFont(font);
        painter.setPen(kFallbackPen);
        painter.drawText(canvas.rect(), Qt::AlignCenter, text);
    }
    const QRect area = paintedArea(canvas);
    if (area.isEmpty())
        return {};
    QImage glyph = canvas.copy(area);
    const int room = kPictureSize - 2 * kMargin;
    if (glyph.width() > room || glyph.height() > room)
        glyph = glyph.scaled(room, room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return glyph;
}

// A small glass bottle of dark blue ink with a quill standing in it.
QImage drawInkpot()
{
    const int room = kPictureSize - 2 * kMargin;
    QImage image(room, room, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Shadow on the table.
    QRadialGradient shadow(QPointF(120, 226), 90);
    shadow.setColorAt(0, QColor(0, 0, 0, 60));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(QPointF(120, 226), 95, 12);

    // The quill goes in first, so the glass and ink cover its lower end.
    QPainterPath vane;
    vane.moveTo(112, 120);
    vane.cubicTo(130, 70, 175, 20, 222, 4);
    vane.cubicTo(212, 40, 180, 90, 120, 122);
    vane.closeSubpath();
    QLinearGradient feather(QPointF(120, 120), QPointF(222, 4));
    feather.setColorAt(0, QColor(222, 210, 180));
    feather.setColorAt(1, QColor(250, 244, 225));
    p.setBrush(feather);
    p.setPen(QPen(QColor(120, 105, 80), 2.5));
    p.drawPath(vane);
    p.setPen(QPen(QColor(120, 105, 80), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(100, 170), QPointF(218, 8));
    // A few barbs so it reads as a feather.
    p.setPen(QPen(QColor(165, 150, 120), 2));
    for (int i = 1; i <= 6; ++i) {
        const QPointF onShaft(112 + i * 15, 138 - i * 20.5);
        p.drawLine(onShaft, onShaft + QPointF(14, 4));
    }

    // The bottle: a wide rounded body under a short neck with a lip.
    QPainterPath body;
    body.addRoundedRect(QRectF(45, 118, 150, 108), 34, 34);
    QPainterPath neck;
    neck.addRoundedRect(QRectF(90, 86, 60, 44), 6, 6);
    const QPainterPath bottle = body.united(neck);

    QLinearGradient glass(QPointF(45, 0), QPointF(195, 0));
    glass.setColorAt(0, QColor(190, 220, 235, 150));
    glass.setColorAt(0.5, QColor(225, 242, 250, 110));
    glass.setColorAt(1, QColor(170, 200, 220, 160));
    p.setPen(Qt::NoPen);
    p.setBrush(glass);
    p.drawPath(bottle);

    // Ink fills the body up to a little below its shoulders.
    p.save();
    p.setClipPath(body);
    p.setClipRect(QRectF(0, 140, 240, 100), Qt::IntersectClip);
    QLinearGradient ink(QPointF(0, 140), QPointF(0, 226));
    ink.setColorAt(0, QColor(30, 45, 140));
    ink.setColorAt(1, QColor(10, 15, 70));
    p.setBrush(ink);
    p.drawPath(body);
    p.restore();
    p.setBrush(QColor(60, 80, 170));
    p.drawEllipse(QRectF(52, 136, 136, 9));

    // Light on the glass.
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawRoundedRect(QRectF(60, 130, 12, 78), 6, 6);
    p.drawRoundedRect(QRectF(98, 92, 7, 30), 3, 3);

    // Lip of the neck and the outline of the glass.
    p.setBrush(QColor(200, 225, 238));
    p.setPen(QPen(QColor(60, 80, 100), 3));
    p.drawRoundedRect(QRectF(84, 80, 72, 14), 6, 6);
    p.setBrush(Qt::NoBrush);
    p.drawPath(bottle);
    return image;
}

QImage cardPicture(const Card &card)
{
    const QImage drawing = card.emoji ? drawEmoji(card.emoji) : drawInkpot();
    if (drawing.isNull() || !pictures::looksPainted(drawing, kFallbackPen))
        return {};
    QImage picture(kPictureSize, kPictureSize, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.drawImage((kPictureSize - drawing.width()) / 2, (kPictureSize - drawing.height()) / 2,
                      drawing);
    return picture;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s IMAGES-FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    int failures = 0;
    for (const Card &card : kCards) {
        const QImage picture = cardPicture(card);
        const QString path = folder.filePath(QStringLiteral("%1.jpg").arg(QChar(card.letter)));
        if (picture.isNull()) {
            std::fprintf(stderr, "%s: the picture of \"%s\" did not come out in colour\n",
                         qPrintable(path), card.word);
            ++failures;
        } else if (!pictures::saveJpeg(picture, path)) {
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
