#pragma once

#include <QByteArray>
#include <QString>

namespace forms {

/// Reads a whole file the program was given by name (a picture, a spoken card), refusing anything
/// that is not a regular file before reading from it, so that a FIFO or a device named like one
/// cannot block the lesson. Raises a RuntimeError naming the file and the reason, in words for
/// its kind ("picture"), when it is missing, unreadable, not a regular file or over maxBytes.
QByteArray readRegularFile(const QString &path, qint64 maxBytes, const char *kind);

/// The operating system's side of readRegularFile: a file opened for reading in binary, whose
/// opening never waits on what is behind it.
class OpenedFile
{
public:
    enum Kind { Missing, WrongPath, Unopened, Unreadable, Folder, Special, Regular };

    explicit OpenedFile(const QString &path);
    ~OpenedFile();
    OpenedFile(const OpenedFile &) = delete;
    OpenedFile &operator=(const OpenedFile &) = delete;

    Kind kind() const { return m_kind; }
    qint64 size() const { return m_size; }
    /// Reads up to most bytes: how many, 0 at the end, -1 on an error (see reason()).
    qint64 read(char *into, qint64 most);
    /// Why it could not be opened or read, in the system's words.
    QString reason() const { return m_reason; }

private:
    Kind m_kind = Unopened;
    qint64 m_size = 0;
    QString m_reason;
    qintptr m_handle = -1;
};

} // namespace forms
