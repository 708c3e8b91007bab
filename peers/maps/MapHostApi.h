#pragma once

// The calls of the map host, VxMapHost.so: the one library that stands in for every map program
// the directory drives through a library, an automation object or a map control. The program
// loads it by absolute path from its own folder and binds these names; the host appends every call
// to VX_MAP_LOG as one JSON line {"call", "args"}.
//
// Positions are milliseconds of arc unless a call says otherwise. Texts are UTF-8. A text the host
// answers is written NUL-terminated into the caller's buffer and cut to fit it. A negative answer
// of a call that shows something is an error the program raised (its window is gone, say), apart
// from a place it merely did not find.
//
// The display is a top-level window of its own that no modal window of the caller blocks: the user
// works it and closes it (its close button, Escape, the title bar) while the caller waits. Released
// while it is still open, it stays up on its own until the user closes it.

extern "C" {

typedef void (*TVxMapEventProc)(void* Context);

// The version of Program (an automation class name such as "ProAtlasW.Map", a class id, or a
// control name "ProAtlas" / "MapFan"); 0 when the host does not stand in for it.
typedef int (*TVxMapVersion)(const char* Program);

// The display: a window of the host showing a map around a place, which the user closes. Null
// when the host does not stand in for Program.
typedef void* (*TVxMapOpen)(const char* Program);
typedef void (*TVxMapRelease)(void* Map);
// Non-zero once the display's window is up, and while it stays open.
typedef int (*TVxMapWindow)(void* Map);
typedef int (*TVxMapAlive)(void* Map);
// Brings the display's window to the front; 0 when it is not up.
typedef int (*TVxMapForeground)(void* Map);
// Shows the place given as "degrees/minutes/milliseconds-within-the-minute" texts; 1 shown.
typedef int (*TVxMapMoveText)(void* Map, const char* Latitude, const char* Longitude);
// Shows the place given in 1/256 second of arc at a map scale; 0 shown.
typedef int (*TVxMapMoveSec256)(void* Map, int Longitude, int Latitude, int Scale);
// Shows the place given in milliseconds of arc; 1 shown.
typedef int (*TVxMapMoveMsec)(void* Map, int Longitude, int Latitude);
// Shows an address; 1 found. The host knows no coordinates of addresses: it shows the text.
typedef int (*TVxMapAddress)(void* Map, const char* Address);
// The display's layers, widest first: their count, the name of one, and a change to the named one
// (1 changed, 0 when the place has no such layer).
typedef int (*TVxMapNumLayer)(void* Map);
typedef int (*TVxMapLayerName)(void* Map, int Index, char* Text, int Size);
typedef int (*TVxMapChangeLayer)(void* Map, const char* Name);
// AtlasMate's records: a 12-byte mesh and 16-byte bearings (eight 16-bit words).
typedef int (*TVxMapBearingsToMesh)(void* Mesh, const void* Bearings);
typedef int (*TVxMapMeshToBearings)(const void* Mesh, void* Bearings);
// The mesh of a telephone number into a 124-byte result area; 0 found, 8 no data.
typedef int (*TVxMapTelMesh)(const char* Tel, char* Result, const char* Folder);
typedef int (*TVxMapShowMesh)(void* Map, const void* Mesh);
// The mesh of the place the display was left at.
typedef int (*TVxMapLastMesh)(void* Map, void* Mesh);
// Proc runs on the caller's thread each time the user picks a place.
typedef void (*TVxMapSetEvent)(void* Map, TVxMapEventProc Proc, void* Context);
// The picked place as the text of MoveText (Which 0 latitude, 1 longitude); empty when none.
typedef int (*TVxMapMark)(void* Map, int Which, char* Text, int Size);
// The centre of the display: the picked place, else the place shown; 0 when there is none.
typedef int (*TVxMapCentre)(void* Map, int* Latitude, int* Longitude);
// The exit watch some programs need before they are driven; 1 active.
typedef int (*TVxMapBeginExitHook)(void);
typedef void (*TVxMapEndExitHook)(void);

// The map surface of the two map windows: areas, layers, scales and drawing.
typedef void* (*TVxMapSurface)(const char* Program);
typedef void (*TVxMapSurfaceRelease)(void* Surface);
typedef int (*TVxMapAreaCount)(void* Surface);
// What 0 title, 1 code.
typedef int (*TVxMapAreaText)(void* Surface, int Index, int What, char* Text, int Size);
typedef int (*TVxMapAreaIncludes)(void* Surface, int Index, int Latitude, int Longitude);
typedef int (*TVxMapSetArea)(void* Surface, const char* Code);
typedef int (*TVxMapLayerCount)(void* Surface);
typedef int (*TVxMapLayerInfo)(void* Surface, int Index, char* Title, int Size, int* Scale, int* Id);
typedef int (*TVxMapSetLayer)(void* Surface, int Scale, int Id);
typedef int (*TVxMapLayerNow)(void* Surface, int* Scale, int* Id);
typedef unsigned (*TVxMapScaleMask)(void* Surface);
typedef int (*TVxMapSetScale)(void* Surface, unsigned Bit);
// 0 found: the surface shows the address at its centre.
typedef int (*TVxMapSearch)(void* Surface, const char* Address);
typedef void (*TVxMapMoveTo)(void* Surface, int Latitude, int Longitude);
typedef void (*TVxMapSize)(void* Surface, int Width, int Height);
typedef void (*TVxMapToPosition)(void* Surface, int X, int Y, int* Latitude, int* Longitude);
typedef void (*TVxMapToPoint)(void* Surface, int Latitude, int Longitude, int* X, int* Y);
// Draws the map into a 32-bit ARGB picture of the surface's size.
typedef void (*TVxMapDraw)(void* Surface, unsigned char* Bits, int Width, int Height, int Stride);
}
