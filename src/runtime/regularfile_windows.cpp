#include "regularfile_p.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>

#include <string>

namespace forms {

namespace {

// Windows says "path not found" both for a missing folder and for a file standing where a folder
// should be. Only the second is a wrong path; the first is a missing file, as anywhere else.
bool fileInTheWay(const QString &path)
{
    QString folder = QFileInfo(path).absolutePath();
    for (;;) {
        const QFileInfo info(folder);
        if (info.exists())
            return !info.isDir();
        const QString up = info.absolutePath();
        if (up == folder)
            return false;
        folder = up;
    }
}

} // namespace

OpenedFile::OpenedFile(const QString &path)
{
    // Wide names, shared, and in binary: every byte as it is on disk. Folders open too (backup
    // semantics), so that they can be named as folders.
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    HANDLE file = ::CreateFileW(native.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        m_reason = qt_error_string(int(error));
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
            || error == ERROR_DIRECTORY)
            m_kind = fileInTheWay(path) ? WrongPath : Missing;
        else
            m_kind = Unopened;
        return;
    }
    m_handle = reinterpret_cast<qintptr>(file);
    BY_HANDLE_FILE_INFORMATION info = {};
    // A pipe or a device (CON, a named pipe) is never read: it could block the lesson.
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        m_kind = Special;
    } else if (!::GetFileInformationByHandle(file, &info)) {
        m_kind = Unreadable;
        m_reason = qt_error_string(int(::GetLastError()));
    } else {
        m_kind = info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? Folder : Regular;
        m_size = qint64((quint64(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    }
}

OpenedFile::~OpenedFile()
{
    if (m_handle != -1)
        ::CloseHandle(reinterpret_cast<HANDLE>(m_handle));
}

qint64 OpenedFile::read(char *into, qint64 most)
{
    DWORD got = 0;
    if (::ReadFile(reinterpret_cast<HANDLE>(m_handle), into, DWORD(qMin<qint64>(most, 1 << 30)),
                   &got, nullptr))
        return got;
    m_reason = qt_error_string(int(::GetLastError()));
    return -1;
}

} // namespace forms
