#include "directory/maps/MapFanLogic.h"

const QStringList& MapFanScaleCaptions()
{
    static const QStringList Captions = {
        QStringLiteral("全国図"),  QStringLiteral("1/320万"), QStringLiteral("1/160万"), QStringLiteral("1/80万"),
        QStringLiteral("1/40万"),  QStringLiteral("1/20万"),  QStringLiteral("1/10万"),  QStringLiteral("1/50000"),
        QStringLiteral("1/25000"), QStringLiteral("1/12500"), QStringLiteral("1/6250"),  QStringLiteral("詳細図"),
    };
    return Captions;
}

unsigned MapFanScaleBit(int Index)
{
    return 0x40000u << Index;
}

int MapFanScaleFromMask(unsigned Mask)
{
    for (int Index = 11; Index >= 0; --Index)
        if (Mask & MapFanScaleBit(Index))
            return Index;
    return -1;
}

std::optional<int> MapFanVersionFromSubKeys(QStringList SubKeys)
{
    // The registry lists sub-keys in name order without regard to case.
    SubKeys.sort(Qt::CaseInsensitive);
    for (auto Key = SubKeys.crbegin(); Key != SubKeys.crend(); ++Key) {
        bool Ok = false;
        const int Version = Key->trimmed().toInt(&Ok);
        if (Ok && Version >= 4)
            return Version;
    }
    return std::nullopt;
}
