#pragma once

#include <QImage>
#include <QString>

namespace forms {

/// A picture for a picture control's Picture; empty blanks the control.
class Picture
{
public:
    Picture() = default;
    explicit Picture(QImage image)
        : m_image(std::move(image))
    { }

    bool isEmpty() const { return m_image.isNull(); }
    const QImage &image() const { return m_image; }

private:
    QImage m_image;
};

/// Largest picture file LoadPicture reads, the largest side and the most pixels it decodes
/// (64 MiB at 32 bits a pixel; a few hundred bytes of header may claim far more).
inline constexpr qint64 MaxPictureFileBytes = 32 * 1024 * 1024;
inline constexpr int MaxPictureSide = 16384;
inline constexpr qint64 MaxPicturePixels = 4096 * 4096;

/// Reads the picture file at path afresh from disk, every call: no cache of any kind.
/// The path goes to the file system as it stands: a backslash is part of a name, as on Linux.
/// An empty path gives an empty picture.
/// A missing, unreadable, non-regular, oversized or undecodable file raises a RuntimeError that
/// names the file and the reason.
Picture LoadPicture(const QString &path);

/// A picture held in a window's definition (a resource path).
Picture pictureFromResource(const char *resourcePath);

} // namespace forms
