#include "regularfile_p.h"

#include "runtimeerror.h"

namespace forms {

namespace {

[[noreturn]] void fail(int number, const QString &path, const QString &reason)
{
    throw RuntimeError(number, QStringLiteral("%1: %2").arg(reason, path));
}

} // namespace

QByteArray readRegularFile(const QString &path, qint64 maxBytes, const char *kind)
{
    const QString noun = QString::fromLatin1(kind);
    OpenedFile file(path);
    switch (file.kind()) {
    case OpenedFile::Missing:
        fail(FileNotFound, path, QStringLiteral("File not found"));
    case OpenedFile::WrongPath:
        fail(PathNotFound, path, QStringLiteral("Path not found"));
    case OpenedFile::Unopened:
        fail(InvalidPicture, path,
             QStringLiteral("Cannot open the %1 (%2)").arg(noun, file.reason()));
    case OpenedFile::Unreadable:
        fail(InvalidPicture, path,
             QStringLiteral("Cannot read the %1 (%2)").arg(noun, file.reason()));
    case OpenedFile::Folder:
        fail(InvalidPicture, path, QStringLiteral("Not a %1 file but a folder").arg(noun));
    case OpenedFile::Special:
        fail(InvalidPicture, path, QStringLiteral("Not a %1 file but a special file").arg(noun));
    case OpenedFile::Regular:
        break;
    }
    if (file.size() > maxBytes)
        fail(InvalidPicture, path,
             QStringLiteral("%1 file too large (over %2 MiB)")
                 .arg(QString(noun).replace(0, 1, noun.at(0).toUpper()))
                 .arg(maxBytes / (1024 * 1024)));

    QByteArray bytes;
    bytes.resize(static_cast<qsizetype>(file.size()));
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 got = file.read(bytes.data() + done, bytes.size() - done);
        if (got < 0)
            fail(InvalidPicture, path,
                 QStringLiteral("Cannot read the %1 (%2)").arg(noun, file.reason()));
        if (got == 0)
            break; // the file shrank while we read it: decode what is there
        done += got;
    }
    bytes.truncate(done);
    return bytes;
}

} // namespace forms
