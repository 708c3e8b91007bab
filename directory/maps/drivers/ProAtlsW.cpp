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
    if (ProAtlasWVersion <= 2) {
        Latitude = ProAtlasWCoordValue(FMarkLat);
        Longitude = ProAtlasWCoordValue(FMarkLon);
    } else {
        Latitude = FPickLat;
        Longitude = FPickLon;
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
    // The program's main window must be up before it is told anything; it may never come.
    if (WaitUntil([&] { return Host->Window(FMap) != 0; }, MapWindowWaitLimitMs)) {
        ForceForegroundWindow(MessageWindow());
        const QByteArray Lat = FLatText.toUtf8();
        const QByteArray Lon = FLonText.toUtf8();
        const bool HasPosition = !FLatText.isEmpty() || !FLonText.isEmpty();
        bool Shown = false;
        if (FRequest.Mode == 1) {
            if (!FRequest.Text.isEmpty())
                Shown = Host->Address(FMap, FRequest.Text.toUtf8().constData()) == 1;
            if (!Shown && HasPosition)
                Shown = Host->MoveText(FMap, Lat.constData(), Lon.constData()) == 1;
        } else if (HasPosition)
            Shown = Host->MoveText(FMap, Lat.constData(), Lon.constData()) == 1;
        else if (!FRequest.Text.isEmpty())
            Shown = Host->Address(FMap, FRequest.Text.toUtf8().constData()) == 1;
        Host->SetEvent(FMap, &TProAtlasWView::Marked, this);
        if (!Shown && (HasPosition || !FRequest.Text.isEmpty()))
            Tell(MsgNotShown, MB_OK | MB_ICONINFORMATION);
        else
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
    Host->Release(FMap);
    FMap = nullptr;
    if (Hooked)
        Host->EndExitHook();
}
