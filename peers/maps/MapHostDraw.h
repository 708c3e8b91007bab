#pragma once

#include <QFont>
#include <QPainter>
#include <QRect>
#include <QString>

// What the map host draws in place of a map: a grid around the place shown, its coordinates and
// address, and the picked place as a red cross. Without coordinates (an address alone) the grid
// stands around a fixed place, from which the user can still pick.

struct TMapView
{
    int Latitude = 0; // milliseconds of arc
    int Longitude = 0;
    QString Address;
};

inline constexpr int MapHostDefaultLat = 126000000; // 35°N
inline constexpr int MapHostDefaultLon = 500400000; // 139°E

inline void MapGridCentre(const TMapView& View, int& Lat, int& Lon)
{
    const bool Known = View.Latitude > 0 && View.Longitude > 0;
    Lat = Known ? View.Latitude : MapHostDefaultLat;
    Lon = Known ? View.Longitude : MapHostDefaultLon;
}

inline QString MapDegreeText(int Ms)
{
    return QStringLiteral("%1度%2分%3秒").arg(Ms / 3600000).arg(Ms / 60000 % 60).arg(Ms % 60000 / 1000.0, 0, 'f', 1);
}

inline void GridToPosition(const QRect& Area, const TMapView& View, QPoint Point, int& Lat, int& Lon, int Step = 1000)
{
    int CLat = 0, CLon = 0;
    MapGridCentre(View, CLat, CLon);
    Lat = CLat - (Point.y() - Area.center().y()) * Step;
    Lon = CLon + (Point.x() - Area.center().x()) * Step;
}

inline void DrawMapGrid(QPainter& Painter, const QRect& Area, const TMapView& View, int PickLat, int PickLon,
                        int Step = 1000)
{
    Painter.fillRect(Area, QColor(0xf4, 0xf1, 0xe4));
    Painter.setPen(QPen(QColor(0xc8, 0xc0, 0xa8), 1));
    for (int X = Area.center().x() % 40; X < Area.right(); X += 40)
        Painter.drawLine(X, Area.top(), X, Area.bottom());
    for (int Y = Area.center().y() % 40; Y < Area.bottom(); Y += 40)
        Painter.drawLine(Area.left(), Y, Area.right(), Y);
    int Lat = 0, Lon = 0;
    MapGridCentre(View, Lat, Lon);
    const QPoint C = Area.center();
    Painter.setPen(QPen(QColor(0x30, 0x60, 0xa0), 2));
    Painter.drawEllipse(C, 6, 6);
    Painter.setPen(Qt::black);
    QString Caption = View.Latitude > 0 ? QStringLiteral("北緯 %1  東経 %2").arg(MapDegreeText(Lat), MapDegreeText(Lon))
                                        : QStringLiteral("座標なし (格子は目安の位置)");
    if (!View.Address.isEmpty())
        Caption += QStringLiteral("\n住所: ") + View.Address;
    Painter.drawText(Area.adjusted(8, 8, -8, -8), Qt::AlignLeft | Qt::AlignTop, Caption);
    Painter.drawText(Area.adjusted(8, 8, -8, -8), Qt::AlignRight | Qt::AlignBottom,
                     QStringLiteral("地図ホスト (地図画像はありません)"));
    if (PickLat > 0 && PickLon > 0) {
        const QPoint P(C.x() + (PickLon - Lon) / Step, C.y() - (PickLat - Lat) / Step);
        Painter.setPen(QPen(Qt::red, 3));
        Painter.drawLine(P.x() - 5, P.y(), P.x() + 5, P.y());
        Painter.drawLine(P.x(), P.y() - 5, P.x(), P.y() + 5);
    }
}
