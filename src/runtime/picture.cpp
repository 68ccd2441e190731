#include "picture.h"

#include "regularfile_p.h"
#include "runtimeerror.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

namespace forms {

namespace {

[[noreturn]] void fail(int number, const QString &path, const QString &reason)
{
    throw RuntimeError(number, QStringLiteral("%1: %2").arg(reason, path));
}

// Qt's JPEG reader fills a picture that is cut off with grey and calls it good; a whole JPEG
// ends its last scan with an end-of-image marker.
bool jpegIsCutOff(const QByteArray &bytes)
{
    const qsizetype lastScan = bytes.lastIndexOf(QByteArrayView("\xFF\xDA"));
    return lastScan < 0 || bytes.indexOf(QByteArrayView("\xFF\xD9"), lastScan) < 0;
}

// One reader checks the file's kind and size, then decodes it.
QImage decode(const QByteArray &bytes, const QString &path)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    if (reader.format() == "jpeg" && jpegIsCutOff(bytes))
        fail(InvalidPicture, path, QStringLiteral("Invalid picture (the JPEG file is cut off)"));
    const QSize size = reader.size();
    if (size.width() > MaxPictureSide || size.height() > MaxPictureSide)
        fail(InvalidPicture, path,
             QStringLiteral("Picture too large (%1 by %2 pixels; at most %3 a side)")
                 .arg(size.width())
                 .arg(size.height())
                 .arg(MaxPictureSide));
    // Refused from the header alone, before the decoder allocates what the header claims.
    if (qint64(size.width()) * size.height() > MaxPicturePixels)
        fail(InvalidPicture, path,
             QStringLiteral("Picture too large (%1 by %2 pixels; at most %3 pixels)")
                 .arg(size.width())
                 .arg(size.height())
                 .arg(MaxPicturePixels));
    // A reader that cannot tell the size beforehand still stops at the same bound.
    reader.setAllocationLimit(int(MaxPicturePixels * 4 / (1024 * 1024)));
    QImage image = reader.read();
    if (image.isNull())
        fail(InvalidPicture, path,
             QStringLiteral("Invalid picture (%1)").arg(reader.errorString()));
    return image;
}

} // namespace

Picture LoadPicture(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QByteArray bytes = readRegularFile(path, MaxPictureFileBytes, "picture");
    if (bytes.isEmpty())
        fail(InvalidPicture, path, QStringLiteral("Invalid picture (the file is empty)"));
    return Picture(decode(bytes, path));
}

Picture pictureFromResource(const char *resourcePath)
{
    const QString path = QString::fromUtf8(resourcePath);
    if (path.isEmpty())
        return {};
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        throw RuntimeError(
            InvalidPicture,
            QStringLiteral("Invalid picture: %1 (%2)").arg(path, reader.errorString()));
    return Picture(std::move(image));
}

} // namespace forms
