#include "bigtext_p.h"

#include <QCache>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>

#include <cmath>

namespace forms {

namespace {

struct GlyphKey
{
    QString family;
    QString style;
    int pixelSize;
    int weight;
    quint32 index;
    QRgb color;
    qreal scale;
    int subpixel; // quarter-pixel horizontal offset the glyph was drawn at

    bool operator==(const GlyphKey &) const = default;
};

size_t qHash(const GlyphKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.family, key.style, key.pixelSize, key.weight, key.index, key.color,
                      key.scale, key.subpixel);
}

struct CachedGlyph
{
    QImage image; // the glyph in its colour on transparent, at the device scale
    QPointF offset; // from the pen position to the image's top-left corner
};

qint64 rasterized = 0;

// The glyphs of every big caption a lesson shows fit easily; the budget only bounds odd texts.
QCache<GlyphKey, CachedGlyph> &glyphCache()
{
    static QCache<GlyphKey, CachedGlyph> cache(GlyphCacheBudget);
    return cache;
}

const CachedGlyph *glyph(const QRawFont &font, quint32 index, const QColor &color, qreal scale,
                         int subpixel)
{
    const GlyphKey key {font.familyName(),
                        font.styleName(),
                        qRound(font.pixelSize()),
                        font.weight(),
                        index,
                        color.rgba(),
                        scale,
                        subpixel};
    if (const CachedGlyph *found = glyphCache().object(key))
        return found;
    ++rasterized;
    const QRectF bounds = font.boundingRect(index).adjusted(-1, -1, 1, 1);
    const QPointF topLeft(std::floor(bounds.left()), std::floor(bounds.top()));
    const QSize size(int(std::ceil(bounds.right() - topLeft.x())) + 1,
                     int(std::ceil(bounds.bottom() - topLeft.y())) + 1);
    auto *cached
        = new CachedGlyph {QImage(size * scale, QImage::Format_ARGB32_Premultiplied), topLeft};
    cached->image.setDevicePixelRatio(scale);
    cached->image.fill(Qt::transparent);
    {
        QPainter painter(&cached->image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(color);
        QGlyphRun run;
        run.setRawFont(font);
        run.setGlyphIndexes({index});
        run.setPositions({QPointF(subpixel / 4.0, 0) - topLeft});
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
    const qsizetype cost = cached->image.sizeInBytes();
    glyphCache().insert(key, cached, cost);
    return glyphCache().object(key);
}

} // namespace

qsizetype glyphCacheBytes()
{
    return glyphCache().totalCost();
}

qint64 glyphsRasterized()
{
    return rasterized;
}

void drawBigText(QPainter &painter, const QRect &box, const QString &text, const QFont &font,
                 const QColor &color, Qt::Alignment alignment)
{
    QTextLayout layout(text, font, painter.device());
    QTextOption option(alignment & Qt::AlignHorizontal_Mask);
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    // Lines apart by the font's leading, as Qt spaces wrapped text.
    const qreal leading = QFontMetricsF(font, painter.device()).leading();
    qreal height = -leading;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(box.width());
        height += leading;
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();

    QPointF origin = box.topLeft();
    if (alignment & Qt::AlignVCenter)
        origin.ry() += (box.height() - height) / 2;
    else if (alignment & Qt::AlignBottom)
        origin.ry() += box.height() - height;

    const qreal scale = painter.device()->devicePixelRatioF();
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    for (const QGlyphRun &run : layout.glyphRuns()) {
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < indexes.size(); ++i) {
            const QPointF pen = origin + positions.at(i);
            // Whole device pixels vertically; quarter pixels across keep the spacing even.
            const qreal x = std::floor(pen.x() * 4) / 4;
            const int subpixel = int(std::lround((x - std::floor(x)) * 4)) % 4;
            const CachedGlyph *cached = glyph(run.rawFont(), indexes.at(i), color, scale, subpixel);
            if (cached)
                painter.drawImage(QPointF(std::floor(x), std::round(pen.y())) + cached->offset,
                                  cached->image);
        }
    }
    painter.restore();
}

} // namespace forms
