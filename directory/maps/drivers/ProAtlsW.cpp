#include "directory/maps/drivers/ProAtlsW.h"

#include "directory/maps/ProAtlsWLogic.h"
#include "directory/maps/host/MapHost.h"
#include "main/common/CommonForms.h"
#include "main/common/CommonText.h"
#include "platform/msg/MessageBoxFlags.h"
#include "platform/sys/Folders.h"
#include "platform/sys/Registry.h"

#include <QFileInfo>

namespace {

struct TEdition
{
    const char* Key;
    const char* Class;
};
// Version 1 .. 5.
constexpr TEdition Editions[] = {{"ALPS\\PROATLAS", "ProAtlasW.Map"},
                                 {"ALPS\\PROATLASW2", "ProAtlasW2.Map"},
                                 {"ALPS\\PROATLASW3", "ProAtlasW3.Map"},
                                 {"ALPS\\PROATLASSV", "ProAtlasSV.Map"},
                                 {"Alps_Mapping_K.K.\\PROATLASSV", "ProAtlasSV2.Map"}};

const QString MsgNoClass = QStringLiteral("プロアトラスＷ または プロアトラスSV のクラスが生成できませんでした\r\n一度 "
                                          "プロアトラスＷ または プロアトラスSV を単体起動させてください");
const QString MsgNotShown =
    QStringLiteral("プロアトラスＷ または プロアトラスSV が表示できませんでした\r\nプロアトラスＷ "
                   "または プロアトラスSV のインストール状況を確認してください");

} // namespace

bool FindProAtlasW()
{
    if (!MapHost())
        return false;
    for (int Version = 5; Version >= 1; --Version) {
        const QString Key = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\") + QLatin1String(Editions[Version - 1].Key);
        const QString Folder = TrimBlanks(ReadRegistryString(Key, QStringLiteral("installpath")).value_or(QString()));
        const QString Program = TrimBlanks(ReadRegistryString(Key, QStringLiteral("AppPath")).value_or(QString()));
        if (Folder.isEmpty() || !QFileInfo(Folder).isDir() || Program.isEmpty() || !QFileInfo(Program).isFile())
            continue;
        ProAtlasWFolder = IncludeTrailingDelimiter(Folder);
        ProAtlasWProgram = Program;
        ProAtlasWVersion = Version;
        return true;
    }
    return false;
}

int TProAtlasWView::SetRequest(const TMapSearchParams& Params)
{
    const int Result = TMapDriverView::SetRequest(Params);
    FLatText = ProAtlasWCoordText(FRequest.Latitude);
    FLonText = ProAtlasWCoordText(FRequest.Longitude);
    FExitHook = ProAtlasWVersion >= 2 && Params.ExitHook;
    return Result;
}

void TProAtlasWView::GetPosition(std::uint32_t& Latitude, std::uint32_t& Longitude) const
{
    Latitude = FPickLat;
    Longitude = FPickLon;
    if (ProAtlasWVersion > 2)
        return;
    // The mark is all these versions give back; with none set (or one that does not read) the
    // record keeps its own place rather than being moved to 0 / 0.
    const std::uint32_t MarkLat = ProAtlasWCoordValue(FMarkLat);
    const std::uint32_t MarkLon = ProAtlasWCoordValue(FMarkLon);
    if (MarkLat != 0 && MarkLon != 0) {
        Latitude = MarkLat;
        Longitude = MarkLon;
    }
}

void TProAtlasWView::Marked(void* Context)
{
    auto* View = static_cast<TProAtlasWView*>(Context);
    TMapHost* Host = MapHost();
    if (!Host || !View->FMap)
        return;
    char Text[64];
    Host->Mark(View->FMap, 0, Text, sizeof Text);
    View->FMarkLat = MapHostText(Text, sizeof Text);
    Host->Mark(View->FMap, 1, Text, sizeof Text);
    View->FMarkLon = MapHostText(Text, sizeof Text);
}

bool TProAtlasWView::ChangeLayer(TMapHost& Host)
{
    // The first edition is shown at the most detailed layer it has for the place; later editions at
    // their town map. A negative answer is the program failing, not a missing layer.
    const auto Change = [&](int Index) {
        char Name[128];
        if (Host.LayerName(FMap, Index, Name, sizeof Name) < 0)
            return -1;
        return Host.ChangeLayer(FMap, MapHostText(Name, sizeof Name).toUtf8().constData());
    };
    if (ProAtlasWVersion >= 2)
        return Change(ProAtlasWDetailLayer) >= 0;
    const int Count = Host.NumLayer(FMap);
    if (Count < 0)
        return false;
    for (int Index = Count - 1; Index >= 0; --Index) {
        const int Changed = Change(Index);
        if (Changed < 0)
            return false;
        if (Changed == 1)
            break;
    }
    return true;
}

bool TProAtlasWView::ShowRequest(TMapHost& Host)
{
    const QByteArray Lat = FLatText.toUtf8();
    const QByteArray Lon = FLonText.toUtf8();
    const bool HasPosition = !FLatText.isEmpty() || !FLonText.isEmpty();
    const QByteArray Address = FRequest.Text.toUtf8();
    // Not finding a place is no error: the map stays where the program opened it and the user may
    // still look and mark. Only an error the program raised ends the drive.
    const auto MoveTo = [&] { return Host.MoveText(FMap, Lat.constData(), Lon.constData()) >= 0 && ChangeLayer(Host); };
    if (FRequest.Mode == 1) {
        int Found = 0;
        if (!FRequest.Text.isEmpty() && (Found = Host.Address(FMap, Address.constData())) < 0)
            return false;
        if (Found != 1 && HasPosition)
            return MoveTo();
        return true;
    }
    if (HasPosition)
        return MoveTo();
    return FRequest.Text.isEmpty() || Host.Address(FMap, Address.constData()) >= 0;
}

void TProAtlasWView::Drive()
{
    TMapHost* Host = MapHost();
    const bool Hooked = FExitHook && Host && Host->BeginExitHook() != 0;
    const QString Class = QLatin1String(Editions[qBound(1, ProAtlasWVersion, 5) - 1].Class);
    TMapHost* ClassHost = MapClassHost(Class);
    FMap = ClassHost ? ClassHost->Open(Class.toUtf8().constData()) : nullptr;
    if (!FMap) {
        if (Hooked)
            Host->EndExitHook();
        Tell(MsgNoClass, MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The program's main window must be up before it is told anything; one that never comes is an
    // installation that does not work, and the user is told so instead of waiting for nothing.
    if (!WaitUntil([&] { return Host->Window(FMap) != 0; }, MapWindowWaitLimitMs)) {
        Tell(MsgNotShown, MB_OK | MB_ICONINFORMATION);
    } else {
        (void)Host->Foreground(FMap);
        if (!ShowRequest(*Host))
            Tell(MsgNotShown, MB_OK | MB_ICONINFORMATION);
        else {
            (void)Host->Foreground(FMap);
            Host->SetEvent(FMap, &TProAtlasWView::Marked, this);
            WaitUntil([&] {
                // Read once more after the window went, so that a last pick is not lost.
                int PickLat = 0, PickLon = 0;
                if (ProAtlasWVersion >= 3 && Host->Centre(FMap, &PickLat, &PickLon) != 0) {
                    FPickLat = static_cast<std::uint32_t>(PickLat);
                    FPickLon = static_cast<std::uint32_t>(PickLon);
                }
                return Host->Alive(FMap) == 0;
            });
            Host->SetEvent(FMap, nullptr, nullptr);
        }
    }
    Host->Release(FMap);
    FMap = nullptr;
    if (Hooked)
        Host->EndExitHook();
}
