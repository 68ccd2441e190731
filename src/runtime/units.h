#pragma once

#include <QColor>
#include <QFont>
#include <QtGlobal>

namespace forms {

/// Twips per device-independent pixel: 1440 twips to the inch at 96 pixels to the inch.
inline constexpr int TwipsPerPixel = 15;

/// A length in twips as device-independent pixels, rounded to the nearest pixel.
int twipsToPixels(double twips);

/// A length in device-independent pixels as twips.
inline double pixelsToTwips(double pixels)
{
    return pixels * TwipsPerPixel;
}

/// A font size in points as device-independent pixels at the layouts' 96 pixels to the inch.
int pointsToPixels(double points);

/// A stored colour: 0x00BBGGRR, or 0x800000nn for system colour nn.
/// Throws RuntimeError (invalid property value) for any other value.
QColor colorFromStored(quint32 value);

/// True when the stored value names a system colour.
inline bool isSystemColor(quint32 value)
{
    return (value & 0xFF000000u) == 0x80000000u;
}

/// The font installed for a requested face: the face itself, or its look-alike when the face is
/// missing.
QString installedFace(const QString &requestedFace);

} // namespace forms
