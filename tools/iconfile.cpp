#include "iconfile.h"

#include <QDataStream>
#include <QImageReader>
#include <QSaveFile>

#include <climits>
#include <cstdio>

namespace icons {

namespace {

constexpr int kFileHeaderSize = 6;
constexpr int kDirectoryEntrySize = 16;
constexpr int kBitmapHeaderSize = 40;

// Rows of both bitmaps are padded to whole 32-bit words.
int rowBytes(int width, int bitsPerPixel)
{
    return (width * bitsPerPixel + 31) / 32 * 4;
}

QList<QRgb> paletteFor(int bitsPerPixel)
{
    if (bitsPerPixel == 1)
        return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    return vgaPalette();
}

int nearest(QRgb colour, const QList<QRgb> &palette)
{
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(colour) - qRed(palette[i]);
        const int dg = qGreen(colour) - qGreen(palette[i]);
        const int db = qBlue(colour) - qBlue(palette[i]);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

int imageBytes(const Picture &picture)
{
    const int size = picture.image.width();
    return kBitmapHeaderSize + (4 << picture.bitsPerPixel)
        + size * (rowBytes(size, picture.bitsPerPixel) + rowBytes(size, 1));
}

// The bitmap header, palette, colour bits and see-through mask of one picture.
QByteArray encodeImage(const Picture &picture)
{
    const QImage image = picture.image.convertToFormat(QImage::Format_ARGB32);
    const int size = image.width();
    const int bits = picture.bitsPerPixel;
    const QList<QRgb> palette = paletteFor(bits);
    const int colourStride = rowBytes(size, bits);
    const int maskStride = rowBytes(size, 1);

    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    stream.setByteOrder(QDataStream::LittleEndian);
    // The height counts the colour bitmap and the mask together.
    stream << quint32(kBitmapHeaderSize) << qint32(size) << qint32(2 * size) << quint16(1)
           << quint16(bits) << quint32(0) << quint32(size * (colourStride + maskStride))
           << qint32(0) << qint32(0) << quint32(0) << quint32(0);
    for (QRgb colour : palette)
        stream << quint8(qBlue(colour)) << quint8(qGreen(colour)) << quint8(qRed(colour))
               << quint8(0);

    QByteArray colours(size * colourStride, '\0');
    QByteArray mask(size * maskStride, '\0');
    // Both bitmaps are stored bottom row first.
    for (int y = 0; y < size; ++y) {
        const int row = size - 1 - y;
        for (int x = 0; x < size; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) < 128) {
                // Index 0 (black) with the mask bit set leaves the screen as it is.
                mask[row * maskStride + x / 8] |= char(0x80 >> (x % 8));
                continue;
            }
            const int index = nearest(pixel, palette);
            const int bitOffset = x * bits;
            const int shift = 8 - bits - bitOffset % 8;
            colours[row * colourStride + bitOffset / 8] |= char(index << shift);
        }
    }
    out += colours;
    out += mask;
    return out;
}

} // namespace

QList<QRgb> vgaPalette()
{
    return {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
    };
}

QByteArray encode(Kind kind, const QList<Picture> &pictures)
{
    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    stream.setByteOrder(QDataStream::LittleEndian);
    stream << quint16(0) << quint16(kind) << quint16(pictures.size());

    quint32 offset = kFileHeaderSize + kDirectoryEntrySize * pictures.size();
    for (const Picture &picture : pictures) {
        const int size = picture.image.width();
        const quint32 bytes = imageBytes(picture);
        stream << quint8(size) << quint8(size) << quint8(1 << picture.bitsPerPixel) << quint8(0);
        // Cursors keep their hot spot where icons keep planes and bit count.
        if (kind == Kind::Cursor)
            stream << quint16(picture.hotSpot.x()) << quint16(picture.hotSpot.y());
        else
            stream << quint16(1) << quint16(picture.bitsPerPixel);
        stream << bytes << offset;
        offset += bytes;
    }
    for (const Picture &picture : pictures)
        out += encodeImage(picture);
    return out;
}

bool write(const QString &path, Kind kind, const QList<Picture> &pictures)
{
    int expectedSize = kFileHeaderSize;
    for (const Picture &picture : pictures) {
        const QSize size = picture.image.size();
        if (size.width() != size.height() || size.width() < 1 || size.width() > 255
            || (picture.bitsPerPixel != 1 && picture.bitsPerPixel != 4)) {
            std::fprintf(stderr, "%s: cannot store a %dx%d picture with %d bits per pixel\n",
                         qPrintable(path), size.width(), size.height(), picture.bitsPerPixel);
            return false;
        }
        expectedSize += kDirectoryEntrySize + imageBytes(picture);
    }

    const QByteArray bytes = encode(kind, pictures);
    if (bytes.size() != expectedSize) {
        std::fprintf(stderr, "%s: made %lld bytes, expected %d\n", qPrintable(path),
                     qlonglong(bytes.size()), expectedSize);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }

    // Read it back the way the program will, picture by picture.
    QImageReader reader(path, kind == Kind::Cursor ? "cur" : "ico");
    if (reader.imageCount() != pictures.size()) {
        std::fprintf(stderr, "%s: Qt sees %d pictures, expected %lld (%s)\n", qPrintable(path),
                     reader.imageCount(), qlonglong(pictures.size()),
                     qPrintable(reader.errorString()));
        return false;
    }
    for (int i = 0; i < pictures.size(); ++i) {
        const Picture &picture = pictures[i];
        reader.jumpToImage(i);
        const QImage back = reader.read();
        if (back.size() != picture.image.size()) {
            std::fprintf(stderr, "%s: Qt read a %dx%d picture, expected %dx%d (%s)\n",
                         qPrintable(path), back.width(), back.height(), picture.image.width(),
                         picture.image.height(), qPrintable(reader.errorString()));
            return false;
        }
    }
    std::printf("%s: %lld bytes, %lld pictures\n", qPrintable(path), qlonglong(bytes.size()),
                qlonglong(pictures.size()));
    return true;
}

} // namespace icons
