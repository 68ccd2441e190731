// Writes Windows icon (.ico) and cursor (.cur) files with palette images, the old
// 16-colour and 2-colour kinds that every reader understands.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRgb>
#include <QString>

namespace icons {

enum class Kind { Icon = 1, Cursor = 2 };

struct Picture
{
    QImage image; // alpha below half counts as see-through
    int bitsPerPixel = 4; // 4 uses the VGA colours, 1 uses black and white
    QPoint hotSpot; // cursors only
};

// The standard 16 VGA colours in their usual order.
QList<QRgb> vgaPalette();

// The whole file; pictures must be square and at most 255 pixels wide.
QByteArray encode(Kind kind, const QList<Picture> &pictures);

// Writes the file, reads it back with Qt and reports any trouble on stderr.
bool write(const QString &path, Kind kind, const QList<Picture> &pictures);

} // namespace icons
