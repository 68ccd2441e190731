// Saves the program's pictures as plain JPEG files on a white ground.
#pragma once

#include <QImage>
#include <QString>

namespace pictures {

// Baseline JPEG at quality 90 and 72 dots per inch; reports any trouble on stderr.
bool saveJpeg(const QImage &image, const QString &path);

// True when at least a tenth of the picture is solid colour other than white and other
// than `pen`: a blank, an empty box or a plain one-colour fallback glyph drawn in `pen`
// fails this.
bool looksPainted(const QImage &image, QColor pen = {});

} // namespace pictures
