#include "directory/maps/ProAtlsWLogic.h"

#include <QStringList>
#include <limits>

QString ProAtlasWCoordText(std::uint32_t Milliseconds)
{
    if (Milliseconds == 0)
        return QString();
    return QStringLiteral("%1/%2/%3")
        .arg(Milliseconds / 3600000)
        .arg(Milliseconds / 60000 % 60, 2, 10, QLatin1Char('0'))
        .arg(Milliseconds % 60000, 5, 10, QLatin1Char('0'));
}

std::uint32_t ProAtlasWCoordValue(const QString& Text)
{
    const QStringList Parts = Text.trimmed().split(QLatin1Char('/'));
    if (Parts.size() != 3)
        return 0;
    std::uint64_t Value = 0;
    const std::uint64_t Scale[] = {3600000, 60000, 1};
    for (int I = 0; I < 3; ++I) {
        const QString Part = Parts.at(I).trimmed();
        bool Ok = false;
        const qulonglong N = Part.toULongLong(&Ok);
        // A sign or an absurd length is no coordinate; this also keeps the sum far from overflow.
        if (!Ok || Part.isEmpty() || !Part.at(0).isDigit() || Part.size() > 9)
            return 0;
        Value += N * Scale[I];
    }
    return Value > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())
               ? 0
               : static_cast<std::uint32_t>(Value);
}
