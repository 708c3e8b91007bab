#pragma once

#include "directory/maps/MapLaunch.h"

#include <optional>

class TMeiboView;

// The map buttons of the incoming-call window and the directory record window: the request from
// the window's record, the program the settings choose, and what becomes of a picked place.

// What the incoming-call window hands its map button: the directory does not reach into that window,
// whose wiring fills this in from the window's controls.
struct TCallerMapRequest
{
    TMapOpener Opener;
    TMapFields Fields;
    bool Existing = false; // the caller is an entry of the directory
    int Latitude = 0;
    int Longitude = 0;
};

// A place picked on a map, in milliseconds of arc.
struct TMapPlace
{
    int Latitude = 0;
    int Longitude = 0;
};

// Shows the caller's place; the place the user picked when the program returns one and it moved. The
// window keeps it with the caller, and it reaches the directory with the caller's registration.
[[nodiscard]] std::optional<TMapPlace> CallerMapClick(const TCallerMapRequest& Request);
void MeiboViewMapClick(TMeiboView& View);

// Fills the record window's map tool and the map launchers; the program does it once at start.
void InstallMapButtons();
