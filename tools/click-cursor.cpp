// Makes src/resources/click.cur: a white pointing hand with "Click" written beside the
// finger, for the places where a child should click.
#include "iconfile.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kSize = 32;
constexpr QPoint kHotSpot(5, 0);
const QColor kBlack(Qt::black);
const QColor kWhite(Qt::white);

// "Click" in a seven-pixel-high hand-set face; a smoothed font would break up
// into specks at this size in two colours.
// clang-format off
constexpr std::array<const char *, 7> kClick = {
    ".###.#.#.....#..",
    "#....#.......#..",
    "#....#.#..##.#.#",
    "#....#.#.#...#.#",
    "#....#.#.#...##.",
    "#....#.#.#...#.#",
    ".###.#.#..##.#.#",
};
// clang-format on

bool isShape(const QImage &image, int x, int y)
{
    return image.rect().contains(x, y) && qAlpha(image.pixel(x, y)) >= 128;
}

// Blackens the rim of everything drawn so far, so the white hand has a clean edge.
void outlineInside(QImage &image)
{
    const QImage shape = image.copy();
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            if (isShape(shape, x, y)
                && (!isShape(shape, x - 1, y) || !isShape(shape, x + 1, y)
                    || !isShape(shape, x, y - 1) || !isShape(shape, x, y + 1)))
                image.setPixelColor(x, y, kBlack);
}

QImage drawHand()
{
    QPainterPath hand;
    hand.setFillRule(Qt::WindingFill); // overlapping parts add up rather than cancel
    hand.addRoundedRect(QRectF(4, 0, 6, 18), 3, 3); // the pointing finger
    hand.addRoundedRect(QRectF(0.5, 14, 6, 8), 3, 3); // thumb
    hand.addRoundedRect(QRectF(3, 13, 20, 13), 4, 4); // palm
    for (int finger = 0; finger < 3; ++finger) // the three curled fingers
        hand.addRoundedRect(QRectF(9 + 4.5 * finger, 10 + finger, 5, 9), 2.5, 2.5);
    hand = hand.simplified();

    QImage image(kSize, kSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kWhite);
    painter.drawPath(hand);
    painter.drawRect(QRect(6, 25, 14, 7)); // cuff
    painter.end();
    outlineInside(image);

    // Creases between the curled fingers and along the top of the cuff.
    painter.begin(&image);
    painter.setPen(kBlack);
    for (int finger = 0; finger < 3; ++finger) {
        const int x = 9 + int(4.5 * finger);
        painter.drawLine(x, 11 + finger, x, 15 + finger);
    }
    painter.drawLine(6, 25, 19, 25);
    return image;
}

// Writes "Click" at the top right in white letters, each pixel ringed in black.
void writeClick(QImage &image)
{
    const int width = int(std::strlen(kClick[0]));
    const QPoint origin(kSize - 1 - width, 1);
    auto isLetter = [width](int col, int row) {
        return row >= 0 && row < int(kClick.size()) && col >= 0 && col < width
            && kClick[row][col] == '#';
    };
    for (int row = -1; row <= int(kClick.size()); ++row) {
        for (int col = -1; col <= width; ++col) {
            const QPoint at = origin + QPoint(col, row);
            if (isLetter(col, row)) {
                image.setPixelColor(at, kWhite);
                continue;
            }
            bool nearLetter = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    nearLetter = nearLetter || isLetter(col + dx, row + dy);
            if (nearLetter)
                image.setPixelColor(at, kBlack);
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.cur\n", argv[0]);
        return 2;
    }
    QImage cursor = drawHand();
    writeClick(cursor);
    const bool ok = icons::write(QString::fromLocal8Bit(argv[1]), icons::Kind::Cursor,
                                 {{cursor, 1, kHotSpot}});
    return ok ? 0 : 1;
}
