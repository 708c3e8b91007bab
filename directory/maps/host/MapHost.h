#pragma once

#include "directory/maps/host/MapHostText.h"
#include "peers/maps/MapHostApi.h"
#include "platform/dynlib/DynLib.h"

#include <QString>

// The map host, VxMapHost.so: the library behind the map programs that are driven through a
// library, an automation object or a map control. It is loaded only from the program's folder, by
// absolute path: a file of that name anywhere else (the current folder above all) is never loaded.

struct TMapHost
{
    TDynLib Lib;
    TVxMapVersion Version = nullptr;
    TVxMapOpen Open = nullptr;
    TVxMapRelease Release = nullptr;
    TVxMapWindow Window = nullptr;
    TVxMapAlive Alive = nullptr;
    TVxMapForeground Foreground = nullptr;
    TVxMapNumLayer NumLayer = nullptr;
    TVxMapLayerName LayerName = nullptr;
    TVxMapChangeLayer ChangeLayer = nullptr;
    TVxMapMoveText MoveText = nullptr;
    TVxMapMoveSec256 MoveSec256 = nullptr;
    TVxMapMoveMsec MoveMsec = nullptr;
    TVxMapAddress Address = nullptr;
    TVxMapBearingsToMesh BearingsToMesh = nullptr;
    TVxMapMeshToBearings MeshToBearings = nullptr;
    TVxMapTelMesh TelMesh = nullptr;
    TVxMapShowMesh ShowMesh = nullptr;
    TVxMapLastMesh LastMesh = nullptr;
    TVxMapSetEvent SetEvent = nullptr;
    TVxMapMark Mark = nullptr;
    TVxMapCentre Centre = nullptr;
    TVxMapBeginExitHook BeginExitHook = nullptr;
    TVxMapEndExitHook EndExitHook = nullptr;
    TVxMapSurface Surface = nullptr;
    TVxMapSurfaceRelease SurfaceRelease = nullptr;
    TVxMapAreaCount AreaCount = nullptr;
    TVxMapAreaText AreaText = nullptr;
    TVxMapAreaIncludes AreaIncludes = nullptr;
    TVxMapSetArea SetArea = nullptr;
    TVxMapLayerCount LayerCount = nullptr;
    TVxMapLayerInfo LayerInfo = nullptr;
    TVxMapSetLayer SetLayer = nullptr;
    TVxMapLayerNow LayerNow = nullptr;
    TVxMapScaleMask ScaleMask = nullptr;
    TVxMapSetScale SetScale = nullptr;
    TVxMapSearch Search = nullptr;
    TVxMapMoveTo MoveTo = nullptr;
    TVxMapSize Size = nullptr;
    TVxMapToPosition ToPosition = nullptr;
    TVxMapToPoint ToPoint = nullptr;
    TVxMapDraw Draw = nullptr;
};

inline const QString MapHostFileName = QStringLiteral("VxMapHost.so");

// The host in the program's folder, loaded once and kept (its windows live in this process); null
// when it is missing or lacks one of its calls.
[[nodiscard]] TMapHost* MapHost();

// The host behind an automation class or class id: the registry key HKEY_CLASSES_ROOT\Name holds the
// library's file name as "Host", and only the map host of the program's folder is taken for it.
// Null when the class is not registered or the host does not stand in for it.
[[nodiscard]] TMapHost* MapClassHost(const QString& Name);
