#include "regularfile_p.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace forms {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

OpenedFile::OpenedFile(const QString &path)
{
    // Non-blocking, so that opening a FIFO with no writer returns at once.
    const int fd
        = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        m_kind = error == ENOENT ? Missing : error == ENOTDIR ? WrongPath : Unopened;
        m_reason = systemReason(error);
        return;
    }
    m_handle = fd;
    struct stat info = {};
    if (::fstat(fd, &info) != 0) {
        m_kind = Unreadable;
        m_reason = systemReason(errno);
    } else {
        m_kind = S_ISDIR(info.st_mode) ? Folder : S_ISREG(info.st_mode) ? Regular : Special;
        m_size = info.st_size;
    }
}

OpenedFile::~OpenedFile()
{
    if (m_handle >= 0)
        ::close(int(m_handle));
}

qint64 OpenedFile::read(char *into, qint64 most)
{
    for (;;) {
        const ssize_t got = ::read(int(m_handle), into, static_cast<size_t>(most));
        if (got >= 0)
            return got;
        if (errno != EINTR) {
            m_reason = systemReason(errno);
            return -1;
        }
    }
}

} // namespace forms
