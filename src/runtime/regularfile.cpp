#include "regularfile_p.h"

#include "runtimeerror.h"

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

} // namespace

QByteArray readRegularFile(const QString &path, qint64 maxBytes, const char *kind)
{
    const QString noun = QString::fromLatin1(kind);
    const QByteArray native = path.toLocal8Bit();
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT)
            fail(FileNotFound, path, QStringLiteral("File not found"));
        if (error == ENOTDIR)
            fail(PathNotFound, path, QStringLiteral("Path not found"));
        fail(InvalidPicture, path,
             QStringLiteral("Cannot open the %1 (%2)").arg(noun, systemReason(error)));
    }
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer {fd};

    struct stat info = {};
    if (::fstat(fd, &info) != 0)
        fail(InvalidPicture, path,
             QStringLiteral("Cannot read the %1 (%2)").arg(noun, systemReason(errno)));
    if (S_ISDIR(info.st_mode))
        fail(InvalidPicture, path, QStringLiteral("Not a %1 file but a folder").arg(noun));
    if (!S_ISREG(info.st_mode))
        fail(InvalidPicture, path, QStringLiteral("Not a %1 file but a special file").arg(noun));
    if (info.st_size > maxBytes)
        fail(InvalidPicture, path,
             QStringLiteral("%1 file too large (over %2 MiB)")
                 .arg(QString(noun).replace(0, 1, noun.at(0).toUpper()))
                 .arg(maxBytes / (1024 * 1024)));

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
                 QStringLiteral("Cannot read the %1 (%2)").arg(noun, systemReason(errno)));
        if (got == 0)
            break; // the file shrank while we read it: decode what is there
        done += got;
    }
    bytes.truncate(done);
    return bytes;
}

} // namespace forms
