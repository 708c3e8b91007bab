#include "directory/maps/ProAtlasLogic.h"

#include <limits>

TProAtlasChoice ChooseProAtlasArea(const QList<TProAtlasAreaProbe>& Areas, int Mode, TMapPosition Request)
{
    struct TCandidate
    {
        int Area = -1;
        int Scale = std::numeric_limits<int>::max();
        TMapPosition Position;
    };
    TCandidate ByAddress;
    TCandidate ByPosition;
    for (int I = 0; I < Areas.size(); ++I) {
        const TProAtlasAreaProbe& A = Areas.at(I);
        if (A.AddressFound && A.AddressScale < ByAddress.Scale)
            ByAddress = {I, A.AddressScale, A.AddressPosition};
        if (A.IncludesPosition && A.PositionScale < ByPosition.Scale)
            ByPosition = {I, A.PositionScale, Request};
    }
    const TCandidate& First = Mode == 1 ? ByAddress : ByPosition;
    const TCandidate& Second = Mode == 1 ? ByPosition : ByAddress;
    const TCandidate& Chosen = First.Area >= 0 ? First : Second;
    if (Chosen.Area < 0)
        return {0, 0, {}, true};
    return {Chosen.Area, Chosen.Scale, Chosen.Position, false};
}

TProAtlasLayerChoice ChooseProAtlasLayer(const QList<TProAtlasLayer>& Layers, int Scale, int Id)
{
    if (Layers.isEmpty())
        return {};
    for (int I = 0; I < Layers.size(); ++I)
        if (Layers.at(I).Scale == Scale && Layers.at(I).Id == Id)
            return {I, false};
    return {0, true};
}

QString ProAtlasDmsText(std::uint32_t Milliseconds)
{
    // The milliseconds in three digits: 20.005 seconds must not read as 20.5.
    return QStringLiteral("%1度%2分%3.%4秒")
        .arg(Milliseconds / 3600000)
        .arg(Milliseconds / 60000 % 60, 2, 10, QLatin1Char('0'))
        .arg(Milliseconds / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(Milliseconds % 1000, 3, 10, QLatin1Char('0'));
}

QString ProAtlasCornerText(TMapPosition TopLeft, TMapPosition BottomRight)
{
    const auto Corner = [](const QString& Name, TMapPosition P) {
        return Name + QStringLiteral(" 北緯 : ") + ProAtlasDmsText(P.Latitude) + QStringLiteral("  東経 : ") +
               ProAtlasDmsText(P.Longitude) + QStringLiteral("\r\n");
    };
    return Corner(QStringLiteral("左上"), TopLeft) + Corner(QStringLiteral("右下"), BottomRight);
}
