#include "directory/maps/drivers/MapFanNet.h"

#include "directory/maps/host/MapHost.h"
#include "platform/msg/MessageBoxFlags.h"

namespace {

// The scale the programs are shown at: fixed.
constexpr int MapFanComScale = 1562;

bool Find(const QString& Class)
{
    TMapHost* Host = MapClassHost(Class);
    return Host && Host->Version(Class.toUtf8().constData()) != 0;
}

} // namespace

bool FindMapFanNet()
{
    return Find(MapFanNetClass);
}

bool FindMapFanPLAN()
{
    return Find(MapFanPLANClass);
}

TMapFanComView::TMapFanComView(QWidget* Owner, QString Class, QString Name, TMapView Kind)
    : TMapDriverView(Owner), FClass(std::move(Class)), FName(std::move(Name)), FKind(Kind)
{
}

TMapFanNetView::TMapFanNetView(QWidget* Owner)
    : TMapFanComView(Owner, MapFanNetClass, QStringLiteral("MapFan.net"), TMapView::MapFanNet)
{
}

TMapFanPLANView::TMapFanPLANView(QWidget* Owner)
    : TMapFanComView(Owner, MapFanPLANClass, QStringLiteral("MapFan PLANNER"), TMapView::MapFanPLAN)
{
}

void TMapFanComView::Drive()
{
    TMapHost* Host = MapClassHost(FClass);
    void* Map = Host ? Host->Open(FClass.toUtf8().constData()) : nullptr;
    if (!Map) {
        Tell(QStringLiteral("%1 の連携オブジェクトが生成できませんでした\r\n一度 %1 を単体起動させてください")
                 .arg(FName),
             MB_OK | MB_ICONINFORMATION);
        return;
    }
    const bool Position = FRequest.Latitude != 0 && FRequest.Longitude != 0;
    const bool Address = !FRequest.Text.isEmpty();
    const auto ByPosition = [&] {
        return Host->MoveSec256(Map, static_cast<int>(ToSec256(FRequest.Longitude)),
                                static_cast<int>(ToSec256(FRequest.Latitude)), MapFanComScale);
    };
    const auto ByAddress = [&] {
        const int Found = Host->Address(Map, FRequest.Text.toUtf8().constData());
        return Found == 1 ? 0 : Found < 0 ? -1 : 1;
    };
    // Each call answers 0 when it showed the place; a place not found falls back to the other way
    // and is no error. Only an error the program raised is told.
    int Answer = 1;
    if (FRequest.Mode == 1) {
        if (Address)
            Answer = ByAddress();
        if (Answer > 0 && Position)
            Answer = ByPosition();
    } else {
        if (Position)
            Answer = ByPosition();
        if (Answer > 0 && Address)
            Answer = ByAddress();
    }
    if (Answer < 0)
        Tell(QStringLiteral("%1 が表示できませんでした\r\n%1 のインストール状況を確認してください").arg(FName),
             MB_OK | MB_ICONINFORMATION);
    // The program stays open on its own: the opener is let go at once.
    Host->Release(Map);
}
