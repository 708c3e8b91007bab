#include "directory/maps/host/MapHost.h"

#include "main/common/CommonText.h"
#include "main/settings/Settings.h"
#include "platform/sys/Folders.h"
#include "platform/sys/Registry.h"

#include <QFileInfo>
#include <QHash>
#include <memory>

namespace {

template <typename T> bool Bind(TDynLib& Lib, T& Proc, const char* Name)
{
    Proc = Lib.SymbolAs<T>(Name);
    return Proc != nullptr;
}

bool BindAll(TMapHost& H)
{
    TDynLib& L = H.Lib;
    return Bind(L, H.Version, "VxMapVersion") && Bind(L, H.Open, "VxMapOpen") && Bind(L, H.Release, "VxMapRelease") &&
           Bind(L, H.Window, "VxMapWindow") && Bind(L, H.Alive, "VxMapAlive") &&
           Bind(L, H.Foreground, "VxMapForeground") && Bind(L, H.NumLayer, "VxMapNumLayer") &&
           Bind(L, H.LayerName, "VxMapLayerName") && Bind(L, H.ChangeLayer, "VxMapChangeLayer") &&
           Bind(L, H.MoveText, "VxMapMoveText") && Bind(L, H.MoveSec256, "VxMapMoveSec256") &&
           Bind(L, H.MoveMsec, "VxMapMoveMsec") && Bind(L, H.Address, "VxMapAddress") &&
           Bind(L, H.BearingsToMesh, "VxMapBearingsToMesh") && Bind(L, H.MeshToBearings, "VxMapMeshToBearings") &&
           Bind(L, H.TelMesh, "VxMapTelMesh") && Bind(L, H.ShowMesh, "VxMapShowMesh") &&
           Bind(L, H.LastMesh, "VxMapLastMesh") && Bind(L, H.SetEvent, "VxMapSetEvent") &&
           Bind(L, H.Mark, "VxMapMark") && Bind(L, H.Centre, "VxMapCentre") &&
           Bind(L, H.BeginExitHook, "VxMapBeginExitHook") && Bind(L, H.EndExitHook, "VxMapEndExitHook") &&
           Bind(L, H.Surface, "VxMapSurface") && Bind(L, H.SurfaceRelease, "VxMapSurfaceRelease") &&
           Bind(L, H.AreaCount, "VxMapAreaCount") && Bind(L, H.AreaText, "VxMapAreaText") &&
           Bind(L, H.AreaIncludes, "VxMapAreaIncludes") && Bind(L, H.SetArea, "VxMapSetArea") &&
           Bind(L, H.LayerCount, "VxMapLayerCount") && Bind(L, H.LayerInfo, "VxMapLayerInfo") &&
           Bind(L, H.SetLayer, "VxMapSetLayer") && Bind(L, H.LayerNow, "VxMapLayerNow") &&
           Bind(L, H.ScaleMask, "VxMapScaleMask") && Bind(L, H.SetScale, "VxMapSetScale") &&
           Bind(L, H.Search, "VxMapSearch") && Bind(L, H.MoveTo, "VxMapMoveTo") && Bind(L, H.Size, "VxMapSize") &&
           Bind(L, H.ToPosition, "VxMapToPosition") && Bind(L, H.ToPoint, "VxMapToPoint") &&
           Bind(L, H.Draw, "VxMapDraw");
}

} // namespace

TMapHost* MapHost()
{
    // Kept for the life of the process: a library whose windows may still exist is never unloaded,
    // not even by the destructors at exit, so the table itself is never destroyed either.
    static auto& Loaded = *new QHash<QString, TMapHost*>;
    if (ProgramPath.isEmpty())
        return nullptr;
    const QString Path = QFileInfo(IncludeTrailingDelimiter(ProgramPath) + MapHostFileName).absoluteFilePath();
    if (TMapHost* Host = Loaded.value(Path))
        return Host;
    if (!QFileInfo(Path).isFile())
        return nullptr;
    auto Host = std::make_unique<TMapHost>();
    if (!Host->Lib.Load(Path) || !BindAll(*Host))
        return nullptr;
    return Loaded[Path] = Host.release();
}

TMapHost* MapClassHost(const QString& Name)
{
    const QString Library = TrimBlanks(
        ReadRegistryString(QStringLiteral("HKEY_CLASSES_ROOT\\") + Name, QStringLiteral("Host")).value_or(QString()));
    if (QFileInfo(Library).fileName().compare(MapHostFileName, Qt::CaseInsensitive) != 0)
        return nullptr;
    TMapHost* Host = MapHost();
    return Host && Host->Version(Name.toUtf8().constData()) != 0 ? Host : nullptr;
}
