#include "picture.h"

#include "runtimeerror.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace forms {

namespace {

[[noreturn]] void fail(int number, const QString &path, const QString &reason)
{
    throw RuntimeError(number, QStringLiteral("%1: %2").arg(reason, path));
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Reads the whole file, refusing anything that is not a regular file before reading from it, so
// that a FIFO or a device named like a picture cannot block the lesson.
QByteArray readRegularFile(const QString &path)
{
    const QByteArray native = path.toLocal8Bit();
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT)
            fail(FileNotFound, path, QStringLiteral("File not found"));
        if (error == ENOTDIR)
            fail(PathNotFound, path, QStringLiteral("Path not found"));
        fail(InvalidPicture, path,
             QStringLiteral("Cannot open the picture (%1)").arg(systemReason(error)));
    }
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer {fd};

    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0)
        fail(InvalidPicture, path,
             QStringLiteral("Cannot read the picture (%1)").arg(systemReason(errno)));
    if (S_ISDIR(info.st_mode))
        fail(InvalidPicture, path, QStringLiteral("Not a picture file but a folder"));
    if (!S_ISREG(info.st_mode))
        fail(InvalidPicture, path, QStringLiteral("Not a picture file but a special file"));
    if (info.st_size > MaxPictureFileBytes)
        fail(InvalidPicture, path,
             QStringLiteral("Picture file too large (over %1 MiB)")
                 .arg(MaxPictureFileBytes / (1024 * 1024)));

    QByteArray bytes;
    bytes.resize(static_cast<qsizetype>(info.st_size));
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t got
            = ::read(fd, bytes.data() + done, static_cast<size_t>(bytes.size() - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            fail(InvalidPicture, path,
                 QStringLiteral("Cannot read the picture (%1)").arg(systemReason(errno)));
        if (got == 0)
            break; // the file shrank while we read it: decode what is there
        done += got;
    }
    bytes.truncate(done);
    return bytes;
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
    const QByteArray bytes = readRegularFile(path);
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
