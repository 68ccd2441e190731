#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

namespace forms {

/// Qt keeps glyphs above this many pixels out of its glyph cache and fills their outlines at
/// every paint; a card's big letters then cost milliseconds a key press.
inline constexpr int LargestCachedGlyph = 64;

/// The most bytes of glyph images the big-text cache holds; the least used go first beyond it.
inline constexpr qsizetype GlyphCacheBudget = 32 * 1024 * 1024;

/// Bytes of glyph images the big-text cache holds now, and how many glyphs it has drawn so far.
qsizetype glyphCacheBytes();
qint64 glyphsRasterized();

/// Draws text wrapped at words within box, with each glyph rasterized once per font, colour and
/// scale and kept in a bounded cache.
void drawBigText(QPainter &painter, const QRect &box, const QString &text, const QFont &font,
                 const QColor &color, Qt::Alignment alignment);

} // namespace forms
