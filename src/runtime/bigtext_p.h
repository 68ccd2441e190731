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

/// Draws text wrapped at words within box, with each glyph rasterized once per font, colour and
/// scale and kept in a bounded cache.
void drawBigText(QPainter &painter, const QRect &box, const QString &text, const QFont &font,
                 const QColor &color, Qt::Alignment alignment);

} // namespace forms
