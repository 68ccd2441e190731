#pragma once

#include <QByteArray>
#include <QString>

namespace forms {

/// Reads a whole file the program was given by name (a picture, a spoken card), refusing anything
/// that is not a regular file before reading from it, so that a FIFO or a device named like one
/// cannot block the lesson. Raises a RuntimeError naming the file and the reason, in words for
/// its kind ("picture"), when it is missing, unreadable, not a regular file or over maxBytes.
QByteArray readRegularFile(const QString &path, qint64 maxBytes, const char *kind);

} // namespace forms
