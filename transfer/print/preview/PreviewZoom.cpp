#include "transfer/print/preview/PreviewZoom.h"

#include <QtMath>
#include <algorithm>

namespace {

constexpr int Percentages[PreviewZoomCount] = {0, 200, 175, 150, 125, 100, 75, 50};
constexpr int Gap = 20;

int RoundOff(double Value)
{
    return static_cast<int>(std::floor(Value + 0.5));
}

} // namespace

QString PreviewZoomText(int Zoom)
{
    if (Zoom <= 0 || Zoom >= PreviewZoomCount)
        return QStringLiteral("用紙全体");
    return QString::number(Percentages[Zoom]) + u'%';
}

int PreviewZoomOf(int Stored)
{
    return Stored >= 0 && Stored < PreviewZoomCount ? Stored : 0;
}

double PreviewScale(int Zoom, QSize Client, QSize Page96, double ScreenDpi)
{
    if (Zoom <= 0 || Zoom >= PreviewZoomCount) {
        if (Page96.isEmpty())
            return 1.0;
        return std::max(0.01, std::min(double(Client.width() - 44) / Page96.width(),
                                       double(Client.height() - 44) / Page96.height()));
    }
    return ScreenDpi / 96.0 * Percentages[Zoom] / 100.0;
}

QRect PlacePreviewPage(QSize Client, QSize Panel)
{
    const int Left = std::max(RoundOff((Client.width() - Panel.width()) / 2.0), Gap);
    const int Top = std::max(RoundOff((Client.height() - Panel.height()) / 2.0), Gap);
    return {QPoint(Left, Top), Panel};
}

QSize PreviewPage96(int PhysicalWidth, int PhysicalHeight, int DpiX, int DpiY)
{
    if (DpiX <= 0 || DpiY <= 0)
        return {};
    return {RoundOff(PhysicalWidth / (DpiX / 96.0)), RoundOff(PhysicalHeight / (DpiY / 96.0))};
}
