#include "directory/maps/drivers/AtlsMate.h"

#include "directory/maps/AtlsMateLogic.h"
#include "directory/maps/host/MapHost.h"
#include "main/common/CommonForms.h"
#include "main/common/CommonSys.h"
#include "main/common/CommonText.h"
#include "platform/msg/MessageBoxFlags.h"
#include "platform/sys/Folders.h"
#include "platform/sys/Registry.h"
#include "platform/sys/Volume.h"

#include <QFileInfo>
#include <cstring>

namespace {

const QString MsgNotInstalled =
    QStringLiteral("AtlasMateがインストールされていないか\r\nまたは、AtlasMateのCD-ROMが入っていません");

} // namespace

bool FindAtlasMate()
{
    if (!MapHost() || MapHost()->Version("AtlasMate") == 0)
        return false;
    for (const char* Edition : {"5.0", "4.0"}) {
        const QString Exe =
            TrimBlanks(ReadRegistryString(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\SSY\\AtlasMate95\\%1\\program")
                                              .arg(QLatin1String(Edition)),
                                          QStringLiteral("exe"))
                           .value_or(QString()));
        if (!Exe.isEmpty()) {
            AtlasMateDataFolder = IncludeTrailingDelimiter(QFileInfo(Exe).path()) + QStringLiteral("dtmp/");
            return true;
        }
    }
    // The disc works without an installation.
    ScanDrives(DRIVE_MASK_FIXED | DRIVE_MASK_CDROM | DRIVE_MASK_NETWORK);
    for (const QString& Drive : DriveList)
        if (TrimBlanks(GetVolumeLabel(Drive)).toLower() == QLatin1String("atlasmate")) {
            AtlasMateDataFolder = Drive + QStringLiteral("dtmp/");
            return true;
        }
    return false;
}

void TAtlasMateView::Drive()
{
    TMapHost* Host = MapHost();
    if (!Host) {
        Tell(QStringLiteral("Atm95.dll LoadLibrary Error\r\nDLLのロードに失敗しました"), MB_OK | MB_ICONSTOP);
        return;
    }
    TAtlasMesh Mesh;
    if (FRequest.Mode == 1) {
        QByteArray Result(DTMapAdrsResultSize, '\0');
        const int Code =
            Host->TelMesh(FRequest.Text.toUtf8().constData(), Result.data(), AtlasMateDataFolder.toUtf8().constData());
        const TDTMapAdrsAnswer Answer = DTMapAdrsAnswer(Code);
        if (!Answer.Message.isEmpty())
            Tell(Answer.Message, Answer.Flags);
        if (!Answer.ShowMap)
            return;
        const std::optional<TAtlasMesh> Read = ParseDTMapAdrsResult(Result);
        if (!Read)
            return;
        Mesh = *Read;
    } else {
        const TAtlasBearings Bearings = BearingsFromPosition(FRequest.Latitude, FRequest.Longitude);
        Host->BearingsToMesh(&Mesh, &Bearings);
        if (Mesh == TAtlasMesh())
            return; // nowhere to show
    }
    void* Map = Host->Open("AtlasMate");
    if (!Map || Host->ShowMesh(Map, &Mesh) != 0) {
        if (Map)
            Host->Release(Map);
        Tell(MsgNotInstalled, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!WaitForWindow(*Host, Map)) {
        Host->Release(Map);
        Tell(MsgNotInstalled, MB_OK | MB_ICONINFORMATION);
        return;
    }
    WaitWhileOpen(*Host, Map);
    TAtlasMesh Last;
    TAtlasBearings Bearings;
    Host->LastMesh(Map, &Last);
    Host->MeshToBearings(&Last, &Bearings);
    if (const std::optional<TMapPosition> Position = PositionFromBearings(Bearings)) {
        FPickLat = Position->Latitude;
        FPickLon = Position->Longitude;
    }
    Host->Release(Map);
    ForceForegroundWindow(MessageWindow());
}
