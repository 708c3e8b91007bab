#pragma once

#include "directory/maps/MapLaunch.h"

class TAtlasMateView;
class TProAtlasView;
class TProAtlasWView;
class TMapFanView;
class TMapFanNetView;
class TMapFanPLANView;
class TMappleView;

// The map view of each program while its launcher runs; null otherwise, also after a failure.
inline TAtlasMateView* AtlasMateView = nullptr;
inline TProAtlasView* ProAtlasView = nullptr;
inline TProAtlasWView* ProAtlasWView = nullptr;
inline TMapFanView* MapFanView = nullptr;
inline TMapFanNetView* MapFanNetView = nullptr;
inline TMapFanPLANView* MapFanPLANView = nullptr;
inline TMappleView* MappleView = nullptr;

// Puts the launchers of the seven programs with a map view into their slots.
void InstallMapViewLaunchers();
