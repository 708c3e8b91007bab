#include "directory/maps/drivers/Mapple.h"

#include "directory/maps/host/MapHost.h"
#include "main/common/CommonForms.h"
#include "main/common/CommonSys.h"
#include "main/settings/Settings.h"
#include "platform/msg/MessageBoxFlags.h"

namespace {

const QString MsgNotShown = QStringLiteral("スーパーマップル・デジタルが表示できませんでした\r\nスーパーマップル・"
                                           "デジタルのインストール状況を確認してください");

} // namespace

bool FindMappleProgram()
{
    const std::optional<TMappleInstall> Found = FindMapple(ProgramPath);
    MappleInstall = Found.value_or(TMappleInstall());
    return Found.has_value();
}

int TMappleView::SetRequest(const TMapSearchParams& Params)
{
    FMapClass = Params.MapClass;
    FZoom = Params.Zoom;
    FBounds = QRect(QPoint(Params.Bounds.Left, Params.Bounds.Top), QPoint(Params.Bounds.Right, Params.Bounds.Bottom));
    return TMapDriverView::SetRequest(Params);
}

void TMappleView::Drive()
{
    if (MappleInstall.Version <= 1) {
        DriveDocument();
        return;
    }
    const QString Folder = MappleInstall.Folder;
    if (RunProgram(Folder + QStringLiteral("MappleKick"), MappleStarterArguments(FRequest), Folder, false) != 0)
        Tell(MsgNotShown, MB_OK | MB_ICONINFORMATION);
}

void TMappleView::DriveDocument()
{
    const QString Class = QStringLiteral("Mapple.Document");
    TMapHost* Host = MapClassHost(Class);
    void* Map = Host ? Host->Open(Class.toUtf8().constData()) : nullptr;
    if (!Map) {
        Tell(QStringLiteral("Super Mapple Digitalのクラスが生成できませんでした\r\n一度Super Mapple "
                            "Digitalを単体起動させてください"),
             MB_OK | MB_ICONINFORMATION);
        return;
    }
    const bool Position = FRequest.Latitude != 0 && FRequest.Longitude != 0;
    const bool Address = !FRequest.Text.isEmpty();
    const int Lat = static_cast<int>(FRequest.Latitude);
    const int Lon = static_cast<int>(FRequest.Longitude);
    bool Shown = false;
    if (FRequest.Mode == 1) {
        Shown = Address && Host->Address(Map, FRequest.Text.toUtf8().constData()) == 1;
        if (!Shown && Position)
            Shown = Host->MoveMsec(Map, Lon, Lat) == 1;
    } else {
        Shown = Position && Host->MoveMsec(Map, Lon, Lat) == 1;
        if (!Shown && Address)
            Shown = Host->Address(Map, FRequest.Text.toUtf8().constData()) == 1;
    }
    if (!Shown && (Position || Address))
        Tell(MsgNotShown, MB_OK | MB_ICONINFORMATION);
    else if (Shown)
        (void)WaitForDisplay(*Host, Map, [&] {
            int PickLat = 0, PickLon = 0;
            if (Host->Centre(Map, &PickLat, &PickLon) != 0) {
                FPickLat = static_cast<std::uint32_t>(PickLat);
                FPickLon = static_cast<std::uint32_t>(PickLon);
            }
        });
    Host->Release(Map);
}
