#pragma once

#include "directory/maps/drivers/MapDriver.h"

// ProAtlas W / W2 / W3 and SV / SV2 through their automation class on the host. Versions 1 and 2
// give back the mark the user set; later ones the map centre they were left at.

// Set by FindProAtlasW: the install folder, the program and the version 1 .. 5.
inline QString ProAtlasWFolder;
inline QString ProAtlasWProgram;
inline int ProAtlasWVersion = 0;

[[nodiscard]] bool FindProAtlasW();

// The layer editions 2 and later are shown at after a move: their town map.
inline constexpr int ProAtlasWDetailLayer = 6;

class TProAtlasWView : public TMapDriverView
{
public:
    using TMapDriverView::TMapDriverView;

    [[nodiscard]] int SetRequest(const TMapSearchParams& Params);
    void GetPosition(std::uint32_t& Latitude, std::uint32_t& Longitude) const;

protected:
    [[nodiscard]] TMapView Kind() const override { return TMapView::ProAtlasW; }
    [[nodiscard]] int Version() const override { return ProAtlasWVersion; }
    void Drive() override;

private:
    static void Marked(void* Context);
    // Shows the request's place; false when the program raised an error.
    [[nodiscard]] bool ShowRequest(TMapHost& Host);
    [[nodiscard]] bool ChangeLayer(TMapHost& Host);

    QString FLatText;
    QString FLonText;
    bool FExitHook = false;
    QString FMarkLat;
    QString FMarkLon;
    void* FMap = nullptr;
};
