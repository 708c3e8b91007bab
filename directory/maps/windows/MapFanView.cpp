#include "directory/maps/windows/MapFanView.h"

#include "directory/maps/MapFanLogic.h"
#include "directory/maps/host/MapHost.h"
#include "main/common/CommonText.h"
#include "platform/sys/Registry.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QToolButton>
#include <tuple>

bool FindMapFan()
{
    if (!MapHost() || MapHost()->Version("MapFan") == 0)
        return false;
    return MapFanVersionFromSubKeys(
               RegistrySubKeys(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Increment P Corporation\\MapFan")))
        .has_value();
}

TMapFanView::TMapFanView(QWidget* Owner) : TMapWindow(Owner, QStringLiteral("MapFan"), QStringLiteral("MapFan"))
{
    setObjectName(QStringLiteral("MapFanView"));
    auto* Caption = new QLabel(QStringLiteral("地図縮尺"), this);
    cbxScale = new QComboBox(this);
    cbxScale->addItems(MapFanScaleCaptions());
    cbxScale->setCurrentIndex(-1);
    FTools->insertWidget(0, Caption);
    FTools->insertWidget(1, cbxScale);
    connect(cbxScale, &QComboBox::activated, this, &TMapFanView::ChooseScale);

    pmMapFan = new QMenu(this);
    pmMapFan->addAction(QStringLiteral("中心を選択位置にする"), this, &TMapFanView::CentreOnPicked);
    pmMapFan->addAction(QStringLiteral("マウス位置を中心にする"), this, &TMapFanView::CentreOnMouse);
    pmMapFan->addSeparator();
    for (int I = 0; I < MapFanScaleCaptions().size(); ++I) {
        QAction* Item = pmMapFan->addAction(MapFanScaleCaptions()[I], this, [this, I] { ChooseScale(I); });
        Item->setCheckable(true);
        FScaleItems << Item;
    }
    Map->OnContextMenu = [this](QPoint Global) {
        // Only the scales the map offers can be chosen.
        const unsigned Mask = FHost->ScaleMask(FSurface);
        for (int I = 0; I < FScaleItems.size(); ++I)
            FScaleItems[I]->setEnabled((Mask & MapFanScaleBit(I)) != 0);
        pmMapFan->popup(Global);
    };
    Map->OnDoubleClick = [this](QPoint Point) {
        int Lat = 0, Lon = 0;
        Map->PositionAt(Point, Lat, Lon);
        SetMark(ToSec256(Lat), ToSec256(Lon));
    };
    Map->OnSelectionDone = [this] {
        sbtnClip->setChecked(false);
        cbxScale->setFocus();
    };
}

int TMapFanView::SetRequest(const TMapSearchParams& Params)
{
    FRequest = MapSetRequest(Params, TMapView::MapFan);
    FLat256 = ToSec256(FRequest.Latitude);
    FLon256 = ToSec256(FRequest.Longitude);
    return FRequest.Result;
}

void TMapFanView::GetPosition(std::uint32_t& Latitude, std::uint32_t& Longitude) const
{
    Latitude = static_cast<std::uint32_t>(FromSec256(FLat256));
    Longitude = static_cast<std::uint32_t>(FromSec256(FLon256));
}

void TMapFanView::showEvent(QShowEvent* Event)
{
    TMapWindow::showEvent(Event);
    if (FShown)
        return;
    FShown = true;
    ChooseOnShow();
}

void TMapFanView::SetMark(std::int64_t Lat256, std::int64_t Lon256)
{
    FLat256 = Lat256;
    FLon256 = Lon256;
    Map->SetMark(static_cast<int>(FromSec256(Lat256)), static_cast<int>(FromSec256(Lon256)));
}

void TMapFanView::ChooseOnShow()
{
    FHost->Size(FSurface, Map->width(), Map->height());
    const bool Position = FRequest.Latitude != 0 && FRequest.Longitude != 0;
    const QString Address = TrimBlanks(FRequest.Text);
    std::int64_t Lat = 0, Lon = 0;
    // The address look-up: the host finds the text but knows no coordinates for it.
    const auto LookUp = [&] {
        (void)FHost->Search(FSurface, Address.toUtf8().constData());
        return std::pair<std::int64_t, std::int64_t>(0, 0);
    };
    if (FRequest.Mode == 0) {
        if (Position) {
            Lat = ToSec256(FRequest.Latitude);
            Lon = ToSec256(FRequest.Longitude);
        } else if (!Address.isEmpty())
            std::tie(Lat, Lon) = LookUp();
    } else if (!Address.isEmpty()) {
        std::tie(Lat, Lon) = LookUp();
        if (!(Lat > 0 && Lon > 0) && Position) {
            Lat = ToSec256(FRequest.Latitude);
            Lon = ToSec256(FRequest.Longitude);
        }
    } else if (Position) {
        Lat = ToSec256(FRequest.Latitude);
        Lon = ToSec256(FRequest.Longitude);
    }
    if (Lat != 0 && Lon != 0) {
        FHost->MoveTo(FSurface, static_cast<int>(FromSec256(Lat)), static_cast<int>(FromSec256(Lon)));
        SetMark(Lat, Lon);
        const int Scale = MapFanScaleFromMask(FHost->ScaleMask(FSurface));
        if (Scale >= 0)
            ChooseScale(Scale);
    }
    Map->update();
}

void TMapFanView::ChooseScale(int Index)
{
    if (Index < 0 || Index >= FScaleItems.size() || Index == FScale)
        return;
    if (FScale >= 0)
        FScaleItems[FScale]->setChecked(false);
    FScaleItems[Index]->setChecked(true);
    FScale = Index;
    cbxScale->setCurrentIndex(Index);
    FHost->SetScale(FSurface, MapFanScaleBit(Index));
    Map->ClearSelection();
    Map->update();
}

void TMapFanView::CentreOnPicked()
{
    FHost->MoveTo(FSurface, static_cast<int>(FromSec256(FLat256)), static_cast<int>(FromSec256(FLon256)));
    Map->ClearSelection();
}

void TMapFanView::CentreOnMouse()
{
    int Lat = 0, Lon = 0;
    Map->PositionAt(Map->LastMouse(), Lat, Lon);
    FHost->MoveTo(FSurface, Lat, Lon);
    Map->ClearSelection();
}

void TMapFanView::FillClipboard(const QImage& Picture)
{
    QImage Stamped = Picture;
    QPainter Painter(&Stamped);
    Painter.setPen(Qt::black);
    // The picture is the host's, so its own notice goes where the map vendor's would.
    Painter.drawText(QPoint(2, Painter.fontMetrics().ascent() + 2), QStringLiteral("(c) VxMapHost"));
    Painter.end();
    QApplication::clipboard()->setImage(Stamped);
}
