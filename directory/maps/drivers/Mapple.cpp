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
    if (!WaitForWindow(*Host, Map) || !ShowRequest(*Host, Map))
        Tell(MsgNotShown, MB_OK | MB_ICONINFORMATION);
    else
        WaitWhileOpen(*Host, Map, [&] {
            int PickLat = 0, PickLon = 0;
            if (Host->Centre(Map, &PickLat, &PickLon) != 0) {
                FPickLat = static_cast<std::uint32_t>(PickLat);
                FPickLon = static_cast<std::uint32_t>(PickLon);
            }
        });
    Host->Release(Map);
}

bool TMappleView::ShowRequest(TMapHost& Host, void* Map)
{
    (void)Host.Foreground(Map);
    const bool Position = FRequest.Latitude != 0 && FRequest.Longitude != 0;
    const QByteArray Address = FRequest.Text.toUtf8();
    const int Lat = static_cast<int>(FRequest.Latitude);
    const int Lon = static_cast<int>(FRequest.Longitude);
    // A place the program does not find leaves its map where it opened; only a raised error ends
    // the drive.
    int Shown = 0;
    if (FRequest.Mode == 1) {
        if (!Address.isEmpty() && (Shown = Host.Address(Map, Address.constData())) < 0)
            return false;
        if (Shown != 1 && Position)
            Shown = Host.MoveMsec(Map, Lon, Lat);
    } else {
        if (Position && (Shown = Host.MoveMsec(Map, Lon, Lat)) < 0)
            return false;
        if (Shown != 1 && !Address.isEmpty())
            Shown = Host.Address(Map, Address.constData());
    }
    return Shown >= 0;
}
