#pragma once

#include "directory/maps/drivers/MapDriver.h"

// AtlasMate 4 / 5: the map of a telephone number or a place, through the host's number and map
// calls; the place the user left the map at comes back.

// Where AtlasMate keeps its data: set by FindAtlasMate.
inline QString AtlasMateDataFolder;

// Installed (its registry entry) or its disc mounted (volume label "atlasmate"), with the host.
[[nodiscard]] bool FindAtlasMate();

class TAtlasMateView : public TMapDriverView
{
public:
    using TMapDriverView::TMapDriverView;

protected:
    [[nodiscard]] TMapView Kind() const override { return TMapView::AtlasMate; }
    void Drive() override;
};
