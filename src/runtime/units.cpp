#include "units.h"

#include "runtimeerror.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QPalette>

#include <cmath>

namespace forms {

int twipsToPixels(double twips)
{
    return static_cast<int>(std::lround(twips / TwipsPerPixel));
}

int pointsToPixels(double points)
{
    return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

namespace {

struct SystemColor
{
    QPalette::ColorRole role;
    QRgb classic; // used where the palette has no matching role
};

// Indexed by the system colour number nn of 0x800000nn.
const SystemColor systemColors[] = {
    {QPalette::NoRole, qRgb(200, 200, 200)}, // 0 scroll bars
    {QPalette::NoRole, qRgb(0, 128, 128)}, // 1 desktop
    {QPalette::Highlight, qRgb(0, 0, 128)}, // 2 active title bar
    {QPalette::NoRole, qRgb(128, 128, 128)}, // 3 inactive title bar
    {QPalette::Button, qRgb(192, 192, 192)}, // 4 menu bar
    {QPalette::Base, qRgb(255, 255, 255)}, // 5 window background
    {QPalette::Shadow, qRgb(0, 0, 0)}, // 6 window frame
    {QPalette::ButtonText, qRgb(0, 0, 0)}, // 7 menu text
    {QPalette::Text, qRgb(0, 0, 0)}, // 8 window text
    {QPalette::HighlightedText, qRgb(255, 255, 255)}, // 9 title bar text
    {QPalette::Button, qRgb(192, 192, 192)}, // 10 active border
    {QPalette::Button, qRgb(192, 192, 192)}, // 11 inactive border
    {QPalette::Dark, qRgb(128, 128, 128)}, // 12 application workspace
    {QPalette::Highlight, qRgb(0, 0, 128)}, // 13 highlight
    {QPalette::HighlightedText, qRgb(255, 255, 255)}, // 14 highlighted text
    {QPalette::Button, qRgb(192, 192, 192)}, // 15 button face
    {QPalette::Mid, qRgb(128, 128, 128)}, // 16 button shadow
    {QPalette::PlaceholderText, qRgb(128, 128, 128)}, // 17 grey text
    {QPalette::ButtonText, qRgb(0, 0, 0)}, // 18 button text
    {QPalette::NoRole, qRgb(192, 192, 192)}, // 19 inactive title bar text
    {QPalette::Light, qRgb(255, 255, 255)}, // 20 button highlight
    {QPalette::Shadow, qRgb(0, 0, 0)}, // 21 3D dark shadow
    {QPalette::Midlight, qRgb(223, 223, 223)}, // 22 3D light
    {QPalette::ToolTipText, qRgb(0, 0, 0)}, // 23 tool tip text
    {QPalette::ToolTipBase, qRgb(255, 255, 225)}, // 24 tool tip background
};

} // namespace

QColor colorFromStored(quint32 value)
{
    if (isSystemColor(value)) {
        const quint32 index = value & 0x00FFFFFFu;
        if (index >= std::size(systemColors))
            throw RuntimeError(InvalidPropertyValue,
                               QStringLiteral("Invalid property value: system colour 0x%1")
                                   .arg(value, 8, 16, QLatin1Char('0')));
        const SystemColor &system = systemColors[index];
        if (system.role != QPalette::NoRole && qGuiApp)
            return QGuiApplication::palette().color(QPalette::Active, system.role);
        return QColor::fromRgb(system.classic);
    }
    if (value & 0xFF000000u)
        throw RuntimeError(InvalidPropertyValue,
                           QStringLiteral("Invalid property value: colour 0x%1")
                               .arg(value, 8, 16, QLatin1Char('0')));
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

QString installedFace(const QString &requestedFace)
{
    static const QHash<QString, QString> lookAlikes = {
        {QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")},
        {QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")},
        {QStringLiteral("MS Serif"), QStringLiteral("DejaVu Serif")},
        {QStringLiteral("Monotype Corsiva"), QStringLiteral("Z003")},
        {QStringLiteral("BankGothic Md BT"), QStringLiteral("Jura")},
    };
    // Asking the font database is slow enough to matter on the key-press path: ask once a face.
    static QHash<QString, QString> answered;
    const auto known = answered.constFind(requestedFace);
    if (known != answered.constEnd())
        return *known;
    QString face = requestedFace;
    if (!QFontDatabase::hasFamily(requestedFace))
        face = lookAlikes.value(requestedFace, requestedFace);
    answered.insert(requestedFace, face);
    return face;
}

} // namespace forms
