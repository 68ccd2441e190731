// Pictures whose headers claim a huge size are refused from the header, before any pixel is
// decoded, so refusing one costs next to no memory; the damaged pictures the fuzzer found load
// or are refused without a crash.

#include "runtime/picture.h"
#include "runtime/runtimeerror.h"

#include <QtTest>

#include <QBuffer>
#include <QImageWriter>
#include <QTemporaryDir>

using namespace forms;

namespace {

QByteArray encoded(const char *format, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return buffer.data();
}

void putBigEndian(QByteArray &bytes, qsizetype at, quint32 value, int width)
{
    for (int i = 0; i < width; ++i)
        bytes[at + i] = char((value >> (8 * (width - 1 - i))) & 0xFF);
}

void putLittleEndian(QByteArray &bytes, qsizetype at, quint32 value, int width)
{
    for (int i = 0; i < width; ++i)
        bytes[at + i] = char((value >> (8 * i)) & 0xFF);
}

quint32 crc32(QByteArrayView bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A small, whole picture of the format whose header then claims width by height.
QByteArray claiming(const QByteArray &format, int width, int height)
{
    if (format == "jpeg") {
        QByteArray bytes = encoded("jpeg", {8, 8});
        const qsizetype frame = bytes.indexOf(QByteArrayView("\xFF\xC0", 2));
        putBigEndian(bytes, frame + 5, quint32(height), 2);
        putBigEndian(bytes, frame + 7, quint32(width), 2);
        return bytes;
    }
    if (format == "png") {
        QByteArray bytes = encoded("png", {1, 1});
        const qsizetype header = bytes.indexOf("IHDR");
        putBigEndian(bytes, header + 4, quint32(width), 4);
        putBigEndian(bytes, header + 8, quint32(height), 4);
        putBigEndian(bytes, header + 17, crc32(QByteArrayView(bytes).sliced(header, 17)), 4);
        return bytes;
    }
    if (format == "bmp") {
        QByteArray bytes = encoded("bmp", {1, 1});
        putLittleEndian(bytes, 18, quint32(width), 4);
        putLittleEndian(bytes, 22, quint32(height), 4);
        return bytes;
    }
    if (format == "ppm")
        return QStringLiteral("P6\n%1 %2\n255\n").arg(width).arg(height).toLatin1() + "abc";
    if (format == "gif") {
        // Qt writes no GIF: a one-pixel one, by hand.
        QByteArray bytes = QByteArray("GIF89a", 6) + QByteArray(7, '\0');
        putLittleEndian(bytes, 6, quint32(width), 2);
        putLittleEndian(bytes, 8, quint32(height), 2);
        bytes += QByteArray("\x2C\0\0\0\0", 5) + QByteArray(5, '\0');
        putLittleEndian(bytes, 18, quint32(width), 2);
        putLittleEndian(bytes, 20, quint32(height), 2);
        bytes += QByteArray("\x02\x02\x44\x01\x00\x3B", 6);
        return bytes;
    }
    return {};
}

// The largest resident size the process reached since the last reset, in KiB.
qint64 peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toLongLong();
    }
    return -1;
}

bool resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

} // namespace

class tst_PictureLimits : public QObject
{
    Q_OBJECT

private slots:
    void hugeHeaderRefused_data();
    void hugeHeaderRefused();

private:
    QTemporaryDir m_dir;
};

void tst_PictureLimits::hugeHeaderRefused_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addRow("jpeg_16384_square") << QByteArray("jpeg") << 16384 << 16384;
    QTest::addRow("jpeg_5000_square") << QByteArray("jpeg") << 5000 << 5000;
    QTest::addRow("jpeg_16384_by_1100") << QByteArray("jpeg") << 16384 << 1100;
    QTest::addRow("png_16384_square") << QByteArray("png") << 16384 << 16384;
    QTest::addRow("png_5000_square") << QByteArray("png") << 5000 << 5000;
    QTest::addRow("bmp_5000_square") << QByteArray("bmp") << 5000 << 5000;
    QTest::addRow("ppm_5000_square") << QByteArray("ppm") << 5000 << 5000;
    QTest::addRow("gif_5000_square") << QByteArray("gif") << 5000 << 5000;
}

void tst_PictureLimits::hugeHeaderRefused()
{
    QFETCH(QByteArray, format);
    QFETCH(int, width);
    QFETCH(int, height);
    QVERIFY(m_dir.isValid());
    const QString path = m_dir.filePath(QStringLiteral("claim.") + QString::fromLatin1(format));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(claiming(format, width, height));
    }

    if (!resetPeak())
        QSKIP("the kernel cannot reset the peak resident size");
    const qint64 before = peakResidentKiB();
    try {
        const Picture picture = LoadPicture(path);
        QFAIL(qPrintable(QStringLiteral("a %1x%2 picture loaded; the peak resident size grew by "
                                        "%3 KiB")
                             .arg(picture.image().width())
                             .arg(picture.image().height())
                             .arg(peakResidentKiB() - before)));
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), int(InvalidPicture));
        QVERIFY2(error.description().contains(path), qPrintable(error.description()));
        QVERIFY2(error.description().contains(QLatin1String("too large")),
                 qPrintable(error.description()));
    }
    const qint64 grown = peakResidentKiB() - before;
    qInfo("peak resident size grew by %lld KiB while refusing it", grown);
    QVERIFY2(grown < 16 * 1024, qPrintable(QStringLiteral("%1 KiB").arg(grown)));
}

QTEST_GUILESS_MAIN(tst_PictureLimits)
#include "tst_picturelimits.moc"
